// A profile (INI) text of our own: sections in the order they were first
// written, each with its keys in order. Read the way the platform's profile
// functions read: names compared without case, blanks around names and values
// dropped, the first of two equal names taken. The whole text is written at
// once by its owner; nothing here touches a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class TIniFile {
public:
    // Lines "[name]" open a section and "key=value" lines fill it; lines before
    // the first section, lines without "=" and lines starting with ";" are passed over.
    static TIniFile Parse(std::string_view Text);
    // Every section, "[name]" and then "key=value" lines, each line ending in CR LF.
    std::string Text() const;

    // Replaces the key's value or adds the key (and its section) at the end.
    // Line breaks in Value become blanks: a value is one line.
    void WriteString(const std::string& Section, const std::string& Key, const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Key, int64_t Value);

    // The key's value, or Default when the key is missing.
    std::string ReadString(std::string_view Section, std::string_view Key,
                           const std::string& Default) const;
    // The key's value as a decimal number in 32 bits, or Default when the key is
    // missing or its value is no such number.
    int32_t ReadInteger(std::string_view Section, std::string_view Key, int32_t Default) const;
    // The number of keys the section holds: what a count in it may claim at most.
    int32_t KeyCount(std::string_view Section) const;

private:
    struct TSection {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Keys;
        std::unordered_map<std::string, std::size_t> Index; // lower-case key to its place
    };
    TSection* Find(std::string_view Section);
    const TSection* Find(std::string_view Section) const;
    TSection& Add(std::string_view Section);
    // Adds the key unless the section has it; its value's place.
    static std::string* AddKey(TSection& Section, std::string_view Key, std::string_view Value);
    const std::string* Value(std::string_view Section, std::string_view Key) const;

    std::vector<TSection> FSections;
    std::unordered_map<std::string, std::size_t> FIndex; // lower-case name to the first section
};

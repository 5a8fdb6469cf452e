#include "app/documents/IniFile_.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace {

std::string_view Trim(std::string_view S) {
    const auto blank = [](char C) { return C == ' ' || C == '\t'; };
    while (!S.empty() && blank(S.front()))
        S.remove_prefix(1);
    while (!S.empty() && blank(S.back()))
        S.remove_suffix(1);
    return S;
}

std::string Lower(std::string_view S) {
    std::string lower(S);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string OneLine(std::string Text) {
    for (char& c : Text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return Text;
}

} // namespace

TIniFile TIniFile::Parse(std::string_view Text) {
    TIniFile ini;
    TSection* section = nullptr;
    while (!Text.empty()) {
        const std::size_t end = Text.find_first_of("\r\n");
        std::string_view line = Trim(Text.substr(0, end));
        Text.remove_prefix(end == std::string_view::npos ? Text.size() : end + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section = &ini.Add(Trim(
                line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (section && eq != std::string_view::npos)
            AddKey(*section, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    return ini;
}

std::string TIniFile::Text() const {
    std::string text;
    for (const TSection& s : FSections) {
        text += "[" + s.Name + "]\r\n";
        for (const auto& [key, value] : s.Keys)
            text += key + "=" + value + "\r\n";
    }
    return text;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Key,
                           const std::string& Value) {
    TSection* section = Find(Section);
    if (!section)
        section = &Add(OneLine(Section));
    const std::string value = OneLine(Value);
    *AddKey(*section, OneLine(Key), value) = value;
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Key, int64_t Value) {
    WriteString(Section, Key, std::to_string(Value));
}

TIniFile::TSection* TIniFile::Find(std::string_view Section) {
    const auto at = FIndex.find(Lower(Section));
    return at == FIndex.end() ? nullptr : &FSections[at->second];
}

const TIniFile::TSection* TIniFile::Find(std::string_view Section) const {
    return const_cast<TIniFile*>(this)->Find(Section);
}

TIniFile::TSection& TIniFile::Add(std::string_view Section) {
    // A second section of one name is kept in the text but never read, as the
    // profile functions read the first.
    FIndex.emplace(Lower(Section), FSections.size());
    FSections.push_back({std::string(Section), {}, {}});
    return FSections.back();
}

std::string* TIniFile::AddKey(TSection& Section, std::string_view Key, std::string_view Value) {
    const auto [at, added] = Section.Index.emplace(Lower(Key), Section.Keys.size());
    if (added)
        Section.Keys.emplace_back(std::string(Key), std::string(Value));
    return &Section.Keys[at->second].second;
}

const std::string* TIniFile::Value(std::string_view Section, std::string_view Key) const {
    const TSection* section = Find(Section);
    if (!section)
        return nullptr;
    const auto at = section->Index.find(Lower(Key));
    return at == section->Index.end() ? nullptr : &section->Keys[at->second].second;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key,
                                 const std::string& Default) const {
    const std::string* value = Value(Section, Key);
    return value ? *value : Default;
}

int32_t TIniFile::ReadInteger(std::string_view Section, std::string_view Key,
                              int32_t Default) const {
    const std::string* value = Value(Section, Key);
    if (!value || value->empty())
        return Default;
    const char* first = value->data();
    const char* last = first + value->size();
    // from_chars takes a minus sign only.
    if (*first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int32_t number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    return error == std::errc() && end == last ? number : Default;
}

int32_t TIniFile::KeyCount(std::string_view Section) const {
    const TSection* section = Find(Section);
    if (!section || section->Keys.size() > std::numeric_limits<int32_t>::max())
        return section ? std::numeric_limits<int32_t>::max() : 0;
    return static_cast<int32_t>(section->Keys.size());
}

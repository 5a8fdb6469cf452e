// Settings in the current user's registry: four readers that always return a
// usable value and write the caller's default back when the stored value is
// missing or unreadable, and four writers that report success. Each call opens
// (creating) its key, does one read or write and closes the key again. Every
// write failure is ignored by the readers; it never reaches their callers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class TRegKind {
    Missing, // no such value
    Dword,   // a 32-bit integer
    String,  // a text
    Binary,  // a block of bytes
    Other,   // any other type or a malformed integer
};

struct TRegValue {
    TRegKind Kind = TRegKind::Missing;
    std::vector<uint8_t> Data; // little-endian for Dword; the characters, no terminator, for String
    bool operator==(const TRegValue&) const = default;

    static TRegValue Dword(uint32_t V);
    static TRegValue Str(const std::string& S);
    static TRegValue Bin(const void* Data, std::size_t Size);
};

// One open key. Write creates or replaces the value and never throws.
class IRegistryKey {
public:
    virtual ~IRegistryKey() = default;
    virtual TRegValue Read(const std::string& Name) = 0;
    virtual bool Write(const std::string& Name, const TRegValue& Value) = 0;
};

// The settings store (the current user's hive on Windows).
class IRegistryStore {
public:
    // Opens Key, a path beginning with a backslash ("\Software\Meridane\TessalyMC\graphs"),
    // creating it and its parents; null when it can be neither opened nor created.
    virtual std::unique_ptr<IRegistryKey> OpenKey(const std::string& Key) = 0;

protected:
    ~IRegistryStore() = default;
};

int32_t RegReadInt(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                   int32_t Default);
bool RegReadBool(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                 bool Default);
// Buffer holds the Size default bytes on entry; a stored block of 1..Size bytes
// replaces its front. True when stored bytes were read.
bool RegReadBin(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                void* Buffer, int32_t Size);
// Value keeps the caller's text when the key cannot be opened; an empty stored text reads as
// Default.
void RegReadStr(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                const std::string& Default, std::string& Value);

bool RegWriteInt(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                 int32_t Value);
bool RegWriteBool(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                  bool Value);
bool RegWriteBin(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                 const void* Buffer, int32_t Size);
bool RegWriteStr(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                 const std::string& Value);

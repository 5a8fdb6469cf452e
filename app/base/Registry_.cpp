#include "app/base/Registry_.h"

#include <algorithm>
#include <cstring>

TRegValue TRegValue::Dword(uint32_t V) {
    return {TRegKind::Dword,
            {static_cast<uint8_t>(V), static_cast<uint8_t>(V >> 8), static_cast<uint8_t>(V >> 16),
             static_cast<uint8_t>(V >> 24)}};
}

TRegValue TRegValue::Str(const std::string& S) {
    return {TRegKind::String, std::vector<uint8_t>(S.begin(), S.end())};
}

TRegValue TRegValue::Bin(const void* Data, std::size_t Size) {
    const auto* p = static_cast<const uint8_t*>(Data);
    return {TRegKind::Binary, std::vector<uint8_t>(p, p + Size)};
}

namespace {

uint32_t DwordOf(const TRegValue& V) {
    return uint32_t{V.Data[0]} | uint32_t{V.Data[1]} << 8 | uint32_t{V.Data[2]} << 16 |
           uint32_t{V.Data[3]} << 24;
}

bool IsDword(const TRegValue& V) {
    return V.Kind == TRegKind::Dword && V.Data.size() == 4;
}

// Reads a 32-bit value; a missing or unreadable one becomes Default, written back.
uint32_t ReadDword(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                   uint32_t Default) {
    const auto key = Store.OpenKey(Key);
    if (!key)
        return Default;
    const TRegValue stored = key->Read(Name);
    if (IsDword(stored))
        return DwordOf(stored);
    key->Write(Name, TRegValue::Dword(Default));
    return Default;
}

bool Write(IRegistryStore& Store, const std::string& Key, const std::string& Name,
           const TRegValue& Value) {
    const auto key = Store.OpenKey(Key);
    return key && key->Write(Name, Value);
}

} // namespace

int32_t RegReadInt(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                   int32_t Default) {
    return static_cast<int32_t>(ReadDword(Store, Key, Name, static_cast<uint32_t>(Default)));
}

bool RegReadBool(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                 bool Default) {
    return ReadDword(Store, Key, Name, Default ? 1 : 0) != 0;
}

bool RegReadBin(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                void* Buffer, int32_t Size) {
    const std::size_t size = static_cast<std::size_t>(std::max(Size, 0));
    const auto key = Store.OpenKey(Key);
    if (!key)
        return false;
    const TRegValue stored = key->Read(Name);
    // Blocks of a type the platform does not name are read as bytes too.
    const bool block = stored.Kind == TRegKind::Binary || stored.Kind == TRegKind::Other;
    if (block && !stored.Data.empty() && stored.Data.size() <= size) {
        std::memcpy(Buffer, stored.Data.data(), stored.Data.size());
        return true;
    }
    key->Write(Name, TRegValue::Bin(Buffer, size));
    return false;
}

void RegReadStr(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                const std::string& Default, std::string& Value) {
    const auto key = Store.OpenKey(Key);
    if (!key)
        return;
    const TRegValue stored = key->Read(Name);
    if (stored.Kind == TRegKind::String && !stored.Data.empty()) {
        Value.assign(stored.Data.begin(), stored.Data.end());
        return;
    }
    key->Write(Name, TRegValue::Str(Default));
    Value = Default;
}

bool RegWriteInt(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                 int32_t Value) {
    return Write(Store, Key, Name, TRegValue::Dword(static_cast<uint32_t>(Value)));
}

bool RegWriteBool(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                  bool Value) {
    return Write(Store, Key, Name, TRegValue::Dword(Value ? 1 : 0));
}

bool RegWriteBin(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                 const void* Buffer, int32_t Size) {
    return Write(Store, Key, Name,
                 TRegValue::Bin(Buffer, static_cast<std::size_t>(std::max(Size, 0))));
}

bool RegWriteStr(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                 const std::string& Value) {
    return Write(Store, Key, Name, TRegValue::Str(Value));
}

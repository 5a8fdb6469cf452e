#include "app/base/Registry_win.h"

#include "common/WinRes_win.h"

#include <algorithm>

namespace {

TRegValue Typed(DWORD Type, std::vector<uint8_t> Data) {
    switch (Type) {
    case REG_DWORD:
        return {Data.size() == 4 ? TRegKind::Dword : TRegKind::Other, std::move(Data)};
    case REG_SZ:
    case REG_EXPAND_SZ: {
        // The text ends at its first NUL, stored or not.
        const auto nul = std::find(Data.begin(), Data.end(), uint8_t{0});
        Data.erase(nul, Data.end());
        return {TRegKind::String, std::move(Data)};
    }
    case REG_BINARY:
        return {TRegKind::Binary, std::move(Data)};
    default:
        return {TRegKind::Other, std::move(Data)};
    }
}

class TWinRegKey : public IRegistryKey {
public:
    explicit TWinRegKey(HKEY Key) : FKey(Key) {}

    TRegValue Read(const std::string& Name) override {
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExA(FKey.Get(), Name.c_str(), nullptr, &type, nullptr, &size);
        std::vector<uint8_t> data;
        // The value may grow between the two calls.
        while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
            data.resize(size);
            rc = RegQueryValueExA(FKey.Get(), Name.c_str(), nullptr, &type, data.data(), &size);
            if (rc == ERROR_SUCCESS) {
                data.resize(size);
                return Typed(type, std::move(data));
            }
        }
        if (rc == ERROR_FILE_NOT_FOUND)
            return {};
        return {TRegKind::Other, {}};
    }

    bool Write(const std::string& Name, const TRegValue& Value) override {
        std::vector<uint8_t> data = Value.Data;
        DWORD type = REG_BINARY;
        switch (Value.Kind) {
        case TRegKind::Dword:
            type = REG_DWORD;
            break;
        case TRegKind::String:
            type = REG_SZ;
            data.push_back(0);
            break;
        case TRegKind::Missing:
        case TRegKind::Binary:
        case TRegKind::Other:
            break;
        }
        return RegSetValueExA(FKey.Get(), Name.c_str(), 0, type, data.data(),
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

private:
    TRegKeyHandle FKey;
};

} // namespace

std::unique_ptr<IRegistryKey> TWinRegistry::OpenKey(const std::string& Key) {
    // Paths are given from the root, with a leading backslash the platform does not take.
    const std::string path = !Key.empty() && Key[0] == '\\' ? Key.substr(1) : Key;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<TWinRegKey>(key);
}

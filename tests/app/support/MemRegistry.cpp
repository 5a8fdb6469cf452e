#include "tests/app/support/MemRegistry.h"

class TMemRegistryKey : public IRegistryKey {
public:
    TMemRegistryKey(TMemRegistry& Store, std::string Key) : FStore(Store), FKey(std::move(Key)) {}

    TRegValue Read(const std::string& Name) override { return FStore.Get(FKey, Name); }

    bool Write(const std::string& Name, const TRegValue& Value) override {
        ++FStore.Writes;
        if (FStore.FailWrites)
            return false;
        FStore.Put(FKey, Name, Value);
        return true;
    }

private:
    TMemRegistry& FStore;
    std::string FKey;
};

std::unique_ptr<IRegistryKey> TMemRegistry::OpenKey(const std::string& Key) {
    if (FailOpen)
        return nullptr;
    FKeys[Key];
    return std::make_unique<TMemRegistryKey>(*this, Key);
}

TRegValue TMemRegistry::Get(const std::string& Key, const std::string& Name) const {
    const auto k = FKeys.find(Key);
    if (k == FKeys.end())
        return {};
    const auto v = k->second.find(Name);
    return v == k->second.end() ? TRegValue{} : v->second;
}

void TMemRegistry::Put(const std::string& Key, const std::string& Name, const TRegValue& Value) {
    FKeys[Key][Name] = Value;
}

// An in-memory settings store for tests, with switches for the failures the
// platform can report.
#pragma once

#include "app/base/Registry_.h"

#include <map>
#include <string>

class TMemRegistry : public IRegistryStore {
public:
    std::unique_ptr<IRegistryKey> OpenKey(const std::string& Key) override;

    // The stored value, Missing when there is none.
    TRegValue Get(const std::string& Key, const std::string& Name) const;
    void Put(const std::string& Key, const std::string& Name, const TRegValue& Value);
    bool HasKey(const std::string& Key) const { return FKeys.count(Key) != 0; }

    bool FailOpen = false;   // no key can be opened or created
    bool FailWrites = false; // keys open, every write fails
    int Writes = 0;          // write attempts, failed ones included

private:
    friend class TMemRegistryKey;
    std::map<std::string, std::map<std::string, TRegValue>> FKeys;
};

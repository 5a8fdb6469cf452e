// The settings store of the program: the current user's hive (HKEY_CURRENT_USER).
#pragma once

#include "app/base/Registry_.h"

class TWinRegistry : public IRegistryStore {
public:
    std::unique_ptr<IRegistryKey> OpenKey(const std::string& Key) override;
};

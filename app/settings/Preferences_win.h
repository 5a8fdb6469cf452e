// The platform side of the preferences: the program folder, folders on disk and
// the user's measurement system.
#pragma once

#include "app/settings/Preferences_.h"

class TWinPrefPlatform : public IPrefPlatform {
public:
    std::string ProgramDir() override;
    bool DirectoryExists(const std::string& Dir) override;
    bool CreateDir(const std::string& Dir) override;
    std::string SystemTempDir() override;
    bool IsInchLocale() override;
};

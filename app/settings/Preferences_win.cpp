#include "app/settings/Preferences_win.h"

#include "app/base/Tools_win.h"

#include <windows.h>

std::string TWinPrefPlatform::ProgramDir() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, n < MAX_PATH ? n : 0);
    return file.substr(0, file.find_last_of('\\') + 1);
}

bool TWinPrefPlatform::DirectoryExists(const std::string& Dir) {
    const DWORD attributes = GetFileAttributesA(Dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool TWinPrefPlatform::CreateDir(const std::string& Dir) {
    return CreateDirectoryA(Dir.c_str(), nullptr) != 0;
}

std::string TWinPrefPlatform::SystemTempDir() {
    char path[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof path, path);
    return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

bool TWinPrefPlatform::IsInchLocale() {
    return ::IsInchLocale();
}

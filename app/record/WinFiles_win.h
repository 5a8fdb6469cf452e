// The file interface on Win32. Names are in the ANSI code page, like every
// file name of the application.
#pragma once

#include "app/record/Files_.h"

#include <windows.h>

class TWinFileSystem : public IFileSystem {
public:
    std::unique_ptr<IFile> Open(const std::string& Name, TOpenMode Mode,
                                TFileError& Error) override;
    bool Exists(const std::string& Name) override;
    bool Remove(const std::string& Name) override;
    bool Replace(const std::string& From, const std::string& To) override;
};

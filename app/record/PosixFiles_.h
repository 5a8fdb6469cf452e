// The file interface on POSIX: the native build's files.
#pragma once

#include "app/record/Files_.h"

class TPosixFileSystem : public IFileSystem {
public:
    std::unique_ptr<IFile> Open(const std::string& Name, TOpenMode Mode,
                                TFileError& Error) override;
    bool Exists(const std::string& Name) override;
    bool Remove(const std::string& Name) override;
    bool Replace(const std::string& From, const std::string& To) override;
};

// The few file operations the record file and the temporary files need, so the
// same code runs on Win32, natively and over a fault-injecting test double.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class TFileError {
    None,
    NotFound, // the file does not exist
    Denied,   // exists but cannot be opened: locked, no access, ...
    Io,       // read or write failed
    DiskFull,
};

class IFile {
public:
    virtual ~IFile() = default;
    // Bytes actually read or written at Offset; fewer than Size means an error
    // (or the end of the file when reading). Reads may run on several threads
    // at once.
    virtual std::size_t ReadAt(uint64_t Offset, void* Buffer, std::size_t Size) = 0;
    virtual std::size_t WriteAt(uint64_t Offset, const void* Buffer, std::size_t Size) = 0;
    virtual uint64_t Size() = 0;
    virtual bool Truncate(uint64_t Size) = 0;
    // Data written so far reach the disk.
    virtual bool Flush() = 0;
    virtual TFileError LastError() const = 0;
};

enum class TOpenMode {
    ReadExclusive,   // reading; nobody writes meanwhile
    CreateExclusive, // a new empty file, replacing any existing one
    OpenShared,      // an existing file, read and write, shared with other readers and writers
    CreateShared,    // like OpenShared, but a new empty file replacing any existing one
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    virtual std::unique_ptr<IFile> Open(const std::string& Name, TOpenMode Mode,
                                        TFileError& Error) = 0;
    virtual bool Exists(const std::string& Name) = 0;
    virtual bool Remove(const std::string& Name) = 0;
    // Replaces To by From in one step that survives a power loss: To is either
    // the old or the new file, never a mixture.
    virtual bool Replace(const std::string& From, const std::string& To) = 0;
};

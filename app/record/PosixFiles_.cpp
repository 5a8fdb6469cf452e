#include "app/record/PosixFiles_.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TFileError ErrorOf(int Errno) {
    switch (Errno) {
    case ENOENT:
        return TFileError::NotFound;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EISDIR:
        return TFileError::Denied;
    case ENOSPC:
        return TFileError::DiskFull;
    default:
        return TFileError::Io;
    }
}

class TPosixFile : public IFile {
public:
    explicit TPosixFile(int Fd) : FFd(Fd) {}
    ~TPosixFile() override { close(FFd); }
    TPosixFile(const TPosixFile&) = delete;
    TPosixFile& operator=(const TPosixFile&) = delete;

    std::size_t ReadAt(uint64_t Offset, void* Buffer, std::size_t Size) override {
        auto* p = static_cast<char*>(Buffer);
        return Transfer(Size, [&](std::size_t Done) {
            return pread(FFd, p + Done, Size - Done, static_cast<off_t>(Offset + Done));
        });
    }
    std::size_t WriteAt(uint64_t Offset, const void* Buffer, std::size_t Size) override {
        const auto* p = static_cast<const char*>(Buffer);
        return Transfer(Size, [&](std::size_t Done) {
            return pwrite(FFd, p + Done, Size - Done, static_cast<off_t>(Offset + Done));
        });
    }
    uint64_t Size() override {
        struct stat st;
        return fstat(FFd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    }
    bool Truncate(uint64_t Size) override {
        return ftruncate(FFd, static_cast<off_t>(Size)) == 0 || Note(-1);
    }
    bool Flush() override { return fsync(FFd) == 0 || Note(-1); }
    TFileError LastError() const override { return FError; }

private:
    // Repeats Call (bytes done so far -> bytes moved, or -1) until Size bytes
    // moved, the end of the file or an error.
    template <class TCall>
    std::size_t Transfer(std::size_t Size, TCall Call) {
        std::size_t done = 0;
        while (done < Size) {
            const ssize_t n = Call(done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Note(n);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }
    bool Note(ssize_t Result) {
        FError = Result < 0 ? ErrorOf(errno) : TFileError::Io;
        return false;
    }

    int FFd;
    std::atomic<TFileError> FError = TFileError::None; // reads may fail on several threads
};

} // namespace

std::unique_ptr<IFile> TPosixFileSystem::Open(const std::string& Name, TOpenMode Mode,
                                              TFileError& Error) {
    int flags = O_RDWR;
    switch (Mode) {
    case TOpenMode::ReadExclusive:
        flags = O_RDONLY;
        break;
    case TOpenMode::CreateExclusive:
    case TOpenMode::CreateShared:
        flags = O_RDWR | O_CREAT | O_TRUNC;
        break;
    case TOpenMode::OpenShared:
        break;
    }
    const int fd = open(Name.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        Error = ErrorOf(errno);
        return nullptr;
    }
    Error = TFileError::None;
    return std::make_unique<TPosixFile>(fd);
}

bool TPosixFileSystem::Exists(const std::string& Name) {
    struct stat st;
    return stat(Name.c_str(), &st) == 0;
}

bool TPosixFileSystem::Remove(const std::string& Name) {
    return unlink(Name.c_str()) == 0;
}

bool TPosixFileSystem::Replace(const std::string& From, const std::string& To) {
    if (rename(From.c_str(), To.c_str()) != 0)
        return false;
    // The new directory entry reaches the disk too.
    const std::size_t slash = To.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : To.substr(0, slash + 1);
    const int fd = open(dir.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
    return true;
}

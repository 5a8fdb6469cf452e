#include "app/record/WinFiles_win.h"

#include "common/WinRes_win.h"

#include <algorithm>
#include <atomic>

namespace {

std::wstring Wide(const std::string& Name) {
    const int n =
        MultiByteToWideChar(CP_ACP, 0, Name.data(), static_cast<int>(Name.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Name.data(), static_cast<int>(Name.size()), w.data(), n);
    return w;
}

TFileError ErrorOf(DWORD Code) {
    switch (Code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return TFileError::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return TFileError::Denied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return TFileError::DiskFull;
    default:
        return TFileError::Io;
    }
}

// Transfers of at most this many bytes per call.
constexpr std::size_t kMaxTransfer = 1u << 30;

OVERLAPPED At(uint64_t Offset) {
    OVERLAPPED o = {};
    o.Offset = static_cast<DWORD>(Offset);
    o.OffsetHigh = static_cast<DWORD>(Offset >> 32);
    return o;
}

class TWinFile : public IFile {
public:
    explicit TWinFile(HANDLE Handle) : FHandle(Handle) {}

    std::size_t ReadAt(uint64_t Offset, void* Buffer, std::size_t Size) override {
        std::size_t done = 0;
        while (done < Size) {
            OVERLAPPED o = At(Offset + done);
            DWORD n = 0;
            const DWORD want = static_cast<DWORD>(std::min(Size - done, kMaxTransfer));
            if (!ReadFile(FHandle.Get(), static_cast<char*>(Buffer) + done, want, &n, &o)) {
                Note();
                break;
            }
            if (n == 0)
                break;
            done += n;
        }
        return done;
    }
    std::size_t WriteAt(uint64_t Offset, const void* Buffer, std::size_t Size) override {
        std::size_t done = 0;
        while (done < Size) {
            OVERLAPPED o = At(Offset + done);
            DWORD n = 0;
            const DWORD want = static_cast<DWORD>(std::min(Size - done, kMaxTransfer));
            if (!WriteFile(FHandle.Get(), static_cast<const char*>(Buffer) + done, want, &n, &o) ||
                n == 0) {
                Note();
                break;
            }
            done += n;
        }
        return done;
    }
    uint64_t Size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(FHandle.Get(), &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    }
    bool Truncate(uint64_t Size) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(Size);
        return (SetFilePointerEx(FHandle.Get(), to, nullptr, FILE_BEGIN) &&
                SetEndOfFile(FHandle.Get())) ||
               Note();
    }
    bool Flush() override { return FlushFileBuffers(FHandle.Get()) || Note(); }
    TFileError LastError() const override { return FError; }

private:
    bool Note() {
        FError = ErrorOf(GetLastError());
        return false;
    }

    THandle FHandle;
    std::atomic<TFileError> FError = TFileError::None; // reads may fail on several threads
};

} // namespace

std::unique_ptr<IFile> TWinFileSystem::Open(const std::string& Name, TOpenMode Mode,
                                            TFileError& Error) {
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    DWORD disposition = OPEN_EXISTING;
    switch (Mode) {
    case TOpenMode::ReadExclusive:
        access = GENERIC_READ;
        share = FILE_SHARE_READ;
        break;
    case TOpenMode::CreateExclusive:
        share = 0;
        disposition = CREATE_ALWAYS;
        break;
    case TOpenMode::OpenShared:
        break;
    case TOpenMode::CreateShared:
        disposition = CREATE_ALWAYS;
        break;
    }
    const HANDLE h = CreateFileW(Wide(Name).c_str(), access, share, nullptr, disposition,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Error = ErrorOf(GetLastError());
        return nullptr;
    }
    Error = TFileError::None;
    return std::make_unique<TWinFile>(h);
}

bool TWinFileSystem::Exists(const std::string& Name) {
    return GetFileAttributesW(Wide(Name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TWinFileSystem::Remove(const std::string& Name) {
    return DeleteFileW(Wide(Name).c_str());
}

bool TWinFileSystem::Replace(const std::string& From, const std::string& To) {
    return MoveFileExW(Wide(From).c_str(), Wide(To).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

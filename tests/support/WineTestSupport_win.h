// What the Wine tests of the link share: the test's COM port, Linux paths as
// Wine sees them, and the simulator's control file.
#pragma once

#include "QuorxComDllH.h"
#include "tools/RunEvents_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

inline int TestComPort() {
    const char* n = std::getenv("QUORX_COM_PORT");
    return n ? std::atoi(n) : 0;
}

// A Linux path as a Wine path on drive Z:.
inline std::string WinePath(const std::string& UnixPath) {
    std::string win = "Z:" + UnixPath;
    for (char& c : win)
        if (c == '/')
            c = '\\';
    return win;
}

inline std::string EnvPath(const char* Name) {
    const char* p = std::getenv(Name);
    return p ? WinePath(p) : std::string();
}

inline std::string Slurp(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The far end of the test's pty pair, as the instrument (or modem) sees it.
// Wine opens the pty as a serial device, so a read waits at most ReadWaitMs.
class TPtyPeer {
public:
    explicit TPtyPeer(DWORD ReadWaitMs = 2000) {
        const char* path = std::getenv("QUORX_SIM_PTY");
        if (path == nullptr)
            return;
        handle_ = CreateFileA(WinePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = MAXDWORD;
        t.ReadTotalTimeoutConstant = ReadWaitMs;
        if (Ok())
            SetCommTimeouts(handle_, &t);
    }
    ~TPtyPeer() {
        if (Ok())
            CloseHandle(handle_);
    }
    TPtyPeer(const TPtyPeer&) = delete;
    TPtyPeer& operator=(const TPtyPeer&) = delete;

    bool Ok() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Send(const std::string& Text) {
        DWORD n = 0;
        WriteFile(handle_, Text.data(), static_cast<DWORD>(Text.size()), &n, nullptr);
    }
    // Up to Count bytes; fewer when nothing came for the read wait.
    std::string Receive(std::size_t Count) {
        std::string got;
        while (got.size() < Count) {
            char buf[256];
            DWORD n = 0;
            const auto want =
                static_cast<DWORD>(std::min<std::size_t>(sizeof buf, Count - got.size()));
            if (!ReadFile(handle_, buf, want, &n, nullptr) || n == 0)
                break;
            got.append(buf, n);
        }
        return got;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Replaces a simulator's control file (a Wine path) whole and waits for its
// acknowledgement.
inline bool SimControlFile(const std::string& Path, const std::string& Text) {
    {
        std::ofstream out(Path + ".tmp", std::ios::binary | std::ios::trunc);
        out << Text;
    }
    MoveFileExA((Path + ".tmp").c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING);
    for (int i = 0; i < 200; ++i) {
        if (Slurp(Path + ".ack") == Text)
            return true;
        Sleep(10);
    }
    return false;
}

// The same for the test's simulator, named by QUORX_SIM_CONTROL.
inline bool SimControl(const std::string& Text) {
    const std::string path = EnvPath("QUORX_SIM_CONTROL");
    return !path.empty() && SimControlFile(path, Text);
}

// An event procedure that drains its link, counting its calls and the
// measurement events of all chambers (code 0x100, 128 bytes) it takes.
struct TDrainCounts {
    int Calls = 0;
    int Drained = 0;
    int CalledWith = 0;
};
inline TDrainCounts gDrain;

inline void QUORX_CALL DrainMeasEvents(TDevIndex Index) {
    ++gDrain.Calls;
    gDrain.CalledWith = Index;
    int count = 0;
    GetNumEvent(Index, &count, nullptr, nullptr);
    for (int i = 0; i < count; ++i) {
        std::uint16_t code = 0;
        std::uint8_t param = 0;
        std::uint8_t data[5001];
        int len = 0;
        if (GetEvent(Index, &code, &param, data, sizeof data, &len) == 0 && code == 0x100 &&
            param == 255 && len == 128)
            ++gDrain.Drained;
    }
}

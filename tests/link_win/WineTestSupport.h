// What the Wine tests of the link share: the test's COM port, Linux paths as
// Wine sees them, and the simulator's control file.
#pragma once

#include <windows.h>

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

// Replaces the simulator's control file whole and waits for its acknowledgement.
inline bool SimControl(const std::string& Text) {
    const std::string path = EnvPath("QUORX_SIM_CONTROL");
    if (path.empty())
        return false;
    {
        std::ofstream out(path + ".tmp", std::ios::binary | std::ios::trunc);
        out << Text;
    }
    MoveFileExA((path + ".tmp").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    for (int i = 0; i < 200; ++i) {
        if (Slurp(path + ".ack") == Text)
            return true;
        Sleep(10);
    }
    return false;
}

// Dispatches this thread's messages (the link's event timer) for Ms.
inline void PumpMessages(DWORD Ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < Ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

// Helpers for the tests that start TessalyMC.exe as a program of its own: the
// process, killed when a test leaves it running, its main window, and its tree
// read through memory of that process.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

inline std::string ProgramPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1) + "TessalyMC.exe";
}

// A started program; killed when it is still running at the end of the test.
// A suspended one runs once resumed.
class TProcess {
public:
    explicit TProcess(const std::string& Arguments, bool Suspended = false) {
        std::string commandLine = "\"" + ProgramPath() + "\"" + Arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                           Suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &si, &FInfo) &&
            !Suspended) {
            CloseHandle(FInfo.hThread);
            FInfo.hThread = nullptr;
        }
    }
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;
    ~TProcess() {
        if (!FInfo.hProcess)
            return;
        if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(FInfo.hProcess, 1);
            WaitForSingleObject(FInfo.hProcess, 5000);
        }
        CloseHandle(FInfo.hProcess);
        if (FInfo.hThread)
            CloseHandle(FInfo.hThread);
    }

    bool Started() const { return FInfo.hProcess != nullptr; }
    DWORD Id() const { return FInfo.dwProcessId; }
    DWORD MainThreadId() const { return FInfo.dwThreadId; }
    void Resume() const { ResumeThread(FInfo.hThread); }
    HANDLE Handle() const { return FInfo.hProcess; }
    // The exit code once it ended within TimeoutMs, else STILL_ACTIVE.
    DWORD WaitExit(DWORD TimeoutMs) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(FInfo.hProcess, TimeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(FInfo.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION FInfo{};
};

// The visible top-level windows of class ClassName that belong to process Id.
inline std::vector<HWND> WindowsOf(DWORD Id, const char* ClassName = nullptr) {
    std::vector<HWND> windows;
    for (HWND w = FindWindowExA(nullptr, nullptr, ClassName, nullptr); w;
         w = FindWindowExA(nullptr, w, ClassName, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == Id && IsWindowVisible(w))
            windows.push_back(w);
    }
    return windows;
}

// The visible main window of process Id, waiting up to 10 s for it.
inline HWND WaitForFrame(DWORD Id) {
    const ULONGLONG until = GetTickCount64() + 10000;
    while (GetTickCount64() < until) {
        if (const std::vector<HWND> frames = WindowsOf(Id, "TMainForm"); !frames.empty())
            return frames.front();
        Sleep(20);
    }
    return nullptr;
}

struct TRemoteItem {
    std::string Text = "(not read)";
    int Image = -1;
};

// Text and image of a tree view item of another process, through memory of that process.
inline TRemoteItem RemoteTreeItem(HANDLE Process, HWND Tree, HTREEITEM Item) {
    constexpr SIZE_T kText = 256;
    TRemoteItem result;
    void* remote = VirtualAllocEx(Process, nullptr, sizeof(TVITEMA) + kText,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote)
        return result;
    char* remoteText = static_cast<char*>(remote) + sizeof(TVITEMA);
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_IMAGE;
    item.hItem = Item;
    item.pszText = remoteText;
    item.cchTextMax = kText;
    char text[kText] = {};
    if (WriteProcessMemory(Process, remote, &item, sizeof item, nullptr) &&
        SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(Process, remote, &item, sizeof item, nullptr) &&
        ReadProcessMemory(Process, remoteText, text, kText - 1, nullptr)) {
        result.Text = text;
        result.Image = item.iImage;
    }
    VirtualFreeEx(Process, remote, 0, MEM_RELEASE);
    return result;
}

// The children of a tree view item (the top-level items for null), in order.
inline std::vector<HTREEITEM> TreeChildren(HWND Tree, HTREEITEM Parent) {
    std::vector<HTREEITEM> children;
    auto item = reinterpret_cast<HTREEITEM>(
        Parent ? SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(Parent))
               : SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                 reinterpret_cast<LPARAM>(item))))
        children.push_back(item);
    return children;
}

// Wine manages no window here: the program must not wait for a window manager.
inline void Unmanaged() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\TessalyMC.exe\\X11 Driver",
                        0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(key);
    }
}

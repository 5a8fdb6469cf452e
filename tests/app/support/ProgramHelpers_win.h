// Helpers for the tests that start TessalyMC.exe as a program of its own: the
// process, killed when a test leaves it running or ended hard as by a crash,
// the preferences it starts with, its main window, and its tree and lists read
// through memory of that process.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

inline constexpr char kEnvironmentKey[] = "Software\\Meridane\\TessalyMC\\environment";

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

// Calls Read with room for an item and its text in Process; false when that failed.
template <typename TItem, typename TRead>
bool ReadRemoteItem(HANDLE Process, TItem Item, TRead Read, TRemoteItem& Result) {
    constexpr SIZE_T kText = 256;
    void* remote = VirtualAllocEx(Process, nullptr, sizeof Item + kText, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (!remote)
        return false;
    char* remoteText = static_cast<char*>(remote) + sizeof Item;
    Item.pszText = remoteText;
    Item.cchTextMax = kText;
    char text[kText] = {};
    const bool read = WriteProcessMemory(Process, remote, &Item, sizeof Item, nullptr) &&
                      Read(remote) &&
                      ReadProcessMemory(Process, remote, &Item, sizeof Item, nullptr) &&
                      ReadProcessMemory(Process, remoteText, text, kText - 1, nullptr);
    if (read) {
        Result.Text = text;
        Result.Image = Item.iImage;
    }
    VirtualFreeEx(Process, remote, 0, MEM_RELEASE);
    return read;
}

// Text and image of a tree view item of another process, through memory of that process.
inline TRemoteItem RemoteTreeItem(HANDLE Process, HWND Tree, HTREEITEM Item) {
    TRemoteItem result;
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_IMAGE;
    item.hItem = Item;
    ReadRemoteItem(
        Process, item,
        [&](void* Remote) {
            return SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(Remote)) != 0;
        },
        result);
    return result;
}

// Text of column SubItem of a list view row of another process, with the
// row's image for column 0.
inline TRemoteItem RemoteListItem(HANDLE Process, HWND List, int Row, int SubItem) {
    TRemoteItem result;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = Row;
    item.iSubItem = SubItem;
    ReadRemoteItem(
        Process, item,
        [&](void* Remote) {
            return SendMessageA(List, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(Remote)) != 0;
        },
        result);
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

// A value of the program's environment key, put back as it was when the test ends.
class TSavedValue {
public:
    explicit TSavedValue(const char* Name) : FName(Name) {
        DWORD size = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, kEnvironmentKey, Name, RRF_RT_ANY, &FType, nullptr,
                         &size) != ERROR_SUCCESS)
            return;
        FData.resize(size);
        FSaved = RegGetValueA(HKEY_CURRENT_USER, kEnvironmentKey, Name, RRF_RT_ANY, &FType,
                              FData.data(), &size) == ERROR_SUCCESS;
    }
    TSavedValue(const TSavedValue&) = delete;
    TSavedValue& operator=(const TSavedValue&) = delete;
    ~TSavedValue() {
        if (FSaved)
            RegSetKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, FName, FType, FData.data(),
                            static_cast<DWORD>(FData.size()));
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, FName);
    }

private:
    const char* FName;
    DWORD FType = REG_NONE;
    std::vector<BYTE> FData;
    bool FSaved = false;
};

// The stored open ports ("openedcom") with COMn alone: interface n - 1.
inline std::array<BYTE, 32> OpenedComPorts(int Port) {
    std::array<BYTE, 32> ports{};
    ports[static_cast<size_t>((Port - 1) / 8)] = static_cast<BYTE>(1 << ((Port - 1) % 8));
    return ports;
}

// COMn stored as the only open port with "autoconn" on: the program connects
// it at its start. The test keeps TSavedValue of both to put them back.
inline bool ConnectAtStart(int Port) {
    const std::array<BYTE, 32> ports = OpenedComPorts(Port);
    const DWORD on = 1;
    return RegSetKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, "openedcom", REG_BINARY,
                           ports.data(), static_cast<DWORD>(ports.size())) == ERROR_SUCCESS &&
           RegSetKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, "autoconn", REG_DWORD, &on,
                           sizeof on) == ERROR_SUCCESS;
}

// What the program's tree shows of its first instrument.
struct TInstrumentView {
    std::string Text;
    int Image = -1;
    std::vector<std::string> Chambers;
    std::vector<int> ChamberImages;
};

// The program's main window as the tests see it: its tree and document area.
class TProgramView {
public:
    TProgramView(const TProcess& Program, HWND Frame)
        : FProgram(Program), FTree(FindWindowExA(Frame, nullptr, WC_TREEVIEWA, nullptr)),
          FClient(FindWindowExA(Frame, nullptr, "MDICLIENT", nullptr)) {}

    HWND Tree() const { return FTree; }
    HWND Client() const { return FClient; }
    HTREEITEM InstrumentItem() const {
        const std::vector<HTREEITEM> roots = TreeChildren(FTree, nullptr);
        if (roots.empty())
            return nullptr;
        const std::vector<HTREEITEM> instruments = TreeChildren(FTree, roots.front());
        return instruments.empty() ? nullptr : instruments.front();
    }
    // The first instrument's chamber whose node shows Text, or null.
    HTREEITEM ChamberItem(const std::string& Text) const {
        const HTREEITEM instrument = InstrumentItem();
        if (!instrument)
            return nullptr;
        for (HTREEITEM chamber : TreeChildren(FTree, instrument))
            if (RemoteTreeItem(FProgram.Handle(), FTree, chamber).Text == Text)
                return chamber;
        return nullptr;
    }
    TInstrumentView Instrument() const {
        TInstrumentView view;
        const HTREEITEM item = InstrumentItem();
        if (!item)
            return view;
        const TRemoteItem instrument = RemoteTreeItem(FProgram.Handle(), FTree, item);
        view.Text = instrument.Text;
        view.Image = instrument.Image;
        for (HTREEITEM chamber : TreeChildren(FTree, item)) {
            const TRemoteItem c = RemoteTreeItem(FProgram.Handle(), FTree, chamber);
            view.Chambers.push_back(c.Text);
            view.ChamberImages.push_back(c.Image);
        }
        return view;
    }

protected:
    const TProcess& FProgram;
    HWND FTree;
    HWND FClient;
};

// Opens the window of a tree item as Enter on it does.
inline void OpenNode(HWND Tree, HTREEITEM Item) {
    SendMessageA(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Item));
    PostMessageA(Tree, WM_CHAR, '\r', 1);
}

// A chamber's record window and its controls, all null when there is none.
struct TRecControls {
    HWND Window = nullptr;
    HWND List = nullptr;
    HWND Record = nullptr;
    HWND Stop = nullptr;
    HWND SampleRate = nullptr;
};

// The first record window of the program's document area.
inline TRecControls FindRecWindow(HWND Client) {
    TRecControls rec;
    rec.Window = FindWindowExA(Client, nullptr, "TMDIChildRec", nullptr);
    if (!rec.Window)
        return rec;
    rec.List = FindWindowExA(rec.Window, nullptr, WC_LISTVIEWA, nullptr);
    rec.Record = FindWindowExA(rec.Window, nullptr, "Button", "&Record");
    rec.Stop = FindWindowExA(rec.Window, nullptr, "Button", "&Stop");
    // The sample-rate box holds the eight rates; the time-page box has more entries.
    for (HWND box = FindWindowExA(rec.Window, nullptr, "ComboBox", nullptr); box;
         box = FindWindowExA(rec.Window, box, "ComboBox", nullptr))
        if (SendMessageA(box, CB_GETCOUNT, 0, 0) == 8)
            rec.SampleRate = box;
    return rec;
}

// The first of the rates, 1 s, chosen as a person would: a sample at each
// measurement event.
inline void SelectFirstSampleRate(const TRecControls& Rec) {
    SendMessageA(Rec.SampleRate, CB_SETCURSEL, 0, 0);
    SendMessageA(Rec.Window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Rec.SampleRate), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Rec.SampleRate));
}

inline int RowCount(HWND List) {
    return static_cast<int>(SendMessageA(List, LVM_GETITEMCOUNT, 0, 0));
}

inline bool IsChecked(HWND Button) {
    return SendMessageA(Button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Ends Program's Wine process with SIGKILL, as a crash or a power cut would:
// nothing is asked, flushed or closed. The process is found by this build's
// program path, so that programs of other build trees are left alone. True
// once it has ended.
inline bool KillHard(const TProcess& Program) {
    std::string path = ProgramPath();
    if (path.size() > 2 && path[1] == ':')
        path.erase(0, 2);
    // Any separator matches; the bracket keeps the shell's own command line out.
    std::string pattern;
    for (char c : path)
        pattern += c == '\\' ? std::string(".") : std::string(1, c);
    const size_t name = pattern.rfind("TessalyMC");
    pattern.replace(name, 1, "[T]");
    std::string commandLine = "/bin/sh -c \"pids=$(pgrep -f '" + pattern + "') && kill -9 $pids\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION shell{};
    if (!CreateProcessA("/bin/sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &shell))
        return false;
    CloseHandle(shell.hThread);
    WaitForSingleObject(shell.hProcess, 5000);
    CloseHandle(shell.hProcess);
    return Program.WaitExit(5000) != STILL_ACTIVE;
}

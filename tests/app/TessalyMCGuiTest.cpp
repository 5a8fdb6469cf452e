// TessalyMC.exe as a whole under Wine: it starts and shows its frame with the
// computer node, a second start with a file exits with 183 and brings the first
// one back, and closing the frame ends the process with exit code 0. Every wait
// is bounded; a program that hangs is killed.
#include "GuiHelpers_win.h"
#include "Tools_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

std::string ProgramPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1) + "TessalyMC.exe";
}

// A started program; killed when it is still running at the end of the test.
class TProcess {
public:
    explicit TProcess(const std::string& Arguments) {
        std::string commandLine = "\"" + ProgramPath() + "\"" + Arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &si, &FInfo))
            CloseHandle(FInfo.hThread);
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
    }

    bool Started() const { return FInfo.hProcess != nullptr; }
    DWORD Id() const { return FInfo.dwProcessId; }
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

// The visible main window of process Id, waiting up to 10 s for it.
HWND WaitForFrame(DWORD Id) {
    const ULONGLONG until = GetTickCount64() + 10000;
    while (GetTickCount64() < until) {
        for (HWND w = FindWindowA("TMainForm", nullptr); w;
             w = FindWindowExA(nullptr, w, "TMainForm", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == Id && IsWindowVisible(w))
                return w;
        }
        Sleep(20);
    }
    return nullptr;
}

// The text of a tree view item of another process, through memory of that process.
std::string RemoteTreeItemText(HANDLE Process, HWND Tree, HTREEITEM Item) {
    constexpr SIZE_T kText = 256;
    void* remote = VirtualAllocEx(Process, nullptr, sizeof(TVITEMA) + kText,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote)
        return "(no memory)";
    char* remoteText = static_cast<char*>(remote) + sizeof(TVITEMA);
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = Item;
    item.pszText = remoteText;
    item.cchTextMax = kText;
    char text[kText] = {};
    if (WriteProcessMemory(Process, remote, &item, sizeof item, nullptr) &&
        SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote)))
        ReadProcessMemory(Process, remoteText, text, kText - 1, nullptr);
    VirtualFreeEx(Process, remote, 0, MEM_RELEASE);
    return text;
}

// Wine manages no window here: the program must not wait for a window manager.
void Unmanaged() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\TessalyMC.exe\\X11 Driver",
                        0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(key);
    }
}

TEST(TessalyMC, StartsOnceHandsASecondStartOverAndClosesCleanly) {
    Unmanaged();
    TProcess first("");
    ASSERT_TRUE(first.Started());
    const HWND frame = WaitForFrame(first.Id());
    ASSERT_NE(frame, nullptr) << "no frame within 10 s";
    EXPECT_EQ(WindowText(frame), "Tessaly MC");

    const HWND tree = FindWindowExA(frame, nullptr, WC_TREEVIEWA, nullptr);
    ASSERT_NE(tree, nullptr);
    const auto root =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    ASSERT_NE(root, nullptr);
    std::string user = GetUserNameStr();
    if (!user.empty() && user.back() == '\0')
        user.pop_back();
    EXPECT_EQ(RemoteTreeItemText(first.Handle(), tree, root),
              GetComputerNameStr() + " [" + user + "]");

    // A second start with a file: handed over, the first one restored.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    ShowWindow(frame, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(frame));
    {
        TProcess second(" \"" + std::string(temp) + "second start.zqr\"");
        ASSERT_TRUE(second.Started());
        EXPECT_EQ(second.WaitExit(20000), 183u);
    }
    EXPECT_FALSE(IsIconic(frame));
    EXPECT_EQ(first.WaitExit(0), STILL_ACTIVE);

    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(20000), 0u);
}

} // namespace

// TessalyMC.exe as a whole under Wine: it starts and shows its frame with the
// computer node, a second start with a file exits with 183 and brings the first
// one back, and closing the frame ends the process with exit code 0. Every wait
// is bounded; a program that hangs is killed.
#include "app/base/Tools_win.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/ProgramHelpers_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

TEST(TessalyMC, StartsOnceHandsASecondStartOverAndClosesCleanly) {
    Unmanaged();
    // No serial port to connect again at the start.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Meridane\\TessalyMC\\environment",
                       "openedcom");
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
    EXPECT_EQ(RemoteTreeItem(first.Handle(), tree, root).Text,
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

// Each of the program's single forms is made once at its start, hidden until
// used (record windows share their two question forms).
TEST(TessalyMC, MakesEachOfItsFormsOnceAtStart) {
    Unmanaged();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Meridane\\TessalyMC\\environment",
                       "openedcom");
    TProcess program("");
    ASSERT_TRUE(program.Started());
    ASSERT_NE(WaitForFrame(program.Id()), nullptr) << "no frame within 10 s";
    struct TCount {
        DWORD Process;
        std::map<std::string, int> Classes;
    } count{program.Id(), {}};
    EnumWindows(
        [](HWND W, LPARAM L) -> BOOL {
            auto& c = *reinterpret_cast<TCount*>(L);
            DWORD owner = 0;
            GetWindowThreadProcessId(W, &owner);
            char cls[64] = {};
            if (owner == c.Process && GetClassNameA(W, cls, sizeof cls))
                ++c.Classes[cls];
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    const char* const forms[] = {"TMainForm",      "TPreferences",       "TAboutBox",
                                 "TInstrConnFrm",  "TEditProtForm",      "TOverwriteAppendWin",
                                 "TInfoBox",       "TSetSeriesPropForm", "TInfoWin",
                                 "TExportWin",     "TGraphPrintPrv",     "TSetUnitsForm",
                                 "TGraphExportWin"};
    for (const char* form : forms)
        EXPECT_EQ(count.Classes[form], 1) << form;
    PostMessageA(WaitForFrame(program.Id()), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
}

} // namespace

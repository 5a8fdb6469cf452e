// TessalyMC.exe as a whole under Wine: it starts and shows its frame with the
// computer node, a second start with a file exits with 183 and brings the first
// one back, and closing the frame ends the process with exit code 0. Every wait
// is bounded; a program that hangs is killed.
#include "app/base/Tools_win.h"
#include "app/main/MainForm_win.h"
#include "app/output/GraphPrintPrv_win.h"
#include "app/record/RecordFile_.h"
#include "app/record/WinFiles_win.h"
#include "app/settings/PreferencesForm_win.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/ProgramHelpers_win.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

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

// The lines of a text file; none when it cannot be read.
std::vector<std::string> FileLines(const std::string& FileName) {
    std::vector<std::string> lines;
    std::ifstream in(FileName);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Each of the program's single forms is made once at its start, in the
// program's order, and is still there, hidden until used (record windows
// share their two question forms). The order is read from a hook on the
// program's main thread, set before it runs.
TEST(TessalyMC, MakesEachOfItsFormsOnceAtStartInOrder) {
    Unmanaged();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Meridane\\TessalyMC\\environment",
                       "openedcom");
    const std::string dir = ProgramPath().substr(0, ProgramPath().find_last_of('\\') + 1);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "tessaly-forms.log";
    DeleteFileA(log.c_str());
    const HMODULE hookDll = LoadLibraryA((dir + "tessaly_form_log_hook.dll").c_str());
    ASSERT_NE(hookDll, nullptr);
    const auto hookProc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hookDll, "FormLogHook")));
    ASSERT_NE(hookProc, nullptr);

    SetEnvironmentVariableA("QUORX_FORM_LOG", log.c_str());
    TProcess program("", true);
    // The program has its copy of the environment.
    SetEnvironmentVariableA("QUORX_FORM_LOG", nullptr);
    ASSERT_TRUE(program.Started());
    const HHOOK hook = SetWindowsHookExA(WH_CBT, hookProc, hookDll, program.MainThreadId());
    ASSERT_NE(hook, nullptr) << GetLastError();
    program.Resume();
    const HWND frame = WaitForFrame(program.Id());
    UnhookWindowsHookEx(hook);
    FreeLibrary(hookDll);
    ASSERT_NE(frame, nullptr) << "no frame within 10 s";

    const std::vector<std::string> forms = {
        "TMainForm",      "TPreferences",        "TAboutBox",      "TInstrConnFrm",
        "TEditProtForm",  "TOverwriteAppendWin", "TInfoBox",       "TSetSeriesPropForm",
        "TInfoWin",       "TExportWin",          "TGraphPrintPrv", "TSetUnitsForm",
        "TGraphExportWin"};
    std::vector<std::string> made;
    for (const std::string& cls : FileLines(log))
        if (std::find(forms.begin(), forms.end(), cls) != forms.end())
            made.push_back(cls);
    EXPECT_EQ(made, forms);
    DeleteFileA(log.c_str());

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
    for (const std::string& form : forms)
        EXPECT_EQ(count.Classes[form], 1) << form;
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
}

const char kProtMarginsKey[] = "Software\\Meridane\\TessalyMC\\printprot\\margins";
const char kGraphMarginsKey[] = "Software\\Meridane\\TessalyMC\\printgraph\\margins";

// A DWORD of a margins key; -1 when there is none.
long StoredMargin(const char* Key, const char* Name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, Key, Name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return -1;
    return static_cast<long>(value);
}

// A visible dialog of the platform (class "#32770") that Owner owns, made in
// Thread; null when none showed within TimeoutMs.
HWND WaitForOwnedDialog(DWORD Thread, HWND Owner, DWORD TimeoutMs) {
    struct TSearch {
        HWND Owner;
        HWND Found;
    } search{Owner, nullptr};
    const ULONGLONG until = GetTickCount64() + TimeoutMs;
    while (!search.Found && GetTickCount64() < until) {
        EnumThreadWindows(
            Thread,
            [](HWND W, LPARAM L) -> BOOL {
                auto& s = *reinterpret_cast<TSearch*>(L);
                char cls[16] = {};
                GetClassNameA(W, cls, sizeof cls);
                if (std::string(cls) == "#32770" && GetWindow(W, GW_OWNER) == s.Owner &&
                    IsWindowVisible(W))
                    s.Found = W;
                return !s.Found;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.Found)
            Sleep(20);
    }
    return search.Found;
}

bool HasDefaultPrinter() {
    char device[256] = {};
    GetProfileStringA("windows", "device", "", device, sizeof device);
    return device[0] != '\0';
}

const char kNoPrinter[] = "no default printer (scripts/cups-printer makes TessPDF)";

// The visible top-level window of a class in Thread, waiting up to 10 s.
HWND WaitForForm(DWORD Thread, const char* ClassName) {
    const ULONGLONG until = GetTickCount64() + 10000;
    while (GetTickCount64() < until) {
        for (HWND w = FindWindowExA(nullptr, nullptr, ClassName, nullptr); w;
             w = FindWindowExA(nullptr, w, ClassName, nullptr))
            if (GetWindowThreadProcessId(w, nullptr) == Thread && IsWindowVisible(w))
                return w;
        Sleep(20);
    }
    return nullptr;
}

// The preferences' page setup of each kind shows the platform's dialog
// modally over the preferences, starting at the stored margins; its OK stores
// that kind's margins at once, whatever the preferences' own answer, and the
// main window stays disabled.
TEST(TessalyMC, PreferencesPageSetupStoresTheMarginsOfItsDialog) {
    if (!HasDefaultPrinter())
        GTEST_SKIP() << kNoPrinter;
    Unmanaged();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Meridane\\TessalyMC\\environment",
                       "openedcom");
    // The defaults, 2500 hundredths of a millimetre, are written again at the start.
    for (const char* key : {kProtMarginsKey, kGraphMarginsKey})
        RegDeleteTreeA(HKEY_CURRENT_USER, key);
    char measure[4] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof measure);
    const bool inch = measure[0] == '1';
    const long stored = inch ? MulDiv(2500, 1000, 2540) : 2500;

    TProcess program("");
    ASSERT_TRUE(program.Started());
    const HWND frame = WaitForFrame(program.Id());
    ASSERT_NE(frame, nullptr) << "no frame within 10 s";
    const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(TMainForm::kPreferencies1, 0), 0);
    const HWND prefs = WaitForForm(thread, "TPreferences");
    ASSERT_NE(prefs, nullptr) << "no preferences within 10 s";

    // Whole numbers read the same with either decimal separator.
    const struct {
        int button;
        const char* key;
        const char* typed;
        long left;
    } rows[] = {
        {TPreferencesForm::kBitBtnPaSProt, kProtMarginsKey, inch ? "2" : "30", inch ? 2000 : 3000},
        {TPreferencesForm::kBitBtnPaSGra, kGraphMarginsKey, inch ? "3" : "40", inch ? 3000 : 4000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        ASSERT_EQ(StoredMargin(row.key, "left"), 2500);
        PostMessageA(prefs, WM_COMMAND, MAKEWPARAM(row.button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(prefs, row.button)));
        const HWND dialog = WaitForOwnedDialog(thread, prefs, 10000);
        ASSERT_NE(dialog, nullptr) << "no page setup dialog owned by the preferences within 10 s";
        EXPECT_FALSE(IsWindowEnabled(prefs)) << "the page setup is modal over the preferences";
        const HWND left = GetDlgItem(dialog, edt4);
        ASSERT_NE(left, nullptr) << "no left margin in the dialog";
        EXPECT_EQ(WindowText(left).substr(0, inch ? 4 : 2), inch ? "0.98" : "25");
        SendMessageA(left, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.typed));
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        const ULONGLONG until = GetTickCount64() + 10000;
        while (IsWindow(dialog) && GetTickCount64() < until)
            Sleep(20);
        ASSERT_FALSE(IsWindow(dialog)) << "the page setup dialog did not close";
        EXPECT_TRUE(IsWindowVisible(prefs));
        EXPECT_TRUE(IsWindowEnabled(prefs));
        EXPECT_FALSE(IsWindowEnabled(frame)) << "the preferences are still modal";

        // Stored once the dialog has returned; the unit is written last.
        WaitFor(10000, [&] {
            return StoredMargin(row.key, "left") == row.left &&
                   StoredMargin(row.key, "inchunit") == (inch ? 1 : 0);
        });
        EXPECT_EQ(StoredMargin(row.key, "left"), row.left);
        // The margin left alone, in the locale's unit now.
        EXPECT_EQ(StoredMargin(row.key, "top"), stored);
        EXPECT_EQ(StoredMargin(row.key, "inchunit"), inch ? 1 : 0);
    }
    PostMessageA(prefs, WM_COMMAND, MAKEWPARAM(TPreferencesForm::kButtonCancel, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(prefs, TPreferencesForm::kButtonCancel)));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
    for (const auto& row : rows) {
        EXPECT_EQ(StoredMargin(row.key, "left"), row.left) << row.key;
        RegDeleteTreeA(HKEY_CURRENT_USER, row.key);
    }
}

// The print preview's printer and page setup show the platform's dialog
// modally over the preview: while it is up the preview takes no clicks and
// cannot be closed; cancelled, the preview is usable again and still modal.
TEST(TessalyMC, PreviewSetupDialogsAreModalOverThePreview) {
    if (!HasDefaultPrinter())
        GTEST_SKIP() << kNoPrinter;
    Unmanaged();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, "openedcom");
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "preview setup.zqr";
    TRecordFileData record;
    TRecBlockHeader header = {};
    header.Interval = 10;
    header.Count = 20;
    ASSERT_TRUE(AppendBlock(record, header));
    TSample sample = {};
    sample.Block = 1;
    record.Samples.assign(header.Count, sample);
    TWinFileSystem files;
    ASSERT_EQ(SaveRecordFile(files, file, record), "");

    TProcess program(" \"" + file + "\"");
    ASSERT_TRUE(program.Started());
    const HWND frame = WaitForFrame(program.Id());
    ASSERT_NE(frame, nullptr) << "no frame within 10 s";
    const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    const TProgramView view(program, frame);
    // Shown, the record's window has selected its node.
    WaitFor(10000, [&] {
        const HWND rec = FindRecWindow(view.Client()).Window;
        return rec && IsWindowVisible(rec);
    });
    ASSERT_NE(FindRecWindow(view.Client()).Window, nullptr) << "no record window within 10 s";
    // The folder, then the record: the preview acts on the node picked in the tree.
    const std::vector<HTREEITEM> roots = TreeChildren(view.Tree(), nullptr);
    ASSERT_FALSE(roots.empty());
    const std::vector<HTREEITEM> folders = TreeChildren(view.Tree(), roots.front());
    ASSERT_FALSE(folders.empty());
    const HTREEITEM folder = folders.back();
    ASSERT_EQ(RemoteTreeItem(program.Handle(), view.Tree(), folder).Text, "Records");
    const std::vector<HTREEITEM> records = TreeChildren(view.Tree(), folder);
    ASSERT_EQ(records.size(), 1u);
    for (HTREEITEM item : {folder, records.front()})
        SendMessageA(view.Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(IMdiHost::kPrintPreview1, 0), 0);
    const HWND preview = WaitForForm(thread, "TGraphPrintPrv");
    ASSERT_NE(preview, nullptr) << "no print preview within 10 s";

    const struct {
        int button;
        const char* name;
    } rows[] = {
        {TGraphPrintPrv::kBitBtnPaS, "page setup"},
        {TGraphPrintPrv::kBitBtnPrS, "printer setup"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PostMessageA(preview, WM_COMMAND, MAKEWPARAM(row.button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(preview, row.button)));
        const HWND dialog = WaitForOwnedDialog(thread, preview, 10000);
        ASSERT_NE(dialog, nullptr) << "no dialog owned by the preview within 10 s";
        EXPECT_FALSE(IsWindowEnabled(preview)) << "the dialog is modal over the preview";
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        WaitFor(10000, [&] { return !IsWindow(dialog); });
        ASSERT_FALSE(IsWindow(dialog)) << "the dialog did not close";
        EXPECT_TRUE(IsWindowVisible(preview));
        EXPECT_TRUE(IsWindowEnabled(preview));
        EXPECT_FALSE(IsWindowEnabled(frame)) << "the preview is still modal";
    }
    PostMessageA(preview, WM_CLOSE, 0, 0);
    WaitFor(10000, [&] { return !IsWindowVisible(preview); });
    EXPECT_FALSE(IsWindowVisible(preview)) << "the preview did not close";
    EXPECT_TRUE(IsWindowEnabled(frame));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
    DeleteFileA(file.c_str());
}

} // namespace

// Documents end to end under Wine + Xvfb with the simulator on COM36 behind
// TessalyMC.exe: a chamber's recording saved as a record file, the file opened
// again from the command line and by a second start (exit 183) with the same
// samples and block headers, the tree saved, and a start with the tree file
// that connects the port again and reopens the record. Every wait is bounded.
#include "app/base/MsgDlg_win.h"
#include "app/main/MainForm_win.h"
#include "app/record/RecordFile_.h"
#include "app/record/WinFiles_win.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/ProgramHelpers_win.h"
#include "tests/support/WineTestSupport_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kPort = 36;
constexpr char kEnvironmentKey[] = "Software\\Meridane\\TessalyMC\\environment";
constexpr char kInstrument[] = "COM36 2000600";

// A value of the program's environment key, deleted again when the test ends.
class TEnvValue {
public:
    TEnvValue(const char* Name, DWORD Value) : FName(Name) { Set(Value); }
    TEnvValue(const char* Name, const BYTE* Data, DWORD Size) : FName(Name) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, FName, REG_BINARY, Data, Size);
    }
    TEnvValue(const TEnvValue&) = delete;
    TEnvValue& operator=(const TEnvValue&) = delete;
    ~TEnvValue() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, FName); }
    void Set(DWORD Value) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, FName, REG_DWORD, &Value, sizeof Value);
    }

private:
    const char* FName;
};

// The running program as the test sees it: tree, document windows, dialogs.
class TProgram {
public:
    explicit TProgram(const std::string& Arguments) : FProcess(Arguments) {
        FFrame = FProcess.Started() ? WaitForFrame(FProcess.Id()) : nullptr;
        FTree = FindWindowExA(FFrame, nullptr, WC_TREEVIEWA, nullptr);
        FClient = FindWindowExA(FFrame, nullptr, "MDICLIENT", nullptr);
    }

    const TProcess& Process() const { return FProcess; }
    HWND Frame() const { return FFrame; }

    // The tree item whose text is Text, in display order; null when none.
    HTREEITEM Find(const std::string& Text, HTREEITEM Parent = nullptr) const {
        for (HTREEITEM item : TreeChildren(FTree, Parent)) {
            if (RemoteTreeItem(FProcess.Handle(), FTree, item).Text == Text)
                return item;
            if (HTREEITEM below = Find(Text, item))
                return below;
        }
        return nullptr;
    }
    // Selected anew, so the commands follow what the node holds now.
    void Select(HTREEITEM Item) const {
        const auto root =
            reinterpret_cast<HTREEITEM>(SendMessageA(FTree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        SendMessageA(FTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
        SendMessageA(FTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Item));
    }
    // Posted: a command may run a modal dialog.
    void Command(int Id) const { PostMessageA(FFrame, WM_COMMAND, MAKEWPARAM(Id, 0), 0); }

    // The record window with caption Caption; null when none.
    HWND RecordWindow(const std::string& Caption) const {
        for (HWND w = FindWindowExA(FClient, nullptr, "TMDIChildRec", nullptr); w;
             w = FindWindowExA(FClient, w, "TMDIChildRec", nullptr))
            if (WindowText(w) == Caption)
                return w;
        return nullptr;
    }
    // Only once it has its buttons: the window shows before they are made.
    HWND AnyRecordWindow() const {
        const HWND window = FindWindowExA(FClient, nullptr, "TMDIChildRec", nullptr);
        return window && FindChild(window, "Button", "&Stop") ? window : nullptr;
    }
    static int Samples(HWND RecordWindow) {
        const HWND list = FindWindowExA(RecordWindow, nullptr, WC_LISTVIEWA, nullptr);
        return list ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
    }

    // Answers the file dialog that comes up with Path and OK.
    bool AnswerFileDialog(const std::string& Path) const {
        HWND dialog = nullptr;
        WaitFor(10000, [&] {
            const std::vector<HWND> dialogs = WindowsOf(FProcess.Id(), "#32770");
            dialog = dialogs.empty() ? nullptr : dialogs.front();
            return dialog != nullptr;
        });
        if (!dialog)
            return false;
        // The name box: the explorer style's combo box, the old style's edit.
        HWND name = GetDlgItem(dialog, 0x47c);
        if (!name)
            name = GetDlgItem(dialog, 0x480);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Path.c_str()));
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return WaitFor(10000, [&] { return !IsWindow(dialog); }) >= 0;
    }

    DWORD Close() const {
        PostMessageA(FFrame, WM_CLOSE, 0, 0);
        return FProcess.WaitExit(20000);
    }

private:
    TProcess FProcess;
    HWND FFrame = nullptr;
    HWND FTree = nullptr;
    HWND FClient = nullptr;
};

// The temporary recording files of the simulator's chambers that an earlier,
// killed run left: they would be offered for restore.
void RemoveTempFiles() {
    const std::string dir =
        ProgramPath().substr(0, ProgramPath().find_last_of('\\') + 1) + "Temp\\";
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA((dir + "*_2000600_*~.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((dir + found.cFileName).c_str());
    while (FindNextFileA(find, &found));
    FindClose(find);
}

// Clicked without waiting: the click may ask a question.
bool PostClick(HWND Window, const char* Text) {
    const HWND button = FindChild(Window, "Button", Text);
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

TRecordFileData ReadRecord(const std::string& Path) {
    TWinFileSystem fs;
    TRecordFileData data;
    EXPECT_EQ(LoadRecordFile(fs, Path, data).Result, TLoadResult::Ok) << Path;
    return data;
}

bool SameRecording(const TRecordFileData& A, const TRecordFileData& B) {
    return A.Samples.size() == B.Samples.size() && A.Headers.size() == B.Headers.size() &&
           std::memcmp(A.Samples.data(), B.Samples.data(), A.Samples.size() * sizeof(TSample)) ==
               0 &&
           std::memcmp(A.Headers.data(), B.Headers.data(),
                       A.Headers.size() * sizeof(TRecBlockHeader)) == 0;
}

TEST(DocumentsProgram, RecordSavedReopenedByCommandLineAndSecondStartAndByTheTreeFile) {
    if (!std::getenv("QUORX_SIM_PTY"))
        GTEST_SKIP() << "no simulator (run through with-com-port)";
    Unmanaged();
    RemoveTempFiles();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "documents gui\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string record = dir + "rec.zqr";
    const std::string copy = dir + "rec2.zqr";
    const std::string treeFile = dir + "lab.zqd";
    for (const std::string& f : {record, copy, treeFile})
        DeleteFileA(f.c_str());
    BYTE ports[32] = {};
    ports[(kPort - 1) / 8] = static_cast<BYTE>(1 << ((kPort - 1) % 8));
    const TEnvValue openedCom("openedcom", ports, sizeof ports);
    TEnvValue autoConn("autoconn", 1);
    TEnvValue addRecTree("addrectree", 0);

    int samples = 0;
    {
        const TProgram program("");
        ASSERT_NE(program.Frame(), nullptr);
        HTREEITEM chamber = nullptr;
        ASSERT_GE(WaitFor(15000, [&] { return (chamber = program.Find("Chamber 0 - 2000600")); }),
                  0);
        program.Select(chamber);
        program.Command(TMainForm::kAcShowRec);
        HWND window = nullptr;
        ASSERT_GE(WaitFor(5000, [&] { return (window = program.AnyRecordWindow()) != nullptr; }),
                  0);
        ASSERT_TRUE(PostClick(window, "&Record"));
        ASSERT_GE(WaitFor(15000, [&] { return TProgram::Samples(window) >= 3; }), 0);
        ASSERT_TRUE(PostClick(window, "&Stop"));
        // Stopped: the count holds still.
        WaitFor(1500, [] { return false; });
        samples = TProgram::Samples(window);
        ASSERT_TRUE(WindowsOf(program.Process().Id(), kMessageFormClass).empty())
            << "a question came up";

        program.Select(chamber);
        program.Command(IMdiHost::kFileSaveAs1);
        ASSERT_TRUE(program.AnswerFileDialog(record));
        ASSERT_GE(
            WaitFor(5000,
                    [&] { return GetFileAttributesA(record.c_str()) != INVALID_FILE_ATTRIBUTES; }),
            0);
        const TRecordFileData saved = ReadRecord(record);
        EXPECT_EQ(static_cast<int>(saved.Samples.size()), samples);
        ASSERT_EQ(saved.Headers.size(), 1u);
        EXPECT_EQ(FieldText(TRecBlockHeader(saved.Headers[0]).SerialPart), "2000600");
        // Saved: the window closes without a question.
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_GE(WaitFor(5000, [&] { return !IsWindow(window); }), 0);
        EXPECT_TRUE(WindowsOf(program.Process().Id(), kMessageFormClass).empty());
        EXPECT_EQ(program.Close(), 0u);
    }
    const TRecordFileData saved = ReadRecord(record);

    {
        // From the command line.
        const TProgram program(" \"" + record + "\"");
        ASSERT_NE(program.Frame(), nullptr);
        HWND window = nullptr;
        ASSERT_GE(WaitFor(10000, [&] { return (window = program.RecordWindow("rec")) != nullptr; }),
                  0);
        EXPECT_EQ(TProgram::Samples(window), samples);
        EXPECT_NE(program.Find("Records"), nullptr);
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_GE(WaitFor(5000, [&] { return !IsWindow(window); }), 0);
        EXPECT_EQ(program.Find("Records"), nullptr) << "the folder goes with its last record";

        // By a second start.
        {
            TProcess second(" \"" + record + "\"");
            ASSERT_TRUE(second.Started());
            EXPECT_EQ(second.WaitExit(20000), 183u);
        }
        ASSERT_GE(WaitFor(10000, [&] { return (window = program.RecordWindow("rec")) != nullptr; }),
                  0);
        EXPECT_EQ(TProgram::Samples(window), samples);
        // Saved once more under another name: the same samples and block headers.
        program.Select(program.Find("rec"));
        program.Command(IMdiHost::kFileSaveAs1);
        ASSERT_TRUE(program.AnswerFileDialog(copy));
        ASSERT_GE(WaitFor(5000, [&] { return program.Find("rec2") != nullptr; }), 0);
        EXPECT_TRUE(SameRecording(saved, ReadRecord(copy)));

        // The tree file: the port and the open record.
        program.Command(IMdiHost::kAcSaveDsktp);
        ASSERT_TRUE(program.AnswerFileDialog(treeFile));
        std::string text;
        WaitFor(5000, [&] {
            text = Slurp(treeFile);
            return !text.empty();
        });
        EXPECT_NE(text.find("[Coms]\r\n0=35\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("0=" + copy + "\r\n"), std::string::npos) << text;
        EXPECT_EQ(program.Close(), 0u);
    }

    {
        // Started with the tree file and no reconnect of its own.
        autoConn.Set(0);
        const TProgram program(" \"" + treeFile + "\"");
        ASSERT_NE(program.Frame(), nullptr);
        HWND window = nullptr;
        EXPECT_GE(WaitFor(15000, [&] { return program.Find(kInstrument) != nullptr; }), 0);
        ASSERT_GE(
            WaitFor(10000, [&] { return (window = program.RecordWindow("rec2")) != nullptr; }), 0);
        EXPECT_EQ(TProgram::Samples(window), samples);
        EXPECT_EQ(WindowText(program.Frame()), "Tessaly MC [" + treeFile + "]");
        EXPECT_EQ(program.Close(), 0u);
    }
}

} // namespace

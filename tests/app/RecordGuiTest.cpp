// Recording a chamber end to end under Wine, with the instrument simulator on
// COM27 behind the real libraries and every wait bounded: TessalyMC.exe
// connects the Zephora at its start, Enter on a chamber opens its record
// window, Record takes a sample at each measurement event (the simulator numbers
// them) into the list and at once into the temporary files, Stop ends the
// block. The program is killed hard while a second block records; started
// again, the chamber's window gets back every sample it had shown, restored as
// the preferences say: automatically, recording on, or after a question.
#include "app/base/MsgDlg_win.h"
#include "app/base/Registry_win.h"
#include "app/settings/PreferencesValues_.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/ProgramHelpers_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kPort = 27;
constexpr char kChamber[] = "Chamber 0 - 2000270";
// Device key ("c" for a serial instrument, its id, its USB product id), serial
// number and chamber of the temporary files' names.
const std::string kSampleFile = "cZEPHORA#0x0000_2000270_0~.tmp";
const std::string kBlockFile = "cZEPHORA#0x0000_2000270_0h~.tmp";
const std::string kChamberFile = "cZEPHORA#0x0000_2000270_0c~.tmp";
constexpr uint64_t kSampleSize = 23;
constexpr uint64_t kHeaderSize = 435;
// No record file name and no info text: the two lengths and the 41-byte name.
constexpr uint64_t kChamberInfoSize = 49;
// Images of the list's first column.
constexpr int kBlockStartImage = 12;
constexpr int kBlockStopImage = 11;
constexpr int kMarkImage = 13;

// Time, humidity and temperature of the first Count rows, as the list shows them.
std::vector<std::string> RowTexts(const TProcess& Program, HWND List, int Count) {
    std::vector<std::string> rows;
    for (int i = 0; i < Count; ++i)
        rows.push_back(RemoteListItem(Program.Handle(), List, i, 1).Text + " | " +
                       RemoteListItem(Program.Handle(), List, i, 2).Text + " | " +
                       RemoteListItem(Program.Handle(), List, i, 3).Text);
    return rows;
}

int RowImage(const TProcess& Program, HWND List, int Row) {
    return RemoteListItem(Program.Handle(), List, Row, 0).Image;
}

// The number of the measurement event a row was taken from: its time without
// a date ("0000  /  00:00:17"), which the simulator's stamp counts in events.
int EventOf(const std::string& Row) {
    int h = 0, m = 0, s = 0;
    if (std::sscanf(Row.c_str(), " %*d / %d:%d:%d", &h, &m, &s) != 3)
        return -1;
    return (h * 60 + m) * 60 + s;
}

// The text of a form's label (its first static control with text).
std::string LabelText(HWND Form) {
    for (HWND label = FindWindowExA(Form, nullptr, "Static", nullptr); label;
         label = FindWindowExA(Form, label, "Static", nullptr))
        if (const std::string text = WindowText(label); !text.empty())
            return text;
    return "";
}

// The first visible window of class ClassName of the program, or null.
HWND ShownForm(const TProcess& Program, const char* ClassName) {
    const std::vector<HWND> forms = WindowsOf(Program.Id(), ClassName);
    return forms.empty() ? nullptr : forms.front();
}

// The files in Dir matching Pattern by name, with their sizes.
std::map<std::string, uint64_t> FilesIn(const std::string& Dir, const char* Pattern) {
    std::map<std::string, uint64_t> files;
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA((Dir + Pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[found.cFileName] = (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    while (FindNextFileA(find, &found));
    FindClose(find);
    return files;
}

// The recording's temporary files in Dir (the printer setups are kept there too).
std::map<std::string, uint64_t> TempFiles(const std::string& Dir) {
    return FilesIn(Dir, "*~.tmp");
}

// A folder of the test's own for the temporary files, empty from its start
// and gone at its end.
class TTempDir {
public:
    TTempDir() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        FPath = std::string(temp) + "recording test\\";
        Empty();
        CreateDirectoryA(FPath.c_str(), nullptr);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir() {
        Empty();
        RemoveDirectoryA(FPath.c_str());
    }
    const std::string& Path() const { return FPath; }

private:
    void Empty() {
        for (const auto& [name, size] : FilesIn(FPath, "*"))
            DeleteFileA((FPath + name).c_str());
    }
    std::string FPath;
};

// TessalyMC.exe started with the instrument connecting; Enter on the chamber
// opens its record window.
class TRecordingProgram {
public:
    TRecordingProgram() : FProcess(""), FView(FProcess, WaitForFrame(FProcess.Id())) {}

    const TProcess& Process() const { return FProcess; }
    HWND Client() const { return FView.Client(); }

    // False when the chamber did not come within 10 s.
    bool OpenChamber() {
        HTREEITEM chamber = nullptr;
        // A restored recording is unsaved: its node carries the mark.
        const auto find = [&] {
            chamber = FView.ChamberItem(kChamber);
            if (!chamber)
                chamber = FView.ChamberItem(std::string("* ") + kChamber);
            return chamber != nullptr;
        };
        if (WaitFor(10000, find) < 0)
            return false;
        OpenNode(FView.Tree(), chamber);
        return true;
    }

private:
    TProcess FProcess;
    TProgramView FView;
};

TEST(RecordProgram, RecordsAChamberAndGetsEverySampleShownBackAfterAHardKill) {
    if (!std::getenv("QUORX_SIM_PTY"))
        GTEST_SKIP() << "no simulator (run through with-com-port)";
    Unmanaged();
    const TSavedValue openedCom("openedcom");
    const TSavedValue autoConn("autoconn");
    const TSavedValue tempDir(kTempFileDirName);
    ASSERT_TRUE(ConnectAtStart(kPort));
    const TTempDir temp; // outlives the programs, which hold its files open
    const std::string& dir = temp.Path();
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kEnvironmentKey, kTempFileDirName, REG_SZ,
                              dir.c_str(), static_cast<DWORD>(dir.size() + 1)),
              ERROR_SUCCESS);
    TWinRegistry registry;
    const bool autoRestore = ReadValue(registry, kAutoRest);

    std::vector<std::string> shown; // rows the list showed before the kill
    {
        TRecordingProgram program;
        const TProcess& process = program.Process();
        ASSERT_NE(program.Client(), nullptr) << "no frame within 10 s";
        ASSERT_TRUE(program.OpenChamber()) << "no " << kChamber << " in the tree";
        TRecControls rec;
        ASSERT_GE(WaitFor(5000, [&] { return (rec = FindRecWindow(program.Client())).List; }), 0)
            << "no record window";
        ASSERT_NE(rec.SampleRate, nullptr);
        ASSERT_NE(rec.Record, nullptr);
        ASSERT_NE(rec.Stop, nullptr);
        EXPECT_TRUE(TempFiles(dir).contains(kSampleFile)) << "made with the window";

        // A sample at each event. An empty window records at once.
        SelectFirstSampleRate(rec);
        PostMessageA(rec.Record, BM_CLICK, 0, 0);
        ASSERT_GE(WaitFor(10000, [&] { return RowCount(rec.List) >= 15; }), 0)
            << RowCount(rec.List) << " samples";
        PostMessageA(rec.Stop, BM_CLICK, 0, 0);
        ASSERT_GE(WaitFor(3000, [&] { return !IsChecked(rec.Record); }), 0) << "still recording";
        const int first = RowCount(rec.List);
        WaitFor(300, [] { return false; });
        EXPECT_EQ(RowCount(rec.List), first) << "a sample after Stop";
        EXPECT_TRUE(ShownForm(process, kMessageFormClass) == nullptr) << "no box on the way";

        // One sample of each event, in order, none twice.
        const std::vector<std::string> block = RowTexts(process, rec.List, first);
        for (int i = 1; i < first; ++i)
            EXPECT_EQ(EventOf(block[i]), EventOf(block[0]) + i) << block[i];
        EXPECT_EQ(RowImage(process, rec.List, 0), kBlockStartImage);
        EXPECT_EQ(RowImage(process, rec.List, first - 1), kBlockStopImage);
        // Mirrored at once: 23 bytes a sample, 435 a block header.
        const std::map<std::string, uint64_t> files = {
            {kSampleFile, kSampleSize * static_cast<uint64_t>(first)},
            {kBlockFile, kHeaderSize},
            {kChamberFile, kChamberInfoSize}};
        EXPECT_EQ(TempFiles(dir), files);

        // Recording again asks; Append opens a second block.
        PostMessageA(rec.Record, BM_CLICK, 0, 0);
        HWND question = nullptr;
        ASSERT_GE(WaitFor(5000,
                          [&] {
                              return (question = ShownForm(process, "TOverwriteAppendWin")) !=
                                     nullptr;
                          }),
                  0)
            << "no question";
        EXPECT_EQ(LabelText(question), std::string(kChamber) + " allready contains data!");
        PostMessageA(FindChild(question, "Button", "&Append"), BM_CLICK, 0, 0);
        ASSERT_GE(WaitFor(10000, [&] { return RowCount(rec.List) >= first + 5; }), 0)
            << RowCount(rec.List) - first << " samples in the second block";
        EXPECT_TRUE(IsChecked(rec.Record));
        shown = RowTexts(process, rec.List, RowCount(rec.List));
        EXPECT_EQ(RowImage(process, rec.List, first), kBlockStartImage);
        ASSERT_TRUE(KillHard(process)) << "the program still runs";
    }

    // Every sample shown is in the files, whole; the second block not stopped.
    std::map<std::string, uint64_t> files = TempFiles(dir);
    EXPECT_EQ(files[kSampleFile] % kSampleSize, 0u);
    const int kept = static_cast<int>(files[kSampleFile] / kSampleSize);
    ASSERT_GE(kept, static_cast<int>(shown.size()));
    EXPECT_EQ(files[kBlockFile], 2 * kHeaderSize);

    TRecordingProgram program;
    const TProcess& process = program.Process();
    ASSERT_NE(program.Client(), nullptr) << "no frame within 10 s";
    ASSERT_TRUE(program.OpenChamber()) << "no " << kChamber << " in the tree after the kill";
    // Without automatic restore the program asks; a kill between a sample and
    // its block's count makes it ask to rescue too. Both answered Yes.
    bool asked = false;
    std::set<HWND> answered;
    TRecControls rec;
    const int restoredAfter = WaitFor(10000, [&] {
        for (HWND box : WindowsOf(process.Id(), kMessageFormClass)) {
            if (!answered.insert(box).second)
                continue;
            const std::string text = LabelText(box);
            if (text.starts_with("A temporary file exists"))
                asked = true;
            else if (!text.starts_with("Temporary files contains inconsistent data!"))
                ADD_FAILURE() << "box: " << text;
            PostMessageA(FindChild(box, "Button", "&Yes"), BM_CLICK, 0, 0);
        }
        rec = FindRecWindow(program.Client());
        return rec.List && RowCount(rec.List) >= kept &&
               (!autoRestore || ShownForm(process, "TInfoBox") != nullptr);
    });
    ASSERT_GE(restoredAfter, 0) << (rec.List ? RowCount(rec.List) : -1) << " of " << kept
                                << " samples back";
    EXPECT_EQ(asked, !autoRestore);
    EXPECT_EQ(RowTexts(process, rec.List, static_cast<int>(shown.size())), shown);

    if (autoRestore) {
        // Recording goes on in a third block whose first sample is marked.
        const HWND info = ShownForm(process, "TInfoBox");
        EXPECT_EQ(LabelText(info), "Temporary data has been restored automatically!");
        PostMessageA(FindChild(info, "Button", "&OK"), BM_CLICK, 0, 0);
        EXPECT_TRUE(IsChecked(rec.Record));
        ASSERT_GE(WaitFor(5000, [&] { return RowCount(rec.List) > kept; }), 0) << "not recording";
        EXPECT_EQ(RowImage(process, rec.List, kept), kMarkImage);
        EXPECT_EQ(TempFiles(dir)[kBlockFile], 3 * kHeaderSize);
    } else {
        EXPECT_FALSE(IsChecked(rec.Record));
        WaitFor(300, [] { return false; });
        EXPECT_EQ(RowCount(rec.List), kept);
        EXPECT_EQ(TempFiles(dir)[kBlockFile], 2 * kHeaderSize);
    }
}

} // namespace

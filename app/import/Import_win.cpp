#include "app/import/Import_win.h"

#include "app/base/Guard_.h"
#include "app/base/Progress_win.h"
#include "app/base/Tools_.h"
#include "app/base/Tools_win.h"
#include "app/import/MKLog_.h"
#include "app/import/MKProt_.h"
#include "app/main/MainForm_win.h"
#include "app/protocol/Protocols_win.h"
#include "app/protocol/ProtWin_.h"
#include "app/record/RecWin_win.h"
#include "app/tree/NodeUnits_.h"
#include "app/tree/TreeNodes_.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

// The name without folder and extension, behind the unsaved mark.
std::string UnsavedTitle(const std::string& FileName) {
    const std::string name = ExtractFileName(FileName);
    return "* " + name.substr(0, name.rfind('.'));
}

int CompareTextLocale(const std::string& A, const std::string& B) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A.c_str(),
                          static_cast<int>(A.size()), B.c_str(), static_cast<int>(B.size())) -
           CSTR_EQUAL;
}

// Lets the progress window repaint while the main thread imports; the main
// window is disabled, so no command gets through.
void ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The progress window of one log, closed (and so freed) however the import ends.
class TLogProgress : public ILogProgress {
public:
    explicit TLogProgress(HWND MDIClient) : FForm(TProgressForm::Create(MDIClient)) {}
    TLogProgress(const TLogProgress&) = delete;
    TLogProgress& operator=(const TLogProgress&) = delete;
    ~TLogProgress() {
        if (FForm)
            FForm->Close();
    }

    void Start(const std::string& FileName, int32_t Max) override {
        if (!FForm)
            return;
        FForm->ShowFileName(FileName);
        FForm->SetMax(Max);
        FForm->Show();
        UpdateWindow(FForm->Label1());
    }
    void Position(int32_t Position) override {
        if (FForm)
            FForm->SetPosition(Position);
        ProcessPendingMessages();
    }

private:
    TProgressForm* FForm;
};

// Every protocol of a file in a window of its own; the messages in error boxes.
class TProtWindows : public IProtImportSink {
public:
    TProtWindows(TProtocols& Protocols, IMessageBoxes& Boxes, std::string Title)
        : FProtocols(Protocols), FBoxes(Boxes), FTitle(std::move(Title)) {}

    void Protocol(const TLines& Lines, int32_t First, int32_t Last) override {
        TMDIChildProt* window = FProtocols.NewProtocolWindow(FTitle, 255, 0, nullptr, 0, true);
        if (!window)
            return;
        window->AddStringlist(Lines, First, Last);
        window->FitToText(kProtMaxHeight);
        window->CaretToStart();
        window->FormActivate();
    }
    void Message(const std::string& Text) override { ShowErrorOrWarn(FBoxes, Text, false); }

private:
    TProtocols& FProtocols;
    IMessageBoxes& FBoxes;
    std::string FTitle;
};

} // namespace

std::vector<std::string> DroppedFileNames(HDROP Drop) {
    std::vector<std::string> names;
    const UINT count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Asked for its length first: a fixed buffer would cut long names.
        const UINT length = DragQueryFileA(Drop, i, nullptr, 0);
        std::string name(length, '\0');
        name.resize(DragQueryFileA(Drop, i, name.data(), length + 1));
        names.push_back(std::move(name));
    }
    return names;
}

TImporter::TImporter(TMainForm& Main, TProtocols& Protocols,
                     std::function<TGraphDefaults()> GraphDefaults)
    : FMain(Main), FProtocols(Protocols), FGraphDefaults(std::move(GraphDefaults)) {}

void TImporter::Import1Execute() {
    std::vector<std::string> names;
    if (!RunOpenDialog(names))
        return;
    const HCURSOR previous = SetScreenCursor(LoadCursorA(nullptr, IDC_WAIT));
    ImportFiles(names, true, true);
    SetScreenCursor(previous);
}

void TImporter::DropFiles(HDROP Drop) {
    const bool ctrl = IsCtrlDown();
    const bool shift = IsShiftDown();
    std::vector<std::string> names;
    try {
        names = DroppedFileNames(Drop);
    } catch (...) {
        DragFinish(Drop);
        throw;
    }
    ImportFiles(names, !ctrl && !shift, shift);
    DragFinish(Drop);
}

void TImporter::ImportFiles(const std::vector<std::string>& Names, bool Ask, bool Concatenate) {
    try {
        ::ImportFiles(Names, Ask, Concatenate, *this, FMain.Boxes(), CompareTextLocale);
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FMain.Boxes(), e.what(), false);
    } catch (...) {
        ReportCurrentException();
    }
}

void TImporter::ImportMKLog(const std::string& FileName, bool First, bool Last) {
    TMDIChildRec* window = std::exchange(FPending, nullptr);
    if (First)
        window = nullptr;
    try {
        const TLines lines = LoadTextLines(FFiles, FileName);
        TMKLogHeader header;
        GetMKLogHeaderInfo(lines, header, FileName);
        // A joined log whose first left no window becomes a record of its own.
        if (!window)
            window = NewLogWindow(FileName);
        if (!window)
            return;
        ImportLogFile(*window, header, lines, FileName);
    } catch (...) {
        // The whole record goes, with what earlier logs put into it.
        if (window)
            window->Close();
        throw;
    }
    FPending = Last ? nullptr : window;
    window->Activate();
}

TMDIChildRec* TImporter::NewLogWindow(const std::string& FileName) {
    TTreeModel& tree = FMain.Tree();
    TTreeNode* node = CreateRecNode(tree, FMain.Boxes(), UnsavedTitle(FileName), FileName, true, 0);
    if (!node)
        return nullptr;
    try {
        return &dynamic_cast<TMDIChildRec&>(FMain.RecWindows().CreateRecWindow(*node, false));
    } catch (...) {
        FreeAndDeleteNode(tree, node);
        throw;
    }
}

void TImporter::ImportLogFile(TMDIChildRec& Window, const TMKLogHeader& Header, const TLines& Lines,
                              const std::string& FileName) {
    const TGraphDefaults defaults = FGraphDefaults();
    TLogProgress progress(FMain.MDIClient());
    TRecording data = Window.Recorder().Data();
    TRecStatistics stats = Window.Recorder().Statistics();
    AddLogBlockHeader(data, Header, GetUserNameStr());
    TLogRead read;
    read.TitleLine = FindTitleLine(Lines, FileName);
    read.Columns = BuildColumns(Lines[static_cast<std::size_t>(read.TitleLine)]);
    if (TRecData* record = Window.Node().As<TRecData>()) {
        record->Units.HumidityMode = LogHumMode(read.Columns);
        record->Units.TemperatureUnit = LogTempUnit(read.Columns);
        record->Units.DateFormat = defaults.DateFormat;
    }
    // The window's own unit choice wins over the log's.
    Window.UpdateUnits();
    read.HumMode = NodeHumMode(&Window.Node());
    read.TempUnit = NodeTempUnit(&Window.Node());
    try {
        ImportLogSamples(data, stats, Lines, read, FileName, progress);
    } catch (const ELogRejected&) {
        Window.Recorder().SetModified(false);
        throw;
    }
    Window.SetData(std::move(data), true);
    // The list's time column follows the samples, which have no date.
    Window.RelabelWindow();
    // The defaults' view over the record, with the statistics of its samples.
    TGraphSettings settings = Window.View().GetGraphSettings();
    GraphDefaultsToSettings(defaults, settings);
    settings.Statistics = stats;
    Window.View().SetGraphSettings(settings, true);
    Window.SetStatistics(stats);
}

void TImporter::ImportMKProt(const std::string& FileName) {
    const TLines lines = LoadTextLines(FFiles, FileName);
    TProtWindows windows(FProtocols, FMain.Boxes(), UnsavedTitle(FileName));
    ImportMKProtLines(lines, FileName, windows);
}

void TImporter::LoadFile(const std::string& FileName) {
    if (FMain.OnLoadFile)
        FMain.OnLoadFile(FileName);
}

void TImporter::EnableMainWindow(bool Enable) {
    EnableWindow(FMain.Handle(), Enable);
}

bool TImporter::RunOpenDialog(std::vector<std::string>& Names) {
    if (FOpenDialog)
        return FOpenDialog(Names);
    std::string filter = sImportFilter;
    for (char& c : filter)
        if (c == '|')
            c = '\0';
    filter += '\0';
    // Room for many chosen names: a folder, then the names, each ended by NUL.
    std::vector<char> buffer(65536, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = FMain.Handle();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&ofn))
        return false;
    const std::string first = buffer.data();
    const char* next = buffer.data() + first.size() + 1;
    if (!*next) {
        Names.push_back(first);
        return true;
    }
    const std::string folder = first.back() == '\\' ? first : first + "\\";
    for (; *next; next += std::strlen(next) + 1)
        Names.push_back(folder + next);
    return true;
}

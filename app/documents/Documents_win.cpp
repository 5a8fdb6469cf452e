#include "app/documents/Documents_win.h"

#include "app/base/Guard_.h"
#include "app/base/Tools_win.h"
#include "app/instruments/MainLinks_win.h"
#include "app/record/RecWin_win.h"
#include "app/settings/Preferences_.h"
#include "app/tree/TreeNodes_.h"

#include <commdlg.h>

#include <exception>
#include <vector>

namespace {

// Every window handed to the documents by the record windows' maker is one.
TMDIChildRec& Rec(IRecordWindow& Window) {
    return dynamic_cast<TMDIChildRec&>(Window);
}

// Room for many long names; a selection beyond it is asked for again in a larger buffer.
constexpr std::size_t kOpenBufferSize = 64 * 1024;
constexpr std::size_t kOpenBufferMax = 16 * 1024 * 1024;

} // namespace

TDocumentsWin::TDocumentsWin(TMainForm& Main, TProtocols& Protocols)
    : FMain(Main), FProtocols(Protocols),
      FDocuments(Main.Tree(), Main.Boxes(), Main.RecWindows(), *this) {
    const auto action = [this](int Id, const char* Caption, TShortCut ShortCut, bool Enabled,
                               auto Execute) {
        FMain.Actions().Add({Id, Caption, ShortCut, Enabled, false, Execute});
    };
    // Save and Save As follow the tree's selection.
    action(IMdiHost::kFileOpen1, "&Open...", {'O', false, true, false}, true,
           [this] { FileOpen1Execute(); });
    action(IMdiHost::kFileSave1, "&Save", {'S', false, true, false}, false,
           [this] { FileSave1Execute(); });
    action(IMdiHost::kFileSaveAs1, "Save &as...", {}, false, [this] { FileSaveAs1Execute(); });
    action(IMdiHost::kAcSaveDsktp, "Save &Tree...", {}, true, [this] { AcSaveDsktpExecute(); });
    FMain.RebuildAccelerators();
}

void TDocumentsWin::FileOpen1Execute() {
    const std::string filter = DialogFilter(sOpenFilter);
    std::vector<char> buffer(kOpenBufferSize, '\0');
    for (;;) {
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = FMain.Handle();
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = FOpenFilterIndex;
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                    OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_ENABLESIZING;
        if (GetOpenFileNameA(&ofn)) {
            FOpenFilterIndex = ofn.nFilterIndex;
            break;
        }
        if (CommDlgExtendedError() != FNERR_BUFFERTOOSMALL || buffer.size() >= kOpenBufferMax)
            return;
        // The first two bytes hold the size needed when it fits in them.
        const std::size_t needed =
            static_cast<unsigned char>(buffer[0]) | static_cast<unsigned char>(buffer[1]) << 8;
        buffer.assign(std::max(needed + 2, buffer.size() * 4), '\0');
    }
    for (const std::string& file : SelectedFiles(buffer.data(), buffer.size()))
        FDocuments.LoadFile(file);
}

void TDocumentsWin::AcSaveDsktpExecute() {
    const TTreeNode* root = FMain.Tree().Root();
    const TPCData* pc = root ? root->As<TPCData>() : nullptr;
    std::string fileName = pc ? pc->TreeFileName : std::string();
    if (RunSaveDialog(fileName, sTreeFilter, "zqd"))
        SaveTreeFile(FullPathName(fileName));
}

bool TDocumentsWin::SaveTreeFile(const std::string& FileName) {
    const std::string failed = WriteTreeFile(FFs, FileName, BuildTreeFile(FMain.Tree()).Text());
    if (!failed.empty())
        ShowErrorOrWarn(FMain.Boxes(), failed, false);
    return failed.empty();
}

bool TDocumentsWin::RunSaveDialog(std::string& FileName, const char* Filter, const char* DefExt) {
    if (FSaveDialog)
        return FSaveDialog(FileName, DefExt);
    return RunSaveFileDialog(FMain.Handle(), Filter, DefExt, FileName);
}

// --- IDocumentsHost

bool TDocumentsWin::FileExists(const std::string& FileName) {
    const DWORD attributes = GetFileAttributesA(FileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string TDocumentsWin::FullPathName(const std::string& FileName) {
    const DWORD size = GetFullPathNameA(FileName.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return FileName;
    std::string full(size, '\0');
    const DWORD length = GetFullPathNameA(FileName.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return FileName;
    full.resize(length);
    return full;
}

double TDocumentsWin::FileAge(const std::string& FileName) {
    return PackedFileAge(FileName);
}

void TDocumentsWin::OpenProtocolFile(const std::string& FileName) {
    try {
        FProtocols.OpenProtocolFile(FileName);
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FMain.Boxes(), e.what(), false);
    }
}

void TDocumentsWin::LoadTreeFile(const std::string& FileName) {
    ::LoadTreeFile(FMain.Tree(), *this, ReadTreeFile(FFs, FileName), FileName);
}

bool TDocumentsWin::LoadRecordFile(IRecordWindow& Window, const std::string& FileName) {
    try {
        Rec(Window).LoadRecordFile(FileName);
        return true;
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FMain.Boxes(), e.what(), false);
        return false;
    }
}

void TDocumentsWin::Activate(IRecordWindow& Window) {
    Window.Show();
    Rec(Window).Activate();
}

bool TDocumentsWin::SaveRecordDialog(std::string& FileName) {
    return RunSaveDialog(FileName, sRecordFilter, "zqr");
}

std::string TDocumentsWin::Caption(IRecordWindow& Window) {
    char caption[512] = {};
    GetWindowTextA(Rec(Window).Handle(), caption, sizeof caption);
    return caption;
}

void TDocumentsWin::SaveRecordFile(IRecordWindow& Window, const std::string& FileName) {
    Rec(Window).SaveRecordFile(FileName);
}

bool TDocumentsWin::DataReplaced(IRecordWindow& Window) {
    return Rec(Window).DataReplaced();
}

bool TDocumentsWin::SaveProtocolAs(IProtocolWindow& Window) {
    auto& window = static_cast<TMDIChildProt&>(Window);
    window.Saved = false;
    FProtocols.FileSaveAs1Execute(&window);
    return window.Saved;
}

bool TDocumentsWin::AddRecTree() {
    return gPreferences && gPreferences->AddRecTree;
}

bool TDocumentsWin::MainClosing() {
    return FMain.Ctl().Closing();
}

// --- ITreeFileHost

bool TDocumentsWin::CloseChildWindows() {
    return FMain.Ctl().CloseChildWindows();
}

void TDocumentsWin::DisconnectAll() {
    TTreeModel& tree = FMain.Tree();
    // Each Disconnect removes its instrument's node; one that stays ends the loop.
    for (;;) {
        TTreeNode* instrument = nullptr;
        for (int32_t i = 0; tree.Root() && i < tree.Root()->Count() && !instrument; ++i)
            if (InstrumentData(tree.Root()->Item(i)))
                instrument = tree.Root()->Item(i);
        if (!instrument)
            return;
        const int32_t before = tree.Root()->Count();
        tree.Select(instrument);
        FMain.Links().Ctl().Connection.AcCloseComExecute();
        if (!tree.Root() || tree.Root()->Count() >= before)
            return;
    }
}

void TDocumentsWin::ScanUsbDevices() {
    FMain.Links().Ctl().Connection.ScanUsbDevices(true);
}

TReopenAnswer TDocumentsWin::ReopenComPort(int32_t Port) {
    return FMain.Links().Ctl().Connection.ReopenComPort(Port);
}

void TDocumentsWin::SetCaption(const std::string& Caption) {
    SetWindowTextA(FMain.Handle(), Caption.c_str());
}

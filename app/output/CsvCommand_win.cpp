#include "app/output/CsvCommand_win.h"

#include "app/main/MainForm_win.h"
#include "app/record/RecWin_win.h"
#include "app/tree/NodeUnits_.h"
#include "app/tree/TreeNodes_.h"

TCsvSource CsvSourceOf(TMDIChildRec& Window, bool ExtendedMode) {
    TCsvSource s;
    s.Data = &Window.Recorder().Data();
    s.SelAnchor = Window.Selection().Anchor();
    s.SelEnd = Window.Selection().End();
    s.HumMode = NodeHumMode(&Window.Node());
    s.TempUnit = NodeTempUnit(&Window.Node());
    s.DateFmt = NodeDateFmt(&Window.Node());
    s.ExtendedMode = ExtendedMode;
    s.SampleInterval = Window.Graph().SampleInterval;
    return s;
}

std::string CsvFileName(const std::string& FileName) {
    const std::size_t dot = FileName.find_last_of('.');
    const std::size_t folder = FileName.find_last_of("\\/:");
    const bool hasExt = dot != std::string::npos && (folder == std::string::npos || dot > folder);
    return (hasExt ? FileName.substr(0, dot) : FileName) + ".csv";
}

namespace {

// The record window of a chamber or stored-record node and its file name.
TMDIChildRec* RecordWindowOf(const TTreeNode* Node, std::string& FileName) {
    if (!Node)
        return nullptr;
    IRecordWindow* window = nullptr;
    if (const auto* chamber = Node->As<TChamberData>()) {
        window = chamber->RecordWindow;
        FileName = chamber->RecordFileName;
    } else if (const auto* record = Node->As<TRecData>()) {
        window = record->RecordWindow;
        FileName = record->FileName;
    }
    return dynamic_cast<TMDIChildRec*>(window);
}

} // namespace

TCsvExportCommand::TCsvExportCommand(IMdiHost& Main, TExportWin& Win) : FMain(Main), FWin(Win) {
    FMain.Actions().Add({kAcExport, "Export", {}, true, false, [this] { AcExportExecute(); }});
    if (const HMENU menu = GetMenu(FMain.Handle())) {
        InsertMenuA(GetSubMenu(menu, 0), TMainForm::kAcCloseAll, MF_BYCOMMAND | MF_STRING,
                    kAcExport, "Export");
        DrawMenuBar(FMain.Handle());
    }
}

void TCsvExportCommand::AcExportExecute() {
    std::string fileName;
    TMDIChildRec* window = RecordWindowOf(FMain.Tree().Selected(), fileName);
    if (!window || !window->HasSamples())
        return;
    if (!fileName.empty())
        FWin.SetFileName(CsvFileName(fileName));
    FWin.SetSource(CsvSourceOf(*window, FMain.ExtendedMode()));
    FWin.Execute();
}

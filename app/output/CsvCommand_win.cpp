#include "app/output/CsvCommand_win.h"

#include "app/main/MainForm_win.h"
#include "app/output/RecPage_win.h"
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

// The record file of a chamber or stored-record node; empty when it has none.
std::string RecordFileName(const TTreeNode& Node) {
    if (const auto* chamber = Node.As<TChamberData>())
        return chamber->RecordFileName;
    if (const auto* record = Node.As<TRecData>())
        return record->FileName;
    return "";
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
    if (TMDIChildRec* window = RecordWindowOf(FMain.Tree().Selected()))
        ExportOf(*window);
}

void TCsvExportCommand::ExportOf(TMDIChildRec& Window) {
    if (!Window.HasSamples())
        return;
    const std::string fileName = RecordFileName(Window.Node());
    if (!fileName.empty())
        FWin.SetFileName(CsvFileName(fileName));
    FWin.Execute(CsvSourceOf(Window, FMain.ExtendedMode()));
}

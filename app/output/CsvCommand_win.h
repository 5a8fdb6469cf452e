// The main window's "Export": the record window of the selected chamber or
// stored record into a CSV file through the export window, which proposes the
// record's file name with the extension ".csv".
#pragma once

#include "app/main/MdiHost_win.h"
#include "app/output/ExportWin_win.h"

#include <string>

class TMDIChildRec;

// The export's view of a record window.
TCsvSource CsvSourceOf(TMDIChildRec& Window, bool ExtendedMode);
// FileName with its extension (if any) replaced by ".csv".
std::string CsvFileName(const std::string& FileName);

class TCsvExportCommand {
public:
    enum : int { kAcExport = IMdiHost::kAcExport };

    // Win: the export window, made by the program in its place among the forms.
    TCsvExportCommand(IMdiHost& Main, TExportWin& Win);
    TCsvExportCommand(const TCsvExportCommand&) = delete;
    TCsvExportCommand& operator=(const TCsvExportCommand&) = delete;

    // Nothing without a record window that holds samples.
    void AcExportExecute();
    // The export of Window, whatever the tree selects; nothing without samples.
    void ExportOf(TMDIChildRec& Window);
    TExportWin& ExportWin() { return FWin; }

private:
    IMdiHost& FMain;
    TExportWin& FWin;
};

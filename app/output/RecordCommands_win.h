// The print and export buttons of the record windows: the main window's
// "&Print", "Export" and "Export &Graph" on the window whose button was
// pressed. Nothing of the window is kept after the command.
#pragma once

#include "app/output/CsvCommand_win.h"
#include "app/output/PrintCommands_win.h"
#include "app/record/RecWin_win.h"

class TRecordCommands : public IRecordCommands {
public:
    TRecordCommands(TPrintCommands& Print, TCsvExportCommand& Csv) : FPrint(Print), FCsv(Csv) {}

    void ExecuteFor(TMDIChildRec& Window, int Id) override;
    bool CanPrint() const override { return FPrint.Printing(); }

private:
    TPrintCommands& FPrint;
    TCsvExportCommand& FCsv;
};

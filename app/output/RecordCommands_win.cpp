#include "app/output/RecordCommands_win.h"

void TRecordCommands::ExecuteFor(TMDIChildRec& Window, int Id) {
    switch (Id) {
    case IMdiHost::kAcPrint:
        FPrint.PrintGraphOf(Window);
        break;
    case IMdiHost::kAcExport:
        FCsv.ExportOf(Window);
        break;
    case IMdiHost::kAcExpGrph:
        FPrint.ExportGraphOf(Window);
        break;
    default:
        break;
    }
}

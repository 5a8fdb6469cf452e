// The main window's commands that put a document on paper or into a metafile:
// "&Print", "Page Set&up...", "P&rinter Setup...", "Print Pre&view" and
// "Export &Graph". They act on the document of the selected tree node: a
// protocol is printed as text, the record window of a chamber or stored record
// as a graph page. Without a default printer the print commands are hidden for
// the run.
#pragma once

#include "app/main/MdiHost_win.h"
#include "app/output/GraphExportWin_win.h"
#include "app/output/GraphPrintPrv_win.h"
#include "app/output/RecPage_win.h"
#include "app/protocol/Protocols_win.h"
#include "app/settings/Preferences_.h"

#include <functional>
#include <memory>
#include <optional>

class TPrintCommands : public IProtocolPrinter, private IPreviewHost {
public:
    enum : int { kAcExpGrph = IMdiHost::kAcExpGrph };

    TPrintCommands(IMdiHost& Main, TProtocols& Protocols, TPreferences& Preferences,
                   IPrinterObject& Printer, ISetupFiles& Files, IRegistryStore& Registry);
    ~TPrintCommands();
    TPrintCommands(const TPrintCommands&) = delete;
    TPrintCommands& operator=(const TPrintCommands&) = delete;

    // False without a default printer at the start: no print commands for the run.
    bool Printing() const { return FPrinting; }
    void AcPrintExecute();
    void FilePageSetup1Execute();
    void FilePrintSetup1Execute();
    void PrintPreview1Click();
    void AcExpGrphExecute();
    // The window of "Export &Graph", made by the program in its place among the
    // forms; until then the command does nothing.
    void SetExportWin(TGraphExportWin& Export) { FExport = &Export; }

    // The preferences' printer or page setup of a kind, the setup file of that
    // kind loaded: the dialog, modal over the preferences' window Owner, starts
    // at Margins; accepted, the printer is stored as the kind's standard and
    // current one, the held margins take the dialog's and Margins becomes them.
    // True when accepted and stored.
    bool PreferencesSetup(HWND Owner, TPrintKind Kind, bool PageSetup, TPageMargins& Margins);

    // The page rectangle (twips) of the current printer inside Margins.
    void SetPageRect(const TPageMargins& Margins);
    TRect PageRect() override { return FPageRect; }
    // Saves the current printer to TempFileDir + Cfg and + Tmp (either may be
    // null); after a page setup the dialog's margins become Margins.
    bool StorePrinterSetup(TPageMargins& Margins, const char* Cfg, const char* Tmp,
                           const std::optional<TRect>& DialogMargins);

    void PrintProtocol(TMDIChildProt& Window) override;
    // The graph page of Window on the graph printer; an error is shown.
    void PrintGraphOf(TMDIChildRec& Window);
    // "Export &Graph" of Window, whatever the tree selects.
    void ExportGraphOf(TMDIChildRec& Window);

    TGraphPrintPrv& Preview() { return FPreview; }

private:
    enum class TDoc { None, Protocol, Graph };

    TDoc SelectedDoc() const;
    void LoadSetup(TPrintKind Kind);
    // Runs the platform's page or printer setup dialog, owned by Owner, on the
    // current printer; the printer chosen becomes current. Empty when cancelled;
    // the margins in the locale's unit after a page setup.
    std::optional<std::optional<TRect>> RunSetupDialog(HWND Owner, bool PageSetup,
                                                       const TPageMargins& Margins);
    // The dialog is modal over Owner: the main window from its menu, the
    // preview from its buttons.
    void SetupCommand(HWND Owner, bool PageSetup);
    void AddMenuItems(bool Printing);

    TPrinterMetrics PrinterMetrics() override;
    void PrinterSetup() override { SetupCommand(FPreview.Handle(), false); }
    void PageSetup() override { SetupCommand(FPreview.Handle(), true); }

    IMdiHost& FMain;
    TProtocols& FProtocols;
    TPreferences& FPrefs;
    IPrinterObject& FPrinter;
    ISetupFiles& FFiles;
    const bool FPrinting;
    TRect FPageRect;
    TGraphPrintPrv FPreview;
    TGraphExportWin* FExport = nullptr;
};

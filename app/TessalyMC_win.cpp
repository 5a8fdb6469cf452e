// The program TessalyMC: one instance per user session; a second start hands
// its command line to the running one and ends with exit code 183. The forms are
// created once, the main window first, and live until the end.
#include "app/base/About_win.h"
#include "app/base/Guard_.h"
#include "app/base/MsgDlg_win.h"
#include "app/base/Registry_win.h"
#include "app/base/Tools_win.h"
#include "app/documents/Documents_win.h"
#include "app/import/Import_win.h"
#include "app/instruments/InstrConnFrm_win.h"
#include "app/instruments/LinkApi_win.h"
#include "app/main/InfoWin_win.h"
#include "app/main/MainForm_win.h"
#include "app/main/OneInst_win.h"
#include "app/main/PrefHost_win.h"
#include "app/output/CsvCommand_win.h"
#include "app/output/PrintCommands_win.h"
#include "app/output/RecordCommands_win.h"
#include "app/overview/OvVWin_win.h"
#include "app/protocol/Protocols_win.h"
#include "app/record/RecWinFactory_win.h"
#include "app/record/SeriesDialogs_win.h"
#include "app/settings/Preferences_win.h"
#include "app/settings/PreferencesForm_win.h"
#include "app/settings/PrinterSetup_win.h"
#include "app/settings/SeriesPropForm_win.h"
#include "app/settings/UnitsForm_win.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

int RunMessageLoop(TMainForm& MainForm) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (MainForm.TranslateShortCut(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// Runs Undo when the scope ends, however it ends.
template <class F>
class TUndo {
public:
    explicit TUndo(F Undo) : FUndo(std::move(Undo)) {}
    TUndo(const TUndo&) = delete;
    TUndo& operator=(const TUndo&) = delete;
    ~TUndo() { FUndo(); }

private:
    F FUndo;
};

int RunProgram(const std::vector<std::string>& Args, int CmdShow) {
    LoadLocaleFormats();
    TWinMessageBoxes boxes;
    const TExceptionReporter previous = SetExceptionReporter(
        [&boxes](const std::string& What) { ShowErrorOrWarn(boxes, What, false); });
    const TUndo restoreReporter([&previous] { SetExceptionReporter(previous); });
    TWinRegistry registry;
    TWinPrefPlatform prefPlatform;
    TWinPrinter printer;
    TDiskSetupFiles setupFiles;
    TWinLinkApi linkApi;

    // The forms in the order of the program's start. The commands that show
    // them are made in the order of their File menu entries, each once its
    // window exists.
    TMainForm mainForm(boxes, registry, linkApi, Args);
    if (!mainForm.Handle())
        return 1;
    boxes.SetOwner(mainForm.Handle());
    TPreferences preferences(registry, boxes, prefPlatform, printer, setupFiles);
    preferences.Load();
    gPreferences = &preferences;
    const TUndo noPreferences([] { gPreferences = nullptr; });
    TPrefHost prefHost(mainForm);
    TPreferencesForm preferencesForm(mainForm.Handle(), preferences, prefHost);
    TAboutBox aboutBox(mainForm.Handle());
    TInstrConnFrm connFrm(mainForm.Handle(), linkApi);
    mainForm.Links().SetConnectForm(connFrm);
    TProtocols protocols(mainForm);
    const auto graphDefaults = [] {
        TGraphDefaults d = {};
        if (gPreferences)
            d = gPreferences->GraphDefaults;
        else
            SetFactoryGraphDefaults(d);
        return d;
    };
    TRecWinFactory recWindows(
        mainForm, [] { return gPreferences && gPreferences->AutoRestore; }, graphDefaults);
    TSetSeriesPropForm seriesPropForm(mainForm.Handle(), mainForm.ExtendedMode(), preferences);
    TInfoWin infoWin(mainForm.Handle(), mainForm.Tree(), mainForm.TreeView1());
    TDocumentsWin documents(mainForm, protocols);
    TExportWin exportWin(mainForm.Handle(), registry, mainForm.Boxes());
    TPrintCommands printCommands(mainForm, protocols, preferences, printer, setupFiles, registry);
    TCsvExportCommand csvExport(mainForm, exportWin);
    TSetUnitsForm unitsForm(mainForm.Handle());
    TGraphExportWin graphExportWin(mainForm.Handle(), registry, mainForm.Boxes());
    printCommands.SetExportWin(graphExportWin);
    TRecordCommands recordCommands(printCommands, csvExport);

    preferencesForm.SetSeriesForm(&seriesPropForm);
    seriesPropForm.SetUnitsForm(&unitsForm);
    mainForm.SetShowPreferences([&preferencesForm] { preferencesForm.Execute(); });
    mainForm.SetAboutBox(&aboutBox);
    mainForm.SetInfoWin(&infoWin);
    mainForm.Links().SetNewProtocolWindow([&protocols](const std::string& Title, int32_t Chamber,
                                                       TDevIndex DeviceIndex, const uint8_t* Data,
                                                       int32_t Len) {
        protocols.NewProtocolWindow(Title, Chamber, DeviceIndex, Data, Len, true);
    });
    mainForm.OnLoadFile = [&documents](const std::string& FileName) {
        documents.LoadFile(FileName);
    };
    mainForm.OnSaveDocument = [&documents](TTreeNode& Node) {
        return documents.Documents().Save(&Node);
    };
    prefHost.SetPrintSetup(
        [&printCommands](HWND Owner, TPrintKind Kind, bool PageSetup, TPageMargins& M) {
            return printCommands.PreferencesSetup(Owner, Kind, PageSetup, M);
        });
    mainForm.SetShowOverview(OverviewCommand(mainForm));
    TSeriesDialogs seriesDialogs(seriesPropForm);
    recWindows.SetSeriesDialogs(&seriesDialogs);
    recWindows.SetRecordCommands(&recordCommands);
    mainForm.SetRecWindowFactory(&recWindows);
    prefHost.SetApplyToWindow(
        [&recWindows](IRecordWindow& Window, const TGraphDefaults& Defaults, bool Recorder) {
            recWindows.ApplyStandardSettings(Window, Defaults, Recorder);
        });
    TImporter importer(mainForm, protocols, graphDefaults);
    mainForm.OnImport = [&importer] { importer.Import1Execute(); };
    mainForm.OnDropFiles = [&importer](HDROP Drop) { importer.DropFiles(Drop); };

    ShowWindow(mainForm.Handle(), CmdShow);
    UpdateWindow(mainForm.Handle());
    return RunMessageLoop(mainForm);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int CmdShow) {
    const std::vector<std::string> args(__argv + 1, __argv + __argc);
    if (!ProcessSingleInstanceInit(args))
        return kSecondInstanceExitCode;
    // Also when a fatal error ends the program.
    std::atexit(ProcessSingleInstanceDone);
    return Guarded(0, [&] { return RunProgram(args, CmdShow); });
}

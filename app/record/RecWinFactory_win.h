// The maker of record windows that the program hands the main window. It
// makes the question forms that all its windows share, the Overwrite/Append
// question first.
#pragma once

#include "app/main/MdiHost_win.h"
#include "app/main/RecWindows_.h"
#include "app/record/QuestionForms_win.h"
#include "app/record/SeriesDialogs_.h"
#include "app/settings/PreferencesGraph_.h"

#include <functional>

class IRecordCommands;

class TRecWinFactory : public IRecWindowFactory {
public:
    // AutoRestore: the preference autorest; GraphDefaults: the preferences'
    // graph defaults (the factory's while unset).
    TRecWinFactory(IMdiHost& Host, std::function<bool()> AutoRestore,
                   std::function<TGraphDefaults()> GraphDefaults = {})
        : FHost(Host), FAutoRestore(std::move(AutoRestore)),
          FGraphDefaults(std::move(GraphDefaults)), FQuestion(Host.Handle()), FInfo(Host.Handle()) {
    }

    // The series and units dialogs of every window made from now on.
    void SetSeriesDialogs(ISeriesDialogs* Dialogs) { FSeriesDialogs = Dialogs; }
    // What the print and export buttons of every window made from now on run.
    void SetRecordCommands(IRecordCommands* Commands) { FCommands = Commands; }
    // The preferences' "Apply to Recorders" (Recorder) and "Apply to Records" on one window.
    void ApplyStandardSettings(IRecordWindow& Window, const TGraphDefaults& Defaults,
                               bool Recorder);

    IRecordWindow& Create(TTreeNode& Node, bool Live) override;
    void Free(IRecordWindow& Window) override;
    void SetDefaultSettings(IRecordWindow& Window) override;
    std::string BuildCaption(IRecordWindow& Window) override;
    void SetCaption(IRecordWindow& Window, const std::string& Caption) override;
    std::string OpenTempFiles(IRecordWindow& Window, const std::string& Dir) override;
    void LoadRecordFile(IRecordWindow& Window, const std::string& FileName) override;
    void Activate(IRecordWindow& Window) override;
    void SetDataReplaced(IRecordWindow& Window) override;

private:
    IMdiHost& FHost;
    std::function<bool()> FAutoRestore;
    std::function<TGraphDefaults()> FGraphDefaults;
    TOverwriteAppendWin FQuestion;
    TInfoBox FInfo;
    ISeriesDialogs* FSeriesDialogs = nullptr;
    IRecordCommands* FCommands = nullptr;
};

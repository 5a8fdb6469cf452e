// The main window's side of the preferences dialog: its status panels, its
// print commands and the record windows of the tree that the Apply buttons
// reach. How one window takes the standard settings is the record window's
// own; the program hands it in.
#pragma once

#include "app/main/MainForm_win.h"
#include "app/settings/PreferencesForm_win.h"

#include <functional>

class TPrefHost : public IPreferencesHost {
public:
    // Recorder: a chamber's window (its sample rate changes only when it does
    // not record); else a loaded record file's window.
    using TApplyToWindow =
        std::function<void(IRecordWindow& Window, const TGraphDefaults& Defaults, bool Recorder)>;
    using TPrintSetup =
        std::function<bool(HWND Owner, TPrintKind Kind, bool PageSetup, TPageMargins& Margins)>;

    explicit TPrefHost(TMainForm& MainForm) : FMainForm(MainForm) {}
    void SetApplyToWindow(TApplyToWindow Apply) { FApply = std::move(Apply); }
    void SetPrintSetup(TPrintSetup Setup) { FPrintSetup = std::move(Setup); }

    void ShowSettingsPanels(const std::array<std::string, 3>& Texts) override;
    void HidePrintActions() override {}
    bool HasRecordsFolder() override { return FMainForm.Tree().RecordsFolder() != nullptr; }
    int CountRecorderWindows() override;
    void ApplyToRecorders(const TGraphDefaults& Defaults) override;
    void ApplyToRecords(const TGraphDefaults& Defaults) override;
    bool RunPrintSetup(HWND Owner, TPrintKind Kind, bool PageSetup,
                       TPageMargins& Margins) override {
        return FPrintSetup && FPrintSetup(Owner, Kind, PageSetup, Margins);
    }

private:
    // Each chamber window under an instrument.
    void ForEachRecorder(const std::function<void(IRecordWindow&)>& Do);

    TMainForm& FMainForm;
    TApplyToWindow FApply;
    TPrintSetup FPrintSetup;
};

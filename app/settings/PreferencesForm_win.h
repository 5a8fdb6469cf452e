// TPreferencesForm: the modal dialog "Preferences" over the held preferences
// (TPreferences): the printing page (hidden without a default printer), the
// environment page and the graph page with the standard graph settings and
// the two buttons that push them into open record windows. Made once at start.
#pragma once

#include "app/base/Form_win.h"
#include "app/settings/KeyHook_win.h"
#include "app/settings/PrefDialog_.h"
#include "app/settings/Preferences_.h"
#include "app/settings/PrefTimeRange_.h"
#include "app/settings/SeriesPropForm_win.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

// What the dialog needs of the windows above it.
class IPreferencesHost {
public:
    // Panels 1 to 3 of the main window's status bar.
    virtual void ShowSettingsPanels(const std::array<std::string, 3>& Texts) = 0;
    // Without a default printer: the main window's print commands, for the whole run.
    virtual void HidePrintActions() = 0;
    virtual bool HasRecordsFolder() = 0;
    // Chamber nodes under instruments that have a record window.
    virtual int CountRecorderWindows() = 0;
    // Graph settings, auto scroll, units (and, unless it records, the sample
    // rate) of every chamber's record window.
    virtual void ApplyToRecorders(const TGraphDefaults& Defaults) = 0;
    // Graph settings and units of the windows of loaded record files.
    virtual void ApplyToRecords(const TGraphDefaults& Defaults) = 0;
    // The printer or page setup of a kind, owned by the dialog Owner, starting
    // from Margins; when accepted the chosen printer and Margins are the held
    // ones. True when accepted.
    virtual bool RunPrintSetup(HWND Owner, TPrintKind Kind, bool PageSetup,
                               TPageMargins& Margins) = 0;

protected:
    ~IPreferencesHost() = default;
};

class TPreferencesForm : public TForm {
public:
    TPreferencesForm(HWND Owner, TPreferences& Prefs, IPreferencesHost& Host);
    // The series dialog, made after this one; needed before the dialog is shown.
    void SetSeriesForm(TSetSeriesPropForm* SeriesForm) { FSeriesForm = SeriesForm; }

    // The dialog, modally; OK stores the preferences.
    int Execute();

    enum TPage { pgPrinting, pgEnvironment, pgGraph };
    // Selects a page as its tab would.
    void SelectPage(TPage Page);
    const TTimeRangeModel& TimeRange() const { return FTime; }

    // Controls, by their names in the form.
    enum : int {
        kTabs = 100,
        kButtonOK,
        kButtonCancel,
        // printing
        kGroupBoxProtPrint = 200,
        kCheckBoxAutoPrint,
        kCheckBoxKeepOpen,
        kLabel1,
        kComboBox1,
        kBitBtnPrSProt,
        kBitBtnPaSProt,
        kGroupBoxPrintGraph,
        kBitBtnPrSGra,
        kBitBtnPaSGra,
        // environment
        kCheckBoxKeepCom = 300,
        kCheckBoxAddRecTree,
        kLabelTempFile,
        kLabeledEditTempFile,
        kBitBtnSelectDir,
        kCheckBoxAutoRestore,
        // graphs
        kLabelExp = 400,
        kComboBoxSampleRate,
        kToolButtonListViewAutoScroll,
        kToolButtonEnd,
        kToolButtonShowSC,
        kToolButtonAutoX,
        kToolButtonAutoY,
        kToolButtonAutoOffset,
        kToolButtonProp,
        kLabelMin,
        kEditAlignMin,
        kUpDownMin,
        kLabelMax,
        kEditAlignMax,
        kUpDownMax,
        kComboBoxTimePage,
        kButtonApplRcrdr,
        kButtonApplRcrds,
        kButtonSetDefault,
    };

protected:
    bool OnCommand(int Id, int Code, HWND Control) override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    std::string Text(HWND Control) const { return ControlText(GetDlgCtrlID(Control)); }
    HWND Add(TPage Page, const char* Class, const std::string& Text, DWORD Style, int Id, int X,
             int Y, int W, int H, DWORD ExStyle = 0);
    void CreatePrintingPage();
    void CreateEnvironmentPage();
    void CreateGraphPage();
    void FormShow();
    void ButtonOKClick();
    void ShowPage(int Tab);

    bool Down(int Id) const;
    void SetDown(int Id, bool Down);
    TGraphControls Controls() const;
    void ShowTimeRange();
    void PrintSetup(TPrintKind Kind, bool PageSetup);
    void SelectDir();
    void SeriesSettings();
    void ApplyTo(bool Recorders);
    char TimeKey(HWND Edit, char Key);
    char PageKey(char Key);
    void PageCloseUp();
    bool PageKeyDown(WPARAM Key);
    bool TimeUpDown(const NMUPDOWN& N);

    TPreferences& FPrefs;
    TSetSeriesPropForm* FSeriesForm = nullptr;
    IPreferencesHost& FHost;
    bool FHasPrinter;
    std::vector<std::pair<HWND, TPage>> FPageControls;
    std::vector<TPage> FTabPages;
    TTimeRangeModel FTime;
    TTempDirEdit FTempDir;
    TKeyHandlers FTimeKeys;
    TKeyHandlers FPageKeys;
};

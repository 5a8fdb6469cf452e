// TSetSeriesPropForm: the modal dialog "Enter y-scale and series properties"
// for the humidity, temperature and D value series of a record window or of
// the preferences' graph defaults. Its "Units" button opens the units dialog.
// One instance for the whole run, shared by every record window and the
// preferences; each caller loads it before showing it.
#pragma once

#include "app/base/Form_win.h"
#include "app/settings/KeyHook_win.h"
#include "app/settings/Preferences_.h"
#include "app/settings/SeriesProps_.h"
#include "app/settings/UnitChoices_.h"
#include "app/settings/UnitsForm_win.h"
#include "common/WinRes_win.h"

#include <commctrl.h>

#include <array>
#include <map>
#include <string>

// What the dialog gives its caller on OK and on "&Apply".
struct TSeriesDialogResult {
    std::array<TSeriesValues, kSeriesCount> Series;
    bool AutoOffset = false;
    TUnitChoices Units; // the units dialog's confirmed choices
};

// The record window that opened the dialog.
class ISeriesTarget {
public:
    virtual TUnitChoices UnitOverrides() = 0;
    // The units it shows: its node's units with its overrides.
    virtual TResolvedUnits UnitSettings() = 0;
    // Its series, auto offset mode and unit overrides (OK and "&Apply").
    virtual void ApplySeriesProps(const TSeriesDialogResult& Result) = 0;
    // Cancel: its view as it was before the dialog's "&Apply"s.
    virtual void RestoreSeriesView() = 0;
    // The units dialog's "&Apply": its overrides, its units and the main window's refresh.
    virtual void ApplyUnitChoices(const TUnitChoices& Choices) = 0;

protected:
    ~ISeriesTarget() = default;
};

class TSetSeriesPropForm : public TForm {
public:
    TSetSeriesPropForm(HWND Owner, bool ExtendedMode, TPreferences& Prefs);
    // The units dialog, made after this one; needed before the dialog is shown.
    void SetUnitsForm(TSetUnitsForm* UnitsForm) { FUnitsForm = UnitsForm; }

    // From a record window: loads the window's values, shows the dialog and on
    // OK applies the result to the window. True on OK.
    bool ExecuteFor(ISeriesTarget& Window, const std::array<TSeriesValues, kSeriesCount>& Series,
                    const TUnitChoices& Overrides, bool AutoOffset);

    // From the preferences: the held graph defaults' series and units, with
    // the preferences' auto offset button.
    void PrepareForPreferences(bool AutoOffset);
    // Shows the prepared dialog for the preferences; the caller takes Result() on OK.
    int ExecuteForPreferences();
    TSeriesDialogResult Result() const;
    // The layout of auto offset mode, also set from the preferences' button.
    void SetAutoOffset(bool On);

    const TSeriesPropModel& Model() const { return FModel; }
    HWND ButtonAutoOffset() const { return Control(kAutoOffset); }
    HWND ButtonUnits() const { return Control(kUnits); }
    HWND Edit(int Series, TLimitEdit E) const {
        return Control(Id(Series, E == TLimitEdit::Min ? kMinEdit : kMaxEdit));
    }
    HWND UpDown(int Series, TLimitEdit E) const {
        return Control(Id(Series, E == TLimitEdit::Min ? kMinUpDown : kMaxUpDown));
    }
    HWND CheckBoxShow(int Series) const { return Control(Id(Series, kShow)); }
    HWND PanelColor(int Series) const { return Control(Id(Series, kColor)); }
    HWND GroupBox(int Series) const { return Control(Id(Series, kGroup)); }
    HWND ButtonOK() const { return Control(kOK); }
    HWND ButtonCancel() const { return Control(kCancel); }
    HWND ButtonApply() const { return Control(kApply); }
    // The hint of a control ("short|long"); its short part is the tool tip.
    std::string Hint(HWND Control) const {
        const auto it = FHints.find(Control);
        return it == FHints.end() ? std::string() : it->second;
    }

protected:
    bool OnCommand(int Id, int Code, HWND Control) override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    std::string Text(HWND Control) const { return ControlText(GetDlgCtrlID(Control)); }
    enum : int { kAutoOffset = 100, kUnits, kOK, kCancel, kApply, kSeriesBase = 200 };
    // Controls of a series group, at kSeriesBase + 20 * series + the part.
    enum : int {
        kGroup,
        kShow,
        kColor,
        kMinLabel,
        kMinEdit,
        kMinUpDown,
        kMaxLabel,
        kMaxEdit,
        kMaxUpDown
    };
    static int Id(int Series, int Part) { return kSeriesBase + 20 * Series + Part; }

    void FormShow();
    void ShowTexts();
    void CommitEdit(HWND Edit);
    // The series and edit of a value edit; false for any other control.
    bool EditOf(HWND Control, int& Series, TLimitEdit& E) const;
    void UnitsClick();
    void ColorClick(int Series);
    bool OnUpDown(const NMUPDOWN& N);
    char FilterKey(HWND Control, char Key);
    void DrawColor(const DRAWITEMSTRUCT& D);
    void SetHint(HWND Control, const std::string& Hint);

    TSeriesPropModel FModel;
    TSetUnitsForm* FUnitsForm = nullptr;
    TPreferences& FPrefs;
    ISeriesTarget* FTarget = nullptr; // null: the preferences
    TKeyHandlers FKeyFilter;
    COLORREF FCustomColors[16] = {};
    HWND FToolTip = nullptr; // owned by the form
    std::map<HWND, std::string> FHints;
};

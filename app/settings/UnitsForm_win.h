// TSetUnitsForm: the modal dialog "Enter units", opened from the series
// properties dialog, in which a record window's or the preferences' units are
// chosen: a fixed unit or "From instrument". One instance for the whole run.
#pragma once

#include "app/base/Form_win.h"
#include "app/settings/UnitChoices_.h"

#include <functional>

class TSetUnitsForm : public TForm {
public:
    explicit TSetUnitsForm(HWND Owner);

    // The choices last confirmed with OK.
    const TUnitChoices& Confirmed() const { return FConfirmed; }
    void SetConfirmed(const TUnitChoices& Choices) { FConfirmed = Choices; }

    // Shows the dialog modally with the lists at Shown (the preferences' held
    // choices or the window's overrides, also after Cancel). OnApply, when
    // given, is what "&Apply" does with the lists' choices; without it (the
    // preferences) there is no "&Apply". OK confirms the lists' choices.
    int Execute(const TUnitChoices& Shown, std::function<void(const TUnitChoices&)> OnApply);
    TUnitChoices GetChoices() const;

    HWND ComboBox(TUnitList List) const { return Control(kComboBoxHum + static_cast<int>(List)); }
    HWND ButtonOK() const { return Control(kOK); }
    HWND ButtonCancel() const { return Control(kCancel); }
    HWND ButtonApply() const { return Control(kApply); }

private:
    enum : int { kGroupBoxUnits = 100, kLabelHum, kLabelTemp, kLabelDate, kComboBoxHum = 200 };
    enum : int { kOK = 300, kCancel, kApply };

    void ShowChoices();
    bool OnCommand(int Id, int Code, HWND Control) override;

    TUnitChoices FConfirmed;
    TUnitChoices FShown;
    std::function<void(const TUnitChoices&)> FOnApply;
};

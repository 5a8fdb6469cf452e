#include "app/settings/UnitsForm_win.h"

namespace {

constexpr const char* kLabels[kUnitListCount] = {"Humidity", "Temperature", "Date format"};

} // namespace

TSetUnitsForm::TSetUnitsForm(HWND Owner) {
    TFormArgs args;
    args.ClassName = "TSetUnitsForm";
    args.Caption = sUnitsDialogCaption;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    args.ExStyle = WS_EX_DLGMODALFRAME;
    args.ClientWidth = 258;
    args.ClientHeight = 148;
    args.Parent = Owner;
    if (!CreateForm(args))
        return;
    AddControl("BUTTON", "Units", BS_GROUPBOX, kGroupBoxUnits, 8, 4, 242, 100);
    for (int list = 0; list < kUnitListCount; ++list) {
        const int top = 24 + 26 * list;
        AddControl("STATIC", kLabels[list], SS_LEFT, kLabelHum + list, 18, top + 3, 76, 13);
        const HWND combo = AddControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL,
                                      kComboBoxHum + list, 100, top, 140, 120);
        for (const std::string& entry : UnitListEntries(static_cast<TUnitList>(list)))
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
    }
    AddButton(kOK, "&OK", 8, 114, 75, 25, mrOk);
    AddButton(kCancel, "&Cancel", 91, 114, 75, 25, mrCancel);
    AddButton(kApply, "&Apply", 175, 114, 75, 25);
    SetDefaultButton(kOK);
    SetCancelButton(kCancel);
}

int TSetUnitsForm::Execute(const TUnitChoices& Shown,
                           std::function<void(const TUnitChoices&)> OnApply) {
    FShown = Shown;
    FOnApply = std::move(OnApply);
    ShowWindow(ButtonApply(), FOnApply ? SW_SHOW : SW_HIDE);
    ShowChoices();
    CenterWindowOn(Handle(), GetWindow(Handle(), GW_OWNER));
    const int result = ShowModal();
    if (result == mrOk)
        FConfirmed = GetChoices();
    FOnApply = nullptr;
    return result;
}

TUnitChoices TSetUnitsForm::GetChoices() const {
    const auto choice = [this](TUnitList List) {
        return IndexToChoice(List,
                             static_cast<int>(SendMessageA(ComboBox(List), CB_GETCURSEL, 0, 0)));
    };
    return {choice(ulHumidity), choice(ulTemperature), choice(ulDate)};
}

void TSetUnitsForm::ShowChoices() {
    for (int list = 0; list < kUnitListCount; ++list) {
        const auto l = static_cast<TUnitList>(list);
        SendMessageA(ComboBox(l), CB_SETCURSEL, ChoiceToIndex(l, Choice(FShown, l)), 0);
    }
}

bool TSetUnitsForm::OnCommand(int Id, int Code, HWND Control) {
    if (Code != BN_CLICKED)
        return TForm::OnCommand(Id, Code, Control);
    if (Id == kCancel) {
        ShowChoices();
        return true;
    }
    if (Id == kApply && FOnApply) {
        FOnApply(GetChoices());
        return true;
    }
    return TForm::OnCommand(Id, Code, Control);
}

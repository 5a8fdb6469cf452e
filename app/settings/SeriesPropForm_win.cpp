#include "app/settings/SeriesPropForm_win.h"

#include "app/settings/EditNumber_.h"
#include "app/settings/PrefDialog_.h"

#include <commctrl.h>
#include <commdlg.h>

namespace {

constexpr int kGroupTop = 38;
constexpr int kGroupHeight = 78;
constexpr int kGroupStep = 84;
constexpr int kButtonHeight = 25;

std::string ShortHint(const std::string& Hint) {
    return Hint.substr(0, Hint.find('|'));
}

} // namespace

TSetSeriesPropForm::TSetSeriesPropForm(HWND Owner, bool ExtendedMode, TPreferences& Prefs)
    : FModel(ExtendedMode),
      FPrefs(Prefs), FKeyFilter{[this](HWND Control, char Key) { return FilterKey(Control, Key); },
                                nullptr} {
    TFormArgs args;
    args.ClassName = "TSetSeriesPropForm";
    args.Caption = sSeriesDialogCaption;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    args.ExStyle = WS_EX_DLGMODALFRAME;
    args.ClientWidth = 256;
    args.ClientHeight = 300;
    args.Parent = Owner;
    if (!CreateForm(args))
        return;
    InitCommonControlsOnce();
    AddControl("BUTTON", "Auto Offset Mode", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP,
               kAutoOffset, 8, 6, 110, 24);
    AddControl("BUTTON", "Units", BS_PUSHBUTTON | WS_TABSTOP, kUnits, 122, 6, 70, 24);
    const int groups = ExtendedMode ? kSeriesCount : kSeriesCount - 1;
    for (int s = 0; s < kSeriesCount; ++s) {
        const int top = kGroupTop + kGroupStep * s;
        const DWORD shown = s < groups ? WS_VISIBLE : 0;
        const auto add = [&](const char* Class, const char* Text, DWORD Style, int Part, int X,
                             int Y, int W, int H, DWORD ExStyle = 0) {
            const HWND ctl = AddControl(Class, Text, Style, Id(s, Part), X, top + Y, W, H, ExStyle);
            if (!shown)
                ShowWindow(ctl, SW_HIDE);
            return ctl;
        };
        add("BUTTON", "", BS_GROUPBOX, kGroup, 8, 0, 240, kGroupHeight);
        add("BUTTON", "Show", BS_AUTOCHECKBOX | WS_TABSTOP, kShow, 18, 20, 60, 17);
        HookKeys(add("BUTTON", "", BS_OWNERDRAW | WS_TABSTOP, kColor, 18, 44, 50, 22), &FKeyFilter);
        for (const bool max : {false, true}) {
            const int y = max ? 45 : 19;
            add("STATIC", max ? "max" : "min", SS_LEFT, max ? kMaxLabel : kMinLabel, 96, y + 3, 40,
                13);
            HookKeys(add("EDIT", "", ES_RIGHT | ES_AUTOHSCROLL | WS_TABSTOP,
                         max ? kMaxEdit : kMinEdit, 140, y, 80, 21, WS_EX_CLIENTEDGE),
                     &FKeyFilter);
            const HWND upDown =
                add(UPDOWN_CLASSA, "", 0, max ? kMaxUpDown : kMinUpDown, 220, y, 17, 21);
            SendMessageA(upDown, UDM_SETRANGE32, 0, 1000);
            SendMessageA(upDown, UDM_SETPOS32, 0, 500);
        }
    }
    // The buttons below the last group shown.
    const int last = kGroupTop + kGroupStep * (groups - 1);
    const int buttons = last + kGroupHeight + 8;
    AddButton(kOK, "&OK", 8, buttons, 75, kButtonHeight, mrOk);
    AddButton(kCancel, "&Cancel", 90, buttons, 75, kButtonHeight, mrCancel);
    AddButton(kApply, "&Apply", 172, buttons, 75, kButtonHeight);
    SetClientSize(256, last + kGroupHeight + kButtonHeight + 20);
    SetDefaultButton(kOK);
    SetCancelButton(kCancel);
    FToolTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               Handle(), nullptr, nullptr, nullptr);
}

bool TSetSeriesPropForm::ExecuteFor(ISeriesTarget& Window,
                                    const std::array<TSeriesValues, kSeriesCount>& Series,
                                    const TUnitChoices& Overrides, bool AutoOffset) {
    FTarget = &Window;
    FModel.Series = Series;
    FModel.SetUnits(Window.UnitSettings());
    FModel.AutoOffset = AutoOffset;
    FUnitsForm->SetConfirmed(Overrides);
    FormShow();
    const bool ok = ShowModal() == mrOk;
    if (ok)
        Window.ApplySeriesProps(Result());
    return ok;
}

void TSetSeriesPropForm::PrepareForPreferences(bool AutoOffset) {
    FTarget = nullptr;
    FModel.Series = SeriesOf(FPrefs.GraphDefaults);
    FModel.SetUnits(ResolvedUnitsOf(FPrefs.GraphDefaults));
    FModel.AutoOffset = AutoOffset;
    FUnitsForm->SetConfirmed(ChoicesOf(FPrefs.GraphDefaults));
}

int TSetSeriesPropForm::ExecuteForPreferences() {
    FTarget = nullptr;
    FormShow();
    return ShowModal();
}

TSeriesDialogResult TSetSeriesPropForm::Result() const {
    return {FModel.Series, FModel.AutoOffset, FUnitsForm->Confirmed()};
}

void TSetSeriesPropForm::SetAutoOffset(bool On) {
    FModel.SetAutoOffset(On);
    ShowTexts();
}

void TSetSeriesPropForm::FormShow() {
    ShowWindow(ButtonApply(), FTarget ? SW_SHOW : SW_HIDE);
    FModel.Show();
    SendMessageA(ButtonAutoOffset(), BM_SETCHECK, FModel.AutoOffset ? BST_CHECKED : BST_UNCHECKED,
                 0);
    for (int s = 0; s < kSeriesCount; ++s) {
        SetWindowTextA(GroupBox(s), FModel.GroupCaption(s).c_str());
        SendMessageA(CheckBoxShow(s), BM_SETCHECK,
                     FModel.Series[s].Visible ? BST_CHECKED : BST_UNCHECKED, 0);
        InvalidateRect(PanelColor(s), nullptr, TRUE);
    }
    ShowTexts();
    CenterWindowOn(Handle(), GetWindow(Handle(), GW_OWNER));
}

// The edits, labels and hints as the model has them.
void TSetSeriesPropForm::ShowTexts() {
    const bool visibleGroups[kSeriesCount] = {true, true, FModel.ExtendedMode()};
    for (int s = 0; s < kSeriesCount; ++s) {
        for (const TLimitEdit e : {TLimitEdit::Min, TLimitEdit::Max})
            SetWindowTextA(Edit(s, e), FModel.Text(s, e).c_str());
        SetWindowTextA(Control(Id(s, kMinLabel)), FModel.MinLabel().c_str());
        const int show = visibleGroups[s] && FModel.MaxShown() ? SW_SHOW : SW_HIDE;
        for (const int part : {kMaxLabel, kMaxEdit, kMaxUpDown})
            ShowWindow(Control(Id(s, part)), show);
        const TSeriesHints hints = FModel.Hints(s);
        const std::pair<HWND, std::string> tips[] = {{Edit(s, TLimitEdit::Min), hints.MinEdit},
                                                     {UpDown(s, TLimitEdit::Min), hints.MinUpDown},
                                                     {UpDown(s, TLimitEdit::Max), hints.MaxUpDown}};
        for (const auto& [ctl, hint] : tips)
            SetHint(ctl, hint);
    }
}

void TSetSeriesPropForm::SetHint(HWND Ctl, const std::string& Hint) {
    std::string text = ShortHint(Hint);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(Ctl);
    ti.lpszText = text.data();
    if (!SendMessageA(FToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti)))
        SendMessageA(FToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    FHints[Ctl] = Hint;
}

bool TSetSeriesPropForm::EditOf(HWND Ctl, int& Series, TLimitEdit& E) const {
    for (int s = 0; s < kSeriesCount; ++s)
        for (const TLimitEdit e : {TLimitEdit::Min, TLimitEdit::Max})
            if (Edit(s, e) == Ctl) {
                Series = s;
                E = e;
                return true;
            }
    return false;
}

void TSetSeriesPropForm::CommitEdit(HWND Ctl) {
    int s = 0;
    TLimitEdit e = TLimitEdit::Min;
    if (!EditOf(Ctl, s, e))
        return;
    FModel.CommitEdit(s, e, Text(Ctl));
    ShowTexts();
}

char TSetSeriesPropForm::FilterKey(HWND Ctl, char Key) {
    for (int s = 0; s < kSeriesCount; ++s)
        if (Ctl == PanelColor(s)) {
            // Space clicks the button by itself.
            if (Key != kKeyEnter)
                return Key;
            ColorClick(s);
            return 0;
        }
    DWORD caret = 0;
    SendMessageA(Ctl, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    const char key = FilterNumberKey(Text(Ctl), caret, Key, true);
    if (key != kKeyEnter)
        return key;
    CommitEdit(Ctl);
    return 0;
}

bool TSetSeriesPropForm::OnUpDown(const NMUPDOWN& N) {
    for (int s = 0; s < kSeriesCount; ++s)
        for (const TLimitEdit e : {TLimitEdit::Min, TLimitEdit::Max})
            if (N.hdr.hwndFrom == UpDown(s, e)) {
                SetFocus(Edit(s, e));
                FModel.UpDown(s, e, Text(Edit(s, e)), N.iDelta > 0);
                ShowTexts();
                return true;
            }
    return false;
}

void TSetSeriesPropForm::ColorClick(int Series) {
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = Handle();
    cc.rgbResult = static_cast<COLORREF>(FModel.Series[Series].Color);
    cc.lpCustColors = FCustomColors;
    cc.Flags = CC_RGBINIT;
    if (ChooseColorA(&cc))
        FModel.Series[Series].Color = static_cast<int32_t>(cc.rgbResult);
    InvalidateRect(PanelColor(Series), nullptr, TRUE);
}

void TSetSeriesPropForm::DrawColor(const DRAWITEMSTRUCT& D) {
    int s = (static_cast<int>(D.CtlID) - kSeriesBase) / 20;
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(FModel.Series[s].Color));
    FillRect(D.hDC, &D.rcItem, brush);
    DeleteObject(brush);
    // A border while it has the focus.
    if (D.itemState & ODS_FOCUS)
        FrameRect(D.hDC, &D.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void TSetSeriesPropForm::UnitsClick() {
    if (!FTarget) {
        // Held in memory; the preferences' OK stores them.
        if (FUnitsForm->Execute(ChoicesOf(FPrefs.GraphDefaults), nullptr) == mrOk) {
            SetUnitChoices(FPrefs.GraphDefaults, FUnitsForm->Confirmed());
            FModel.SetUnits(ResolvedUnitsOf(FPrefs.GraphDefaults));
        }
    } else {
        const auto apply = [this](const TUnitChoices& Choices) {
            FTarget->ApplyUnitChoices(Choices);
            FModel.SetUnits(FTarget->UnitSettings());
            FormShow();
        };
        if (FUnitsForm->Execute(FTarget->UnitOverrides(), apply) == mrOk)
            apply(FUnitsForm->Confirmed());
    }
    FormShow();
}

bool TSetSeriesPropForm::OnCommand(int Id, int Code, HWND Ctl) {
    int s = 0;
    TLimitEdit e = TLimitEdit::Min;
    if (Code == EN_KILLFOCUS && EditOf(Ctl, s, e)) {
        CommitEdit(Ctl);
        return true;
    }
    if (Code != BN_CLICKED)
        return TForm::OnCommand(Id, Code, Ctl);
    switch (Id) {
    case kAutoOffset:
        FModel.AutoOffset = SendMessageA(Ctl, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SetAutoOffset(FModel.AutoOffset);
        return true;
    case kUnits:
        UnitsClick();
        return true;
    case kOK:
        CommitEdit(GetFocus());
        // A record window's dialog leaves the preferences' stored block alone.
        if (!FTarget)
            FPrefs.StoreGraphDefaults();
        return true;
    case kCancel:
        if (FTarget)
            FTarget->RestoreSeriesView();
        return true;
    case kApply:
        if (FTarget) {
            CommitEdit(GetFocus());
            FTarget->ApplySeriesProps(Result());
        }
        return true;
    default:
        break;
    }
    for (s = 0; s < kSeriesCount; ++s) {
        if (Ctl == CheckBoxShow(s)) {
            FModel.Series[s].Visible = SendMessageA(Ctl, BM_GETCHECK, 0, 0) == BST_CHECKED;
            return true;
        }
        if (Ctl == PanelColor(s)) {
            ColorClick(s);
            return true;
        }
    }
    return TForm::OnCommand(Id, Code, Ctl);
}

LRESULT TSetSeriesPropForm::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(L);
        if (hdr->code == UDN_DELTAPOS && OnUpDown(*reinterpret_cast<const NMUPDOWN*>(L)))
            return TRUE; // the up-down keeps its own position
        break;
    }
    case WM_DRAWITEM:
        DrawColor(*reinterpret_cast<const DRAWITEMSTRUCT*>(L));
        return TRUE;
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}

#include "app/main/InfoWin_win.h"

namespace {

constexpr UINT kFocusNotes = WM_APP + 1;
constexpr int kMargin = 8;
constexpr int kLabelHeight = 13;
constexpr int kEditHeight = 21;
constexpr int kRowHeight = kLabelHeight + 3 + kEditHeight + 7;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

} // namespace

TInfoWin::TInfoWin(HWND Owner, TTreeModel& Tree, HWND TreeView) : FCtl(Tree), FTreeView(TreeView) {
    TFormArgs args;
    args.ClassName = "TInfoWin";
    args.Caption = sChamberInfo;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
    args.ExStyle = WS_EX_CONTROLPARENT;
    args.ClientWidth = 281;
    args.ClientHeight = 249;
    args.Parent = Owner;
    if (CreateForm(args))
        FormCreate();
}

void TInfoWin::FormCreate() {
    struct TLabeledEdit {
        int Id;
        const char* Label;
        DWORD Style;
    } const edits[] = {
        {kLabeledEditInstr, "Instrument:", ES_READONLY},
        {kLabeledEditChamber, "Chamber:", ES_READONLY},
        {kLabeledEditSWVers, "SW Version:", ES_READONLY},
        {kLabeledEditSerNum, "Serial number:", ES_READONLY},
        {kLabeledEditChmbrName, "Chamber name:", WS_TABSTOP},
    };
    for (const TLabeledEdit& e : edits) {
        AddControl("STATIC", e.Label, SS_LEFT, e.Id + kLabelOffset, 0, 0, 0, 0);
        AddControl("EDIT", "", e.Style | ES_AUTOHSCROLL, e.Id, 0, 0, 0, 0, WS_EX_CLIENTEDGE);
    }
    SendMessageA(LabeledEditChmbrName(), EM_LIMITTEXT, kChamberNameLength, 0);
    AddControl("STATIC", "Notes:", SS_LEFT, kLabel1, 0, 0, 0, 0);
    AddControl("EDIT", "",
               WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_WANTRETURN |
                   ES_AUTOVSCROLL | ES_AUTOHSCROLL,
               kMemoNotes, 0, 0, 0, 0, WS_EX_CLIENTEDGE);
    AddButton(kButtonOK, "&OK", 0, 0, kButtonWidth, kButtonHeight, mrOk);
    AddButton(kButtonCancel, "&Cancel", 0, 0, kButtonWidth, kButtonHeight, mrCancel);
    SetCancelButton(kButtonCancel);
    SetConstraints({297, 283}, {0, 0});
    const SIZE client = ClientSize();
    Layout(client.cx, client.cy);
}

void TInfoWin::Layout(int Width, int Height) {
    const int half = (Width - 3 * kMargin) / 2;
    const auto place = [this](int Id, int X, int Y, int W) {
        MoveWindow(Control(Id + kLabelOffset), X, Y, W, kLabelHeight, TRUE);
        MoveWindow(Control(Id), X, Y + kLabelHeight + 3, W, kEditHeight, TRUE);
    };
    place(kLabeledEditInstr, kMargin, kMargin, half);
    place(kLabeledEditChamber, 2 * kMargin + half, kMargin, half);
    place(kLabeledEditSWVers, kMargin, kMargin + kRowHeight, half);
    place(kLabeledEditSerNum, 2 * kMargin + half, kMargin + kRowHeight, half);
    place(kLabeledEditChmbrName, kMargin, kMargin + 2 * kRowHeight, Width - 2 * kMargin);
    const int notesTop = kMargin + 3 * kRowHeight;
    const int buttonTop = Height - kMargin - kButtonHeight;
    MoveWindow(Control(kLabel1), kMargin, notesTop, Width - 2 * kMargin, kLabelHeight, TRUE);
    const int memoTop = notesTop + kLabelHeight + 3;
    MoveWindow(MemoNotes(), kMargin, memoTop, Width - 2 * kMargin, buttonTop - kMargin - memoTop,
               TRUE);
    MoveWindow(Control(kButtonOK), Width - 2 * (kButtonWidth + kMargin), buttonTop, kButtonWidth,
               kButtonHeight, TRUE);
    MoveWindow(Control(kButtonCancel), Width - kButtonWidth - kMargin, buttonTop, kButtonWidth,
               kButtonHeight, TRUE);
}

int TInfoWin::Execute() {
    CenterWindowOn(Handle(), GetWindow(Handle(), GW_OWNER));
    FCtl.FormShow(*this);
    const int result = ShowModal();
    ReturnFocus();
    return result;
}

void TInfoWin::ShowChamber(const TChamberInfoTexts& Texts) {
    SetControlText(kLabeledEditInstr, Texts.Instrument);
    SetControlText(kLabeledEditChamber, Texts.Chamber);
    SetControlText(kLabeledEditSWVers, Texts.SWVers);
    SetControlText(kLabeledEditSerNum, Texts.SerNum);
    SetControlText(kLabeledEditChmbrName, Texts.Name);
    SetControlText(kMemoNotes, Texts.Notes);
    // After the modal loop has focused its first control.
    PostMessageA(Handle(), kFocusNotes, 0, 0);
}

void TInfoWin::ReturnFocus() {
    if (FTreeView && IsWindow(FTreeView))
        SetFocus(FTreeView);
}

bool TInfoWin::OnCommand(int Id, int Code, HWND) {
    if (Id == kLabeledEditChmbrName && Code == EN_CHANGE) {
        FCtl.NameChanged();
        return true;
    }
    if (Id == kButtonOK && Code == BN_CLICKED) {
        FCtl.ButtonOKClick(ControlText(kLabeledEditChmbrName), ControlText(kMemoNotes));
        return true;
    }
    return false;
}

LRESULT TInfoWin::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_SIZE:
        Layout(LOWORD(L), HIWORD(L));
        break;
    case kFocusNotes:
        SetFocus(MemoNotes());
        return 0;
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}

#include "app/record/QuestionForms_win.h"

#include "app/base/Texte_.h"

namespace {

constexpr char sOverwrite[] = "&Overwrite";
constexpr char sAppend[] = "&Append";
constexpr char sCancel[] = "&Cancel";
constexpr char sOK[] = "&OK";

HFONT Tahoma8() {
    LOGFONTA lf = {};
    HDC screen = GetDC(nullptr);
    lf.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(lf.lfFaceName, "Tahoma");
    return CreateFontIndirectA(&lf);
}

} // namespace

bool TQuestionForm::CreateQuestionForm(const char* ClassName, HWND Owner, int ClientWidth) {
    TFormArgs args;
    args.ClassName = ClassName;
    args.Caption = kMainCaption;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    args.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
    args.ClientWidth = ClientWidth;
    args.ClientHeight = 92;
    args.Parent = Owner;
    if (!CreateForm(args))
        return false;
    const HWND image = AddControl("STATIC", "", SS_ICON, kImage1, 11, 11, 32, 32);
    SendMessageA(image, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)), 0);
    AddControl("STATIC", "", SS_LEFT | SS_NOPREFIX, kLabel1, kQuestionLabelLeft, kQuestionLabelTop,
               0, 13);
    FFont.Reset(Tahoma8());
    SendMessageA(Label1(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
    return true;
}

SIZE TQuestionForm::SetLabel(const std::string& Text) {
    SetControlText(kLabel1, Text);
    SIZE size{0, 0};
    {
        TWindowDC dc(Label1());
        TSelectObject font(dc.Get(), FFont.Get());
        GetTextExtentPoint32A(dc.Get(), Text.c_str(), static_cast<int>(Text.size()), &size);
    }
    MoveWindow(Label1(), kQuestionLabelLeft, kQuestionLabelTop, size.cx, size.cy, TRUE);
    return size;
}

void TQuestionForm::PlaceButton(int Id, int Left, int Top) {
    MoveWindow(Control(Id), Left, Top, kQuestionButtonWidth, kQuestionButtonHeight, TRUE);
}

TOverwriteAppendWin::TOverwriteAppendWin(HWND Owner) {
    if (!CreateQuestionForm("TOverwriteAppendWin", Owner, 258))
        return;
    // Created in tab order: Append first, with the initial focus.
    AddButton(kAppend, sAppend, 91, 58, kQuestionButtonWidth, kQuestionButtonHeight, mrNo);
    AddButton(kCancel, sCancel, 173, 58, kQuestionButtonWidth, kQuestionButtonHeight, mrCancel);
    AddButton(kOverwrite, sOverwrite, 11, 58, kQuestionButtonWidth, kQuestionButtonHeight, mrYes);
    SetDefaultButton(kAppend);
    SetCancelButton(kCancel);
    FormCreate();
}

void TOverwriteAppendWin::SetMessage(const std::string& Text) {
    SetControlText(kLabel1, Text);
    FormCreate();
}

void TOverwriteAppendWin::FormCreate() {
    const SIZE label = SetLabel(ControlText(kLabel1));
    const TQuestionLayout l = OverwriteAppendLayout(label.cx, label.cy);
    SetClientSize(l.ClientWidth, l.ClientHeight);
    PlaceButton(kOverwrite, l.Lefts[0], l.ButtonTop);
    PlaceButton(kAppend, l.Lefts[1], l.ButtonTop);
    PlaceButton(kCancel, l.Lefts[2], l.ButtonTop);
    CenterWindowOn(Handle(), nullptr);
}

TInfoBox::TInfoBox(HWND Owner) : FOwner(Owner) {
    if (!CreateQuestionForm("TInfoBox", Owner, 287))
        return;
    AddButton(kOK, sOK, 106, 58, kQuestionButtonWidth, kQuestionButtonHeight);
}

void TInfoBox::ShowInfo(const std::string& Text) {
    if (!Handle())
        return;
    const SIZE label = SetLabel(Text);
    const TQuestionLayout l = InfoBoxLayout(label.cx, label.cy);
    SetClientSize(l.ClientWidth, l.ClientHeight);
    PlaceButton(kOK, l.Lefts[0], l.ButtonTop);
    CenterWindowOn(Handle(), FOwner);
    ShowWindow(Handle(), SW_SHOW);
    MessageBeep(MB_ICONASTERISK);
}

bool TInfoBox::OnCommand(int Id, int Code, HWND Control) {
    if (Id != kOK || Code != BN_CLICKED)
        return TQuestionForm::OnCommand(Id, Code, Control);
    ShowWindow(Handle(), SW_HIDE);
    return true;
}

#include "app/instruments/InstrConnFrm_win.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_win.h"
#include "app/instruments/InstrConnFrm_.h"
#include "common/WinRes_win.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kComboWidth = 145;
constexpr int kClientHeight = 93;
constexpr int kMargin = 16;
// The list's height when dropped down.
constexpr int kDroppedHeight = 200;

SIZE TextSize(const std::string& Text) {
    TWindowDC screen(nullptr);
    TSelectObject font(screen.Get(), FormFont());
    SIZE size{0, 0};
    GetTextExtentPoint32A(screen.Get(), Text.c_str(), static_cast<int>(Text.size()), &size);
    return size;
}

SIZE WindowSize(HWND Wnd) {
    RECT r;
    GetWindowRect(Wnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The width of a combo box's borders and button.
int ComboChrome(HWND Combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Combo, &info))
        return 0;
    return WindowSize(Combo).cx - (info.rcItem.right - info.rcItem.left);
}

// The screen cursor for the lifetime of the scope.
class TScreenCursor {
public:
    explicit TScreenCursor(LPCSTR Cursor)
        : FPrevious(SetScreenCursor(LoadCursorA(nullptr, Cursor))) {}
    TScreenCursor(const TScreenCursor&) = delete;
    TScreenCursor& operator=(const TScreenCursor&) = delete;
    ~TScreenCursor() { SetScreenCursor(FPrevious); }

private:
    HCURSOR FPrevious;
};

} // namespace

TInstrConnFrm::TInstrConnFrm(HWND Owner, ILinkApi& Api) : FOwner(Owner), FApi(Api) {
    TFormArgs args;
    args.ClassName = "TInstrConnFrm";
    args.Caption = sSelectCom;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    args.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    args.ClientWidth = kComboWidth + kMargin;
    args.ClientHeight = kClientHeight;
    args.Parent = Owner;
    if (CreateForm(args))
        FormCreate();
}

void TInstrConnFrm::FormCreate() {
    const SIZE label = TextSize(sDataFormatQuorxCom);
    AddControl("STATIC", sDataFormatQuorxCom, SS_CENTER | SS_NOPREFIX, kLabel1, 0, 8, label.cx,
               label.cy);
    AddControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kComboBox1, 0, 28,
               kComboWidth, kDroppedHeight);
    AddButton(kBitBtn1, sOpenButton, 0, 60, 75, 25, mrOk);
    // Below the client area: only Esc reaches it.
    const HWND cancel = AddButton(kButton1, sMsgDlgCancel, 0, kClientHeight + 40, 75, 25, mrCancel);
    SetWindowLongPtrA(cancel, GWL_STYLE, GetWindowLongPtrA(cancel, GWL_STYLE) & ~WS_TABSTOP);
    SetDefaultButton(kBitBtn1);
    SetCancelButton(kButton1);
    const int width = std::max(kComboWidth, static_cast<int>(label.cx)) + kMargin;
    SetClientSize(width, kClientHeight);
    CenterControls(width);
}

void TInstrConnFrm::FormShow() {
    {
        TScreenCursor hourglass(reinterpret_cast<LPCSTR>(IDC_WAIT));
        FillComList();
    }
    CenterWindowOn(Handle(), FOwner);
}

int TInstrConnFrm::Execute() {
    FormShow();
    return ShowModal();
}

void TInstrConnFrm::FillComList() {
    const HWND combo = ComboBox1();
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int widest = 0;
    for (const std::string& item : ::FillComList(FApi)) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        widest = std::max(widest, static_cast<int>(TextSize(item).cx));
    }
    // Its text area (the box without its borders and button) holds the widest port text.
    const int comboWidth = widest + 20 + ComboChrome(combo);
    SetWindowPos(combo, nullptr, 0, 0, comboWidth, WindowSize(combo).cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A list wider than the label widens the dialog, so that no port text is cut off.
    const int width =
        std::max(static_cast<int>(WindowSize(Label1()).cx), std::max(comboWidth, kComboWidth)) +
        kMargin;
    SetClientSize(width, kClientHeight);
    CenterControls(width);
    if (SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0)
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

void TInstrConnFrm::CenterControls(int Width) {
    for (const HWND control : {Label1(), ComboBox1(), BitBtn1()}) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(control, nullptr, (Width - (r.right - r.left)) / 2, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int32_t TInstrConnFrm::GetSelectedPort() const {
    const HWND combo = ComboBox1();
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return 0;
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, selected, 0);
    if (length == CB_ERR)
        return 0;
    std::string item(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(length));
    return PortFromItem(item);
}

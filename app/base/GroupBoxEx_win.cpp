#include "app/base/GroupBoxEx_win.h"

TGroupBoxEx::TGroupBoxEx(HWND Parent, int Id, const std::string& Caption, int X, int Y, int Width,
                         int Height)
    : FCaption(Caption) {
    TCreateArgs args;
    args.ClassName = "TGroupBoxEx";
    args.Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    args.ExStyle = WS_EX_CONTROLPARENT;
    args.X = X;
    args.Y = Y;
    args.Width = Width;
    args.Height = Height;
    args.Parent = Parent;
    args.Menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id));
    CreateHandle(args);
}

void TGroupBoxEx::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(*this);
}

void TGroupBoxEx::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(*this);
}

LRESULT TGroupBoxEx::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_CREATE: {
        // The frame is a system group box; it lets the mouse through to this window.
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(L);
        FFrame = CreateWindowExA(0, "BUTTON", FCaption.c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                                 0, 0, cs->cx, cs->cy, Handle(), nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        SendMessageA(FFrame, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
        return FFrame ? 0 : -1;
    }
    case WM_SIZE:
        MoveWindow(FFrame, 0, 0, LOWORD(L), HIWORD(L), TRUE);
        return 0;
    case WM_MOUSEMOVE:
        if (!FInside) {
            FInside = true;
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&tme);
            MouseEnter();
        }
        return 0;
    case WM_MOUSELEAVE:
        // Tracking may report a leave that was never entered.
        if (FInside) {
            FInside = false;
            MouseLeave();
        }
        return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
        return SendMessageA(GetParent(Handle()), Msg, W, L);
    default:
        break;
    }
    return DefaultProc(Msg, W, L);
}

#include "app/base/Form_win.h"

#include "app/base/Guard_.h"
#include "app/base/Tools_win.h"
#include "common/WinRes_win.h"

#include <commctrl.h>

#include <algorithm>

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

bool IsMDIChild(HWND Wnd) {
    return (GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

// Messages of a window that is not (or no longer) bound to its object.
LRESULT UnboundProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
    return IsMDIChild(Wnd) ? DefMDIChildProcA(Wnd, Msg, W, L) : DefWindowProcA(Wnd, Msg, W, L);
}

void DestroyWnd(HWND Wnd) {
    if (IsMDIChild(Wnd))
        SendMessageA(GetParent(Wnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(Wnd), 0);
    else
        DestroyWindow(Wnd);
}

void Clamp(LONG& Value, LONG Min, LONG Max) {
    if (Min > 0)
        Value = std::max(Value, Min);
    if (Max > 0)
        Value = std::min(Value, Max);
}

} // namespace

void InitCommonControlsOnce() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

HFONT CreatePointFont(const char* Face, int Points, BYTE CharSet, BYTE PitchAndFamily) {
    TWindowDC screen(nullptr);
    const int height = -MulDiv(Points, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, CharSet, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, PitchAndFamily, Face);
}

HFONT FormFont() {
    static const TFontHandle font(CreatePointFont("MS Sans Serif", 8));
    return font.Get();
}

void ShowMDIChildNormal(HWND Wnd) {
    const HWND client = GetParent(Wnd);
    if (IsIconic(Wnd) || IsZoomed(Wnd))
        SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(Wnd), 0);
    ShowWindow(Wnd, SW_SHOW);
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Wnd), 0);
}

void CenterWindowOn(HWND Wnd, HWND On) {
    RECT r;
    GetWindowRect(Wnd, &r);
    const LONG w = r.right - r.left;
    const LONG h = r.bottom - r.top;
    RECT area;
    RECT bounds;
    const bool child = (GetWindowLongPtrA(Wnd, GWL_STYLE) & WS_CHILD) != 0;
    if (child) {
        GetClientRect(GetParent(Wnd), &area);
        bounds = area;
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &bounds, 0);
        area = bounds;
        if (On && IsWindowVisible(On) && !IsIconic(On))
            GetWindowRect(On, &area);
    }
    LONG x = area.left + (area.right - area.left - w) / 2;
    LONG y = area.top + (area.bottom - area.top - h) / 2;
    // A top-level window stays on the screen even when its owner does not.
    if (!child) {
        x = std::max(bounds.left, std::min(x, bounds.right - w));
        y = std::max(bounds.top, std::min(y, bounds.bottom - h));
    }
    SetWindowPos(Wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- TWindow ---

TWindow::~TWindow() {
    if (!FHandle)
        return;
    const HWND wnd = std::exchange(FHandle, nullptr);
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    DestroyWnd(wnd);
}

bool TWindow::RegisterOnce(const TCreateArgs& Args) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(Instance(), Args.ClassName, &wc))
        return true;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = Args.Background;
    wc.lpszClassName = Args.ClassName;
    return RegisterClassExA(&wc) != 0;
}

bool TWindow::CreateHandle(const TCreateArgs& Args) {
    if (!RegisterOnce(Args))
        return false;
    return CreateWindowExA(Args.ExStyle, Args.ClassName, Args.Caption.c_str(), Args.Style, Args.X,
                           Args.Y, Args.Width, Args.Height, Args.Parent, Args.Menu, Instance(),
                           this) != nullptr;
}

bool TWindow::CreateMDIChildHandle(const TCreateArgs& Args) {
    if (!RegisterOnce(Args))
        return false;
    MDICREATESTRUCTA mcs{};
    mcs.szClass = Args.ClassName;
    mcs.szTitle = Args.Caption.c_str();
    mcs.hOwner = Instance();
    mcs.x = Args.X;
    mcs.y = Args.Y;
    mcs.cx = Args.Width;
    mcs.cy = Args.Height;
    mcs.style = Args.Style;
    mcs.lParam = reinterpret_cast<LPARAM>(this);
    if (!SendMessageA(Args.Parent, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)))
        return false;
    if (Args.ExStyle) {
        SetWindowLongPtrA(FHandle, GWL_EXSTYLE,
                          GetWindowLongPtrA(FHandle, GWL_EXSTYLE) | LONG_PTR{Args.ExStyle});
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return true;
}

LRESULT TWindow::DefaultProc(UINT Msg, WPARAM W, LPARAM L) {
    return DefWindowProcA(FHandle, Msg, W, L);
}

LRESULT CALLBACK TWindow::WindowProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
    TWindow* self;
    if (Msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(L);
        void* param = cs->lpCreateParams;
        // An MDI child gets its creation data wrapped by the MDI client.
        if (cs->dwExStyle & WS_EX_MDICHILD)
            param = reinterpret_cast<void*>(static_cast<const MDICREATESTRUCTA*>(param)->lParam);
        self = static_cast<TWindow*>(param);
        self->FHandle = Wnd;
        SetWindowLongPtrA(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    }
    if (!self)
        return UnboundProc(Wnd, Msg, W, L);
    const LRESULT result = Guarded(LRESULT{0}, [&] { return self->OnMessage(Msg, W, L); });
    if (Msg == WM_NCDESTROY) {
        SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
        self->FHandle = nullptr;
        GuardedCall([&] { self->OnNcDestroy(); });
    }
    return result;
}

// --- TForm ---

bool TForm::CreateForm(const TFormArgs& Args) {
    FFormStyle = Args.FormStyle;
    TCreateArgs c;
    c.ClassName = Args.ClassName;
    c.Caption = Args.Caption;
    c.Style = Args.Style;
    c.ExStyle = Args.ExStyle;
    c.Parent = Args.Parent;
    c.Menu = Args.Menu;
    if (!(Args.Style & WS_CHILD) || FFormStyle == TFormStyle::MDIChild) {
        RECT r{0, 0, Args.ClientWidth, Args.ClientHeight};
        AdjustWindowRectEx(&r, Args.Style, Args.Menu != nullptr, Args.ExStyle);
        c.Width = r.right - r.left;
        c.Height = r.bottom - r.top;
        if (Args.Style & WS_POPUP || FFormStyle == TFormStyle::MDIChild)
            c.X = c.Y = 0;
    }
    const bool created =
        FFormStyle == TFormStyle::MDIChild ? CreateMDIChildHandle(c) : CreateHandle(c);
    if (created && Args.ClientWidth > 0)
        SetClientSize(Args.ClientWidth, Args.ClientHeight);
    return created;
}

int TForm::ShowModal() {
    const HWND wnd = Handle();
    const HWND owner = GetWindow(wnd, GW_OWNER);
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    FModalResult = mrNone;
    FModal = true;
    ShowWindow(wnd, SW_SHOW);
    const HWND focus = FDefaultId ? Control(FDefaultId) : GetNextDlgTabItem(wnd, nullptr, FALSE);
    if (focus)
        SetFocus(focus);
    MSG msg;
    while (FModalResult == mrNone && IsWindow(wnd)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // WM_QUIT ends the program's loop too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageA(wnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    FModal = false;
    // The owner is enabled before the form hides, so that it is activated again.
    if (disableOwner)
        EnableWindow(owner, TRUE);
    if (IsWindow(wnd))
        ShowWindow(wnd, SW_HIDE);
    return FModalResult == mrNone ? mrCancel : FModalResult;
}

void TForm::SetModalResult(int Result) {
    FModalResult = Result;
    // GetMessage returns for posted messages only: a result set while a sent
    // one is handled (a click from another thread) must still end the loop.
    if (FModal && Result != mrNone)
        PostMessageA(Handle(), WM_NULL, 0, 0);
}

void TForm::Show() {
    ShowWindow(Handle(), SW_SHOW);
}

void TForm::Close() {
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    switch (FormClose()) {
    case TCloseAction::None:
        break;
    case TCloseAction::Hide:
        ShowWindow(Handle(), SW_HIDE);
        break;
    case TCloseAction::Free:
        // The object may be gone afterwards.
        DestroyWnd(Handle());
        break;
    }
}

void TForm::SetConstraints(SIZE Min, SIZE Max) {
    FMinSize = Min;
    FMaxSize = Max;
    RECT r;
    GetWindowRect(Handle(), &r);
    SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetClientSize(int Width, int Height) {
    RECT wr;
    RECT cr;
    GetWindowRect(Handle(), &wr);
    GetClientRect(Handle(), &cr);
    const int dx = (wr.right - wr.left) - cr.right;
    const int dy = (wr.bottom - wr.top) - cr.bottom;
    SetWindowPos(Handle(), nullptr, 0, 0, Width + dx, Height + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE TForm::ClientSize() const {
    RECT cr;
    GetClientRect(Handle(), &cr);
    return {cr.right, cr.bottom};
}

HWND TForm::AddControl(const char* ClassName, const std::string& Text, DWORD Style, int Id, int X,
                       int Y, int Width, int Height, DWORD ExStyle) {
    const HWND ctl = CreateWindowExA(
        ExStyle, ClassName, Text.c_str(), Style | WS_CHILD | WS_VISIBLE, X, Y, Width, Height,
        Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), Instance(), nullptr);
    if (ctl)
        SendMessageA(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
    return ctl;
}

HWND TForm::Control(int Id) const {
    const auto known = FControls.find(Id);
    // A control may have been destroyed, its handle even reused.
    if (known != FControls.end() && IsWindow(known->second) &&
        GetParent(known->second) == Handle() && GetDlgCtrlID(known->second) == Id)
        return known->second;
    const HWND control = GetDlgItem(Handle(), Id);
    if (control)
        FControls[Id] = control;
    else
        FControls.erase(Id);
    return control;
}

HWND TForm::AddButton(int Id, const std::string& Caption, int X, int Y, int Width, int Height,
                      int Result) {
    FButtonResults[Id] = Result;
    return AddControl("BUTTON", Caption, BS_PUSHBUTTON | WS_TABSTOP, Id, X, Y, Width, Height);
}

void TForm::SetDefaultButton(int Id) {
    if (FDefaultId)
        SendMessageA(Control(FDefaultId), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    FDefaultId = Id;
    SendMessageA(Control(Id), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void TForm::SetCancelButton(int Id) {
    FCancelId = Id;
}

std::string TForm::ControlText(int Id) const {
    const HWND ctl = Control(Id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(ctl)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(ctl, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TForm::SetControlText(int Id, const std::string& Text) {
    SetWindowTextA(Control(Id), Text.c_str());
}

bool TForm::OnCommand(int, int, HWND) {
    return false;
}

void TForm::Clicked(int Id) {
    const auto button = FButtonResults.find(Id);
    if (button != FButtonResults.end() && button->second != mrNone)
        SetModalResult(button->second);
}

LRESULT TForm::HandleCommand(WPARAM W, LPARAM L) {
    const int id = LOWORD(W);
    const int code = HIWORD(W);
    const HWND ctl = reinterpret_cast<HWND>(L);
    // Menu items (code 0), accelerators (1) and tool buttons (BN_CLICKED, 0).
    if ((code == 0 || code == 1) && FActions.Find(id)) {
        FActions.Execute(id);
        return 0;
    }
    if (code == BN_CLICKED && id == IDCANCEL && !Control(IDCANCEL)) {
        // Esc, from the dialog manager.
        if (FCancelId)
            SendMessageA(Control(FCancelId), BM_CLICK, 0, 0);
        else if (FModal)
            SetModalResult(mrCancel);
        return 0;
    }
    if (code == BN_CLICKED)
        Clicked(id);
    if (OnCommand(id, code, ctl))
        return 0;
    return DefaultProc(WM_COMMAND, W, L);
}

LRESULT TForm::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_CREATE:
        if (FFormStyle == TFormStyle::MDIForm) {
            CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
            FMDIClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                         WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL |
                                             WS_HSCROLL | MDIS_ALLCHILDSTYLES,
                                         0, 0, 0, 0, Handle(), nullptr, Instance(), &ccs);
            if (!FMDIClient)
                return -1;
        }
        break;
    case WM_COMMAND:
        return HandleCommand(W, L);
    case WM_CLOSE:
        Close();
        return 0;
    case DM_GETDEFID:
        return FDefaultId ? MAKELRESULT(FDefaultId, DC_HASDEFID) : 0;
    case WM_GETMINMAXINFO: {
        const LRESULT result = DefaultProc(Msg, W, L);
        auto* mmi = reinterpret_cast<MINMAXINFO*>(L);
        // Each limit on its own: a form may limit its width only.
        if (FMinSize.cx > 0)
            mmi->ptMinTrackSize.x = FMinSize.cx;
        if (FMinSize.cy > 0)
            mmi->ptMinTrackSize.y = FMinSize.cy;
        if (FMaxSize.cx > 0)
            mmi->ptMaxTrackSize.x = FMaxSize.cx;
        if (FMaxSize.cy > 0)
            mmi->ptMaxTrackSize.y = FMaxSize.cy;
        return result;
    }
    case WM_WINDOWPOSCHANGING: {
        // The platform applies the track sizes only to resizable top-level windows.
        auto* pos = reinterpret_cast<WINDOWPOS*>(L);
        if (!(pos->flags & SWP_NOSIZE)) {
            LONG cx = pos->cx;
            LONG cy = pos->cy;
            Clamp(cx, FMinSize.cx, FMaxSize.cx);
            Clamp(cy, FMinSize.cy, FMaxSize.cy);
            pos->cx = cx;
            pos->cy = cy;
        }
        break;
    }
    case WM_SETCURSOR:
        if (ScreenCursor() && LOWORD(L) == HTCLIENT) {
            SetCursor(ScreenCursor());
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefaultProc(Msg, W, L);
}

LRESULT TForm::DefaultProc(UINT Msg, WPARAM W, LPARAM L) {
    switch (FFormStyle) {
    case TFormStyle::MDIForm:
        return DefFrameProcA(Handle(), FMDIClient, Msg, W, L);
    case TFormStyle::MDIChild:
        return DefMDIChildProcA(Handle(), Msg, W, L);
    case TFormStyle::Normal:
        break;
    }
    return TWindow::DefaultProc(Msg, W, L);
}

#include "app/record/RecAutoScroll_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

SCROLLINFO BarState(HWND List, int Bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    GetScrollInfo(List, Bar, &info);
    return info;
}

bool SameState(const SCROLLINFO& A, const SCROLLINFO& B) {
    return A.nMin == B.nMin && A.nMax == B.nMax && A.nPage == B.nPage && A.nPos == B.nPos;
}

bool SameLook(const SCROLLBARINFO& A, const SCROLLBARINFO& B) {
    return EqualRect(&A.rcScrollBar, &B.rcScrollBar) && A.xyThumbTop == B.xyThumbTop &&
           A.xyThumbBottom == B.xyThumbBottom &&
           std::equal(std::begin(A.rgstate), std::end(A.rgstate), std::begin(B.rgstate));
}

void RedrawBar(HWND List, int Bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(List, Bar, &info);
    SetScrollInfo(List, Bar, &info, TRUE);
}

} // namespace

// The list's procedure is replaced, not subclassed through the common
// controls: under Wine their subclass looks up a window property, a call to
// the server, for every message, and a new sample sends the list dozens.
TRecAutoScroll::TRecAutoScroll(TForm& Owner, int Id, int X, int Y, HWND List)
    : FOwner(Owner), FId(Id), FList(List) {
    FOwner.AddControl("BUTTON", "AS", BS_CHECKBOX | BS_PUSHLIKE, FId, X, Y, kSize, kSize);
    SetWindowLongPtrW(FList, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FListProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(FList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
}

TRecAutoScroll::~TRecAutoScroll() {
    if (IsWindow(FList) &&
        GetWindowLongPtrW(FList, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ListProc)) {
        SetWindowLongPtrW(FList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FListProc));
        SetWindowLongPtrW(FList, GWLP_USERDATA, 0);
    }
}

bool TRecAutoScroll::Down() const {
    return SendMessageA(Button(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TRecAutoScroll::SetDown(bool Down) {
    SendMessageA(Button(), BM_SETCHECK, Down ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRecAutoScroll::Enable(bool Live) {
    EnableWindow(Button(), Live);
}

void TRecAutoScroll::SetCount(size_t Count) {
    const bool follow = Down() && Count > 0;
    if (!IsWindowVisible(FList)) {
        SendMessageA(FList, LVM_SETITEMCOUNT, Count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        if (follow)
            SendMessageA(FList, LVM_ENSUREVISIBLE, Count - 1, FALSE);
        return;
    }
    const auto before = static_cast<size_t>(SendMessageA(FList, LVM_GETITEMCOUNT, 0, 0));
    const LRESULT top = SendMessageA(FList, LVM_GETTOPINDEX, 0, 0);
    const LONG style = GetWindowLongA(FList, GWL_STYLE);
    const SCROLLBARINFO vert = BarLook(SB_VERT);
    const SCROLLBARINFO horz = BarLook(SB_HORZ);
    // Hiding drops what waits to be drawn, so that is drawn first. The list's
    // own window procedure must not see the hiding, or it lays itself out anew.
    UpdateWindow(FList);
    DefWindowProcA(FList, WM_SETREDRAW, FALSE, 0);
    SendMessageA(FList, LVM_SETITEMCOUNT, Count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (follow)
        SendMessageA(FList, LVM_ENSUREVISIBLE, Count - 1, FALSE);
    DefWindowProcA(FList, WM_SETREDRAW, TRUE, 0);
    // Showing it again leaves its frame to be drawn anew, scroll bars too,
    // though they may look as before: that is decided below.
    RedrawWindow(FList, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);

    if ((GetWindowLongA(FList, GWL_STYLE) ^ style) & (WS_HSCROLL | WS_VSCROLL)) {
        // A scroll bar came or went: the frame and the rows are laid out anew.
        RedrawWindow(FList, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return;
    }
    if (!SameLook(vert, BarLook(SB_VERT)))
        RedrawBar(FList, SB_VERT);
    if (!SameLook(horz, BarLook(SB_HORZ)))
        RedrawBar(FList, SB_HORZ);
    if (Count == 0 || Count < before) {
        InvalidateRect(FList, nullptr, TRUE);
        return;
    }
    const LRESULT shown = SendMessageA(FList, LVM_GETTOPINDEX, 0, 0);
    RECT rows = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(FList, LVM_GETITEMRECT, static_cast<WPARAM>(shown),
                 reinterpret_cast<LPARAM>(&rows));
    const int height = rows.bottom - rows.top;
    const int first = rows.top;
    GetClientRect(FList, &rows);
    rows.top = first;
    if (shown != top) {
        // The rows still on the list move; only those scrolled in are drawn.
        const LRESULT by = top - shown;
        if (height > 0 && std::abs(by) * height < rows.bottom - rows.top)
            ScrollWindowEx(FList, 0, static_cast<int>(by) * height, &rows, &rows, nullptr, nullptr,
                           SW_INVALIDATE | SW_ERASE);
        else
            InvalidateRect(FList, &rows, TRUE);
    }
    const LRESULT page = SendMessageA(FList, LVM_GETCOUNTPERPAGE, 0, 0);
    const LRESULT from = std::max<LRESULT>(static_cast<LRESULT>(before), shown);
    const LRESULT to = std::min<LRESULT>(static_cast<LRESULT>(Count) - 1, shown + page);
    if (from <= to)
        SendMessageA(FList, LVM_REDRAWITEMS, static_cast<WPARAM>(from), to);
}

// Asked of the system again only when the bar's range, page or position or the
// list's place has changed since: under Wine each asking is a call to the
// server, and a new sample asks about both bars before and after.
SCROLLBARINFO TRecAutoScroll::BarLook(int Bar) {
    TBarLook& known = FBars[Bar == SB_VERT ? 0 : 1];
    const SCROLLINFO state = BarState(FList, Bar);
    RECT window = {};
    GetWindowRect(FList, &window);
    if (!known.Known || !SameState(state, known.State) || !EqualRect(&window, &known.Window)) {
        known.Look = {};
        known.Look.cbSize = sizeof known.Look;
        GetScrollBarInfo(FList, Bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &known.Look);
        known.State = state;
        known.Window = window;
        known.Known = true;
    }
    return known.Look;
}

bool TRecAutoScroll::OnCommand(int Id, int Code) {
    if (Id != FId)
        return false;
    if (Code == BN_CLICKED) {
        SetDown(!Down());
        ShowLastRow();
    }
    return true;
}

void TRecAutoScroll::ShowLastRow() {
    const LRESULT count = SendMessageA(FList, LVM_GETITEMCOUNT, 0, 0);
    if (count > 0)
        SendMessageA(FList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
}

LRESULT CALLBACK TRecAutoScroll::ListProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
    auto* self = reinterpret_cast<TRecAutoScroll*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    const LRESULT result = CallWindowProcW(self->FListProc, Wnd, Msg, W, L);
    // After the list has scrolled: a hand on the list ends following new samples.
    if (Msg == WM_VSCROLL || Msg == WM_MOUSEWHEEL)
        self->SetDown(false);
    return result;
}

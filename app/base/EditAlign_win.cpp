#include "app/base/EditAlign_win.h"

#include "app/base/Form_win.h"

#include <string>

namespace {

constexpr DWORD kAlignMask = ES_LEFT | ES_CENTER | ES_RIGHT;

DWORD AlignStyle(TAlignment A) {
    switch (A) {
    case taRightJustify:
        return ES_RIGHT;
    case taCenter:
        return ES_CENTER;
    case taLeftJustify:
        break;
    }
    return ES_LEFT;
}

HWND CreateEdit(HWND Parent, int Id, const std::string& Text, DWORD Style, DWORD ExStyle,
                RECT Bounds, HFONT Font) {
    const HWND edit = CreateWindowExA(ExStyle, "EDIT", Text.c_str(), Style, Bounds.left, Bounds.top,
                                      Bounds.right - Bounds.left, Bounds.bottom - Bounds.top,
                                      Parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)),
                                      GetModuleHandleA(nullptr), nullptr);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    return edit;
}

} // namespace

TEditAlign::TEditAlign(HWND Parent, int Id, int X, int Y, int Width, int Height, DWORD Style,
                       DWORD ExStyle, TAlignment Alignment)
    : FParent(Parent), FId(Id), FAlignment(Alignment) {
    FHandle = CreateEdit(Parent, Id, "",
                         (Style & ~kAlignMask) | WS_CHILD | WS_VISIBLE | AlignStyle(Alignment),
                         ExStyle, {X, Y, X + Width, Y + Height}, FormFont());
}

TEditAlign::~TEditAlign() {
    if (FHandle)
        DestroyWindow(FHandle);
}

void TEditAlign::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TEditAlign::RecreateWnd() {
    const HWND old = FHandle;
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(old)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(old, text.data(), static_cast<int>(text.size()))));
    RECT bounds;
    GetWindowRect(old, &bounds);
    MapWindowPoints(nullptr, FParent, reinterpret_cast<POINT*>(&bounds), 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_EXSTYLE));
    const auto font = reinterpret_cast<HFONT>(SendMessageA(old, WM_GETFONT, 0, 0));
    const HWND above = GetWindow(old, GW_HWNDPREV);
    const bool focused = GetFocus() == old;

    DestroyWindow(old);
    FHandle = CreateEdit(FParent, FId, text, (style & ~kAlignMask) | AlignStyle(FAlignment),
                         exStyle, bounds, font);
    SetWindowPos(FHandle, above ? above : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (focused)
        SetFocus(FHandle);
}

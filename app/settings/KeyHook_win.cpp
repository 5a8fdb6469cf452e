#include "app/settings/KeyHook_win.h"

#include "app/base/Guard_.h"

#include <commctrl.h>

namespace {

LRESULT CALLBACK KeyProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR Id, DWORD_PTR Data) {
    const auto* handlers = reinterpret_cast<const TKeyHandlers*>(Data);
    switch (Msg) {
    case WM_GETDLGCODE: {
        const auto* msg = reinterpret_cast<const MSG*>(L);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            return DefSubclassProc(Wnd, Msg, W, L) | DLGC_WANTALLKEYS;
        break;
    }
    case WM_CHAR: {
        const char key =
            Guarded(char{0}, [&] { return handlers->Char(Wnd, static_cast<char>(W)); });
        if (key == 0)
            return 0;
        return DefSubclassProc(Wnd, Msg, static_cast<unsigned char>(key), L);
    }
    case WM_KEYDOWN:
        if (handlers->KeyDown && Guarded(true, [&] { return handlers->KeyDown(Wnd, W); }))
            return 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(Wnd, KeyProc, Id);
        break;
    default:
        break;
    }
    return DefSubclassProc(Wnd, Msg, W, L);
}

} // namespace

void HookKeys(HWND Control, const TKeyHandlers* Handlers) {
    SetWindowSubclass(Control, KeyProc, 1, reinterpret_cast<DWORD_PTR>(Handlers));
}

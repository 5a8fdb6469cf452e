// Keys of a control routed through its form first. Char returns the character
// the control gets, or 0 to swallow it; Enter reaches it instead of pressing
// the dialog's default button. KeyDown, when set, takes a virtual key before
// the control and returns true when it handled it.
#pragma once

#include <windows.h>

#include <functional>

struct TKeyHandlers {
    std::function<char(HWND Control, char Key)> Char;
    std::function<bool(HWND Control, WPARAM Key)> KeyDown;
};

// Handlers must outlive the control.
void HookKeys(HWND Control, const TKeyHandlers* Handlers);

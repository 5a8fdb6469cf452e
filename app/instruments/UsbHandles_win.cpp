#include "app/instruments/UsbHandles_win.h"

#include "common/WinRes_win.h"

#include <windows.h>

namespace {

bool IsHandle(void* Handle) {
    return Handle != nullptr && Handle != INVALID_HANDLE_VALUE;
}

using TWinUsbFree = BOOL(WINAPI*)(void* InterfaceHandle);

// WinUsb_Free of the loaded winusb.dll; null when it is not loaded (then no
// WinUSB handle can exist).
TWinUsbFree WinUsbFree() {
    const HMODULE module = GetModuleHandleA("winusb.dll");
    if (!module)
        return nullptr;
    return reinterpret_cast<TWinUsbFree>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "WinUsb_Free")));
}

} // namespace

void TWinUsbHandles::CloseUsbHandles(void* Device, void* WinUsb) {
    // Closed last, after the WinUSB handle on it.
    const THandle device(Device);
    if (IsHandle(WinUsb))
        if (const TWinUsbFree free = WinUsbFree())
            free(WinUsb);
}

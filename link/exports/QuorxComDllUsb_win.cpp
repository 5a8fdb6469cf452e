// QuorxComDll's USB and enumeration exports: each runs the member or function
// of the same name under the export guard.
#include "common/ExportGuard.h"
#include "link/core/QuorxEnum.h"
#include "link/core/USBLinks.h"
#include "link/exports/Hourglass_win.h"
#include "link/exports/QuorxComDll_win.h"
#include "link/usb/USBLink_win.h"
#include "link/usb/USBPort_win.h"
#include "QuorxComDllH.h"

namespace {

TUSBLinks& Usb() {
    static TWin32USBPlatform* platform = new TWin32USBPlatform;
    static TUSBLinks* usb = new TUSBLinks(TheLinkLibrary(), *platform);
    return *usb;
}

} // namespace

extern "C" {

TLinkResult QUORX_CALL OpenUSBDevice(const char* Path, void** hDevice) {
    return GuardExport([&] { return UsbOpenDevice(Path, hDevice); });
}

TLinkResult QUORX_CALL USBInitialize(void* hDevice, void** hWinUsb) {
    return GuardExport([&] { return UsbInitialize(gWinUsbDll, hDevice, hWinUsb); });
}

TLinkResult QUORX_CALL InitializeDevice(void* hDevice, void* hWinUsb, TDevIndex* Index,
                                        int32_t MaxEvents, int32_t MaxEventData, const char* Path,
                                        int32_t PathLen) {
    const THourglass wait;
    return GuardExport([&] {
        return Usb().InitializeDevice(hDevice, hWinUsb, Index, MaxEvents, MaxEventData, Path,
                                      PathLen);
    });
}

TLinkResult QUORX_CALL GetDevicePath(TDevIndex Index, char* Buf, int32_t* Size) {
    return GuardExport([&] { return Usb().GetDevicePath(Index, Buf, Size); });
}

// A close that fails inside reports that nothing was removed.
TLinkResult QUORX_CALL CloseUSBDevice(TDevIndex Index) {
    return GuardExport([&] { return Usb().CloseUSBDevice(Index); }, TLinkResult{errNotOpen});
}

TLinkResult QUORX_CALL GetCOMInfoList(char* Buf, uint32_t* Size) {
    return GuardExport([&] { return WriteComInfoList(*MakeSystemEnumerator(), Buf, Size); });
}

TLinkResult QUORX_CALL GetDevicePathList(TQuorxGuid InterfaceGuid, char* Buf, uint32_t* Size) {
    return GuardExport(
        [&] { return WriteDevicePathList(*MakeSystemEnumerator(), InterfaceGuid, Buf, Size); });
}

int32_t QUORX_CALL GetSerNumFromDevicePath(const char* Path) {
    return GuardExport([&] { return SerNumFromDevicePath(Path); }, int32_t{-1});
}

uint16_t QUORX_CALL GetPIDFromDevicePath(const char* Path) {
    return GuardExport([&] { return PIDFromDevicePath(Path); }, uint16_t{0});
}

} // extern "C"

#include "link/usb/USBLink_win.h"

#include "common/WinRes_win.h"

TUSBLink::TUSBLink(const TUSBSettings& Settings)
    : TUSBLinkObject(Settings.Path), port_(gWinUsbDll, Settings.Device, Settings.WinUsb),
      dev_(port_, clock_), timer_(dev_) {
    TLinkSetup setup;
    setup.Kind = TLinkKind::Usb;
    setup.Number = Settings.Key;
    setup.MaxEvents = Settings.MaxEvents;
    setup.MaxEventData = Settings.MaxEventData;
    dev_.LinkOpened(setup);
    timer_.Enable();
}

TUSBLink::~TUSBLink() {
    OutputDebugStringA("TNPDev.Destroy");
}

std::unique_ptr<TUSBLinkObject> TWin32USBPlatform::CreateUsb(const TUSBSettings& Settings) {
    return std::make_unique<TUSBLink>(Settings);
}

void TWin32USBPlatform::CloseHandles(void* Device, void* WinUsb) {
    const THandle device(Device);
    // WinUSB's handle rests on the device handle: it goes first.
    gWinUsbDll.Free(WinUsb);
}

#include "UsbDevice_win.h"

TUsbDevice::TUsbDevice(const TUsbSettings& Settings)
    : TUsbLinkObject(Settings.Path), port_(gWinUsbDll, Settings.Device, Settings.WinUsb),
      dev_(port_, clock_), timer_(dev_) {
    TLinkSetup setup;
    setup.Kind = TLinkKind::Usb;
    setup.Number = Settings.Key;
    setup.MaxEvents = Settings.MaxEvents;
    setup.MaxEventData = Settings.MaxEventData;
    dev_.LinkOpened(setup);
    timer_.Enable();
}

TUsbDevice::~TUsbDevice() {
    OutputDebugStringA("TNPDev.Destroy");
}

std::unique_ptr<TUsbLinkObject> TWin32UsbPlatform::CreateUsb(const TUsbSettings& Settings) {
    return std::make_unique<TUsbDevice>(Settings);
}

void TWin32UsbPlatform::CloseHandles(void* Device, void* WinUsb) {
    // WinUSB's handle rests on the device handle: it goes first.
    gWinUsbDll.Free(WinUsb);
    CloseHandle(Device);
}

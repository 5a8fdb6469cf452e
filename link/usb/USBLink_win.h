// A USB link: the port over its two pipe threads, the system clock, the
// device object and its event timer, created in the caller's thread.
#pragma once

#include "EventTimer_win.h"
#include "QCCom32.h"
#include "UsbLink.h"
#include "UsbLinks.h"

class TUsbDevice : public TUsbLinkObject {
public:
    // Takes over both handles of Settings.
    explicit TUsbDevice(const TUsbSettings& Settings);
    ~TUsbDevice() override;

    TNPDev& Dev() override { return dev_; }

private:
    TUsbLink port_;
    TTickClock clock_;
    TNPDev dev_;
    TEventTimer timer_; // last: stopped before the device and its threads go
};

class TWin32UsbPlatform : public IUsbPlatform {
public:
    std::unique_ptr<TUsbLinkObject> CreateUsb(const TUsbSettings& Settings) override;
    void CloseHandles(void* Device, void* WinUsb) override;
};

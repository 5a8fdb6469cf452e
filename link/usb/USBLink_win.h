// A USB link: the port over its two pipe threads, the system clock, the
// device object and its event timer, created in the caller's thread.
#pragma once

#include "link/core/USBLinks.h"
#include "link/serial/QCCom32_win.h"
#include "link/timer/EventTimer_win.h"
#include "link/usb/USBPort_win.h"

class TUSBLink : public TUSBLinkObject {
public:
    // Takes over both handles of Settings.
    explicit TUSBLink(const TUSBSettings& Settings);
    ~TUSBLink() override;

    TNPDev& Dev() override { return dev_; }

private:
    TUSBPort port_;
    TTickClock clock_;
    TNPDev dev_;
    TEventTimer timer_; // last: stopped before the device and its threads go
};

class TWin32USBPlatform : public IUSBPlatform {
public:
    std::unique_ptr<TUSBLinkObject> CreateUsb(const TUSBSettings& Settings) override;
    void CloseHandles(void* Device, void* WinUsb) override;
};

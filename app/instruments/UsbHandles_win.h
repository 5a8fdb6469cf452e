// The handles of a USB device that got no link, closed as the link library
// closes those of a link: WinUSB's first (it rests on the device handle), then
// the device handle. WinUSB is the library's own copy, already loaded.
#pragma once

#include "app/instruments/Connect_.h"

class TWinUsbHandles : public IUsbHandles {
public:
    void CloseUsbHandles(void* Device, void* WinUsb) override;
};

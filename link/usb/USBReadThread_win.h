// T_USB_Read_Thread: collects what the instrument sends on the bulk IN pipe
// into the buffer that the device object takes its input from.
#pragma once

#include "link/usb/USBChannel_win.h"
#include "link/usb/USBThread_win.h"

#include <cstdint>
#include <memory>

class T_USB_Read_Thread : public TUSBThread {
public:
    static constexpr ULONG kChunk = 512;

    // Not yet running: Start runs it. Received is shared with the device object.
    T_USB_Read_Thread(const TWinUsbDll& Dll, WINUSB_HANDLE Handle,
                      std::shared_ptr<TUSBChannel> Received, UCHAR PipeId);

    // 0 when nothing is waiting; else min(Max, waiting) bytes, the rest kept in order.
    int Take(std::uint8_t* Buf, int Max);

protected:
    void Pass() override;

private:
    const TWinUsbDll& FDll;
    WINUSB_HANDLE FHandle;
    std::shared_ptr<TUSBChannel> FReceived;
    UCHAR FPipe;
};

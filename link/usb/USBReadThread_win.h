// T_USB_Read_Thread: collects what the instrument sends on the bulk IN pipe
// into the buffer that the device object takes its input from.
#pragma once

#include "UsbChannel.h"
#include "UsbThread.h"

#include <cstdint>
#include <memory>

class T_USB_Read_Thread : public TUsbThread {
public:
    static constexpr ULONG kChunk = 512;

    // Not yet running: Start runs it. Received is shared with the device object.
    T_USB_Read_Thread(const TWinUsbDll& Dll, WINUSB_HANDLE Handle,
                      std::shared_ptr<TUsbChannel> Received, UCHAR PipeId);

    // 0 when nothing is waiting; else min(Max, waiting) bytes, the rest kept in order.
    int Take(std::uint8_t* Buf, int Max);

protected:
    void Pass() override;

private:
    const TWinUsbDll& FDll;
    WINUSB_HANDLE FHandle;
    std::shared_ptr<TUsbChannel> FReceived;
    UCHAR FPipe;
};

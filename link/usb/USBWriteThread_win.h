// T_USB_Write_Thread: moves the bytes that the device object queues to the
// instrument through the bulk OUT pipe, so that the frame layer never waits on
// a USB call.
#pragma once

#include "link/usb/USBChannel_win.h"
#include "link/usb/USBThread_win.h"

#include <cstdint>
#include <memory>
#include <vector>

class T_USB_Write_Thread : public TUSBThread {
public:
    static constexpr DWORD kDefaultTimeout = 500;
    // Most bytes kept unsent while the pipe takes none; beyond it the oldest go.
    static constexpr std::size_t kMaxUnsent = 65536;

    // Not yet running: Start runs it. Pending is shared with the device object.
    T_USB_Write_Thread(const TWinUsbDll& Dll, WINUSB_HANDLE Handle, DWORD TimeoutMs,
                       std::shared_ptr<TUSBChannel> Pending, UCHAR PipeId);

    // Queues Count bytes; returns the new pending length.
    std::size_t Enqueue(const std::uint8_t* Data, std::size_t Count);

protected:
    void Pass() override;

private:
    const TWinUsbDll& FDll;
    WINUSB_HANDLE FHandle;
    DWORD FTimeout;
    std::shared_ptr<TUSBChannel> FPending;
    UCHAR FPipe;
    std::vector<std::uint8_t> FUnsent; // the thread's own: taken, not yet written
};

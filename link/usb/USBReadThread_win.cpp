#include "link/usb/USBReadThread_win.h"

#include <utility>

T_USB_Read_Thread::T_USB_Read_Thread(const TWinUsbDll& Dll, WINUSB_HANDLE Handle,
                                     std::shared_ptr<TUSBChannel> Received, UCHAR PipeId)
    : FDll(Dll), FHandle(Handle), FReceived(std::move(Received)), FPipe(PipeId) {}

int T_USB_Read_Thread::Take(std::uint8_t* Buf, int Max) {
    return FReceived->Take(Buf, Max);
}

void T_USB_Read_Thread::Pass() {
    std::uint8_t buf[kChunk] = {};
    // Overlapped with the stop event rather than a blocking read, so that a
    // close never depends on an abort arriving while the read is under way.
    const TTransferResult got =
        TransferOnce(FDll, FHandle, FPipe, false, buf, kChunk, INFINITE, StopEvent());
    if (got.Count > 0)
        FReceived->Append(buf, got.Count);
}

#include "link/usb/USBWriteThread_win.h"

#include <utility>

T_USB_Write_Thread::T_USB_Write_Thread(const TWinUsbDll& Dll, WINUSB_HANDLE Handle, DWORD TimeoutMs,
                                       std::shared_ptr<TUSBChannel> Pending, UCHAR PipeId)
    : FDll(Dll), FHandle(Handle), FTimeout(TimeoutMs), FPending(std::move(Pending)), FPipe(PipeId) {
}

std::size_t T_USB_Write_Thread::Enqueue(const std::uint8_t* Data, std::size_t Count) {
    return FPending->Append(Data, Count);
}

void T_USB_Write_Thread::Pass() {
    // A pipe that keeps timing out would let the backlog grow with every frame
    // queued; past the bound the old backlog goes and the newly queued frames
    // stay, so what is sent later still starts at a frame.
    if (FUnsent.size() + FPending->Size() > kMaxUnsent)
        FUnsent.clear();
    FPending->MoveAllTo(FUnsent);
    if (FUnsent.empty())
        return;
    const TTransferResult sent =
        TransferOnce(FDll, FHandle, FPipe, true, FUnsent.data(), static_cast<ULONG>(FUnsent.size()),
                     FTimeout, StopEvent());
    // A pipe that refuses a write will not take these bytes later either; they
    // are dropped, and the transaction that sent them fails by its time-outs.
    if (sent.Refused)
        FUnsent.clear();
    else
        FUnsent.erase(FUnsent.begin(), FUnsent.begin() + sent.Count);
}

#include "link/usb/USBPort_win.h"

#include <algorithm>
#include <atomic>

namespace {

const HANDLE kNoHandle = INVALID_HANDLE_VALUE;

std::atomic<bool> gProcessEnding{false};

// How long a close waits for a thread, aborting its pipe again every step.
constexpr DWORD kEndStepMs = 50;
constexpr int kEndSteps = 40;

} // namespace

TUSBPort::TUSBPort(const TWinUsbDll& Dll, HANDLE Device, WINUSB_HANDLE WinUsb)
    : FDll(Dll), FDevice(Device), FWinUsb(WinUsb) {
    if (FWinUsb == kNoHandle)
        return;
    FWriteThread = std::make_unique<T_USB_Write_Thread>(
        FDll, FWinUsb, T_USB_Write_Thread::kDefaultTimeout, FPending, kOutPipe);
    if (!FWriteThread->Start())
        FWriteThread.reset();
    FReadThread = std::make_unique<T_USB_Read_Thread>(FDll, FWinUsb, FReceived, kInPipe);
    if (!FReadThread->Start())
        FReadThread.reset();
}

template <class T>
bool TUSBPort::EndThread(std::unique_ptr<T>& Thread, UCHAR Pipe, bool AbortFirst) {
    if (!Thread)
        return true;
    if (AbortFirst)
        FDll.AbortPipe(FWinUsb, Pipe);
    Thread->Terminate();
    if (!AbortFirst)
        FDll.AbortPipe(FWinUsb, Pipe);
    for (int step = 0; step < kEndSteps; ++step) {
        if (Thread->WaitFor(kEndStepMs)) {
            Thread.reset();
            return true;
        }
        FDll.AbortPipe(FWinUsb, Pipe);
    }
    // A driver that never ends the transfer keeps the thread inside it; the
    // thread is left running with what it uses rather than freed under it.
    static_cast<void>(Thread.release());
    return false;
}

void UsbProcessEnding() {
    gProcessEnding = true;
}

TUSBPort::~TUSBPort() {
    if (gProcessEnding) {
        static_cast<void>(FWriteThread.release());
        static_cast<void>(FReadThread.release());
        static_cast<void>(FDevice.Release());
        return;
    }
    const bool writeEnded = EndThread(FWriteThread, kOutPipe, true);
    const bool readEnded = EndThread(FReadThread, kInPipe, false);
    if (!writeEnded || !readEnded) {
        static_cast<void>(FDevice.Release()); // the left thread still uses both handles
        return;
    }
    // WinUSB's handle rests on the device handle, so it goes first: freed
    // after the close it could reach a handle value that is in use again.
    if (FWinUsb != kNoHandle)
        FDll.Free(FWinUsb);
}

bool TUSBPort::Write(const std::uint8_t* Data, int Count) {
    if (FWinUsb == kNoHandle || !FWriteThread || Data == nullptr || Count < 0)
        return false;
    try {
        FWriteThread->Enqueue(Data, static_cast<std::size_t>(Count));
        return true;
    } catch (...) {
        return false;
    }
}

int TUSBPort::Read(std::uint8_t* Buf, int Max) {
    if (!FReadThread)
        return 0;
    return FReadThread->Take(Buf, std::min(Max, kReadChunk));
}

void TUSBPort::Purge() {
    FPending->Clear();
    FReceived->Clear();
}

TLinkResult UsbOpenDevice(const char* Path, void** Device) {
    if (Device == nullptr)
        return errParam;
    *Device = kNoHandle;
    if (Path == nullptr)
        return errUsbOpen;
    *Device =
        CreateFileA(Path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    return *Device == kNoHandle ? errUsbOpen : 0;
}

TLinkResult UsbInitialize(const TWinUsbDll& Dll, void* Device, void** WinUsb) {
    if (WinUsb == nullptr)
        return errParam;
    *WinUsb = kNoHandle;
    if (Device == kNoHandle || Device == nullptr)
        return errBadHandle;
    if (!Dll.Initialize(Device, WinUsb)) {
        *WinUsb = kNoHandle;
        return errUsbInit;
    }
    return *WinUsb == kNoHandle ? errBadUsbHandle : 0;
}

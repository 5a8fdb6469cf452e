// A USB link as a byte port: the two pipe threads with their shared buffers
// and both handles of the device, so that the device object drives a USB
// instrument exactly like one on a serial port. Also the two steps that give
// a link its handles.
#pragma once

#include "common/WinRes_win.h"
#include "link/core/LinkPort.h"
#include "link/usb/USBReadThread_win.h"
#include "link/usb/USBWriteThread_win.h"
#include "link/usb/WinUsbDll_win.h"
#include "QuorxComDllH.h"

#include <windows.h>

#include <cstdint>
#include <memory>

class TUSBPort : public IBytePort {
public:
    static constexpr UCHAR kOutPipe = 0x02;
    static constexpr UCHAR kInPipe = 0x81;
    // Most bytes one Read takes from the read thread.
    static constexpr int kReadChunk = 512;
    // Most bytes the read thread keeps for the device object; beyond them
    // input is dropped (and counted) rather than held without end.
    static constexpr std::size_t kReceivedMax = 1 << 20;

    // Takes over both handles: they are closed when the link ends, also when it
    // could not start. With a WinUSB handle other than -1 both threads start;
    // one that cannot be started leaves the link unable to send, or receive.
    TUSBPort(const TWinUsbDll& Dll, HANDLE Device, WINUSB_HANDLE WinUsb);
    // Write thread: abort, terminate, wait, free; read thread: terminate,
    // abort, wait, free; then WinUSB's handle and the device handle. A thread
    // that does not end within 2 s is left running, and both handles with it.
    ~TUSBPort() override;
    TUSBPort(const TUSBPort&) = delete;
    TUSBPort& operator=(const TUSBPort&) = delete;

    // Queues the bytes for the write thread; false when there is none.
    bool Write(const std::uint8_t* Data, int Count) override;
    // Takes up to min(Max, 512) bytes that the read thread has collected.
    int Read(std::uint8_t* Buf, int Max) override;
    // Empties both buffers.
    void Purge() override;
    // A USB link has no modem lines.
    bool ReadModemStatus(std::uint32_t&) override { return false; }

    HANDLE DeviceHandle() const { return FDevice.Get(); }
    WINUSB_HANDLE WinUsbHandle() const { return FWinUsb; }

private:
    template <class T>
    bool EndThread(std::unique_ptr<T>& Thread, UCHAR Pipe, bool AbortFirst);

    const TWinUsbDll& FDll;
    THandle FDevice;
    WINUSB_HANDLE FWinUsb;
    // The write thread bounds its own backlog.
    std::shared_ptr<TUSBChannel> FPending = std::make_shared<TUSBChannel>(SIZE_MAX);
    std::shared_ptr<TUSBChannel> FReceived = std::make_shared<TUSBChannel>(kReceivedMax);
    std::unique_ptr<T_USB_Write_Thread> FWriteThread;
    std::unique_ptr<T_USB_Read_Thread> FReadThread;
};

// At process end the system has stopped every other thread and takes back
// every handle: a link freed from then on leaves its threads and handles alone
// (WinUSB may wait for transfers that will never end).
void UsbProcessEnding();

// OpenUSBDevice: *Device := -1, then the path opened for overlapped reading
// and writing, shared; 0, errUsbOpen, or errParam when Device is nil.
TLinkResult UsbOpenDevice(const char* Path, void** Device);
// USBInitialize: *WinUsb := -1; errBadHandle for a device handle of -1 (or nil),
// errUsbInit when WinUSB refuses (or is not loaded), errBadUsbHandle when it
// left the handle at -1, errParam when WinUsb is nil; else 0.
TLinkResult UsbInitialize(const TWinUsbDll& Dll, void* Device, void** WinUsb);

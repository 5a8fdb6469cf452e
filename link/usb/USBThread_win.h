// The worker threads of a USB link and the one overlapped pipe transfer that
// both of them run per pass.
#pragma once

#include "common/WinRes_win.h"
#include "link/usb/WinUsbDll_win.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

// A thread that is created idle, started once, asked to stop and waited for.
// Its owner frees it only after it has ended. It runs one pass of its work
// every 10 ms; an exception ends the pass, not the thread. While it runs it
// keeps the module of its code loaded, so that unloading the library never
// waits for it (nor frees code it still runs).
class TUSBThread {
public:
    virtual ~TUSBThread() = default;
    TUSBThread(const TUSBThread&) = delete;
    TUSBThread& operator=(const TUSBThread&) = delete;

    // False when the thread cannot be created.
    bool Start();
    // Asks the body to end; a transfer it waits in is aborted by the body itself.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // True when the thread has ended within Ms (or never ran).
    bool WaitFor(DWORD Ms);

protected:
    TUSBThread() = default;
    // One pass of the work.
    virtual void Pass() = 0;
    HANDLE StopEvent() const { return FStop.Get(); }

private:
    static DWORD WINAPI Run(void* Self);
    void Execute();

    TEvent FStop{true, false};
    THandle FThread;
    HMODULE FModule = nullptr;
    std::atomic<bool> FTerminated{false};
};

struct TTransferResult {
    DWORD Count = 0;      // bytes moved, also by a transfer that was aborted
    bool Refused = false; // the pipe failed the transfer (not our own abort)
};

// One overlapped transfer on Pipe: waits for it up to TimeoutMs or until Stop
// is set, aborts the pipe then, and returns only once the transfer has ended,
// since until then it owns Data and its OVERLAPPED.
TTransferResult TransferOnce(const TWinUsbDll& Dll, WINUSB_HANDLE Handle, UCHAR Pipe, bool Write,
                             std::uint8_t* Data, ULONG Length, DWORD TimeoutMs, HANDLE Stop);

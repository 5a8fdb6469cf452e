#include "link/usb/USBThread_win.h"

#include <algorithm>

bool TUSBThread::Start() {
    // Without its stop event the thread could not be ended promptly.
    if (FThread || !FStop)
        return false;
    // A reference of the thread's own, dropped as it exits.
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(&TUSBThread::Run), &FModule);
    FThread.Reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (!FThread && FModule != nullptr)
        FreeLibrary(FModule);
    return static_cast<bool>(FThread);
}

void TUSBThread::Terminate() {
    FTerminated = true;
    FStop.Set();
}

bool TUSBThread::WaitFor(DWORD Ms) {
    return !FThread || WaitForSingleObject(FThread.Get(), Ms) == WAIT_OBJECT_0;
}

void TUSBThread::Execute() {
    while (!Terminated()) {
        try {
            Pass();
        } catch (...) {
            // Out of memory while moving bytes: the next pass goes on.
        }
        WaitForSingleObject(FStop.Get(), 10);
    }
}

DWORD WINAPI TUSBThread::Run(void* Self) {
    auto* thread = static_cast<TUSBThread*>(Self);
    const HMODULE module = thread->FModule; // the owner may free the thread once it ends
    thread->Execute();
    if (module != nullptr)
        FreeLibraryAndExitThread(module, 0);
    return 0;
}

namespace {

// How often a transfer that has not yet ended after its abort is aborted again.
constexpr DWORD kReabortMs = 50;

} // namespace

TTransferResult TransferOnce(const TWinUsbDll& Dll, WINUSB_HANDLE Handle, UCHAR Pipe, bool Write,
                             std::uint8_t* Data, ULONG Length, DWORD TimeoutMs, HANDLE Stop) {
    TTransferResult result;
    const TEvent done(true, false);
    if (!done)
        return result;
    OVERLAPPED overlapped{};
    overlapped.hEvent = done.Get();
    ULONG moved = 0;
    const BOOL finished = Write ? Dll.WritePipe(Handle, Pipe, Data, Length, &moved, &overlapped)
                                : Dll.ReadPipe(Handle, Pipe, Data, Length, &moved, &overlapped);
    if (!finished && GetLastError() != ERROR_IO_PENDING) {
        result.Refused = true;
        return result;
    }
    if (!finished) {
        const HANDLE waits[2] = {done.Get(), Stop};
        if (WaitForMultipleObjects(Stop != nullptr ? 2 : 1, waits, FALSE, TimeoutMs) !=
            WAIT_OBJECT_0)
            Dll.AbortPipe(Handle, Pipe);
        while (WaitForSingleObject(done.Get(), kReabortMs) != WAIT_OBJECT_0)
            Dll.AbortPipe(Handle, Pipe);
    }
    DWORD count = 0;
    if (Dll.GetOverlappedResult(Handle, &overlapped, &count, FALSE))
        result.Count = count;
    else if (finished)
        result.Count = moved;
    else {
        // An aborted transfer still reports what it moved before the abort.
        result.Count = count;
        result.Refused = GetLastError() != ERROR_OPERATION_ABORTED;
    }
    result.Count = std::min<DWORD>(result.Count, Length);
    return result;
}

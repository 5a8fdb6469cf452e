// A stand-in for the platform's winusb.dll in the Wine tests (Wine's own is a
// stub). The device handle given to WinUsb_Initialize is taken as the byte
// stream to the instrument, such as a COM port of the test prefix whose far
// end is a pty: pipe 0x02 writes go to it, pipe 0x81 reads come from it. An
// overlapped transfer runs on a thread of its own and ends through the
// OVERLAPPED's event; WinUsb_AbortPipe ends the transfers on a pipe.
#define WINUSB_STANDIN_BUILD
#include "tests/link/usb/standin/WinUsbStandin.h"

#include <algorithm>
#include <atomic>

using WINUSB_HANDLE = void*;

extern "C" {
__declspec(dllexport) BOOL WINAPI
    WinUsb_Initialize(HANDLE DeviceHandle, WINUSB_HANDLE* InterfaceHandle);
__declspec(dllexport) BOOL WINAPI WinUsb_Free(WINUSB_HANDLE InterfaceHandle);
__declspec(dllexport) BOOL WINAPI
    WinUsb_ReadPipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer, ULONG BufferLength,
                    PULONG LengthTransferred, LPOVERLAPPED Overlapped);
__declspec(dllexport) BOOL WINAPI
    WinUsb_WritePipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer, ULONG BufferLength,
                     PULONG LengthTransferred, LPOVERLAPPED Overlapped);
__declspec(dllexport) BOOL WINAPI WinUsb_AbortPipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID);
__declspec(dllexport) BOOL WINAPI
    WinUsb_GetOverlappedResult(WINUSB_HANDLE InterfaceHandle, LPOVERLAPPED Overlapped,
                               LPDWORD NumberOfBytesTransferred, BOOL Wait);
}

namespace {

constexpr UCHAR kOutPipe = 0x02;
constexpr UCHAR kInPipe = 0x81;
constexpr ULONG_PTR kStatusSuccess = 0;
constexpr ULONG_PTR kStatusPending = 0x103;
constexpr ULONG_PTR kStatusCancelled = 0xC0000120;
constexpr ULONG_PTR kStatusUnsuccessful = 0xC0000001;

std::atomic<LONG> gWriteMode{kWriteNormal};
std::atomic<LONG> gPartialCount{0};
std::atomic<LONG> gReadMode{kReadNormal};
std::atomic<LONG> gWriteCalls{0};
std::atomic<LONG> gOverlapping{0};
std::atomic<LONG> gInFlightTotal{0};
std::atomic<LONG> gReadBytesEnded{0};
std::atomic<LONG> gReadBytesTaken{0};
std::atomic<DWORD> gReadThread{0};

struct TPipe {
    std::atomic<LONG> Aborts{0};
    std::atomic<LONG> InFlight{0};
};

struct TInterface {
    HANDLE Device;
    TPipe Out, In;
    std::atomic<LONG> Threads{0};
    std::atomic<bool> Closing{false};
    TPipe& Pipe(UCHAR Id) { return Id == kInPipe ? In : Out; }
};

struct TTransfer {
    TInterface* Interface;
    UCHAR Pipe;
    PUCHAR Buffer;
    ULONG Length;
    LONG AbortsAtStart;
    LONG Mode; // the write mode, or for a read the read mode, at its start
    LONG PartialCount;
    ULONG Count = 0;

    bool Aborted() const {
        return Interface->Closing || Interface->Pipe(Pipe).Aborts != AbortsAtStart;
    }
};

// One read or write on the device handle, which may be opened for overlapped I/O.
bool DeviceIo(HANDLE Device, bool Write, void* Buf, DWORD Length, DWORD& Done) {
    Done = 0;
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr)
        return false;
    BOOL ok = Write ? WriteFile(Device, Buf, Length, &Done, &overlapped)
                    : ReadFile(Device, Buf, Length, &Done, &overlapped);
    if (!ok && GetLastError() == ERROR_IO_PENDING)
        ok = GetOverlappedResult(Device, &overlapped, &Done, TRUE);
    CloseHandle(overlapped.hEvent);
    return ok != FALSE;
}

// Until data arrives or the pipe is aborted. Only what is waiting is read, so
// that no read of the device blocks.
ULONG_PTR RunRead(TTransfer& T) {
    if (T.Mode == kReadLateStart) {
        Sleep(100);
        T.AbortsAtStart = T.Interface->In.Aborts;
    }
    for (;;) {
        if (gReadMode == kReadIgnoresAbort) {
            Sleep(10);
            continue;
        }
        if (T.Aborted())
            return kStatusCancelled;
        DWORD errors = 0;
        COMSTAT state{};
        if (ClearCommError(T.Interface->Device, &errors, &state) && state.cbInQue > 0) {
            DWORD got = 0;
            const DWORD want = std::min<DWORD>(T.Length, state.cbInQue);
            if (DeviceIo(T.Interface->Device, false, T.Buffer, want, got) && got > 0) {
                T.Count = got;
                return kStatusSuccess;
            }
        }
        Sleep(5);
    }
}

ULONG_PTR RunWrite(TTransfer& T) {
    DWORD sent = 0;
    if (T.Mode != kWriteStalls) {
        const bool ok = DeviceIo(T.Interface->Device, true, T.Buffer, T.Length, sent);
        T.Count = sent;
        return ok ? kStatusSuccess : kStatusUnsuccessful;
    }
    const DWORD part = std::min<DWORD>(T.Length, static_cast<DWORD>(T.PartialCount));
    if (part > 0)
        DeviceIo(T.Interface->Device, true, T.Buffer, part, sent);
    T.Count = sent;
    while (!T.Aborted())
        Sleep(5);
    Sleep(100); // a driver that ends an aborted transfer late
    return kStatusCancelled;
}

ULONG_PTR Run(TTransfer& T) {
    return T.Pipe == kInPipe ? RunRead(T) : RunWrite(T);
}

DWORD ErrorOf(ULONG_PTR Status) {
    return Status == kStatusCancelled ? ERROR_OPERATION_ABORTED : ERROR_GEN_FAILURE;
}

struct TAsync {
    TTransfer Transfer;
    LPOVERLAPPED Overlapped;
};

DWORD WINAPI RunAsync(void* Param) {
    TAsync* async = static_cast<TAsync*>(Param);
    TInterface* in = async->Transfer.Interface;
    const ULONG_PTR status = Run(async->Transfer);
    if (async->Transfer.Pipe == kInPipe)
        gReadBytesEnded += static_cast<LONG>(async->Transfer.Count);
    async->Overlapped->InternalHigh = async->Transfer.Count;
    async->Overlapped->Internal = status;
    // Ended before the event is set, so that the caller may start the next one.
    --in->Pipe(async->Transfer.Pipe).InFlight;
    --gInFlightTotal;
    SetEvent(async->Overlapped->hEvent);
    delete async;
    --in->Threads;
    return 0;
}

BOOL Submit(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, UCHAR Expected, PUCHAR Buffer,
            ULONG BufferLength, PULONG LengthTransferred, LPOVERLAPPED Overlapped) {
    TInterface* in = static_cast<TInterface*>(InterfaceHandle);
    if (in == nullptr || PipeID != Expected || (Buffer == nullptr && BufferLength > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const LONG mode = PipeID == kInPipe ? gReadMode.load() : gWriteMode.load();
    if (PipeID == kInPipe) {
        gReadBytesTaken = gReadBytesEnded.load();
        gReadThread = GetCurrentThreadId();
    }
    TTransfer transfer{in,   PipeID,       Buffer, BufferLength, in->Pipe(PipeID).Aborts,
                       mode, gPartialCount};
    if (LengthTransferred != nullptr)
        *LengthTransferred = 0;
    if (in->Pipe(PipeID).InFlight++ > 0)
        ++gOverlapping;
    ++gInFlightTotal;
    if (Overlapped == nullptr) {
        const ULONG_PTR status = Run(transfer);
        if (PipeID == kInPipe)
            gReadBytesEnded += static_cast<LONG>(transfer.Count);
        --in->Pipe(PipeID).InFlight;
        --gInFlightTotal;
        if (LengthTransferred != nullptr)
            *LengthTransferred = transfer.Count;
        if (status != kStatusSuccess)
            SetLastError(ErrorOf(status));
        return status == kStatusSuccess;
    }
    ResetEvent(Overlapped->hEvent);
    Overlapped->Internal = kStatusPending;
    Overlapped->InternalHigh = 0;
    ++in->Threads;
    TAsync* async = new TAsync{transfer, Overlapped};
    const HANDLE thread = CreateThread(nullptr, 0, RunAsync, async, 0, nullptr);
    if (thread == nullptr) {
        delete async;
        --in->Pipe(PipeID).InFlight;
        --gInFlightTotal;
        --in->Threads;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    CloseHandle(thread);
    SetLastError(ERROR_IO_PENDING);
    return FALSE;
}

} // namespace

BOOL WINAPI WinUsb_Initialize(HANDLE DeviceHandle, WINUSB_HANDLE* InterfaceHandle) {
    if (InterfaceHandle == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (DeviceHandle == nullptr || DeviceHandle == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    TInterface* in = new TInterface;
    in->Device = DeviceHandle;
    *InterfaceHandle = in;
    return TRUE;
}

BOOL WINAPI WinUsb_Free(WINUSB_HANDLE InterfaceHandle) {
    TInterface* in = static_cast<TInterface*>(InterfaceHandle);
    if (in == nullptr)
        return FALSE;
    in->Closing = true;
    for (int i = 0; i < 300 && in->Threads > 0; ++i)
        Sleep(10);
    if (in->Threads == 0)
        delete in; // else a transfer that never ends keeps it
    return TRUE;
}

BOOL WINAPI WinUsb_ReadPipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer,
                            ULONG BufferLength, PULONG LengthTransferred, LPOVERLAPPED Overlapped) {
    return Submit(InterfaceHandle, PipeID, kInPipe, Buffer, BufferLength, LengthTransferred,
                  Overlapped);
}

BOOL WINAPI WinUsb_WritePipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer,
                             ULONG BufferLength, PULONG LengthTransferred,
                             LPOVERLAPPED Overlapped) {
    ++gWriteCalls;
    if (gWriteMode == kWriteRefused) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    return Submit(InterfaceHandle, PipeID, kOutPipe, Buffer, BufferLength, LengthTransferred,
                  Overlapped);
}

BOOL WINAPI WinUsb_AbortPipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID) {
    TInterface* in = static_cast<TInterface*>(InterfaceHandle);
    if (in == nullptr || (PipeID != kInPipe && PipeID != kOutPipe)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ++in->Pipe(PipeID).Aborts;
    return TRUE;
}

BOOL WINAPI WinUsb_GetOverlappedResult(WINUSB_HANDLE InterfaceHandle, LPOVERLAPPED Overlapped,
                                       LPDWORD NumberOfBytesTransferred, BOOL Wait) {
    if (InterfaceHandle == nullptr || Overlapped == nullptr ||
        NumberOfBytesTransferred == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (WaitForSingleObject(Overlapped->hEvent, Wait ? INFINITE : 0) != WAIT_OBJECT_0) {
        SetLastError(ERROR_IO_INCOMPLETE);
        return FALSE;
    }
    *NumberOfBytesTransferred = static_cast<DWORD>(Overlapped->InternalHigh);
    if (Overlapped->Internal == kStatusSuccess)
        return TRUE;
    SetLastError(ErrorOf(Overlapped->Internal));
    return FALSE;
}

void StandinSetWriteMode(LONG Mode, LONG PartialCount) {
    gPartialCount = PartialCount;
    gWriteMode = Mode;
}

void StandinSetReadMode(LONG Mode) {
    gReadMode = Mode;
}

LONG StandinWriteCalls() {
    return gWriteCalls;
}

LONG StandinOverlappingTransfers() {
    return gOverlapping;
}

LONG StandinTransfersInFlight() {
    return gInFlightTotal;
}

LONG StandinReadBytesTaken() {
    return gReadBytesTaken;
}

DWORD StandinReadThread() {
    return gReadThread;
}

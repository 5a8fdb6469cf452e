// WinUSB bound by name at run time, so that the library loads, and serves its
// serial links, on a system without it. An empty slot makes its call fail
// with ERROR_PROC_NOT_FOUND.
#pragma once

#include <windows.h>

// The interface handle that WinUSB hands out for an opened device.
using WINUSB_HANDLE = void*;

class TWinUsbDll {
public:
    using TInitialize = BOOL(WINAPI*)(HANDLE DeviceHandle, WINUSB_HANDLE* InterfaceHandle);
    using TFree = BOOL(WINAPI*)(WINUSB_HANDLE InterfaceHandle);
    using TPipeTransfer = BOOL(WINAPI*)(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer,
                                        ULONG BufferLength, PULONG LengthTransferred,
                                        LPOVERLAPPED Overlapped);
    using TAbortPipe = BOOL(WINAPI*)(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID);
    using TGetOverlappedResult = BOOL(WINAPI*)(WINUSB_HANDLE InterfaceHandle,
                                               LPOVERLAPPED Overlapped,
                                               LPDWORD NumberOfBytesTransferred, BOOL Wait);

    TWinUsbDll() = default;
    TWinUsbDll(const TWinUsbDll&) = delete;
    TWinUsbDll& operator=(const TWinUsbDll&) = delete;

    // Loads the library and binds its entry points; false when it cannot be
    // loaded (every slot then stays empty). A loaded library is kept.
    bool Load(const char* LibraryName);
    // Releases the library; every slot is empty afterwards.
    void Unload();
    bool Loaded() const { return FModule != nullptr; }

    BOOL Initialize(HANDLE DeviceHandle, WINUSB_HANDLE* InterfaceHandle) const;
    BOOL Free(WINUSB_HANDLE InterfaceHandle) const;
    BOOL ReadPipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer, ULONG BufferLength,
                  PULONG LengthTransferred, LPOVERLAPPED Overlapped) const;
    BOOL WritePipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer, ULONG BufferLength,
                   PULONG LengthTransferred, LPOVERLAPPED Overlapped) const;
    BOOL AbortPipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID) const;
    BOOL GetOverlappedResult(WINUSB_HANDLE InterfaceHandle, LPOVERLAPPED Overlapped,
                             LPDWORD NumberOfBytesTransferred, BOOL Wait) const;

private:
    HMODULE FModule = nullptr;
    TInitialize FInitialize = nullptr;
    TFree FFree = nullptr;
    TPipeTransfer FReadPipe = nullptr;
    TPipeTransfer FWritePipe = nullptr;
    TAbortPipe FAbortPipe = nullptr;
    TGetOverlappedResult FGetOverlappedResult = nullptr;
};

// The library's one binding.
extern TWinUsbDll gWinUsbDll;

// For the library's load: file-error boxes of the platform off, "WINUSB.DLL"
// bound, and a message box when it cannot be loaded (USB links are then
// unavailable; serial links work).
void BindWinUsbDll();
// For the library's unload.
void ReleaseWinUsbDll();

#include "link/usb/WinUsbDll_win.h"

#include "common/ProcBinding_win.h"

TWinUsbDll gWinUsbDll;

namespace {

template <class T, class... A>
BOOL Call(T Slot, A... Args) {
    if (Slot == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    return Slot(Args...);
}

} // namespace

bool TWinUsbDll::Load(const char* LibraryName) {
    if (FModule != nullptr)
        return true;
    FModule = LoadLibraryA(LibraryName);
    if (FModule == nullptr)
        return false;
    BindProc(FModule, "WinUsb_Initialize", FInitialize);
    BindProc(FModule, "WinUsb_Free", FFree);
    BindProc(FModule, "WinUsb_ReadPipe", FReadPipe);
    BindProc(FModule, "WinUsb_WritePipe", FWritePipe);
    BindProc(FModule, "WinUsb_AbortPipe", FAbortPipe);
    BindProc(FModule, "WinUsb_GetOverlappedResult", FGetOverlappedResult);
    return true;
}

void TWinUsbDll::Unload() {
    if (FModule != nullptr)
        FreeLibrary(FModule);
    FModule = nullptr;
    FInitialize = nullptr;
    FFree = nullptr;
    FReadPipe = nullptr;
    FWritePipe = nullptr;
    FAbortPipe = nullptr;
    FGetOverlappedResult = nullptr;
}

BOOL TWinUsbDll::Initialize(HANDLE DeviceHandle, WINUSB_HANDLE* InterfaceHandle) const {
    return Call(FInitialize, DeviceHandle, InterfaceHandle);
}

BOOL TWinUsbDll::Free(WINUSB_HANDLE InterfaceHandle) const {
    return Call(FFree, InterfaceHandle);
}

BOOL TWinUsbDll::ReadPipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer,
                          ULONG BufferLength, PULONG LengthTransferred,
                          LPOVERLAPPED Overlapped) const {
    return Call(FReadPipe, InterfaceHandle, PipeID, Buffer, BufferLength, LengthTransferred,
                Overlapped);
}

BOOL TWinUsbDll::WritePipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID, PUCHAR Buffer,
                           ULONG BufferLength, PULONG LengthTransferred,
                           LPOVERLAPPED Overlapped) const {
    return Call(FWritePipe, InterfaceHandle, PipeID, Buffer, BufferLength, LengthTransferred,
                Overlapped);
}

BOOL TWinUsbDll::AbortPipe(WINUSB_HANDLE InterfaceHandle, UCHAR PipeID) const {
    return Call(FAbortPipe, InterfaceHandle, PipeID);
}

BOOL TWinUsbDll::GetOverlappedResult(WINUSB_HANDLE InterfaceHandle, LPOVERLAPPED Overlapped,
                                     LPDWORD NumberOfBytesTransferred, BOOL Wait) const {
    return Call(FGetOverlappedResult, InterfaceHandle, Overlapped, NumberOfBytesTransferred, Wait);
}

void BindWinUsbDll() {
    SetErrorMode(SEM_NOOPENFILEERRORBOX);
    if (!gWinUsbDll.Load("WINUSB.DLL"))
        MessageBoxA(nullptr, "Error: WINUSB.DLL could not be loaded !!", "Error",
                    MB_OK | MB_ICONERROR);
}

void ReleaseWinUsbDll() {
    gWinUsbDll.Unload();
}

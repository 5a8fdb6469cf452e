// QuorxComDll's exports: each runs the library member of the same name under
// the export guard, so no exception crosses the boundary.
#include "link/exports/QuorxComDll_win.h"

#include "common/ExportGuard.h"
#include "link/serial/SerialLink_win.h"
#include "link/usb/USBPort_win.h"
#include "link/usb/WinUsbDll_win.h"
#include "QuorxComDllH.h"

#include <windows.h>

TLinkLibrary& TheLinkLibrary() {
    static TWin32LinkPlatform* platform = new TWin32LinkPlatform;
    static TLinkLibrary* library = new TLinkLibrary(*platform);
    return *library;
}

namespace {

TLinkLibrary& Lib() {
    return TheLinkLibrary();
}

} // namespace

extern "C" {

// Nothing here waits for a thread: at process end the others are gone, and
// before that the USB threads keep the library loaded while they run.
BOOL WINAPI DllMain(HINSTANCE, DWORD Reason, LPVOID Reserved) {
    if (Reason == DLL_PROCESS_ATTACH)
        BindWinUsbDll();
    if (Reason == DLL_PROCESS_DETACH) {
        const bool processEnding = Reserved != nullptr;
        if (processEnding)
            UsbProcessEnding();
        GuardExport([] {
            Lib().FreeAll();
            return 0;
        });
        if (!processEnding)
            ReleaseWinUsbDll();
    }
    return TRUE;
}

TLinkResult QUORX_CALL OpenCom(int32_t Port, int32_t MaxEvents, int32_t MaxEventData) {
    return GuardExport([&] { return Lib().OpenCom(Port, MaxEvents, MaxEventData); });
}

TLinkResult QUORX_CALL OpenComEx(int32_t Port, int32_t MaxEvents, int32_t MaxEventData,
                                 int32_t Baud, int32_t RxQueueSize, uint8_t Nibble) {
    return GuardExport(
        [&] { return Lib().OpenComEx(Port, MaxEvents, MaxEventData, Baud, RxQueueSize, Nibble); });
}

TLinkResult QUORX_CALL CloseCom(TDevIndex Index) {
    return GuardExport([&] { return Lib().CloseCom(Index); });
}

uint8_t QUORX_CALL IsComAvailable(int32_t Port) {
    return GuardExport([&]() -> uint8_t { return Lib().IsComAvailable(Port) ? 1 : 0; }, uint8_t{0});
}

TLinkResult QUORX_CALL SendRequest(TDevIndex Index, uint16_t ReqNo, uint8_t Param,
                                   const void* TxData, int32_t TxLen, void* RxBuf, int32_t RxLen,
                                   int32_t* RxCount) {
    return GuardExport([&] {
        return Lib().SendRequest(Index, ReqNo, Param, TxData, TxLen, RxBuf, RxLen, RxCount);
    });
}

TLinkResult QUORX_CALL SendCommand(TDevIndex Index, uint16_t ReqNo, uint8_t Param,
                                   const void* TxData, int32_t TxLen, void* RxBuf, int32_t RxLen,
                                   int32_t* RxCount) {
    return GuardExport([&] {
        return Lib().SendCommand(Index, ReqNo, Param, TxData, TxLen, RxBuf, RxLen, RxCount);
    });
}

TLinkResult QUORX_CALL SetTimeout(TDevIndex Index, int32_t InterByteMs) {
    return GuardExport([&] { return Lib().SetTimeout(Index, InterByteMs); });
}

TLinkResult QUORX_CALL SetTimeouts(TDevIndex Index, int32_t InterByteMs, int32_t TotalMs) {
    return GuardExport([&] { return Lib().SetTimeouts(Index, InterByteMs, TotalMs); });
}

TLinkResult QUORX_CALL ClearOutBuff(TDevIndex Index) {
    return GuardExport([&] { return Lib().ClearOutBuff(Index); });
}

TLinkResult QUORX_CALL SetRecEventProc(TDevIndex Index, TRecEventProc Proc) {
    return GuardExport([&] { return Lib().SetRecEventProc(Index, Proc); });
}

TLinkResult QUORX_CALL GetNumEvent(TDevIndex Index, int32_t* Count, int32_t* Free, int32_t* Lost) {
    return GuardExport([&] { return Lib().GetNumEvent(Index, Count, Free, Lost); });
}

TLinkResult QUORX_CALL GetEvent(TDevIndex Index, uint16_t* Code, uint8_t* Param, void* Buf,
                                int32_t BufSize, int32_t* DataLen) {
    return GuardExport([&] { return Lib().GetEvent(Index, Code, Param, Buf, BufSize, DataLen); });
}

TLinkResult QUORX_CALL GetDevId(TDevIndex Index, char* Buf) {
    return GuardExport([&] { return Lib().GetDevId(Index, Buf); });
}

TLinkResult QUORX_CALL GetDevSWVers(TDevIndex Index, char* Buf) {
    return GuardExport([&] { return Lib().GetDevSWVers(Index, Buf); });
}

TLinkResult QUORX_CALL GetProfileCap(TDevIndex Index, uint16_t* Cap) {
    return GuardExport([&] { return Lib().GetProfileCap(Index, Cap); });
}

TLinkResult QUORX_CALL GetReqMCap(TDevIndex Index, uint16_t* Cap) {
    return GuardExport([&] { return Lib().GetReqMCap(Index, Cap); });
}

TLinkResult QUORX_CALL GetTa(TDevIndex Index, void* Buf) {
    return GuardExport([&] { return Lib().GetTa(Index, Buf); });
}

TLinkResult QUORX_CALL RxQueue(TDevIndex Index, uint32_t* Size) {
    return GuardExport([&] { return Lib().RxQueue(Index, Size); });
}

TLinkResult QUORX_CALL RxQueueMax(TDevIndex Index, uint32_t* Size) {
    return GuardExport([&] { return Lib().RxQueueMax(Index, Size); });
}

} // extern "C"

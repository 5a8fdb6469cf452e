#include "app/instruments/LinkApi_win.h"

#include "app/base/Guard_.h"

#include <array>
#include <utility>

namespace {

// The handler of each device index, by its interface index.
std::array<TLinkEventHandler, TInterfaceIndex::kLast + 1>& Handlers() {
    static std::array<TLinkEventHandler, TInterfaceIndex::kLast + 1> handlers;
    return handlers;
}

TLinkEventHandler* HandlerOf(TDevIndex Index) {
    if (!TDeviceIndex(Index).Valid())
        return nullptr;
    return &Handlers()[static_cast<std::size_t>(InterfaceIndexOf(Index))];
}

// A link that is gone no longer calls; its handler goes with it.
void DropHandler(TDevIndex Index) {
    if (TLinkEventHandler* handler = HandlerOf(Index))
        *handler = nullptr;
}

void QUORX_CALL RecEventTrampoline(TDevIndex Index) {
    GuardedCall([Index] {
        const TLinkEventHandler* registered = HandlerOf(Index);
        if (!registered || !*registered)
            return;
        // A copy: the handler may close or re-register its link, which replaces the stored one.
        const TLinkEventHandler handler = *registered;
        handler(Index);
    });
}

} // namespace

TLinkResult TWinLinkApi::OpenComEx(int32_t Port, int32_t MaxEvents, int32_t MaxEventData,
                                   int32_t Baud, int32_t RxQueueSize, uint8_t Nibble) {
    // Whatever the result, the port's previous link is freed.
    const TLinkResult result =
        ::OpenComEx(Port, MaxEvents, MaxEventData, Baud, RxQueueSize, Nibble);
    if (TDeviceIndex::ForCom(Port).Serial())
        DropHandler(Port);
    return result;
}

TLinkResult TWinLinkApi::CloseCom(TDevIndex Index) {
    const TLinkResult result = ::CloseCom(Index);
    if (result == 0)
        DropHandler(Index);
    return result;
}

uint8_t TWinLinkApi::IsComAvailable(int32_t Port) {
    return ::IsComAvailable(Port);
}

TLinkResult TWinLinkApi::RxQueue(TDevIndex Index, uint32_t* Size) {
    return ::RxQueue(Index, Size);
}

TLinkResult TWinLinkApi::SetTimeouts(TDevIndex Index, int32_t InterByteMs, int32_t TotalMs) {
    return ::SetTimeouts(Index, InterByteMs, TotalMs);
}

TLinkResult TWinLinkApi::SetRecEventProc(TDevIndex Index, TLinkEventHandler Handler) {
    const TLinkResult result =
        ::SetRecEventProc(Index, Handler ? RecEventTrampoline : TRecEventProc{nullptr});
    if (result == 0)
        if (TLinkEventHandler* stored = HandlerOf(Index))
            *stored = std::move(Handler);
    return result;
}

TLinkResult TWinLinkApi::GetNumEvent(TDevIndex Index, int32_t* Count, int32_t* Free,
                                     int32_t* Lost) {
    return ::GetNumEvent(Index, Count, Free, Lost);
}

TLinkResult TWinLinkApi::GetEvent(TDevIndex Index, uint16_t* Code, uint8_t* Param, void* Buf,
                                  int32_t BufSize, int32_t* DataLen) {
    return ::GetEvent(Index, Code, Param, Buf, BufSize, DataLen);
}

TLinkResult TWinLinkApi::GetDevId(TDevIndex Index, char* Buf) {
    return ::GetDevId(Index, Buf);
}

TLinkResult TWinLinkApi::GetDevSWVers(TDevIndex Index, char* Buf) {
    return ::GetDevSWVers(Index, Buf);
}

TLinkResult TWinLinkApi::GetProfileCap(TDevIndex Index, uint16_t* Cap) {
    return ::GetProfileCap(Index, Cap);
}

TLinkResult TWinLinkApi::GetReqMCap(TDevIndex Index, uint16_t* Cap) {
    return ::GetReqMCap(Index, Cap);
}

TLinkResult TWinLinkApi::OpenUSBDevice(const char* Path, void** hDevice) {
    return ::OpenUSBDevice(Path, hDevice);
}

TLinkResult TWinLinkApi::USBInitialize(void* hDevice, void** hWinUsb) {
    return ::USBInitialize(hDevice, hWinUsb);
}

TLinkResult TWinLinkApi::InitializeDevice(void* hDevice, void* hWinUsb, TDevIndex* Index,
                                          int32_t MaxEvents, int32_t MaxEventData, const char* Path,
                                          int32_t PathLen) {
    return ::InitializeDevice(hDevice, hWinUsb, Index, MaxEvents, MaxEventData, Path, PathLen);
}

TLinkResult TWinLinkApi::GetDevicePath(TDevIndex Index, char* Buf, int32_t* Size) {
    return ::GetDevicePath(Index, Buf, Size);
}

TLinkResult TWinLinkApi::CloseUSBDevice(TDevIndex Index) {
    const TLinkResult result = ::CloseUSBDevice(Index);
    if (result == 0)
        DropHandler(Index);
    return result;
}

TLinkResult TWinLinkApi::GetCOMInfoList(char* Buf, uint32_t* Size) {
    return ::GetCOMInfoList(Buf, Size);
}

TLinkResult TWinLinkApi::GetDevicePathList(TQuorxGuid InterfaceGuid, char* Buf, uint32_t* Size) {
    return ::GetDevicePathList(InterfaceGuid, Buf, Size);
}

int32_t TWinLinkApi::GetSerNumFromDevicePath(const char* Path) {
    return ::GetSerNumFromDevicePath(Path);
}

uint16_t TWinLinkApi::GetPIDFromDevicePath(const char* Path) {
    return ::GetPIDFromDevicePath(Path);
}

TLinkResult TWinLinkApi::GetSWVers(TDevIndex Index, int32_t Slot, TDevText* Buf) {
    return ::GetSWVers(Index, Slot, Buf);
}

TLinkResult TWinLinkApi::SetMeasEvent(TDevIndex Index, uint8_t Value) {
    return ::SetMeasEvent(Index, Value);
}

TLinkResult TWinLinkApi::GetMeasAll(TDevIndex Index, TMEASall* Buf) {
    return ::GetMeasAll(Index, Buf);
}

TLinkResult TWinLinkApi::GetStab(TDevIndex Index, int32_t Slot, TStab* Buf) {
    return ::GetStab(Index, Slot, Buf);
}

TLinkResult TWinLinkApi::GetIDSerial(TDevIndex Index, int32_t Slot, TDevText* Buf) {
    return ::GetIDSerial(Index, Slot, Buf);
}

TLinkResult TWinLinkApi::GetDevUnits(TDevIndex Index, TDevUnits* Buf) {
    return ::GetDevUnits(Index, Buf);
}

TLinkResult TWinLinkApi::GetDevUser(TDevIndex Index, TDevText* Buf) {
    return ::GetDevUser(Index, Buf);
}

TLinkResult TWinLinkApi::EventDataToTMEASall(const void* Src, int32_t Len, TMEASall* Dst) {
    return ::EventDataToTMEASall(Src, Len, Dst);
}

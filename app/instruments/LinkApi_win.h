// The libraries as the program binds them: QuorxComDll.dll and Proflink.dll
// through their import libraries.
//
// The library calls a link's event procedure with the platform's calling
// convention and no context; one trampoline takes every call, finds the handler
// registered for the link's device index and runs it guarded (Guard_.h), so no
// exception reaches the library's timer. The handlers are shared by every
// TWinLinkApi, as the libraries' links are by the process.
#pragma once

#include "app/instruments/LinkApi_.h"

class TWinLinkApi : public ILinkApi {
public:
    TLinkResult OpenComEx(int32_t Port, int32_t MaxEvents, int32_t MaxEventData, int32_t Baud,
                          int32_t RxQueueSize, uint8_t Nibble) override;
    TLinkResult CloseCom(TDevIndex Index) override;
    uint8_t IsComAvailable(int32_t Port) override;
    TLinkResult RxQueue(TDevIndex Index, uint32_t* Size) override;

    TLinkResult SetTimeouts(TDevIndex Index, int32_t InterByteMs, int32_t TotalMs) override;
    TLinkResult SetRecEventProc(TDevIndex Index, TLinkEventHandler Handler) override;
    TLinkResult GetNumEvent(TDevIndex Index, int32_t* Count, int32_t* Free, int32_t* Lost) override;
    TLinkResult GetEvent(TDevIndex Index, uint16_t* Code, uint8_t* Param, void* Buf,
                         int32_t BufSize, int32_t* DataLen) override;

    TLinkResult GetDevId(TDevIndex Index, char* Buf) override;
    TLinkResult GetDevSWVers(TDevIndex Index, char* Buf) override;
    TLinkResult GetProfileCap(TDevIndex Index, uint16_t* Cap) override;
    TLinkResult GetReqMCap(TDevIndex Index, uint16_t* Cap) override;

    TLinkResult OpenUSBDevice(const char* Path, void** hDevice) override;
    TLinkResult USBInitialize(void* hDevice, void** hWinUsb) override;
    TLinkResult InitializeDevice(void* hDevice, void* hWinUsb, TDevIndex* Index, int32_t MaxEvents,
                                 int32_t MaxEventData, const char* Path, int32_t PathLen) override;
    TLinkResult GetDevicePath(TDevIndex Index, char* Buf, int32_t* Size) override;
    TLinkResult CloseUSBDevice(TDevIndex Index) override;

    TLinkResult GetCOMInfoList(char* Buf, uint32_t* Size) override;
    TLinkResult GetDevicePathList(TQuorxGuid InterfaceGuid, char* Buf, uint32_t* Size) override;
    int32_t GetSerNumFromDevicePath(const char* Path) override;
    uint16_t GetPIDFromDevicePath(const char* Path) override;

    TLinkResult GetSWVers(TDevIndex Index, int32_t Slot, TDevText* Buf) override;
    TLinkResult SetMeasEvent(TDevIndex Index, uint8_t Value) override;
    TLinkResult GetMeasAll(TDevIndex Index, TMEASall* Buf) override;
    TLinkResult GetStab(TDevIndex Index, int32_t Slot, TStab* Buf) override;
    TLinkResult GetIDSerial(TDevIndex Index, int32_t Slot, TDevText* Buf) override;
    TLinkResult GetDevUnits(TDevIndex Index, TDevUnits* Buf) override;
    TLinkResult GetDevUser(TDevIndex Index, TDevText* Buf) override;
    TLinkResult EventDataToTMEASall(const void* Src, int32_t Len, TMEASall* Dst) override;
};

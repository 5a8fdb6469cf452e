// The application's seam to the two libraries: exactly the functions it imports,
// 21 of QuorxComDll and 8 of Proflink, with the libraries' own signatures and
// result codes (QuorxComDllH.h, ProflinkH.h). The program calls the DLLs
// (LinkApi_win.h); model tests use a scripted fake.
//
// Every function takes the device index (TDeviceIndex) as the library does. Out values are defined
// only when the result is 0.
#pragma once

#include "app/base/MsgDlg_.h"
#include "common/LinkIndex.h"
#include "ProflinkH.h"
#include "QuorxComDllH.h"

#include <cstdint>
#include <functional>

// Called for a link while events are queued, with its device index, in the thread
// that opened the link; it may close or re-register its own link.
using TLinkEventHandler = std::function<void(TDevIndex Index)>;

class ILinkApi {
public:
    // --- QuorxComDll: serial links
    virtual TLinkResult OpenComEx(int32_t Port, int32_t MaxEvents, int32_t MaxEventData,
                                  int32_t Baud, int32_t RxQueueSize, uint8_t Nibble) = 0;
    virtual TLinkResult CloseCom(TDevIndex Index) = 0;
    // 1 when the port can be opened (a port this process holds reads as 0).
    virtual uint8_t IsComAvailable(int32_t Port) = 0;
    virtual TLinkResult RxQueue(TDevIndex Index, uint32_t* Size) = 0;

    // --- QuorxComDll: transactions and events
    virtual TLinkResult SetTimeouts(TDevIndex Index, int32_t InterByteMs, int32_t TotalMs) = 0;
    // Registers Handler as the link's event procedure; an empty one removes it.
    virtual TLinkResult SetRecEventProc(TDevIndex Index, TLinkEventHandler Handler) = 0;
    virtual TLinkResult GetNumEvent(TDevIndex Index, int32_t* Count, int32_t* Free,
                                    int32_t* Lost) = 0;
    virtual TLinkResult GetEvent(TDevIndex Index, uint16_t* Code, uint8_t* Param, void* Buf,
                                 int32_t BufSize, int32_t* DataLen) = 0;

    // --- QuorxComDll: device information (texts of 21 bytes)
    virtual TLinkResult GetDevId(TDevIndex Index, char* Buf) = 0;
    virtual TLinkResult GetDevSWVers(TDevIndex Index, char* Buf) = 0;
    virtual TLinkResult GetProfileCap(TDevIndex Index, uint16_t* Cap) = 0;
    virtual TLinkResult GetReqMCap(TDevIndex Index, uint16_t* Cap) = 0;

    // --- QuorxComDll: USB links
    virtual TLinkResult OpenUSBDevice(const char* Path, void** hDevice) = 0;
    virtual TLinkResult USBInitialize(void* hDevice, void** hWinUsb) = 0;
    virtual TLinkResult InitializeDevice(void* hDevice, void* hWinUsb, TDevIndex* Index,
                                         int32_t MaxEvents, int32_t MaxEventData, const char* Path,
                                         int32_t PathLen) = 0;
    virtual TLinkResult GetDevicePath(TDevIndex Index, char* Buf, int32_t* Size) = 0;
    virtual TLinkResult CloseUSBDevice(TDevIndex Index) = 0;

    // --- QuorxComDll: enumeration
    virtual TLinkResult GetCOMInfoList(char* Buf, uint32_t* Size) = 0;
    virtual TLinkResult GetDevicePathList(TQuorxGuid InterfaceGuid, char* Buf, uint32_t* Size) = 0;
    // The serial number in a USB device path, or -1.
    virtual int32_t GetSerNumFromDevicePath(const char* Path) = 0;
    // The product id in a USB device path, or 0.
    virtual uint16_t GetPIDFromDevicePath(const char* Path) = 0;

    // --- Proflink
    virtual TLinkResult GetSWVers(TDevIndex Index, int32_t Slot, TDevText* Buf) = 0;
    virtual TLinkResult SetMeasEvent(TDevIndex Index, uint8_t Value) = 0;
    virtual TLinkResult GetMeasAll(TDevIndex Index, TMEASall* Buf) = 0;
    virtual TLinkResult GetStab(TDevIndex Index, int32_t Slot, TStab* Buf) = 0;
    virtual TLinkResult GetIDSerial(TDevIndex Index, int32_t Slot, TDevText* Buf) = 0;
    virtual TLinkResult GetDevUnits(TDevIndex Index, TDevUnits* Buf) = 0;
    virtual TLinkResult GetDevUser(TDevIndex Index, TDevText* Buf) = 0;
    virtual TLinkResult EventDataToTMEASall(const void* Src, int32_t Len, TMEASall* Dst) = 0;

protected:
    ~ILinkApi() = default;
};

// Closes the link of an interface index: a serial one with CloseCom, a USB one
// with CloseUSBDevice, ignoring the result. Any other index is a program
// fault and ends the program through FatalError.
void CloseInterface(ILinkApi& Api, IMessageBoxes& Boxes, int32_t InterfaceIndex);
// The USB product id in the device path of a link; 0 when it has none.
uint16_t UsbProductId(ILinkApi& Link, TDevIndex DeviceIndex);

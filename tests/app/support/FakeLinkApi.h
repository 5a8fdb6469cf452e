// The libraries for model tests. Records every call with its arguments in order
// and answers as the libraries would from a small model: open links with their
// event queues and handlers, the instrument behind each device index, the
// present ports and USB devices. Result scripts make the next calls of a
// function answer with chosen codes.
#pragma once

#include "app/instruments/LinkApi_.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

// What an instrument answers. Texts are written as StrToCharArray does: a text
// of 21 characters has no terminator.
struct TFakeInstrument {
    std::string DevId = "ZEPHORA";
    std::string DevSWVers = "2.10";
    uint16_t ProfileCap = 2;
    uint16_t ReqMCap = 2;
    TDevUnits Units{};
    std::string User;
    std::array<std::string, 10> SWVers;
    std::array<std::string, 10> IDSerial;
    std::array<TStab, 10> Stab{};
    TMEASall Meas{};
};

struct TFakeEvent {
    uint16_t Code = 0;
    uint8_t Param = 0;
    std::vector<uint8_t> Data;
    // GetEvent's result when the event is taken; nothing is filled unless 0.
    TLinkResult Status = 0;
};

class TFakeLinkApi : public ILinkApi {
public:
    // --- The model.
    // The instrument that answers on a device index; created with the defaults.
    TFakeInstrument& Instrument(TDevIndex Index);
    // A link that is open before the test's steps; a USB link with its device path.
    void OpenLink(TDevIndex Index, const std::string& DevicePath = "");
    bool IsOpen(TDevIndex Index) const;
    // The last SetMeasEvent value of an open link (0 before any).
    uint8_t MeasEvent(TDevIndex Index) const;

    // Ports another program holds: they cannot be opened and read as
    // unavailable, as the ports of this process's open links do.
    std::set<int32_t> HeldPorts;
    // What GetCOMInfoList writes: lines of port name TAB description, CR LF between.
    std::string ComInfoText;
    // The present USB devices in list order, each with the instrument that
    // answers once InitializeDevice gave it a device index.
    struct TUSBLink {
        std::string Path;
        TFakeInstrument Instrument;
    };
    std::vector<TUSBLink> UsbDevices;
    uint32_t RxQueueSize = 128790;

    // --- Result scripts: the next calls of Function return Codes in turn, ahead of
    // every other check; a 0 lets that call answer from the model. Functions with
    // a result code only; another name throws std::invalid_argument.
    void Script(const std::string& Function, std::initializer_list<TLinkResult> Codes);

    // --- Events.
    void QueueEvent(TDevIndex Index, TFakeEvent Event);
    // A measurement event (0x100, parameter 255) with the 128 bytes of Meas.
    void QueueMeasEvent(TDevIndex Index, const TMEASall& Meas);
    std::size_t QueuedEvents(TDevIndex Index) const;
    bool HasHandler(TDevIndex Index) const;
    // Calls the link's handler once, as the library's timer does; false when
    // the link has none.
    bool Fire(TDevIndex Index);
    // One tick of the library's timers: Fire for every link with a handler and
    // queued events, in index order. Returns the number of calls.
    int Tick();

    // Every call so far, as "OpenComEx(3, 100, 5001, 19200, 128790, 0)": the
    // arguments going in, handles as numbers, GUIDs in braces; out-only
    // arguments are left out.
    std::vector<std::string> Calls;
    // The calls of one function.
    std::vector<std::string> CallsOf(const std::string& Function) const;

    // --- ILinkApi
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

private:
    struct TLink {
        int32_t MaxEvents = 100;
        int32_t MaxEventData = 5001;
        std::string Path;
        std::deque<TFakeEvent> Events;
        TLinkEventHandler Handler;
        uint8_t MeasEvent = 0;
    };

    template <class... A>
    void Record(const char* Function, const A&... Args);
    TLinkResult Scripted(const char* Function);
    // The library's index check: 259 outside 1..512, 256 without an open link.
    TLinkResult Check(TDevIndex Index) const;
    void Open(TDevIndex Index, int32_t MaxEvents, int32_t MaxEventData, const std::string& Path);
    // A device text (21 bytes) of the instrument on Index.
    TLinkResult AnswerText(const char* Function, TDevIndex Index, char* Buf,
                           std::string TFakeInstrument::*Text);
    // A value of the instrument on Index. Proflink refuses a nil buffer before
    // it sends anything; QuorxComDll checks the index first.
    template <class T>
    TLinkResult AnswerValue(const char* Function, TDevIndex Index, T* Buf,
                            T TFakeInstrument::*Value, bool BufferFirst);
    // A chamber's text (21 bytes) of the instrument on Index.
    TLinkResult AnswerSlotText(const char* Function, TDevIndex Index, int32_t Slot, TDevText* Buf,
                               std::array<std::string, 10> TFakeInstrument::*Texts);

    std::map<TDevIndex, TLink> FLinks;
    std::map<TDevIndex, TFakeInstrument> FInstruments;
    std::map<std::string, std::deque<TLinkResult>> FScripts;
    std::set<void*> FDeviceHandles; // given by OpenUSBDevice
    std::set<void*> FWinUsbHandles; // given by USBInitialize
    uintptr_t FHandleCount = 0;
};

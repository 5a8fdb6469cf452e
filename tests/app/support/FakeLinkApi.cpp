#include "tests/app/support/FakeLinkApi.h"

#include "app/base/Tools_.h"
#include "link/core/QuorxEnum.h"
#include "profile/MeasEvent.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace {

constexpr uint16_t kMeasEventCode = 0x100;
constexpr uint8_t kMeasEventParam = 0xFF;

// The functions whose result is a result code, which scripts may answer for.
const std::set<std::string>& ScriptableFunctions() {
    static const std::set<std::string> names = {
        "OpenComEx",       "CloseCom",
        "RxQueue",         "SetTimeouts",
        "SetRecEventProc", "GetNumEvent",
        "GetEvent",        "GetDevId",
        "GetDevSWVers",    "GetProfileCap",
        "GetReqMCap",      "OpenUSBDevice",
        "USBInitialize",   "InitializeDevice",
        "GetDevicePath",   "CloseUSBDevice",
        "GetCOMInfoList",  "GetDevicePathList",
        "GetSWVers",       "SetMeasEvent",
        "GetMeasAll",      "GetStab",
        "GetIDSerial",     "GetDevUnits",
        "GetDevUser",      "EventDataToTMEASall",
    };
    return names;
}

std::string ArgText(const std::string& S) {
    return S;
}

std::string ArgText(const char* S) {
    return S ? S : "nil";
}

std::string ArgText(const void* P) {
    return std::to_string(reinterpret_cast<intptr_t>(P));
}

std::string ArgText(const TQuorxGuid& G) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", G.Data1,
                  G.Data2, G.Data3, G.Data4[0], G.Data4[1], G.Data4[2], G.Data4[3], G.Data4[4],
                  G.Data4[5], G.Data4[6], G.Data4[7]);
    return text;
}

template <class T>
requires std::is_integral_v<T> std::string ArgText(T V) {
    return std::to_string(+V);
}

constexpr bool IsSerial(TDevIndex Index) {
    return Index >= 1 && Index <= 256;
}

constexpr bool IsUsb(TDevIndex Index) {
    return Index >= 257 && Index <= 512;
}

void* InvalidHandle() {
    return reinterpret_cast<void*>(intptr_t{-1});
}

// Writes a list as the library does, byte by byte up to the capacity in *Size.
TLinkResult WriteList(const std::string& Text, char* Buf, uint32_t* Size) {
    if (!Buf || !Size)
        return errBuffer;
    TListWriter writer(Buf, *Size);
    writer.Put(Text);
    *Size = writer.Size();
    return writer.Full() ? errListFull : 0;
}

} // namespace

// --- The model

TFakeInstrument& TFakeLinkApi::Instrument(TDevIndex Index) {
    return FInstruments[Index];
}

void TFakeLinkApi::OpenLink(TDevIndex Index, const std::string& DevicePath) {
    Open(Index, 100, 5001, DevicePath);
}

bool TFakeLinkApi::IsOpen(TDevIndex Index) const {
    return FLinks.count(Index) != 0;
}

uint8_t TFakeLinkApi::MeasEvent(TDevIndex Index) const {
    const auto link = FLinks.find(Index);
    return link == FLinks.end() ? 0 : link->second.MeasEvent;
}

void TFakeLinkApi::Script(const std::string& Function, std::initializer_list<TLinkResult> Codes) {
    if (!ScriptableFunctions().count(Function))
        throw std::invalid_argument("no scriptable function " + Function);
    FScripts[Function].insert(FScripts[Function].end(), Codes);
}

void TFakeLinkApi::QueueEvent(TDevIndex Index, TFakeEvent Event) {
    FLinks.at(Index).Events.push_back(std::move(Event));
}

void TFakeLinkApi::QueueMeasEvent(TDevIndex Index, const TMEASall& Meas) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&Meas);
    QueueEvent(Index, {kMeasEventCode, kMeasEventParam, {bytes, bytes + sizeof Meas}, 0});
}

std::size_t TFakeLinkApi::QueuedEvents(TDevIndex Index) const {
    const auto link = FLinks.find(Index);
    return link == FLinks.end() ? 0 : link->second.Events.size();
}

bool TFakeLinkApi::HasHandler(TDevIndex Index) const {
    const auto link = FLinks.find(Index);
    return link != FLinks.end() && link->second.Handler;
}

bool TFakeLinkApi::Fire(TDevIndex Index) {
    if (!HasHandler(Index))
        return false;
    // A copy: the handler may close or re-register its own link.
    const TLinkEventHandler handler = FLinks.at(Index).Handler;
    handler(Index);
    return true;
}

int TFakeLinkApi::Tick() {
    std::vector<TDevIndex> due;
    for (const auto& [index, link] : FLinks)
        if (link.Handler && !link.Events.empty())
            due.push_back(index);
    int calls = 0;
    // A handler may close or open links, so each is looked at again.
    for (TDevIndex index : due)
        if (QueuedEvents(index) > 0 && Fire(index))
            ++calls;
    return calls;
}

std::vector<std::string> TFakeLinkApi::CallsOf(const std::string& Function) const {
    std::vector<std::string> calls;
    for (const std::string& call : Calls)
        if (call.compare(0, Function.size() + 1, Function + "(") == 0)
            calls.push_back(call);
    return calls;
}

template <class... A>
void TFakeLinkApi::Record(const char* Function, const A&... Args) {
    std::string call = std::string(Function) + "(";
    bool first = true;
    ((call += (first ? "" : ", ") + ArgText(Args), first = false), ...);
    Calls.push_back(call + ")");
}

TLinkResult TFakeLinkApi::Scripted(const char* Function) {
    const auto script = FScripts.find(Function);
    if (script == FScripts.end() || script->second.empty())
        return 0;
    const TLinkResult code = script->second.front();
    script->second.pop_front();
    return code;
}

TLinkResult TFakeLinkApi::Check(TDevIndex Index) const {
    if (!IsSerial(Index) && !IsUsb(Index))
        return errParam;
    return IsOpen(Index) ? 0 : errNotOpen;
}

void TFakeLinkApi::Open(TDevIndex Index, int32_t MaxEvents, int32_t MaxEventData,
                        const std::string& Path) {
    TLink link;
    link.MaxEvents = MaxEvents;
    link.MaxEventData = MaxEventData;
    link.Path = Path;
    FLinks[Index] = std::move(link);
}

TLinkResult TFakeLinkApi::AnswerText(const char* Function, TDevIndex Index, char* Buf,
                                     std::string TFakeInstrument::*Text) {
    Record(Function, Index);
    if (const TLinkResult r = Scripted(Function))
        return r;
    if (const TLinkResult r = Check(Index))
        return r;
    if (!Buf)
        return errBuffer;
    StrToCharArray(Instrument(Index).*Text, Buf, sizeof(TDevText));
    return 0;
}

template <class T>
TLinkResult TFakeLinkApi::AnswerValue(const char* Function, TDevIndex Index, T* Buf,
                                      T TFakeInstrument::*Value, bool BufferFirst) {
    Record(Function, Index);
    if (const TLinkResult r = Scripted(Function))
        return r;
    if (BufferFirst && !Buf)
        return errBuffer;
    if (const TLinkResult r = Check(Index))
        return r;
    if (!Buf)
        return errBuffer;
    *Buf = Instrument(Index).*Value;
    return 0;
}

TLinkResult TFakeLinkApi::AnswerSlotText(const char* Function, TDevIndex Index, int32_t Slot,
                                         TDevText* Buf,
                                         std::array<std::string, 10> TFakeInstrument::*Texts) {
    Record(Function, Index, Slot);
    if (const TLinkResult r = Scripted(Function))
        return r;
    if (Slot < 0 || Slot > 9)
        return errParam;
    if (!Buf)
        return errBuffer;
    if (const TLinkResult r = Check(Index))
        return r;
    StrToCharArray((Instrument(Index).*Texts)[static_cast<std::size_t>(Slot)], Buf->Text,
                   sizeof Buf->Text);
    return 0;
}

// --- QuorxComDll: serial links

TLinkResult TFakeLinkApi::OpenComEx(int32_t Port, int32_t MaxEvents, int32_t MaxEventData,
                                    int32_t Baud, int32_t RxQueueSize, uint8_t Nibble) {
    Record("OpenComEx", Port, MaxEvents, MaxEventData, Baud, RxQueueSize, Nibble);
    // The port's previous link is freed whatever the outcome.
    if (IsSerial(Port))
        FLinks.erase(Port);
    if (const TLinkResult r = Scripted("OpenComEx"))
        return r;
    if (!IsSerial(Port) || MaxEvents <= 0 || MaxEventData <= 0)
        return errParam;
    if (HeldPorts.count(Port))
        return errNotOpen;
    Open(Port, MaxEvents, MaxEventData, "");
    return 0;
}

TLinkResult TFakeLinkApi::CloseCom(TDevIndex Index) {
    Record("CloseCom", Index);
    if (const TLinkResult r = Scripted("CloseCom"))
        return r;
    if (!IsSerial(Index))
        return errParam;
    FLinks.erase(Index);
    return 0;
}

uint8_t TFakeLinkApi::IsComAvailable(int32_t Port) {
    Record("IsComAvailable", Port);
    return HeldPorts.count(Port) || (IsSerial(Port) && IsOpen(Port)) ? 0 : 1;
}

TLinkResult TFakeLinkApi::RxQueue(TDevIndex Index, uint32_t* Size) {
    Record("RxQueue", Index);
    if (const TLinkResult r = Scripted("RxQueue"))
        return r;
    if (const TLinkResult r = Check(Index))
        return r;
    if (!IsSerial(Index))
        return errParam;
    if (!Size)
        return errBuffer;
    *Size = RxQueueSize;
    return 0;
}

// --- QuorxComDll: transactions and events

TLinkResult TFakeLinkApi::SetTimeouts(TDevIndex Index, int32_t InterByteMs, int32_t TotalMs) {
    Record("SetTimeouts", Index, InterByteMs, TotalMs);
    if (const TLinkResult r = Scripted("SetTimeouts"))
        return r;
    if (const TLinkResult r = Check(Index))
        return r;
    return InterByteMs < 0 || TotalMs < 0 ? errParam : 0;
}

TLinkResult TFakeLinkApi::SetRecEventProc(TDevIndex Index, TLinkEventHandler Handler) {
    Record("SetRecEventProc", Index, Handler ? "proc" : "nil");
    if (const TLinkResult r = Scripted("SetRecEventProc"))
        return r;
    if (const TLinkResult r = Check(Index))
        return r;
    FLinks.at(Index).Handler = std::move(Handler);
    return 0;
}

TLinkResult TFakeLinkApi::GetNumEvent(TDevIndex Index, int32_t* Count, int32_t* Free,
                                      int32_t* Lost) {
    Record("GetNumEvent", Index);
    if (const TLinkResult r = Scripted("GetNumEvent"))
        return r;
    if (const TLinkResult r = Check(Index))
        return r;
    const TLink& link = FLinks.at(Index);
    const auto queued = static_cast<int32_t>(link.Events.size());
    if (Count)
        *Count = queued;
    if (Free)
        *Free = link.MaxEvents - queued;
    if (Lost)
        *Lost = 0;
    return 0;
}

TLinkResult TFakeLinkApi::GetEvent(TDevIndex Index, uint16_t* Code, uint8_t* Param, void* Buf,
                                   int32_t BufSize, int32_t* DataLen) {
    Record("GetEvent", Index, BufSize);
    if (const TLinkResult r = Scripted("GetEvent"))
        return r;
    if (const TLinkResult r = Check(Index))
        return r;
    TLink& link = FLinks.at(Index);
    if (BufSize < 0 || BufSize > link.MaxEventData)
        return errParam;
    if (link.Events.empty())
        return errNoEvent;
    if (link.Events.front().Data.size() > static_cast<std::size_t>(BufSize))
        return errBuffer;
    const TFakeEvent event = std::move(link.Events.front());
    link.Events.pop_front();
    if (event.Status != 0)
        return event.Status;
    *Code = event.Code;
    *Param = event.Param;
    if (!event.Data.empty())
        std::memcpy(Buf, event.Data.data(), event.Data.size());
    *DataLen = static_cast<int32_t>(event.Data.size());
    return 0;
}

// --- QuorxComDll: device information

TLinkResult TFakeLinkApi::GetDevId(TDevIndex Index, char* Buf) {
    return AnswerText("GetDevId", Index, Buf, &TFakeInstrument::DevId);
}

TLinkResult TFakeLinkApi::GetDevSWVers(TDevIndex Index, char* Buf) {
    return AnswerText("GetDevSWVers", Index, Buf, &TFakeInstrument::DevSWVers);
}

TLinkResult TFakeLinkApi::GetProfileCap(TDevIndex Index, uint16_t* Cap) {
    return AnswerValue("GetProfileCap", Index, Cap, &TFakeInstrument::ProfileCap, false);
}

TLinkResult TFakeLinkApi::GetReqMCap(TDevIndex Index, uint16_t* Cap) {
    return AnswerValue("GetReqMCap", Index, Cap, &TFakeInstrument::ReqMCap, false);
}

// --- QuorxComDll: USB links

TLinkResult TFakeLinkApi::OpenUSBDevice(const char* Path, void** hDevice) {
    Record("OpenUSBDevice", Path);
    *hDevice = InvalidHandle();
    if (const TLinkResult r = Scripted("OpenUSBDevice"))
        return r;
    const std::string path = Path ? Path : "";
    bool present = false;
    for (const TUSBLink& device : UsbDevices)
        present = present || device.Path == path;
    // A device that a link drives cannot be opened a second time.
    for (const auto& [index, link] : FLinks)
        present = present && link.Path != path;
    if (!present)
        return errUsbOpen;
    *hDevice = reinterpret_cast<void*>(1000 + ++FHandleCount);
    FDeviceHandles.insert(*hDevice);
    return 0;
}

TLinkResult TFakeLinkApi::USBInitialize(void* hDevice, void** hWinUsb) {
    Record("USBInitialize", hDevice);
    *hWinUsb = InvalidHandle();
    if (const TLinkResult r = Scripted("USBInitialize"))
        return r;
    if (hDevice == InvalidHandle())
        return errBadHandle;
    if (!FDeviceHandles.count(hDevice))
        return errUsbInit;
    *hWinUsb = reinterpret_cast<void*>(2000 + ++FHandleCount);
    FWinUsbHandles.insert(*hWinUsb);
    return 0;
}

TLinkResult TFakeLinkApi::InitializeDevice(void* hDevice, void* hWinUsb, TDevIndex* Index,
                                           int32_t MaxEvents, int32_t MaxEventData,
                                           const char* Path, int32_t PathLen) {
    const std::string path = Path && PathLen > 0 ? std::string(Path, PathLen) : "";
    Record("InitializeDevice", hDevice, hWinUsb, *Index, MaxEvents, MaxEventData, path, PathLen);
    if (const TLinkResult r = Scripted("InitializeDevice"))
        return r;
    if (*Index > 512 || !FDeviceHandles.count(hDevice) || !FWinUsbHandles.count(hWinUsb))
        return errParam;
    TDevIndex index = *Index;
    if (IsUsb(index)) {
        if (IsOpen(index))
            return errKeyInUse;
    } else {
        index = 257;
        while (IsOpen(index))
            ++index;
        if (index > 512)
            return errDevCreate;
    }
    FDeviceHandles.erase(hDevice);
    FWinUsbHandles.erase(hWinUsb);
    Open(index, MaxEvents, MaxEventData, path);
    for (const TUSBLink& device : UsbDevices)
        if (device.Path == path)
            FInstruments[index] = device.Instrument;
    *Index = index;
    return 0;
}

TLinkResult TFakeLinkApi::GetDevicePath(TDevIndex Index, char* Buf, int32_t* Size) {
    Record("GetDevicePath", Index, *Size);
    if (const TLinkResult r = Scripted("GetDevicePath"))
        return r;
    if (!IsUsb(Index))
        return errParam;
    if (!IsOpen(Index))
        return errNotOpen;
    const std::string& path = FLinks.at(Index).Path;
    if (!Buf || *Size < static_cast<int32_t>(path.size()))
        return errBuffer;
    std::memcpy(Buf, path.data(), path.size());
    *Size = static_cast<int32_t>(path.size());
    return 0;
}

TLinkResult TFakeLinkApi::CloseUSBDevice(TDevIndex Index) {
    Record("CloseUSBDevice", Index);
    if (const TLinkResult r = Scripted("CloseUSBDevice"))
        return r;
    if (!IsUsb(Index) || !IsOpen(Index))
        return errParam;
    FLinks.erase(Index);
    return 0;
}

// --- QuorxComDll: enumeration

TLinkResult TFakeLinkApi::GetCOMInfoList(char* Buf, uint32_t* Size) {
    Record("GetCOMInfoList", Size ? *Size : 0u);
    if (const TLinkResult r = Scripted("GetCOMInfoList"))
        return r;
    return WriteList(ComInfoText, Buf, Size);
}

TLinkResult TFakeLinkApi::GetDevicePathList(TQuorxGuid InterfaceGuid, char* Buf, uint32_t* Size) {
    Record("GetDevicePathList", InterfaceGuid, Size ? *Size : 0u);
    if (const TLinkResult r = Scripted("GetDevicePathList"))
        return r;
    std::string text;
    for (const TUSBLink& device : UsbDevices)
        text += (text.empty() ? "" : "\r\n") + device.Path;
    return WriteList(text, Buf, Size);
}

int32_t TFakeLinkApi::GetSerNumFromDevicePath(const char* Path) {
    Record("GetSerNumFromDevicePath", Path);
    return SerNumFromDevicePath(Path);
}

uint16_t TFakeLinkApi::GetPIDFromDevicePath(const char* Path) {
    Record("GetPIDFromDevicePath", Path);
    return PIDFromDevicePath(Path);
}

// --- Proflink

TLinkResult TFakeLinkApi::GetSWVers(TDevIndex Index, int32_t Slot, TDevText* Buf) {
    return AnswerSlotText("GetSWVers", Index, Slot, Buf, &TFakeInstrument::SWVers);
}

TLinkResult TFakeLinkApi::SetMeasEvent(TDevIndex Index, uint8_t Value) {
    Record("SetMeasEvent", Index, Value);
    if (const TLinkResult r = Scripted("SetMeasEvent"))
        return r;
    if (const TLinkResult r = Check(Index))
        return r;
    FLinks.at(Index).MeasEvent = Value;
    return 0;
}

TLinkResult TFakeLinkApi::GetMeasAll(TDevIndex Index, TMEASall* Buf) {
    return AnswerValue("GetMeasAll", Index, Buf, &TFakeInstrument::Meas, true);
}

TLinkResult TFakeLinkApi::GetStab(TDevIndex Index, int32_t Slot, TStab* Buf) {
    Record("GetStab", Index, Slot);
    if (const TLinkResult r = Scripted("GetStab"))
        return r;
    if (Slot < 0 || Slot > 9)
        return errParam;
    if (!Buf)
        return errBuffer;
    if (const TLinkResult r = Check(Index))
        return r;
    *Buf = Instrument(Index).Stab[static_cast<std::size_t>(Slot)];
    return 0;
}

TLinkResult TFakeLinkApi::GetIDSerial(TDevIndex Index, int32_t Slot, TDevText* Buf) {
    return AnswerSlotText("GetIDSerial", Index, Slot, Buf, &TFakeInstrument::IDSerial);
}

TLinkResult TFakeLinkApi::GetDevUnits(TDevIndex Index, TDevUnits* Buf) {
    return AnswerValue("GetDevUnits", Index, Buf, &TFakeInstrument::Units, true);
}

TLinkResult TFakeLinkApi::GetDevUser(TDevIndex Index, TDevText* Buf) {
    return AnswerText("GetDevUser", Index, Buf ? Buf->Text : nullptr, &TFakeInstrument::User);
}

TLinkResult TFakeLinkApi::EventDataToTMEASall(const void* Src, int32_t Len, TMEASall* Dst) {
    Record("EventDataToTMEASall", Len);
    if (const TLinkResult r = Scripted("EventDataToTMEASall"))
        return r;
    return Proflink::EventDataToTMEASall(Src, Len, Dst);
}

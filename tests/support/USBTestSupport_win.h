// What the Wine tests of a USB link share: the stand-in's test controls, the
// instrument's end of the pty pair, and frames built by hand.
#pragma once

#include "link/core/QuorxComTools.h"
#include "QuorxComDllH.h"
#include "tests/link/usb/standin/WinUsbStandin.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The instruments' device interface class.
inline constexpr TQuorxGuid kUsbClass = {
    0xAB245463, 0xF67A, 0x40EC, {0xB0, 0x96, 0x2A, 0x37, 0xF3, 0x07, 0x93, 0xC5}};

int TestPort();

// The lines of a list, CR LF between them; none for an empty list.
std::vector<std::string> ListLines(const std::string& Text);
std::uint32_t Ms();
// True once Condition holds; false when it still does not after BoundMs.
bool WaitUntil(const std::function<bool()>& Condition, std::uint32_t BoundMs = 2000);

// The highest of 32 new handles: the handle table fills its free slots first,
// so every handle left open in between raises it (Wine's count of a
// process's handles is always 0).
std::uintptr_t HandleHighWater();

// The stand-in's test controls, found in the library the binding loaded.
struct TStandin {
    decltype(&StandinSetWriteMode) SetWriteMode = nullptr;
    decltype(&StandinSetReadMode) SetReadMode = nullptr;
    decltype(&StandinWriteCalls) WriteCalls = nullptr;
    decltype(&StandinOverlappingTransfers) OverlappingTransfers = nullptr;
    decltype(&StandinTransfersInFlight) TransfersInFlight = nullptr;
    decltype(&StandinReadBytesTaken) ReadBytesTaken = nullptr;
    decltype(&StandinReadThread) ReadThread = nullptr;

    // False when the loaded winusb.dll is not the stand-in.
    bool Find();
    // Waits until the stand-in has seen Count more write calls than Base.
    bool AwaitWriteCalls(LONG Base, LONG Count) const;
    bool AwaitTransfer() const;
    bool AwaitNoTransfers() const;
    // Waits until the reader has taken Count more bytes than Base.
    bool AwaitReadBytesTaken(LONG Base, LONG Count) const;
};

// The far end of the pty pair, as the instrument sees it.
class TPeer {
public:
    TPeer();
    ~TPeer();
    TPeer(const TPeer&) = delete;
    TPeer& operator=(const TPeer&) = delete;
    bool Ok() const { return FHandle != INVALID_HANDLE_VALUE; }
    void Send(const Bytes& Data);
    // What arrives until Count bytes are in or WaitMs have passed.
    Bytes Receive(std::size_t Count, std::uint32_t WaitMs = 3000);
    // True when nothing more arrives within 300 ms.
    bool Quiet() { return Receive(1, 300).empty(); }

private:
    HANDLE FHandle = INVALID_HANDLE_VALUE;
};

// The registry entries by which the platform lists a present interface of the
// instrument class: USB\<VidPid>\<Serial>, with the path
// \\?\usb#<vidpid>#<serial>#{class}. Removed again by the destructor.
class TRegisteredDevice {
public:
    TRegisteredDevice(const std::string& VidPid, const std::string& Serial);
    ~TRegisteredDevice();
    TRegisteredDevice(const TRegisteredDevice&) = delete;
    TRegisteredDevice& operator=(const TRegisteredDevice&) = delete;
    bool Ok() const { return FOk; }
    const std::string& Path() const { return FPath; }

private:
    std::string FInterfaceKey;
    std::string FDeviceKey;
    std::string FPath;
    bool FOk = false;
};

// A request frame as the device object sends it.
Bytes RequestFrame(std::uint16_t ReqNo, std::uint8_t Param);
// A reply frame as the instrument sends it: F3, data, F6, status 0, check.
Bytes ReplyFrame(const std::string& Data);

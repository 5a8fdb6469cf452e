#include "tests/support/USBTestSupport_win.h"

#include "common/ProcBinding_win.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

int TestPort() {
    const char* n = std::getenv("QUORX_COM_PORT");
    return n ? std::atoi(n) : 0;
}

std::vector<std::string> ListLines(const std::string& Text) {
    std::vector<std::string> lines;
    if (Text.empty())
        return lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = Text.find("\r\n", start);
        lines.push_back(Text.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 2;
    }
}

std::uint32_t Ms() {
    return GetTickCount();
}

bool WaitUntil(const std::function<bool()>& Condition, std::uint32_t BoundMs) {
    const std::uint32_t start = Ms();
    while (!Condition()) {
        if (Ms() - start >= BoundMs)
            return Condition();
        Sleep(5);
    }
    return true;
}

std::uintptr_t HandleHighWater() {
    HANDLE probes[32];
    std::uintptr_t highest = 0;
    for (HANDLE& probe : probes) {
        probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        highest = std::max(highest, reinterpret_cast<std::uintptr_t>(probe));
    }
    for (HANDLE probe : probes)
        CloseHandle(probe);
    return highest;
}

bool TStandin::Find() {
    const HMODULE module = GetModuleHandleA("winusb.dll");
    if (module == nullptr)
        return false;
    BindProc(module, "StandinSetWriteMode", SetWriteMode);
    BindProc(module, "StandinSetReadMode", SetReadMode);
    BindProc(module, "StandinWriteCalls", WriteCalls);
    BindProc(module, "StandinOverlappingTransfers", OverlappingTransfers);
    BindProc(module, "StandinTransfersInFlight", TransfersInFlight);
    BindProc(module, "StandinReadBytesTaken", ReadBytesTaken);
    BindProc(module, "StandinReadThread", ReadThread);
    return SetWriteMode && SetReadMode && WriteCalls && OverlappingTransfers && TransfersInFlight &&
           ReadBytesTaken && ReadThread;
}

bool TStandin::AwaitWriteCalls(LONG Base, LONG Count) const {
    return WaitUntil([&] { return WriteCalls() >= Base + Count; });
}

bool TStandin::AwaitTransfer() const {
    return WaitUntil([&] { return TransfersInFlight() > 0; });
}

bool TStandin::AwaitNoTransfers() const {
    return WaitUntil([&] { return TransfersInFlight() == 0; });
}

bool TStandin::AwaitReadBytesTaken(LONG Base, LONG Count) const {
    return WaitUntil([&] { return ReadBytesTaken() >= Base + Count; });
}

TPeer::TPeer() {
    const char* path = std::getenv("QUORX_SIM_PTY");
    if (path == nullptr)
        return;
    std::string win = std::string("Z:") + path;
    std::replace(win.begin(), win.end(), '/', '\\');
    FHandle = CreateFileA(win.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                          nullptr);
    // A read gives up after 200 ms without a byte.
    COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, 200, 0, 0};
    SetCommTimeouts(FHandle, &timeouts);
}

TPeer::~TPeer() {
    if (FHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHandle);
}

void TPeer::Send(const Bytes& Data) {
    DWORD n = 0;
    WriteFile(FHandle, Data.data(), static_cast<DWORD>(Data.size()), &n, nullptr);
}

Bytes TPeer::Receive(std::size_t Count, std::uint32_t WaitMs) {
    Bytes got;
    const std::uint32_t start = Ms();
    while (got.size() < Count && Ms() - start < WaitMs) {
        std::uint8_t buf[4096];
        DWORD n = 0;
        const DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(sizeof buf, Count - got.size()));
        if (!ReadFile(FHandle, buf, want, &n, nullptr))
            Sleep(10);
        got.insert(got.end(), buf, buf + n);
    }
    return got;
}

namespace {

const std::string kClassGuid = "{ab245463-f67a-40ec-b096-2a37f30793c5}";

std::string Cased(std::string Text, int (*Convert)(int)) {
    for (char& c : Text)
        c = static_cast<char>(Convert(static_cast<unsigned char>(c)));
    return Text;
}

bool SetText(const std::string& Key, const char* Name, const std::string& Text) {
    return RegSetKeyValueA(HKEY_LOCAL_MACHINE, Key.c_str(), Name, REG_SZ, Text.c_str(),
                           static_cast<DWORD>(Text.size() + 1)) == ERROR_SUCCESS;
}

} // namespace

TRegisteredDevice::TRegisteredDevice(const std::string& VidPid, const std::string& Serial) {
    const std::string vidPid = Cased(VidPid, std::toupper);
    FInterfaceKey = "System\\CurrentControlSet\\Control\\DeviceClasses\\" + kClassGuid +
                    "\\##?#USB#" + vidPid + "#" + Serial + "#" + kClassGuid;
    FDeviceKey = "System\\CurrentControlSet\\Enum\\USB\\" + vidPid;
    FPath = "\\\\?\\usb#" + Cased(VidPid, std::tolower) + "#" + Serial + "#" + kClassGuid;
    const DWORD linked = 1;
    FOk =
        SetText(FInterfaceKey, "DeviceInstance", "USB\\" + vidPid + "\\" + Serial) &&
        SetText(FInterfaceKey + "\\#", "SymbolicLink", FPath) &&
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, (FInterfaceKey + "\\#\\Control").c_str(), "Linked",
                        REG_DWORD, &linked, sizeof linked) == ERROR_SUCCESS &&
        SetText(FDeviceKey + "\\" + Serial, "ClassGUID", "{88bae032-5a81-49f0-bc3d-a4ff138216d6}");
}

TRegisteredDevice::~TRegisteredDevice() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, FInterfaceKey.c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, FDeviceKey.c_str());
}

Bytes RequestFrame(std::uint16_t ReqNo, std::uint8_t Param) {
    const std::uint8_t fields[] = {static_cast<std::uint8_t>(ReqNo & 0xFF),
                                   static_cast<std::uint8_t>(ReqNo >> 8), Param};
    Bytes frame = {0xF1};
    Bytes stuffed;
    StuffBytes(fields, 3, stuffed);
    frame.insert(frame.end(), stuffed.begin(), stuffed.end());
    frame.push_back(0xF6);
    const std::uint16_t check = Checksum16(frame.data(), static_cast<int>(frame.size()));
    const std::uint8_t checkBytes[] = {static_cast<std::uint8_t>(check & 0xFF),
                                       static_cast<std::uint8_t>(check >> 8)};
    StuffBytes(checkBytes, 2, stuffed);
    frame.insert(frame.end(), stuffed.begin(), stuffed.end());
    return frame;
}

Bytes ReplyFrame(const std::string& Data) {
    Bytes frame = {0xF3};
    Bytes stuffed;
    StuffBytes(Data.data(), static_cast<int>(Data.size()), stuffed);
    frame.insert(frame.end(), stuffed.begin(), stuffed.end());
    frame.push_back(0xF6);
    frame.push_back(0x00);
    const std::uint16_t check = Checksum16(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(static_cast<std::uint8_t>(check & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(check >> 8));
    return frame;
}

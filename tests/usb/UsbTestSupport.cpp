#include "UsbTestSupport.h"

#include <algorithm>
#include <cstdlib>

int TestPort() {
    const char* n = std::getenv("QUORX_COM_PORT");
    return n ? std::atoi(n) : 0;
}

std::uint32_t Ms() {
    return GetTickCount();
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

namespace {

template <class T>
void Bind(HMODULE Module, const char* Name, T& Slot) {
    Slot = reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(Module, Name)));
}

} // namespace

bool TStandin::Find() {
    const HMODULE module = GetModuleHandleA("winusb.dll");
    if (module == nullptr)
        return false;
    Bind(module, "StandinSetWriteMode", SetWriteMode);
    Bind(module, "StandinSetReadMode", SetReadMode);
    Bind(module, "StandinWriteCalls", WriteCalls);
    Bind(module, "StandinOverlappingTransfers", OverlappingTransfers);
    Bind(module, "StandinTransfersInFlight", TransfersInFlight);
    return SetWriteMode && SetReadMode && WriteCalls && OverlappingTransfers && TransfersInFlight;
}

bool TStandin::AwaitWriteCalls(LONG Base, LONG Count) const {
    for (int i = 0; i < 400 && WriteCalls() < Base + Count; ++i)
        Sleep(5);
    return WriteCalls() >= Base + Count;
}

bool TStandin::AwaitNoTransfers() const {
    for (int i = 0; i < 400 && TransfersInFlight() > 0; ++i)
        Sleep(5);
    return TransfersInFlight() == 0;
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

#include "link/serial/QCCom32_win.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

std::uint32_t DcbFlagWord(bool CtsFlowControl) {
    constexpr std::uint32_t DtrEnable = 0x0010;
    constexpr std::uint32_t CtsOutFlow = 0x0004;
    constexpr std::uint32_t RtsEnable = 0x1000;
    constexpr std::uint32_t RtsHandshake = 0x2000;
    return DtrEnable | (CtsFlowControl ? (RtsHandshake | CtsOutFlow) : RtsEnable);
}

namespace {

// The flag word sits right after the baud rate in the DCB.
void SetFlagWord(DCB& State, std::uint32_t Word) {
    static_assert(offsetof(DCB, BaudRate) + sizeof(DWORD) == 8);
    std::memcpy(reinterpret_cast<unsigned char*>(&State) + 8, &Word, sizeof Word);
}

} // namespace

T_QCCom32::T_QCCom32() = default;

bool T_QCCom32::AskRetry(const char* Text) const {
    return MessageBoxA(nullptr, Text, "Warning", MB_ABORTRETRYIGNORE | MB_ICONWARNING) == IDRETRY;
}

HANDLE T_QCCom32::CreatePortHandle() {
    const std::string name = "\\\\.\\COM" + std::to_string(FPort);
    for (;;) {
        HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || !FShowErrors)
            return h;
        const std::string text = "Error opening COM" + std::to_string(FPort) + ": ";
        if (!AskRetry(text.c_str()))
            return INVALID_HANDLE_VALUE;
    }
}

bool T_QCCom32::Configure() {
    DCB state{};
    state.DCBlength = sizeof state;
    if (!GetCommState(FHandle.Get(), &state))
        return false;
    state.BaudRate = static_cast<DWORD>(FBaud);
    state.ByteSize = static_cast<BYTE>(FDataBits);
    state.Parity = NOPARITY;
    state.StopBits = FStopBitsTwo ? TWOSTOPBITS : ONESTOPBIT;
    SetFlagWord(state, DcbFlagWord(FCtsFlowControl));
    if (!SetCommState(FHandle.Get(), &state))
        return false;

    COMMPROP props{};
    if (GetCommProperties(FHandle.Get(), &props)) {
        if (FRxQueueSize == 0)
            FRxQueueSize = props.dwCurrentRxQueue;
        else if (props.dwMaxRxQueue != 0 && props.dwMaxRxQueue < FRxQueueSize)
            FRxQueueSize = props.dwMaxRxQueue;
        SetupComm(FHandle.Get(), FRxQueueSize, 0);
        if (GetCommProperties(FHandle.Get(), &props))
            FRxQueueSize = props.dwCurrentRxQueue;
    }

    COMMTIMEOUTS timeouts{};
    if (GetCommTimeouts(FHandle.Get(), &timeouts)) {
        // Only a CTS-controlled line may hold a write back; bound it per byte.
        timeouts.WriteTotalTimeoutMultiplier = FCtsFlowControl ? 2000 : 0;
        SetCommTimeouts(FHandle.Get(), &timeouts);
    }
    return true;
}

bool T_QCCom32::Open() {
    Close();
    FConfigFailed = false;
    FHandle.Reset(CreatePortHandle());
    if (!Opened())
        return false;
    FConfigFailed = !Configure();
    return !FConfigFailed;
}

void T_QCCom32::Close() {
    FHandle.Reset();
}

int T_QCCom32::InCount() const {
    if (!Opened())
        return 0;
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(FHandle.Get(), &errors, &stat))
        return 0;
    return static_cast<int>(std::min<DWORD>(stat.cbInQue, 0x7FFFFFFF));
}

bool T_QCCom32::WriteString(const void* Data, int Count) {
    if (!Opened() || Count < 0 || (Data == nullptr && Count > 0))
        return false;
    if (Count == 0)
        return true;
    DWORD written = 0;
    return WriteFile(FHandle.Get(), Data, static_cast<DWORD>(Count), &written, nullptr) &&
           written == static_cast<DWORD>(Count);
}

bool T_QCCom32::ReadModemStatus(std::uint32_t& Status) {
    DWORD s = 0;
    if (!Opened() || !GetCommModemStatus(FHandle.Get(), &s))
        return false;
    Status = s;
    return true;
}

int T_QCCom32::ReadBuf(void* Buf, int MaxLen) {
    if (!Opened() || Buf == nullptr || MaxLen <= 0)
        return 0;
    const int count = std::min(MaxLen, InCount());
    if (count <= 0)
        return 0;
    DWORD got = 0;
    if (!ReadFile(FHandle.Get(), Buf, static_cast<DWORD>(count), &got, nullptr))
        return 0;
    return static_cast<int>(got);
}

std::string T_QCCom32::ReadString() {
    std::string result;
    FTimedOut = false;
    DWORD start = GetTickCount();
    if (FInUse) {
        if (FShowErrors)
            MessageBoxA(nullptr, "COM - Port is in use -- operation aborted", "Warning",
                        MB_OK | MB_ICONWARNING);
        return result;
    }
    FInUse = true;
    if (Opened()) {
        if (FEndOfResponse.empty()) {
            std::vector<char> buf(static_cast<std::size_t>(std::max(InCount(), 0)));
            const int got = ReadBuf(buf.data(), static_cast<int>(buf.size()));
            result.assign(buf.data(), static_cast<std::size_t>(got));
            result.resize(std::min(result.size(), result.find('\0')));
        } else {
            while (result.find(FEndOfResponse) == std::string::npos) {
                char c;
                if (ReadBuf(&c, 1) == 1) {
                    result.push_back(c);
                    continue;
                }
                if (GetTickCount() - start > FResponseTime) {
                    FTimedOut = true;
                    if (!FShowErrors || !AskRetry("COM Port: Timeout waiting for response."))
                        break;
                    start = GetTickCount();
                }
                ::Sleep(1);
            }
        }
    }
    FInUse = false;
    return result;
}

void T_QCCom32::Purge() {
    if (Opened())
        PurgeComm(FHandle.Get(), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void T_QCCom32::PurgeInput() {
    if (Opened())
        PurgeComm(FHandle.Get(), PURGE_RXABORT | PURGE_RXCLEAR);
}

std::uint32_t T_QCCom32::CurrentRxQueue() const {
    COMMPROP props{};
    if (!Opened() || !GetCommProperties(FHandle.Get(), &props))
        return 0xFFFFFFFF;
    return props.dwCurrentRxQueue;
}

std::uint32_t T_QCCom32::MaxRxQueue() const {
    COMMPROP props{};
    if (!Opened() || !GetCommProperties(FHandle.Get(), &props))
        return 0xFFFFFFFF;
    return props.dwMaxRxQueue;
}

bool T_QCCom32::GetState(DCB& State) const {
    State.DCBlength = sizeof State;
    return Opened() && GetCommState(FHandle.Get(), &State);
}

bool T_QCCom32::SetState(DCB& State) const {
    return Opened() && SetCommState(FHandle.Get(), &State);
}

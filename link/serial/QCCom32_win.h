// T_QCCom32: one serial port of the platform ("\\.\COMn") with the line settings
// of a link: plain byte writes and reads of what is waiting, modem status,
// purge, receive queue sizes, and a text read with an end marker.
#pragma once

#include "common/WinRes_win.h"
#include "link/core/LinkPort.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The DCB flag word of a link: DTR enabled, and RTS enabled or, with CTS flow
// control, RTS handshake with CTS output flow control; nothing else.
std::uint32_t DcbFlagWord(bool CtsFlowControl);

class T_QCCom32 : public IBytePort {
public:
    T_QCCom32();
    T_QCCom32(const T_QCCom32&) = delete;
    T_QCCom32& operator=(const T_QCCom32&) = delete;

    std::uint32_t ResponseTime() const { return FResponseTime; }
    void SetResponseTime(std::uint32_t Ms) { FResponseTime = Ms; }
    // Writing one of these with a new value reopens an open port.
    int Baud() const { return FBaud; }
    void SetBaud(int Value) { Change(FBaud, Value); }
    bool StopBitsTwo() const { return FStopBitsTwo; }
    void SetStopBitsTwo(bool Value) { Change(FStopBitsTwo, Value); }
    int Port() const { return FPort; }
    void SetPort(int Value) { Change(FPort, Value); }
    int DataBits() const { return FDataBits; }
    void SetDataBits(int Value) { Change(FDataBits, Value); }
    bool CtsFlowControl() const { return FCtsFlowControl; }
    void SetCtsFlowControl(bool Value) { Change(FCtsFlowControl, Value); }
    // 0 keeps the driver's size; after an open, the driver's current size.
    std::uint32_t RxQueueSize() const { return FRxQueueSize; }
    void SetRxQueueSize(std::uint32_t Value) { Change(FRxQueueSize, Value); }
    const std::string& EndOfResponse() const { return FEndOfResponse; }
    void SetEndOfResponse(const std::string& Marker) { FEndOfResponse = Marker; }
    bool ShowErrors() const { return FShowErrors; }
    void SetShowErrors(bool Value) { FShowErrors = Value; }

    int InCount() const;
    bool Opened() const { return static_cast<bool>(FHandle); }
    bool InUse() const { return FInUse; }
    HANDLE GetHandle() const { return FHandle.Get(); }
    bool TimedOut() const { return FTimedOut; }
    // True when the last open got a handle but the line settings could not be
    // read or applied (a baud rate the driver refuses, say).
    bool ConfigFailed() const { return FConfigFailed; }

    bool Open();
    void Close();
    bool WriteString(const void* Data, int Count);
    bool ReadModemStatus(std::uint32_t& Status) override;
    int ReadBuf(void* Buf, int MaxLen);
    std::string ReadString();
    void Purge() override;
    void PurgeInput() override;
    std::uint32_t CurrentRxQueue() const;
    std::uint32_t MaxRxQueue() const;
    bool GetState(DCB& State) const;
    bool SetState(DCB& State) const;

    bool Write(const std::uint8_t* Data, int Count) override { return WriteString(Data, Count); }
    int Read(std::uint8_t* Buf, int Max) override { return ReadBuf(Buf, Max); }

private:
    template <class T>
    void Change(T& Field, T Value) {
        if (Field == Value)
            return;
        Field = Value;
        if (Opened())
            Open();
    }
    HANDLE CreatePortHandle();
    bool Configure();
    bool AskRetry(const char* Text) const;

    THandle FHandle;
    std::uint32_t FResponseTime = 1000;
    int FBaud = 9600;
    bool FStopBitsTwo = false;
    int FPort = 1;
    int FDataBits = 0;
    bool FCtsFlowControl = false;
    std::uint32_t FRxQueueSize = 0;
    std::string FEndOfResponse;
    bool FShowErrors = true;
    bool FInUse = false;
    bool FTimedOut = false;
    bool FConfigFailed = false;
};

// Owner of a temporary port object (IsComAvailable); closes and frees it.
class TCTemp {
public:
    T_QCCom32 Com;
};

// The system tick counter and sleep.
class TTickClock : public IClock {
public:
    std::uint32_t Now() override { return GetTickCount(); }
    void Sleep(std::uint32_t Ms) override { ::Sleep(Ms); }
};

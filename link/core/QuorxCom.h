// TNPDev: one open link to one instrument (serial, bus, modem or USB) over a
// byte port and a clock: the receive state machine, the event queue, and the
// request and command transactions with their time-outs and bus rules.
//
// The platform layer owns the port, the clock and the 100 ms event timer:
// it opens its port, calls LinkOpened, runs the timer while TimerEnabled() and
// calls TimerTick from it, in the thread that opened the link.
#pragma once

#include "link/core/LinkPort.h"
#include "link/core/QuorxEvents.h"
#include "QuorxComDllH.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

constexpr int kInterByteTimeoutMs = 1000;
constexpr int kTotalTimeoutMs = 10000;
constexpr int kSerialReadMax = 10240;
constexpr int kUsbReadMax = 512;
constexpr int kPollSleepMs = 20;
constexpr int kBusAnswerMs = 1000;
constexpr std::uint8_t kBusBroadcast = 126;

// Addresses a bus link accepts: 0..112, 125, and the broadcast address 126.
bool BusAddressAccepted(int Addr);

enum class TLinkKind { Serial, Usb };

struct TLinkSetup {
    TLinkKind Kind = TLinkKind::Serial;
    int Number = 0; // COM port number, or the USB key 1..256
    bool Modem = false;
    bool Bus = false;
    bool Nibble = false;
    int MaxEvents = 0;
    int MaxEventData = 0;
};

// The frame being received.
struct TProtIn {
    std::uint16_t StartCode = 0; // 0xF3 reply, 0xF5 event
    Ttelegr Telegram;            // a reply's status byte lands in the low byte of Status
    std::uint16_t ReceivedCheck = 0;
};

// States of the receiver, in the order a frame passes them.
enum class TRxState : std::int32_t {
    Start,
    CodeLow, // event header: code low, code high, parameter
    CodeHigh,
    Param,
    Data,
    Status, // a reply's status byte
    CheckLow,
    CheckHigh,
    Discard, // until the next control byte
    Complete,
};

// The receiver's state; the next data byte goes to offset Count of the
// current call's reply buffer, or to the event data.
struct TReceive {
    bool InFrame = false; // a start byte was seen and 0xF6 is still to come
    TRxState State = TRxState::Start;
    bool IsReply = false;
    bool EscapePending = false;
    std::uint16_t Check = 0;
    std::int32_t Count = 0;
    TProtIn Frame;
};

class TNPDev {
public:
    TNPDev(IBytePort& Port, IClock& Clock);
    TNPDev(const TNPDev&) = delete;
    TNPDev& operator=(const TNPDev&) = delete;

    // After the platform opened the port (serial) or created the USB device:
    // kind and modes, an emptied receive side, default time-outs, the queue's
    // bounds, lost counter 0; a serial port is purged.
    void LinkOpened(const TLinkSetup& Setup);

    bool UsbLink() const { return kind_ == TLinkKind::Usb; }
    bool ModemMode() const { return modem_; }
    bool BusMode() const { return bus_; }
    bool NibbleMode() const { return nibble_; }
    std::uint8_t BusAddress() const { return busAddress_; }
    void SetBusAddress(std::uint8_t Addr) { busAddress_ = Addr; }
    // The device index: the COM port number, or 256 + the USB key.
    int Index() const;
    // Whether the platform's event timer runs for this link (never on a bus).
    bool TimerEnabled() const { return !bus_; }
    int InterByteTimeout() const { return interByteTimeout_; }
    int TotalTimeout() const { return totalTimeout_; }
    int MaxEvents() const { return events_.MaxEvents(); }
    int MaxEventData() const { return events_.MaxEventData(); }
    const TReceive& Receiver() const { return receive_; }
    // Received bytes not parsed yet.
    int PendingInput() const { return static_cast<int>(rxText_.size() - rxPos_); }

    // Appends what is waiting: up to 10240 bytes of a serial port (nibble
    // decoded in nibble mode), up to 512 of a USB link.
    void ReadInput();
    // Runs the receive state machine over the received bytes; replies go to
    // RxBuf (none in event mode), events to the queue. Stops after a complete
    // reply, leaving what follows it for the next call. 0 or a result code.
    TLinkResult ParseInput(bool EventMode, void* RxBuf, int RxLen, int* RxCount, bool* Done,
                           std::uint16_t StartValue);
    // Copies Count bytes to Pos and advances it; errNilStore for a nil Pos or Source.
    static TLinkResult StoreBytes(std::uint8_t*& Pos, const void* Source, int Count);

    int QueueEvent(const Ttelegr& Event) { return events_.QueueEvent(Event); }
    TLinkResult TakeEvent(std::uint16_t* Code, std::uint8_t* Param, void* Buf, int BufSize,
                          int* DataLen) {
        return events_.TakeEvent(Code, Param, Buf, BufSize, DataLen);
    }
    int EventCounts(int* Free, int* Lost) const { return events_.EventCounts(Free, Lost); }

    // One transaction, kind 0xF1 or 0xF2. RxLen > 0: exactly RxLen reply bytes;
    // < 0: at most -RxLen; 0: none. Result 0, the instrument's status 1..255
    // or a code. The time-outs are back at 1000 / 10000 ms afterwards.
    TLinkResult Request(std::uint16_t ReqNo, std::uint8_t Param, const void* TxData, int TxLen,
                        void* RxBuf, int RxLen, int* RxCount);
    TLinkResult Command(std::uint16_t ReqNo, std::uint8_t Param, const void* TxData, int TxLen,
                        void* RxBuf, int RxLen, int* RxCount);
    TLinkResult Transact(std::uint8_t Kind, std::uint16_t ReqNo, std::uint8_t Param,
                         const void* TxData, int TxLen, void* RxBuf, int RxLen, int* RxCount);
    // Command 0 and its answer "95168" (ClearOutBuff): 0, 263 or the transaction's code.
    TLinkResult ClearOutBuffer();

    // Bus links: select (true) or release (false) the instrument at the bus address.
    TLinkResult BusSelect(bool Select);
    // False only for a modem link without carrier (or unreadable modem status).
    bool Ready();

    TLinkResult SetInterByteTimeout(int Ms);
    TLinkResult SetTimeoutPair(int InterByteMs, int TotalMs);
    void SetEventProc(TRecEventProc Proc) { eventProc_ = Proc; }

    // The event timer's handler: read, queue events (replies are discarded),
    // call the event procedure while events are queued. Never throws. While a
    // transaction runs on the link (in another thread) the tick does nothing:
    // the input is that transaction's.
    void TimerTick() noexcept;
    // The tick without its call: the procedure to call (none while no event is
    // queued) and the index to call it with, for a timer that must let go of
    // the link before the procedure runs.
    struct TTickCall {
        TRecEventProc Proc = nullptr;
        int Index = 0;
    };
    TTickCall TickInput() noexcept;

private:
    class TTimeoutRestore;

    TLinkResult StepFrame(std::uint32_t V, bool Stuffed, bool EventMode, void* RxBuf, int RxLen,
                          bool* Done);
    TLinkResult FinishFrame(int RxLen, int* RxCount, bool* Done);
    void ResetReceive();
    void DropPartialReply();
    void SettleReceiver();
    void ClearReceiveText();
    void CompactReceiveText();
    bool PendingHas(std::uint8_t B) const;
    void SendPoll();
    TLinkResult AwaitReply(void* RxBuf, int RxLen, int* RxCount, std::uint16_t StartValue);
    bool Elapsed(std::uint32_t Since, int LimitMs) {
        return TicksSince(Since, clock_.Now()) > static_cast<std::uint32_t>(LimitMs);
    }

    IBytePort& port_;
    IClock& clock_;
    TLinkKind kind_ = TLinkKind::Serial;
    int number_ = 0;
    bool modem_ = false;
    bool bus_ = false;
    bool nibble_ = false;
    std::uint8_t savedNibble_ = 0;
    std::uint8_t busAddress_ = 0;
    int interByteTimeout_ = kInterByteTimeoutMs;
    int totalTimeout_ = kTotalTimeoutMs;
    Bytes rxText_;
    std::size_t rxPos_ = 0; // bytes of rxText_ already parsed
    std::array<std::uint8_t, kSerialReadMax> readBuf_{};
    TEventQueue events_;
    std::atomic<TRecEventProc> eventProc_{nullptr};
    // Held by a transaction, and by a timer tick while it reads and parses.
    std::mutex line_;
    TReceive receive_;
};

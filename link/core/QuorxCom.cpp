// TNPDev: set-up, transactions with their time-outs, bus selection, modem
// readiness and the event timer's handler.
#include "link/core/QuorxCom.h"

#include "common/LinkIndex.h"
#include "link/core/QuorxFrame.h"

#include <cstdlib>

namespace {

// A bus selection does not sleep while bytes arrive; when none came it yields
// this long, so that a selection never spins on an idle line.
constexpr std::uint32_t kBusIdleSleepMs = 1;

} // namespace

bool BusAddressAccepted(int Addr) {
    return (Addr >= 0 && Addr <= 112) || Addr == 125 || Addr == kBusBroadcast;
}

// Every transaction leaves the default time-outs behind, whichever way it ends.
class TNPDev::TTimeoutRestore {
public:
    explicit TTimeoutRestore(TNPDev& Dev) : dev_(Dev) {}
    TTimeoutRestore(const TTimeoutRestore&) = delete;
    TTimeoutRestore& operator=(const TTimeoutRestore&) = delete;
    ~TTimeoutRestore() {
        dev_.interByteTimeout_ = kInterByteTimeoutMs;
        dev_.totalTimeout_ = kTotalTimeoutMs;
    }

private:
    TNPDev& dev_;
};

TNPDev::TNPDev(IBytePort& Port, IClock& Clock) : port_(Port), clock_(Clock) {}

void TNPDev::LinkOpened(const TLinkSetup& Setup) {
    kind_ = Setup.Kind;
    number_ = Setup.Number;
    const bool serial = Setup.Kind == TLinkKind::Serial;
    modem_ = serial && Setup.Modem;
    bus_ = serial && Setup.Bus;
    nibble_ = serial && Setup.Nibble;
    if (serial)
        port_.Purge();
    ClearReceiveText();
    savedNibble_ = 0;
    interByteTimeout_ = kInterByteTimeoutMs;
    totalTimeout_ = kTotalTimeoutMs;
    events_.Configure(Setup.MaxEvents, Setup.MaxEventData);
    ResetReceive();
}

int TNPDev::Index() const {
    return (UsbLink() ? TDeviceIndex::ForUsbKey(number_) : TDeviceIndex::ForCom(number_)).Value();
}

TLinkResult TNPDev::Request(std::uint16_t ReqNo, std::uint8_t Param, const void* TxData, int TxLen,
                            void* RxBuf, int RxLen, int* RxCount) {
    return Transact(kFrameRequest, ReqNo, Param, TxData, TxLen, RxBuf, RxLen, RxCount);
}

TLinkResult TNPDev::Command(std::uint16_t ReqNo, std::uint8_t Param, const void* TxData, int TxLen,
                            void* RxBuf, int RxLen, int* RxCount) {
    return Transact(kFrameCommand, ReqNo, Param, TxData, TxLen, RxBuf, RxLen, RxCount);
}

TLinkResult TNPDev::Transact(std::uint8_t Kind, std::uint16_t ReqNo, std::uint8_t Param,
                             const void* TxData, int TxLen, void* RxBuf, int RxLen, int* RxCount) {
    const std::lock_guard<std::mutex> hold(line_);
    TTimeoutRestore restore(*this);
    if ((RxBuf == nullptr && RxLen != 0) || (TxData == nullptr && TxLen > 0))
        return errBuffer;
    const long long rxLimit = std::llabs(static_cast<long long>(RxLen));
    if (rxLimit > 1)
        ZeroBytes(RxBuf, static_cast<int>(rxLimit - 1));
    SettleReceiver();

    TLinkResult result = bus_ ? BusSelect(true) : 0;
    if (!Ready())
        return errNotReady;
    if (result != 0)
        return result;

    const TOutFrame frame =
        BuildFrame(Kind, ReqNo, Param, TxData, TxLen, bus_ ? Checksum16(&busAddress_, 1) : 0);
    const Bytes wire = nibble_ ? NibbleEncode(frame.Wire) : frame.Wire;
    if (modem_)
        port_.Purge();
    const bool written = port_.Write(wire.data(), static_cast<int>(wire.size()));
    const bool sent =
        written || UsbLink(); // a USB write is queued; its failure shows as a time-out
    if (!sent)
        result = errWrite;
    if (sent && !(bus_ && busAddress_ >= kBusBroadcast)) {
        const std::uint16_t startValue = bus_ ? Checksum16Cont(frame.Check, &busAddress_, 1) : 0;
        result = AwaitReply(RxBuf, RxLen, RxCount, startValue);
    }
    if (bus_ && busAddress_ == kBusBroadcast && RxLen > 0)
        result = errLength;
    return result;
}

void TNPDev::SendPoll() {
    const std::uint8_t poll[2] = {kBusSelect, busAddress_};
    port_.Write(poll, 2);
}

TLinkResult TNPDev::AwaitReply(void* RxBuf, int RxLen, int* RxCount, std::uint16_t StartValue) {
    TLinkResult result = 0;
    bool done = false;
    std::uint32_t pollTime = 0;
    if (bus_) {
        SendPoll();
        pollTime = clock_.Now();
    }
    const std::uint32_t start = clock_.Now();
    std::uint32_t lastByte = start;
    while (!done && result == 0) {
        clock_.Sleep(kPollSleepMs);
        ReadInput();
        if (PendingInput() > 0)
            lastByte = clock_.Now();
        if (Elapsed(lastByte, interByteTimeout_))
            result = errByteTimeout;
        const int before = PendingInput();
        ReadInput();
        if (PendingInput() > before && result == errByteTimeout) {
            lastByte = clock_.Now();
            result = 0;
        }
        if (bus_ && PendingHas(kBusAnswer)) {
            clock_.Sleep(kPollSleepMs);
            SendPoll();
            pollTime = clock_.Now();
        }
        if (result == 0)
            result = ParseInput(false, RxBuf, RxLen, RxCount, &done, StartValue);
        if (bus_ && Elapsed(pollTime, kBusAnswerMs) && receive_.State != TRxState::Discard && !done)
            result = errBusNoAnswer;
        if (Elapsed(start, totalTimeout_) && !done)
            result = errTimeout;
    }
    if (bus_ && done && result == 0)
        result = BusSelect(false);
    return result;
}

TLinkResult TNPDev::BusSelect(bool Select) {
    // Input only: a broadcast returns without a reply, so its frame may still be
    // on its way out when the next selection starts.
    port_.PurgeInput();
    ClearReceiveText();
    DropPartialReply();
    receive_.State = TRxState::Discard;
    if (Select) {
        SendPoll();
    } else {
        const std::uint8_t release = kBusRelease;
        port_.Write(&release, 1);
    }
    // Scratch for stray replies: they are consumed here, never handed to a caller.
    Bytes scratch(kSerialReadMax);
    const std::uint32_t begin = clock_.Now();
    std::uint32_t lastByte = begin;
    std::uint32_t pollStart = begin;
    bool answered = false;
    TLinkResult result = 0;
    const auto goesOn = [&] { return !answered && result == 0 && busAddress_ != kBusBroadcast; };
    do {
        ReadInput();
        if (Elapsed(lastByte, interByteTimeout_))
            result = errByteTimeout;
        if (Elapsed(pollStart, kBusAnswerMs))
            result = errBusNoAnswer;
        ReadInput();
        if (PendingInput() == 0) {
            if (goesOn())
                clock_.Sleep(kBusIdleSleepMs);
        } else {
            if (result == errByteTimeout || result == errBusNoAnswer)
                result = 0;
            answered = PendingHas(kBusAnswer);
            bool strayReply = false;
            if (!answered) {
                int strayCount = 0;
                result =
                    ParseInput(false, scratch.data(), -kSerialReadMax, &strayCount, &strayReply, 0);
            }
            if (strayReply)
                ParseInput(true, nullptr, 0, nullptr, nullptr, 0); // the events after it
            ClearReceiveText();
            if (strayReply) {
                const std::uint8_t release = kBusRelease;
                port_.Write(&release, 1);
                result = 0;
            }
            lastByte = pollStart = clock_.Now();
        }
        // A chatty line restarts both clocks at every byte; the total time-out bounds it.
        if (goesOn() && Elapsed(begin, totalTimeout_))
            result = errTimeout;
    } while (goesOn());
    DropPartialReply(); // begun in the scratch buffer: never the caller's
    return result;
}

bool TNPDev::Ready() {
    if (!modem_)
        return true;
    std::uint32_t status = 0;
    return port_.ReadModemStatus(status) && (status & 0x80) != 0;
}

TLinkResult TNPDev::SetInterByteTimeout(int Ms) {
    const std::lock_guard<std::mutex> hold(line_); // for the next transaction, not a running one
    if (Ms < 0)
        return errParam;
    interByteTimeout_ = Ms;
    return 0;
}

TLinkResult TNPDev::SetTimeoutPair(int InterByteMs, int TotalMs) {
    const std::lock_guard<std::mutex> hold(line_);
    if (InterByteMs >= 0)
        interByteTimeout_ = InterByteMs;
    if (TotalMs >= 0)
        totalTimeout_ = TotalMs;
    return InterByteMs < 0 || TotalMs < 0 ? errParam : 0;
}

TLinkResult TNPDev::ClearOutBuffer() {
    std::uint8_t answer[6] = {};
    int count = 0;
    const TLinkResult result = Command(0, 0, nullptr, 0, answer, -6, &count);
    if (result != 0)
        return result;
    return ReplyText(answer, count, sizeof answer) == "95168" ? 0 : errAnswer;
}

TNPDev::TTickCall TNPDev::TickInput() noexcept {
    try {
        const std::unique_lock<std::mutex> hold(line_, std::try_to_lock);
        if (!hold.owns_lock())
            return {};
        ReadInput();
        ParseInput(true, nullptr, 0, nullptr, nullptr, 0);
        if (eventProc_ && EventCounts(nullptr, nullptr) > 0)
            return {eventProc_, Index()};
    } catch (...) {
    }
    return {};
}

void TNPDev::TimerTick() noexcept {
    // The procedure may close this link: nothing of it is touched afterwards.
    const TTickCall call = TickInput();
    try {
        if (call.Proc)
            call.Proc(call.Index);
    } catch (...) {
    }
}

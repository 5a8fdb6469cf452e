// libFuzzer target of the transactions: requests, commands, timer ticks,
// time-out changes and event takes on a serial, nibble, bus, modem or USB link,
// over a port that hands out the input's bytes read by read and a clock that
// moves only when the link sleeps. Input: a flags byte, then operations, each
// an operation byte followed by the chunks its reads take ([length][bytes]).
// Checks that every result is a result code, that a reply never counts more
// than its buffer (the buffer is exactly |RxLen| bytes, so AddressSanitizer
// sees an overrun), that a reply completing a request began during it, and that
// the queue and the time-outs stay as they must.
#include "link/core/QuorxCom.h"
#include "link/core/QuorxFrame.h"

#include <cstdlib>
#include <memory>
#include <utility>

namespace {

void Require(bool Condition) {
    if (!Condition)
        __builtin_trap();
}

class TInputPort : public IBytePort {
public:
    TInputPort(const std::uint8_t* Data, std::size_t Size) : p_(Data), end_(Data + Size) {}
    bool Write(const std::uint8_t*, int) override { return !failWrites_; }
    int Read(std::uint8_t* Buf, int Max) override {
        if (p_ == end_)
            return 0;
        const std::size_t want = *p_++ % 64; // 0: nothing waiting this time
        int n = 0;
        while (static_cast<std::size_t>(n) < want && n < Max && p_ != end_) {
            if (*p_ == kFrameReply)
                replyStarted_ = true;
            Buf[n++] = *p_++;
        }
        return n;
    }
    void Purge() override {}
    bool ReadModemStatus(std::uint32_t& Status) override {
        Status = carrier_ ? 0x80 : 0;
        return true;
    }

    bool Exhausted() const { return p_ == end_; }
    std::uint8_t Next() { return p_ == end_ ? 0 : *p_++; }
    // Whether a reply's start byte was handed out since the last call.
    bool TakeReplyStarted() { return std::exchange(replyStarted_, false); }
    void SetFailWrites(bool Fail) { failWrites_ = Fail; }
    void SetCarrier(bool Carrier) { carrier_ = Carrier; }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
    bool replyStarted_ = false;
    bool failWrites_ = false;
    bool carrier_ = true;
};

class TSleepClock : public IClock {
public:
    std::uint32_t Now() override { return now_; }
    void Sleep(std::uint32_t Ms) override { now_ += Ms; }

private:
    std::uint32_t now_ = 0xFFFFF000u; // the tick counter wraps during the run
};

constexpr int kRxLens[8] = {0, 1, 2, 4, -6, -21, 128, -210};
constexpr std::uint8_t kBusAddresses[4] = {5, 125, kBusBroadcast, 0};
constexpr int kMaxOperations = 48;

bool ReplyResult(TLinkResult R) {
    return (R >= 0 && R <= 255) || R == errChecksum || R == errLength;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 2)
        return 0;
    const std::uint8_t flags = Data[0];
    TInputPort port(Data + 1, Size - 1);
    TSleepClock clock;
    TNPDev dev(port, clock);
    TLinkSetup setup;
    setup.Kind = (flags & 0x01) ? TLinkKind::Usb : TLinkKind::Serial;
    setup.Nibble = (flags & 0x02) != 0;
    setup.Bus = (flags & 0x04) != 0;
    setup.Modem = (flags & 0x08) != 0;
    setup.MaxEvents = 1 + (flags >> 4) % 4;
    setup.MaxEventData = (flags & 0x40) ? 128 : 5;
    dev.LinkOpened(setup);
    dev.SetBusAddress(kBusAddresses[(flags >> 5) & 3]);
    // Only a point-to-point byte stream shows whether a reply began in time.
    const bool replyVisible =
        !dev.NibbleMode() && !(dev.BusMode() && dev.BusAddress() == kBusBroadcast);

    std::uint8_t eventBuf[128];
    for (int op = 0; op < kMaxOperations && !port.Exhausted(); ++op) {
        const std::uint8_t code = port.Next();
        switch (code % 8) {
        case 0:
        case 1:
        case 2: {
            const int rxLen = kRxLens[(code >> 3) & 7];
            const std::size_t size = static_cast<std::size_t>(std::abs(rxLen));
            std::unique_ptr<std::uint8_t[]> rx(size ? new std::uint8_t[size] : nullptr);
            std::uint8_t* buf = rx ? rx.get() : (code & 0x40 ? nullptr : eventBuf);
            const std::uint8_t tx[3] = {code, 0xF3, 0xF0};
            int count = -1;
            port.TakeReplyStarted();
            const TLinkResult r = code % 8 == 2
                                      ? dev.Command(static_cast<std::uint16_t>(code * 37), code, tx,
                                                    code % 4, buf, rxLen, &count)
                                      : dev.Request(static_cast<std::uint16_t>(code * 37), code, tx,
                                                    code % 4, buf, rxLen, &count);
            Require(r >= 0 && r <= errNotBus);
            Require(count <= static_cast<int>(size));
            if (replyVisible && ReplyResult(r) && count >= 0)
                Require(port.TakeReplyStarted());
            Require(dev.InterByteTimeout() == kInterByteTimeoutMs);
            Require(dev.TotalTimeout() == kTotalTimeoutMs);
            break;
        }
        case 3:
            dev.TimerTick();
            break;
        case 4:
            dev.SetTimeoutPair(code >> 5, (code >> 3) * 11);
            break;
        case 5: {
            int len = -1;
            const TLinkResult r =
                dev.TakeEvent(nullptr, nullptr, eventBuf, setup.MaxEventData, &len);
            Require(r == 0 || r == errBuffer || r == errNoEvent);
            Require(r != 0 || (len >= 0 && len <= setup.MaxEventData));
            break;
        }
        case 6:
            port.SetFailWrites((code & 0x10) != 0);
            port.SetCarrier((code & 0x20) == 0);
            break;
        default:
            clock.Sleep(code);
            break;
        }
        Require(dev.EventCounts(nullptr, nullptr) <= setup.MaxEvents);
        Require(dev.Receiver().Frame.Telegram.Data.size() <=
                static_cast<std::size_t>(setup.MaxEventData));
    }
    return 0;
}

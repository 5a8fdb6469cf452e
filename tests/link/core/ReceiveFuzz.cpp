// libFuzzer target of the receive path: random bytes in random chunks through
// ReadInput and ParseInput, in reply and event mode, with the event timer and
// GetEvent in between. Input: flags, MaxEvents, MaxEventData, then chunks of
// [length byte][bytes]. Checks that the queue, the event data and the reply
// stay within their bounds (the reply buffer is exactly |RxLen| bytes, so
// AddressSanitizer sees any overrun).
#include "link/core/QuorxCom.h"

#include <cstdlib>
#include <memory>

namespace {

void Require(bool Condition) {
    if (!Condition)
        __builtin_trap();
}

class TChunkPort : public IBytePort {
public:
    TChunkPort(const std::uint8_t* Data, std::size_t Size) : p_(Data), end_(Data + Size) {}
    bool Write(const std::uint8_t*, int) override { return true; }
    int Read(std::uint8_t* Buf, int Max) override {
        if (p_ == end_)
            return 0;
        const std::size_t want = *p_++;
        std::size_t n = 0;
        while (n < want && n < static_cast<std::size_t>(Max) && p_ != end_)
            Buf[n++] = *p_++;
        return static_cast<int>(n);
    }
    void Purge() override {}
    bool ReadModemStatus(std::uint32_t& Status) override {
        Status = 0x80;
        return true;
    }
    bool Done() const { return p_ == end_; }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

class TStillClock : public IClock {
public:
    std::uint32_t Now() override { return now_; }
    void Sleep(std::uint32_t Ms) override { now_ += Ms; }

private:
    std::uint32_t now_ = 0xFFFFFF00u;
};

constexpr int kRxLens[8] = {0, 1, 5, -5, -21, 128, -210, 20};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 3)
        return 0;
    const std::uint8_t flags = Data[0];
    TLinkSetup setup;
    setup.Kind = (flags & 0x02) ? TLinkKind::Usb : TLinkKind::Serial;
    setup.Nibble = (flags & 0x01) != 0;
    setup.MaxEvents = Data[1] % 8;
    setup.MaxEventData = Data[2];
    const int rxLen = kRxLens[(flags >> 2) & 7];
    const bool eventMode = (flags & 0x20) != 0;
    const bool withTimer = (flags & 0x40) != 0;
    const std::uint16_t start = (flags & 0x80) ? 0xE53E : 0;

    TChunkPort port(Data + 3, Size - 3);
    TStillClock clock;
    TNPDev dev(port, clock);
    dev.LinkOpened(setup);
    const auto limit = static_cast<std::size_t>(std::abs(rxLen));
    std::unique_ptr<std::uint8_t[]> rx(limit ? new std::uint8_t[limit] : nullptr);
    std::unique_ptr<std::uint8_t[]> eventBuf(new std::uint8_t[setup.MaxEventData + 1]);
    int pass = 0;
    while (!port.Done()) {
        int count = -1;
        bool done = false;
        if (withTimer && (pass & 3) == 3) {
            dev.TimerTick();
        } else {
            dev.ReadInput();
            const TLinkResult r = dev.ParseInput(eventMode, rx.get(), rxLen, &count, &done, start);
            Require(r >= 0 && r <= errByteTimeout);
            if (done)
                Require(count >= 0 && static_cast<std::size_t>(count) <= limit);
        }
        Require(dev.Receiver().Frame.Telegram.Data.size() <=
                static_cast<std::size_t>(setup.MaxEventData));
        Require(dev.EventCounts(nullptr, nullptr) <= setup.MaxEvents);
        if ((pass & 7) == 5) {
            int len = -1;
            const TLinkResult r =
                dev.TakeEvent(nullptr, nullptr, eventBuf.get(), setup.MaxEventData, &len);
            Require(r == 0 || r == errBuffer || r == errNoEvent);
            Require(r != 0 || (len >= 0 && len <= setup.MaxEventData));
        }
        ++pass;
    }
    return 0;
}

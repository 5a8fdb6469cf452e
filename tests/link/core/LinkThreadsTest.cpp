// A link used from two threads: the opener's timer against a transaction that
// another thread runs, events taken while the timer queues them, and a close
// while another thread is inside a call.
#include "link/core/QuorxFrame.h"
#include "link/core/USBLinks.h"
#include "tests/link/core/FakeLinkPlatform.h"
#include "tests/link/core/LinkTestSupport.h"
#include "tools/sim/SimFraming.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Bytes offered from any thread; the reads of one thread can be held until
// the test lets them go.
class TSharedPort : public IBytePort {
public:
    bool Write(const std::uint8_t*, int) override { return true; }
    int Read(std::uint8_t* Buf, int Max) override {
        std::unique_lock<std::mutex> hold(lock_);
        if (std::this_thread::get_id() == held_) {
            waiting_ = true;
            changed_.notify_all();
            changed_.wait(hold, [&] { return held_ != std::this_thread::get_id(); });
        }
        const int n = std::min<int>(Max, static_cast<int>(bytes_.size()));
        std::copy_n(bytes_.begin(), n, Buf);
        bytes_.erase(bytes_.begin(), bytes_.begin() + n);
        return n;
    }
    void Purge() override {}
    bool ReadModemStatus(std::uint32_t&) override { return false; }

    void Offer(const Bytes& B) {
        const std::lock_guard<std::mutex> hold(lock_);
        bytes_.insert(bytes_.end(), B.begin(), B.end());
    }
    void Hold(std::thread::id Thread) {
        const std::lock_guard<std::mutex> hold(lock_);
        held_ = Thread;
        waiting_ = false;
    }
    void AwaitHeldRead() {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait(hold, [&] { return waiting_; });
    }
    void Release() {
        const std::lock_guard<std::mutex> hold(lock_);
        held_ = {};
        changed_.notify_all();
    }
    std::size_t Waiting() {
        const std::lock_guard<std::mutex> hold(lock_);
        return bytes_.size();
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    Bytes bytes_;
    std::thread::id held_;
    bool waiting_ = false;
};

class TThreadClock : public IClock {
public:
    std::uint32_t Now() override { return now_; }
    void Sleep(std::uint32_t Ms) override { now_ += Ms; }

private:
    std::atomic<std::uint32_t> now_{5000};
};

// The opener's timer read the reply that another thread's transaction waited
// for and dropped it as an event-mode parse: the transaction then timed out.
TEST(LinkThreads, TheTimerLeavesTheInputOfARunningTransaction) {
    TSharedPort port;
    TThreadClock clock;
    TNPDev dev(port, clock);
    dev.LinkOpened(SerialSetup());
    TLinkResult result = -1;
    std::uint8_t reply[4] = {};
    std::thread caller([&] {
        port.Hold(std::this_thread::get_id());
        result = dev.Request(0x200, 0, nullptr, 0, reply, 2, nullptr);
    });
    port.AwaitHeldRead(); // the transaction waits for its reply
    port.Offer(ReplyFrame(B({0x12, 0x34}), 0, 0));
    dev.TimerTick();
    EXPECT_GT(port.Waiting(), 0u) << "the tick read the reply";
    port.Release();
    caller.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(reply[0], 0x12);
    EXPECT_EQ(reply[1], 0x34);
}

// The queue was read and written from two threads without a lock.
TEST(LinkThreads, EventsTakenWhileTheTimerQueuesThem) {
    TSharedPort port;
    TThreadClock clock;
    TNPDev dev(port, clock);
    constexpr int kEvents = 2000;
    dev.LinkOpened(SerialSetup(kEvents, 64)); // room for all: none is lost
    std::atomic<bool> sent{false};
    std::thread timer([&] {
        for (int i = 0; i < kEvents; ++i) {
            port.Offer(EventFrame(0x100, 255, B({i & 0xFF, 1, 2, 3})));
            dev.TimerTick();
        }
        sent = true;
    });
    int taken = 0;
    std::uint8_t data[64];
    int len = 0;
    while (!sent || dev.EventCounts(nullptr, nullptr) > 0) {
        while (dev.TakeEvent(nullptr, nullptr, data, sizeof data, &len) == 0) {
            EXPECT_EQ(len, 4);
            ++taken;
        }
    }
    timer.join();
    EXPECT_EQ(taken, kEvents);
}

// A link on the shared port that tells when it is freed.
class TWatchedLink : public TLinkObject {
public:
    TWatchedLink(IBytePort& Port, IClock& Clock, TLinkKind Kind, int Number,
                 std::atomic<bool>& Freed)
        : dev_(Port, Clock), freed_(Freed) {
        TLinkSetup setup = SerialSetup();
        setup.Kind = Kind;
        setup.Number = Number;
        dev_.LinkOpened(setup);
    }
    ~TWatchedLink() override { freed_ = true; }
    TNPDev& Dev() override { return dev_; }

private:
    TNPDev dev_;
    std::atomic<bool>& freed_;
};

class TNoUsbPlatform : public IUSBPlatform {
public:
    std::unique_ptr<TUSBLinkObject> CreateUsb(const TUSBSettings&) override { return nullptr; }
    void CloseHandles(void*, void*) override {}
};

// A close in another thread freed the link under a running transaction,
// which then went on in freed memory.
TEST(LinkThreads, ALinkClosedDuringACallLivesUntilTheCallReturns) {
    struct Case {
        const char* what;
        TLinkKind kind;
        int index;
    } cases[] = {{"serial", TLinkKind::Serial, 4}, {"USB", TLinkKind::Usb, 257}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSharedPort port;
        TThreadClock clock;
        std::atomic<bool> freed{false};
        TFakeLinkPlatform platform{[&](const TSerialSettings& S) -> std::unique_ptr<TLinkObject> {
            return std::make_unique<TWatchedLink>(port, clock, c.kind, S.Port, freed);
        }};
        TLinkLibrary lib{platform};
        TNoUsbPlatform usbPlatform;
        TUSBLinks usb{lib, usbPlatform};
        if (c.kind == TLinkKind::Serial)
            ASSERT_EQ(lib.OpenCom(c.index, 100, 5001), 0);
        else
            ASSERT_TRUE(lib.Table().AddUsb(
                1, std::make_unique<TWatchedLink>(port, clock, c.kind, 1, freed)));

        TLinkResult result = -1;
        std::uint8_t reply[2] = {};
        std::thread caller([&] {
            port.Hold(std::this_thread::get_id());
            result = lib.SendRequest(c.index, 0x200, 0, nullptr, 0, reply, 2, nullptr);
        });
        port.AwaitHeldRead();
        const TLinkResult closed =
            c.kind == TLinkKind::Serial ? lib.CloseCom(c.index) : usb.CloseUSBDevice(c.index);
        EXPECT_EQ(closed, 0);
        EXPECT_FALSE(freed) << "freed under the call";
        int count = -1;
        EXPECT_EQ(lib.GetNumEvent(c.index, &count, nullptr, nullptr), errNotOpen);
        EXPECT_EQ(lib.SendRequest(c.index, 0x200, 0, nullptr, 0, reply, 2, nullptr), errNotOpen);
        port.Offer(ReplyFrame(B({0x12, 0x34}), 0, 0));
        port.Release();
        caller.join();
        EXPECT_EQ(result, 0) << "the call ends as it would have";
        EXPECT_EQ(reply[0], 0x12);
        EXPECT_TRUE(freed) << "the last holder let go";
    }
}

} // namespace

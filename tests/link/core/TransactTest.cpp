// Transactions against the simulated instrument: replies, instrument faults,
// time-outs on a fake clock, modem readiness, the event timer.
#include "link/core/QuorxFrame.h"
#include "tests/link/core/LinkTestSupport.h"
#include "tools/sim/SimFraming.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

TEST(Transact, DeviceInformation) {
    TSimConfig config;
    config.Model.DeviceId = "KIVANTER";
    config.Model.SwVersion = "4.02";
    config.Model.ProfileCap = 3;
    config.Model.ReqMCap = 2;
    TSimRig rig(config);
    char text[21];
    int count = 0;
    EXPECT_EQ(rig.Dev.Request(1, 0, nullptr, 0, text, -21, &count), 0);
    EXPECT_EQ(ReplyText(text, count, 21), "KIVANTER");
    EXPECT_EQ(rig.Dev.Request(1, 1, nullptr, 0, text, -21, &count), 0);
    EXPECT_EQ(ReplyText(text, count, 21), "4.02");
    std::uint16_t word = 0;
    EXPECT_EQ(rig.Dev.Request(2, 0, nullptr, 0, &word, 2, nullptr), 0);
    EXPECT_EQ(word, 3);
    EXPECT_EQ(rig.Dev.Request(2, 1, nullptr, 0, &word, 2, nullptr), 0);
    EXPECT_EQ(word, 2);
    std::uint8_t ta[4];
    EXPECT_EQ(rig.Dev.Request(0xF1, 0, nullptr, 0, ta, 4, nullptr), 0);
    EXPECT_EQ(Bytes(ta, ta + 4), B({1, 2, 3, 4}));
    EXPECT_EQ(rig.Dev.ClearOutBuffer(), 0);
}

TEST(Transact, InstrumentFaults) {
    struct {
        const char* Name;
        TFaults Faults;
        int RxLen;
        TLinkResult Result;
    } cases[] = {
        {.Name = "corrupt check",
         .Faults = {.CorruptCheck = true},
         .RxLen = 128,
         .Result = errChecksum},
        {.Name = "status byte", .Faults = {.Status = 9}, .RxLen = 128, .Result = 9},
        {.Name = "one byte short",
         .Faults = {.LengthDelta = -1},
         .RxLen = 128,
         .Result = errLength},
        {.Name = "one byte more", .Faults = {.LengthDelta = 1}, .RxLen = 128, .Result = errBuffer},
        {.Name = "one byte more, at most",
         .Faults = {.LengthDelta = 1},
         .RxLen = -129,
         .Result = 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSimRig rig(WithFault(c.Faults));
        std::uint8_t buf[129];
        EXPECT_EQ(rig.Dev.Request(0x201, 255, nullptr, 0, buf, c.RxLen, nullptr), c.Result);
        EXPECT_EQ(rig.Dev.InterByteTimeout(), 1000);
        EXPECT_EQ(rig.Dev.TotalTimeout(), 10000);
    }
}

// Bytes that trickle in more slowly than the 20 ms poll but faster than the
// inter-byte time-out never trip it; only the total time-out ends them.
TEST(Transact, ByteTimeoutAgainstTotalTimeout) {
    struct {
        const char* Name;
        std::uint32_t ClockStart;
        TFaults Faults;
        TLinkResult Result;
        std::uint32_t MinMs;
        std::uint32_t MaxMs;
    } cases[] = {
        {.Name = "silence",
         .ClockStart = 5000,
         .Faults = {.Silence = true},
         .Result = errByteTimeout,
         .MinMs = 1000,
         .MaxMs = 1040},
        {.Name = "trickle 50 ms completes",
         .ClockStart = 5000,
         .Faults = {.TrickleMs = 50},
         .Result = 0,
         .MinMs = 6000,
         .MaxMs = 9000},
        {.Name = "trickle 100 ms runs out of total time",
         .ClockStart = 5000,
         .Faults = {.TrickleMs = 100},
         .Result = errTimeout,
         .MinMs = 10000,
         .MaxMs = 10040},
        {.Name = "trickle 1500 ms trips the byte time-out",
         .ClockStart = 5000,
         .Faults = {.TrickleMs = 1500},
         .Result = errByteTimeout,
         .MinMs = 1000,
         .MaxMs = 1040},
        {.Name = "silence across the wrap",
         .ClockStart = 0xFFFFFFFFu - 300,
         .Faults = {.Silence = true},
         .Result = errByteTimeout,
         .MinMs = 1000,
         .MaxMs = 1040},
        {.Name = "trickle across the wrap",
         .ClockStart = 0xFFFFFFFFu - 3000,
         .Faults = {.TrickleMs = 50},
         .Result = 0,
         .MinMs = 6000,
         .MaxMs = 9000},
        {.Name = "total time-out across the wrap",
         .ClockStart = 0xFFFFFFFFu - 5000,
         .Faults = {.TrickleMs = 100},
         .Result = errTimeout,
         .MinMs = 10000,
         .MaxMs = 10040},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSimRig rig(WithFault(c.Faults), c.ClockStart);
        TMEASall meas;
        TLinkResult result = -1;
        const std::uint32_t ms = rig.Timed(
            [&] { result = rig.Dev.Request(0x201, 255, nullptr, 0, &meas, 128, nullptr); });
        EXPECT_EQ(result, c.Result);
        EXPECT_GE(ms, c.MinMs);
        EXPECT_LE(ms, c.MaxMs);
    }
}

TEST(Transact, ZeroTimeoutsActOnTheNextTransactionOnly) {
    TFaults silence;
    silence.Silence = true;
    TSimRig rig(WithFault(silence));
    std::uint8_t b;
    EXPECT_EQ(rig.Dev.SetTimeoutPair(0, 0), 0);
    TLinkResult result = -1;
    EXPECT_EQ(
        rig.Timed([&] { result = rig.Dev.Command(0x200, 0, "\xFF", 1, nullptr, 0, nullptr); }),
        20u);
    EXPECT_EQ(result, errTimeout);
    EXPECT_EQ(rig.Sim.FramesAnswered(), 1) << "the frame went out";
    EXPECT_GE(rig.Timed([&] { result = rig.Dev.Request(0x200, 0, nullptr, 0, &b, 1, nullptr); }),
              1000u);
    EXPECT_EQ(result, errByteTimeout);

    rig.Sim.SetFaults({});
    rig.Dev.SetTimeoutPair(0, 0);
    EXPECT_EQ(rig.Dev.Request(0x200, 0, nullptr, 0, &b, 1, nullptr), 0)
        << "a reply complete at the first pass still counts";
    EXPECT_EQ(b, 0xFF);
}

TEST(Transact, SetTimeouts) {
    TSimRig rig;
    EXPECT_EQ(rig.Dev.SetInterByteTimeout(-1), errParam);
    EXPECT_EQ(rig.Dev.SetInterByteTimeout(300), 0);
    EXPECT_EQ(rig.Dev.InterByteTimeout(), 300);
    EXPECT_EQ(rig.Dev.SetTimeoutPair(-1, 500), errParam);
    EXPECT_EQ(rig.Dev.InterByteTimeout(), 300);
    EXPECT_EQ(rig.Dev.TotalTimeout(), 500) << "the valid value is kept";
    EXPECT_EQ(rig.Dev.SetTimeoutPair(200, -5), errParam);
    EXPECT_EQ(rig.Dev.InterByteTimeout(), 200);
    EXPECT_EQ(rig.Dev.TotalTimeout(), 500);
}

TEST(Transact, TimeoutsRestoredWhenTheTransactionThrows) {
    TScriptPort port;
    port.ThrowOnWrite = true;
    TFakeClock clock;
    TNPDev dev(port, clock);
    dev.LinkOpened(SerialSetup());
    dev.SetTimeoutPair(1, 2);
    EXPECT_THROW(dev.Request(1, 0, nullptr, 0, nullptr, 0, nullptr), std::runtime_error);
    EXPECT_EQ(dev.InterByteTimeout(), 1000);
    EXPECT_EQ(dev.TotalTimeout(), 10000);
}

// A nil buffer was zeroed (a crash) or written into before anything checked it.
TEST(Transact, NilBuffersGive261BeforeSending) {
    struct {
        const char* Name;
        int TxLen = 0;
        int RxLen = 0;
        TLinkResult Result;
        bool Sent;
    } cases[] = {
        {.Name = "nil reply buffer, exact", .RxLen = 4, .Result = errBuffer, .Sent = false},
        {.Name = "nil reply buffer, at most", .RxLen = -21, .Result = errBuffer, .Sent = false},
        {.Name = "nil transmit data", .TxLen = 3, .Result = errBuffer, .Sent = false},
        {.Name = "nil both, nothing asked", .Result = kStatusBadParam, .Sent = true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSimRig rig;
        rig.Dev.SetTimeoutPair(5, 6);
        EXPECT_EQ(rig.Dev.Command(0x200, 0, nullptr, c.TxLen, nullptr, c.RxLen, nullptr), c.Result);
        EXPECT_EQ(!rig.Line.Written().empty(), c.Sent);
        EXPECT_EQ(rig.Dev.InterByteTimeout(), 1000);
        EXPECT_EQ(rig.Dev.TotalTimeout(), 10000);
    }
}

TEST(Transact, ReplyBufferZeroedButItsLastByte) {
    TFaults silence;
    silence.Silence = true;
    TSimRig rig(WithFault(silence));
    rig.Dev.SetTimeoutPair(0, 0);
    std::uint8_t buf[6];
    std::memset(buf, 0xAA, sizeof buf);
    rig.Dev.Request(1, 0, nullptr, 0, buf, -5, nullptr);
    EXPECT_EQ(Bytes(buf, buf + 6), B({0, 0, 0, 0, 0xAA, 0xAA}));
}

// ClearOutBuff read its six-byte answer as a C string: an answer of six bytes
// without NUL was read past the buffer.
TEST(Transact, ClearOutBuffAnswerWithoutNulIsNotReadPastItsBuffer) {
    struct {
        const char* Name;
        Bytes Answer;
        TLinkResult Result;
    } cases[] = {
        {"95168", TextBytes("95168"), 0},
        {"95168 and NUL", B({'9', '5', '1', '6', '8', 0}), 0},
        {"six characters", TextBytes("951680"), errAnswer},
        {"too short", TextBytes("9516"), errAnswer},
        {"too long", TextBytes("9516800"), errBuffer},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriptPort port;
        TFakeClock clock;
        TNPDev dev(port, clock);
        dev.LinkOpened(SerialSetup());
        port.OnWrite = [&](const Bytes&) { port.Offer(ReplyFrame(c.Answer, 0, 0)); };
        EXPECT_EQ(dev.ClearOutBuffer(), c.Result);
        EXPECT_EQ(port.Written, B({0xF2, 0x00, 0x00, 0x00, 0xF6, 0x5C, 0x53}));
    }
}

TEST(Transact, ShortWriteGives257) {
    TSimRig rig;
    rig.Line.SetWriteFails(true);
    std::uint8_t b;
    TLinkResult result = -1;
    EXPECT_EQ(rig.Timed([&] { result = rig.Dev.Request(0x200, 0, nullptr, 0, &b, 1, nullptr); }),
              0u);
    EXPECT_EQ(result, errWrite);
}

TEST(Transact, UsbWriteFailureShowsOnlyAsATimeout) {
    TLinkSetup usb = SerialSetup();
    usb.Kind = TLinkKind::Usb;
    usb.Number = 4;
    TSimRig rig({}, 5000, usb);
    EXPECT_EQ(rig.Dev.Index(), 260);
    rig.Line.SetWriteFails(true);
    std::uint8_t b;
    EXPECT_EQ(rig.Dev.Request(0x200, 0, nullptr, 0, &b, 1, nullptr), errByteTimeout);
    rig.Line.SetWriteFails(false);
    EXPECT_EQ(rig.Dev.Request(0x200, 0, nullptr, 0, &b, 1, nullptr), 0);
}

TEST(Transact, ModemLinkNeedsTheCarrier) {
    struct {
        const char* Name;
        bool Readable;
        std::uint32_t Status;
        TLinkResult Result;
    } cases[] = {
        {.Name = "carrier", .Readable = true, .Status = 0x80, .Result = 0},
        {.Name = "carrier and ring", .Readable = true, .Status = 0xC0, .Result = 0},
        {.Name = "no carrier", .Readable = true, .Status = 0x40, .Result = errNotReady},
        {.Name = "status unreadable", .Readable = false, .Status = 0x80, .Result = errNotReady},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TLinkSetup modem = SerialSetup();
        modem.Modem = true;
        TSimRig rig({}, 5000, modem);
        rig.Line.SetModemStatus(c.Readable, c.Status);
        char text[21];
        EXPECT_EQ(rig.Dev.Ready(), c.Result == 0);
        EXPECT_EQ(rig.Dev.Request(1, 0, nullptr, 0, text, -21, nullptr), c.Result);
        EXPECT_EQ(rig.Line.Written().empty(), c.Result != 0);
    }
    TSimRig plain;
    plain.Line.SetModemStatus(false, 0);
    EXPECT_TRUE(plain.Dev.Ready());
}

TEST(Transact, ModemLinkPurgesBeforeSending) {
    TScriptPort port;
    port.ModemStatus = 0x80;
    TFakeClock clock;
    TNPDev dev(port, clock);
    TLinkSetup modem = SerialSetup();
    modem.Modem = true;
    dev.LinkOpened(modem);
    const int purges = port.Purges;
    port.Offer(ReplyFrame(B({1}), 0, 0)); // stale: gone by the purge
    port.OnWrite = [&](const Bytes&) { port.Offer(ReplyFrame(B({2}), 0, 0)); };
    std::uint8_t b = 0;
    EXPECT_EQ(dev.Request(5, 0, nullptr, 0, &b, 1, nullptr), 0);
    EXPECT_EQ(port.Purges, purges + 1);
    EXPECT_EQ(b, 2);
}

TEST(Transact, NibbleLink) {
    TSimConfig config;
    config.Nibble = true;
    TLinkSetup nibble = SerialSetup();
    nibble.Nibble = true;
    TSimRig rig(config, 5000, nibble);
    char text[21];
    int count = 0;
    EXPECT_EQ(rig.Dev.Request(1, 0, nullptr, 0, text, -21, &count), 0);
    EXPECT_EQ(ReplyText(text, count, 21), "ZEPHORA");
    EXPECT_EQ(rig.Line.Written(), NibbleEncode(B({0xF1, 0x01, 0x00, 0x00, 0xF6, 0x03, 0x1A})));
}

// The receive record outlived a transaction that a time-out cut short: the late
// tail of its reply completed the next request with result 0 (and a count of
// the earlier, larger buffer). A bus selection only reset the state, so the
// reply's end byte still completed it.
TEST(Transact, APartialReplyNeverCompletesALaterRequest) {
    struct {
        const char* Name;
        bool Bus;
        int RxLen1, RxLen2;
        std::size_t Data1; // data bytes of reply 1
        std::size_t Head;  // bytes of reply 1 before the line goes quiet
    } cases[] = {
        {"one byte, exact", false, 5, 5, 5, 2},
        {"100 bytes of at most 210, then at most 6", false, -210, -6, 100, 101},
        {"inside its end", false, -210, -6, 100, 102},
        {"bus", true, -21, -21, 8, 4},
    };
    constexpr std::uint8_t kAddr = 5;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriptPort port;
        TFakeClock clock(5000);
        TNPDev dev(port, clock);
        TLinkSetup setup = SerialSetup();
        setup.Bus = c.Bus;
        dev.LinkOpened(setup);
        dev.SetBusAddress(kAddr);
        // A bus reply's check goes on from the request's and the address.
        const auto replyTo = [&](std::uint16_t ReqNo, const Bytes& Data) {
            const std::uint16_t start =
                c.Bus ? Checksum16Cont(
                            BuildFrame(kFrameRequest, ReqNo, 0, nullptr, 0, Checksum16(&kAddr, 1))
                                .Check,
                            &kAddr, 1)
                      : 0;
            return ReplyFrame(Data, 0, start);
        };
        const Bytes reply1 = replyTo(1, Bytes(c.Data1, 0x11));
        const Bytes head(reply1.begin(), reply1.begin() + c.Head);
        const Bytes tail(reply1.begin() + c.Head, reply1.end());
        const Bytes answers[2] = {head, Concat({tail, replyTo(2, B({0x22, 0x23}))})};
        int request = -1;
        int selects = 0;
        port.OnWrite = [&](const Bytes& W) {
            if (W[0] == kFrameRequest)
                ++request;
            if (W[0] == kBusRelease)
                port.Offer(B({kBusAnswer}));
            if (W[0] == kBusSelect) // a selection is answered, the poll after the frame replies
                port.Offer(++selects % 2 ? B({kBusAnswer}) : answers[request]);
            if (W[0] == kFrameRequest && !c.Bus)
                port.Offer(answers[request]);
        };
        std::uint8_t buf1[210];
        int count = -1;
        EXPECT_NE(dev.Request(1, 0, nullptr, 0, buf1, c.RxLen1, &count), 0);
        Bytes buf2(static_cast<std::size_t>(std::abs(c.RxLen2)), 0xEE); // exactly its size
        count = -1;
        EXPECT_EQ(dev.Request(2, 0, nullptr, 0, buf2.data(), c.RxLen2, &count),
                  c.RxLen2 > 0 ? errLength : 0);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(Bytes(buf2.begin(), buf2.begin() + 2), B({0x22, 0x23}));
    }
}

int gTicks = 0;
int gIndex = 0;
bool gThrow = false;

void QUORX_CALL CountingProc(TDevIndex Index) {
    ++gTicks;
    gIndex = Index;
    if (gThrow)
        throw std::runtime_error("from the event procedure");
}

TEST(TimerTick, CallsTheProcedureWhileEventsAreQueued) {
    gTicks = 0;
    gThrow = false;
    TSimConfig config;
    config.EventRateMs = 500;
    TSimRig rig(config);
    rig.Dev.SetEventProc(CountingProc);
    EXPECT_EQ(rig.Dev.Command(0x200, 0, "\xFF", 1, nullptr, 0, nullptr), 0);
    rig.Dev.TimerTick();
    EXPECT_EQ(gTicks, 0) << "empty queue, no call";
    rig.Clock.Advance(500);
    rig.Dev.TimerTick();
    EXPECT_EQ(gTicks, 1);
    EXPECT_EQ(gIndex, 3);
    std::uint16_t code = 0;
    std::uint8_t param = 0;
    TMEASall meas{};
    int len = 0;
    EXPECT_EQ(rig.Dev.TakeEvent(&code, &param, &meas, 127, &len), errBuffer);
    EXPECT_EQ(rig.Dev.TakeEvent(&code, &param, &meas, sizeof meas, &len), 0);
    EXPECT_EQ(code, 0x100);
    EXPECT_EQ(param, 255);
    EXPECT_EQ(len, 128);
    EXPECT_NE(meas.Chamber[0].Status & csPresent, 0);

    gThrow = true;
    rig.Clock.Advance(500);
    rig.Dev.TimerTick();
    gThrow = false;
    rig.Clock.Advance(500);
    rig.Dev.TimerTick();
    EXPECT_EQ(gTicks, 3) << "a throwing procedure does not stop later ticks";
    EXPECT_EQ(rig.Dev.EventCounts(nullptr, nullptr), 2);

    EXPECT_EQ(rig.Dev.Command(0x200, 0, "\x00", 1, nullptr, 0, nullptr), 0);
    while (rig.Dev.TakeEvent(nullptr, nullptr, &meas, sizeof meas, nullptr) == 0) {
    }
    rig.Clock.Advance(2000);
    rig.Dev.TimerTick();
    EXPECT_EQ(rig.Dev.EventCounts(nullptr, nullptr), 0) << "events switched off";
}

TEST(TimerTick, DiscardsRepliesAndIndexesUsbLinks) {
    gTicks = 0;
    gThrow = false;
    TScriptPort port;
    TFakeClock clock;
    TNPDev dev(port, clock);
    TLinkSetup usb = SerialSetup();
    usb.Kind = TLinkKind::Usb;
    usb.Number = 17;
    dev.LinkOpened(usb);
    dev.SetEventProc(CountingProc);
    port.Offer(Concat({ReplyFrame(B({1}), 0, 0), EventFrame(0x101, 2, TextBytes("text"))}));
    dev.TimerTick();
    EXPECT_EQ(gTicks, 1);
    EXPECT_EQ(gIndex, 273);
    EXPECT_EQ(dev.EventCounts(nullptr, nullptr), 1);
    EXPECT_TRUE(dev.TimerEnabled());
}

TEST(LinkOpened, ResetsTheReceiveSide) {
    TScriptPort port;
    TFakeClock clock;
    TNPDev dev(port, clock);
    dev.LinkOpened(SerialSetup());
    port.Offer(B({0xF3, 0x01, 0x02}));
    dev.ReadInput();
    dev.ParseInput(true, nullptr, 0, nullptr, nullptr, 0);
    port.Offer(B({0x05}));
    dev.SetTimeoutPair(1, 1);
    TLinkSetup bus = SerialSetup(7, 9);
    bus.Bus = true;
    dev.LinkOpened(bus);
    EXPECT_TRUE(port.Empty()) << "purged";
    EXPECT_EQ(dev.PendingInput(), 0);
    EXPECT_EQ(dev.Receiver().State, TRxState::Start);
    EXPECT_EQ(dev.InterByteTimeout(), 1000);
    EXPECT_EQ(dev.MaxEvents(), 7);
    EXPECT_EQ(dev.MaxEventData(), 9);
    EXPECT_FALSE(dev.TimerEnabled());
    EXPECT_EQ(dev.Index(), 3);
}

} // namespace

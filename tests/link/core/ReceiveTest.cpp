// The receive state machine: replies into the caller's buffer, events into the
// queue, escapes, resets by control bytes, frames split over reads.
#include "link/core/QuorxFrame.h"
#include "tests/link/core/LinkTestSupport.h"
#include "tools/sim/SimFraming.h"

#include <gtest/gtest.h>

namespace {

class Receive : public ::testing::Test {
protected:
    void SetUp() override { dev.LinkOpened(SerialSetup(MaxEvents, MaxEventData)); }

    // Parses Input as one read in reply mode.
    TLinkResult ParseReply(const Bytes& Input, int RxLen) {
        port.Offer(Input);
        dev.ReadInput();
        return dev.ParseInput(false, rx, RxLen, &rxCount, &done, 0);
    }
    TLinkResult ParseEvents(const Bytes& Input) {
        port.Offer(Input);
        dev.ReadInput();
        return dev.ParseInput(true, nullptr, 0, nullptr, nullptr, 0);
    }
    int Queued() { return dev.EventCounts(nullptr, nullptr); }

    int MaxEvents = 10;
    int MaxEventData = 64;
    TScriptPort port;
    TFakeClock clock;
    TNPDev dev{port, clock};
    std::uint8_t rx[32] = {};
    int rxCount = -1;
    bool done = false;
};

TEST_F(Receive, GoldenReplyFrame) {
    EXPECT_EQ(ParseReply(B({0xF3, 0x41, 0x42, 0xF6, 0x00, 0x0C, 0x88}), 2), 0);
    EXPECT_TRUE(done);
    EXPECT_EQ(rxCount, 2);
    EXPECT_EQ(Bytes(rx, rx + 2), B({0x41, 0x42}));
}

TEST_F(Receive, ReplyLengthsAndStatus) {
    struct {
        const char* Name;
        Bytes Frame;
        int RxLen;
        TLinkResult Result;
        int RxCount;
        bool Done;
    } cases[] = {
        {"exact", ReplyFrame(B({1, 2, 3}), 0, 0), 3, 0, 3, true},
        {"at most, fewer", ReplyFrame(B({1, 2}), 0, 0), -5, 0, 2, true},
        {"at most, all", ReplyFrame(B({1, 2, 3, 4, 5}), 0, 0), -5, 0, 5, true},
        {"short of exact", ReplyFrame(B({1, 2}), 0, 0), 3, errLength, 2, true},
        {"surplus over exact", ReplyFrame(B({1, 2, 3, 4}), 0, 0), 3, errBuffer, -1, false},
        {"surplus over at most", ReplyFrame(B({1, 2, 3}), 0, 0), -2, errBuffer, -1, false},
        {"data when none asked", ReplyFrame(B({1}), 0, 0), 0, errBuffer, -1, false},
        {"no data, none asked", ReplyFrame({}, 0, 0), 0, 0, 0, true},
        {"bad check", ReplyFrame(B({1, 2, 3}), 0, 0, 0x0100), 3, errChecksum, 3, true},
        {"status passes through", ReplyFrame(B({1, 2, 3}), 7, 0), 3, 7, 3, true},
        {"status before length", ReplyFrame({}, 18, 0), 3, 18, 0, true},
        {"status 255", ReplyFrame({}, 255, 0), 0, 255, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        dev.LinkOpened(SerialSetup());
        rxCount = -1;
        done = false;
        EXPECT_EQ(ParseReply(c.Frame, c.RxLen), c.Result);
        EXPECT_EQ(rxCount, c.RxCount);
        EXPECT_EQ(done, c.Done);
        EXPECT_EQ(dev.Receiver().State,
                  c.Result == 0 || c.Done ? TRxState::Discard : TRxState::Start);
    }
}

TEST_F(Receive, NilReplyBufferRefusesData) {
    port.Offer(ReplyFrame(B({9}), 0, 0));
    dev.ReadInput();
    EXPECT_EQ(dev.ParseInput(false, nullptr, -4, nullptr, nullptr, 0), errBuffer);
}

TEST_F(Receive, EscapedDataBytes) {
    // F0 0F is the data byte 0xFF; 0xFF itself needs no escape; F0 03 is 0xF3.
    const Bytes frame = B({0xF3, 0xFF, 0xF0, 0x03, 0xF6, 0x00, 0xE9, 0xCA});
    EXPECT_EQ(ParseReply(frame, 2), 0);
    EXPECT_EQ(Bytes(rx, rx + 2), B({0xFF, 0xF3}));
    const Bytes withF00F = WithCheck(B({0xF3, 0xF0, 0x0F, 0xF6, 0x00})); // 0xFF, escaped
    EXPECT_EQ(ParseReply(withF00F, 1), 0);
    EXPECT_EQ(rx[0], 0xFF);
}

// The check is over the bytes as sent, so a sender that put a bad escape into
// its frame still has a matching check: the frame must be lost all the same.
TEST_F(Receive, BadEscapeDropsTheFrame) {
    const Bytes bad = WithCheck(B({0xF3, 0x41, 0xF0, 0x10, 0x42, 0xF6, 0x00}));
    EXPECT_EQ(ParseReply(bad, -8), 0);
    EXPECT_FALSE(done);
    EXPECT_EQ(rxCount, -1);
    EXPECT_EQ(ParseReply(ReplyFrame(B({7}), 0, 0), -8), 0);
    EXPECT_TRUE(done);
    EXPECT_EQ(rxCount, 1);
}

// Right after opening the receiver waits for a start byte; the tail of a frame
// sent before then may hold stuffed start bytes, which must not begin a frame.
TEST_F(Receive, StuffedStartByteStartsNoFrame) {
    for (std::uint8_t stuffed : {0x03, 0x05}) {
        SCOPED_TRACE(static_cast<int>(stuffed));
        dev.LinkOpened(SerialSetup());
        const Bytes tail =
            Concat({B({0xF0, stuffed}), WithCheck(B({0x01, 0x00, 0x00, 0xF6, 0x00}))});
        rxCount = -1;
        done = false;
        EXPECT_EQ(ParseReply(tail, -8), 0);
        EXPECT_FALSE(done);
        EXPECT_EQ(Queued(), 0);
        EXPECT_EQ(ParseReply(ReplyFrame(B({7}), 0, 0), -8), 0);
        EXPECT_TRUE(done);
        EXPECT_EQ(rxCount, 1);
    }
}

TEST_F(Receive, ForeignControlByteInsideAFrameLosesIt) {
    for (std::uint8_t control : {0xF4, 0xF7, 0xF8, 0xFD, 0xFE}) {
        SCOPED_TRACE(static_cast<int>(control));
        const Bytes frame = WithCheck(B({0xF3, 0x41, control, 0x42, 0xF6, 0x00}));
        done = false;
        EXPECT_EQ(ParseReply(frame, -8), 0);
        EXPECT_FALSE(done);
    }
}

TEST_F(Receive, HostFrameOnTheLineResetsAndIsDiscarded) {
    // A reply interrupted by 0xF1 (another host's request): nothing up to the next start byte
    // counts.
    const Bytes mixed = Concat(
        {B({0xF3, 0x41, 0xF1, 0x01, 0x00, 0x00, 0xF6, 0x03, 0x1A}), ReplyFrame(B({5}), 0, 0)});
    EXPECT_EQ(ParseReply(mixed, -8), 0);
    EXPECT_TRUE(done);
    EXPECT_EQ(rxCount, 1);
    EXPECT_EQ(rx[0], 5);
}

TEST_F(Receive, FrameSplitOverManyReads) {
    const Bytes frame = Concat(
        {EventFrame(0x100, 255, B({1, 2, 0xF3, 4})), ReplyFrame(B({0xF6, 0xFF, 0x10}), 3, 0)});
    port.OfferBytewise(frame);
    TLinkResult result = 0;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        dev.ReadInput();
        result = dev.ParseInput(false, rx, 3, &rxCount, &done, 0);
        if (i + 1 < frame.size()) {
            ASSERT_EQ(result, 0) << "byte " << i;
            ASSERT_FALSE(done) << "byte " << i;
        }
    }
    EXPECT_EQ(result, 3);
    EXPECT_TRUE(done);
    EXPECT_EQ(Bytes(rx, rx + 3), B({0xF6, 0xFF, 0x10}));
    EXPECT_EQ(Queued(), 1);
}

TEST_F(Receive, EventsAreQueuedInOrder) {
    EXPECT_EQ(ParseEvents(Concat({B({0xF5, 0x01, 0x01, 0x02, 0x68, 0x69, 0xF6, 0x7E, 0x67}),
                                  EventFrame(0, 0, {})})),
              0);
    ASSERT_EQ(Queued(), 2);
    std::uint16_t code = 0;
    std::uint8_t param = 0;
    std::uint8_t data[64];
    int len = -1;
    EXPECT_EQ(dev.TakeEvent(&code, &param, data, 64, &len), 0);
    EXPECT_EQ(code, 0x101);
    EXPECT_EQ(param, 2);
    EXPECT_EQ(Bytes(data, data + len), TextBytes("hi"));
    EXPECT_EQ(dev.TakeEvent(&code, &param, data, 64, &len), 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(len, 0);
}

TEST_F(Receive, EventWithBadCheckIsDroppedSilently) {
    EXPECT_EQ(ParseEvents(EventFrame(0x100, 255, B({1, 2}), 0x0001)), 0);
    EXPECT_EQ(Queued(), 0);
    EXPECT_EQ(ParseReply(EventFrame(0x100, 255, B({1, 2}), 0x0001), 4), 0);
    EXPECT_EQ(Queued(), 0);
}

TEST_F(Receive, EventLongerThanMaxEventDataIsCutWithStatus261) {
    MaxEventData = 5;
    dev.LinkOpened(SerialSetup(MaxEvents, MaxEventData));
    EXPECT_EQ(ParseEvents(EventFrame(0x101, 1, B({1, 2, 3, 4, 5, 6, 7}))), 0);
    ASSERT_EQ(Queued(), 1);
    std::uint8_t data[5];
    int len = -1;
    EXPECT_EQ(dev.TakeEvent(nullptr, nullptr, data, 5, &len), errBuffer);
    EXPECT_EQ(len, -1);
    EXPECT_EQ(Queued(), 0);
    EXPECT_EQ(ParseEvents(EventFrame(0x101, 1, B({1, 2, 3, 4, 5}))), 0);
    EXPECT_EQ(dev.TakeEvent(nullptr, nullptr, data, 5, &len), 0);
    EXPECT_EQ(len, 5);
}

TEST_F(Receive, FullQueueLosesEventsUntilEmptied) {
    MaxEvents = 1;
    dev.LinkOpened(SerialSetup(MaxEvents, MaxEventData));
    EXPECT_EQ(
        ParseEvents(Concat({EventFrame(1, 0, {}), EventFrame(2, 0, {}), EventFrame(3, 0, {})})), 0);
    int freeSlots = -1, lost = -1;
    EXPECT_EQ(dev.EventCounts(&freeSlots, &lost), 1);
    EXPECT_EQ(freeSlots, 0);
    EXPECT_EQ(lost, 2);
    std::uint16_t code = 0;
    int len = 0;
    EXPECT_EQ(dev.TakeEvent(&code, nullptr, nullptr, 0, &len), 0);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(dev.EventCounts(&freeSlots, &lost), 0);
    EXPECT_EQ(lost, 0);
}

TEST_F(Receive, RepliesAreDiscardedInEventMode) {
    EXPECT_EQ(ParseEvents(Concat({ReplyFrame(B({1, 2, 3}), 9, 0), EventFrame(0x100, 255, B({4}))})),
              0);
    EXPECT_EQ(Queued(), 1);
    EXPECT_EQ(dev.PendingInput(), 0);
}

// After a complete reply the parser went on through the rest of the read, and a
// later reply in it overwrote the data and the result of the first.
TEST_F(Receive, ParsingStopsAtTheCompleteReply) {
    const Bytes input = Concat({EventFrame(1, 0, {}), ReplyFrame(B({1}), 0, 0),
                                ReplyFrame(B({2}), 9, 0), EventFrame(2, 0, {})});
    EXPECT_EQ(ParseReply(input, 1), 0);
    EXPECT_TRUE(done);
    EXPECT_EQ(rxCount, 1);
    EXPECT_EQ(rx[0], 1);
    EXPECT_EQ(Queued(), 1) << "the event before the reply";
    EXPECT_GT(dev.PendingInput(), 0);
    EXPECT_EQ(dev.ParseInput(true, nullptr, 0, nullptr, nullptr, 0), 0);
    EXPECT_EQ(Queued(), 2) << "the event after it, with the next call";
    EXPECT_EQ(rx[0], 1);
    EXPECT_EQ(dev.PendingInput(), 0);
}

TEST_F(Receive, ErrorLeavesTheRestForTheNextCall) {
    const Bytes input = Concat({ReplyFrame(B({1, 2}), 0, 0), EventFrame(7, 0, {})});
    EXPECT_EQ(ParseReply(input, 1), errBuffer);
    EXPECT_EQ(dev.Receiver().State, TRxState::Start);
    EXPECT_GT(dev.PendingInput(), 0);
    EXPECT_EQ(dev.ParseInput(true, nullptr, 0, nullptr, nullptr, 0), 0);
    EXPECT_EQ(Queued(), 1);
}

// The receive text was consumed from its front byte by byte, quadratic in its
// length: a 1 MiB backlog is parsed in one pass through a cursor.
TEST_F(Receive, ReceiveTextConsumedThroughACursor) {
    MaxEvents = 200000;
    dev.LinkOpened(SerialSetup(MaxEvents, MaxEventData));
    const Bytes one = EventFrame(0x100, 255, Bytes(100, 0x33));
    int frames = 0;
    Bytes chunk;
    while (chunk.size() + one.size() <= 10240) {
        chunk.insert(chunk.end(), one.begin(), one.end());
        ++frames;
    }
    const int reads = 100;
    for (int i = 0; i < reads; ++i) {
        port.Offer(chunk);
        dev.ReadInput();
    }
    ASSERT_EQ(dev.PendingInput(), static_cast<int>(chunk.size()) * reads);
    EXPECT_EQ(dev.ParseInput(true, nullptr, 0, nullptr, nullptr, 0), 0);
    EXPECT_EQ(Queued(), frames * reads);
    EXPECT_EQ(dev.PendingInput(), 0);
}

// The write position was a pointer into the buffer of the call that saw the
// reply start: a reply left half-received by one transaction wrote its tail
// through that pointer during the next, into a buffer its caller no longer held.
TEST_F(Receive, StaleReplyTailStaysInsideTheCurrentBuffer) {
    const Bytes reply = ReplyFrame(Bytes(20, 0x77), 0, 0);
    const std::size_t head = 12; // F3 and 11 data bytes
    std::uint8_t first[32];
    std::fill(std::begin(first), std::end(first), 0xEE);
    port.Offer(Bytes(reply.begin(), reply.begin() + head));
    dev.ReadInput();
    EXPECT_EQ(dev.ParseInput(false, first, -20, &rxCount, &done, 0), 0);
    std::fill(std::begin(first), std::end(first), 0xEE); // the first caller moved on
    std::uint8_t second[4] = {};
    port.Offer(Bytes(reply.begin() + head, reply.end()));
    dev.ReadInput();
    EXPECT_EQ(dev.ParseInput(false, second, -4, &rxCount, &done, 0), errBuffer);
    EXPECT_EQ(Bytes(first, first + 32), Bytes(32, 0xEE));
    EXPECT_EQ(Bytes(second, second + 4), Bytes(4, 0x00));
}

TEST_F(Receive, EventDataAndQueueStayBounded) {
    MaxEvents = 3;
    MaxEventData = 16;
    dev.LinkOpened(SerialSetup(MaxEvents, MaxEventData));
    const Bytes flood = EventFrame(0x100, 255, Bytes(100000, 0x11));
    for (int i = 0; i < 20; ++i)
        port.Offer(flood);
    do {
        dev.ReadInput();
        ASSERT_EQ(dev.ParseInput(true, nullptr, 0, nullptr, nullptr, 0), 0);
        ASSERT_LE(dev.Receiver().Frame.Telegram.Data.size(), 16u);
        ASSERT_LE(Queued(), 3);
    } while (!port.Empty());
    int lost = 0;
    EXPECT_EQ(dev.EventCounts(nullptr, &lost), 3);
    EXPECT_EQ(lost, 17);
    std::uint8_t data[16];
    int len = 0;
    EXPECT_EQ(dev.TakeEvent(nullptr, nullptr, data, 16, &len), errBuffer);
}

TEST_F(Receive, StoreBytesRefusesNil) {
    std::uint8_t b = 1;
    std::uint8_t* pos = nullptr;
    EXPECT_EQ(TNPDev::StoreBytes(pos, &b, 1), errNilStore);
    std::uint8_t target[2] = {};
    pos = target;
    EXPECT_EQ(TNPDev::StoreBytes(pos, nullptr, 1), errNilStore);
    EXPECT_EQ(TNPDev::StoreBytes(pos, &b, 1), 0);
    EXPECT_EQ(pos, target + 1);
    EXPECT_EQ(target[0], 1);
}

TEST_F(Receive, ReadSizeFollowsTheLinkKind) {
    struct {
        TLinkKind Kind;
        int Max;
    } cases[] = {{TLinkKind::Serial, 10240}, {TLinkKind::Usb, 512}};
    for (const auto& c : cases) {
        TLinkSetup setup = SerialSetup();
        setup.Kind = c.Kind;
        dev.LinkOpened(setup);
        port.Offer(Bytes(20000, 0x41));
        dev.ReadInput();
        EXPECT_EQ(port.MaxAsked, c.Max);
        EXPECT_EQ(dev.PendingInput(), c.Max);
        port.Purge();
        dev.ParseInput(true, nullptr, 0, nullptr, nullptr, 0);
    }
}

TEST_F(Receive, NibbleModeDecodesBeforeParsing) {
    TLinkSetup setup = SerialSetup();
    setup.Nibble = true;
    dev.LinkOpened(setup);
    const Bytes nibbles = NibbleEncode(ReplyFrame(B({0x12, 0xF4}), 0, 0));
    port.Offer(Bytes(nibbles.begin(), nibbles.begin() + 3)); // a byte and a half
    port.Offer(Bytes(nibbles.begin() + 3, nibbles.end()));
    dev.ReadInput();
    EXPECT_EQ(dev.ParseInput(false, rx, 2, &rxCount, &done, 0), 0);
    dev.ReadInput();
    EXPECT_EQ(dev.ParseInput(false, rx, 2, &rxCount, &done, 0), 0);
    EXPECT_TRUE(done);
    EXPECT_EQ(Bytes(rx, rx + 2), B({0x12, 0xF4}));
}

TEST_F(Receive, ReplyCheckStartsFromTheGivenValue) {
    const Bytes reply = ReplyFrame(B({1}), 0, 0xE53E);
    EXPECT_EQ(ParseReply(reply, 1), errChecksum);
    port.Offer(reply);
    dev.ReadInput();
    EXPECT_EQ(dev.ParseInput(false, rx, 1, &rxCount, &done, 0xE53E), 0);
}

} // namespace

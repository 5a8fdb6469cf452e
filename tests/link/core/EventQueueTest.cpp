#include "link/core/QuorxEvents.h"

#include <gtest/gtest.h>

namespace {

Ttelegr Event(std::uint16_t Code, Bytes Data, std::int32_t Status = 0) {
    Ttelegr t;
    t.Code = Code;
    t.Param = static_cast<std::uint8_t>(Code & 0xFF);
    t.Data = std::move(Data);
    t.Status = Status;
    return t;
}

class EventQueue : public ::testing::Test {
protected:
    void SetUp() override { queue.Configure(3, 8); }
    TEventQueue queue;
    std::uint16_t code = 0xEEEE;
    std::uint8_t param = 0xEE;
    std::uint8_t buf[8] = {};
    int len = -7;
};

TEST_F(EventQueue, TakeResults) {
    queue.QueueEvent(Event(0x100, Bytes(6, 1)));
    struct {
        const char* Name;
        void* Buf;
        int BufSize;
        TLinkResult Result;
    } cases[] = {
        {"negative size", buf, -1, errParam},
        {"size above MaxEventData", buf, 9, errParam},
        {"data does not fit", buf, 5, errBuffer},
        {"nil buffer holds no data", nullptr, 8, errBuffer},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(queue.TakeEvent(&code, &param, c.Buf, c.BufSize, &len), c.Result);
        EXPECT_EQ(len, -7);
        EXPECT_EQ(code, 0xEEEE);
        EXPECT_EQ(queue.EventCounts(nullptr, nullptr), 1);
    }
    EXPECT_EQ(queue.TakeEvent(&code, &param, buf, 6, &len), 0);
    EXPECT_EQ(code, 0x100);
    EXPECT_EQ(len, 6);
    EXPECT_EQ(queue.TakeEvent(&code, &param, buf, 8, &len), errNoEvent);
    EXPECT_EQ(queue.TakeEvent(&code, &param, buf, 9, &len), errParam);
}

TEST_F(EventQueue, OldestFirst) {
    for (std::uint16_t c : {1, 2, 3})
        queue.QueueEvent(Event(c, {}));
    for (std::uint16_t c : {1, 2, 3}) {
        EXPECT_EQ(queue.TakeEvent(&code, nullptr, nullptr, 0, nullptr), 0);
        EXPECT_EQ(code, c);
    }
}

TEST_F(EventQueue, TruncatedEventFillsNothingAndIsRemoved) {
    queue.QueueEvent(Event(5, Bytes(8, 2), errBuffer));
    EXPECT_EQ(queue.TakeEvent(&code, &param, buf, 8, &len), errBuffer);
    EXPECT_EQ(code, 0xEEEE);
    EXPECT_EQ(len, -7);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(queue.EventCounts(nullptr, nullptr), 0);
}

TEST_F(EventQueue, CountsFreeAndLost) {
    for (std::uint16_t c = 0; c < 5; ++c)
        EXPECT_EQ(queue.QueueEvent(Event(c, {})), std::min<int>(c + 1, 3));
    int freeSlots = -1, lost = -1;
    EXPECT_EQ(queue.EventCounts(&freeSlots, &lost), 3);
    EXPECT_EQ(freeSlots, 0);
    EXPECT_EQ(lost, 2);
    queue.TakeEvent(nullptr, nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(queue.EventCounts(&freeSlots, &lost), 2);
    EXPECT_EQ(lost, 2) << "lost is kept until the queue is empty";
    queue.TakeEvent(nullptr, nullptr, nullptr, 0, nullptr);
    queue.TakeEvent(nullptr, nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(queue.EventCounts(&freeSlots, &lost), 0);
    EXPECT_EQ(freeSlots, 3);
    EXPECT_EQ(lost, 0);
}

TEST_F(EventQueue, NoCapacityLosesEverything) {
    queue.Configure(0, 8);
    EXPECT_EQ(queue.QueueEvent(Event(1, {})), 0);
    int lost = 0;
    EXPECT_EQ(queue.EventCounts(nullptr, &lost), 0);
    EXPECT_EQ(lost, 1);
}

} // namespace

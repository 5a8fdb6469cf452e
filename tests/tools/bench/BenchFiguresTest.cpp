// The link benchmark's figures: percentiles and the bytes each frame puts on
// the line, which its bounds rest on.
#include "tools/bench/BenchFigures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace {

TEST(BenchFigures, NearestRankPercentiles) {
    std::vector<double> twenty(20);
    std::iota(twenty.begin(), twenty.end(), 1.0);
    struct {
        const char* Name;
        std::vector<double> Samples;
        double P;
        double Expected;
    } cases[] = {
        {"median of five, unsorted", {5, 1, 4, 2, 3}, 50, 3},
        {"p95 of five is the largest", {5, 1, 4, 2, 3}, 95, 5},
        {"p95 of twenty", twenty, 95, 19},
        {"median of twenty", twenty, 50, 10},
        {"one sample", {7.5}, 95, 7.5},
        {"none", {}, 50, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Percentile(c.Samples, c.P), c.Expected);
    }
}

TEST(BenchFigures, WireBytesCountTheEscapes) {
    const std::uint8_t devId[] = {'Z', 'E', 'P', 'H', 'O', 'R', 'A', 0};
    const std::uint8_t control[] = {0x41, 0xF5, 0xFF};
    const std::vector<std::uint8_t> record(128, 0);
    EXPECT_EQ(RequestWireBytes(1, 0), 7);     // F1 01 00 00 F6 check
    EXPECT_EQ(ReplyWireBytes(devId, 8), 13);  // F3 8 data F6 status check
    EXPECT_EQ(ReplyWireBytes(control, 3), 9); // 0xF5 escaped, 0xFF not
    EXPECT_EQ(ReplyWireBytes(nullptr, 0), 5); // no data
    EXPECT_EQ(EventWireBytes(0x100, 255, record.data(), 128), 135);
    EXPECT_EQ(EventWireBytes(0x1F2, 255, record.data(), 128), 136); // code low byte escaped
}

TEST(BenchFigures, BoundsOfA19200BaudLine) {
    EXPECT_DOUBLE_EQ(WireMs(96), 50);
    EXPECT_DOUBLE_EQ(EventBoundPerSecond(135), 1920.0 / 135);
    EXPECT_EQ(EventBoundPerSecond(0), 0);
}

TEST(BenchFigures, TransactionBoundIsTheFirstPollAfterTheWireTime) {
    struct {
        double WireMs;
        double Bound;
    } cases[] = {
        {0, 20},    // the first look comes after one sleep
        {10.4, 20}, // GetDevId: 20 bytes
        {20, 20},   // on the line just as the poll looks
        {20.1, 40}, // missed by a hair: the next poll
        {73.4, 80}, // 141 bytes: the 128-byte measurement
        {100.5, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.WireMs);
        EXPECT_DOUBLE_EQ(FirstPollMs(c.WireMs), c.Bound);
    }
}

TEST(BenchFigures, EventLossCountsTheNumbersSentInTheWindow) {
    struct {
        const char* Name;
        std::uint32_t SentBefore;
        std::vector<std::uint32_t> Numbers;
        std::uint32_t SentAfter;
        std::uint32_t Sent, Received, Lost, Strays;
    } cases[] = {
        {"all arrive, out of order", 4, {5, 7, 6, 8}, 8, 4, 4, 0, 0},
        {"a gap in the middle", 0, {1, 2, 4, 5}, 5, 5, 4, 1, 0},
        {"the last ones never arrive", 10, {11, 12}, 15, 5, 2, 3, 0},
        {"none arrive", 3, {}, 6, 3, 0, 3, 0},
        {"a duplicate is no arrival", 0, {1, 2, 2, 3}, 3, 3, 3, 0, 1},
        {"numbers from before or after the window", 5, {5, 6, 7, 9}, 7, 2, 2, 0, 2},
        {"nothing sent", 7, {}, 7, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TEventLoss loss(c.SentBefore);
        for (const std::uint32_t n : c.Numbers)
            loss.Receive(n);
        loss.Finish(c.SentAfter);
        EXPECT_EQ(loss.Sent(), c.Sent);
        EXPECT_EQ(loss.Received(), c.Received);
        EXPECT_EQ(loss.Lost(), c.Lost);
        EXPECT_EQ(loss.Strays(), c.Strays);
    }
}

TEST(BenchFigures, LostTallyKeepsWhatTheLibraryForgets) {
    TLostTally tally;
    tally.Read(2, true); // read, then the queue emptied: the library starts again at 0
    tally.Read(0, true);
    tally.Read(3, false); // events left: the library's count goes on from 3
    EXPECT_EQ(tally.Total(), 5);
    tally.Read(4, true);
    EXPECT_EQ(tally.Total(), 6);
    tally.Read(1, false);
    EXPECT_EQ(tally.Total(), 7);
}

} // namespace

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
    EXPECT_DOUBLE_EQ(TransactionBoundMs(20), 20 * 1000.0 / 1920 + 20);
    EXPECT_DOUBLE_EQ(EventBoundPerSecond(135), 1920.0 / 135);
    EXPECT_EQ(EventBoundPerSecond(0), 0);
}

} // namespace

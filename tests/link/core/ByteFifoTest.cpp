// The bounded byte queue between a USB read thread and its device object.
#include "link/core/ByteFifo.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Counting(std::size_t N, std::uint8_t From = 0) {
    Bytes b(N);
    std::iota(b.begin(), b.end(), From);
    return b;
}

Bytes TakeAll(TByteFifo& Fifo, std::size_t Piece) {
    Bytes out;
    std::vector<std::uint8_t> buf(Piece);
    while (std::size_t n = Fifo.Take(buf.data(), Piece))
        out.insert(out.end(), buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

// The read thread's buffer grew without end while the timer took 512 bytes a
// tick: beyond its bound input is dropped and counted.
TEST(ByteFifo, BytesBeyondTheBoundAreDroppedAndCounted) {
    const struct {
        const char* Name;
        std::vector<std::size_t> Appends;
        std::size_t Kept;
        std::uint64_t Dropped;
    } cases[] = {
        {"under the bound", {3, 4}, 7, 0},
        {"up to the bound", {6, 4}, 10, 0},
        {"one over", {6, 5}, 10, 1},
        {"a whole chunk over", {10, 512}, 10, 512},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TByteFifo fifo(10);
        Bytes sent;
        for (std::size_t n : c.Appends) {
            const Bytes chunk = Counting(n, static_cast<std::uint8_t>(sent.size()));
            sent.insert(sent.end(), chunk.begin(), chunk.end());
            EXPECT_LE(fifo.Append(chunk.data(), chunk.size()), 10u);
        }
        EXPECT_EQ(fifo.Size(), c.Kept);
        EXPECT_EQ(fifo.Dropped(), c.Dropped);
        EXPECT_EQ(TakeAll(fifo, 3), Bytes(sent.begin(), sent.begin() + c.Kept))
            << "the oldest stay";
    }
}

TEST(ByteFifo, TakingInPiecesKeepsTheOrderAcrossAppends) {
    TByteFifo fifo(1 << 20);
    Bytes sent;
    Bytes got;
    std::uint8_t buf[512];
    // A backlog drained a piece at a time while more keeps arriving.
    for (int round = 0; round < 300; ++round) {
        const Bytes chunk = Counting(700, static_cast<std::uint8_t>(round));
        sent.insert(sent.end(), chunk.begin(), chunk.end());
        fifo.Append(chunk.data(), chunk.size());
        const std::size_t n = fifo.Take(buf, sizeof buf);
        got.insert(got.end(), buf, buf + n);
    }
    const Bytes rest = TakeAll(fifo, 512);
    got.insert(got.end(), rest.begin(), rest.end());
    EXPECT_EQ(got, sent);
    EXPECT_EQ(fifo.Dropped(), 0u);
}

TEST(ByteFifo, MoveAllClearAndNothingToTake) {
    TByteFifo fifo(8);
    std::uint8_t buf[4];
    EXPECT_EQ(fifo.Take(buf, 4), 0u);
    EXPECT_EQ(fifo.Append(nullptr, 3), 0u);
    const Bytes abc = Counting(3, 'a');
    fifo.Append(abc.data(), 3);
    EXPECT_EQ(fifo.Take(nullptr, 4), 0u);
    EXPECT_EQ(fifo.Take(buf, 1), 1u);
    Bytes out = {'x'};
    fifo.MoveAllTo(out);
    EXPECT_EQ(out, (Bytes{'x', 'b', 'c'}));
    EXPECT_EQ(fifo.Size(), 0u);
    fifo.Append(abc.data(), 3);
    fifo.Clear();
    EXPECT_EQ(fifo.Size(), 0u);
}

} // namespace

#include "link/core/QuorxComTools.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

Bytes B(std::initializer_list<int> v) {
    Bytes out;
    for (int x : v)
        out.push_back(static_cast<std::uint8_t>(x));
    return out;
}

TEST(Checksum16, CheckValueTable) {
    struct Case {
        std::string input;
        std::uint16_t check;
    } cases[] = {
        {"", 0x0000},
        {std::string(1, '\0'), 0x0000},
        {"\xFF", 0x00FE},
        {"A", 0x0041},
        {"abc", 0x97FF},
        {"123456789", 0xCBD8},
        // long enough for the folding path
        {[] {
             std::string s;
             for (int i = 0; i < 20; ++i)
                 s += "123456789";
             return s;
         }(),
         0xAC5B},
        {std::string(1000, '\xFF'), 0xA235},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input));
        EXPECT_EQ(Checksum16(c.input.data(), static_cast<int>(c.input.size())), c.check);
    }
}

TEST(Checksum16, StepMatchesBlock) {
    const std::string text = "123456789";
    std::uint16_t c = 0;
    for (char ch : text)
        Checksum16Step(c, static_cast<std::uint8_t>(ch));
    EXPECT_EQ(c, 0xCBD8);
}

TEST(Checksum16, ContinuationOverSplitBlocks) {
    const std::string text = "abc";
    for (int split = 0; split <= 3; ++split) {
        SCOPED_TRACE(split);
        const std::uint16_t head = Checksum16(text.data(), split);
        EXPECT_EQ(Checksum16Cont(head, text.data() + split, 3 - split), 0x97FF);
    }
}

// Long blocks take a faster path than frames do; every length, alignment and
// start value must give the check of the plain byte-by-byte definition.
TEST(Checksum16, LongBlocksMatchTheByteByByteCheck) {
    std::mt19937 random(18);
    Bytes data(70000);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(random());
    const auto stepwise = [&](std::uint16_t c, std::size_t from, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            Checksum16Step(c, data[from + i]);
        return c;
    };
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 300; ++n)
        lengths.push_back(n);
    for (std::size_t n : {1023, 1024, 4096 + 7, 65536, 69990})
        lengths.push_back(n);
    for (std::size_t n : lengths) {
        const std::size_t from = random() % (data.size() - n + 1);
        const auto start = static_cast<std::uint16_t>(n % 7 == 0 ? 0 : random());
        SCOPED_TRACE(testing::Message() << n << " bytes at " << from << " from " << start);
        EXPECT_EQ(Checksum16Cont(start, data.data() + from, static_cast<int>(n)),
                  stepwise(start, from, n));
    }
    // Blocks of one byte value, where a fold constant or the start value's
    // place would show.
    for (int value : {0x00, 0x01, 0x80, 0xFF}) {
        SCOPED_TRACE(value);
        const Bytes same(1000, static_cast<std::uint8_t>(value));
        std::uint16_t c = 0xFFFF;
        for (std::uint8_t b : same)
            Checksum16Step(c, b);
        EXPECT_EQ(Checksum16Cont(0xFFFF, same.data(), 1000), c);
    }
}

// Parts of one long block checked apart, each from 0, chain into the check of
// the whole from any start value.
TEST(Checksum16, JoinedPartsGiveTheCheckOfTheWhole) {
    std::mt19937 random(29);
    Bytes data(1 << 21);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(random());
    const int size = static_cast<int>(data.size());
    for (int split : {0, 1, 2, 15, 16, 127, 128, 4099, 1 << 20, size - 1, size}) {
        for (std::uint16_t start : {0x0000, 0x0001, 0x8000, 0xFFFF, 0x1234}) {
            SCOPED_TRACE(testing::Message() << "split at " << split << " from " << start);
            const std::uint16_t head = Checksum16Cont(start, data.data(), split);
            const std::uint16_t tail = Checksum16(data.data() + split, size - split);
            EXPECT_EQ(Checksum16Join(head, tail, static_cast<std::uint64_t>(size - split)),
                      Checksum16Cont(start, data.data(), size));
        }
    }
    // Files may hold more bytes than an int counts: zero parts chain as one.
    const std::uint64_t half = std::uint64_t{1} << 32;
    EXPECT_EQ(Checksum16Join(Checksum16Join(0x1234, 0, half), 0, half + 5),
              Checksum16Join(0x1234, 0, 2 * half + 5));
}

TEST(Checksum16, ZeroBlocksLeaveTheCheckZero) {
    for (int n : {1, 2, 17, 1000}) {
        SCOPED_TRACE(n);
        const Bytes zeros(static_cast<std::size_t>(n), 0);
        EXPECT_EQ(Checksum16(zeros.data(), n), 0);
    }
}

TEST(Checksum16, EmptyOrNilInputReturnsTheStartValue) {
    const std::uint8_t byte = 0x41;
    EXPECT_EQ(Checksum16Cont(0x1234, &byte, 0), 0x1234);
    EXPECT_EQ(Checksum16Cont(0x1234, &byte, -5), 0x1234);
    EXPECT_EQ(Checksum16Cont(0x1234, nullptr, 3), 0x1234);
    EXPECT_EQ(Checksum16(nullptr, 3), 0);
}

TEST(StuffBytes, EscapesControlBytesOnly) {
    struct Case {
        Bytes in, out;
    } cases[] = {
        {B({0x41, 0xF0, 0xFF, 0xF6}), B({0x41, 0xF0, 0x00, 0xFF, 0xF0, 0x06})},
        {B({0xEF, 0xFE, 0xFF}), B({0xEF, 0xF0, 0x0E, 0xFF})},
        {B({0xF1, 0xF2, 0xF3, 0xF5, 0xF7, 0xF8, 0xFD}),
         B({0xF0, 1, 0xF0, 2, 0xF0, 3, 0xF0, 5, 0xF0, 7, 0xF0, 8, 0xF0, 0x0D})},
        {B({0x00}), B({0x00})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.in));
        Bytes out = B({0x99});
        StuffBytes(c.in.data(), static_cast<int>(c.in.size()), out);
        EXPECT_EQ(out, c.out);
    }
}

TEST(StuffBytes, EmptyOrNilInputGivesAnEmptyString) {
    const std::uint8_t data[] = {0xF0};
    Bytes out = B({1, 2, 3});
    StuffBytes(data, 0, out);
    EXPECT_TRUE(out.empty());
    out = B({1});
    StuffBytes(nullptr, 4, out);
    EXPECT_TRUE(out.empty());
}

TEST(ByteRoutines, CopyAndZeroTouchExactlyCountBytes) {
    std::uint8_t dst[6] = {9, 9, 9, 9, 9, 9};
    const std::uint8_t src[4] = {1, 2, 3, 4};
    CopyBytes(dst + 1, src, 4);
    EXPECT_EQ(B({dst[0], dst[1], dst[2], dst[3], dst[4], dst[5]}), B({9, 1, 2, 3, 4, 9}));
    ZeroBytes(dst + 2, 2);
    EXPECT_EQ(B({dst[0], dst[1], dst[2], dst[3], dst[4], dst[5]}), B({9, 1, 0, 0, 4, 9}));
    CopyBytes(dst, src, 0);
    ZeroBytes(dst, -1);
    EXPECT_EQ(dst[0], 9);
}

} // namespace

#include "app/values/RecordData_.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

TSample MakeSample() {
    TSample s{};
    s.Stamp = {31, 12, 0x07E6, 0x00015180};
    s.Meas = {-2, 0x1234, -300, 0xA1B2C3D4, 0x8031};
    s.Mark = smInterrupted;
    s.Block = 0x0102;
    return s;
}

const std::array<uint8_t, kSampleSize> kSampleBytes = {
    31,   12,   0xE6, 0x07, 0x80, 0x51, 0x01, 0x00, // stamp
    0xFE, 0xFF, 0x34, 0x12, 0xD4, 0xFE,             // humidity, temperature, D value
    0xD4, 0xC3, 0xB2, 0xA1, 0x31, 0x80,             // elapsed, status
    4,    0x02, 0x01};                              // mark, block

TEST(Sample, GoldenBytesBothWays) {
    std::array<uint8_t, kSampleSize> out;
    out.fill(0xAA);
    PutSample(out.data(), MakeSample());
    EXPECT_EQ(out, kSampleBytes);

    const TSample s = GetSample(kSampleBytes.data());
    const TSample want = MakeSample();
    EXPECT_EQ(std::memcmp(&s, &want, sizeof s), 0);
}

TRecBlockHeader MakeHeader() {
    TRecBlockHeader h{};
    h.Block = 0x0203;
    h.Interface = 0x80;
    h.Chamber = 9;
    std::memset(h.SWVers, 'V', sizeof h.SWVers); // full field, no terminator
    std::memcpy(h.SerialPart, "SER1", 4);
    h.Interval = 0x0000003C;
    h.Count = 0x01020304;
    std::memset(h.Name, 'N', sizeof h.Name);
    std::memcpy(h.DevUser, "---", 3);
    std::memset(h.OSUser, 'u', sizeof h.OSUser);
    h.InstrSampleNo = 0xBEEF;
    std::memcpy(h.DevId, "ZEPHORA", 7);
    h.Reserved[38] = 0x5A;
    return h;
}

TEST(BlockHeader, FieldsAtTheirOffsets) {
    std::array<uint8_t, kBlockHeaderSize> out;
    out.fill(0xAA);
    PutBlockHeader(out.data(), MakeHeader());
    struct Field {
        std::size_t offset;
        std::vector<uint8_t> bytes;
    };
    const Field fields[] = {
        {0, {0x03, 0x02, 0x80, 9}},
        {4, std::vector<uint8_t>(21, 'V')},
        {25, {'S', 'E', 'R', '1', 0}},
        {46, {0x3C, 0, 0, 0, 0x04, 0x03, 0x02, 0x01}},
        {54, std::vector<uint8_t>(41, 'N')},
        {95, {'-', '-', '-', 0}},
        {116, std::vector<uint8_t>(257, 'u')},
        {373, {0xEF, 0xBE, 'Z', 'E', 'P', 'H', 'O', 'R', 'A', 0}},
        {396, std::vector<uint8_t>(38, 0)},
        {434, {0x5A}},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.offset);
        EXPECT_EQ(
            std::vector<uint8_t>(out.begin() + f.offset, out.begin() + f.offset + f.bytes.size()),
            f.bytes);
    }
    const TRecBlockHeader back = GetBlockHeader(out.data());
    const TRecBlockHeader want = MakeHeader();
    EXPECT_EQ(std::memcmp(&back, &want, sizeof back), 0);
}

std::array<uint8_t, kOldBlockHeaderSize> OldHeaderBytes(uint8_t Tail) {
    std::array<uint8_t, kBlockHeaderSize> current;
    PutBlockHeader(current.data(), MakeHeader());
    std::array<uint8_t, kOldBlockHeaderSize> old;
    std::memcpy(old.data(), current.data(), 95);
    std::memset(old.data() + 95, Tail, kOldBlockHeaderSize - 95);
    return old;
}

TEST(OldBlockHeader, ConvertsToTheSameHeaderWhateverItsTail) {
    const auto zeros = OldHeaderBytes(0);
    const auto junk = OldHeaderBytes(0xC7);
    const auto converted =
        ConvertOldBlockHeaders({GetOldBlockHeader(zeros.data()), GetOldBlockHeader(junk.data())});
    ASSERT_EQ(converted.size(), 2u);

    std::array<uint8_t, kBlockHeaderSize> want{};
    const TRecBlockHeader source = MakeHeader();
    PutBlockHeader(want.data(), source);
    std::memset(want.data() + 95, 0, kBlockHeaderSize - 95);
    std::memcpy(want.data() + 95, "---", 3);
    std::memcpy(want.data() + 116, "---", 3);
    for (const TRecBlockHeader& h : converted) {
        std::array<uint8_t, kBlockHeaderSize> got;
        got.fill(0xAA);
        PutBlockHeader(got.data(), h);
        EXPECT_EQ(got, want);
    }
}

TEST(OldBlockHeader, NoHeadersConvertToNone) {
    EXPECT_TRUE(ConvertOldBlockHeaders({}).empty());
}

} // namespace

namespace {

TEST(AppendBlock, NumbersBlocksAndRefusesTheOneBeyond16Bits) {
    TRecording data;
    TRecBlockHeader h{};
    h.Block = 999; // renumbered
    ASSERT_TRUE(AppendBlock(data, h));
    EXPECT_EQ(data.Headers[0].Block, 1);
    data.Headers.resize(kMaxBlocks - 1);
    ASSERT_TRUE(AppendBlock(data, h));
    EXPECT_EQ(data.Headers.back().Block, 65535);
    EXPECT_FALSE(AppendBlock(data, h));
    EXPECT_EQ(data.Headers.size(), kMaxBlocks);
    EXPECT_EQ(data.Headers.back().Block, 65535);
}

} // namespace

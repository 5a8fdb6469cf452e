// The word coding of the protocol file's body.
#include "app/protocol/cod_.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(WordCoding, KnownValues) {
    EXPECT_EQ(NibbleSum(0x12345678), 36u);
    EXPECT_EQ(NibbleSum(0xFFFFFFFF), 120u);
    EXPECT_EQ(NibbleSum(0), 0u);
    EXPECT_EQ(RotateRight32(0x00000001, 1), 0x80000000u);
    EXPECT_EQ(RotateRight32(0x12345678, 0), 0x12345678u);
    EXPECT_EQ(RotateRight32(0x12345678, 32), 0x12345678u);
    EXPECT_EQ(RotateRight32(0x12345678, 36), 0x81234567u);
    // 0x12345678 + 4 rotated right by 4.
    EXPECT_EQ(CodeWord(0x12345678, 4), 0xC1234567u);
    // The sum wraps to 0x20, and only the low five bits of 33 rotate.
    EXPECT_EQ(CodeWord(0xFFFFFFFF, 33), 0x10u);
    EXPECT_EQ(DecodeWord(0xC1234567, 4), 0x12345678u);
    EXPECT_EQ(DecodeWord(0x10, 33), 0xFFFFFFFFu);
}

TEST(WordCoding, DecodeUndoesCodeForEveryKey) {
    const uint32_t words[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xDEADBEEF};
    for (int k = 0; k < 256; ++k)
        for (uint32_t w : words)
            ASSERT_EQ(DecodeWord(CodeWord(w, static_cast<uint8_t>(k)), static_cast<uint8_t>(k)), w)
                << "key " << k << " word " << w;
}

TEST(WordCoding, BodyKeyRotatesWithTheCodedWords) {
    // Worked by hand: "ABCD" with key 4 codes to 0x54443424 (nibble sum 30), so
    // the next key is 34: 0x45 + 34 = 0x67 rotated right by 2 is 0xC0000019.
    std::vector<uint8_t> buffer = {0xAA, 'A', 'B', 'C', 'D', 'E'};
    CodeBody(buffer, 1, 4);
    EXPECT_EQ(buffer, (std::vector<uint8_t>{0xAA, 0x24, 0x34, 0x44, 0x54, 0x19, 0x00, 0x00, 0xC0}));
    DecodeBody(buffer, 1, 4);
    EXPECT_EQ(buffer, (std::vector<uint8_t>{0xAA, 'A', 'B', 'C', 'D', 'E', 0, 0, 0}));
}

TEST(WordCoding, NothingAfterTheStartIsLeftAlone) {
    std::vector<uint8_t> buffer = {1, 2, 3};
    CodeBody(buffer, 3, 9);
    EXPECT_EQ(buffer, (std::vector<uint8_t>{1, 2, 3}));
}

} // namespace

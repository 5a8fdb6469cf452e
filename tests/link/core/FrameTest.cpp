#include "link/core/QuorxFrame.h"
#include "tests/link/core/LinkTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct TFrameCase {
    const char* Name;
    std::uint8_t Kind;
    std::uint16_t ReqNo;
    std::uint8_t Param;
    Bytes Data;
    std::uint16_t CheckStart;
    Bytes Wire;
};

// Check values computed apart from the library, from the check's definition.
const TFrameCase kFrames[] = {
    {"GetDevId request", 0xF1, 1, 0, {}, 0, B({0xF1, 0x01, 0x00, 0x00, 0xF6, 0x03, 0x1A})},
    {"SetMeasEvent command", 0xF2, 0x200, 0, B({0xFF}), 0,
     B({0xF2, 0x00, 0x02, 0x00, 0xFF, 0xF6, 0x06, 0x7F})},
    {"control bytes in every field", 0xF1, 0x01F3, 0xF6, B({0x41, 0xF0, 0xFF, 0xFE}), 0,
     B({0xF1, 0xF0, 0x03, 0x01, 0xF0, 0x06, 0x41, 0xF0, 0x00, 0xFF, 0xF0, 0x0E, 0xF6, 0x56, 0xD8})},
    {"check byte stuffed",
     0xF1,
     0x104,
     0,
     {},
     0,
     B({0xF1, 0x04, 0x01, 0x00, 0xF6, 0xF0, 0x02, 0xD8})},
    {"bus address 5",
     0xF1,
     0x201,
     255,
     {},
     0x0005 /* Checksum16 of the byte 5 */,
     B({0xF1, 0x01, 0x02, 0xFF, 0xF6, 0xE5, 0xDD})},
};

TEST(BuildFrame, GoldenFrames) {
    for (const TFrameCase& c : kFrames) {
        SCOPED_TRACE(c.Name);
        const TOutFrame f = BuildFrame(c.Kind, c.ReqNo, c.Param, c.Data.data(),
                                       static_cast<int>(c.Data.size()), c.CheckStart);
        EXPECT_EQ(f.Wire, c.Wire);
    }
}

TEST(BuildFrame, BusAddressCheckStartsFromTheAddressCheck) {
    const std::uint8_t addr = 5;
    EXPECT_EQ(Checksum16(&addr, 1), 0x0005);
    EXPECT_EQ(BuildFrame(0xF1, 0x201, 255, nullptr, 0, 5).Check, 0xDDE5);
}

TEST(Transact, SendsTheGoldenFrame) {
    for (const TFrameCase& c : kFrames) {
        if (c.CheckStart != 0)
            continue;
        SCOPED_TRACE(c.Name);
        TScriptPort port;
        TFakeClock clock;
        TNPDev dev(port, clock);
        dev.LinkOpened(SerialSetup());
        dev.SetTimeoutPair(0, 0);
        dev.Transact(c.Kind, c.ReqNo, c.Param, c.Data.data(), static_cast<int>(c.Data.size()),
                     nullptr, 0, nullptr);
        EXPECT_EQ(port.Written, c.Wire);
    }
}

TEST(Nibble, EncodesLowThenHighWithMarker) {
    EXPECT_EQ(NibbleEncode(B({0xF1, 0x00, 0x3C})), B({0x01, 0x1F, 0x00, 0x10, 0x0C, 0x13}));
}

TEST(Nibble, DecodeUndoesEncode) {
    const Bytes wire = B({0xF3, 0x00, 0xFF, 0x7E, 0xF6});
    std::uint8_t saved = 0;
    Bytes back;
    for (std::uint8_t c : NibbleEncode(wire)) {
        std::uint8_t b;
        if (NibbleDecode(c, saved, b))
            back.push_back(b);
    }
    EXPECT_EQ(back, wire);
}

TEST(ReplyText, StopsAtNulCountOrBuffer) {
    struct {
        const char* Name;
        std::string Buf;
        int RxCount;
        int BufSize;
        std::string Text;
    } cases[] = {
        {"NUL inside", std::string("95168\0x", 7), 7, 7, "95168"},
        {"no NUL: the count ends it", "951680", 6, 6, "951680"},
        {"count shorter than the bytes", "ZEPHORA", 3, 7, "ZEP"},
        {"count beyond the buffer", "ABCD", 40, 4, "ABCD"},
        {"negative count", "ABCD", -1, 4, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ReplyText(c.Buf.data(), c.RxCount, c.BufSize), c.Text);
    }
    EXPECT_EQ(ReplyText(nullptr, 5, 5), "");
}

} // namespace

// The printer byte stream of an instrument's protocol as runs of plain and bold text.
#include "app/protocol/Esc_P_.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<TPrinterRun> RunsOf(const std::string& Bytes) {
    return PrinterTextRuns(reinterpret_cast<const uint8_t*>(Bytes.data()),
                           static_cast<int32_t>(Bytes.size()));
}

TEST(PrinterText, EscapesSwitchBoldAndTakeExactlyOneByte) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<TPrinterRun> runs;
    };
    const Case cases[] = {
        {"bold then plain",
         "\x1B"
         "Eabc\x1B"
         "Fdef",
         {{"abc", true}, {"def", false}}},
        {"escape as the last byte", "ab\x1B", {{"ab", false}}},
        {"escape takes an escape",
         "\x1B\x1B"
         "Ex",
         {{"Ex", false}}},
        {"other escapes are dropped",
         "a\x1BXb\x1B"
         "E",
         {{"ab", false}}},
        {"parameter bytes stay text",
         "\x1B"
         "!\x08z",
         {{"\x08z", false}}},
        {"bold twice is one run",
         "\x1B"
         "Ea\x1B"
         "Eb",
         {{"ab", true}}},
        {"degree signs",
         "25\xF8"
         "C 30\xB0",
         {{"25\xB0"
           "C 30\xB0",
           false}}},
        {"control bytes are text", "a\r\nb\tc\x0C", {{"a\r\nb\tc\x0C", false}}},
        {"CR LF split by an escape",
         "x\r\x1B"
         "E\ny",
         {{"x", false}, {"\r\ny", true}}},
        {"CR LF alone split",
         "\r\x1B"
         "E\n",
         {{"\r\n", true}}},
        {"CR LF split inside one style",
         "a\x1B"
         "E\r\x1B"
         "F\nb",
         {{"a\r\nb", false}}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunsOf(c.bytes), c.runs);
    }
}

TEST(PrinterText, OnlyTheFirstLenBytesCount) {
    const uint8_t bytes[] = {'a', 'b', 0x1B, 'E', 'c'};
    EXPECT_EQ(PrinterTextRuns(bytes, 2), (std::vector<TPrinterRun>{{"ab", false}}));
    EXPECT_TRUE(PrinterTextRuns(bytes, 0).empty());
    EXPECT_TRUE(PrinterTextRuns(bytes, -1).empty());
    EXPECT_TRUE(PrinterTextRuns(nullptr, 5).empty());
}

TEST(PrinterText, EveryByteButTheDegreeSignShowsItself) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(PrinterChar(static_cast<uint8_t>(b)), b == 0xF8 ? 0xB0 : b) << b;
}

} // namespace

#include "app/base/Tools_.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

TMeasStamp Stamp(int Day, int Month, int Year, uint32_t Seconds) {
    return {static_cast<uint8_t>(Day), static_cast<uint8_t>(Month), static_cast<uint16_t>(Year),
            Seconds};
}

// Conversion errors carry their text; a case expects either a value or that text.
template <class F>
std::string ErrorOf(F&& Call) {
    try {
        Call();
    } catch (const EConvertError& e) {
        return e.what();
    }
    return {};
}

class DecimalSeparatorScope {
public:
    explicit DecimalSeparatorScope(char C) : FOld(DecimalSeparator()) { SetDecimalSeparator(C); }
    ~DecimalSeparatorScope() { SetDecimalSeparator(FOld); }

private:
    char FOld;
};

TEST(TimeTexts, SecsToHMSAndSecsToMSAtTheirBoundaries) {
    struct Case {
        int32_t seconds;
        const char* hms;
        const char* ms;
    } cases[] = {
        {0, "00:00:00", "00:00"},          {59, "00:00:59", "00:59"},
        {90, "00:01:30", "01:30"},         {3661, "01:01:01", "61:01"},
        {5999, "01:39:59", "99:59"},       {6000, "01:40:00", "--:--"},
        {359999, "99:59:59", "--:--"},     {360000, "--:--:--", "--:--"},
        {2147483647, "--:--:--", "--:--"}, {-5, "00:00:-05", "00:-05"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(SecsToHMS(c.seconds), c.hms);
        EXPECT_EQ(SecsToMS(c.seconds), c.ms);
    }
}

TEST(TimeTexts, DurationTextUpToTheDashText) {
    struct Case {
        uint32_t seconds;
        const char* text;
    } cases[] = {
        {0, "0d 00h 00' 00\""},
        {59, "0d 00h 00' 59\""},
        {90061, "1d 01h 01' 01\""},
        {86399, "0d 23h 59' 59\""},
        {2147483647u, "24855d 03h 14' 07\""},
        {2147483648u, "-d --h -' --\""},
        {4294967295u, "-d --h -' --\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(DurationText(c.seconds), c.text);
    }
}

TEST(TimeTexts, DurationDivTextWithTenthsAndTheLocaleSeparator) {
    struct Case {
        uint32_t seconds;
        uint32_t divisor;
        char separator;
        const char* text;
    } cases[] = {
        {720, 12, '.', "0d 00h 01' 0.0\""},
        {1800, 24, '.', "0d 00h 01' 15.0\""},
        {25, 2, '.', "0d 00h 00' 12.5\""},
        {25, 2, ',', "0d 00h 00' 12,5\""},
        {2147483647u, 1, '.', "24855d 03h 14' 7.0\""},
        // The products of the largest divisor still fit.
        {2147483647u, 49710, '.', "0d 12h 00' 0.2\""},
        {2147483648u, 12, '.', "-d --h -' --\""},
        {100, 0, '.', "-d --h -' --\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.seconds << "/" << c.divisor);
        DecimalSeparatorScope sep(c.separator);
        EXPECT_EQ(DurationDivText(c.seconds, c.divisor), c.text);
    }
}

TEST(TimeTexts, SampleTimeTextByDateFormat) {
    struct Case {
        TMeasStamp stamp;
        uint8_t format;
        const char* text;
    } cases[] = {
        {Stamp(5, 3, 2024, 3661), 0, "05.03.2024 01:01:01"},
        {Stamp(5, 3, 2024, 3661), 1, "03.05.2024 01:01:01"},
        {Stamp(5, 3, 2024, 3661), 2, "2024.03.05 01:01:01"},
        {Stamp(5, 3, 2024, 3661), 3, "unchanged"},
        {Stamp(0, 0, 0, 90), 2, "00:01:30"},
        {Stamp(0, 0, 0, 90), 3, "00:01:30"},
        {Stamp(0, 1, 0, 90), 0, "00.01.0000 00:01:30"},
        {Stamp(31, 12, 999, 400000), 0, "31.12.0999 --:--:--"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.format} << " " << c.text);
        std::string text = "unchanged";
        SampleTimeText(c.format, c.stamp, text);
        EXPECT_EQ(text, c.text);
    }
}

TEST(MeasTimeDiff, CalendarLeapDaysAndInvalidStamps) {
    struct Case {
        const char* what;
        TMeasStamp a;
        TMeasStamp b;
        int32_t diff;
    } cases[] = {
        {"one day", Stamp(2, 1, 2024, 100), Stamp(1, 1, 2024, 100), 86400},
        {"backwards", Stamp(1, 1, 2024, 100), Stamp(2, 1, 2024, 100), -86400},
        {"same", Stamp(1, 1, 2024, 5), Stamp(1, 1, 2024, 5), 0},
        {"over new year", Stamp(1, 1, 2025, 0), Stamp(31, 12, 2024, 86399), 1},
        {"over a leap day", Stamp(1, 3, 2024, 0), Stamp(28, 2, 2024, 0), 2 * 86400},
        {"no leap day 2023", Stamp(1, 3, 2023, 0), Stamp(28, 2, 2023, 0), 86400},
        {"leap day 2000", Stamp(29, 2, 2000, 0), Stamp(28, 2, 2000, 0), 86400},
        {"29.02.2023 invalid", Stamp(29, 2, 2023, 0), Stamp(28, 2, 2023, 0), kNoTimeDiff},
        {"29.02.1900 invalid", Stamp(29, 2, 1900, 0), Stamp(28, 2, 1900, 0), kNoTimeDiff},
        {"month 13", Stamp(1, 13, 2024, 0), Stamp(1, 1, 2024, 0), kNoTimeDiff},
        {"day 0", Stamp(0, 1, 2024, 0), Stamp(1, 1, 2024, 0), kNoTimeDiff},
        {"31 April", Stamp(31, 4, 2024, 0), Stamp(1, 4, 2024, 0), kNoTimeDiff},
        {"relative stamp", Stamp(0, 0, 0, 10), Stamp(0, 0, 0, 5), kNoTimeDiff},
        {"seconds 86400", Stamp(1, 1, 2024, 86400), Stamp(1, 1, 2024, 0), kNoTimeDiff},
        {"year 0", Stamp(1, 1, 0, 0), Stamp(1, 1, 2024, 0), kNoTimeDiff},
        {"year 10000", Stamp(1, 1, 10000, 0), Stamp(1, 1, 2024, 0), kNoTimeDiff},
        {"year 1", Stamp(2, 1, 1, 0), Stamp(1, 1, 1, 0), 86400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MeasTimeDiff(c.a, c.b), c.diff);
    }
}

TEST(MeasTimeDiff, DifferencesBeyond32BitsSaturate) {
    EXPECT_EQ(MeasTimeDiff(Stamp(31, 12, 9999, 0), Stamp(1, 1, 1, 0)),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(MeasTimeDiff(Stamp(1, 1, 1, 0), Stamp(31, 12, 9999, 0)),
              std::numeric_limits<int32_t>::min());
}

TEST(Rounding, RoundHalfAwayHalvesAndNegatives) {
    struct Case {
        double x;
        int32_t rounded;
    } cases[] = {
        {0.0, 0},
        {0.5, 1},
        {-0.5, -1},
        {0.49, 0},
        {-0.49, 0},
        {0.49999999999999994, 0}, // floor(x + 0.5) would give 1
        {1.5, 2},
        {-1.5, -2},
        {2.5, 3},
        {-2.5, -3},
        {2147483646.5, 2147483647},
        {-2147483647.5, -2147483647 - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(RoundHalfAway(c.x), c.rounded);
    }
}

TEST(Rounding, RoundHalfAwaySaturatesOutside32Bits) {
    EXPECT_EQ(RoundHalfAway(3e9), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(RoundHalfAway(-3e9), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(RoundHalfAway(2147483647.5), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(RoundHalfAway(INFINITY), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(RoundHalfAway(NAN), 0);
}

TEST(Rounding, RoundDecimalsAndRoundToStep) {
    EXPECT_DOUBLE_EQ(RoundDecimals(1, 2.25), 2.3);
    EXPECT_DOUBLE_EQ(RoundDecimals(1, -2.25), -2.3);
    EXPECT_DOUBLE_EQ(RoundDecimals(0, 2.5), 3.0);
    EXPECT_DOUBLE_EQ(RoundDecimals(2, 0.125), 0.13);
    EXPECT_DOUBLE_EQ(RoundDecimals(-1, 125.0), 130.0);
    EXPECT_DOUBLE_EQ(RoundToStep(7.5, 5), 10.0);
    EXPECT_DOUBLE_EQ(RoundToStep(-7.5, 5), -10.0);
    EXPECT_DOUBLE_EQ(RoundToStep(7.4, 5), 5.0);
    EXPECT_DOUBLE_EQ(RoundToStep(0.26, 0.5), 0.5);
}

// Both went through a 32-bit rounding and wrapped for values beyond it.
TEST(Rounding, RoundDecimalsAndRoundToStepOfLargeValuesDoNotOverflow) {
    struct Case {
        double value;
        int32_t digits;
    } cases[] = {{3e7, 2}, {-3e7, 2}, {1e12, 0}, {-1e12, 3}, {123456789.0, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_DOUBLE_EQ(RoundDecimals(c.digits, c.value), c.value);
        EXPECT_DOUBLE_EQ(RoundToStep(c.value, 0.01), c.value);
    }
    EXPECT_DOUBLE_EQ(RoundDecimals(1, 1e11 + 0.25), 1e11 + 0.3);
    EXPECT_DOUBLE_EQ(RoundToStep(5e9 + 2.5, 5), 5e9 + 5);
}

TEST(Rounding, MulDivRoundRoundsHalvesAwayAndFailsLikeThePlatform) {
    struct Case {
        int32_t n, num, den, result;
    } cases[] = {
        {2500, 1000, 2540, 984},
        {984, 2540, 1000, 2499},
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {5, -1, 2, -3},
        {5, 1, -2, -3},
        {-5, 1, -2, 3},
        {7, 3, 0, -1},
        {65536, 65536, 1, -1},
        {2147483647, 2, 2, 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << "*" << c.num << "/" << c.den);
        EXPECT_EQ(MulDivRound(c.n, c.num, c.den), c.result);
    }
}

TEST(ScaleRect, TwipsToDevicePixelsTruncateTowardZero) {
    struct Case {
        TRect src;
        double dstX, dstY, srcX, srcY;
        TRect dest;
    } cases[] = {
        {{100, 200, 300, 400}, 96, 96, 1440, 1440, {6, 13, 20, 26}},
        {{-100, -200, 1440, 2880}, 96, 600, 1440, 1440, {-6, -83, 96, 1200}},
        {{1440, 1440, 2880, 2880}, 300, 150, 1440, 1440, {300, 150, 600, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.src.Left);
        TRect dest{-1, -1, -1, -1};
        ScaleRect(c.src, dest, c.dstX, c.dstY, c.srcX, c.srcY);
        EXPECT_EQ(dest, c.dest);
    }
}

TEST(ConvertMargins, ConvertsOnlyWhenTheUnitsDiffer) {
    struct Case {
        bool inchNow, storedInch;
        TRect margins, converted;
    } cases[] = {
        {true, false, {2500, 2500, 2500, 2500}, {984, 984, 984, 984}},
        {false, true, {984, 1000, 0, 1}, {2499, 2540, 0, 3}},
        {false, false, {2500, 1, 2, 3}, {2500, 1, 2, 3}},
        {true, true, {984, 1, 2, 3}, {984, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.inchNow << c.storedInch);
        TRect m = c.margins;
        ConvertMargins(m, c.inchNow, c.storedInch);
        EXPECT_EQ(m, c.converted);
    }
}

TEST(Parsing, StrToIntMsgValuesAndErrors) {
    struct Case {
        const char* text;
        int32_t value;
        bool ok;
    } cases[] = {
        {"0", 0, true},
        {"-12", -12, true},
        {"+7", 7, true},
        {"  42", 42, true},
        {"$1F", 31, true},
        {"0x1f", 31, true},
        {"0X1F", 31, true},
        {"-$10", -16, true},
        {"$FFFFFFFF", -1, true},
        {"2147483647", 2147483647, true},
        {"-2147483648", -2147483647 - 1, true},
        {"2147483648", 0, false},
        {"-2147483649", 0, false},
        {"$100000000", 0, false},
        {"", 0, false},
        {" ", 0, false},
        {"42 ", 0, false},
        {"12a", 0, false},
        {"1 2", 0, false},
        {"$", 0, false},
        {"0x", 0, false},
        {"- 1", 0, false},
        {"1.0", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        if (c.ok) {
            EXPECT_EQ(StrToIntMsg(c.text), c.value);
        } else {
            EXPECT_EQ(ErrorOf([&] { StrToIntMsg(c.text); }),
                      std::string("Conversion error! \"") + c.text +
                          "\" is not a valid integer value!");
            EXPECT_EQ(ErrorOf([&] { StrToInt(c.text); }),
                      std::string("'") + c.text + "' ist kein g\xFCltiger Integerwert");
        }
    }
}

TEST(Parsing, StrToFloatMsgValuesAndErrors) {
    struct Case {
        const char* text;
        char separator;
        double value;
        bool ok;
    } cases[] = {
        {"1.5", '.', 1.5, true}, {" -2.5e3 ", '.', -2500, true}, {"+3", '.', 3, true},
        {".5", '.', 0.5, true},  {"5.", '.', 5, true},           {"1E-2", '.', 0.01, true},
        {"1,5", ',', 1.5, true}, {"1,5", '.', 0, false},         {"1.5", ',', 0, false},
        {"", '.', 0, false},     {"  ", '.', 0, false},          {"1e", '.', 0, false},
        {"e5", '.', 0, false},   {".", '.', 0, false},           {"1.5.2", '.', 0, false},
        {"inf", '.', 0, false},  {"nan", '.', 0, false},         {"1e400", '.', 0, false},
        {"0x10", '.', 0, false}, {"- 1", '.', 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " with " << c.separator);
        DecimalSeparatorScope sep(c.separator);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(StrToFloatMsg(c.text), c.value);
        } else {
            EXPECT_EQ(ErrorOf([&] { StrToFloatMsg(c.text); }),
                      std::string("Conversion error! \"") + c.text +
                          "\" is not a valid float value!");
            EXPECT_EQ(ErrorOf([&] { StrToFloat(c.text); }),
                      std::string("'") + c.text + "' ist kein g\xFCltiger Gleitkommawert");
        }
    }
}

TEST(Parsing, HMSToSecsValuesAndErrors) {
    struct Case {
        const char* text;
        int32_t seconds;
        const char* error; // the text named by the conversion error; null when none
    } cases[] = {
        {"1:2:3", 3723, nullptr},
        {"00:00:00", 0, nullptr},
        {" 1: 2: 3", 3723, nullptr},
        {"99:59:59", 359999, nullptr},
        {"$A:0:0", 36000, nullptr},
        {"-1:0:0", -3600, nullptr},
        {"596523:14:7", 2147483647, nullptr},
        {"-596523:-14:-8", -2147483647 - 1, nullptr},
        {"12", 0, ""},
        {"1:2", 0, ""},
        {":2:3", 0, ""},
        {"1::3", 0, ""},
        {"1:2:", 0, ""},
        {"1:2:3:4", 0, "3:4"},
        {"1:2:3 ", 0, "3 "},
        {"a:2:3", 0, "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (!c.error) {
            EXPECT_EQ(HMSToSecs(c.text), c.seconds);
        } else {
            EXPECT_EQ(ErrorOf([&] { HMSToSecs(c.text); }), std::string("Conversion error! \"") +
                                                               c.error +
                                                               "\" is not a valid integer value!");
        }
    }
}

// h * 3600 + m * 60 + s was computed unchecked in 32 bits and wrapped.
TEST(Parsing, HMSToSecsOverflowIsAConversionError) {
    for (const char* text : {"596523:14:8", "-596523:-14:-9", "2147483647:0:0", "0:2147483647:0"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ErrorOf([&] { HMSToSecs(text); }),
                  std::string("Conversion error! \"") + text + "\" is not a valid integer value!");
    }
}

TEST(SmallRoutines, StrToCharArrayPadsWithZerosAndWritesNoTerminatorWhenFull) {
    struct Case {
        const char* text;
        int32_t size;
        const char* expected; // 6 bytes after the call; '#' is the untouched fill
    } cases[] = {
        {"abc", 2, "ab####"}, {"abc", 5, "abc\0\0#"}, {"abc", 3, "abc###"},
        {"", 2, "\0\0####"},  {"abc", 0, "######"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << "/" << c.size);
        char dest[6];
        std::memset(dest, '#', sizeof dest);
        StrToCharArray(c.text, dest, c.size);
        EXPECT_EQ(std::string(dest, 6), std::string(c.expected, 6));
    }
}

TEST(SmallRoutines, StatusProgressAndIsBitSet) {
    EXPECT_EQ(StatusProgress(0x2A00 | csStable), 42);
    EXPECT_EQ(StatusProgress(0x3F00 | csAnalysing), 63);
    EXPECT_EQ(StatusProgress(0xFF00 | csAnalysing), 63);
    EXPECT_EQ(StatusProgress(0x2A00 | csOpen | csPresent), 0);

    struct Case {
        int32_t value;
        uint8_t bit;
        bool set;
    } cases[] = {
        {0x8000, 15, true}, {0x8000, 14, false}, {0x10000, 16, false}, {-1, 31, false},
        {-1, 15, true},     {1, 32, true},       {2, 33, true},        {0x8000, 47, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " bit " << int{c.bit});
        EXPECT_EQ(IsBitSet(c.value, c.bit), c.set);
    }
}

TEST(SmallRoutines, OrderPairSwapsOnlyWhenOutOfOrder) {
    struct Case {
        int32_t a, b;
        bool descending, swapped;
    } cases[] = {
        {1, 2, false, false}, {2, 1, false, true},  {1, 2, true, true},
        {2, 1, true, false},  {3, 3, false, false}, {3, 3, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << "," << c.b << " " << c.descending);
        int32_t a = c.a, b = c.b;
        EXPECT_EQ(OrderPair(a, b, c.descending), c.swapped);
        EXPECT_EQ(a, c.swapped ? c.b : c.a);
        EXPECT_EQ(b, c.swapped ? c.a : c.b);
    }
}

TEST(SmallRoutines, ExtractFileNameDropsTheFolder) {
    EXPECT_EQ(ExtractFileName("C:\\data\\run\\A1LOG.txt"), "A1LOG.txt");
    EXPECT_EQ(ExtractFileName("C:A1LOG.txt"), "A1LOG.txt");
    EXPECT_EQ(ExtractFileName("/tmp/x.zqr"), "x.zqr");
    EXPECT_EQ(ExtractFileName("x.zqr"), "x.zqr");
    EXPECT_EQ(ExtractFileName("C:\\data\\"), "");
}

// A platform name reader that knows Name and behaves as the user-name query:
// the count includes the terminator; too small a buffer reports the size needed.
struct FakeUserName {
    std::string name;
    std::vector<uint32_t> sizesAsked;

    TNameQuery operator()(char* Buffer, uint32_t& Count) {
        sizesAsked.push_back(Count);
        const uint32_t needed = static_cast<uint32_t>(name.size() + 1);
        if (Count < needed) {
            Count = needed;
            return TNameQuery::TooSmall;
        }
        std::memcpy(Buffer, name.c_str(), needed);
        Count = needed;
        return TNameQuery::Ok;
    }
};

TEST(UserName, TextEndsWithTheTerminatorTheCountIncludes) {
    FakeUserName fake{"tessa", {}};
    EXPECT_EQ(ReadPlatformName(std::ref(fake), 253), std::string("tessa\0", 6));
    EXPECT_EQ(fake.sizesAsked, std::vector<uint32_t>{253});
}

// The count the platform returned for too small a buffer was taken as the text's
// length, reading past the buffer; now the name is asked again with that size.
TEST(UserName, UserNameTooLongForTheBufferIsAskedAgainWithTheNeededSize) {
    FakeUserName fake{std::string(300, 'u'), {}};
    EXPECT_EQ(ReadPlatformName(std::ref(fake), 253), std::string(300, 'u') + '\0');
    EXPECT_EQ(fake.sizesAsked, (std::vector<uint32_t>{253, 301}));
}

TEST(UserName, FailuresGiveAnEmptyText) {
    int calls = 0;
    EXPECT_EQ(ReadPlatformName(
                  [&](char*, uint32_t&) {
                      ++calls;
                      return TNameQuery::Failed;
                  },
                  253),
              "");
    // Too small without asking for more, or an ever-growing name, ends as well.
    EXPECT_EQ(ReadPlatformName([](char*, uint32_t&) { return TNameQuery::TooSmall; }, 253), "");
    EXPECT_EQ(ReadPlatformName(
                  [](char*, uint32_t& Count) {
                      Count += 10;
                      return TNameQuery::TooSmall;
                  },
                  253),
              "");
    // A count beyond the buffer is never trusted.
    EXPECT_EQ(ReadPlatformName(
                  [](char* Buffer, uint32_t& Count) {
                      std::memset(Buffer, 'x', Count);
                      Count = 1000;
                      return TNameQuery::Ok;
                  },
                  4),
              "xxxx");
    EXPECT_EQ(calls, 1);
}

} // namespace

// Measurement values and units: one table per conversion, the value texts of
// the status word and the captions.
#include "app/values/MeasValues_.h"

#include "app/base/Tools_.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr uint16_t kPresent = csPresent;
constexpr uint16_t kOn = csPresent | csSensorOn;
constexpr uint16_t kAllValid = kOn | csHumidityValid | csTemperatureValid;

TEST(MeasDecimals, NormalAndExtendedDisplayMode) {
    struct Case {
        uint8_t unit;
        int32_t hum;
        int32_t humExtended;
    } cases[] = {{0, 3, 4}, {1, 1, 2}, {2, 3, 4}, {255, 3, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unit);
        EXPECT_EQ(HumDecimals(c.unit, false), c.hum);
        EXPECT_EQ(HumDecimals(c.unit, true), c.humExtended);
        EXPECT_EQ(TempDecimals(c.unit, false), 1);
        EXPECT_EQ(TempDecimals(c.unit, true), 2);
    }
    EXPECT_EQ(DValueDecimals(), 1);
}

TEST(HumToReal, ScaledByModeAndRoundedToItsDecimals) {
    struct Case {
        uint8_t mode;
        int32_t raw;
        bool extended;
        double expected;
    } cases[] = {
        {0, 7531, false, 0.753},
        {0, 7531, true, 0.7531},
        {1, 7531, false, 75.3},
        {1, 7531, true, 75.31},
        {255, 7531, false, 0.753},
        {2, 7531, true, 0.7531},
        {0, 10000, false, 1.0},
        {0, 0, false, 0.0},
        {0, -7531, false, -0.753},
        // Halves away from zero, also those that binary floating point holds a
        // little below themselves (0.0035, 0.0505).
        {0, 7535, false, 0.754},
        {0, 35, false, 0.004},
        {0, 505, false, 0.051},
        {0, -35, false, -0.004},
        {1, 7535, false, 75.4},
        {1, -7535, false, -75.4},
        {0, 32767, false, 3.277},
        {1, -32768, false, -327.7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.raw << " " << c.extended);
        EXPECT_DOUBLE_EQ(HumToReal(c.mode, c.raw, c.extended), c.expected);
    }
}

TEST(TempToReal, CelsiusFahrenheitAndDifferences) {
    struct Case {
        uint8_t unit;
        int32_t raw;
        bool delta;
        bool extended;
        double expected;
    } cases[] = {
        {0, 2500, false, false, 25.0},
        {1, 2500, false, false, 77.0},
        {1, 500, true, false, 9.0},
        {1, 500, false, false, 41.0},
        {0, 500, true, false, 5.0},
        {2, 2500, false, false, 25.0},
        {1, 2501, false, true, 77.02},
        {1, 2501, false, false, 77.0},
        {0, 2505, false, false, 25.1},
        {0, -2505, false, false, -25.1},
        {0, 2534, false, true, 25.34},
        {1, -4000, false, false, -40.0},
        // 1.5 degrees C is 34.7 F; -0.25 C is 31.55 F, a half.
        {1, 150, false, false, 34.7},
        {1, -25, false, false, 31.6},
        {1, -1000, true, false, -18.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.unit) << " " << c.raw << " " << c.delta << " " << c.extended);
        EXPECT_DOUBLE_EQ(TempToReal(c.unit, c.raw, c.delta, c.extended), c.expected);
    }
}

TEST(DValueToReal, TenthsWithOneDecimal) {
    struct Case {
        int32_t raw;
        double expected;
    } cases[] = {{123, 12.3}, {-5, -0.5}, {0, 0.0}, {32767, 3276.7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_DOUBLE_EQ(DValueToReal(c.raw), c.expected);
    }
}

TEST(ToRaw, InverseConversionsRoundHalvesToEven) {
    struct Case {
        const char* what;
        int32_t got;
        int32_t expected;
    } cases[] = {
        {"aw", HumToRaw(0, 0.7531), 7531},
        {"%RH", HumToRaw(1, 75.31), 7531},
        {"humidity, other mode", HumToRaw(2, 1.0), 0},
        {"humidity, no unit", HumToRaw(255, 1.0), 0},
        {"%RH half down to even", HumToRaw(1, 0.125), 12},
        {"%RH half up to even", HumToRaw(1, 0.375), 38},
        {"C", TempToRaw(0, false, 25.0), 2500},
        {"C difference", TempToRaw(0, true, 5.0), 500},
        {"F", TempToRaw(1, false, 77.0), 2500},
        {"F difference", TempToRaw(1, true, 9.0), 500},
        {"F below zero", TempToRaw(1, false, -40.0), -4000},
        {"temperature, other unit", TempToRaw(2, false, 25.0), 0},
        {"C half to even", TempToRaw(0, false, -0.125), -12},
        {"D", DValueToRaw(12.3), 123},
        {"D half down to even", DValueToRaw(0.25), 2},
        {"D half up to even", DValueToRaw(0.75), 8},
        {"beyond 32 bits", HumToRaw(0, 1e9), std::numeric_limits<int32_t>::max()},
        {"below 32 bits", TempToRaw(0, false, -1e12), std::numeric_limits<int32_t>::min()},
        {"not a number", DValueToRaw(std::nan("")), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got, c.expected);
    }
}

TEST(ToRaw, ExtendedHumidityComesBackToItsRawWord) {
    for (int32_t raw = -32768; raw <= 32767; ++raw) {
        ASSERT_EQ(HumToRaw(0, HumToReal(0, raw, true)), raw);
        ASSERT_EQ(HumToRaw(1, HumToReal(1, raw, true)), raw);
        ASSERT_EQ(TempToRaw(0, false, TempToReal(0, raw, false, true)), raw);
    }
}

TEST(ValueTexts, StatusBitsDecideInTheirOrder) {
    struct Case {
        const char* what;
        uint16_t status;
        const char* hum;
        const char* temp;
        const char* dvalue;
    } cases[] = {
        {"absent", 0, "---", "---", "---"},
        {"absent, other bits set", csSensorOn | csHumidityValid | csTemperatureValid, "---", "---",
         "---"},
        {"sensor off", kPresent | csHumidityValid | csTemperatureValid, "off", "off", "off"},
        {"nothing valid", kOn, "Err", "Err", "12.3"},
        {"humidity only", kOn | csHumidityValid, "0.753", "Err", "12.3"},
        {"temperature only", kOn | csTemperatureValid, "Err", "25.0", "12.3"},
        {"all valid", kAllValid, "0.753", "25.0", "12.3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(HumValueText(0, c.status, 7531, false), c.hum);
        EXPECT_EQ(TempValueText(0, c.status, 2500, false), c.temp);
        EXPECT_EQ(DValueText(c.status, 123), c.dvalue);
    }
}

TEST(ValueTexts, UnitsDecimalsAndTheLocaleSeparator) {
    struct Case {
        const char* what;
        std::string got;
        const char* expected;
    } cases[] = {
        {"aw extended", HumValueText(0, kAllValid, 7531, true), "0.7531"},
        {"%RH", HumValueText(1, kAllValid, 7531, false), "75.3"},
        {"%RH extended", HumValueText(1, kAllValid, 7531, true), "75.31"},
        {"no unit as aw", HumValueText(255, kAllValid, 7531, false), "0.753"},
        {"F", TempValueText(1, kAllValid, 2500, false), "77.0"},
        {"C extended", TempValueText(0, kAllValid, -1234, true), "-12.34"},
        {"C below zero", TempValueText(0, kAllValid, -1234, false), "-12.3"},
        {"a half", HumValueText(0, kAllValid, 35, false), "0.004"},
        {"D below zero", DValueText(kOn, -5), "-0.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got, c.expected);
    }
    SetDecimalSeparator(',');
    EXPECT_EQ(HumValueText(0, kAllValid, 7531, false), "0,753");
    EXPECT_EQ(TempValueText(0, kAllValid, 2500, true), "25,00");
    EXPECT_EQ(DValueText(kOn, 123), "12,3");
    SetDecimalSeparator('.');
}

TEST(UnitCaptions, ByCode) {
    struct Case {
        uint8_t code;
        const char* humName;
        const char* humUnit;
        const char* tempName;
        const char* tempUnit;
    } cases[] = {
        {0, "aw", " ", "T",
         "\xB0"
         "C"},
        {1, "Hum", "%RH", "T",
         "\xB0"
         "F"},
        {2, "", "", "", ""},
        {255, "", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.code));
        EXPECT_EQ(HumNameText(c.code), c.humName);
        EXPECT_EQ(HumUnitText(c.code), c.humUnit);
        EXPECT_EQ(TempNameText(c.code), c.tempName);
        EXPECT_EQ(TempUnitText(c.code), c.tempUnit);
    }
    EXPECT_EQ(DValueNameText(), "D");
    EXPECT_EQ(DValueUnitText(), " ");
}

} // namespace

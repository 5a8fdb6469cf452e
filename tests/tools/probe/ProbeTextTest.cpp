// The probe's texts of units, stamps and live chamber values.
#include "tools/probe/ProbeText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kDegree = "\xC2\xB0";
constexpr TChamberStatus kValid = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;

TEST(ProbeText, FixedPointRoundsHalfAwayFromZero) {
    const struct {
        int Raw, Divisor, Decimals;
        const char* Text;
    } cases[] = {
        {7512, 10000, 3, "0.751"},  {7515, 10000, 3, "0.752"}, {10000, 10000, 3, "1.000"},
        {-525, 100, 1, "-5.3"},     {525, 100, 1, "5.3"},      {-4, 100, 1, "0.0"},
        {-5, 100, 1, "-0.1"},       {7531, 100, 1, "75.3"},    {32767, 100, 1, "327.7"},
        {-32768, 100, 1, "-327.7"}, {15, 10, 1, "1.5"},        {2480, 100, 0, "25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Raw);
        EXPECT_EQ(Probe::FixedText(c.Raw, c.Divisor, c.Decimals), c.Text);
    }
}

TEST(ProbeText, ValueTextsFollowTheStatusBitsInOrder) {
    const struct {
        TChamberStatus Status;
        std::uint8_t Mode;
        const char* Humidity;
        const char* Temperature;
    } cases[] = {
        {0, 0, "---", "---"},
        {csSensorOn | csHumidityValid | csTemperatureValid, 0, "---", "---"},
        {csPresent | csHumidityValid | csTemperatureValid, 0, "off", "off"},
        {csPresent | csSensorOn, 0, "Err", "Err"},
        {csPresent | csSensorOn | csTemperatureValid, 0, "Err",
         "-5.3 \xC2\xB0"
         "C"},
        {kValid, 0, "0.751 aw",
         "-5.3 \xC2\xB0"
         "C"},
        {kValid, 1, "75.1 %RH",
         "-5.3 \xC2\xB0"
         "C"},
        {kValid, 7, "0.751 aw",
         "-5.3 \xC2\xB0"
         "C"}, // any other mode reads as aw
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Status);
        TChamberMeas m{};
        m.Humidity = 7512;
        m.Temperature = -525;
        m.Status = c.Status;
        EXPECT_EQ(Probe::HumidityText(c.Mode, m), c.Humidity);
        EXPECT_EQ(Probe::TemperatureText(m), c.Temperature);
    }
}

TEST(ProbeText, ChamberLineShowsTheRunWhileAnalysingOrStable) {
    TChamberMeas m{};
    m.Humidity = 8234;
    m.Temperature = 3012;
    m.Elapsed = 3723;
    m.Status = kValid | csAnalysing | 0x1200;
    EXPECT_EQ(Probe::ChamberLine(3, 0, m),
              "chamber 3: 0.823 aw  30.1 " + kDegree + "C  analysing 01:02:03");
    m.Status = kValid | csStable;
    EXPECT_EQ(Probe::ChamberLine(3, 1, m),
              "chamber 3: 82.3 %RH  30.1 " + kDegree + "C  stable 01:02:03");
    m.Status = kValid;
    EXPECT_EQ(Probe::ChamberLine(3, 0, m), "chamber 3: 0.823 aw  30.1 " + kDegree + "C");
    EXPECT_EQ(Probe::ChamberLine(4, 0, TChamberMeas{}), "chamber 4: ---  ---");
}

TEST(ProbeText, UnitsAndStamps) {
    EXPECT_EQ(Probe::UnitsText({0, 0, 0}),
              "humidity aw, temperature " + kDegree + "C, date dd.mm.yyyy");
    EXPECT_EQ(Probe::UnitsText({1, 1, 2}),
              "humidity %RH, temperature " + kDegree + "F, date yyyy.mm.dd");
    EXPECT_EQ(Probe::UnitsText({2, 9, 3}),
              "humidity unknown (2), temperature unknown (9), date unknown (3)");
    EXPECT_EQ(Probe::StampText({0, 0, 0, 3723}, 0), "01:02:03 since start");
    const TMeasStamp stamp = {31, 12, 2026, 86399};
    EXPECT_EQ(Probe::StampText(stamp, 0), "31.12.2026 23:59:59");
    EXPECT_EQ(Probe::StampText(stamp, 1), "12.31.2026 23:59:59");
    EXPECT_EQ(Probe::StampText(stamp, 2), "2026.12.31 23:59:59");
}

} // namespace

#include "profile/MeasEvent.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using Raw = std::array<std::uint8_t, 256>;

Raw Pattern() {
    Raw r;
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return r;
}

bool AllAA(const TMEASall& m) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&m);
    for (std::size_t i = 0; i < sizeof m; ++i)
        if (p[i] != 0xAA)
            return false;
    return true;
}

TEST(EventDataToTMEASall, OnlyOneHundredTwentyEightBytesConvert) {
    const Raw src = Pattern();
    const struct {
        std::int32_t len;
        TLinkResult result;
    } cases[] = {{128, 0},       {127, errLength},  {129, errLength},
                 {0, errLength}, {-128, errLength}, {256, errLength}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.len);
        TMEASall dst;
        std::memset(&dst, 0xAA, sizeof dst);
        EXPECT_EQ(Proflink::EventDataToTMEASall(src.data(), c.len, &dst), c.result);
        if (c.result == 0)
            EXPECT_EQ(std::memcmp(&dst, src.data(), sizeof dst), 0);
        else
            EXPECT_TRUE(AllAA(dst));
    }
}

TEST(EventDataToTMEASall, NilSourceOrDestinationIsRefused) {
    const Raw src = Pattern();
    TMEASall dst;
    std::memset(&dst, 0xAA, sizeof dst);
    EXPECT_EQ(Proflink::EventDataToTMEASall(nullptr, 128, &dst), errBuffer);
    EXPECT_TRUE(AllAA(dst));
    EXPECT_EQ(Proflink::EventDataToTMEASall(src.data(), 128, nullptr), errBuffer);
    EXPECT_EQ(Proflink::EventDataToTMEASall(nullptr, 128, nullptr), errBuffer);
}

TEST(EventDataToTMEASall, ChamberWithoutBitFifteenIsAbsent) {
    // Every chamber analysing with valid values and sensor on, chamber 3 not present.
    std::array<std::uint8_t, 128> event{};
    for (int n = 0; n < 10; ++n) {
        event[18 + 12 * n] = 0x71;
        event[19 + 12 * n] = n == 3 ? 0x00 : 0x80;
    }
    TMEASall m;
    ASSERT_EQ(Proflink::EventDataToTMEASall(event.data(), 128, &m), 0);
    for (int n = 0; n < 10; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ((m.Chamber[n].Status & csPresent) != 0, n != 3);
        EXPECT_EQ(m.Chamber[n].Status & 0xFF,
                  csAnalysing | csHumidityValid | csTemperatureValid | csSensorOn);
    }
}

TEST(EventDataToTMEASall, AllZeroRecordHasNoChamber) {
    const std::array<std::uint8_t, 128> event{};
    TMEASall m;
    ASSERT_EQ(Proflink::EventDataToTMEASall(event.data(), 128, &m), 0);
    for (const TChamberMeas& c : m.Chamber)
        EXPECT_EQ(c.Status & csPresent, 0);
}

} // namespace

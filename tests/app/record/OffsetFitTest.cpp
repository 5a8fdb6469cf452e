#include "app/record/OffsetFit_.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(FitSeriesOffset, MovesInWholeStepsKeepingTheHeight) {
    struct TCase {
        const char* Name;
        TYRange From;
        double V;
        double Span;
        TYRange To;
    } cases[] = {
        {"inside stays", {0, 10}, 5, 10, {0, 10}},
        {"on the upper edge stays", {0, 10}, 10, 10, {0, 10}},
        {"above: a step above the value", {0, 10}, 57.3, 10, {48, 58}},
        {"below: a step below the value", {50, 60}, 12.4, 10, {11, 21}},
        {"negative values", {0, 10}, -23.5, 10, {-25, -15}},
        {"a range off the step snaps first", {0.4, 10.4}, 5, 10, {0, 10}},
        {"aw span 0.1", {0.5, 0.6}, 0.7532, 0.1, {0.66, 0.76}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TYRange r = c.From;
        FitSeriesOffset(r, c.V, c.Span, 13);
        EXPECT_NEAR(r.Min, c.To.Min, 1e-9);
        EXPECT_NEAR(r.Max, c.To.Max, 1e-9);
    }
}

TSample Sample(int16_t Hum, int16_t Temp, int16_t D) {
    TSample s{};
    s.Meas.Humidity = Hum;
    s.Meas.Temperature = Temp;
    s.Meas.Third = D;
    return s;
}

// The pass as described: every sample in order.
TYRange WalkPass(const std::vector<TSample>& Samples, const TSeriesConversion& Conv, double Span,
                 int64_t First, int64_t Last, TYRange R) {
    for (int64_t k = First; k <= Last; ++k)
        FitSeriesOffset(R, Conv.Value(Conv.Raw(Samples[static_cast<size_t>(k)])), Span, 13);
    return R;
}

// Records that drift, jump and stay flat, grown sample by sample while the view
// follows them, sometimes scrolls back or changes units; each pass must end
// exactly where the described pass ends.
TEST(OffsetFit, EqualsTheFullPassOnRandomRecords) {
    std::mt19937 rng(7);
    for (int record = 0; record < 16; ++record) {
        SCOPED_TRACE(record);
        std::vector<TSample> samples;
        samples.reserve(6000);
        TOffsetFit fit(samples);
        std::uniform_int_distribution<int> noise(-record * 3, record * 3);
        double level[3] = {5000, 2500, 300};
        TYRange shown[3] = {{0, 1}, {0, 50}, {0, 1000}};
        uint8_t units[2] = {0, 0};
        int64_t first = 0;
        for (int n = 0; n < 1500 + record * 40; ++n) {
            for (double& l : level)
                l += std::uniform_real_distribution<double>(-4, 5)(rng);
            if (rng() % 500 == 0)
                level[rng() % 3] += std::uniform_int_distribution<int>(-3000, 3000)(rng);
            auto word = [&](int S) {
                return static_cast<int16_t>(
                    std::clamp<double>(level[S] + noise(rng), -9000, 12000));
            };
            samples.push_back(Sample(word(0), word(1), word(2)));
            const auto last = static_cast<int64_t>(samples.size()) - 1;
            switch (rng() % 200) {
            case 0:
                first = std::uniform_int_distribution<int64_t>(0, last)(rng);
                break;
            case 1:
                units[rng() % 2] ^= 1;
                break;
            case 2:
                first = std::max<int64_t>(0, last - 700);
                break;
            default:
                break;
            }
            const double spans[3] = {units[0] ? 10.0 : 0.1, units[1] ? 18.0 : 10.0, 100.0};
            for (size_t s = 0; s < 3; ++s) {
                const TSeriesConversion conv{s, s < 2 ? units[s] : uint8_t{0}, record % 2 == 1};
                const TYRange expected = WalkPass(samples, conv, spans[s], first, last, shown[s]);
                fit.Fit(conv, spans[s], 13, first, last, shown[s]);
                ASSERT_EQ(shown[s], expected) << "series " << s << " sample " << last;
            }
        }
    }
}

// A view that ends before the previous pass's end, after the samples were replaced.
TEST(OffsetFit, ShorterViewsAndReplacedSamples) {
    std::vector<TSample> samples;
    for (int i = 0; i < 500; ++i)
        samples.push_back(Sample(static_cast<int16_t>(i * 37 % 2000), 0, 0));
    TOffsetFit fit(samples);
    const TSeriesConversion conv{0, 1, false};
    TYRange r{0, 10};
    for (int64_t last : {499, 250, 300, 10, 499}) {
        const TYRange expected = WalkPass(samples, conv, 10, 5, last, r);
        fit.Fit(conv, 10, 13, 5, last, r);
        ASSERT_EQ(r, expected) << last;
    }
    samples.assign(100, Sample(9000, 0, 0));
    fit.Reset();
    const TYRange expected = WalkPass(samples, conv, 10, 0, 99, r);
    fit.Fit(conv, 10, 13, 0, 99, r);
    EXPECT_EQ(r, expected);
}

} // namespace

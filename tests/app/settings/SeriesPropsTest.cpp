#include "app/base/Tools_.h"
#include "app/settings/SeriesProps_.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// Factory series: humidity 0..10000, temperature 0..5000, D value 0..10000, ranges 1000.
TSeriesPropModel Model(TResolvedUnits Units, bool Extended, bool AutoOffset) {
    TSeriesPropModel m(Extended);
    m.Series = {TSeriesValues{true, 0xFF0000, 0, 10000, 1000},
                TSeriesValues{true, 0x0000FF, 0, 5000, 1000},
                TSeriesValues{true, 0xFF00FF, 0, 10000, 1000}};
    m.SetUnits(Units);
    m.AutoOffset = AutoOffset;
    m.Show();
    return m;
}

struct TCommit {
    TLimitEdit Edit;
    std::optional<std::string> Text; // none: the text the edit shows
};

TEST(SeriesPropModel, CommittedEditsKeepLimitsAndGap) {
    const TResolvedUnits aw{0, 0, 0}, rh{1, 0, 0}, degF{0, 1, 0};
    const TLimitEdit mn = TLimitEdit::Min, mx = TLimitEdit::Max;
    struct Case {
        const char* name;
        TResolvedUnits units;
        bool extended;
        bool autoOffset;
        int series;
        std::vector<TCommit> commits;
        int32_t yMin, yMax, range;
        const char* minText;
        const char* maxText;
    } cases[] = {
        {"%RH minimum 20.0 changes nothing else",
         rh,
         false,
         false,
         siHumidity,
         {{mn, "20.0"}},
         2000,
         10000,
         1000,
         "20.0",
         "100.0"},
        {"%RH maximum 20.5 moves the minimum to 19.5",
         rh,
         false,
         false,
         siHumidity,
         {{mn, "20.0"}, {mx, "20.5"}},
         1950,
         2050,
         1000,
         "19.5",
         "20.5"},
        {"%RH maximum 0.5 above a minimum of 0 ends one gap up",
         rh,
         false,
         false,
         siHumidity,
         {{mx, "0.5"}},
         0,
         100,
         1000,
         "0.0",
         "1.0"},
        {"comma as decimal separator",
         rh,
         false,
         false,
         siHumidity,
         {{mn, "20,5"}},
         2050,
         10000,
         1000,
         "20.5",
         "100.0"},
        {"-50 degrees C is clamped to -40",
         aw,
         false,
         false,
         siTemperature,
         {{mn, "-50"}},
         -4000,
         5000,
         1000,
         "-40.0",
         "50.0"},
        {"-50 degrees F is clamped to -40",
         degF,
         false,
         false,
         siTemperature,
         {{mn, "-50"}},
         -4000,
         5000,
         1000,
         "-40.0",
         "122.0"},
        {"temperature above 120 degrees C",
         aw,
         false,
         false,
         siTemperature,
         {{mx, "500"}},
         0,
         12000,
         1000,
         "0.0",
         "120.0"},
        {"an empty minimum commits the upper limit",
         rh,
         false,
         false,
         siHumidity,
         {{mn, ""}},
         9900,
         10000,
         1000,
         "99.0",
         "100.0"},
        {"an empty maximum commits the upper limit",
         rh,
         false,
         false,
         siHumidity,
         {{mx, ""}},
         0,
         10000,
         1000,
         "0.0",
         "100.0"},
        {"aw range 0 becomes 0.01",
         aw,
         false,
         true,
         siHumidity,
         {{mn, "0"}},
         0,
         10000,
         100,
         "0.010",
         "1.000"},
        {"a degrees F range is a difference",
         degF,
         false,
         true,
         siTemperature,
         {{mn, "18.0"}},
         0,
         5000,
         1000,
         "18.0",
         "122.0"},
        {"a degrees F range of 9",
         degF,
         false,
         true,
         siTemperature,
         {{mn, "9"}},
         0,
         5000,
         500,
         "9.0",
         "122.0"},
        {"the smallest degrees F range",
         degF,
         false,
         true,
         siTemperature,
         {{mn, "0"}},
         0,
         5000,
         6,
         "0.1",
         "122.0"},
        {"a D value range below 0.1",
         aw,
         false,
         true,
         siDValue,
         {{mn, "-3"}},
         0,
         10000,
         1,
         "0.1",
         "1000.0"},
        {"extended aw keeps at least 1 raw between minimum and maximum",
         aw,
         true,
         false,
         siHumidity,
         {{mn, "1"}},
         9999,
         10000,
         1000,
         "0.9999",
         "1.0000"},
        {"a humidity mode without texts reads as aw both ways",
         {7, 0, 0},
         false,
         false,
         siHumidity,
         {{mn, std::nullopt}, {mx, std::nullopt}},
         0,
         10000,
         1000,
         "0.000",
         "1.000"},
        {"a temperature unit without texts reads as degrees C both ways",
         {0, 9, 0},
         false,
         false,
         siTemperature,
         {{mn, std::nullopt}, {mx, std::nullopt}},
         0,
         5000,
         1000,
         "0.0",
         "50.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSeriesPropModel m = Model(c.units, c.extended, c.autoOffset);
        for (const TCommit& commit : c.commits)
            m.CommitEdit(c.series, commit.Edit,
                         commit.Text ? *commit.Text : m.Text(c.series, commit.Edit));
        const TSeriesValues& v = m.Series[c.series];
        EXPECT_EQ(v.YMin, c.yMin);
        EXPECT_EQ(v.YMax, c.yMax);
        EXPECT_EQ(v.Range, c.range);
        EXPECT_EQ(m.Text(c.series, TLimitEdit::Min), c.minText);
        EXPECT_EQ(m.Text(c.series, TLimitEdit::Max), c.maxText);
    }
}

TEST(SeriesPropModel, CommitsReadEitherSeparatorInAnyLocale) {
    for (char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        SetDecimalSeparator(separator);
        TSeriesPropModel m = Model({1, 0, 0}, false, false);
        m.CommitEdit(siHumidity, TLimitEdit::Min, "12.5");
        EXPECT_EQ(m.Series[siHumidity].YMin, 1250);
        m.CommitEdit(siHumidity, TLimitEdit::Min, "12,25");
        EXPECT_EQ(m.Series[siHumidity].YMin, 1225);
        EXPECT_EQ(m.Text(siHumidity, TLimitEdit::Min), "12.3");
    }
    SetDecimalSeparator('.');
}

TEST(SeriesPropModel, StepsGapsAndSmallestRanges) {
    struct Case {
        const char* name;
        TResolvedUnits units;
        bool extended;
        int series;
        double step;
        int32_t gap, smallestRange;
    } cases[] = {
        {"aw", {0, 0, 0}, false, siHumidity, 0.01, 1, 100},
        {"%RH", {1, 0, 0}, false, siHumidity, 1, 100, 100},
        {"extended aw", {0, 0, 0}, true, siHumidity, 0.001, 1, 10},
        {"extended %RH", {1, 0, 0}, true, siHumidity, 0.1, 10, 10},
        {"degrees C", {0, 0, 0}, false, siTemperature, 1, 10, 10},
        {"degrees F", {0, 1, 0}, false, siTemperature, 1, 10, 6},
        {"extended degrees C", {0, 0, 0}, true, siTemperature, 0.1, 1, 1},
        {"D value", {0, 0, 0}, false, siDValue, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TSeriesPropModel m = Model(c.units, c.extended, false);
        EXPECT_DOUBLE_EQ(m.Step(c.series), c.step);
        EXPECT_EQ(m.Gap(c.series), c.gap);
        EXPECT_EQ(m.SmallestRange(c.series), c.smallestRange);
    }
}

TEST(SeriesPropModel, UpDownStepsTheShownValue) {
    TSeriesPropModel m = Model({1, 1, 0}, false, false);
    const auto step = [&m](int Series, TLimitEdit Edit, bool Up) {
        m.UpDown(Series, Edit, m.Text(Series, Edit), Up);
    };
    m.CommitEdit(siHumidity, TLimitEdit::Min, "20.0");
    step(siHumidity, TLimitEdit::Min, true);
    EXPECT_EQ(m.Series[siHumidity].YMin, 2100);
    step(siHumidity, TLimitEdit::Max, false);
    EXPECT_EQ(m.Series[siHumidity].YMax, 9900);
    step(siTemperature, TLimitEdit::Max, true);
    EXPECT_EQ(m.Text(siTemperature, TLimitEdit::Max), "123.0");

    // The maximum's down-step pushes the minimum below it.
    m.CommitEdit(siHumidity, TLimitEdit::Max, "22.0");
    step(siHumidity, TLimitEdit::Max, false);
    EXPECT_EQ(m.Series[siHumidity].YMax, 2100);
    EXPECT_EQ(m.Series[siHumidity].YMin, 2000);

    // A typed text that is no number.
    const auto before = m.Series;
    EXPECT_THROW(m.UpDown(siHumidity, TLimitEdit::Min, "abc", true), EConvertError);
    EXPECT_EQ(m.Series, before);
    EXPECT_EQ(m.Text(siHumidity, TLimitEdit::Min), "20.0");
    // The typed value, not the committed one, is stepped.
    m.UpDown(siHumidity, TLimitEdit::Min, "15", true);
    EXPECT_EQ(m.Series[siHumidity].YMin, 1600);
}

TEST(SeriesPropModel, AutoOffsetShowsRangesWithTheirHints) {
    TSeriesPropModel m = Model({0, 1, 0}, false, false);
    EXPECT_EQ(m.MinLabel(), "min");
    EXPECT_TRUE(m.MaxShown());
    EXPECT_EQ(m.Hints(siHumidity).MinEdit, "Minimum humidity|Sets the graph minimum humidity");
    EXPECT_EQ(m.Text(siTemperature, TLimitEdit::Min), "32.0");

    m.SetAutoOffset(true);
    EXPECT_EQ(m.MinLabel(), "range");
    EXPECT_FALSE(m.MaxShown());
    EXPECT_EQ(m.Text(siHumidity, TLimitEdit::Min), "0.100");
    EXPECT_EQ(m.Text(siTemperature, TLimitEdit::Min), "18.0");
    EXPECT_EQ(m.Text(siTemperature, TLimitEdit::Max), "122.0");
    const TSeriesHints h = m.Hints(siTemperature);
    EXPECT_EQ(h.MinEdit, "Temperature range|Sets the graph temperature range");
    EXPECT_EQ(h.MinUpDown,
              "Inc/Decrement range|Inc/Decrements the graph temperature range setting");
    EXPECT_EQ(m.Hints(siHumidity).MaxUpDown,
              "Inc/Decrement max|Inc/Decrements the graph maximimum humidity setting");
}

TEST(SeriesPropModel, GroupCaptionsFollowTheUnits) {
    const TSeriesPropModel aw = Model({0, 0, 0}, false, false);
    EXPECT_EQ(aw.GroupCaption(siHumidity), "aw [ ] - serie &0");
    EXPECT_EQ(aw.GroupCaption(siTemperature), "T [\xB0"
                                              "C] - serie &1");
    const TSeriesPropModel rh = Model({1, 1, 0}, false, false);
    EXPECT_EQ(rh.GroupCaption(siHumidity), "Hum [%RH] - serie &0");
    EXPECT_EQ(rh.GroupCaption(siTemperature), "T [\xB0"
                                              "F] - serie &1");
    EXPECT_EQ(rh.GroupCaption(siDValue).substr(0, 1), "D");
}

} // namespace

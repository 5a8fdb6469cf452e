#include "app/base/Tools_.h"
#include "app/record/RecView_.h"
#include "MemFiles.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <limits>

namespace {

constexpr int32_t kMaxInt = std::numeric_limits<int32_t>::max();

class TQuietRecorderView : public IRecorderView {
public:
    TRecordAnswer AskOverwriteAppend(const std::string&, bool) override {
        return TRecordAnswer::Cancel;
    }
    std::string NodeText() override { return "Lab"; }
    void FillBlockHeader(TRecBlockHeader&) override {}
    TChamberInfoTemp ChamberInfo() override { return {}; }
    void UpdateUnits() override {}
    void SampleAdded() override {}
    void LastSampleChanged() override {}
    void DataCleared() override {}
    void StatisticsChanged() override {}
    void ButtonsChanged() override {}
    void RecordingChanged() override {}
    void MarkUnsaved() override {}
    uint64_t NowMs() override { return 0; }
};

class TInfoNone : public IInfoBox {
public:
    void ShowInfo(const std::string&) override {}
};

class TCountingHost : public IRecViewHost {
public:
    void ViewChanged() override { ++Changed; }
    void ZoomChanged() override { ++Zooms; }
    void RefreshList() override { ++Lists; }
    void RepaintGraph() override { ++Repaints; }
    void ApplyUnitChoices(const std::array<int32_t, 3>& C) override { Choices = C; }
    int Changed = 0, Zooms = 0, Lists = 0, Repaints = 0;
    std::array<int32_t, 3> Choices = {};
};

TSample Sample(int16_t Hum, int16_t Temp = 2500, int16_t D = 100) {
    TSample s{};
    s.Meas.Humidity = Hum;
    s.Meas.Temperature = Temp;
    s.Meas.Third = D;
    return s;
}

class RecViewTest : public testing::Test {
protected:
    RecViewTest() {
        Graph.SetXDivisions(11);
        Graph.SetYDivisions(13);
        for (int i = 0; i < 3; ++i)
            Graph.Series.AddItem();
        Graph.SampleInterval = 10;
    }
    // Count samples of humidity Hum, Interval seconds apart.
    void Samples(int64_t Count, int32_t Interval = 10, int16_t Hum = 5000) {
        TRecording data;
        data.Samples.assign(static_cast<size_t>(Count), Sample(Hum));
        Rec.SetData(std::move(data), false);
        View.DataReplaced();
        Graph.SampleInterval = Interval;
    }
    void Time(int64_t Min, int64_t Max) {
        View.SetMinTime(Min);
        View.SetMaxTime(Max);
        ASSERT_EQ(Graph.MinTime(), Min);
        ASSERT_EQ(Graph.MaxTime(), Max);
    }
    std::pair<int32_t, int32_t> Shown() const { return {Graph.MinTime(), Graph.MaxTime()}; }
    void Defaults(bool Live, bool Extended = false) {
        Rec.Live = Live;
        View.UnitsChanged(0, 0, Extended);
        TGraphDefaults d = {};
        SetFactoryGraphDefaults(d);
        View.SetDefaultSettings(d);
    }

    TMemFileSystem Fs;
    TTempFiles Files{Fs};
    TScriptedBoxes Boxes;
    TInfoNone Info;
    TQuietRecorderView RecView;
    TRecorder Rec{RecView, Files, Boxes, Info, ""};
    TLineGraph Graph;
    TCountingHost Host;
    TRecView View{Host, Graph, Rec};
};

// --- time window

TEST_F(RecViewTest, SettersKeepTheSpanAndStayIn32Bits) {
    struct TCase {
        const char* Name;
        bool Max;
        int64_t Value;
        std::pair<int32_t, int32_t> Expected;
    } cases[] = {
        {"maximum 10 becomes 18", true, 10, {0, 18}},
        {"negative maximum", true, -5, {0, 18}},
        {"minimum near the top", false, 2147483640, {2147483629, kMaxInt}},
        {"minimum at the top", false, kMaxInt, {2147483629, kMaxInt}},
        {"maximum beyond 32 bits saturates", true, int64_t{kMaxInt} + 5000, {0, kMaxInt}},
        {"minimum beyond 32 bits saturates", false, int64_t{1} << 40, {2147483629, kMaxInt}},
        {"negative minimum", false, -100, {0, 720}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Time(0, 720);
        if (c.Max)
            View.SetMaxTime(c.Value);
        else
            View.SetMinTime(c.Value);
        EXPECT_EQ(Shown(), c.Expected);
    }
    View.SetMinTime(90);
    EXPECT_EQ(View.MinText(), "1.5");
}

TEST_F(RecViewTest, ScrollingKeepsThePageAndNeverWrapsToZero) {
    Defaults(false);
    struct TCase {
        const char* Name;
        std::pair<int32_t, int32_t> From;
        TScroll Kind;
        std::pair<int32_t, int32_t> Expected;
    } cases[] = {
        {"quarter back against the start", {100, 820}, TScroll::QuarterBack, {0, 720}},
        {"quarter forward", {100, 820}, TScroll::QuarterForward, {280, 1000}},
        {"half back", {1000, 1720}, TScroll::HalfBack, {640, 1360}},
        {"half forward at the top",
         {kMaxInt - 720, kMaxInt},
         TScroll::HalfForward,
         {kMaxInt - 360, kMaxInt}},
        {"quarter forward near the top",
         {2147483000, 2147483600},
         TScroll::QuarterForward,
         {2147483150, kMaxInt}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Time(c.From.first, c.From.second);
        View.Scroll(c.Kind);
        EXPECT_EQ(Shown(), c.Expected);
    }
}

TEST_F(RecViewTest, EndPutsTheLastSampleAtNinetyPercentOutsideEightyToNinetyEight) {
    Defaults(true);
    struct TCase {
        const char* Name;
        int64_t Count;
        int32_t Interval;
        std::pair<int32_t, int32_t> From;
        std::pair<int32_t, int32_t> Expected;
    } cases[] = {
        {"L 90, page 720", 10, 10, {0, 720}, {0, 720}},
        {"L 1000, page 720", 101, 10, {0, 720}, {352, 1072}},
        {"no samples", 0, 10, {500, 1220}, {0, 720}},
        {"at exactly 80 % it stays", 181, 10, {1000, 2000}, {1000, 2000}},
        {"just below 80 % it moves", 1800, 1, {1000, 2000}, {899, 1899}},
        {"below 98 % it stays", 1980, 1, {1000, 2000}, {1000, 2000}},
        {"at exactly 98 % it moves", 199, 10, {1000, 2000}, {1080, 2080}},
        {"a last sample beyond 32 bits", 10, kMaxInt / 2, {0, 720}, {kMaxInt - 720, kMaxInt}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Samples(c.Count, c.Interval);
        Time(c.From.first, c.From.second);
        View.EndButton(true);
        EXPECT_EQ(Shown(), c.Expected);
        EXPECT_TRUE(View.End());
    }
}

TEST_F(RecViewTest, PageBoxOpenAndClosed) {
    Defaults(false);
    ASSERT_EQ(View.PageItems().size(), 15u);
    EXPECT_EQ(View.PageItems()[0], PageText(720, 11));
    View.PageDropDown();
    EXPECT_EQ(View.PageItems().size(), 14u);
    EXPECT_EQ(View.GetPageSeconds(), 720); // open: the span shown
    View.PageCloseUp(3);                   // 1 hour
    EXPECT_EQ(Shown(), std::make_pair(0, 3600));
    ASSERT_EQ(View.PageItems().size(), 15u);
    EXPECT_EQ(View.PageIndex(), 0);
    EXPECT_EQ(View.PageItems()[0], "0d 01h 00' 00\"/Page, 0d 00h 05' 0.0\"/Div");
    View.PageDropDown();
    View.PageCloseUp(-1); // closed without a choice: the span stays
    EXPECT_EQ(Shown(), std::make_pair(0, 3600));
    EXPECT_EQ(View.PageItems().size(), 15u);
}

TEST_F(RecViewTest, UpDownsMoveTheirBoundBySixMinutes) {
    Time(100, 1000);
    View.UpDown(false, false);
    EXPECT_EQ(Shown(), std::make_pair(0, 1000));
    View.UpDown(true, true);
    EXPECT_EQ(Shown(), std::make_pair(0, 1360));
    Time(2147483000, kMaxInt);
    View.UpDown(true, true);
    EXPECT_EQ(Shown(), std::make_pair(2147483000, kMaxInt));
}

TEST(ParseMinutes, RoundsToOneDecimalWithEitherSeparator) {
    struct TCase {
        const char* Text;
        bool Ok;
        int32_t Seconds;
    } cases[] = {
        {"1,25", true, 78}, {"1.25", true, 78}, {"12", true, 720},
        {"0.05", true, 6},  {".5", true, 30},   {"99999999999", true, kMaxInt},
        {"", false, 0},     {".", false, 0},    {"1.2.3", false, 0},
        {"abc", false, 0},  {"-5", false, 0},   {"1e3", false, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        int32_t s = -1;
        EXPECT_EQ(ParseMinutes(c.Text, s), c.Ok);
        if (c.Ok) {
            EXPECT_EQ(s, c.Seconds);
        }
    }
}

TEST(FilterTimeKey, DigitsAndOneSeparator) {
    struct TCase {
        const char* Text;
        char Key;
        bool Passes;
        char Becomes;
    } cases[] = {
        {"1", '5', true, '5'},    {"1", ',', true, '.'},  {"1", '.', true, '.'},
        {"1.2", ',', false, '.'}, {"1", 'a', false, 'a'}, {"1", '\b', true, '\b'},
        {"1", '-', false, '-'},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Text) + c.Key);
        char key = c.Key;
        EXPECT_EQ(FilterTimeKey(c.Text, key), c.Passes);
        if (c.Passes) {
            EXPECT_EQ(key, c.Becomes);
        }
    }
}

// The process runs with a comma as its decimal separator, in the runtime and
// in the application's own texts.
TEST_F(RecViewTest, TimeEditsUnderACommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name))
            break;
    SetDecimalSeparator(',');
    Time(0, 720);
    View.ApplyTimeEdit(false, "1,25");
    EXPECT_EQ(Graph.MinTime(), 78);
    EXPECT_EQ(View.MinText(), "1.3");
    View.ApplyTimeEdit(true, "20.5");
    EXPECT_EQ(Graph.MaxTime(), 1230);
    View.ApplyTimeEdit(true, "zwanzig");
    EXPECT_EQ(Graph.MaxTime(), 1230);
    EXPECT_EQ(View.MaxText(), "20.5");
    SetDecimalSeparator('.');
    std::setlocale(LC_ALL, before.c_str());
}

TEST_F(RecViewTest, AutoRangeTimeFollowsAndRestores) {
    Defaults(true);
    Samples(100);
    Time(200, 400);
    View.AutoXButton(true);
    EXPECT_EQ(Shown(), std::make_pair(0, 990));
    EXPECT_FALSE(View.TimeControlsEnabled());
    Samples(200);
    View.SampleAdded();
    EXPECT_EQ(Shown(), std::make_pair(0, 1990));
    View.AutoXButton(false);
    EXPECT_EQ(Shown(), std::make_pair(200, 400));
    EXPECT_TRUE(View.TimeControlsEnabled());
}

TEST_F(RecViewTest, ZoomByTwoClicks) {
    // The default field is 99 pixels wide: 7.2 s a pixel over 0..720.
    struct TCase {
        const char* Name;
        int32_t First, Second;
        std::pair<int32_t, int32_t> Expected;
    } cases[] = {
        {"left to right", 9, 40, {72, 288}},
        {"right to left", 40, 9, {65, 295}},
        {"less than 18 s apart", 9, 11, {72, 90}},
        {"less than 18 s apart, backwards", 10, 9, {65, 83}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Time(0, 720);
        View.ZoomButton(true);
        View.MouseDown(true, c.First);
        EXPECT_GE(Graph.ZoomMarker, 0);
        View.MouseDown(true, c.Second);
        EXPECT_EQ(Shown(), c.Expected);
        EXPECT_LT(Graph.ZoomMarker, 0);
        EXPECT_TRUE(View.Zoom());
    }
    View.MouseDown(true, 5);
    View.MouseDown(false, 5);
    EXPECT_LT(Graph.ZoomMarker, 0);
}

TEST_F(RecViewTest, ZoomSwitchesAutoRangeTimeOff) {
    Defaults(true);
    View.AutoXButton(true);
    View.ZoomButton(true);
    EXPECT_FALSE(View.AutoX());
    EXPECT_TRUE(View.Zoom());
    View.AutoXButton(true);
    EXPECT_FALSE(View.Zoom());
}

TEST_F(RecViewTest, PickingASample) {
    Samples(50);
    Time(0, 720);
    View.MouseDown(true, 9); // (7.2 x 10) / 10 = 7.2
    EXPECT_EQ(View.PickSample(), 7);
    View.MouseDown(true, 98); // 720 s: right of sample 49
    EXPECT_EQ(View.PickSample(), -1);
    // An interval of 0 read from a file counts as 1 second.
    Graph.SampleInterval = 0;
    View.MouseDown(true, 4);
    EXPECT_EQ(View.PickSample(), 36);
}

TEST_F(RecViewTest, OneActionRunsTheOffsetAndRepaintOnce) {
    Defaults(true);
    Samples(500);
    View.AutoOffsetButton(true);
    Time(1000, 2000);
    Host = {};
    View.Scroll(TScroll::QuarterBack); // several setter calls
    EXPECT_EQ(Host.Repaints, 1);
    EXPECT_EQ(Host.Lists, 1);
    EXPECT_EQ(Host.Changed, 1);
}

// A new sample repaints the graph when the graph draws it (samples 10 s apart,
// 0 .. 720 s in view); far right of the window it changes no pixel, unless
// End brings it into view.
TEST_F(RecViewTest, ANewSampleRepaintsTheGraphWhereItIsDrawn) {
    Defaults(true);
    Graph.SetClientSize(500, 300);
    const struct {
        int64_t Count;
        bool End;
        int Repaints;
    } cases[] = {{50, false, 1}, {72, false, 1}, {80, false, 0}, {5000, false, 0}, {5000, true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Count << " samples" << (c.End ? ", End" : ""));
        Samples(c.Count);
        Graph.Series.PointCount = c.Count;
        Time(0, 720);
        if (c.End)
            View.EndButton(true);
        Host = {};
        View.SampleAdded();
        EXPECT_EQ(Host.Repaints, c.Repaints);
        View.ReleaseEnd();
    }
}

// --- y ranges

TEST_F(RecViewTest, AutoRangeYOverTheStatistics) {
    Defaults(true);
    struct TCase {
        const char* Name;
        uint8_t HumMode;
        int32_t Min, Max;
        double Lo, Hi;
    } cases[] = {
        {"flat aw: 0.1 centred", 0, 7530, 7530, 0.703, 0.803},
        {"aw spanning more", 0, 2000, 8000, 0.2, 0.8},
        {"flat %RH: 10 centred", 1, 5000, 5000, 45, 55},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRecStatistics stats;
        stats.Min[0] = c.Min;
        stats.Max[0] = c.Max;
        stats.Count = 2;
        Rec.SetStatistics(stats);
        View.UnitsChanged(c.HumMode, 0, false);
        View.AutoYButton(true);
        EXPECT_NEAR(Graph.Series[0].MinY, c.Lo, 1e-9);
        EXPECT_NEAR(Graph.Series[0].MaxY, c.Hi, 1e-9);
        View.AutoYButton(false);
    }
}

TEST_F(RecViewTest, AutoRangeYAndAutoOffsetExcludeEachOther) {
    Defaults(true);
    View.AutoYButton(true);
    View.AutoOffsetButton(true);
    EXPECT_FALSE(View.AutoY());
    EXPECT_TRUE(View.AutoOffset());
    View.AutoYButton(true);
    EXPECT_FALSE(View.AutoOffset());
    View.AutoYButton(false);
    // Released: the manual limits (factory 0 .. 1.0 aw).
    EXPECT_EQ(Graph.Series[0].MinY, 0);
    EXPECT_EQ(Graph.Series[0].MaxY, 1);
}

TEST_F(RecViewTest, AutoOffsetOverTheVisibleSamples) {
    Defaults(true);
    View.UnitsChanged(1, 1, false); // %RH, degrees F
    Samples(10, 10, 5730);          // 57.3 %RH
    Time(0, 720);
    View.AutoOffsetButton(true);
    // A span of 10 %RH: 0 .. 100 moves to 48 .. 58.
    EXPECT_NEAR(Graph.Series[0].MinY, 48, 1e-9);
    EXPECT_NEAR(Graph.Series[0].MaxY, 58, 1e-9);
    // 10 degrees C of span are 18 degrees F, not 50: steps of 1.8 F, 77 F a
    // step below the top of 61.2 .. 79.2.
    EXPECT_NEAR(Graph.Series[1].MaxY - Graph.Series[1].MinY, 18, 1e-9);
    EXPECT_NEAR(Graph.Series[1].MaxY, 1.8 * 44, 1e-9);
}

TEST_F(RecViewTest, AutoOffsetOnAnEmptyWindowSnapsToTheStep) {
    Defaults(true);
    // Steps of 0.01 aw; the former minimum is the value, so it ends a step above it.
    Graph.Series[0].MinY = 0.437;
    View.AutoOffsetButton(true);
    EXPECT_NEAR(Graph.Series[0].MinY, 0.43, 1e-12);
    EXPECT_NEAR(Graph.Series[0].MaxY, 0.53, 1e-12);
}

// A span of 0 from a file or the registry divided by zero in the step.
TEST_F(RecViewTest, AutoOffsetSkipsASeriesWithoutSpan) {
    Defaults(true);
    Samples(10, 10, 5730);
    TGraphSettings s = View.GetGraphSettings();
    s.Humidity.Range = 0;
    s.AutoOffset = true;
    View.SetGraphSettings(s, false);
    EXPECT_EQ(Graph.Series[0].MinY, 0);
    EXPECT_EQ(Graph.Series[0].MaxY, 1);
    EXPECT_NE(Graph.Series[1].MinY, 0); // the others still fit
}

TEST_F(RecViewTest, SeriesDialogValuesApply) {
    Defaults(true);
    TSeriesEdit e = View.SeriesEdit({1, -1, 2}, 2);
    EXPECT_EQ(+e.Series[0].YMax, 10000);
    EXPECT_EQ(e.Units[2], 2);
    e.Series[1].Color = 0x00FF00;
    e.Series[1].YMax = 8000;
    e.Series[2].Visible = 1;
    e.UnitChoices = {1, 0, -1};
    View.ApplySeriesProps(e);
    EXPECT_EQ(Host.Choices, e.UnitChoices);
    EXPECT_EQ(Graph.Series[1].Color, 0x00FF00u);
    EXPECT_EQ(Graph.Series[1].MaxY, 80);
    EXPECT_FALSE(Graph.Series[2].Visible); // not in the extended mode
}

// --- settings

TEST_F(RecViewTest, DefaultsOfLiveAndStoredWindows) {
    TGraphDefaults d = {};
    SetFactoryGraphDefaults(d);
    d.AutoX = 1;
    d.MinTime = 100;
    d.MaxTime = 900;
    d.Humidity.Color = 0x123456;
    for (bool live : {true, false}) {
        SCOPED_TRACE(live);
        Rec.Live = live;
        View.AutoXButton(false);
        View.SetDefaultSettings(d);
        EXPECT_EQ(View.AutoX(), live);
        EXPECT_EQ(Graph.Series[0].Color, 0x123456u);
        EXPECT_FALSE(Graph.Series[2].Visible);
        if (!live) {
            EXPECT_EQ(Shown(), std::make_pair(0, 720));
        }
    }
}

TEST_F(RecViewTest, TheDValueIsShownInTheExtendedModeOnly) {
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended);
        Defaults(true, extended);
        TGraphSettings s = View.GetGraphSettings();
        s.DValue.Visible = 1;
        View.SetGraphSettings(s, false);
        EXPECT_EQ(Graph.Series[2].Visible, extended);
    }
}

TEST_F(RecViewTest, SettingsRoundTripAndStatistics) {
    Defaults(true);
    Samples(300);
    TGraphSettings s = View.GetGraphSettings();
    s.MinTime = 600;
    s.MaxTime = 1800;
    s.ShowSampleCount = true;
    s.Temperature.YMin = -1000;
    s.Statistics.Min[1] = -5;
    s.Statistics.Count = 77;
    View.SetGraphSettings(s, false);
    EXPECT_EQ(Rec.Statistics().Count, 1); // kept
    const TGraphSettings got = View.GetGraphSettings();
    EXPECT_EQ(got.MinTime, 600);
    EXPECT_EQ(got.MaxTime, 1800);
    EXPECT_TRUE(got.ShowSampleCount);
    EXPECT_EQ(+got.Temperature.YMin, -1000);
    EXPECT_EQ(Graph.Series[1].MinY, -10);
    View.SetGraphSettings(s, true);
    EXPECT_EQ(Rec.Statistics().Count, 77);
    EXPECT_EQ(Rec.Statistics().Min[1], -5);
}

TEST_F(RecViewTest, EndInTheSettingsOfAStoredRecordScrollsOnce) {
    Defaults(false);
    Samples(101);
    TGraphSettings s = View.GetGraphSettings();
    s.End = true;
    View.SetGraphSettings(s, false);
    EXPECT_EQ(Shown(), std::make_pair(352, 1072));
    EXPECT_FALSE(View.End());
}

TEST(GraphDefaultsToSettings, CopiesFlagsTimesAndSeriesOnly) {
    TGraphDefaults d = {};
    SetFactoryGraphDefaults(d);
    d.AutoOffset = 1;
    d.End = 1;
    d.MaxTime = 3600;
    d.DValue.Range = 77;
    d.Humidity.Unused[3] = 9;
    TGraphSettings s;
    s.Statistics.Count = 42;
    GraphDefaultsToSettings(d, s);
    EXPECT_TRUE(s.AutoOffset);
    EXPECT_TRUE(s.End);
    EXPECT_FALSE(s.AutoX);
    EXPECT_EQ(s.MaxTime, 3600);
    EXPECT_EQ(+s.DValue.Range, 77);
    EXPECT_EQ(+s.Humidity.Color, 0xFF0000);
    EXPECT_EQ(+s.Humidity.Unused[3], 0);
    EXPECT_EQ(s.Statistics.Count, 42);
}

// The 1503 bytes at offset 21 of the record file, laid out by hand.
TEST(ViewSettingsPacking, ByteExactBothWays) {
    TGraphSettings s;
    s.AutoX = true;
    s.ShowSampleCount = true;
    s.MinTime = 0x01020304;
    s.MaxTime = -2;
    s.Statistics.Min[0] = 100;
    s.Statistics.Mean[0] = 0.5;
    s.Statistics.Max[0] = 200;
    s.Statistics.Min[2] = -7;
    s.Statistics.Mean[2] = -1.25;
    s.Statistics.Max[2] = 9;
    s.Statistics.Count = 33;
    s.AutoOffset = true;
    s.DValue = {1, 0xFF00FF, 0, 10000, 1000, {}};
    s.Temperature = {0, 0x0000FF, -4000, 5000, 900, {}};
    s.Humidity = {1, 0xFF0000, 1, 9999, 1000, {}};

    std::vector<uint8_t> expected(1503, 0);
    auto i32 = [&](size_t At, int32_t V) { std::memcpy(&expected[At], &V, 4); };
    auto f64 = [&](size_t At, double V) { std::memcpy(&expected[At], &V, 8); };
    expected[0] = 1;
    expected[2] = 1;
    i32(4, 0x01020304);
    i32(8, -2);
    i32(12, 100);
    f64(16, 0.5);
    i32(24, 200);
    i32(44, -7);
    f64(48, -1.25);
    i32(56, 9);
    i32(60, 33);
    expected[164] = 1;
    auto series = [&](size_t At, const TSeriesSettings& S) {
        expected[At] = S.Visible;
        i32(At + 1, S.Color);
        i32(At + 5, S.YMin);
        i32(At + 9, S.YMax);
        i32(At + 13, S.Range);
    };
    series(1164, s.DValue);
    series(1277, s.Temperature);
    series(1390, s.Humidity);

    TRecordFileData file;
    file.View = PackViewSettings(s);
    const std::vector<uint8_t> header = EncodeRecFileHeader(file);
    ASSERT_GE(header.size(), 21u + 1503u);
    EXPECT_EQ(std::vector<uint8_t>(header.begin() + 21, header.begin() + 21 + 1503), expected);

    const TGraphSettings back = UnpackViewSettings(file.View);
    TRecordFileData again;
    again.View = PackViewSettings(back);
    EXPECT_EQ(EncodeRecFileHeader(again), header);
    EXPECT_EQ(back.Statistics.Count, 33);
    EXPECT_EQ(back.Statistics.Mean[2], -1.25);
}

} // namespace

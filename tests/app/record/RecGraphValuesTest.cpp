#include "app/record/RecGraphValues_.h"
#include "app/values/MeasValues_.h"
#include "tests/app/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr TChamberStatus kValid = csHumidityValid | csTemperatureValid | csSensorOn | csPresent;

TSample Sample(int16_t Hum, int16_t Temp, int16_t D, TChamberStatus Status = kValid,
               uint8_t Mark = 0) {
    TSample s{};
    s.Meas.Humidity = Hum;
    s.Meas.Temperature = Temp;
    s.Meas.Third = D;
    s.Meas.Status = Status;
    s.Mark = Mark;
    s.Block = 1;
    return s;
}

// A record window's graph: humidity, temperature and D value, five conditions.
void AddRecordItems(TLineGraph& Graph) {
    for (size_t s = 0; s < kRecSerieCount; ++s)
        Graph.Series.AddItem();
    for (const char* text : {"Analyzing", "Stable", "Open", "Hum. Fail", "Temp. Fail"})
        Graph.Conditions.Add().Text = text;
}

struct TSettings {
    uint8_t HumMode = 0;
    uint8_t TempUnit = 0;
    bool ExtendedMode = false;
    int64_t SelAnchor = -1;
    int64_t SelEnd = -1;
};

// The handler as a walk over every sample of the column, step by step.
void WalkGetValues(const std::vector<TSample>& Samples, const TSettings& Set, TLineGraph& Sender,
                   TGraphColumn& Column) {
    Column.Flags = 0;
    for (size_t s = 0; s < kRecSerieCount; ++s)
        Sender.Series[s].LineOptions = 0;
    for (size_t c = 0; c < kRecConditionCount; ++c)
        Sender.Conditions[c].ConditionOptions = 0;
    const auto first = static_cast<size_t>(Column.First);
    const auto last = static_cast<size_t>(Column.Last);
    int32_t max[3] = {INT32_MIN, INT32_MIN, INT32_MIN};
    int32_t min[3] = {INT32_MAX, INT32_MAX, INT32_MAX};
    auto raw = [&](size_t I, int S) {
        const TChamberMeas& m = Samples[I].Meas;
        return S == 0 ? m.Humidity : S == 1 ? m.Temperature : m.Third;
    };
    auto value = [&](int S, int32_t R) {
        return S == 0   ? HumToReal(Set.HumMode, R, Set.ExtendedMode)
               : S == 1 ? TempToReal(Set.TempUnit, R, false, Set.ExtendedMode)
                        : DValueToReal(R);
    };
    for (int s = 0; s < 3; ++s) {
        for (size_t i = first; i <= last; ++i) {
            max[s] = std::max<int32_t>(max[s], raw(i, s));
            min[s] = std::min<int32_t>(min[s], raw(i, s));
        }
        TLineSerie& serie = Sender.Series[static_cast<size_t>(s)];
        serie.FirstVal = value(s, raw(first, s));
        serie.MaxVal = value(s, max[s]);
        serie.MinVal = value(s, min[s]);
        serie.LastVal = value(s, raw(last, s));
    }
    auto request = [&](TColor Color) {
        Column.Flags |= kColumnMarkLine;
        Column.MarkColor = Color;
    };
    for (size_t i = first; i <= last; ++i) {
        const TSample& smp = Samples[i];
        const TChamberStatus st = smp.Meas.Status;
        Sender.Conditions[0].Visible = st & 1;
        Sender.Conditions[1].Visible = st & 2;
        Sender.Conditions[2].Visible = st & 4;
        Sender.Conditions[3].Visible = !(st & 16);
        Sender.Conditions[4].Visible = !(st & 32);
        if (smp.Mark != 0) {
            if (smp.Mark & 2)
                request(0x000000);
            if (smp.Mark & 1)
                request(0x0000FF);
            if (smp.Mark & 4)
                request(0x000000);
        }
        if (i > 0) {
            const TChamberStatus prev = Samples[i - 1].Meas.Status;
            if ((st & 1) && !(prev & 1))
                request(0x00F1FF);
            if ((st & 2) && !(prev & 2))
                request(0x00FF00);
            if ((st & 4) && !(prev & 4))
                request(0x808080);
        }
        const auto at = static_cast<int64_t>(i);
        if ((at >= Set.SelAnchor && at <= Set.SelEnd) || (at >= Set.SelEnd && at <= Set.SelAnchor))
            request(kClHighlight);
    }
    const TSample& l = Samples[last];
    if (l.Mark & (1 | 4)) {
        for (size_t s = 0; s < kRecSerieCount; ++s)
            Sender.Series[s].LineOptions = loNoL;
        for (size_t c = 0; c < kRecConditionCount; ++c)
            Sender.Conditions[c].ConditionOptions = coNoC;
    } else {
        if (!(l.Meas.Status & 16))
            Sender.Series[0].LineOptions = loNoL;
        if (!(l.Meas.Status & 32))
            Sender.Series[1].LineOptions = loNoL;
    }
}

class RecGraphValues : public ::testing::Test {
protected:
    void SetUp() override { AddRecordItems(Graph); }

    void Ask(int64_t First, int64_t Last) {
        Column.First = First;
        Column.Last = Last;
        Values.LineGraphGetValues(Graph, Column);
    }
    std::vector<double> Serie(size_t S) const {
        const TLineSerie& s = Graph.Series[S];
        return {s.FirstVal, s.LastVal, s.MaxVal, s.MinVal};
    }
    // Bit c: condition c holds.
    uint8_t Holding() const {
        uint8_t bits = 0;
        for (size_t c = 0; c < kRecConditionCount; ++c)
            bits |= static_cast<uint8_t>(Graph.Conditions[c].Visible << c);
        return bits;
    }

    std::vector<TSample> Samples;
    TRecGraphValues Values{Samples};
    TLineGraph Graph;
    TGraphColumn Column;
};

} // namespace

TEST_F(RecGraphValues, FirstLastLargestSmallestInDisplayUnits) {
    struct Case {
        const char* Name;
        std::vector<TSample> Samples;
        uint8_t TempUnit;
        std::vector<double> Hum, Temp, D; // first, last, max, min
    } cases[] = {
        {"one sample",
         {Sample(5000, 2500, 123)},
         0,
         {0.5, 0.5, 0.5, 0.5},
         {25.0, 25.0, 25.0, 25.0},
         {12.3, 12.3, 12.3, 12.3}},
        {"negative temperatures",
         {Sample(5000, -520, -5), Sample(4000, -1000, 5), Sample(6000, -300, 0)},
         0,
         {0.5, 0.6, 0.6, 0.4},
         {-5.2, -3.0, -3.0, -10.0},
         {-0.5, 0.0, 0.5, -0.5}},
        {"degrees F as absolute values",
         {Sample(1, 2500, 0), Sample(2, 0, 0)},
         1,
         {0.0, 0.0, 0.0, 0.0},
         {77.0, 32.0, 77.0, 32.0},
         {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Samples = c.Samples;
        Values.Reset();
        Values.TempUnit = c.TempUnit;
        Ask(0, static_cast<int64_t>(Samples.size()) - 1);
        EXPECT_EQ(Serie(rsHumidity), c.Hum);
        EXPECT_EQ(Serie(rsTemperature), c.Temp);
        EXPECT_EQ(Serie(rsDValue), c.D);
    }
}

TEST_F(RecGraphValues, ConditionsMarkLinesAndBreaks) {
    const TSample plain = Sample(0, 0, 0);
    auto with = [](TChamberStatus Status, uint8_t Mark = 0) {
        return Sample(0, 0, 0, Status, Mark);
    };
    struct Case {
        const char* Name;
        std::vector<TSample> Samples;
        int64_t First, Last, SelAnchor, SelEnd;
        uint8_t Holding; // bit c: condition c holds
        bool Line;
        TColor Color;
        uint8_t NoLine; // bit s: series s not joined
        bool NoBand;
    } cases[] = {
        {"plain", {plain, plain}, 0, 1, -1, -1, 0, false, 0, 0, false},
        {"block start last",
         {plain, with(kValid, smBlockStart)},
         1,
         1,
         -1,
         -1,
         0,
         true,
         0x0000FF,
         7,
         true},
        {"start and mark in one sample: the mark's black",
         {plain, with(kValid, smBlockStart | smInterrupted)},
         0,
         1,
         -1,
         -1,
         0,
         true,
         0x000000,
         7,
         true},
        {"stop", {plain, with(kValid, smStopped)}, 0, 1, -1, -1, 0, true, 0x000000, 0, false},
        {"start then a stable edge: green",
         {plain, with(kValid, smBlockStart), with(kValid | csStable)},
         1,
         2,
         -1,
         -1,
         2,
         true,
         0x00FF00,
         0,
         false},
        {"analysing at sample 0: no edge",
         {with(kValid | csAnalysing)},
         0,
         0,
         -1,
         -1,
         1,
         false,
         0,
         0,
         false},
        {"edge against the sample before the column",
         {plain, with(kValid | csAnalysing)},
         1,
         1,
         -1,
         -1,
         1,
         true,
         0x00F1FF,
         0,
         false},
        {"open earlier in the column, not last",
         {plain, with(kValid | csOpen), plain},
         0,
         2,
         -1,
         -1,
         0,
         true,
         0x808080,
         0,
         false},
        {"selection at the end after a stop",
         {plain, with(kValid, smStopped), plain},
         0,
         2,
         2,
         5,
         0,
         true,
         kClHighlight,
         0,
         false},
        {"reversed selection",
         {plain, with(kValid, smStopped), plain},
         0,
         2,
         5,
         2,
         0,
         true,
         kClHighlight,
         0,
         false},
        {"selection before a later stop",
         {plain, plain, with(kValid, smStopped)},
         0,
         2,
         0,
         0,
         0,
         true,
         0x000000,
         0,
         false},
        {"selection and edge in one sample: selection",
         {plain, with(kValid | csStable)},
         0,
         1,
         1,
         1,
         2,
         true,
         kClHighlight,
         0,
         false},
        {"invalid humidity breaks humidity only",
         {plain, with(kValid & ~csHumidityValid)},
         0,
         1,
         -1,
         -1,
         8,
         false,
         0,
         1,
         false},
        {"invalid temperature breaks temperature only",
         {plain, with(kValid & ~csTemperatureValid)},
         0,
         1,
         -1,
         -1,
         16,
         false,
         0,
         2,
         false},
        {"an invalid sample before the last breaks nothing",
         {with(kValid & ~csHumidityValid), plain},
         0,
         1,
         -1,
         -1,
         0,
         false,
         0,
         0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Samples = c.Samples;
        Values.Reset();
        Values.SelAnchor = c.SelAnchor;
        Values.SelEnd = c.SelEnd;
        Column.MarkColor = 0x123456;
        Column.Flags = 0xFF;
        Graph.Series[0].LineOptions = loNoL;
        Graph.Conditions[0].ConditionOptions = coNoC;
        Ask(c.First, c.Last);
        EXPECT_EQ(Holding(), c.Holding);
        EXPECT_EQ(Column.Flags, c.Line ? kColumnMarkLine : 0);
        EXPECT_EQ(Column.MarkColor, c.Line ? c.Color : 0x123456);
        for (size_t s = 0; s < kRecSerieCount; ++s)
            EXPECT_EQ(Graph.Series[s].LineOptions, (c.NoLine >> s & 1) ? loNoL : 0) << s;
        for (size_t k = 0; k < kRecConditionCount; ++k)
            EXPECT_EQ(Graph.Conditions[k].ConditionOptions, c.NoBand ? coNoC : 0) << k;
    }
}

// Recording marks the last sample as stopped after the graph has shown it.
TEST_F(RecGraphValues, StopMarkOnTheLastSampleAfterItWasShown) {
    Samples.assign(2 * TRecGraphValues::kChunk, Sample(0, 0, 0));
    const int64_t last = static_cast<int64_t>(Samples.size()) - 1;
    Ask(0, last);
    EXPECT_EQ(Column.Flags, 0);
    Samples.back().Mark |= smStopped;
    Ask(0, last);
    EXPECT_EQ(Column.Flags, kColumnMarkLine);
    EXPECT_EQ(Column.MarkColor, kStopLineColor);
}

TEST_F(RecGraphValues, ColumnOutsideTheSamplesReadsNothing) {
    Samples = {Sample(1, 2, 3)};
    for (auto [first, last] : {std::pair<int64_t, int64_t>{-1, 0}, {0, 1}, {1, 0}}) {
        Column.Flags = 0xFF;
        Ask(first, last);
        EXPECT_EQ(Column.Flags, 0);
        EXPECT_EQ(Graph.Series[0].FirstVal, 0.0);
    }
}

namespace {

// A record of random values whose states, marks and interval changes come in
// runs.
std::vector<TSample> RandomRecord(std::mt19937& Random, size_t Count) {
    std::uniform_int_distribution<int> step(-300, 300);
    std::uniform_int_distribution<int> rare(0, 999);
    std::vector<TSample> samples;
    TSample s = Sample(5000, 2000, 0);
    for (size_t i = 0; i < Count; ++i) {
        s.Meas.Humidity =
            static_cast<int16_t>(std::clamp(s.Meas.Humidity + step(Random), -32768, 32767));
        s.Meas.Temperature =
            static_cast<int16_t>(std::clamp(s.Meas.Temperature + step(Random), -32768, 32767));
        s.Meas.Third = static_cast<int16_t>(step(Random) * 100);
        if (rare(Random) < 3)
            s.Meas.Status ^=
                static_cast<TChamberStatus>(1 << std::uniform_int_distribution<int>(0, 5)(Random));
        s.Mark = rare(Random) < 2 ? static_cast<uint8_t>(1 << (rare(Random) % 3)) : 0;
        samples.push_back(s);
    }
    return samples;
}

} // namespace

// The summaries draw exactly what a walk over every sample of each column
// draws: the same calls on the canvas, full view and zoomed, while samples are
// appended and the last one receives its stop mark.
TEST(RecGraphValuesIdentity, SameDrawingAsAWalkOverEverySample) {
    std::mt19937 random(137);
    auto pick = [&](int64_t Lo, int64_t Hi) {
        return std::uniform_int_distribution<int64_t>(Lo, Hi)(random);
    };
    // The sample count of a chunk of summary level 0, 1 or 2.
    auto chunkSize = [&] {
        int64_t size = TRecGraphValues::kChunk;
        for (int64_t l = pick(0, 2); l > 0; --l)
            size *= TRecGraphValues::kChunk;
        return size;
    };
    for (int round = 0; round < 40; ++round) {
        std::vector<TSample> samples = RandomRecord(
            random, static_cast<size_t>(pick(0, 3) == 0 ? pick(1, 3) * chunkSize() + pick(-1, 1)
                                                        : pick(1, 120000)));
        TSettings set;
        set.HumMode = static_cast<uint8_t>(pick(0, 1));
        set.TempUnit = static_cast<uint8_t>(pick(0, 1));
        set.ExtendedMode = pick(0, 1);
        if (pick(0, 2) != 0) {
            set.SelAnchor = pick(0, static_cast<int64_t>(samples.size()) - 1);
            set.SelEnd = pick(0, static_cast<int64_t>(samples.size()) - 1);
        }
        TRecGraphValues values(samples);
        values.HumMode = set.HumMode;
        values.TempUnit = set.TempUnit;
        values.ExtendedMode = set.ExtendedMode;
        values.SelAnchor = set.SelAnchor;
        values.SelEnd = set.SelEnd;

        TLineGraph graph;
        AddRecordItems(graph);
        graph.Series[rsHumidity].MaxY = 1.0;
        graph.Series[rsTemperature].MinY = -50;
        graph.Series[rsDValue].MinY = -3000;
        graph.Series[rsDValue].MaxY = 3000;
        graph.SampleInterval = static_cast<int32_t>(pick(1, 10));
        const int32_t width = static_cast<int32_t>(pick(50, 1500));
        graph.SetClientSize(width + 21, 300);
        for (int32_t i = 0; i < 4; ++i)
            graph.Frame.SetFrameSize(i, 10);
        auto draw = [&](bool Walk) {
            graph.Series.PointCount = static_cast<int64_t>(samples.size());
            if (Walk)
                graph.OnGetValues = [&](TLineGraph& G, TGraphColumn& C) {
                    WalkGetValues(samples, set, G, C);
                };
            else
                graph.OnGetValues = [&](TLineGraph& G, TGraphColumn& C) {
                    values.LineGraphGetValues(G, C);
                };
            TRecordingCanvas canvas;
            graph.Paint(canvas, 1);
            graph.DrawFieldPaint(canvas);
            return canvas.Log;
        };
        const int64_t total = static_cast<int64_t>(samples.size()) * graph.SampleInterval;
        const bool zoomed = pick(0, 2) == 0;
        const int32_t minTime = zoomed ? static_cast<int32_t>(pick(0, total)) : 0;
        graph.SetMinTime(minTime);
        graph.SetMaxTime(zoomed ? minTime + static_cast<int32_t>(pick(1, total / 4 + 1))
                                : static_cast<int32_t>(total));
        SCOPED_TRACE(Format("round %d: %d samples, window %d..%d, width %d", round,
                            static_cast<int>(samples.size()), graph.MinTime(), graph.MaxTime(),
                            width));
        ASSERT_EQ(draw(false), draw(true));

        // Recording goes on, at times up to the end of a chunk; then the last
        // sample receives its stop mark.
        const int64_t chunk = chunkSize();
        const int64_t toChunkEnd = chunk - static_cast<int64_t>(samples.size()) % chunk;
        const std::vector<TSample> more =
            RandomRecord(random, static_cast<size_t>(pick(0, 1) ? toChunkEnd : pick(1, 600)));
        samples.insert(samples.end(), more.begin(), more.end());
        if (!zoomed)
            graph.SetMaxTime(static_cast<int32_t>(samples.size()) * graph.SampleInterval);
        ASSERT_EQ(draw(false), draw(true));
        samples.back().Mark |= smStopped;
        ASSERT_EQ(draw(false), draw(true));
    }
}

// Samples replaced by a record of the same length are summarised anew after
// Reset.
TEST(RecGraphValuesIdentity, ResetForgetsReplacedSamples) {
    std::vector<TSample> samples(4 * TRecGraphValues::kChunk, Sample(1000, 0, 0));
    TRecGraphValues values(samples);
    TLineGraph graph;
    AddRecordItems(graph);
    TGraphColumn column;
    column.Last = static_cast<int64_t>(samples.size()) - 1;
    values.LineGraphGetValues(graph, column);
    EXPECT_EQ(graph.Series[rsHumidity].MaxVal, 0.1);
    samples[5].Meas.Humidity = 9000;
    values.Reset();
    values.LineGraphGetValues(graph, column);
    EXPECT_EQ(graph.Series[rsHumidity].MaxVal, 0.9);
}

#include "app/graph/LineGraph_.h"
#include "tests/app/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <utility>

namespace {

using TColumns = std::vector<std::pair<int64_t, int64_t>>;

// A graph on a 99 x 99 field with one series (0..100) and four conditions, fed
// from tables indexed by sample: the series value, the conditions that hold (bit
// c for condition c), samples drawn without a line, and mark-line colours (0: none).
class LineGraphDraw : public ::testing::Test {
protected:
    void SetUp() override {
        Graph.SetClientSize(100, 100);
        Graph.LayoutField(Canvas);
        Graph.CalcXGrid();
        Graph.CalcYGrid();
        TLineSerie& serie = Graph.Series.AddItem();
        serie.SeriesName = "aw";
        serie.MeasUnit = "u";
        for (int c = 0; c < 4; ++c)
            Graph.Conditions.Add().Text = "c" + std::to_string(c);
        Graph.OnGetValues = [this](TLineGraph& Sender, TGraphColumn& Column) {
            EXPECT_EQ(&Sender, &Graph);
            Columns.emplace_back(Column.First, Column.Last);
            TLineSerie& s = Sender.Series[0];
            const auto first = Values.begin() + Column.First;
            const auto last = Values.begin() + Column.Last + 1;
            s.FirstVal = *first;
            s.LastVal = *(last - 1);
            s.MaxVal = *std::max_element(first, last);
            s.MinVal = *std::min_element(first, last);
            s.LineOptions = NoLine.count(Column.Last) ? loNoL : 0;
            for (size_t c = 0; c < Sender.Conditions.Count(); ++c)
                Sender.Conditions[c].Visible = Conds.size() > static_cast<size_t>(Column.Last) &&
                                               (Conds[Column.Last] >> c & 1);
            Column.Flags = 0;
            for (int64_t i = Column.First; i <= Column.Last; ++i)
                if (Marks.count(i)) {
                    Column.Flags = kColumnMarkLine;
                    Column.MarkColor = Marks[i];
                }
        };
    }

    void SetCount(int64_t Count, double (*Value)(int64_t)) {
        Graph.Series.PointCount = Count;
        Values.clear();
        for (int64_t n = 0; n < Count; ++n)
            Values.push_back(Value(n));
    }

    // y of a value of series 0 on the 99-pixel field: grid line 13 at 91, line 3 at 20.
    static int32_t Y(double V) { return 91 - RoundHalfAway(V * 71 / 100); }

    TLineGraph Graph;
    TRecordingCanvas Canvas;
    std::vector<double> Values;
    std::vector<uint8_t> Conds;
    std::map<int64_t, bool> NoLine;
    std::map<int64_t, TColor> Marks;
    TColumns Columns;
};

std::vector<std::string> Slice(const std::vector<std::string>& Log, const std::string& From,
                               size_t Count) {
    const auto at = std::find(Log.begin(), Log.end(), From);
    if (at == Log.end())
        return {"missing: " + From};
    return {at, at + std::min<ptrdiff_t>(Count, Log.end() - at)};
}

} // namespace

// 0.24 s a pixel at 2 s a sample: one sample a column, joined by straight lines,
// one sample step past the right edge.
TEST_F(LineGraphDraw, FinerThanTheIntervalJoinsSingleSamples) {
    SetCount(20, [](int64_t N) { return N * 5.0; });
    Graph.DrawSeries(Canvas);
    TColumns expected;
    for (int64_t n = 0; n <= 13; ++n)
        expected.emplace_back(n, n);
    EXPECT_EQ(Columns, expected);
    EXPECT_EQ(Canvas.Calls("move").front(), Format("move -1,%d", Y(0)));
    EXPECT_EQ(Slice(Canvas.Log, "move -1,91", 3),
              (std::vector<std::string>{"move -1,91", Format("line 7,%d pen FF0000", Y(5)),
                                        Format("pixel 7,%d FF0000", Y(5))}));
    EXPECT_EQ(Canvas.Calls("line").back(), Format("line 107,%d pen FF0000", Y(65)));
}

// 10 s a pixel at 1 s a sample: a min-max stroke and a connector from the last
// value of the previous column to the first of this one.
TEST_F(LineGraphDraw, CoarserThanTheIntervalDrawsStrokeAndConnector) {
    Graph.SampleInterval = 1;
    Graph.SetMaxTime(1000);
    SetCount(1000, [](int64_t N) { return N % 7 * 10.0; });
    Graph.DrawSeries(Canvas);
    ASSERT_GE(Columns.size(), 3u);
    EXPECT_EQ(TColumns(Columns.begin(), Columns.begin() + 3),
              (TColumns{{0, 5}, {6, 14}, {15, 24}}));
    EXPECT_EQ(Columns.back(), (std::pair<int64_t, int64_t>{995, 999}));
    EXPECT_EQ(Slice(Canvas.Log, Format("move 0,%d", Y(60)), 6),
              (std::vector<std::string>{
                  Format("move 0,%d", Y(60)), Format("line 0,%d pen FF0000", Y(0)),
                  Format("pixel 0,%d FF0000", Y(0)), Format("move -1,%d", Y(50)),
                  Format("line 0,%d pen FF0000", Y(60)), Format("pixel 0,%d FF0000", Y(60))}));
}

TEST_F(LineGraphDraw, NoLineStillMovesThePreviousPoint) {
    SetCount(5, [](int64_t N) { return N * 10.0; });
    NoLine[2] = true;
    Graph.DrawSeries(Canvas);
    EXPECT_EQ(Canvas.Calls("move"),
              (std::vector<std::string>{"move -1,91", Format("move 16,%d", Y(20)),
                                        Format("move 24,%d", Y(30))}));
    EXPECT_EQ(Canvas.Calls("line").size(), 3u);
}

TEST_F(LineGraphDraw, NothingAskedWithoutSamplesInView) {
    struct Case {
        const char* Name;
        int32_t MinTime;
        int64_t Count;
    } cases[] = {
        {"empty graph", 0, 0},
        {"start at the point count", 40, 20},
        {"start past the point count", 100, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Columns.clear();
        Canvas.Log.clear();
        Graph.SetMinTime(c.MinTime);
        Graph.SetMaxTime(c.MinTime + 24);
        SetCount(c.Count, [](int64_t) { return 1.0; });
        Graph.DrawFieldPaint(Canvas);
        EXPECT_TRUE(Columns.empty());
        EXPECT_FALSE(Canvas.Calls("text").empty());
        EXPECT_FALSE(Canvas.Calls("line").empty());
    }
}

TEST_F(LineGraphDraw, MarkLineInTheColumnsColour) {
    SetCount(6, [](int64_t) { return 50.0; });
    Marks[3] = 0x0000FF;
    Graph.DrawSeries(Canvas);
    EXPECT_EQ(Slice(Canvas.Log, "move 24,0", 2),
              (std::vector<std::string>{"move 24,0", "line 24,99 pen 0000FF"}));
    EXPECT_EQ(Canvas.Calls("line 24,99").size(), 1u);
}

// Columns at x = -1, 7, 16, 24, 32, 41, 49, 57, 66, 74, 82.
TEST_F(LineGraphDraw, BandsTakeTheLowestFreeRowAndGrowTheirText) {
    Conds = {0, 0, 3, 3, 3, 2, 6, 6, 4, 8, 0};
    SetCount(11, [](int64_t) { return 0.0; });
    Graph.DrawSeries(Canvas);
    EXPECT_EQ(
        Canvas.Calls("fill"),
        (std::vector<std::string>{"fill 16,0,25,11 brush FF0000", "fill 16,11,25,22 brush 0000FF",
                                  "fill 24,0,33,11 brush FF0000", "fill 24,11,33,22 brush 0000FF",
                                  "fill 32,11,42,22 brush 0000FF", "fill 41,11,50,22 brush 0000FF",
                                  "fill 49,11,58,22 brush 0000FF", "fill 49,0,58,11 brush FF00FF",
                                  "fill 57,0,67,11 brush FF00FF"}));
    const std::vector<std::string> texts = Canvas.Calls("textrect");
    EXPECT_EQ(texts.front(), "textrect 17,-1 'c0' in 17,0,24,13 font 000000 size 8");
    EXPECT_EQ(texts[1], "textrect 17,10 'c1' in 17,11,24,24 font 000000 size 8");
    EXPECT_EQ(texts.back(), "textrect 50,-1 'c2' in 50,0,66,13 font 000000 size 8");
    // Condition 3 holds in a single column: no band, no text.
    for (const std::string& text : texts)
        EXPECT_EQ(text.find("'c3'"), std::string::npos) << text;
}

TEST_F(LineGraphDraw, ContinuedBandNotFilledWhereAsked) {
    Conds = {1, 1, 1, 1};
    SetCount(4, [](int64_t) { return 0.0; });
    auto handler = Graph.OnGetValues;
    Graph.OnGetValues = [&](TLineGraph& Sender, TGraphColumn& Column) {
        handler(Sender, Column);
        Sender.Conditions[0].ConditionOptions = Column.Last == 2 ? coNoC : 0;
    };
    Graph.DrawSeries(Canvas);
    EXPECT_EQ(Canvas.Calls("fill"), (std::vector<std::string>{"fill -1,0,8,11 brush FF0000",
                                                              "fill 16,0,25,11 brush FF0000"}));
}

TEST_F(LineGraphDraw, TimeLabelUnits) {
    struct Case {
        int32_t Seconds;
        const char* Text;
    } cases[] = {{0, "0.0[sec]"},  {59, "59.0[sec]"}, {60, "1.0[min]"},   {90, "1.5[min]"},
                 {3600, "1.0[h]"}, {5400, "1.5[h]"},  {86400, "1.0[day]"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Seconds);
        Canvas.Log.clear();
        Graph.SetMinTime(c.Seconds);
        Graph.SetMaxTime(c.Seconds + 24);
        Graph.DrawTimeLabels(Canvas);
        EXPECT_EQ(Canvas.Log.front(),
                  Format("text 0,84 '%s' font 000000 size 8 on C0C0C0", c.Text));
    }
    // Every second grid line: 0, 4, 8, ... 20 s at x = XGrid[2 i] + 1.
    EXPECT_EQ(Canvas.Log.size(), 6u);
    Canvas.Log.clear();
    Graph.SetMinTime(0);
    Graph.SetMaxTime(24);
    Graph.DrawTimeLabels(Canvas);
    EXPECT_EQ(Canvas.Log[1], "text 17,84 '4.0[sec]' font 000000 size 8 on C0C0C0");
    EXPECT_EQ(Canvas.Log[5], "text 83,84 '20.0[sec]' font 000000 size 8 on C0C0C0");
}

TEST_F(LineGraphDraw, YLabelsStandOnEverySecondGridLine) {
    Graph.Series.AddItem().Visible = false;
    TLineSerie& third = Graph.Series.AddItem();
    third.MinY = -20;
    third.MaxY = 30;
    third.Precision = 2;
    third.SeriesName = "T";
    Graph.DrawYLabels(Canvas);
    EXPECT_EQ(Canvas.Log,
              (std::vector<std::string>{
                  "text 9,78 '0.0' font FF0000 size 8", "text 9,64 '20.0' font FF0000 size 8",
                  "text 9,50 '40.0' font FF0000 size 8", "text 9,36 '60.0' font FF0000 size 8",
                  "text 9,21 '80.0' font FF0000 size 8", "text 9,7 '100.0' font FF0000 size 8",
                  "text 9,0 'awu' font FF0000 size 8",
                  // series 2 at grid line 5
                  "text 43,78 '-20.00' font FF00FF size 8",
                  "text 43,64 '-10.00' font FF00FF size 8", "text 43,50 '0.00' font FF00FF size 8",
                  "text 43,36 '10.00' font FF00FF size 8", "text 43,21 '20.00' font FF00FF size 8",
                  "text 43,7 '30.00' font FF00FF size 8", "text 43,0 'T' font FF00FF size 8"}));
}

TEST_F(LineGraphDraw, AnnotationsAtEverySecondGridLineUpToTheLastSample) {
    SetCount(4, [](int64_t N) { return N * 10.0; });
    Graph.AnnotationFlags = afNames | afValues;
    Graph.DrawAnnotations(Canvas);
    EXPECT_EQ(Columns, (TColumns{{1, 1}, {3, 3}}));
    EXPECT_EQ(Canvas.Log,
              (std::vector<std::string>{
                  Format("text 7,%d 'aw: 10.0u' font FF0000 size 5", Y(10)),
                  Format("ellipse 4,%d,10,%d brush FF0000 pen FF0000", Y(10) - 3, Y(10) + 3),
                  Format("text 24,%d 'aw: 30.0u' font FF0000 size 5", Y(30)),
                  Format("ellipse 21,%d,27,%d brush FF0000 pen FF0000", Y(30) - 3, Y(30) + 3)}));
    Canvas.Log.clear();
    Graph.AnnotationFlags = afNames;
    Graph.DrawAnnotations(Canvas);
    EXPECT_EQ(Canvas.Calls("ellipse").size(), 0u);
    EXPECT_EQ(Canvas.Log.front(), Format("text 7,%d 'aw' font FF0000 size 5", Y(10)));
    Canvas.Log.clear();
    Graph.AnnotationFlags = afValues;
    Graph.DrawAnnotations(Canvas);
    EXPECT_EQ(Canvas.Log.front(), Format("text 7,%d '10.0u' font FF0000 size 5", Y(10)));
    EXPECT_EQ(Canvas.Calls("ellipse").size(), 2u);
}

TEST_F(LineGraphDraw, PanelLaysOutTheFieldInsideTheFrame) {
    Graph.SetClientSize(300, 200);
    for (int32_t i = 0; i < 4; ++i)
        Graph.Frame.SetFrameSize(i, 10);
    Graph.GraphColor = 0xE1FFFF;
    Graph.Paint(Canvas, 1);
    EXPECT_EQ(Graph.FieldRect(), (TRect{10, 10, 289, 189}));
    EXPECT_EQ(Canvas.Log,
              (std::vector<std::string>{
                  "field 0,0,300,200", "frame3d 0,0,300,200 FF000014 FF000010 1",
                  "fill 1,1,299,10 brush FF00000F", "fill 1,10,10,189 brush FF00000F",
                  "fill 289,10,299,189 brush FF00000F", "fill 1,189,299,199 brush FF00000F",
                  "frame3d 9,9,290,190 FF000010 FF000014 1", "fill 10,10,289,189 brush E1FFFF"}));
    EXPECT_EQ(Graph.XGrid.back(), 279);
}

// The panel's fills leave every pixel of the client in the panel's or the
// field's colour, each filled once, also where the field of at least 10 x 10
// pixels juts out of a tiny panel.
TEST_F(LineGraphDraw, PanelAndFieldAreEachFilledOnce) {
    struct TCase {
        int32_t Width, Height, Frame;
    };
    for (const TCase& c :
         {TCase{300, 200, 10}, TCase{40, 30, 0}, TCase{15, 15, 10}, TCase{12, 40, 3}}) {
        SCOPED_TRACE(Format("%dx%d, frame %d", c.Width, c.Height, c.Frame));
        Canvas.Log.clear();
        Graph.SetClientSize(c.Width, c.Height);
        for (int32_t i = 0; i < 4; ++i)
            Graph.Frame.SetFrameSize(i, c.Frame);
        Graph.GraphColor = 0xE1FFFF;
        Graph.Paint(Canvas, 1);
        std::vector<std::vector<std::string>> colour(c.Height, std::vector<std::string>(c.Width));
        std::vector<std::vector<int>> fills(c.Height, std::vector<int>(c.Width));
        for (const std::string& call : Canvas.Calls("fill ")) {
            int l = 0, t = 0, r = 0, b = 0;
            char brush[16] = {};
            ASSERT_EQ(
                std::sscanf(call.c_str(), "fill %d,%d,%d,%d brush %15s", &l, &t, &r, &b, brush), 5);
            for (int y = std::max(t, 0); y < std::min(b, c.Height); ++y)
                for (int x = std::max(l, 0); x < std::min(r, c.Width); ++x) {
                    colour[y][x] = brush;
                    ++fills[y][x];
                }
        }
        const TRect field = Graph.FieldRect();
        for (int y = 1; y < c.Height - 1; ++y)
            for (int x = 1; x < c.Width - 1; ++x) {
                const bool inField =
                    x >= field.Left && x < field.Right && y >= field.Top && y < field.Bottom;
                ASSERT_EQ(colour[y][x], inField ? "E1FFFF" : "FF00000F") << x << "," << y;
                ASSERT_EQ(fills[y][x], 1) << x << "," << y;
            }
    }
}

TEST_F(LineGraphDraw, SampleCountLabelsUnderTheGridLines) {
    Graph.SetShowSampleCount(true);
    Graph.Paint(Canvas, 1);
    std::vector<std::string> labels;
    for (int i = 0; i <= 12; ++i)
        labels.push_back(std::to_string(i));
    EXPECT_EQ(Graph.SampleCountLabels, labels);
    // Label "0" is 6 wide: half of it fits the margin of 0 only from the third pixel.
    EXPECT_EQ(Graph.FieldRect().Left, 5);
    EXPECT_EQ(Graph.FieldRect().Bottom, 100 - 19);
    EXPECT_EQ(Canvas.Calls("text").front(), "text 1,86 '0' font 000000 size 8");
}

// The label product of a whole view of ten million samples at 10 s passed 2^31.
TEST_F(LineGraphDraw, SampleCountLabelsOfALongRecord) {
    Graph.SampleInterval = 10;
    Graph.SetMaxTime(100000000);
    Graph.SetXDivisions(23);
    Graph.SetShowSampleCount(true);
    Graph.Paint(Canvas, 1);
    EXPECT_EQ(Graph.SampleCountLabels[23], "9583333");
    EXPECT_EQ(Graph.SampleCountLabels.back(), "10000000");
}

// MinTime = MaxTime and a sample interval of 0 divided by zero.
TEST_F(LineGraphDraw, EmptyWindowWithZeroIntervalStillDraws) {
    Graph.SampleInterval = 0;
    Graph.SetMinTime(3);
    Graph.SetMaxTime(3);
    Graph.SetShowSampleCount(true);
    SetCount(10, [](int64_t N) { return N * 1.0; });
    Graph.Paint(Canvas, 1);
    Graph.DrawFieldPaint(Canvas);
    EXPECT_EQ(Graph.SampleCountLabels.front(), "3");
    EXPECT_EQ(Columns, (TColumns{{3, 3}, {4, 4}, {5, 5}}));
}

namespace {

// The columns of the series pass as a walk over every sample finds them.
TColumns WalkedColumns(const TLineGraph& Graph) {
    TColumns columns;
    const int64_t count = Graph.Series.PointCount;
    const double spp = Graph.GetSecPerPixel();
    int64_t n = std::max<int64_t>(0, Graph.MinTime() / Graph.Interval());
    int32_t nextX = -2147483647;
    const double limit = std::trunc(Graph.Interval() / spp) + Graph.FieldWidth() + 2;
    while (nextX < limit && n <= count - 1) {
        const int32_t x = Graph.SampleToX(n, spp);
        const int64_t first = n;
        while (nextX <= x && n <= count - 1) {
            ++n;
            nextX = Graph.SampleToX(n, spp);
        }
        columns.emplace_back(first, n - 1);
    }
    return columns;
}

} // namespace

// The pass finds each column's end by a search, not by visiting every sample.
TEST_F(LineGraphDraw, ColumnsAsAWalkOverEverySampleFindsThem) {
    std::mt19937 random(19);
    auto pick = [&](int64_t Lo, int64_t Hi) {
        return std::uniform_int_distribution<int64_t>(Lo, Hi)(random);
    };
    Graph.OnGetValues = [this](TLineGraph&, TGraphColumn& Column) {
        Columns.emplace_back(Column.First, Column.Last);
    };
    for (int round = 0; round < 300; ++round) {
        const int32_t width = static_cast<int32_t>(pick(10, 2500));
        Graph.SetClientSize(width + 1, 100);
        Graph.LayoutField(Canvas);
        Graph.SampleInterval = static_cast<int32_t>(pick(0, 3) == 0 ? pick(1, 600) : pick(1, 3));
        const int32_t span = static_cast<int32_t>(pick(0, 1) ? pick(1, 5000) : pick(1, 20000000));
        const int32_t minTime = static_cast<int32_t>(pick(0, 4) == 0 ? 0 : pick(0, 2000000));
        Graph.SetMinTime(minTime);
        Graph.SetMaxTime(minTime + span);
        const int64_t inView = (int64_t{minTime} + span) / Graph.Interval() + 2;
        Graph.Series.PointCount = std::min<int64_t>(pick(0, inView + 10), 1000000);
        SCOPED_TRACE(Format("width %d interval %d window %d + %d count %lld", width,
                            Graph.SampleInterval, minTime, span,
                            static_cast<long long>(Graph.Series.PointCount)));
        Columns.clear();
        Canvas.Log.clear();
        Graph.DrawSeries(Canvas);
        ASSERT_EQ(Columns, WalkedColumns(Graph));
    }
}

// A new sample that the graph says is not drawn changes nothing of what the
// panel and field paint; one it says is drawn often does.
TEST_F(LineGraphDraw, ASampleNotDrawnLeavesThePaintAsItWas) {
    std::mt19937 random(23);
    auto pick = [&](int64_t Lo, int64_t Hi) {
        return std::uniform_int_distribution<int64_t>(Lo, Hi)(random);
    };
    auto paint = [this](int64_t Count) {
        SetCount(
            Count, +[](int64_t N) { return static_cast<double>(N % 97); });
        Canvas.Log.clear();
        Graph.Paint(Canvas, 1);
        Graph.DrawFieldPaint(Canvas);
        return Canvas.Log;
    };
    Graph.AnnotationFlags = afNames | afValues;
    int unchanged = 0;
    for (int round = 0; round < 200; ++round) {
        const int32_t width = static_cast<int32_t>(pick(20, 400));
        Graph.SetClientSize(width, 100);
        Graph.SampleInterval = static_cast<int32_t>(pick(0, 3) == 0 ? pick(1, 60) : pick(1, 3));
        const int32_t span = static_cast<int32_t>(pick(18, 3000));
        const int32_t minTime = static_cast<int32_t>(pick(0, 2) == 0 ? 0 : pick(0, 5000));
        Graph.SetMinTime(minTime);
        Graph.SetMaxTime(minTime + span);
        Graph.SetShowSampleCount(pick(0, 1) == 1);
        const int64_t inView = (int64_t{minTime} + span) / Graph.Interval();
        const int64_t count =
            std::max<int64_t>(0, inView + pick(-5, 5) + pick(0, 1) * pick(0, 500));
        SCOPED_TRACE(Format("width %d interval %d window %d + %d count %lld", width,
                            Graph.SampleInterval, minTime, span, static_cast<long long>(count)));
        const std::vector<std::string> before = paint(count);
        const bool drawn = Graph.SampleDrawn(count);
        const std::vector<std::string> after = paint(count + 1);
        if (!drawn) {
            ASSERT_EQ(before, after);
            ++unchanged;
        }
    }
    EXPECT_GT(unchanged, 50);
}

#include "app/graph/LineGraph_.h"
#include "tests/app/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A graph whose field is Width x Height pixels (client one larger, no margins).
void SetField(TLineGraph& Graph, int32_t Width, int32_t Height) {
    TRecordingCanvas canvas;
    Graph.SetClientSize(Width + 1, Height + 1);
    Graph.LayoutField(canvas);
    Graph.CalcXGrid();
    Graph.CalcYGrid();
}

} // namespace

TEST(LineGraphGeometry, DefaultsOn99PixelsGiveTwoSecondsPerDivision) {
    TLineGraph graph;
    SetField(graph, 99, 99);
    EXPECT_DOUBLE_EQ(graph.GetSecPerPixel(), 0.24);
    EXPECT_EQ(graph.XGrid,
              (std::vector<int32_t>{-1, 7, 16, 24, 32, 41, 49, 57, 66, 74, 82, 91, 99}));
    // (i x 100) div 14 - 1
    EXPECT_EQ(graph.YGrid,
              (std::vector<int32_t>{-1, 6, 13, 20, 27, 34, 41, 49, 56, 63, 70, 77, 84, 91, 99}));
}

TEST(LineGraphGeometry, DivisionSettersRebuildTheGridAndInvalidate) {
    TLineGraph graph;
    SetField(graph, 99, 99);
    int invalidated = 0;
    graph.OnInvalidate = [&] { ++invalidated; };
    graph.SetXDivisions(3);
    graph.SetYDivisions(23);
    EXPECT_EQ(graph.XGrid, (std::vector<int32_t>{-1, 24, 49, 74, 99}));
    EXPECT_EQ(graph.YGrid.size(), 25u);
    graph.SetMinTime(5);
    graph.SetMaxTime(50);
    graph.SetShowSampleCount(true);
    EXPECT_EQ(invalidated, 5);
}

TEST(LineGraphGeometry, SampleAndValueMapping) {
    TLineGraph graph;
    SetField(graph, 99, 99);
    const double spp = graph.GetSecPerPixel();
    struct Case {
        int64_t N;
        int32_t X;
    } cases[] = {{0, -1}, {1, 7}, {3, 24}, {12, 99}, {-1, -9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.N);
        EXPECT_EQ(graph.SampleToX(c.N, spp), c.X);
    }
    TLineSerie& serie = graph.Series.AddItem();
    const double upp = graph.UnitsPerPixel(0);
    EXPECT_DOUBLE_EQ(upp, 100.0 / (91 - 20));
    EXPECT_EQ(graph.ValueToY(0, upp, 0.0), 91);
    EXPECT_EQ(graph.ValueToY(0, upp, 100.0), 20);
    serie.MaxY = serie.MinY = 5;
    EXPECT_EQ(graph.UnitsPerPixel(0), 0.0);
    EXPECT_EQ(graph.ValueToY(0, graph.UnitsPerPixel(0), 1234.0), 0);
}

// n x SampleInterval - MinTime beyond 32 bits: a sample at 2147484000 s with the
// window starting at 2147483000 s lies 1000 s right of its left edge.
TEST(LineGraphGeometry, SampleTimePast32BitsDoesNotWrap) {
    TLineGraph graph;
    graph.SampleInterval = 600;
    graph.SetMinTime(2147483000);
    graph.SetMaxTime(INT32_MAX);
    SetField(graph, 646, 99);
    ASSERT_DOUBLE_EQ(graph.GetSecPerPixel(), 1.0);
    EXPECT_EQ(graph.SampleToX(3579140, 1.0), 999);
    EXPECT_EQ(graph.SampleToX(INT64_MAX / 2, 1.0), INT32_MAX);
}

// An empty window and a sample interval of 0 divided by zero; they are taken as
// one second each.
TEST(LineGraphGeometry, EmptyWindowAndZeroIntervalKeepOneSecond) {
    TLineGraph graph;
    graph.SetMinTime(100);
    graph.SetMaxTime(100);
    graph.SampleInterval = 0;
    SetField(graph, 99, 99);
    EXPECT_DOUBLE_EQ(graph.GetSecPerPixel(), 0.01);
    EXPECT_EQ(graph.Interval(), 1);
    EXPECT_EQ(graph.SampleToX(101, graph.GetSecPerPixel()), 99);
    graph.SetMaxTime(50);
    EXPECT_EQ(graph.TimeSpan(), 1);
}

TEST(LineGraphGeometry, ZoomMarkerAtZeroStandsAtTheLeftEdge) {
    TLineGraph graph;
    SetField(graph, 99, 99);
    graph.ZoomMarker = 0.0;
    EXPECT_EQ(graph.ZoomMarkerX(graph.GetSecPerPixel()), -1);
    TRecordingCanvas canvas;
    graph.DrawZoomMarker(canvas);
    EXPECT_EQ(canvas.Log, (std::vector<std::string>{"move -1,0", "line -1,99 pen FF00FF"}));
    graph.ZoomMarker = -0.5;
    canvas.Log.clear();
    graph.DrawZoomMarker(canvas);
    EXPECT_TRUE(canvas.Log.empty());
}

TEST(LineGraphItems, DefaultsColoursAndAssign) {
    TLineSeries series;
    for (int i = 0; i < 4; ++i)
        series.AddItem();
    TLineSerie& fifth = series.Add();
    EXPECT_TRUE(series[0].Visible);
    EXPECT_FALSE(fifth.Visible);
    EXPECT_EQ(series[1].Color, 0x0000FFu);
    EXPECT_EQ(series[2].Color, 0xFF00FFu);
    EXPECT_EQ(series[3].Color, 0x00FF00u);
    EXPECT_EQ(fifth.Color, 0xFF0000u);

    TLineSerie source(0);
    source.Color = 0x123456;
    source.MaxY = 7;
    source.MinY = -7;
    source.Precision = 3;
    source.MeasUnit = "u";
    source.SeriesName = "n";
    source.Visible = false;
    source.FirstVal = source.LastVal = source.MaxVal = source.MinVal = 99;
    source.LineOptions = loNoL;
    TLineSerie target(1);
    target.FirstVal = 1;
    target.LastVal = 2;
    target.MaxVal = 3;
    target.MinVal = 4;
    target.Assign(source);
    EXPECT_EQ(target.Color, 0x123456u);
    EXPECT_EQ(target.MaxY, 7);
    EXPECT_EQ(target.MinY, -7);
    EXPECT_EQ(target.Precision, 3);
    EXPECT_EQ(target.MeasUnit, "u");
    EXPECT_EQ(target.SeriesName, "n");
    EXPECT_FALSE(target.Visible);
    EXPECT_EQ(target.FirstVal, 1);
    EXPECT_EQ(target.LastVal, 2);
    EXPECT_EQ(target.MaxVal, 3);
    EXPECT_EQ(target.MinVal, 4);
    EXPECT_EQ(target.LineOptions, 0);

    TLineGraph graph;
    series.PointCount = 5;
    graph.SetSeries(series);
    EXPECT_EQ(graph.Series.Count(), 5u);
    EXPECT_EQ(graph.Series[4].Color, 0xFF0000u);
    EXPECT_EQ(graph.Series.PointCount, 0);

    TConditions conditions;
    TCondition& cond = conditions.Add();
    cond.Text = "Open";
    cond.Visible = true;
    cond.ConditionOptions = coNoC;
    graph.SetConditions(conditions);
    EXPECT_EQ(graph.Conditions[0].Text, "Open");
    EXPECT_TRUE(graph.Conditions[0].Visible);
    EXPECT_EQ(graph.Conditions[0].ConditionOptions, 0);
}

TEST(LineGraphFrame, ClampsToTheClientAreaAndSkipsUnchangedValues) {
    TLineGraph graph;
    graph.SetClientSize(300, 200);
    int changes = 0;
    graph.Frame.OnChange = [&] { ++changes; };
    graph.Frame.SetFrameSize(2, 10);
    graph.Frame.SetFrameSize(0, 500);
    EXPECT_EQ(graph.Frame.Left(), 290);
    EXPECT_EQ(changes, 2);
    graph.Frame.SetFrameSize(0, 290);
    graph.Frame.SetFrameSize(4, 1);
    EXPECT_EQ(changes, 2);
    graph.Frame.SetFrameSize(3, 50);
    graph.Frame.SetFrameSize(1, 180);
    EXPECT_EQ(graph.Frame.Top(), 150);

    TLineGraph other;
    other.SetClientSize(10, 10);
    int invalidated = 0;
    other.OnInvalidate = [&] { ++invalidated; };
    other.SetFrame(graph.Frame);
    EXPECT_EQ(other.Frame.Left(), 290);
    EXPECT_EQ(other.Frame.Top(), 150);
    EXPECT_EQ(other.Frame.Right(), 10);
    EXPECT_EQ(other.Frame.Bottom(), 50);
    EXPECT_EQ(invalidated, 1);
}

// The line graph's panel under Wine: drawn by GDI into a bitmap and on the
// screen, with grid, series and band pixels at the places the model gives.
#include "app/graph/DibLines_win.h"
#include "app/graph/LineGraph_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

constexpr TColor kSerieColor = 0xFF0000;
constexpr TColor kBandColor = 0x00C000;
constexpr int32_t kWidth = 400;
constexpr int32_t kHeight = 300;

// A panel of 400 x 300 with margins of 10 showing 200 samples at 1 s, the series
// at 50 of 0..100 and a condition from sample 50 to 150.
class LineGraphPanel : public ::testing::Test {
protected:
    void SetUp() override {
        Host =
            CreateWindowExA(0, "STATIC", "Line graph host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            0, 0, kWidth + 50, kHeight + 80, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(Host, nullptr);
        Panel = std::make_unique<TLineGraphPanel>(Host);
        ASSERT_NE(Panel->Handle(), nullptr);
        SetWindowPos(Panel->Handle(), nullptr, 10, 10, kWidth, kHeight, SWP_NOZORDER);
        TLineGraph& graph = Panel->Graph();
        for (int32_t i = 0; i < 4; ++i)
            graph.Frame.SetFrameSize(i, 10);
        graph.GraphColor = 0xFFFFFF;
        graph.SampleInterval = 1;
        graph.SetMaxTime(200);
        TLineSerie& serie = graph.Series.AddItem();
        serie.Color = kSerieColor;
        TCondition& cond = graph.Conditions.Add();
        cond.Color = kBandColor;
        cond.Text = "Open";
        graph.Series.PointCount = 200;
        graph.OnGetValues = [](TLineGraph& Sender, TGraphColumn& Column) {
            TLineSerie& s = Sender.Series[0];
            s.FirstVal = s.LastVal = s.MaxVal = s.MinVal = 50;
            Sender.Conditions[0].Visible = Column.Last >= 50 && Column.Last <= 150;
            Column.Flags = 0;
        };
    }
    void TearDown() override {
        Panel.reset();
        if (Host)
            DestroyWindow(Host);
    }

    // The place of sample N of the series in panel pixels, on a column that no
    // vertical grid line crosses.
    POINT SeriePoint(int64_t N) {
        TLineGraph& graph = Panel->Graph();
        const double spp = graph.GetSecPerPixel();
        int32_t x = graph.SampleToX(N, spp);
        while (std::find(graph.XGrid.begin(), graph.XGrid.end(), x) != graph.XGrid.end())
            x = graph.SampleToX(++N, spp);
        return {graph.FieldRect().Left + x,
                graph.FieldRect().Top + graph.ValueToY(0, graph.UnitsPerPixel(0), 50)};
    }

    HWND Host = nullptr;
    std::unique_ptr<TLineGraphPanel> Panel;
};

COLORREF Rgb(TColor Color) {
    return Color & 0xFFFFFF;
}

} // namespace

TEST_F(LineGraphPanel, DrawnIntoABitmap) {
    const TScoped<HBITMAP, DeleteObject> dib(CreateDib32(kWidth, kHeight));
    const TScoped<HDC, DeleteDC> dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), dib.Get());
    Panel->PaintTo(dc.Get());

    TLineGraph& graph = Panel->Graph();
    const TRect field = graph.FieldRect();
    EXPECT_EQ(field.Left, 10);
    EXPECT_EQ(field.Right, 389);
    EXPECT_EQ(field.Bottom, 289);
    const int32_t between = field.Top + (graph.YGrid[10] + graph.YGrid[11]) / 2;
    const POINT serie = SeriePoint(100);
    const POINT band = {SeriePoint(120).x, field.Top + 3};
    struct Probe {
        const char* Name;
        int X, Y;
        COLORREF Color;
    } probes[] = {
        {"outer bevel", 0, 0, GetSysColor(COLOR_BTNHIGHLIGHT)},
        {"outer bevel shadow", kWidth - 1, kHeight - 1, GetSysColor(COLOR_BTNSHADOW)},
        {"panel", 4, 4, GetSysColor(COLOR_BTNFACE)},
        {"inner bevel", field.Left - 1, field.Top - 1, GetSysColor(COLOR_BTNSHADOW)},
        {"vertical grid line", field.Left + graph.XGrid[3], between, Rgb(graph.GridColor)},
        {"horizontal grid line", field.Left + graph.XGrid[3] + 3, field.Top + graph.YGrid[10],
         Rgb(graph.GridColor)},
        {"background", field.Left + graph.XGrid[3] + 3, between, Rgb(graph.GraphColor)},
        {"series", serie.x, serie.y, Rgb(kSerieColor)},
        {"above the series", serie.x, serie.y - 2, Rgb(graph.GraphColor)},
        {"band", band.x, band.y, Rgb(kBandColor)},
        {"no band before it", SeriePoint(20).x, field.Top + 3, Rgb(graph.GraphColor)},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.Name);
        EXPECT_EQ(GetPixel(dc.Get(), p.X, p.Y), p.Color) << p.X << "," << p.Y;
    }
}

TEST_F(LineGraphPanel, RepaintsOnTheScreenWhenTheModelChanges) {
    ShowWindow(Host, SW_SHOW);
    ShowWindow(Panel->Handle(), SW_SHOW);
    UpdateWindow(Host);
    UpdateWindow(Panel->Handle());
    RECT update;
    EXPECT_FALSE(GetUpdateRect(Panel->Handle(), &update, FALSE));
    const POINT serie = SeriePoint(100);
    {
        const TWindowDC screen(Panel->Handle());
        EXPECT_EQ(GetPixel(screen.Get(), serie.x, serie.y), Rgb(kSerieColor));
    }
    Panel->Graph().Series[0].Color = 0x0000FF;
    Panel->Graph().SetMinTime(0);
    EXPECT_TRUE(GetUpdateRect(Panel->Handle(), &update, FALSE));
    UpdateWindow(Panel->Handle());
    const TWindowDC screen(Panel->Handle());
    EXPECT_EQ(GetPixel(screen.Get(), serie.x, serie.y), RGB(0xFF, 0, 0));
}

#include "app/output/GraphPage_.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace {

// Fixed-pitch text: 100 twips a character and 200 a line at the text height,
// twice that at the title height. Logs what is drawn and the graph it is asked for.
class TPageLog : public IPageCanvas {
public:
    struct TText {
        TPoint At;
        std::string Text;
        TRect Clip; // only for clipped text
    };
    std::map<std::string, TText> Texts; // by text
    std::vector<TRect> Graphs;
    std::vector<TRect> DeviceGraphs;
    std::vector<uint8_t> GraphFlags;
    TPageMapping Current{1, {1, 1}, {1, 1}, {7, 9}};
    bool ThrowInGraph = false;

    bool Drew(const std::string& Text) const { return Texts.count(Text) != 0; }

    TPageMapping Mapping() override { return Current; }
    void SetMapping(const TPageMapping& M) override { Current = M; }
    void SetAnisotropic(TPoint W, TPoint V, TPoint O) override { Current = {8, W, V, O}; }
    void SetFont(int32_t Height) override { FScale = Height == kPageTitleHeight ? 2 : 1; }
    int32_t TextWidth(const std::string& Text) override {
        return FScale * 100 * static_cast<int32_t>(Text.size());
    }
    int32_t TextHeight(const std::string&) override { return FScale * 200; }
    void TextOut(int32_t X, int32_t Y, const std::string& Text) override {
        if (!Text.empty())
            Texts[Text] = {{X, Y}, Text, {}};
    }
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override {
        Texts[Text] = {{X, Y}, Text, Clip};
    }
    void RenderGraph(const TLineGraph&, const TRect& G, uint8_t Flags,
                     const TRect& DeviceG) override {
        EXPECT_EQ(Current.Mode, 8) << "the graph is drawn in the page's mapping";
        Graphs.push_back(G);
        DeviceGraphs.push_back(DeviceG);
        GraphFlags.push_back(Flags);
        if (ThrowInGraph)
            throw std::runtime_error("printer gone");
    }

private:
    int32_t FScale = 1;
};

TSample SampleAt(uint16_t Year, uint32_t Seconds, uint16_t Block) {
    TSample s{};
    s.Stamp = {11, 12, Year, Seconds};
    s.Block = Block;
    return s;
}

// A page of A4 at 600 dpi with margins of 2.5 cm: (1417, 1417) - (10487, 15421).
class GraphPage : public ::testing::Test {
protected:
    const TRect Page{1417, 1417, 10487, 15421};

    GraphPage() {
        Graph.SampleInterval = 10;
        Graph.SetMinTime(0);
        Graph.SetMaxTime(720);
        Graph.SetXDivisions(11);
    }
    void AddSamples(size_t Count, uint16_t Year) {
        TRecBlockHeader header{};
        header.Block = 1;
        header.InstrSampleNo = 12;
        Data.Headers.push_back(header);
        for (size_t i = 0; i < Count; ++i)
            Data.Samples.push_back(SampleAt(Year, static_cast<uint32_t>(3600 + 10 * i), 1));
    }
    void Draw(uint8_t Flags) {
        const TGraphPageSource source{"* Chamber 3", 0,         "C:\\data\\run.zqr", Data, Graph,
                                      "11.12.2026",  "01:02:03"};
        DrawGraphPage(source, Canvas, Page, 600, 600, {30, 40}, Flags);
    }
    std::string TimeOf(size_t Index) const {
        std::string text;
        SampleTimeText(0, Data.Samples[Index].Stamp, text);
        return text;
    }

    TRecording Data;
    TLineGraph Graph;
    TPageLog Canvas;
};

TEST_F(GraphPage, GraphAreaShrinksByTheTextLinesEachFlagAsksFor) {
    // Three lines of 200 and 56 below the top texts; two lines and 56 above the footers.
    const struct {
        uint8_t Flags;
        int32_t Top;
        int32_t Bottom;
        uint8_t GraphFlags;
    } cases[] = {
        {0x00, 1417, 15421, 0},
        {pfTitle, 1417 + 656, 15421, 0},
        {pfScale, 1417 + 656, 15421, 0},
        {pfProgramFooter, 1417, 15421 - 456, 0},
        {pfPrintDate, 1417, 15421 - 456, 0},
        {0x0F, 1417 + 656, 15421 - 456, 0},
        {pfNames | pfValues, 1417, 15421, afNames | afValues},
        {0x0F | pfValues, 1417 + 656, 15421 - 456, afValues},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << int{c.Flags});
        Canvas = TPageLog();
        Draw(c.Flags);
        ASSERT_EQ(Canvas.Graphs.size(), 1u);
        EXPECT_EQ(Canvas.Graphs[0], (TRect{1417, c.Top, 10487, c.Bottom}));
        EXPECT_EQ(Canvas.GraphFlags[0], c.GraphFlags);
        TRect device;
        ScaleRect(Canvas.Graphs[0], device, 600, 600, 1440, 1440);
        EXPECT_EQ(Canvas.DeviceGraphs[0], device);
    }
}

TEST_F(GraphPage, MapsTwipsOfThePaperToTheDeviceAndRestoresTheCallersMapping) {
    const TPageMapping before = Canvas.Current;
    Canvas.ThrowInGraph = true;
    EXPECT_THROW(Draw(0x0F), std::runtime_error);
    EXPECT_EQ(Canvas.Current, before);

    // Seen while drawing: the page's twips to its device units, the device
    // origin moved back by the printable area's offset.
    struct TSpy : TPageLog {
        TPageMapping Seen;
        void RenderGraph(const TLineGraph& S, const TRect& G, uint8_t F, const TRect& D) override {
            Seen = Current;
            TPageLog::RenderGraph(S, G, F, D);
        }
    } spy;
    const TGraphPageSource source{"t", 0, "", Data, Graph, "", ""};
    DrawGraphPage(source, spy, Page, 600, 300, {30, 40}, 0x0F);
    EXPECT_EQ(spy.Seen.WindowExt, (TPoint{9070, 14004}));
    EXPECT_EQ(spy.Seen.ViewportExt, (TPoint{4369 - 590, 3212 - 295}));
    EXPECT_EQ(spy.Seen.ViewportOrg, (TPoint{-30, -40}));
}

TEST_F(GraphPage, RecordWithoutSamplesHasNoFirstLastBlock) {
    Draw(0x0F);
    EXPECT_TRUE(Canvas.Drew("Chamber 3")) << "the caption without its unsaved mark";
    EXPECT_TRUE(Canvas.Drew("Time/Div:"));
    EXPECT_TRUE(Canvas.Drew("Meridane Tessaly MC V2.31 "));
    EXPECT_TRUE(Canvas.Drew("C:\\data\\run.zqr"));
    EXPECT_TRUE(Canvas.Drew("Printdate:"));
    EXPECT_TRUE(Canvas.Drew("01:02:03"));
    EXPECT_FALSE(Canvas.Drew("First:"));
    EXPECT_FALSE(Canvas.Drew("Last:"));
    EXPECT_EQ(Canvas.Graphs.size(), 1u);
}

TEST_F(GraphPage, ScaleBlockEndsAtTheRightMarginWithTheTimeOfOnePrintedDivision) {
    Draw(pfScale);
    // 720 s over 11 divisions printed as 23: 720 / 24 a division.
    EXPECT_TRUE(Canvas.Drew("0d 00h 00' 30.0\""));
    EXPECT_TRUE(Canvas.Drew("0d 00h 12' 00\""));
    // Widest text "Samp. Time [s]:" (15) + " " + widest value (16 characters).
    const int32_t width = 1500 + 100 + 1600;
    EXPECT_EQ(Canvas.Texts["Samp. Time [s]:"].At, (TPoint{10487 - width, 1417}));
    EXPECT_EQ(Canvas.Texts["10"].At, (TPoint{10487 - width + 1600, 1417}));
    EXPECT_EQ(Canvas.Texts["Time/Div:"].At, (TPoint{10487 - width, 1417 + 400}));
    EXPECT_FALSE(Canvas.Drew("Printdate:"));
    EXPECT_FALSE(Canvas.Drew("Meridane Tessaly MC V2.31 "));
}

TEST_F(GraphPage, FirstAndLastNameTheSamplesAtTheEdgesOfTheTimeWindow) {
    AddSamples(50, 2026);
    Graph.SetMinTime(100);
    Graph.SetMaxTime(1000); // beyond the last sample (490 s)
    Draw(pfScale);
    EXPECT_TRUE(Canvas.Drew(TimeOf(10)));
    EXPECT_TRUE(Canvas.Drew(TimeOf(49)));
    // One centimetre left of the scale block.
    const int32_t scaleX = 10487 - (1500 + 100 + 1600);
    const int32_t width = 600 + 200 + static_cast<int32_t>(TimeOf(10).size()) * 100;
    EXPECT_EQ(Canvas.Texts["First:"].At, (TPoint{scaleX - 566 - width, 1417}));
}

TEST_F(GraphPage, TimeWindowAfterTheLastSampleLeavesFirstEmpty) {
    AddSamples(5, 2026);
    Graph.SetMinTime(100);
    Graph.SetMaxTime(200);
    Draw(pfScale);
    EXPECT_TRUE(Canvas.Drew("First:"));
    EXPECT_TRUE(Canvas.Drew(TimeOf(4)));
    EXPECT_FALSE(Canvas.Drew(TimeOf(0)));
}

TEST_F(GraphPage, RecordWithoutDatesNamesTheInstrumentSampleNumber) {
    AddSamples(5, 0);
    Draw(pfScale);
    EXPECT_TRUE(Canvas.Drew("0012 / " + TimeOf(0)));
    EXPECT_TRUE(Canvas.Drew("0012 / " + TimeOf(4)));
}

TEST_F(GraphPage, GraphWithoutIntervalDoesNotDivideByZero) {
    AddSamples(5, 2026);
    Graph.SampleInterval = 0;
    Draw(pfScale);
    EXPECT_TRUE(Canvas.Drew("First:"));
}

TEST_F(GraphPage, TitleIsClippedBeforeTheFirstLastBlockOnlyWhenItIsShown) {
    AddSamples(5, 2026);
    Draw(pfTitle);
    EXPECT_EQ(Canvas.Texts["Chamber 3"].Clip, (TRect{1417, 1417, 10487, 1417 + 400}));
    EXPECT_FALSE(Canvas.Drew("First:"));

    Canvas = TPageLog();
    Draw(pfTitle | pfScale);
    const int32_t firstX = Canvas.Texts["First:"].At.X;
    EXPECT_EQ(Canvas.Texts["Chamber 3"].Clip, (TRect{1417, 1417, firstX - 200, 1417 + 400}));
}

TEST_F(GraphPage, EmptyPageRectDrawsNothing) {
    const TGraphPageSource source{"t", 0, "", Data, Graph, "", ""};
    DrawGraphPage(source, Canvas, {100, 100, 100, 500}, 600, 600, {0, 0}, 0x0F);
    EXPECT_TRUE(Canvas.Texts.empty());
    EXPECT_TRUE(Canvas.Graphs.empty());
}

TEST(PageFlags, BoxesChooseTheGraphsTextsAndNeverTheExportsFooters) {
    const struct {
        bool Names;
        bool Values;
        uint8_t Print;
        uint8_t Export;
    } cases[] = {
        {false, false, 0x0F, 0x09},
        {true, false, 0x1F, 0x19},
        {false, true, 0x2F, 0x29},
        {true, true, 0x3F, 0x39},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Names << c.Values);
        EXPECT_EQ(PrintPageFlags(c.Names, c.Values), c.Print);
        EXPECT_EQ(ExportPageFlags(c.Names, c.Values, true, true), c.Export);
    }
    EXPECT_EQ(ExportPageFlags(false, false, false, false), 0);
}

TEST(PageGraph, DoublesTheGridAndLaysTheGraphOutAt200PixelsAnInch) {
    TLineGraph window;
    window.SetXDivisions(11);
    window.SetYDivisions(13);
    window.Series.Add().SeriesName = "aw";
    window.Series.PointCount = 77;
    window.SetMinTime(60);
    window.SetMaxTime(780);
    window.SampleInterval = 5;
    int calls = 0;
    window.OnGetValues = [&](TLineGraph&, TGraphColumn&) { ++calls; };

    TLineGraph page;
    const TRect g{1417, 2073, 10487, 14965};
    SetupPageGraph(window, page, g, afValues);
    EXPECT_EQ(page.GetXDivisions(), 23);
    EXPECT_EQ(page.GetYDivisions(), 23);
    EXPECT_EQ(page.ClientWidth(), 1259);  // 9070 / 7.2
    EXPECT_EQ(page.ClientHeight(), 1790); // 12892 / 7.2
    EXPECT_EQ(page.Series.Count(), 1u);
    EXPECT_EQ(page.Series[0].SeriesName, "aw");
    EXPECT_EQ(page.Series.PointCount, 77);
    EXPECT_EQ(page.MinTime(), 60);
    EXPECT_EQ(page.MaxTime(), 780);
    EXPECT_EQ(page.SampleInterval, 5);
    EXPECT_EQ(page.AnnotationFlags, afValues);
    EXPECT_EQ(page.GraphColor, 0xFFFFFFu);
    TGraphColumn column;
    page.DoGetValues(column);
    EXPECT_EQ(calls, 1) << "the window's handler answers for the copy";
    EXPECT_EQ(PageGraphOrigin(g), (TPoint{196, 287}));
}

} // namespace

#include "app/output/GraphPage_.h"

#include "app/tree/TreeTypes_.h"

#include <cmath>

namespace {

inline constexpr char kProgramLine[] = "Meridane Tessaly MC V2.31 ";

// Puts the caller's mapping back, also when drawing raises.
class TKeepMapping {
public:
    explicit TKeepMapping(IPageCanvas& Canvas) : FCanvas(Canvas), FSaved(Canvas.Mapping()) {}
    TKeepMapping(const TKeepMapping&) = delete;
    TKeepMapping& operator=(const TKeepMapping&) = delete;
    ~TKeepMapping() { FCanvas.SetMapping(FSaved); }

private:
    IPageCanvas& FCanvas;
    TPageMapping FSaved;
};

// The block's size when drawn at the origin.
TPoint Measure(IPageCanvas& Canvas, const std::vector<std::string>& Labels,
               const std::vector<std::string>& Values, int32_t Gap) {
    TPoint extent;
    DrawTextColumns(Canvas, {0, 0}, Labels, Values, Gap, true, extent);
    return extent;
}

void Draw(IPageCanvas& Canvas, TPoint At, const std::vector<std::string>& Labels,
          const std::vector<std::string>& Values, int32_t Gap) {
    TPoint extent;
    DrawTextColumns(Canvas, At, Labels, Values, Gap, false, extent);
}

// "First:" / "Last:" text of sample Index: a record without calendar dates
// names the instrument's sample number of the sample's block first.
std::string SampleText(const TGraphPageSource& Source, int64_t Index) {
    const TSample& sample = Source.Data.Samples[static_cast<size_t>(Index)];
    std::string prefix;
    if (sample.Stamp.Year == 0 && sample.Block >= 1 &&
        std::size_t{sample.Block} <= Source.Data.Headers.size())
        prefix = Format("%4.4d", Source.Data.Headers[sample.Block - 1u].InstrSampleNo) + " / ";
    std::string time;
    SampleTimeText(Source.DateFormat, sample.Stamp, time);
    return prefix + time;
}

std::vector<std::string> FirstLastValues(const TGraphPageSource& Source) {
    const TLineGraph& graph = Source.Graph;
    const int64_t lastIndex = static_cast<int64_t>(Source.Data.Samples.size()) - 1;
    // Interval() is at least 1: a graph without an interval must not divide by zero.
    const int64_t first = graph.MinTime() / graph.Interval();
    int64_t last = graph.MaxTime() / graph.Interval();
    if (last > lastIndex)
        last = lastIndex;
    return {first > lastIndex || first < 0 ? std::string() : SampleText(Source, first),
            last <= 0 ? std::string() : SampleText(Source, last)};
}

std::vector<std::string> ScaleValues(const TLineGraph& Graph) {
    const auto span = static_cast<uint32_t>(Graph.MaxTime() - Graph.MinTime());
    return {std::to_string(Graph.SampleInterval), DurationText(span),
            DurationDivText(span, static_cast<uint32_t>(2 * (Graph.GetXDivisions() + 1)))};
}

TRect Scaled(const TRect& Twips, double ResolutionX, double ResolutionY) {
    TRect device;
    ScaleRect(Twips, device, ResolutionX, ResolutionY, 1440, 1440);
    return device;
}

} // namespace

uint8_t PrintPageFlags(bool SeriesNames, bool NumericValues) {
    return static_cast<uint8_t>(pfTitle | pfProgramFooter | pfPrintDate | pfScale |
                                (SeriesNames ? pfNames : 0) | (NumericValues ? pfValues : 0));
}

uint8_t ExportPageFlags(bool SeriesNames, bool NumericValues, bool Title, bool Scale) {
    return static_cast<uint8_t>((SeriesNames ? pfNames : 0) | (NumericValues ? pfValues : 0) |
                                (Title ? pfTitle : 0) | (Scale ? pfScale : 0));
}

void DrawGraphPage(const TGraphPageSource& Source, IPageCanvas& Canvas, const TRect& PageRect,
                   double ResolutionX, double ResolutionY, TPoint Offset, uint8_t Flags) {
    const int32_t width = PageRect.Right - PageRect.Left;
    const int32_t height = PageRect.Bottom - PageRect.Top;
    if (width <= 0 || height <= 0)
        return;
    const TKeepMapping keep(Canvas);
    const TRect device = Scaled(PageRect, ResolutionX, ResolutionY);
    Canvas.SetAnisotropic({width, height}, {device.Right - device.Left, device.Bottom - device.Top},
                          {-Offset.X, -Offset.Y});

    Canvas.SetFont(kPageTextHeight);
    static const std::vector<std::string> scaleLabels{"Samp. Time [s]:", "Time/Page:", "Time/Div:"};
    const std::vector<std::string> scaleValues = ScaleValues(Source.Graph);
    const TPoint scaleSize = Measure(Canvas, scaleLabels, scaleValues, Canvas.TextWidth(" "));
    const TPoint scale{PageRect.Right - scaleSize.X, PageRect.Top};
    if (Flags & pfScale)
        Draw(Canvas, scale, scaleLabels, scaleValues, Canvas.TextWidth(" "));

    static const std::vector<std::string> firstLastLabels{"First:", "Last:"};
    const std::vector<std::string> firstLast = FirstLastValues(Source);
    const int32_t twoBlanks = Canvas.TextWidth("  ");
    const TPoint firstLastSize = Measure(Canvas, firstLastLabels, firstLast, twoBlanks);
    const TPoint firstLastAt{scale.X - kBlockGap - firstLastSize.X, PageRect.Top};
    if ((Flags & pfScale) && !(firstLast[0].empty() && firstLast[1].empty()))
        Draw(Canvas, firstLastAt, firstLastLabels, firstLast, twoBlanks);

    if (Flags & pfTitle) {
        Canvas.SetFont(kPageTitleHeight);
        const int32_t right =
            Flags & pfScale ? firstLastAt.X - Canvas.TextWidth(" ") : PageRect.Right;
        const TRect clip{PageRect.Left, PageRect.Top, right, PageRect.Top + Canvas.TextHeight("[")};
        Canvas.TextRect(clip, PageRect.Left, PageRect.Top, RemoveUnsavedMark(Source.Caption));
    }

    Canvas.SetFont(kPageTextHeight);
    const std::vector<std::string> programLines{kProgramLine, Source.RecordPath};
    const std::vector<std::string> noValues(2);
    const TPoint programSize = Measure(Canvas, programLines, noValues, 0);
    if (Flags & pfProgramFooter)
        Draw(Canvas, {PageRect.Left, PageRect.Bottom - programSize.Y}, programLines, noValues, 0);
    static const std::vector<std::string> dateLabels{"Printdate:", "Printtime:"};
    const std::vector<std::string> dateValues{Source.PrintDate, Source.PrintTime};
    const TPoint dateSize = Measure(Canvas, dateLabels, dateValues, twoBlanks);
    if (Flags & pfPrintDate)
        Draw(Canvas, {PageRect.Right - dateSize.X, PageRect.Bottom - dateSize.Y}, dateLabels,
             dateValues, twoBlanks);

    TRect g = PageRect;
    if (Flags & (pfTitle | pfScale))
        g.Top += 3 * Canvas.TextHeight("[") + kTextGraphGap;
    if (Flags & (pfProgramFooter | pfPrintDate))
        g.Bottom -= dateSize.Y + kTextGraphGap;
    const uint8_t graphFlags = static_cast<uint8_t>(((Flags & pfNames) ? afNames : 0) |
                                                    ((Flags & pfValues) ? afValues : 0));
    Canvas.RenderGraph(Source.Graph, g, graphFlags, Scaled(g, ResolutionX, ResolutionY));
}

void SetupPageGraph(const TLineGraph& Window, TLineGraph& Page, const TRect& G,
                    uint8_t GraphFlags) {
    Page.SetSeries(Window.Series);
    Page.Series.PointCount = Window.Series.PointCount;
    Page.SetXDivisions(2 * Window.GetXDivisions() + 1);
    Page.SetYDivisions(2 * Window.GetYDivisions() - 3);
    Page.TimeLabelStep = 4;
    Page.YLabelColumnStart = 2;
    Page.AnnotationStart = 1;
    Page.AnnotationFlags = GraphFlags;
    Page.SetClientSize(static_cast<int32_t>(std::trunc((G.Right - G.Left) / kTwipsPerGraphPixel)),
                       static_cast<int32_t>(std::trunc((G.Bottom - G.Top) / kTwipsPerGraphPixel)));
    Page.GraphColor = 0xFFFFFF;
    Page.SetFrame(Window.Frame);
    Page.SetMinTime(Window.MinTime());
    Page.SetMaxTime(Window.MaxTime());
    Page.OnGetValues = Window.OnGetValues;
    Page.SampleInterval = Window.SampleInterval;
    Page.SetConditions(Window.Conditions);
    Page.SetShowSampleCount(Window.ShowSampleCount());
}

TPoint PageGraphOrigin(const TRect& G) {
    return {static_cast<int32_t>(std::trunc(G.Left / kTwipsPerGraphPixel)),
            static_cast<int32_t>(std::trunc(G.Top / kTwipsPerGraphPixel))};
}

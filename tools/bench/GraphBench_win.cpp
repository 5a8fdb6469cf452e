// graph_bench [ROUNDS]: how fast a record window's line graph repaints at ten
// million samples of 2 s. One repaint is the series pass with the window's
// column values and GDI drawing into a memory bitmap, as the panel does on
// WM_PAINT. Printed: the full view at 1000 and 2200 columns, its median next
// to the bound, the first repaint after the samples arrived (it summarises
// them), and the cost per column of a zoomed page (one and ten samples a
// column), for a steady record (its conditions change every 50000 samples) and
// a busy one (every 3000: every column of the full view has a mark line and
// band edges).
#include "app/graph/DibLines_win.h"
#include "app/graph/GdiCanvas_win.h"
#include "app/graph/LineGraph_.h"
#include "app/record/RecGraphValues_.h"
#include "tools/bench/BenchClock_win.h"
#include "tools/bench/BenchFigures.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int64_t kSamples = 10000000;
constexpr int32_t kInterval = 2;
constexpr double kFullViewBoundMs = 10.0;

// Humidity and temperature drifting with noise, the conditions changing every
// StatePeriod samples, a block start every 100000.
std::vector<TSample> MakeRecord(int64_t StatePeriod) {
    std::vector<TSample> samples(static_cast<size_t>(kSamples));
    uint32_t noise = 12345;
    for (int64_t i = 0; i < kSamples; ++i) {
        noise = noise * 1103515245 + 12345;
        TSample& s = samples[static_cast<size_t>(i)];
        const double t = static_cast<double>(i) / 50000.0;
        s.Meas.Humidity = static_cast<int16_t>(5000 + 3000 * std::sin(t) + (noise >> 24));
        s.Meas.Temperature = static_cast<int16_t>(2500 + 500 * std::cos(t / 3) + (noise >> 28));
        s.Meas.Third = static_cast<int16_t>((noise >> 20) & 0x3FF);
        s.Meas.Status = csHumidityValid | csTemperatureValid | csSensorOn | csPresent |
                        static_cast<TChamberStatus>((i / StatePeriod) % 8);
        s.Mark = i % 100000 == 0 ? smBlockStart : 0;
        s.Block = static_cast<uint16_t>(i / 100000 + 1);
    }
    return samples;
}

class TBench {
public:
    TBench(const std::vector<TSample>& Samples, int32_t Columns)
        : FValues(Samples), FWidth(Columns + 21) {
        for (const char* name : {"aw", "T", "D"})
            FGraph.Series.AddItem().SeriesName = name;
        FGraph.Series[rsTemperature].MaxY = 50;
        FGraph.Series[rsDValue].MaxY = 200;
        for (const char* text : {"Analyzing", "Stable", "Open", "Hum. Fail", "Temp. Fail"})
            FGraph.Conditions.Add().Text = text;
        FGraph.SampleInterval = kInterval;
        FGraph.GraphColor = 0xE1FFFF;
        FGraph.SetClientSize(FWidth, kHeight);
        for (int32_t i = 0; i < 4; ++i)
            FGraph.Frame.SetFrameSize(i, 10);
        FGraph.Series.PointCount = static_cast<int64_t>(Samples.size());
        FGraph.OnGetValues = [this](TLineGraph& Sender, TGraphColumn& Column) {
            FValues.LineGraphGetValues(Sender, Column);
        };
        FBitmap = CreateDib32(FWidth, kHeight);
        FDC = CreateCompatibleDC(nullptr);
        FOld = SelectObject(FDC, FBitmap);
    }
    ~TBench() {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
        DeleteObject(FBitmap);
    }
    TBench(const TBench&) = delete;
    TBench& operator=(const TBench&) = delete;

    void View(int64_t MinTime, int64_t Span) {
        FGraph.SetMinTime(static_cast<int32_t>(MinTime));
        FGraph.SetMaxTime(static_cast<int32_t>(MinTime + Span));
    }
    int32_t Columns() const { return FWidth - 21; }
    double RepaintMs() {
        const double start = NowMs();
        TGdiCanvas canvas(FDC, true, &FCanvasCache);
        FGraph.Paint(canvas, 1);
        FGraph.DrawFieldPaint(canvas);
        GdiFlush();
        return NowMs() - start;
    }
    std::vector<double> Repaints(int Rounds) {
        std::vector<double> ms;
        for (int i = 0; i < Rounds; ++i)
            ms.push_back(RepaintMs());
        return ms;
    }

private:
    static constexpr int32_t kHeight = 500;
    TRecGraphValues FValues;
    TLineGraph FGraph;
    TGdiCanvasCache FCanvasCache; // kept by the panel from one repaint to the next
    int32_t FWidth;
    HBITMAP FBitmap;
    HDC FDC;
    HGDIOBJ FOld;
};

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    std::printf("graph_bench: %lld samples at %d s, %d repaints each\n",
                static_cast<long long>(kSamples), kInterval, rounds);
    bool within = true;
    for (int64_t period : {50000, 3000}) {
        std::printf("%s record, conditions changing every %lld samples:\n",
                    period > 10000 ? "steady" : "busy", static_cast<long long>(period));
        const std::vector<TSample> samples = MakeRecord(period);
        for (int32_t columns : {1000, 2200}) {
            TBench bench(samples, columns);
            bench.View(0, kSamples * kInterval);
            const double first = bench.RepaintMs();
            const std::vector<double> ms = bench.Repaints(rounds);
            const double median = Percentile(ms, 50);
            const double worst = Percentile(ms, 100);
            within = within && median <= kFullViewBoundMs;
            std::printf(
                "full view, %4d columns: repaint median %6.2f ms  max %6.2f ms  bound %5.1f ms"
                "  %s  (first repaint, summarising: %.1f ms)\n",
                columns, median, worst, kFullViewBoundMs,
                median <= kFullViewBoundMs ? "within bound" : "OVER BOUND", first);
            for (int64_t perColumn : {1, 10}) {
                const int64_t span = perColumn * kInterval * bench.Columns();
                bench.View(kSamples * kInterval / 2, span);
                const double page = Percentile(bench.Repaints(rounds), 50);
                std::printf(
                    "  zoomed page, %2lld sample(s) a column: repaint %6.2f ms, %.2f us a column\n",
                    static_cast<long long>(perColumn), page, page * 1000.0 / bench.Columns());
            }
        }
    }
    return within ? 0 : 1;
}

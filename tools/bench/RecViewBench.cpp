// recview_bench [SAMPLES]: a live record window's graph views at ten million
// samples (or SAMPLES) taking more, with Auto Range Time and Auto Offset on,
// then with End on over a day's page: the time per new sample of End, Auto
// Range Time and Auto Offset together, against the bound of 1 ms, without and
// with the repaint that follows each sample (every pixel column through the
// window's graph values onto a canvas that draws nothing; the GDI side is
// graph_bench's), and, for comparison, one Auto Offset pass as described (every
// sample of the three series). Exit code 0 when every figure is within the bound.
#include "app/graph/GraphCanvas_.h"
#include "app/record/PosixFiles_.h"
#include "app/record/RecView_.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kBoundMs = 1.0;
constexpr int kTaken = 200;

class TNullCanvas : public TGraphCanvas {
public:
    void SetField(const TRect&) override {}
    void MoveTo(int32_t, int32_t) override {}
    void LineTo(int32_t, int32_t) override {}
    void SetPixel(int32_t, int32_t, TColor) override {}
    void FillRect(const TRect&) override {}
    void Ellipse(const TRect&) override {}
    void Frame3D(const TRect&, TColor, TColor, int32_t) override {}
    void WriteText(int32_t, int32_t, const std::string&) override {}
    void TextRect(const TRect&, int32_t, int32_t, const std::string&) override {}
    int32_t TextWidth(const std::string& Text) override {
        return 6 * static_cast<int32_t>(Text.size());
    }
    int32_t TextHeight(const std::string&) override { return 13; }
    int32_t FontHeight() override { return 11; }
};

// A day-long drift of humidity and temperature with a little noise.
TChamberLive Measurement(int64_t I) {
    TChamberLive l = {};
    l.Stamp = {1, 1, 2026, static_cast<uint32_t>(I % 86400)};
    const double t = static_cast<double>(I);
    l.Meas.Humidity = static_cast<int16_t>(6000 + 2500 * std::sin(t / 40000) + (I * 7919) % 13);
    l.Meas.Temperature = static_cast<int16_t>(2500 + 300 * std::sin(t / 90000) + (I * 104729) % 5);
    l.Meas.Third = static_cast<int16_t>(400 + (I / 1000) % 50);
    l.Meas.Status = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;
    return l;
}

TRecording Record(int64_t Samples) {
    TRecording r;
    TRecBlockHeader h = {};
    h.Interval = 1;
    h.Count = static_cast<uint32_t>(Samples);
    AppendBlock(r, h);
    r.Samples.resize(static_cast<size_t>(Samples));
    for (int64_t i = 0; i < Samples; ++i) {
        TSample& s = r.Samples[static_cast<size_t>(i)];
        const TChamberLive l = Measurement(i);
        s.Stamp = l.Stamp;
        s.Meas = l.Meas;
        s.Block = 1;
    }
    return r;
}

class TBenchWindow : public IRecorderView, public IRecViewHost, public IInfoBox {
public:
    explicit TBenchWindow(IMessageBoxes& Boxes) : FRec(*this, FFiles, Boxes, *this, "") {
        FGraph.SetXDivisions(11);
        FGraph.SetYDivisions(13);
        for (int s = 0; s < 3; ++s)
            FGraph.Series.AddItem();
        FGraph.SetClientSize(900, 500);
        FGraph.OnGetValues = [this](TLineGraph& G, TGraphColumn& C) {
            FValues.LineGraphGetValues(G, C);
        };
    }

    TRecorder& Rec() { return FRec; }
    TRecView& View() { return FView; }
    TLineGraph& Graph() { return FGraph; }
    std::chrono::steady_clock::duration Spent{};
    bool Paint = true;

    // IRecorderView
    TRecordAnswer AskOverwriteAppend(const std::string&, bool) override {
        return TRecordAnswer::Append;
    }
    std::string NodeText() override { return "Lab"; }
    void FillBlockHeader(TRecBlockHeader&) override {}
    TChamberInfoTemp ChamberInfo() override { return {}; }
    void UpdateUnits() override {}
    void SampleAdded() override {
        const auto start = std::chrono::steady_clock::now();
        FGraph.Series.PointCount = static_cast<int64_t>(FRec.Data().Samples.size());
        FView.SampleAdded();
        Spent += std::chrono::steady_clock::now() - start;
    }
    void LastSampleChanged() override {}
    void DataCleared() override {}
    void StatisticsChanged() override {}
    void ButtonsChanged() override { FGraph.SampleInterval = FRec.SampleRateBox().GraphInterval(); }
    void RecordingChanged() override {}
    void MarkUnsaved() override {}
    uint64_t NowMs() override { return 0; }
    // IRecViewHost
    void ViewChanged() override {}
    void ZoomChanged() override {}
    void RefreshList() override {}
    void RepaintGraph() override {
        if (!Paint)
            return;
        FGraph.Paint(FCanvas, 1);
        FGraph.DrawFieldPaint(FCanvas);
    }
    void ApplyUnitChoices(const std::array<int32_t, 3>&) override {}
    // IInfoBox
    void ShowInfo(const std::string&) override {}

private:
    TPosixFileSystem FFs;
    TTempFiles FFiles{FFs}; // never opened: the samples stay in memory
    TRecorder FRec;
    TLineGraph FGraph;
    TRecGraphValues FValues{FRec.Data().Samples};
    TRecView FView{*this, FGraph, FRec};
    TNullCanvas FCanvas;
};

class TNoBoxes : public IMessageBoxes {
public:
    TMsgDlgAnswer ShowDialog(const TMsgDlgRequest&) override { return {}; }
};

double PerSampleMs(TBenchWindow& W, int64_t& Next) {
    W.Spent = {};
    for (int i = 0; i < kTaken; ++i)
        W.Rec().AddLiveSample(Measurement(Next++));
    return std::chrono::duration<double, std::milli>(W.Spent).count() / kTaken;
}

} // namespace

int main(int argc, char** argv) {
    const int64_t samples = argc > 1 ? std::atoll(argv[1]) : 10000000;
    TNoBoxes boxes;
    TBenchWindow w(boxes);
    w.Rec().SetData(Record(samples), false);
    w.Rec().Record();
    TGraphDefaults d = {};
    SetFactoryGraphDefaults(d);
    w.View().UnitsChanged(1, 0, false);
    w.View().SetDefaultSettings(d);
    int64_t next = samples;

    w.View().AutoXButton(true);
    w.View().AutoOffsetButton(true);
    w.Rec().AddLiveSample(Measurement(next++)); // the first pass walks once
    w.Paint = false;
    const double autoMs = PerSampleMs(w, next);
    w.Paint = true;
    const double autoPaintMs = PerSampleMs(w, next);

    w.View().AutoXButton(false);
    w.View().SetMinTime(0);
    w.View().SetMaxTime(86400);
    w.View().EndButton(true);
    w.Rec().AddLiveSample(Measurement(next++));
    w.Paint = false;
    const double endMs = PerSampleMs(w, next);
    w.Paint = true;
    const double endPaintMs = PerSampleMs(w, next);

    // The described pass over the whole record, three series.
    const auto& all = w.Rec().Data().Samples;
    const auto start = std::chrono::steady_clock::now();
    double sink = 0;
    for (size_t s = 0; s < 3; ++s) {
        const TSeriesConversion conv{s, s == 0 ? uint8_t{1} : uint8_t{0}, false};
        TYRange r{0, 10};
        for (const TSample& x : all)
            FitSeriesOffset(r, conv.Value(conv.Raw(x)), 10, 13);
        sink += r.Min;
    }
    const double fullMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    std::printf("samples in the window: %lld\n", static_cast<long long>(all.size()));
    std::printf(
        "per new sample, full view, Auto Range Time + Auto Offset: %8.4f ms  bound %.1f ms\n",
        autoMs, kBoundMs);
    std::printf(
        "per new sample, one day's page, End + Auto Offset:        %8.4f ms  bound %.1f ms\n",
        endMs, kBoundMs);
    std::printf(
        "the same with one repaint each, full view:               %8.4f ms  bound %.1f ms\n",
        autoPaintMs, kBoundMs);
    std::printf(
        "the same with one repaint each, one day's page:          %8.4f ms  bound %.1f ms\n",
        endPaintMs, kBoundMs);
    std::printf("one described Auto Offset pass over every sample:         %8.1f ms%s\n", fullMs,
                sink > 1e300 ? " " : "");
    return std::max({autoMs, endMs, autoPaintMs, endPaintMs}) <= kBoundMs ? 0 : 1;
}

#include "app/graph/LineGraph_.h"

#include <algorithm>
#include <cmath>
#include <limits>

TColor DefaultItemColor(size_t Index) {
    static constexpr TColor kColors[4] = {0xFF0000, 0x0000FF, 0xFF00FF, 0x00FF00};
    return kColors[Index % 4];
}

void TLineSerie::Assign(const TLineSerie& Source) {
    Color = Source.Color;
    MaxY = Source.MaxY;
    MinY = Source.MinY;
    Precision = Source.Precision;
    MeasUnit = Source.MeasUnit;
    SeriesName = Source.SeriesName;
    Visible = Source.Visible;
}

void TCondition::Assign(const TCondition& Source) {
    Color = Source.Color;
    Text = Source.Text;
    Visible = Source.Visible;
}

TLineSerie& TLineSeries::Add() {
    TLineSerie& serie = AddItem();
    serie.Visible = false;
    return serie;
}

void TSizeFrame::SetFrameSize(int32_t Index, int32_t Value) {
    if (Index < 0 || Index > 3 || FSizes[Index] == Value)
        return;
    const TGraphPoint client = FClientSize();
    const int32_t bound = (Index % 2 == 0 ? client.X : client.Y) - FSizes[(Index + 2) % 4];
    FSizes[Index] = std::max(0, std::min(Value, bound));
    Changed();
}

void TSizeFrame::AssignTo(TSizeFrame& Dest) const {
    std::copy(std::begin(FSizes), std::end(FSizes), std::begin(Dest.FSizes));
    Dest.Changed();
}

void TSizeFrame::Changed() {
    if (OnChange)
        OnChange();
}

TLineGraph::TLineGraph() : Frame([this] { return TGraphPoint{FClientWidth, FClientHeight}; }) {
    Frame.OnChange = [this] { Invalidate(); };
    CalcXGrid();
    CalcYGrid();
    SampleCountLabels.resize(XGrid.size());
}

void TLineGraph::Invalidate() {
    if (OnInvalidate)
        OnInvalidate();
}

void TLineGraph::SetMinTime(int32_t Seconds) {
    FMinTime = Seconds;
    Invalidate();
}

void TLineGraph::SetMaxTime(int32_t Seconds) {
    FMaxTime = Seconds;
    Invalidate();
}

void TLineGraph::SetXDivisions(int32_t Divisions) {
    FXDivisions = std::max(0, Divisions);
    CalcXGrid();
    Invalidate();
}

// The y labels divide by YDivisions - 3 and the condition bands need the top
// three divisions, so fewer than four are not taken.
void TLineGraph::SetYDivisions(int32_t Divisions) {
    FYDivisions = std::max(4, Divisions);
    CalcYGrid();
    Invalidate();
}

void TLineGraph::SetShowSampleCount(bool Show) {
    FShowSampleCount = Show;
    Invalidate();
}

void TLineGraph::SetClientSize(int32_t Width, int32_t Height) {
    FClientWidth = Width;
    FClientHeight = Height;
    Invalidate();
}

// A window of MinTime = MaxTime (or reversed) would give no seconds per pixel
// and divide by zero further on; it shows one second instead.
int64_t TLineGraph::TimeSpan() const {
    return std::max<int64_t>(1, int64_t{FMaxTime} - FMinTime);
}

int32_t TLineGraph::Interval() const {
    return std::max(1, SampleInterval);
}

double TLineGraph::GetSecPerPixel() const {
    const int32_t w = FieldWidth();
    return w + 1 == 0 ? 0.0 : static_cast<double>(TimeSpan()) / (w + 1);
}

void TLineGraph::CalcXGrid() {
    XGrid.assign(static_cast<size_t>(FXDivisions + 2), 0);
    const double spp = GetSecPerPixel();
    const double perDivision = static_cast<double>(TimeSpan()) / (FXDivisions + 1);
    for (size_t i = 0; i < XGrid.size(); ++i)
        XGrid[i] = spp == 0 ? 0 : RoundHalfAway(perDivision * static_cast<double>(i) / spp - 1);
}

void TLineGraph::CalcYGrid() {
    YGrid.assign(static_cast<size_t>(FYDivisions + 2), 0);
    const int64_t h = FieldHeight();
    for (size_t i = 0; i < YGrid.size(); ++i)
        YGrid[i] = static_cast<int32_t>(static_cast<int64_t>(i) * (h + 1) / (FYDivisions + 1) - 1);
}

// The time of sample N is taken in 64 bits: at ten million samples of ten
// seconds it no longer fits 32.
int32_t TLineGraph::SampleToX(int64_t N, double Spp) const {
    if (Spp == 0)
        return 0;
    int64_t t;
    if (__builtin_mul_overflow(N, int64_t{Interval()}, &t))
        t = N < 0 ? std::numeric_limits<int64_t>::min() / 2
                  : std::numeric_limits<int64_t>::max() / 2;
    return RoundHalfAway(static_cast<double>(t - FMinTime) / Spp - 1);
}

double TLineGraph::UnitsPerPixel(size_t Serie) const {
    const int32_t pixels = YGrid.at(FYDivisions) - YGrid.at(3);
    if (pixels == 0)
        return 0;
    const TLineSerie& s = Series[Serie];
    return (s.MaxY - s.MinY) / pixels;
}

int32_t TLineGraph::ValueToY(size_t Serie, double Upp, double Value) const {
    if (Upp == 0)
        return 0;
    return YGrid[FYDivisions] - RoundHalfAway((Value - Series[Serie].MinY) / Upp);
}

int32_t TLineGraph::ZoomMarkerX(double Spp) const {
    return Spp == 0 ? 0 : RoundHalfAway((ZoomMarker - FMinTime) / Spp - 1);
}

bool TLineGraph::DoGetValues(TGraphColumn& Column) {
    if (!OnGetValues)
        return false;
    OnGetValues(*this, Column);
    return true;
}

// SampleToX is monotonic in the sample index, so the end of a column is found
// by a search from the index its time predicts instead of a walk over every
// sample: a full view of millions of samples costs per column, not per sample.
int64_t TLineGraph::ColumnEnd(int64_t First, int32_t X, double Spp) const {
    const int64_t count = Series.PointCount;
    auto beyond = [&](int64_t M) { return M >= count || SampleToX(M, Spp) > X; };
    int64_t lo = First + 1;
    int64_t hi = count;
    const double guess = std::ceil(((X + 1.5) * Spp + FMinTime) / Interval());
    if (guess > static_cast<double>(lo) && guess < static_cast<double>(hi)) {
        const int64_t m = static_cast<int64_t>(guess);
        if (beyond(m)) {
            hi = m;
            if (!beyond(m - 1))
                lo = m;
        } else {
            lo = m + 1;
            if (beyond(lo))
                hi = lo;
        }
    }
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        if (beyond(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

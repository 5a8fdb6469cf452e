// The y ranges of a record window's series: manual limits, Auto Range Y over
// the statistics, Auto Offset over the visible samples, and the series dialog.
#include "app/record/RecView_.h"
#include "app/values/MeasValues_.h"

#include <algorithm>
#include <cmath>

double TRecView::Limit(std::size_t Serie, int32_t Raw) const {
    switch (Serie) {
    case rsHumidity:
        return HumToReal(FHumMode, Raw, FExtended);
    case rsTemperature:
        return TempToReal(FTempUnit, Raw, false, FExtended);
    default:
        return DValueToReal(Raw);
    }
}

double TRecView::SpanOf(std::size_t Serie) const {
    const int32_t raw = FLimits[Serie].Range;
    switch (Serie) {
    case rsHumidity:
        return HumToReal(FHumMode, raw, FExtended);
    case rsTemperature:
        return TempToReal(FTempUnit, raw, true, FExtended);
    default:
        return DValueToReal(raw);
    }
}

int32_t TRecView::Decimals(std::size_t Serie) const {
    switch (Serie) {
    case rsHumidity:
        return HumDecimals(FHumMode, FExtended);
    case rsTemperature:
        return TempDecimals(FTempUnit, FExtended);
    default:
        return DValueDecimals();
    }
}

void TRecView::ManualLimits() {
    for (std::size_t s = 0; s < kRecSerieCount; ++s) {
        FGraph.Series[s].MinY = Limit(s, FLimits[s].YMin);
        FGraph.Series[s].MaxY = Limit(s, FLimits[s].YMax);
    }
    FRepaintPending = true;
}

void TRecView::AutoYClick() {
    if (!FAutoY) {
        ManualLimits();
        return;
    }
    FAutoOffset = false;
    const TRecStatistics& stats = FRec.Statistics();
    for (std::size_t s = 0; s < kRecSerieCount; ++s) {
        // The smallest span shows two decimals' worth of the series.
        const double a = std::pow(10.0, 2 - Decimals(s));
        const double lo = Limit(s, stats.Min[s]);
        const double hi = Limit(s, stats.Max[s]);
        const double b = hi - lo;
        TLineSerie& serie = FGraph.Series[s];
        if (b >= a) {
            serie.MinY = lo;
            serie.MaxY = hi;
        } else {
            serie.MinY = lo + b / 2 - a / 2;
            serie.MaxY = hi - b / 2 + a / 2;
        }
    }
    FRepaintPending = true;
}

void TRecView::AutoYButton(bool Down) {
    TAction action(*this);
    FAutoY = Down;
    AutoYClick();
}

void TRecView::AutoOffsetButton(bool Down) {
    TAction action(*this);
    FAutoOffset = Down;
    AutoOffsetExecute();
}

void TRecView::AutoOffsetExecute() {
    if (FAutoOffset) {
        FAutoY = false;
        FOffsetPending = true;
    } else {
        ManualLimits();
    }
    FRepaintPending = true;
}

void TRecView::RunAutoOffset() {
    const int32_t divisions = FGraph.GetYDivisions();
    if (!FAutoOffset || divisions <= 3)
        return;
    const auto count = static_cast<int64_t>(FRec.Data().Samples.size());
    const int64_t interval = FGraph.Interval();
    const int64_t first = FGraph.MinTime() / interval;
    const int64_t last = std::min(count - 1, FGraph.MaxTime() / interval);
    const uint8_t units[kRecSerieCount] = {FHumMode, FTempUnit, 0};
    for (std::size_t s = 0; s < kRecSerieCount; ++s) {
        // A span of 0 (stored or typed) would make the step 0.
        const double span = SpanOf(s);
        if (!(span > 0))
            continue;
        TLineSerie& serie = FGraph.Series[s];
        TYRange r{serie.MinY, serie.MaxY};
        if (count == 0)
            FitSeriesOffset(r, r.Min, span, divisions);
        else if (first <= last)
            FFit.Fit({s, units[s], FExtended}, span, divisions, first, last, r);
        serie.MinY = r.Min;
        serie.MaxY = r.Max;
    }
    FRepaintPending = true;
}

void TRecView::ShowSampleCountButton(bool Down) {
    TAction action(*this);
    FGraph.SetShowSampleCount(Down);
    FRepaintPending = true;
}

void TRecView::UnitsChanged(uint8_t HumMode, uint8_t TempUnit, bool ExtendedMode) {
    TAction action(*this);
    FHumMode = HumMode;
    FTempUnit = TempUnit;
    FExtended = ExtendedMode;
    AutoYClick();
    FOffsetPending = true;
}

TSeriesEdit TRecView::SeriesEdit(const std::array<int32_t, 3>& UnitChoices,
                                 uint8_t DateFormat) const {
    const TGraphSettings s = GetGraphSettings();
    TSeriesEdit e;
    e.Series = {s.Humidity, s.Temperature, s.DValue};
    e.Units = {FHumMode, FTempUnit, DateFormat};
    e.UnitChoices = UnitChoices;
    e.AutoOffset = FAutoOffset;
    return e;
}

void TRecView::ApplySeriesProps(const TSeriesEdit& Edit) {
    TAction action(*this);
    FAutoY = false;
    FHost.ApplyUnitChoices(Edit.UnitChoices);
    for (std::size_t s = 0; s < kRecSerieCount; ++s)
        SetSeries(s, Edit.Series[s], Edit.Series[s].Visible && (s != rsDValue || FExtended));
    FAutoOffset = Edit.AutoOffset;
    if (FAutoOffset)
        FOffsetPending = true;
    else
        ManualLimits();
    FListPending = true;
    FRepaintPending = true;
}

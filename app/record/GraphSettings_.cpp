#include "app/record/GraphSettings_.h"

namespace {

// Only the used fields; the rest of a series block is never interpreted.
TSeriesSettings UsedFields(const TSeriesSettings& S) {
    TSeriesSettings r = {};
    r.Visible = S.Visible ? 1 : 0;
    r.Color = S.Color;
    r.YMin = S.YMin;
    r.YMax = S.YMax;
    r.Range = S.Range;
    return r;
}

TStatRange StatOf(const TRecStatistics& S, int I) {
    return {S.Min[I], S.Mean[I], S.Max[I]};
}

void PutStat(TRecStatistics& S, int I, const TStatRange& R) {
    S.Min[I] = R.Min;
    S.Mean[I] = R.Mean;
    S.Max[I] = R.Max;
}

} // namespace

void GraphDefaultsToSettings(const TGraphDefaults& D, TGraphSettings& S) {
    S.AutoX = D.AutoX != 0;
    S.AutoY = D.AutoY != 0;
    S.ShowSampleCount = D.ShowSampleCount != 0;
    S.End = D.End != 0;
    S.MinTime = D.MinTime;
    S.MaxTime = D.MaxTime;
    S.AutoOffset = D.AutoOffset != 0;
    S.Humidity = UsedFields(D.Humidity);
    S.Temperature = UsedFields(D.Temperature);
    S.DValue = UsedFields(D.DValue);
}

TRecViewSettings PackViewSettings(const TGraphSettings& S) {
    TRecViewSettings v;
    v.AutoX = S.AutoX ? 1 : 0;
    v.AutoY = S.AutoY ? 1 : 0;
    v.ShowSampleCount = S.ShowSampleCount ? 1 : 0;
    v.End = S.End ? 1 : 0;
    v.MinTime = S.MinTime;
    v.MaxTime = S.MaxTime;
    v.Humidity = StatOf(S.Statistics, 0);
    v.Temperature = StatOf(S.Statistics, 1);
    v.DValue = StatOf(S.Statistics, 2);
    v.StatCount = S.Statistics.Count;
    v.AutoOffset = S.AutoOffset ? 1 : 0;
    v.DValueSeries = UsedFields(S.DValue);
    v.TemperatureSeries = UsedFields(S.Temperature);
    v.HumiditySeries = UsedFields(S.Humidity);
    return v;
}

TGraphSettings UnpackViewSettings(const TRecViewSettings& V) {
    TGraphSettings s;
    s.Statistics.Count = 0;
    s.AutoX = V.AutoX != 0;
    s.AutoY = V.AutoY != 0;
    s.ShowSampleCount = V.ShowSampleCount != 0;
    s.End = V.End != 0;
    s.MinTime = V.MinTime;
    s.MaxTime = V.MaxTime;
    PutStat(s.Statistics, 0, V.Humidity);
    PutStat(s.Statistics, 1, V.Temperature);
    PutStat(s.Statistics, 2, V.DValue);
    s.Statistics.Count = V.StatCount;
    s.AutoOffset = V.AutoOffset != 0;
    s.DValue = UsedFields(V.DValueSeries);
    s.Temperature = UsedFields(V.TemperatureSeries);
    s.Humidity = UsedFields(V.HumiditySeries);
    return s;
}

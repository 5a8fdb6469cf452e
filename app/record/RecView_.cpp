// The graph settings of a record window: collected, applied, and started from
// the preferences' graph defaults.
#include "app/record/RecView_.h"

TRecView::TRecView(IRecViewHost& Host, TLineGraph& Graph, TRecorder& Rec)
    : FHost(Host), FGraph(Graph), FRec(Rec), FFit(Rec.Data().Samples),
      FMinText(MinutesText(Graph.MinTime())), FMaxText(MinutesText(Graph.MaxTime())) {
    for (const TTimePage& page : kTimePages)
        FPageItems.push_back(page.Text);
}

TRecView::TAction::~TAction() {
    if (--FView.FDepth > 0)
        return;
    if (FView.FOffsetPending) {
        FView.FOffsetPending = false;
        FView.RunAutoOffset();
    }
    if (FView.FListPending) {
        FView.FListPending = false;
        FView.FHost.RefreshList();
    }
    if (FView.FRepaintPending) {
        FView.FRepaintPending = false;
        FView.FHost.RepaintGraph();
    }
    FView.FHost.ViewChanged();
}

void TRecView::SampleAdded() {
    TAction action(*this);
    if (FEnd)
        EndClick();
    if (FAutoX)
        AutoXNewSample();
    if (FAutoY)
        AutoYClick();
    FOffsetPending = true;
    // Far right of the time window a new sample changes no pixel of the graph.
    if (FGraph.Series.PointCount > 0 && FGraph.SampleDrawn(FGraph.Series.PointCount - 1))
        FRepaintPending = true;
}

void TRecView::DataReplaced() {
    FFit.Reset();
}

void TRecView::SetSeries(std::size_t Serie, const TSeriesSettings& S, bool Visible) {
    TLineSerie& serie = FGraph.Series[Serie];
    serie.Visible = Visible;
    serie.Color = static_cast<TColor>(S.Color);
    FLimits[Serie] = {S.YMin, S.YMax, S.Range};
    serie.MinY = Limit(Serie, S.YMin);
    serie.MaxY = Limit(Serie, S.YMax);
    FRepaintPending = true;
}

TGraphSettings TRecView::GetGraphSettings() const {
    TGraphSettings s;
    s.AutoX = FAutoX;
    s.AutoY = FAutoY;
    s.ShowSampleCount = FGraph.ShowSampleCount();
    s.End = FEnd;
    s.MinTime = FGraph.MinTime();
    s.MaxTime = FGraph.MaxTime();
    s.Statistics = FRec.Statistics();
    s.AutoOffset = FAutoOffset;
    TSeriesSettings* series[kRecSerieCount] = {&s.Humidity, &s.Temperature, &s.DValue};
    for (std::size_t i = 0; i < kRecSerieCount; ++i) {
        const TLineSerie& serie = FGraph.Series[i];
        series[i]->Visible = serie.Visible ? 1 : 0;
        series[i]->Color = static_cast<int32_t>(serie.Color);
        series[i]->YMin = FLimits[i].YMin;
        series[i]->YMax = FLimits[i].YMax;
        series[i]->Range = FLimits[i].Range;
    }
    return s;
}

void TRecView::SetGraphSettings(const TGraphSettings& S, bool RestoreStats) {
    TAction action(*this);
    SetTime(S.MinTime, S.MaxTime);
    FStoredMin = S.MinTime;
    FStoredMax = S.MaxTime;
    if (RestoreStats)
        FRec.SetStatistics(S.Statistics);
    SetSeries(rsHumidity, S.Humidity, S.Humidity.Visible != 0);
    SetSeries(rsTemperature, S.Temperature, S.Temperature.Visible != 0);
    // The D value is shown in the extended display mode only.
    SetSeries(rsDValue, S.DValue, S.DValue.Visible != 0 && FExtended);
    FAutoY = S.AutoY;
    if (FAutoY)
        AutoYClick();
    FGraph.SetShowSampleCount(S.ShowSampleCount);
    if (FRec.Live)
        FEnd = S.End;
    if (S.End)
        EndClick();
    if (S.AutoOffset != FAutoOffset) {
        FAutoOffset = S.AutoOffset;
        AutoOffsetExecute();
    }
    if (S.AutoOffset)
        FOffsetPending = true;
    if (S.AutoX != FAutoX) {
        FAutoX = S.AutoX;
        AutoXExecute(false);
    }
}

void TRecView::SetDefaultSettings(const TGraphDefaults& D) {
    TAction action(*this);
    SetSeries(rsHumidity, D.Humidity, D.Humidity.Visible != 0);
    SetSeries(rsTemperature, D.Temperature, D.Temperature.Visible != 0);
    SetSeries(rsDValue, D.DValue, D.DValue.Visible != 0 && FExtended);
    if (FPageItems.size() <= kTimePageCount)
        FPageItems.insert(FPageItems.begin(), std::string());
    FPageIndex = 0;
    FGraph.SetMinTime(0);
    FGraph.SetMaxTime(720);
    SetTime(0, 720);
    TGraphSettings s = GetGraphSettings();
    if (FRec.Live) {
        // The series are D's already.
        GraphDefaultsToSettings(D, s);
    } else {
        s.AutoX = s.AutoY = s.ShowSampleCount = s.End = s.AutoOffset = false;
        s.MinTime = 0;
        s.MaxTime = 720;
    }
    SetGraphSettings(s, true);
}

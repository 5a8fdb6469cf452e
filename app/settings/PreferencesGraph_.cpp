#include "app/settings/PreferencesGraph_.h"

#include "app/settings/PreferencesValues_.h"

namespace {

struct TSeriesFactory {
    TSeriesSettings TGraphDefaults::*Series;
    int32_t Color;
    int32_t YMax;
    // Raw limits of the series' y values (those of the series dialog).
    int32_t Lower;
    int32_t Upper;
};

constexpr TSeriesFactory kSeries[] = {
    {&TGraphDefaults::Humidity, 0xFF0000, 10000, 0, 10000},       // blue; 1.0 aw, 100 %RH
    {&TGraphDefaults::Temperature, 0x0000FF, 5000, -4000, 12000}, // red; 50 degrees C
    {&TGraphDefaults::DValue, 0xFF00FF, 10000, 0, 10000},         // fuchsia; 1000.0
};

constexpr int32_t kFactoryRange = 1000;
constexpr int32_t kFactorySampleRateIndex = 2; // 10 s
constexpr int32_t kFactoryMaxTime = 720;

bool InRange(int32_t V, int32_t Lo, int32_t Hi) {
    return V >= Lo && V <= Hi;
}

} // namespace

void SetFactoryGraphDefaults(TGraphDefaults& D) {
    for (const TSeriesFactory& f : kSeries) {
        TSeriesSettings& s = D.*f.Series;
        s.Visible = 1;
        s.Color = f.Color;
        s.YMin = 0;
        s.YMax = f.YMax;
        s.Range = kFactoryRange;
    }
    D.SampleRateIndex = kFactorySampleRateIndex;
    D.AutoScroll = 0;
    D.End = 0;
    D.ShowSampleCount = 0;
    D.AutoX = 0;
    D.AutoY = 0;
    D.AutoOffset = 0;
    D.MinTime = 0;
    D.MaxTime = kFactoryMaxTime;
    D.HumMode = 0;
    D.TempUnit = 0;
    D.DateFormat = 0;
    D.HumChoice = kFromInstrument;
    D.TempChoice = kFromInstrument;
    D.DateChoice = kFromInstrument;
}

void RepairSeriesRanges(TGraphDefaults& D) {
    for (const TSeriesFactory& f : kSeries) {
        TSeriesSettings& s = D.*f.Series;
        if (!InRange(s.Range, 1, f.Upper - f.Lower))
            s.Range = kFactoryRange;
    }
}

void CheckGraphDefaults(TGraphDefaults& D) {
    // The index picks an interval the recorder divides by.
    if (!InRange(D.SampleRateIndex, 0, kSampleRateCount - 1))
        D.SampleRateIndex = kFactorySampleRateIndex;
    if (!InRange(D.MinTime, 0, kMaxMinTime) || D.MaxTime < D.MinTime + kMinTimeSpan) {
        D.MinTime = 0;
        D.MaxTime = kFactoryMaxTime;
    }
    if (D.HumMode > 1)
        D.HumMode = 0;
    if (D.TempUnit > 1)
        D.TempUnit = 0;
    if (D.DateFormat > 2)
        D.DateFormat = 0;
    if (!InRange(D.HumChoice, kFromInstrument, 1))
        D.HumChoice = kFromInstrument;
    if (!InRange(D.TempChoice, kFromInstrument, 1))
        D.TempChoice = kFromInstrument;
    if (!InRange(D.DateChoice, kFromInstrument, 2))
        D.DateChoice = kFromInstrument;
    // The graph divides by the y span.
    for (const TSeriesFactory& f : kSeries) {
        TSeriesSettings& s = D.*f.Series;
        if (!InRange(s.YMin, f.Lower, f.Upper) || !InRange(s.YMax, f.Lower, f.Upper) ||
            s.YMin >= s.YMax) {
            s.YMin = 0;
            s.YMax = f.YMax;
        }
    }
}

bool ReadGraphDefaults(IRegistryStore& Registry, TGraphDefaults& D) {
    const bool read = RegReadBin(Registry, kRegGraphs, kGraphSettingsName, &D, sizeof D);
    RepairSeriesRanges(D);
    CheckGraphDefaults(D);
    return read;
}

void WriteGraphDefaults(IRegistryStore& Registry, const TGraphDefaults& D) {
    RegWriteBin(Registry, kRegGraphs, kGraphSettingsName, &D, sizeof D);
}

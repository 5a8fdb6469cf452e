#include "app/settings/PrefDialog_.h"

#include "app/base/Tools_.h"
#include "app/settings/Preferences_.h"

#include <algorithm>

namespace {

constexpr int32_t kRates[kSampleRateCount] = {1, 2, 10, 30, 60, 120, 300, 600};
constexpr int32_t kMinTextSize = 6;
constexpr int32_t kMaxTextSize = 16;

TSeriesSettings TGraphDefaults::*const kSeriesFields[kSeriesCount] = {
    &TGraphDefaults::Humidity, &TGraphDefaults::Temperature, &TGraphDefaults::DValue};

} // namespace

void ControlsToGraphDefaults(const TGraphControls& C, TGraphDefaults& D) {
    D.SampleRateIndex = C.SampleRateIndex;
    D.AutoScroll = C.AutoScroll;
    D.End = C.End;
    D.ShowSampleCount = C.ShowSampleCount;
    D.AutoX = C.AutoX;
    D.AutoY = C.AutoY;
    D.AutoOffset = C.AutoOffset;
    D.MinTime = C.MinTime;
    D.MaxTime = C.MaxTime;
}

TGraphControls GraphControlsOf(const TGraphDefaults& D) {
    return {D.SampleRateIndex,      D.AutoScroll != 0, D.End != 0,
            D.ShowSampleCount != 0, D.AutoX != 0,      D.AutoY != 0,
            D.AutoOffset != 0,      D.MinTime,         D.MaxTime};
}

std::array<TSeriesValues, kSeriesCount> SeriesOf(const TGraphDefaults& D) {
    std::array<TSeriesValues, kSeriesCount> s;
    for (int i = 0; i < kSeriesCount; ++i) {
        const TSeriesSettings& f = D.*kSeriesFields[i];
        s[i] = {f.Visible != 0, f.Color, f.YMin, f.YMax, f.Range};
    }
    return s;
}

void SeriesToGraphDefaults(const std::array<TSeriesValues, kSeriesCount>& S, TGraphDefaults& D) {
    for (int i = 0; i < kSeriesCount; ++i) {
        TSeriesSettings& f = D.*kSeriesFields[i];
        f.Visible = S[i].Visible;
        f.Color = S[i].Color;
        f.YMin = S[i].YMin;
        f.YMax = S[i].YMax;
        f.Range = S[i].Range;
    }
}

TGraphDefaults ApplyDefaults(const TGraphDefaults& Held, const TGraphControls& C) {
    // Not the series dialog's values: they may hold edits the user cancelled.
    TGraphDefaults d = Held;
    ControlsToGraphDefaults(C, d);
    return d;
}

std::vector<std::string> SampleRateEntries() {
    std::vector<std::string> entries;
    for (int32_t rate : kRates)
        entries.push_back(SecsToMS(rate) + " min");
    return entries;
}

std::vector<std::string> TextSizeEntries() {
    std::vector<std::string> entries;
    for (int32_t size = kMinTextSize; size <= kMaxTextSize; ++size)
        entries.push_back(std::to_string(size));
    return entries;
}

int TextSizeIndex(int32_t TextSize) {
    return std::clamp(TextSize, kMinTextSize, kMaxTextSize) - kMinTextSize;
}

int32_t TextSizeOfIndex(int Index) {
    return kMinTextSize + Index;
}

std::array<std::string, 3> SettingsPanelTexts(bool AutoPrint, bool AutoConnect, bool AutoRestore) {
    return {AutoPrint ? sAutoPrintPanel : "", AutoConnect ? sAutoConnectPanel : "",
            AutoRestore ? sAutoRestorePanel : ""};
}

void TTempDirEdit::Show(const std::string& TempFileDir) {
    FPending = TempFileDir;
}

void TTempDirEdit::Exit(const std::string& Text, const std::string& DefaultDir) {
    // An empty edit would read as "\", the root of the current drive.
    FPending = Text.empty() ? DefaultDir : IncludeTrailingBackslash(Text);
}

void TTempDirEdit::BrowseConfirmed(const std::string& Folder) {
    FPending = IncludeTrailingBackslash(Folder);
}

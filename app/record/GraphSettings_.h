// The view of a record window as one record: its time window, automatic modes,
// series and statistics. The window collects and applies it; the preferences
// and the series dialog exchange it; the record file keeps it packed as
// TRecViewSettings.
#pragma once

#include "app/record/RecordFile_.h"
#include "app/record/RecStatistics_.h"
#include "app/settings/PreferencesGraph_.h"

#include <cstdint>

struct TGraphSettings {
    bool AutoX = false; // auto range time
    bool AutoY = false; // auto range y
    bool ShowSampleCount = false;
    bool End = false; // follow the last sample
    int32_t MinTime = 0;
    int32_t MaxTime = 0;
    TRecStatistics Statistics;
    bool AutoOffset = false;
    // Unused bytes of the series are zero.
    TSeriesSettings DValue = {};
    TSeriesSettings Temperature = {};
    TSeriesSettings Humidity = {};
};

// The flags, time window and series of D into S; S's statistics stay.
void GraphDefaultsToSettings(const TGraphDefaults& D, TGraphSettings& S);

// The record file's block of S, and back. Unpacking starts from a zero-filled
// record (statistics count 0 included) and takes a byte flag as set when not 0.
TRecViewSettings PackViewSettings(const TGraphSettings& S);
TGraphSettings UnpackViewSettings(const TRecViewSettings& V);

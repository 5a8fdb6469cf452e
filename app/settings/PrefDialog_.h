// The preferences dialog's model besides its time range (PrefTimeRange_.h):
// the graph page's buttons into the graph defaults, the block the two Apply
// buttons push into open windows, the temporary-directory edit, the texts of
// the lists and of the main window's status panels.
#pragma once

#include "app/settings/PreferencesGraph_.h"
#include "app/settings/SeriesProps_.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr char sPreferencesCaption[] = "Preferences";
inline constexpr char sAutoPrintPanel[] = "Auto Print";
inline constexpr char sAutoConnectPanel[] = "Auto Connect";
inline constexpr char sAutoRestorePanel[] = "Auto Restore";

// The graph page's controls that the graph defaults take.
struct TGraphControls {
    int32_t SampleRateIndex = 0;
    bool AutoScroll = false;
    bool End = false;
    bool ShowSampleCount = false;
    bool AutoX = false;
    bool AutoY = false;
    bool AutoOffset = false;
    int32_t MinTime = 0;
    int32_t MaxTime = 0;
};

void ControlsToGraphDefaults(const TGraphControls& C, TGraphDefaults& D);
TGraphControls GraphControlsOf(const TGraphDefaults& D);

std::array<TSeriesValues, kSeriesCount> SeriesOf(const TGraphDefaults& D);
// Visible, colour, y minimum, maximum and range of each series.
void SeriesToGraphDefaults(const std::array<TSeriesValues, kSeriesCount>& S, TGraphDefaults& D);

// What "Apply to Recorders" and "Apply to Records" give the windows: the held
// block (series and units as last confirmed) with the page's controls.
TGraphDefaults ApplyDefaults(const TGraphDefaults& Held, const TGraphControls& C);

// "00:01 min" .. "10:00 min": the entries of the sample-rate list.
std::vector<std::string> SampleRateEntries();
// "6" .. "16": the font sizes of protocol printouts.
std::vector<std::string> TextSizeEntries();
// The list index of a text size; a stored size outside the list shows its nearest entry.
int TextSizeIndex(int32_t TextSize);
int32_t TextSizeOfIndex(int Index);

// Panels 1 to 3 of the main window's status bar.
std::array<std::string, 3> SettingsPanelTexts(bool AutoPrint, bool AutoConnect, bool AutoRestore);

// The temporary-directory edit. Pending is what OK stores; the edit always
// shows it (after a cancelled folder browser too). DefaultDir (the program folder's "Temp\") stands
// for an empty edit.
class TTempDirEdit {
public:
    void Show(const std::string& TempFileDir);
    const std::string& Pending() const { return FPending; }

    void Exit(const std::string& Text, const std::string& DefaultDir);
    // A cancelled browser changes nothing: the edit keeps showing Pending.
    void BrowseConfirmed(const std::string& Folder);

private:
    std::string FPending;
};

// The texts a record window shows about itself: its caption, the panels of its
// status bar, its live values and statistics, the rows of its list and what its
// columns are sized to.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/record/RecStatistics_.h"
#include "app/values/RecordData_.h"

#include <array>
#include <cstdint>
#include <string>

class TTreeNode;

inline constexpr char sCaptionInterface[] = "%s - %s";
inline constexpr char sCaptionFile[] = "%s [%s]";
inline constexpr char sSamplesTotal[] = "Samples: total: %d";
inline constexpr char sSelectedRecord[] = "selected record: %d";
inline constexpr char sSampleNumber[] = "Samplenumber: %d";
inline constexpr char sRecordOf[] = "Record: %.2d of %.2d";
inline constexpr char sUser[] = "User: %s";
inline constexpr char sLiveValues[] = "%s [%s], %s [%s]";

// Chamber: its text and interface name, and the record file's name without its
// folder when it has one; a record-file node: its text; any other: empty.
std::string BuildCaption(IMessageBoxes& Boxes, const TTreeNode& Node);

// Panels 1 to 4 of the status bar for the selection starting at Anchor (-1:
// none). Panels keeps the texts shown now; it is changed only where the bar
// changes.
void StatusPanels(const TRecording& Data, int64_t Anchor, std::array<std::string, 4>& Panels);

// The header of the block Sample belongs to; null when its block number names
// none, as a damaged file may.
const TRecBlockHeader* BlockOf(const TRecording& Data, const TSample& Sample);

// Panel 0: "12.34 [%RH], 25.00 [°C]".
std::string LiveValuesText(const std::string& Hum, const std::string& HumUnit,
                           const std::string& Temp, const std::string& TempUnit);

// The six statistics fields: humidity minimum, mean, maximum, then temperature.
std::array<std::string, 6> StatisticsTexts(const TRecStatistics& Stats, uint8_t HumMode,
                                           uint8_t TempUnit, bool ExtendedMode);

// The time column: date and time in DateFormat, or for a sample without date
// its block's instrument sample number and "  /  " before its time.
std::string SampleTimeCaption(const TRecording& Data, const TSample& Sample, uint8_t DateFormat);

// The units a window's list shows its samples in.
struct TListUnits {
    uint8_t HumMode = 0;
    uint8_t TempUnit = 0;
    uint8_t DateFormat = 0;
    bool ExtendedMode = false;
};

// The text of column Column of Sample's row: 1 time, 2 humidity, 3 temperature,
// 4 D value; empty for any other.
std::string RowText(const TRecording& Data, const TSample& Sample, int Column,
                    const TListUnits& Units);

// Besides its caption, what column Column is made as wide as: its text in the
// last row; without rows a date and time, or the value of raw 10000 (humidity,
// temperature) or 1000 (D value).
std::string ColumnWidthText(const TRecording& Data, int Column, const TListUnits& Units);

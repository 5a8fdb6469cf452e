// The record file (".zqr"): a 1584-byte header with the units and the window's
// view settings, the block headers, the samples, all chained under one 16-bit
// check. Files of the older layout (1607-byte header, 155-byte block headers)
// are read, never written.
#pragma once

#include "app/base/Texte_.h"
#include "app/record/Files_.h"
#include "app/settings/PreferencesGraph_.h"
#include "app/values/RecordData_.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

inline constexpr char sNewerVersion[] =
    "A newer version of Tessaly MC is required to open the file %s!";
inline constexpr char sCannotSave[] = "Cannot save the file %s!";
inline constexpr char sPreviousKept[] = " The previous file is unchanged.";

inline constexpr std::size_t kRecFileHeaderSize = 1584;
inline constexpr std::size_t kOldRecFileHeaderSize = 1607;

struct TStatRange {
    int32_t Min = 0;
    double Mean = 0;
    int32_t Max = 0;
};

// The view settings of a record window as the file keeps them.
struct TRecViewSettings {
    uint8_t AutoX = 0;
    uint8_t AutoY = 0;
    uint8_t ShowSampleCount = 0;
    uint8_t End = 0;
    int32_t MinTime = 0; // seconds
    int32_t MaxTime = 0;
    TStatRange Humidity; // raw
    TStatRange Temperature;
    TStatRange DValue;
    int32_t StatCount = 0; // 1-based number of the next measurement
    uint8_t AutoOffset = 0;
    TSeriesSettings DValueSeries = {};
    TSeriesSettings TemperatureSeries = {};
    TSeriesSettings HumiditySeries = {};
};

// A window's recording with what the file keeps besides.
struct TRecordFileData : TRecording {
    TDevUnits Units = {}; // of the recording's source
    bool SettingsPresent = true;
    TRecViewSettings View;
    int32_t HumOverride = -1; // -1: none
    int32_t TempOverride = -1;
    int32_t DateOverride = -1;
};

// Writes a sibling file of FileName with Write (false: failed) and puts it in
// place of FileName only when it is complete; the sibling is removed otherwise.
bool WriteBeside(IFileSystem& Fs, const std::string& FileName,
                 const std::function<bool(IFile& File)>& Write);

// Writes Data to a sibling file and puts it in place of FileName only when it is
// complete on disk, so a failed save leaves an earlier file as it was. Returns
// an empty text on success, else the message to show.
std::string SaveRecordFile(IFileSystem& Fs, const std::string& FileName,
                           const TRecordFileData& Data);

enum class TLoadResult { Ok, CannotOpen, NewerVersion };

struct TLoadOutcome {
    TLoadResult Result = TLoadResult::Ok;
    std::string Message; // to show when Result is not Ok
};

// Reads a file of either layout into Data (which is replaced). Older files come
// without view settings or unit overrides.
TLoadOutcome LoadRecordFile(IFileSystem& Fs, const std::string& FileName, TRecordFileData& Data);

// The 1584-byte header with both checks over the header alone, as written
// before the block headers and samples are added to the file check.
std::vector<uint8_t> EncodeRecFileHeader(const TRecordFileData& Data);

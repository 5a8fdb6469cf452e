// The standard graph settings of new record windows and imported files: the
// packed 372-byte block kept as the registry value "settings" of "graphs", its
// factory values, and the repairs applied whenever it is read back.
#pragma once

#include "app/base/Registry_.h"

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// One graph series, as the preferences and the record file store it. Booleans
// are bytes, true when not 0; raw units are the instrument's fixed-point words.
struct TSeriesSettings {
    uint8_t Visible;
    int32_t Color; // $00BBGGRR
    int32_t YMin;
    int32_t YMax;
    int32_t Range;      // the fixed y span in auto offset mode
    uint8_t Unused[96]; // kept as read, never interpreted
};

struct TGraphDefaults {
    TSeriesSettings Humidity;
    TSeriesSettings Temperature;
    TSeriesSettings DValue;
    int32_t SampleRateIndex; // into the record window's rates 1, 2, 10, 30, 60, 120, 300, 600 s
    uint8_t AutoScroll;      // of the sample list
    uint8_t End;             // follow the last sample
    uint8_t ShowSampleCount;
    uint8_t AutoX; // auto range time
    uint8_t AutoY; // auto range y
    uint8_t AutoOffset;
    int32_t MinTime; // seconds
    int32_t MaxTime;
    // Units in force for the preferences' own series dialog.
    uint8_t HumMode;    // 0 aw, 1 %RH
    uint8_t TempUnit;   // 0 degrees C, 1 degrees F
    uint8_t DateFormat; // 0 DD.MM.YYYY, 1 MM.DD.YYYY, 2 YYYY.MM.DD
    // Unit overrides of new record windows; kFromInstrument or a code as above.
    int32_t HumChoice;
    int32_t TempChoice;
    int32_t DateChoice;
};

#pragma pack(pop)

static_assert(sizeof(TSeriesSettings) == 113);
static_assert(offsetof(TSeriesSettings, Color) == 1);
static_assert(offsetof(TSeriesSettings, YMin) == 5);
static_assert(offsetof(TSeriesSettings, YMax) == 9);
static_assert(offsetof(TSeriesSettings, Range) == 13);
static_assert(offsetof(TSeriesSettings, Unused) == 17);

static_assert(sizeof(TGraphDefaults) == 372);
static_assert(offsetof(TGraphDefaults, Temperature) == 113);
static_assert(offsetof(TGraphDefaults, DValue) == 226);
static_assert(offsetof(TGraphDefaults, SampleRateIndex) == 339);
static_assert(offsetof(TGraphDefaults, AutoScroll) == 343);
static_assert(offsetof(TGraphDefaults, End) == 344);
static_assert(offsetof(TGraphDefaults, ShowSampleCount) == 345);
static_assert(offsetof(TGraphDefaults, AutoX) == 346);
static_assert(offsetof(TGraphDefaults, AutoY) == 347);
static_assert(offsetof(TGraphDefaults, AutoOffset) == 348);
static_assert(offsetof(TGraphDefaults, MinTime) == 349);
static_assert(offsetof(TGraphDefaults, MaxTime) == 353);
static_assert(offsetof(TGraphDefaults, HumMode) == 357);
static_assert(offsetof(TGraphDefaults, TempUnit) == 358);
static_assert(offsetof(TGraphDefaults, DateFormat) == 359);
static_assert(offsetof(TGraphDefaults, HumChoice) == 360);
static_assert(offsetof(TGraphDefaults, TempChoice) == 364);
static_assert(offsetof(TGraphDefaults, DateChoice) == 368);

// A unit choice that follows the instrument's own setting.
inline constexpr int32_t kFromInstrument = -1;
// Entries of the record window's sample-rate table.
inline constexpr int32_t kSampleRateCount = 8;
// The time window keeps at least this span (seconds) and its minimum stays below
// 2^31 - 1 - kMinTimeSpan.
inline constexpr int32_t kMinTimeSpan = 18;
inline constexpr int32_t kMaxMinTime = 2147483647 - kMinTimeSpan;

// Sets every used field to its factory value; the unused bytes of the series stay.
void SetFactoryGraphDefaults(TGraphDefaults& D);

// A series range of 0 (or one the series cannot span) becomes 1000.
void RepairSeriesRanges(TGraphDefaults& D);

// Puts back the factory value of every field a stored block holds out of range:
// a sample-rate index outside the table, a unit code or choice that does not
// exist, a time window below 0 or narrower than kMinTimeSpan, y limits outside
// the series' raw limits or not ascending. Everything else stays as read.
void CheckGraphDefaults(TGraphDefaults& D);

// Reads the stored block over D (a shorter one replaces only its front; a
// missing, empty, longer or mistyped one writes D back) and repairs it. True
// when stored bytes were read.
bool ReadGraphDefaults(IRegistryStore& Registry, TGraphDefaults& D);
void WriteGraphDefaults(IRegistryStore& Registry, const TGraphDefaults& D);

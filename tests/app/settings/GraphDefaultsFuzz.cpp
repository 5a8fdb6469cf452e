// libFuzzer target of the stored graph defaults ("settings" of "graphs", 372
// bytes): a value of any kind and length read over the factory block. What
// comes out must be usable by a record window (a sample-rate index of the
// table, a time window and y spans it can divide by, units that exist), stable
// under a second repair, keep the series' unused bytes as stored, and read back
// unchanged once written.
#include "app/settings/PreferencesGraph_.h"
#include "app/settings/PreferencesValues_.h"
#include "tests/app/support/FuzzedRegValue.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/support/FuzzCheck.h"

#include <cstring>

namespace {

bool Same(const TGraphDefaults& A, const TGraphDefaults& B) {
    return std::memcmp(&A, &B, sizeof A) == 0;
}

TGraphDefaults Factory() {
    TGraphDefaults d;
    std::memset(&d, 0, sizeof d);
    SetFactoryGraphDefaults(d);
    return d;
}

void CheckUsable(const TGraphDefaults& D) {
    FuzzRequire(D.SampleRateIndex >= 0 && D.SampleRateIndex < kSampleRateCount,
                "sample-rate index in the table");
    FuzzRequire(D.MinTime >= 0 && int64_t{D.MaxTime} - D.MinTime >= kMinTimeSpan,
                "time window at least its least span");
    FuzzRequire(D.HumMode <= 1 && D.TempUnit <= 1 && D.DateFormat <= 2, "units that exist");
    FuzzRequire(D.HumChoice >= kFromInstrument && D.HumChoice <= 1 &&
                    D.TempChoice >= kFromInstrument && D.TempChoice <= 1 &&
                    D.DateChoice >= kFromInstrument && D.DateChoice <= 2,
                "unit choices that exist");
    for (const TSeriesSettings* s : {&D.Humidity, &D.Temperature, &D.DValue}) {
        FuzzRequire(s->YMin < s->YMax, "y limits ascending");
        FuzzRequire(s->Range > 0, "a y span for auto offset mode");
    }
}

void CheckUnusedKept(const TRegValue& Stored, bool Read, const TGraphDefaults& D) {
    TGraphDefaults expected = Factory();
    if (Read)
        std::memcpy(&expected, Stored.Data.data(), Stored.Data.size());
    for (std::size_t offset :
         {offsetof(TGraphDefaults, Humidity), offsetof(TGraphDefaults, Temperature),
          offsetof(TGraphDefaults, DValue)}) {
        const std::size_t at = offset + offsetof(TSeriesSettings, Unused);
        FuzzRequire(std::memcmp(reinterpret_cast<const uint8_t*>(&D) + at,
                                reinterpret_cast<const uint8_t*>(&expected) + at,
                                sizeof(TSeriesSettings::Unused)) == 0,
                    "unused series bytes kept as stored");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider in(Data, Size);
    TMemRegistry registry;
    const TRegValue stored = FuzzedRegValue(in, sizeof(TGraphDefaults) + 28);
    if (stored.Kind != TRegKind::Missing)
        registry.Put(kRegGraphs, kGraphSettingsName, stored);

    TGraphDefaults d = Factory();
    const bool read = ReadGraphDefaults(registry, d);
    const bool block = stored.Kind == TRegKind::Binary || stored.Kind == TRegKind::Other;
    FuzzRequire(read == (block && !stored.Data.empty() && stored.Data.size() <= sizeof d),
                "stored bytes read only from a block that fits");
    if (!read) {
        FuzzRequire(Same(d, Factory()), "factory block when nothing was read");
        const TGraphDefaults factory = Factory();
        FuzzRequire(registry.Get(kRegGraphs, kGraphSettingsName) ==
                        TRegValue::Bin(&factory, sizeof factory),
                    "factory block written back");
    }
    CheckUsable(d);
    CheckUnusedKept(stored, read, d);

    TGraphDefaults again = d;
    RepairSeriesRanges(again);
    CheckGraphDefaults(again);
    FuzzRequire(Same(again, d), "a repaired block needs no more repair");

    WriteGraphDefaults(registry, d);
    TGraphDefaults back = Factory();
    FuzzRequire(ReadGraphDefaults(registry, back) && Same(back, d), "written block read back");
    return 0;
}

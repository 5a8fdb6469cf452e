// The units dialog's model: the three lists (humidity, temperature, date
// format), each "From instrument" followed by the units, and the mapping of a
// choice (-1 from instrument, else a unit code) to a list index and back.
#pragma once

#include "app/settings/PreferencesGraph_.h"
#include "app/settings/SeriesProps_.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr char sUnitsDialogCaption[] = "Enter units";
inline constexpr char sFromInstrument[] = "From instrument";

enum TUnitList { ulHumidity, ulTemperature, ulDate };
inline constexpr int kUnitListCount = 3;

struct TUnitChoices {
    int32_t Hum = kFromInstrument;
    int32_t Temp = kFromInstrument;
    int32_t Date = kFromInstrument;
    bool operator==(const TUnitChoices&) const = default;
};

// The entries of a list; index = choice + 1.
std::vector<std::string> UnitListEntries(TUnitList List);
// The highest unit code of a list (1 for humidity and temperature, 2 for dates).
int32_t MaxUnitCode(TUnitList List);

// The list index showing Choice; a choice outside -1..the highest code is
// clamped to that range.
int ChoiceToIndex(TUnitList List, int32_t Choice);
// The choice of a list index; no selection reads as from instrument.
int32_t IndexToChoice(TUnitList List, int Index);

int32_t Choice(const TUnitChoices& C, TUnitList List);

// The graph defaults' choices; each resolved unit follows its choice unless
// that is from instrument.
TUnitChoices ChoicesOf(const TGraphDefaults& D);
TResolvedUnits ResolvedUnitsOf(const TGraphDefaults& D);
void SetUnitChoices(TGraphDefaults& D, const TUnitChoices& C);

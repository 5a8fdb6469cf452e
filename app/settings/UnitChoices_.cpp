#include "app/settings/UnitChoices_.h"

#include "app/base/Tools_.h"
#include "app/values/MeasValues_.h"

#include <algorithm>

namespace {

std::string UnitEntry(const std::string& Name, const std::string& Unit) {
    return Format("%s [%s]", Name.c_str(), Unit.c_str());
}

uint8_t Resolved(int32_t Choice, uint8_t Previous) {
    return Choice == kFromInstrument ? Previous : static_cast<uint8_t>(Choice);
}

} // namespace

std::vector<std::string> UnitListEntries(TUnitList List) {
    switch (List) {
    case ulHumidity:
        return {sFromInstrument, UnitEntry(HumNameText(0), HumUnitText(0)),
                UnitEntry(HumNameText(1), HumUnitText(1))};
    case ulTemperature:
        return {sFromInstrument, UnitEntry(TempNameText(0), TempUnitText(0)),
                UnitEntry(TempNameText(1), TempUnitText(1))};
    default:
        return {sFromInstrument, "DD.MM.YYYY", "MM.DD.YYYY", "YYYY.MM.DD"};
    }
}

int32_t MaxUnitCode(TUnitList List) {
    return List == ulDate ? 2 : 1;
}

int ChoiceToIndex(TUnitList List, int32_t Choice) {
    return std::clamp(Choice, kFromInstrument, MaxUnitCode(List)) + 1;
}

int32_t IndexToChoice(TUnitList List, int Index) {
    return std::clamp(Index - 1, kFromInstrument, MaxUnitCode(List));
}

int32_t Choice(const TUnitChoices& C, TUnitList List) {
    return List == ulHumidity ? C.Hum : List == ulTemperature ? C.Temp : C.Date;
}

TUnitChoices ChoicesOf(const TGraphDefaults& D) {
    return {D.HumChoice, D.TempChoice, D.DateChoice};
}

TResolvedUnits ResolvedUnitsOf(const TGraphDefaults& D) {
    return {Resolved(D.HumChoice, D.HumMode), Resolved(D.TempChoice, D.TempUnit),
            Resolved(D.DateChoice, D.DateFormat)};
}

void SetUnitChoices(TGraphDefaults& D, const TUnitChoices& C) {
    D.HumChoice = std::clamp(C.Hum, kFromInstrument, MaxUnitCode(ulHumidity));
    D.TempChoice = std::clamp(C.Temp, kFromInstrument, MaxUnitCode(ulTemperature));
    D.DateChoice = std::clamp(C.Date, kFromInstrument, MaxUnitCode(ulDate));
    const TResolvedUnits r = ResolvedUnitsOf(D);
    D.HumMode = r.HumMode;
    D.TempUnit = r.TempUnit;
    D.DateFormat = r.DateFormat;
}

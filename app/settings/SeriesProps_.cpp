#include "app/settings/SeriesProps_.h"

#include "app/base/Tools_.h"
#include "app/settings/EditNumber_.h"
#include "app/values/MeasValues_.h"

#include <algorithm>
#include <cmath>

namespace {

struct TSeriesLimits {
    int32_t Lower;
    int32_t Upper;
};

// 0 %RH .. 100 %RH (1.0 aw); -40 .. 120 degrees C; D value 0 .. 1000.
constexpr TSeriesLimits kLimits[kSeriesCount] = {{0, 10000}, {-4000, 12000}, {0, 10000}};

struct THintTexts {
    const char* MinEdit;
    const char* RangeEdit;
    const char* MinUpDown;
    const char* RangeUpDown;
    const char* MaxUpDown;
};

constexpr THintTexts kHints[kSeriesCount] = {
    {"Minimum humidity|Sets the graph minimum humidity",
     "Humidity range|Sets the graph humidity range",
     "Inc/Decrement min|Inc/Decrements the graph minimum humidity setting",
     "Inc/Decrement range|Inc/Decrements the graph humidity range setting",
     "Inc/Decrement max|Inc/Decrements the graph maximimum humidity setting"},
    {"Minimum temperature|Sets the graph minimum temperature",
     "Temperature range|Sets the graph temperature range",
     "Inc/Decrement min|Inc/Decrements the graph minimum temperature setting",
     "Inc/Decrement range|Inc/Decrements the graph temperature range setting",
     "Inc/Decrement max|Inc/Decrements the graph maximum temperature setting"},
    {"Minimum D-value|Sets the graph minimum D-value", "D-value range|Sets the graph D-value range",
     "Inc/Decrement min|Inc/Decrements the graph minimum D-value setting",
     "Inc/Decrement range|Inc/Decrements the graph D-value range setting",
     "Inc/Decrement max|Inc/Decrements the graph maximum D-value setting"},
};

std::size_t At(TLimitEdit Edit) {
    return Edit == TLimitEdit::Min ? 0 : 1;
}

} // namespace

void TSeriesPropModel::SetUnits(const TResolvedUnits& Units) {
    FUnits.HumMode = Units.HumMode <= 1 ? Units.HumMode : 0;
    FUnits.TempUnit = Units.TempUnit <= 1 ? Units.TempUnit : 0;
    FUnits.DateFormat = Units.DateFormat <= 2 ? Units.DateFormat : 0;
}

void TSeriesPropModel::Show() {
    for (int s = 0; s < kSeriesCount; ++s) {
        ShowValue(s, TLimitEdit::Min, Series[s].YMin);
        ShowValue(s, TLimitEdit::Max, Series[s].YMax);
    }
    SetAutoOffset(AutoOffset);
}

void TSeriesPropModel::SetAutoOffset(bool On) {
    FRangeShown = On;
    for (int s = 0; s < kSeriesCount; ++s)
        ShowValue(s, TLimitEdit::Min, On ? Series[s].Range : Series[s].YMin);
}

std::string TSeriesPropModel::GroupCaption(int Series) const {
    switch (Series) {
    case siHumidity:
        return Format("%s [%s] - serie &0", HumNameText(FUnits.HumMode).c_str(),
                      HumUnitText(FUnits.HumMode).c_str());
    case siTemperature:
        return Format("%s [%s] - serie &1", TempNameText(FUnits.TempUnit).c_str(),
                      TempUnitText(FUnits.TempUnit).c_str());
    default:
        return Format("%s [%s] - serie &2", DValueNameText().c_str(), DValueUnitText().c_str());
    }
}

TSeriesHints TSeriesPropModel::Hints(int Series) const {
    const THintTexts& h = kHints[Series];
    return {FRangeShown ? h.RangeEdit : h.MinEdit, FRangeShown ? h.RangeUpDown : h.MinUpDown,
            h.MaxUpDown};
}

const std::string& TSeriesPropModel::Text(int Series, TLimitEdit Edit) const {
    return FTexts[Series][At(Edit)];
}

void TSeriesPropModel::CommitEdit(int Series, TLimitEdit Edit, const std::string& Text) {
    FTexts[Series][At(Edit)] = Text;
    double x = 0;
    const int32_t raw =
        ParseEditNumber(Text, x) ? ToRaw(Series, x, IsRange(Edit)) : UpperLimit(Series);
    SetLimitValue(raw, Series, Edit);
}

void TSeriesPropModel::UpDown(int Series, TLimitEdit Edit, const std::string& Text, bool Up) {
    const double x = EditNumber(Text);
    const double step = Step(Series);
    SetLimitValue(ToRaw(Series, Up ? x + step : x - step, IsRange(Edit)), Series, Edit);
}

void TSeriesPropModel::SetLimitValue(int32_t Raw, int Series, TLimitEdit Edit) {
    int32_t raw = std::clamp(Raw, LowerLimit(Series), UpperLimit(Series));
    TSeriesValues& v = this->Series[Series];
    const int32_t gap = Gap(Series);
    if (IsRange(Edit)) {
        v.Range = std::max(raw, SmallestRange(Series));
        ShowValue(Series, Edit, v.Range);
    } else if (Edit == TLimitEdit::Min) {
        v.YMin = raw;
        ShowValue(Series, Edit, raw);
        if (TextRaw(Series, TLimitEdit::Max) < raw + gap)
            SetLimitValue(raw + gap, Series, TLimitEdit::Max);
    } else {
        v.YMax = raw;
        ShowValue(Series, Edit, raw);
        if (raw - gap < TextRaw(Series, TLimitEdit::Min))
            SetLimitValue(raw - gap, Series, TLimitEdit::Min);
    }
}

int32_t TSeriesPropModel::LowerLimit(int Series) const {
    return kLimits[Series].Lower;
}

int32_t TSeriesPropModel::UpperLimit(int Series) const {
    return kLimits[Series].Upper;
}

int TSeriesPropModel::Decimals(int Series) const {
    switch (Series) {
    case siHumidity:
        return HumDecimals(FUnits.HumMode, FExtended);
    case siTemperature:
        return TempDecimals(FUnits.TempUnit, FExtended);
    default:
        return DValueDecimals();
    }
}

double TSeriesPropModel::Step(int Series) const {
    return std::pow(10.0, 1 - Decimals(Series));
}

int32_t TSeriesPropModel::SmallestRange(int Series) const {
    const double unit = std::pow(10.0, -Decimals(Series));
    switch (Series) {
    case siHumidity:
        return HumToRaw(FUnits.HumMode, Step(Series));
    case siTemperature:
        return TempToRaw(FUnits.TempUnit, true, unit);
    default:
        return DValueToRaw(unit);
    }
}

int32_t TSeriesPropModel::Gap(int Series) const {
    const double unit = std::pow(10.0, -Decimals(Series));
    const double gap = Series == siHumidity      ? 100 * Step(Series)
                       : Series == siTemperature ? 100 * unit
                                                 : 10 * unit;
    return std::max(1, RoundHalfAway(gap));
}

double TSeriesPropModel::ToDisplay(int Series, int32_t Raw, bool Difference) const {
    switch (Series) {
    case siHumidity:
        return HumToReal(FUnits.HumMode, Raw, FExtended);
    case siTemperature:
        return TempToReal(FUnits.TempUnit, Raw, Difference, FExtended);
    default:
        return DValueToReal(Raw);
    }
}

int32_t TSeriesPropModel::ToRaw(int Series, double X, bool Difference) const {
    switch (Series) {
    case siHumidity:
        return HumToRaw(FUnits.HumMode, X);
    case siTemperature:
        return TempToRaw(FUnits.TempUnit, Difference, X);
    default:
        return DValueToRaw(X);
    }
}

// The value an edit shows, in raw units; its held value when the text is no number.
int32_t TSeriesPropModel::TextRaw(int Series, TLimitEdit Edit) const {
    double x = 0;
    if (ParseEditNumber(Text(Series, Edit), x))
        return ToRaw(Series, x, IsRange(Edit));
    return Edit == TLimitEdit::Min ? this->Series[Series].YMin : this->Series[Series].YMax;
}

void TSeriesPropModel::ShowValue(int Series, TLimitEdit Edit, int32_t Raw) {
    FTexts[Series][At(Edit)] = EditText(Decimals(Series), ToDisplay(Series, Raw, IsRange(Edit)));
}

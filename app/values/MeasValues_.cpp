#include "app/values/MeasValues_.h"

#include "app/base/Tools_.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr uint8_t kRelHumidity = 1;
constexpr uint8_t kFahrenheit = 1;

// Num / Den (Den > 0) rounded half away from zero to Decimals. Exact: in
// binary floating point a half such as 0.0035 may lie a little below itself and
// round the wrong way.
double RoundedRatio(int64_t Num, int64_t Den, int32_t Decimals) {
    int64_t scale = 1;
    for (int32_t i = 0; i < Decimals; ++i)
        scale *= 10;
    const int64_t scaled = Num * scale;
    int64_t q = scaled / Den;
    const int64_t r = scaled % Den;
    if (2 * (r < 0 ? -r : r) >= Den)
        q += scaled < 0 ? -1 : 1;
    return static_cast<double>(q) / static_cast<double>(scale);
}

// Halves to even, saturated to 32 bits; NaN gives 0.
int32_t RoundToRaw(double X) {
    if (std::isnan(X))
        return 0;
    const double r = std::nearbyint(X);
    if (r >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

std::string NumberText(int32_t Decimals, double X) {
    std::string text = Format("%.*f", Decimals, X);
    std::replace(text.begin(), text.end(), '.', DecimalSeparator());
    return text;
}

// A value text by the tests of the status word, in this order.
std::string ValueText(uint16_t Status, uint16_t ValidBit, int32_t Decimals, double X) {
    if (!(Status & csPresent))
        return sNoValue;
    if (!(Status & csSensorOn))
        return sSensorOff;
    if (Status & ValidBit)
        return NumberText(Decimals, X);
    return sValueError;
}

} // namespace

int32_t HumDecimals(uint8_t Mode, bool ExtendedMode) {
    return (Mode == kRelHumidity ? 1 : 3) + (ExtendedMode ? 1 : 0);
}

int32_t TempDecimals(uint8_t, bool ExtendedMode) {
    return ExtendedMode ? 2 : 1;
}

int32_t DValueDecimals() {
    return 1;
}

double HumToReal(uint8_t Mode, int32_t Raw, bool ExtendedMode) {
    return RoundedRatio(Raw, Mode == kRelHumidity ? 100 : 10000, HumDecimals(Mode, ExtendedMode));
}

double TempToReal(uint8_t Unit, int32_t Raw, bool IsDelta, bool ExtendedMode) {
    const int32_t decimals = TempDecimals(Unit, ExtendedMode);
    if (Unit != kFahrenheit)
        return RoundedRatio(Raw, 100, decimals);
    // Raw / 100 * 9 / 5 + 32 = (Raw * 9 + 32 * 500) / 500.
    return RoundedRatio(int64_t{Raw} * 9 + (IsDelta ? 0 : 32 * 500), 500, decimals);
}

double DValueToReal(int32_t Raw) {
    return RoundedRatio(Raw, 10, DValueDecimals());
}

int32_t HumToRaw(uint8_t Mode, double X) {
    switch (Mode) {
    case 0:
        return RoundToRaw(X * 100 * 100);
    case kRelHumidity:
        return RoundToRaw(X * 100);
    default:
        return 0;
    }
}

int32_t TempToRaw(uint8_t Unit, bool IsDelta, double X) {
    switch (Unit) {
    case 0:
        return RoundToRaw(X * 100);
    case kFahrenheit:
        return RoundToRaw(((IsDelta ? X + 32 : X) - 32) * 5 / 9 * 100);
    default:
        return 0;
    }
}

int32_t DValueToRaw(double X) {
    return RoundToRaw(X * 10);
}

std::string HumValueText(uint8_t Mode, uint16_t Status, int32_t Raw, bool ExtendedMode) {
    return ValueText(Status, csHumidityValid, HumDecimals(Mode, ExtendedMode),
                     HumToReal(Mode, Raw, ExtendedMode));
}

std::string TempValueText(uint8_t Unit, uint16_t Status, int32_t Raw, bool ExtendedMode) {
    return ValueText(Status, csTemperatureValid, TempDecimals(Unit, ExtendedMode),
                     TempToReal(Unit, Raw, false, ExtendedMode));
}

std::string DValueText(uint16_t Status, int32_t Raw) {
    // No validity bit: with the sensor on the D value is always a number.
    return ValueText(Status, csSensorOn, DValueDecimals(), DValueToReal(Raw));
}

std::string HumNameText(uint8_t Mode) {
    return Mode == 0 ? "aw" : Mode == kRelHumidity ? "Hum" : "";
}

std::string HumUnitText(uint8_t Mode) {
    return Mode == 0 ? " " : Mode == kRelHumidity ? "%RH" : "";
}

std::string TempNameText(uint8_t Unit) {
    return Unit <= kFahrenheit ? "T" : "";
}

std::string TempUnitText(uint8_t Unit) {
    return Unit == 0 ? sDegreesC : Unit == kFahrenheit ? sDegreesF : "";
}

std::string DValueNameText() {
    return "D";
}

std::string DValueUnitText() {
    return " ";
}

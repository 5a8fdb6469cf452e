// Measurement values and units: the one place where the instruments'
// fixed-point words become numbers and texts, so every window, print and export
// agrees. Humidity is shown as aw (mode 0, raw / 10000) or %RH (mode 1,
// raw / 100), temperature in degrees C (unit 0, raw / 100) or F (unit 1), the D
// value as raw / 10. The extended display mode (registry value "quormode")
// shows one more decimal of humidity and temperature; callers pass it as
// ExtendedMode. A status word without "present" reads "---", without "sensor on"
// "off", without its valid bit "Err".
//
// Units are bytes (255: none).
#pragma once

#include "ProflinkH.h"

#include <cstdint>
#include <string>

inline constexpr uint8_t kNoUnit = 255;

inline constexpr char sNoValue[] = "---";
inline constexpr char sSensorOff[] = "off";
inline constexpr char sValueError[] = "Err";
// Degree signs in the ANSI code page.
inline constexpr char sDegreesC[] = "\xB0\x43";
inline constexpr char sDegreesF[] = "\xB0\x46";

int32_t HumDecimals(uint8_t Mode, bool ExtendedMode);
int32_t TempDecimals(uint8_t Unit, bool ExtendedMode);
int32_t DValueDecimals();

// Values rounded half away from zero to their decimals. IsDelta: the value is
// a difference (a range, an offset span), so degrees F get no 32 added.
double HumToReal(uint8_t Mode, int32_t Raw, bool ExtendedMode);
double TempToReal(uint8_t Unit, int32_t Raw, bool IsDelta, bool ExtendedMode);
double DValueToReal(int32_t Raw);

// Raw words of values, rounded halves to even; 0 for a unit other than 0 and 1.
int32_t HumToRaw(uint8_t Mode, double X);
int32_t TempToRaw(uint8_t Unit, bool IsDelta, double X);
int32_t DValueToRaw(double X);

// Value texts of a chamber status word and raw word, in the locale's number format.
std::string HumValueText(uint8_t Mode, uint16_t Status, int32_t Raw, bool ExtendedMode);
std::string TempValueText(uint8_t Unit, uint16_t Status, int32_t Raw, bool ExtendedMode);
std::string DValueText(uint16_t Status, int32_t Raw);

// Captions: "aw" / "Hum", " " / "%RH", "T", "°C" / "°F"; empty for other codes.
std::string HumNameText(uint8_t Mode);
std::string HumUnitText(uint8_t Mode);
std::string TempNameText(uint8_t Unit);
std::string TempUnitText(uint8_t Unit);
std::string DValueNameText();
std::string DValueUnitText();

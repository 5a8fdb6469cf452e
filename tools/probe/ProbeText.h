// Texts of the profile probe: units, measurement stamps and one chamber's live
// values, formed from the instrument's fixed-point words.
#pragma once

#include "ProflinkH.h"

#include <cstdint>
#include <string>

namespace Probe {

// Raw / Divisor with Decimals places, rounded half away from zero in integers,
// so that no binary fraction tips a half either way. Divisor is a power of ten
// not below 10^Decimals.
std::string FixedText(int Raw, int Divisor, int Decimals);

// "humidity aw, temperature °C, date dd.mm.yyyy"; codes it does not know as
// "unknown (N)".
std::string UnitsText(const TDevUnits& Units);

// "hh:mm:ss since start" for a relative stamp, else date (in DateFormat) and time.
std::string StampText(const TMeasStamp& Stamp, std::uint8_t DateFormat);

// "---" absent, "off" sensor off, "Err" not valid, else "0.751 aw" (aw, 3
// decimals) or "75.1 %RH" (mode 1, 1 decimal).
std::string HumidityText(std::uint8_t HumidityMode, const TChamberMeas& Chamber);
// As HumidityText for the temperature: "24.8 °C" (raw / 100, 1 decimal).
std::string TemperatureText(const TChamberMeas& Chamber);
// "analysing 00:01:23", "stable 00:02:00", or empty.
std::string RunText(const TChamberMeas& Chamber);

// "chamber N: <humidity>  <temperature>  <run>" without trailing blanks.
std::string ChamberLine(int N, std::uint8_t HumidityMode, const TChamberMeas& Chamber);

} // namespace Probe

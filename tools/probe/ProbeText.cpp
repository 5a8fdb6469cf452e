#include "tools/probe/ProbeText.h"

#include <cstdio>
#include <cstdlib>

namespace Probe {
namespace {

constexpr const char* kDegree = "\xC2\xB0"; // UTF-8

std::string Unknown(unsigned Code) {
    return "unknown (" + std::to_string(Code) + ")";
}

std::string Clock(std::uint32_t Seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(Seconds / 3600),
                  static_cast<unsigned>(Seconds / 60 % 60), static_cast<unsigned>(Seconds % 60));
    return text;
}

// The tests of a value text, in the order the application makes them.
const char* StateText(TChamberStatus Status, TChamberStatus ValidBit) {
    if ((Status & csPresent) == 0)
        return "---";
    if ((Status & csSensorOn) == 0)
        return "off";
    if ((Status & ValidBit) == 0)
        return "Err";
    return nullptr;
}

} // namespace

std::string FixedText(int Raw, int Divisor, int Decimals) {
    int step = Divisor;
    for (int d = 0; d < Decimals; ++d)
        step /= 10;
    const long long magnitude = std::llabs(static_cast<long long>(Raw));
    const long long units = (magnitude + step / 2) / step; // in the last shown place
    long long scale = 1;
    for (int d = 0; d < Decimals; ++d)
        scale *= 10;
    std::string text = (Raw < 0 && units != 0 ? "-" : "") + std::to_string(units / scale);
    if (Decimals > 0) {
        const std::string fraction = std::to_string(units % scale + scale).substr(1);
        text += "." + fraction;
    }
    return text;
}

std::string UnitsText(const TDevUnits& Units) {
    static const char* const kHumidity[] = {"aw", "%RH"};
    static const char* const kDate[] = {"dd.mm.yyyy", "mm.dd.yyyy", "yyyy.mm.dd"};
    const std::string humidity =
        Units.HumidityMode < 2 ? kHumidity[Units.HumidityMode] : Unknown(Units.HumidityMode);
    const std::string temperature = Units.TemperatureUnit < 2
                                        ? std::string(kDegree) + (Units.TemperatureUnit ? "F" : "C")
                                        : Unknown(Units.TemperatureUnit);
    const std::string date =
        Units.DateFormat < 3 ? kDate[Units.DateFormat] : Unknown(Units.DateFormat);
    return "humidity " + humidity + ", temperature " + temperature + ", date " + date;
}

std::string StampText(const TMeasStamp& Stamp, std::uint8_t DateFormat) {
    if (Stamp.Day == 0 && Stamp.Month == 0 && Stamp.Year == 0)
        return Clock(Stamp.Seconds) + " since start";
    char date[32];
    const unsigned d = Stamp.Day, m = Stamp.Month, y = Stamp.Year;
    if (DateFormat == 1)
        std::snprintf(date, sizeof date, "%02u.%02u.%04u", m, d, y);
    else if (DateFormat == 2)
        std::snprintf(date, sizeof date, "%04u.%02u.%02u", y, m, d);
    else
        std::snprintf(date, sizeof date, "%02u.%02u.%04u", d, m, y);
    return std::string(date) + " " + Clock(Stamp.Seconds);
}

std::string HumidityText(std::uint8_t HumidityMode, const TChamberMeas& Chamber) {
    if (const char* state = StateText(Chamber.Status, csHumidityValid))
        return state;
    return HumidityMode == 1 ? FixedText(Chamber.Humidity, 100, 1) + " %RH"
                             : FixedText(Chamber.Humidity, 10000, 3) + " aw";
}

std::string TemperatureText(const TChamberMeas& Chamber) {
    if (const char* state = StateText(Chamber.Status, csTemperatureValid))
        return state;
    return FixedText(Chamber.Temperature, 100, 1) + " " + kDegree + "C";
}

std::string RunText(const TChamberMeas& Chamber) {
    if ((Chamber.Status & csPresent) == 0)
        return "";
    if (Chamber.Status & csStable)
        return "stable " + Clock(Chamber.Elapsed);
    if (Chamber.Status & csAnalysing)
        return "analysing " + Clock(Chamber.Elapsed);
    return "";
}

std::string ChamberLine(int N, std::uint8_t HumidityMode, const TChamberMeas& Chamber) {
    std::string line = "chamber " + std::to_string(N) + ": " + HumidityText(HumidityMode, Chamber) +
                       "  " + TemperatureText(Chamber);
    const std::string run = RunText(Chamber);
    if (!run.empty())
        line += "  " + run;
    return line;
}

} // namespace Probe

#include "app/settings/PrinterSetupCodec_.h"

#include <algorithm>
#include <cstring>

namespace {

template <std::size_t N>
void PutName(char (&Field)[N], const std::string& Name) {
    std::memset(Field, 0, N);
    std::memcpy(Field, Name.data(), std::min(Name.size(), N - 1));
}

// The text up to the first zero byte, or the whole field when it has none.
template <std::size_t N>
std::string GetName(const char (&Field)[N]) {
    return std::string(Field, std::find(Field, Field + N, '\0'));
}

template <class THeader>
std::optional<TPrinterConfig> Decode(std::span<const uint8_t> File) {
    THeader h;
    if (File.size() < sizeof h)
        return std::nullopt;
    std::memcpy(&h, File.data(), sizeof h);
    const int32_t n = h.DeviceModeSize;
    if (n < 0 || static_cast<std::size_t>(n) > File.size() - sizeof h)
        return std::nullopt;
    const auto mode = File.subspan(sizeof h, static_cast<std::size_t>(n));
    return TPrinterConfig{GetName(h.Device), GetName(h.Driver), GetName(h.Port),
                          std::vector<uint8_t>(mode.begin(), mode.end())};
}

} // namespace

std::vector<uint8_t> EncodePrinterSetup(const TPrinterConfig& Config, int32_t DeviceModeSize) {
    TPrinterSetupHeader h;
    PutName(h.Device, Config.Device);
    PutName(h.Driver, Config.Driver);
    PutName(h.Port, Config.Port);
    h.Padding = 0;
    const std::size_t n = static_cast<std::size_t>(std::max(DeviceModeSize, 0));
    h.DeviceModeSize = static_cast<int32_t>(n);

    std::vector<uint8_t> file(sizeof h + n, 0);
    std::memcpy(file.data(), &h, sizeof h);
    const std::size_t copied = std::min(n, Config.DeviceMode.size());
    std::copy_n(Config.DeviceMode.begin(), copied, file.begin() + sizeof h);
    return file;
}

std::optional<TPrinterConfig> DecodePrinterSetup(std::span<const uint8_t> File) {
    return Decode<TPrinterSetupHeader>(File);
}

std::optional<TPrinterConfig> DecodePrinterSetupOld(std::span<const uint8_t> File) {
    return Decode<TPrinterSetupHeaderOld>(File);
}

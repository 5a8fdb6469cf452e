// libFuzzer target of the printer setup files: any bytes read as a file of the
// current or the old layout (a heap block of exactly the file's size, so
// AddressSanitizer sees a read past it), and any printer written and read back.
#include "app/settings/PrinterSetupCodec_.h"
#include "tests/support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr std::size_t kNameMax = 256;

std::string UpToNul(const std::string& S) {
    return S.substr(0, S.find('\0'));
}

template <class THeader>
void CheckDecoded(std::span<const uint8_t> File, const std::optional<TPrinterConfig>& Config) {
    const std::size_t header = sizeof(THeader);
    if (File.size() < header) {
        FuzzRequire(!Config, "a file shorter than its header is refused");
        return;
    }
    int32_t n = 0;
    std::memcpy(&n, File.data() + offsetof(THeader, DeviceModeSize), sizeof n);
    const bool fits = n >= 0 && static_cast<std::size_t>(n) <= File.size() - header;
    FuzzRequire(Config.has_value() == fits, "the device mode must lie in the file");
    if (!Config)
        return;
    const auto name = [&](std::size_t Offset, std::size_t Field) {
        const char* p = reinterpret_cast<const char*>(File.data()) + Offset;
        return std::string(p, std::find(p, p + Field, '\0'));
    };
    FuzzRequire(Config->Device == name(offsetof(THeader, Device), sizeof THeader::Device) &&
                    Config->Driver == name(offsetof(THeader, Driver), sizeof THeader::Driver) &&
                    Config->Port == name(offsetof(THeader, Port), sizeof THeader::Port),
                "names up to their NUL, within their field");
    FuzzRequire(std::equal(Config->DeviceMode.begin(), Config->DeviceMode.end(),
                           File.begin() + static_cast<std::ptrdiff_t>(header),
                           File.begin() + static_cast<std::ptrdiff_t>(header) + n),
                "device mode as stored");
}

void Decode(FuzzedDataProvider& In, bool Old) {
    const std::vector<uint8_t> bytes = In.ConsumeRemainingBytes<uint8_t>();
    const std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), block.get());
    const std::span<const uint8_t> file(block.get(), bytes.size());
    if (Old)
        CheckDecoded<TPrinterSetupHeaderOld>(file, DecodePrinterSetupOld(file));
    else
        CheckDecoded<TPrinterSetupHeader>(file, DecodePrinterSetup(file));
}

void RoundTrip(FuzzedDataProvider& In) {
    TPrinterConfig config;
    config.Device = In.ConsumeRandomLengthString(300);
    config.Driver = In.ConsumeRandomLengthString(300);
    config.Port = In.ConsumeRandomLengthString(300);
    const auto size = In.ConsumeIntegralInRange<int32_t>(-4, 2048);
    config.DeviceMode = In.ConsumeRemainingBytes<uint8_t>();

    const std::vector<uint8_t> file = EncodePrinterSetup(config, size);
    const std::size_t n = static_cast<std::size_t>(std::max(size, 0));
    FuzzRequire(file.size() == sizeof(TPrinterSetupHeader) + n, "header and device mode only");
    const std::optional<TPrinterConfig> back = DecodePrinterSetup(file);
    FuzzRequire(back.has_value(), "a written file reads back");
    FuzzRequire(back->Device == UpToNul(config.Device.substr(0, kNameMax)) &&
                    back->Driver == UpToNul(config.Driver.substr(0, kNameMax)) &&
                    back->Port == UpToNul(config.Port.substr(0, kNameMax)),
                "names cut to their field");
    std::vector<uint8_t> mode = config.DeviceMode;
    mode.resize(n, 0);
    FuzzRequire(back->DeviceMode == mode, "device mode cut or filled to its size");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider in(Data, Size);
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        Decode(in, false);
        break;
    case 1:
        Decode(in, true);
        break;
    default:
        RoundTrip(in);
    }
    return 0;
}

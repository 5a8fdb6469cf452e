#include "tests/app/support/FakePrinter.h"

bool TFakePrinter::CurrentPrinter(TPrinterConfig& Config) {
    Config = Current;
    return !Current.Device.empty();
}

int32_t TFakePrinter::FullDeviceModeSize(const std::string& Device) {
    const auto printer = Installed.find(Device);
    return printer == Installed.end() ? 0 : printer->second;
}

bool TFakePrinter::SelectPrinter(const TPrinterConfig& Config) {
    Calls.push_back("select " + Config.Device);
    Current = Config;
    return Installed.count(Config.Device) != 0;
}

void TFakePrinter::SetToDefault() {
    Calls.push_back("default");
    Current = Default;
}

void TFakePrinter::SetOrientation(TOrientation Orientation) {
    Calls.push_back(Orientation == TOrientation::Portrait ? "portrait" : "landscape");
}

std::optional<std::vector<uint8_t>> TMemSetupFiles::Read(const std::string& FileName) {
    const auto file = Files.find(FileName);
    if (file == Files.end() || Unreadable.count(FileName))
        return std::nullopt;
    return file->second;
}

bool TMemSetupFiles::Write(const std::string& FileName, const std::vector<uint8_t>& Bytes) {
    if (FailWrites)
        return false;
    Files[FileName] = Bytes;
    return true;
}

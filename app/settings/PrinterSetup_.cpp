#include "app/settings/PrinterSetup_.h"

#include "app/base/Tools_.h"

TPrinterSetup::TPrinterSetup(IPrinterObject& Printer, ISetupFiles& Files, IMessageBoxes& Boxes)
    : FPrinter(Printer), FFiles(Files), FBoxes(Boxes) {}

bool TPrinterSetup::SaveSetup(const std::string& FileName) {
    TPrinterConfig current;
    FPrinter.CurrentPrinter(current);
    const int32_t size = FPrinter.FullDeviceModeSize(current.Device);
    if (size <= 0 || !FFiles.Write(FileName, EncodePrinterSetup(current, size))) {
        ShowErrorOrWarn(FBoxes, sCannotSavePrinterConfig, false);
        return false;
    }
    return true;
}

bool TPrinterSetup::LoadSetup(const std::string& FileName) {
    const auto file = FFiles.Read(FileName);
    if (!file)
        return false;
    const auto config = DecodePrinterSetup(*file);
    return config && FPrinter.SelectPrinter(*config);
}

bool TPrinterSetup::LoadSetupOld(const std::string& FileName) {
    if (!FFiles.Exists(FileName))
        return true;
    const auto file = FFiles.Read(FileName);
    if (!file)
        return false;
    const auto config = DecodePrinterSetupOld(*file);
    return config && FPrinter.SelectPrinter(*config);
}

void TPrinterSetup::LoadGraphSetup(const std::string& FileName) {
    LoadKindSetup(FileName, kGraphKind);
}

void TPrinterSetup::LoadProtSetup(const std::string& FileName) {
    LoadKindSetup(FileName, kProtocolKind);
}

void TPrinterSetup::LoadKindSetup(const std::string& FileName, const char* Kind) {
    if (FPrinter.DefaultDevice().empty()) {
        ShowErrorOrWarn(FBoxes, sNoDefaultPrinter, false);
        return;
    }
    if (LoadSetup(FileName))
        return;
    ShowErrorOrWarn(FBoxes, Format(sCannotLoadPrinterConfig, (std::string(Kind) + "-").c_str()),
                    false);
    FPrinter.SetToDefault();
}

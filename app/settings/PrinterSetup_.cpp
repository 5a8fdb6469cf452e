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
    return LoadPrinterSetupFile(FPrinter, FFiles, FileName);
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

bool LoadPrinterSetupFile(IPrinterObject& Printer, ISetupFiles& Files,
                          const std::string& FileName) {
    const auto file = Files.Read(FileName);
    if (!file)
        return false;
    const auto config = DecodePrinterSetup(*file);
    return config && Printer.SelectPrinter(*config);
}

namespace {

void LoadKindSetup(IPrinterObject& Printer, ISetupFiles& Files, IMessageBoxes& Boxes,
                   const std::string& FileName, const char* Kind) {
    if (Printer.DefaultDevice().empty()) {
        ShowErrorOrWarn(Boxes, sNoDefaultPrinter, false);
        return;
    }
    if (LoadPrinterSetupFile(Printer, Files, FileName))
        return;
    ShowErrorOrWarn(Boxes, Format(sCannotLoadPrinterConfig, (std::string(Kind) + "-").c_str()),
                    false);
    Printer.SetToDefault();
}

} // namespace

void LoadGraphSetup(IPrinterObject& Printer, ISetupFiles& Files, IMessageBoxes& Boxes,
                    const std::string& FileName) {
    LoadKindSetup(Printer, Files, Boxes, FileName, kGraphKind);
}

void LoadProtSetup(IPrinterObject& Printer, ISetupFiles& Files, IMessageBoxes& Boxes,
                   const std::string& FileName) {
    LoadKindSetup(Printer, Files, Boxes, FileName, kProtocolKind);
}

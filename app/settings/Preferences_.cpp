#include "app/settings/Preferences_.h"

#include "app/base/Tools_.h"
#include "app/settings/PreferencesValues_.h"

TPreferences* gPreferences = nullptr;

std::string IncludeTrailingBackslash(std::string Dir) {
    if (Dir.empty() || Dir.back() != '\\')
        Dir += '\\';
    return Dir;
}

namespace {

const TMarginValues& MarginValuesOf(TPrintKind Kind) {
    return Kind == TPrintKind::Protocol ? kProtMarginValues : kGraphMarginValues;
}

} // namespace

TPreferences::TPreferences(IRegistryStore& Registry, IMessageBoxes& Boxes, IPrefPlatform& Platform,
                           IPrinterObject& Printer, ISetupFiles& Files)
    : FRegistry(Registry), FBoxes(Boxes), FPlatform(Platform), FPrinter(Printer), FFiles(Files) {}

void TPreferences::Load() {
    TextSize = ReadValue(FRegistry, kTextSize);
    AutoPrint = ReadValue(FRegistry, kAutoPrint);
    KeepWindow = ReadValue(FRegistry, kKeepWindow);
    AutoConnect = ReadValue(FRegistry, kAutoConn);
    AutoRestore = ReadValue(FRegistry, kAutoRest);
    AddRecTree = ReadValue(FRegistry, kAddRecTree);
    const std::string programTemp = DefaultTempDir();
    TempFileDir = programTemp;
    RegReadStr(FRegistry, kRegEnvironment, kTempFileDirName, programTemp, TempFileDir);
    CheckTempDir(TempFileDir, false);

    LoadPrinters();

    SetFactoryGraphDefaults(GraphDefaults);
    ReadGraphDefaults(FRegistry, GraphDefaults);
}

void TPreferences::Store() {
    WriteValue(FRegistry, kTextSize, TextSize);
    // Without a printer AutoPrint is false for the run only, and cannot be
    // changed: the stored choice stays for the next run with a printer.
    if (PrinterSetup)
        WriteValue(FRegistry, kAutoPrint, AutoPrint);
    WriteValue(FRegistry, kKeepWindow, KeepWindow);
    WriteValue(FRegistry, kAutoConn, AutoConnect);
    WriteValue(FRegistry, kAutoRest, AutoRestore);
    WriteValue(FRegistry, kAddRecTree, AddRecTree);
    // The corrected folder is the one stored.
    CheckTempDir(TempFileDir, true);
    RegWriteStr(FRegistry, kRegEnvironment, kTempFileDirName, TempFileDir);
    StoreGraphDefaults();
}

void TPreferences::StoreGraphDefaults() {
    WriteGraphDefaults(FRegistry, GraphDefaults);
}

void TPreferences::CheckTempDir(std::string& Dir, bool ShowMessage) {
    if (FPlatform.DirectoryExists(Dir)) {
        Dir = IncludeTrailingBackslash(Dir);
        return;
    }
    const std::string programTemp = DefaultTempDir();
    // Recording files and printer setups must not go to a folder that is not there.
    if (!FPlatform.DirectoryExists(programTemp) && !FPlatform.CreateDir(programTemp)) {
        Dir = FPlatform.SystemTempDir();
        ShowErrorOrWarn(FBoxes, Format(sTempDirNotCreated, programTemp.c_str(), Dir.c_str()),
                        false);
        return;
    }
    Dir = programTemp;
    if (ShowMessage)
        ShowErrorOrWarn(FBoxes, Format(sTempDirNotExist, Dir.c_str()), false);
}

std::string TPreferences::DefaultTempDir() {
    return FPlatform.ProgramDir() + "Temp\\";
}

TPageMargins TPreferences::LoadPageMargins(TPrintKind Kind) {
    const TMarginValues& v = MarginValuesOf(Kind);
    TRect m;
    // Kept as stored; a margin beyond the page would leave nothing to print on.
    m.Left = ClampValue(v.Left, ReadValue(FRegistry, v.Left));
    m.Top = ClampValue(v.Top, ReadValue(FRegistry, v.Top));
    m.Right = ClampValue(v.Right, ReadValue(FRegistry, v.Right));
    m.Bottom = ClampValue(v.Bottom, ReadValue(FRegistry, v.Bottom));
    const bool storedInch = ReadValue(FRegistry, v.InchUnit);
    const bool inch = FPlatform.IsInchLocale();
    ConvertMargins(m, inch, storedInch);
    return {m.Left, m.Top, m.Right, m.Bottom, inch};
}

void TPreferences::StorePageMargins(TPrintKind Kind) {
    const TMarginValues& v = MarginValuesOf(Kind);
    const TPageMargins& m = Margins(Kind);
    WriteValue(FRegistry, v.Left, m.Left);
    WriteValue(FRegistry, v.Top, m.Top);
    WriteValue(FRegistry, v.Right, m.Right);
    WriteValue(FRegistry, v.Bottom, m.Bottom);
    WriteValue(FRegistry, v.InchUnit, m.InchUnit);
}

void TPreferences::LoadPrinters() {
    if (FPrinter.DefaultDevice().empty()) {
        AutoPrint = false;
        return;
    }
    PrinterSetup = std::make_unique<TPrinterSetup>(FPrinter, FFiles, FBoxes);
    LoadStandardSetup(TPrintKind::Protocol);
    LoadStandardSetup(TPrintKind::Graph);
}

void TPreferences::LoadStandardSetup(TPrintKind Kind) {
    const bool prot = Kind == TPrintKind::Protocol;
    const std::string cfg = TempFileDir + (prot ? kPrintProtCfg : kPrintGraphCfg);
    if (FFiles.Exists(cfg)) {
        if (!PrinterSetup->LoadSetup(cfg) && !PrinterSetup->LoadSetupOld(cfg)) {
            const std::string kind = std::string(prot ? kProtocolKind : kGraphKind) + "-";
            ShowErrorOrWarn(FBoxes, Format(sCannotLoadPrinterConfig, kind.c_str()), false);
            FPrinter.SetToDefault();
        }
    } else {
        FPrinter.SetOrientation(prot ? TOrientation::Portrait : TOrientation::Landscape);
    }
    Margins(Kind) = LoadPageMargins(Kind);
    // Both files are written at every start, so the printer of the current work
    // starts as the standard one.
    PrinterSetup->SaveSetup(cfg);
    PrinterSetup->SaveSetup(TempFileDir + (prot ? kPrintProtTmp : kPrintGraphTmp));
}

void TPreferences::LoadPrinterSetup(bool Protocol, const std::string& FileName) {
    (Protocol ? LoadProtSetup : LoadGraphSetup)(FPrinter, FFiles, FBoxes, FileName);
}

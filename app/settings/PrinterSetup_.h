// The two printer choices of the application (protocols and graphs): the
// current printer of the platform's printer object saved into a setup file and
// selected again from one.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/settings/PrinterSetupCodec_.h"
#include "app/settings/PrinterSetupFiles_.h"

#include <cstdint>
#include <string>

// In the temporary-files folder: the standard printers chosen in the preferences
// and the printers of the current work.
inline constexpr char kPrintProtCfg[] = "PrintProt.cfg";
inline constexpr char kPrintGraphCfg[] = "PrintGraph.cfg";
inline constexpr char kPrintProtTmp[] = "PrintProt.tmp";
inline constexpr char kPrintGraphTmp[] = "PrintGraph.tmp";

inline constexpr char sCannotSavePrinterConfig[] = "Cannot save printer configuration.";
// Formatted with the kind followed by "-".
inline constexpr char sCannotLoadPrinterConfig[] =
    "Cannot load %sPrinter configuration.\rPrinter set to default. If exists.";
inline constexpr char sNoDefaultPrinter[] = "There is no default printer currently selected.";
inline constexpr char kGraphKind[] = "Graph";
inline constexpr char kProtocolKind[] = "Protocol";

enum class TOrientation { Portrait, Landscape };

// The platform's printer object: the one current printer that printing uses.
class IPrinterObject {
public:
    // The profile entry "device" of section "Windows" ("name,driver,port");
    // empty when the machine has no default printer.
    virtual std::string DefaultDevice() = 0;
    // The current printer (the default one until another is selected) with a
    // copy of its device mode; false when there is none.
    virtual bool CurrentPrinter(TPrinterConfig& Config) = 0;
    // The size of the named printer's full device mode as its driver gives it;
    // 0 when the printer cannot be opened.
    virtual int32_t FullDeviceModeSize(const std::string& Device) = 0;
    // Makes Config the current printer; false when it cannot be used.
    virtual bool SelectPrinter(const TPrinterConfig& Config) = 0;
    // The default printer becomes the current one.
    virtual void SetToDefault() = 0;
    virtual void SetOrientation(TOrientation Orientation) = 0;

protected:
    ~IPrinterObject() = default;
};

class TPrinterSetup {
public:
    TPrinterSetup(IPrinterObject& Printer, ISetupFiles& Files, IMessageBoxes& Boxes);
    TPrinterSetup(const TPrinterSetup&) = delete;
    TPrinterSetup& operator=(const TPrinterSetup&) = delete;

    // Saves the current printer; a printer that cannot be opened or a file that
    // cannot be written is reported ("Cannot save printer configuration.").
    bool SaveSetup(const std::string& FileName);
    // Selects the printer of a file in the current layout; false (nothing
    // reported) when the file is missing or unreadable or the printer unusable.
    bool LoadSetup(const std::string& FileName);
    // The same for the old layout; a missing file is skipped (true).
    bool LoadSetupOld(const std::string& FileName);

private:
    IPrinterObject& FPrinter;
    ISetupFiles& FFiles;
    IMessageBoxes& FBoxes;
};

// Selects the printer of a setup file in the current layout; false when the
// file is missing or unreadable or the printer unusable.
bool LoadPrinterSetupFile(IPrinterObject& Printer, ISetupFiles& Files, const std::string& FileName);
// The same with the user's messages: none without a default printer; a setup
// that cannot be loaded is reported and the default printer selected. Free of
// any setup object, which exists only with a default printer.
void LoadGraphSetup(IPrinterObject& Printer, ISetupFiles& Files, IMessageBoxes& Boxes,
                    const std::string& FileName);
void LoadProtSetup(IPrinterObject& Printer, ISetupFiles& Files, IMessageBoxes& Boxes,
                   const std::string& FileName);

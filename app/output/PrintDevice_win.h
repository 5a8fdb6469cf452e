// The printer as printing uses it: the current printer of the printer object
// (device, driver, port and an owned copy of its DEVMODE), its device context
// made when first needed, and a print job that is aborted unless it ends.
#pragma once

#include "app/output/PageMetrics_.h"
#include "app/settings/PrinterSetup_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

inline constexpr char sPrinterNotAvailable[] = "Selected Printer not available.";
inline constexpr char sPrintFailed[] = "Printing failed.";

class EPrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TPrintDevice {
public:
    // Takes the printer object's current printer as it stands now.
    explicit TPrintDevice(IPrinterObject& Printer);
    TPrintDevice(const TPrintDevice&) = delete;
    TPrintDevice& operator=(const TPrintDevice&) = delete;

    const std::string& Device() const { return FConfig.Device; }
    // Raises EPrintError when the printer cannot be used.
    HDC DC();
    TPrinterMetrics Metrics();

private:
    TPrinterConfig FConfig;
    TScoped<HDC, DeleteDC> FDC;
};

// One document on a print device: begun by the constructor, pages started and
// ended by NewPage, finished by End; a job left without End (an exception on
// the way) is aborted, so no half document stays in the spooler.
class TPrintJob {
public:
    // Raises EPrintError when the document cannot be begun.
    TPrintJob(TPrintDevice& Device, const std::string& Title);
    ~TPrintJob();
    TPrintJob(const TPrintJob&) = delete;
    TPrintJob& operator=(const TPrintJob&) = delete;

    // Ends the page begun before (when there is one) and begins the next.
    void NewPage();
    void End();

private:
    void Check(int Result);

    HDC FDC;
    bool FOpen = true;
    bool FInPage = false;
};

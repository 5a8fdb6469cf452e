// The printer object and the setup files for model tests: a printer object
// that records what it is asked, and setup files kept in memory.
#pragma once

#include "app/settings/PrinterSetup_.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TFakePrinter : public IPrinterObject {
public:
    std::string DefaultDevice() override { return ProfileDevice; }
    bool CurrentPrinter(TPrinterConfig& Config) override;
    int32_t FullDeviceModeSize(const std::string& Device) override;
    bool SelectPrinter(const TPrinterConfig& Config) override;
    void SetToDefault() override;
    void SetOrientation(TOrientation Orientation) override;

    // The profile entry; empty: no default printer.
    std::string ProfileDevice;
    // What SetToDefault selects.
    TPrinterConfig Default;
    // Installed printers by device name, with their full device mode sizes;
    // only these can be opened and used.
    std::map<std::string, int32_t> Installed;
    TPrinterConfig Current;
    // What was asked, in order: "select NAME", "default", "portrait", "landscape".
    std::vector<std::string> Calls;
};

class TMemSetupFiles : public ISetupFiles {
public:
    bool Exists(const std::string& FileName) override { return Files.count(FileName) != 0; }
    std::optional<std::vector<uint8_t>> Read(const std::string& FileName) override;
    bool Write(const std::string& FileName, const std::vector<uint8_t>& Bytes) override;

    std::map<std::string, std::vector<uint8_t>> Files;
    std::set<std::string> Unreadable; // exist but cannot be read
    bool FailWrites = false;
};

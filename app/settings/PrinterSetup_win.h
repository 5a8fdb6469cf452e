// The printer object of the program: the one current printer (device, driver,
// port and a movable global block with its DEVMODE) that printing uses. It
// starts as the default printer of the profile entry "device" of section
// "Windows".
#pragma once

#include "app/settings/PrinterSetup_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <cstddef>

// True when Block holds a whole DEVMODE: at least its fixed fields, and its
// public and driver-private parts within Size bytes as its own sizes give them.
bool DeviceModeFits(const void* Block, std::size_t Size);

class TWinPrinter : public IPrinterObject {
public:
    TWinPrinter() = default;
    TWinPrinter(const TWinPrinter&) = delete;
    TWinPrinter& operator=(const TWinPrinter&) = delete;

    std::string DefaultDevice() override;
    bool CurrentPrinter(TPrinterConfig& Config) override;
    int32_t FullDeviceModeSize(const std::string& Device) override;
    // Takes the printer and a copy of its device mode, then asks for a device
    // context; a device mode that is not whole is refused before.
    bool SelectPrinter(const TPrinterConfig& Config) override;
    // The printer of the profile entry with the device mode its driver gives
    // (none when it cannot be opened).
    void SetToDefault() override;
    void SetOrientation(TOrientation Orientation) override;

private:
    using TGlobalBlock = TScoped<HGLOBAL, GlobalFree>;

    void SelectDefaultOnce();

    bool FSelected = false;
    std::string FDevice;
    std::string FDriver;
    std::string FPort;
    TGlobalBlock FDeviceMode;
    std::size_t FDeviceModeSize = 0;
};

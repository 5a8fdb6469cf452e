// The printer setup files ("PrintProt.cfg", "PrintGraph.cfg" and their ".tmp"
// twins): a printer's device, driver and port names followed by its device mode
// block, stored unchanged. Two layouts: the current one with 257-byte names and
// the old one with 33-byte names, which is only read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A printer as the platform's printer object names it, with its device mode
// (the platform's DEVMODE: public and driver-private part).
struct TPrinterConfig {
    std::string Device;
    std::string Driver;
    std::string Port;
    std::vector<uint8_t> DeviceMode;
    bool operator==(const TPrinterConfig&) const = default;
};

#pragma pack(push, 1)

// The header of a setup file; the device mode's DeviceModeSize bytes follow it.
struct TPrinterSetupHeader {
    char Device[257]; // zero-terminated
    char Driver[257];
    char Port[257];
    uint8_t Padding;
    int32_t DeviceModeSize;
};

struct TPrinterSetupHeaderOld {
    char Device[33];
    char Driver[33];
    char Port[33];
    uint8_t Padding;
    int32_t DeviceModeSize;
};

#pragma pack(pop)

static_assert(sizeof(TPrinterSetupHeader) == 776);
static_assert(offsetof(TPrinterSetupHeader, Driver) == 257);
static_assert(offsetof(TPrinterSetupHeader, Port) == 514);
static_assert(offsetof(TPrinterSetupHeader, DeviceModeSize) == 772);
static_assert(sizeof(TPrinterSetupHeaderOld) == 104);
static_assert(offsetof(TPrinterSetupHeaderOld, Driver) == 33);
static_assert(offsetof(TPrinterSetupHeaderOld, Port) == 66);
static_assert(offsetof(TPrinterSetupHeaderOld, DeviceModeSize) == 100);

// The file of Config in the current layout with a device mode of DeviceModeSize
// bytes (the size the printer's driver gives): the block's bytes, cut to that
// size or filled up with zeros, never read beyond its end. Names longer than
// 256 characters are cut.
std::vector<uint8_t> EncodePrinterSetup(const TPrinterConfig& Config, int32_t DeviceModeSize);

// The printer of a file in the current or the old layout; none when the file is
// shorter than its header or than the device mode size it gives, or that size is
// negative.
std::optional<TPrinterConfig> DecodePrinterSetup(std::span<const uint8_t> File);
std::optional<TPrinterConfig> DecodePrinterSetupOld(std::span<const uint8_t> File);

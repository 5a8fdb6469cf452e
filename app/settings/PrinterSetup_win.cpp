#include "app/settings/PrinterSetup_win.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using TPrinterHandle = TScoped<HANDLE, ClosePrinter>;

// The fixed fields every DEVMODE has, up to its field mask.
constexpr std::size_t kDeviceModeFixed = offsetof(DEVMODEA, dmFields) + sizeof(DWORD);

// A global block locked while the scope lasts.
class TGlobalLock {
public:
    explicit TGlobalLock(HGLOBAL Block) : FBlock(Block), FData(GlobalLock(Block)) {}
    TGlobalLock(const TGlobalLock&) = delete;
    TGlobalLock& operator=(const TGlobalLock&) = delete;
    ~TGlobalLock() {
        if (FData)
            GlobalUnlock(FBlock);
    }
    void* Get() const { return FData; }

private:
    HGLOBAL FBlock;
    void* FData;
};

// The printer functions take names as writable texts.
std::vector<char> Writable(const std::string& Text) {
    std::vector<char> text(Text.begin(), Text.end());
    text.push_back('\0');
    return text;
}

TPrinterHandle OpenPrinterByName(std::vector<char>& Device) {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(Device.data(), &printer, nullptr))
        return TPrinterHandle();
    return TPrinterHandle(printer);
}

// The part of a "name,driver,port" entry from At; At moves past its comma.
std::string Part(const std::string& Text, std::size_t& At) {
    const std::size_t end = std::min(Text.find(',', At), Text.size());
    std::string part = At < Text.size() ? Text.substr(At, end - At) : std::string();
    At = end + 1;
    return part;
}

} // namespace

bool DeviceModeFits(const void* Block, std::size_t Size) {
    if (!Block || Size < kDeviceModeFixed)
        return false;
    DEVMODEA mode;
    std::memcpy(&mode, Block, kDeviceModeFixed);
    return mode.dmSize >= kDeviceModeFixed && std::size_t{mode.dmSize} + mode.dmDriverExtra <= Size;
}

std::string TWinPrinter::DefaultDevice() {
    char entry[255] = {};
    GetProfileStringA("Windows", "device", "", entry, sizeof entry);
    return entry;
}

bool TWinPrinter::CurrentPrinter(TPrinterConfig& Config) {
    SelectDefaultOnce();
    Config.Device = FDevice;
    Config.Driver = FDriver;
    Config.Port = FPort;
    Config.DeviceMode.clear();
    if (FDeviceMode) {
        const TGlobalLock lock(FDeviceMode.Get());
        if (const auto* data = static_cast<const uint8_t*>(lock.Get()))
            Config.DeviceMode.assign(data, data + FDeviceModeSize);
    }
    return !FDevice.empty();
}

int32_t TWinPrinter::FullDeviceModeSize(const std::string& Device) {
    std::vector<char> device = Writable(Device);
    const TPrinterHandle printer = OpenPrinterByName(device);
    if (!printer)
        return 0;
    const LONG size =
        DocumentPropertiesA(nullptr, printer.Get(), device.data(), nullptr, nullptr, 0);
    return size > 0 ? size : 0;
}

bool TWinPrinter::SelectPrinter(const TPrinterConfig& Config) {
    const std::size_t size = Config.DeviceMode.size();
    if (!DeviceModeFits(Config.DeviceMode.data(), size))
        return false;
    TGlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!block)
        return false;
    {
        const TGlobalLock lock(block.Get());
        if (!lock.Get())
            return false;
        std::memcpy(lock.Get(), Config.DeviceMode.data(), size);
    }
    FSelected = true;
    FDevice = Config.Device;
    FDriver = Config.Driver;
    FPort = Config.Port;
    FDeviceMode = std::move(block);
    FDeviceModeSize = size;

    const TGlobalLock lock(FDeviceMode.Get());
    // A device context made only to see that the printer takes this setup.
    const TScoped<HDC, DeleteDC> dc(CreateDCA(FDriver.c_str(), FDevice.c_str(), nullptr,
                                              static_cast<const DEVMODEA*>(lock.Get())));
    return static_cast<bool>(dc);
}

void TWinPrinter::SetToDefault() {
    const std::string entry = DefaultDevice();
    std::size_t at = 0;
    FSelected = true;
    FDevice = Part(entry, at);
    FDriver = Part(entry, at);
    FPort = Part(entry, at);
    FDeviceMode.Reset();
    FDeviceModeSize = 0;

    const int32_t size = FullDeviceModeSize(FDevice);
    if (size <= 0)
        return;
    std::vector<char> device = Writable(FDevice);
    const TPrinterHandle printer = OpenPrinterByName(device);
    if (!printer)
        return;
    TGlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size)));
    if (!block)
        return;
    {
        const TGlobalLock lock(block.Get());
        if (!lock.Get() ||
            DocumentPropertiesA(nullptr, printer.Get(), device.data(),
                                static_cast<DEVMODEA*>(lock.Get()), nullptr, DM_OUT_BUFFER) != IDOK)
            return;
    }
    FDeviceMode = std::move(block);
    FDeviceModeSize = static_cast<std::size_t>(size);
}

void TWinPrinter::SetOrientation(TOrientation Orientation) {
    SelectDefaultOnce();
    if (!FDeviceMode)
        return;
    const TGlobalLock lock(FDeviceMode.Get());
    auto* mode = static_cast<DEVMODEA*>(lock.Get());
    if (!DeviceModeFits(mode, FDeviceModeSize) ||
        mode->dmSize < offsetof(DEVMODEA, dmOrientation) + sizeof mode->dmOrientation)
        return;
    mode->dmOrientation = static_cast<short>(
        Orientation == TOrientation::Portrait ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE);
    mode->dmFields |= DM_ORIENTATION;
}

void TWinPrinter::SelectDefaultOnce() {
    if (!FSelected)
        SetToDefault();
}

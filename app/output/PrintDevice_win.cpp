#include "app/output/PrintDevice_win.h"

TPrintDevice::TPrintDevice(IPrinterObject& Printer) {
    Printer.CurrentPrinter(FConfig);
}

HDC TPrintDevice::DC() {
    if (FDC)
        return FDC.Get();
    if (FConfig.Device.empty())
        throw EPrintError(sPrinterNotAvailable);
    // A copy the driver may read while the context lives, aligned for DEVMODE.
    std::vector<DEVMODEA> mode;
    const DEVMODEA* devMode = nullptr;
    if (!FConfig.DeviceMode.empty()) {
        mode.resize((FConfig.DeviceMode.size() + sizeof(DEVMODEA) - 1) / sizeof(DEVMODEA));
        std::memcpy(mode.data(), FConfig.DeviceMode.data(), FConfig.DeviceMode.size());
        devMode = mode.data();
    }
    FDC.Reset(CreateDCA(FConfig.Driver.c_str(), FConfig.Device.c_str(), nullptr, devMode));
    if (!FDC)
        throw EPrintError(sPrinterNotAvailable);
    return FDC.Get();
}

TPrinterMetrics TPrintDevice::Metrics() {
    const HDC dc = DC();
    return {GetDeviceCaps(dc, PHYSICALWIDTH),   GetDeviceCaps(dc, PHYSICALHEIGHT),
            GetDeviceCaps(dc, LOGPIXELSX),      GetDeviceCaps(dc, LOGPIXELSY),
            GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY)};
}

TPrintJob::TPrintJob(TPrintDevice& Device, const std::string& Title) : FDC(Device.DC()) {
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = Title.c_str();
    if (StartDocA(FDC, &info) <= 0) {
        FOpen = false;
        throw EPrintError(sPrintFailed);
    }
    NewPage();
}

TPrintJob::~TPrintJob() {
    if (FOpen)
        AbortDoc(FDC);
}

void TPrintJob::Check(int Result) {
    if (Result <= 0)
        throw EPrintError(sPrintFailed);
}

void TPrintJob::NewPage() {
    if (FInPage) {
        FInPage = false;
        Check(EndPage(FDC));
    }
    Check(StartPage(FDC));
    FInPage = true;
}

void TPrintJob::End() {
    if (FInPage) {
        FInPage = false;
        Check(EndPage(FDC));
    }
    FOpen = false;
    Check(EndDoc(FDC));
}

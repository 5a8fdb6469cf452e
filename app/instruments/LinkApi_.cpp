#include "app/instruments/LinkApi_.h"

#include <algorithm>

void CloseInterface(ILinkApi& Api, IMessageBoxes& Boxes, int32_t InterfaceIndex) {
    const TInterfaceIndex index(InterfaceIndex);
    if (index.Serial())
        Api.CloseCom(index.Device().Value());
    else if (index.Usb())
        Api.CloseUSBDevice(index.Device().Value());
    else
        FatalError(Boxes, "Invalid Comport in CloseInterface!");
}

uint16_t UsbProductId(ILinkApi& Link, TDevIndex DeviceIndex) {
    constexpr int32_t kPathSize = 256;
    char path[kPathSize + 1] = {};
    int32_t size = kPathSize;
    if (Link.GetDevicePath(DeviceIndex, path, &size) != 0)
        return 0;
    // The path ends at the length the library gives, never past the buffer.
    path[std::clamp(size, 0, kPathSize)] = '\0';
    return Link.GetPIDFromDevicePath(path);
}

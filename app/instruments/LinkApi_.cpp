#include "app/instruments/LinkApi_.h"

void CloseInterface(ILinkApi& Api, IMessageBoxes& Boxes, int32_t InterfaceIndex) {
    if (InterfaceIndex >= 0 && InterfaceIndex <= 255)
        Api.CloseCom(InterfaceIndex + 1);
    else if (InterfaceIndex >= 256 && InterfaceIndex <= 511)
        Api.CloseUSBDevice(InterfaceIndex + 1);
    else
        FatalError(Boxes, "Invalid Comport in CloseInterface!");
}

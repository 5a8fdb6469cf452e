#include "link/core/USBLinks.h"

#include <cstring>

namespace {

bool NoHandle(void* Handle) {
    return Handle == nullptr || Handle == kNoUsbHandle;
}

} // namespace

TLinkResult TUSBLinks::InitializeDevice(void* Device, void* WinUsb, int* Index, int MaxEvents,
                                        int MaxEventData, const char* Path, int PathLen) {
    if (Index == nullptr)
        return errBuffer;
    if (*Index > TDeviceIndex::kLast || MaxEvents <= 0 || MaxEventData <= 0 || PathLen < 0 ||
        (Path == nullptr && PathLen > 0))
        return errParam;
    if (NoHandle(Device))
        return errBadHandle;
    if (NoHandle(WinUsb))
        return errBadUsbHandle;
    TDevTable& table = lib_.Table();
    const TDeviceIndex asked(*Index);
    const int key = asked.Usb() ? asked.UsbKey() : table.FreeUsbKey();
    // Keys above 256 would give an index that no export takes.
    if (!TDeviceIndex::ForUsbKey(key).Usb() || table.Hold(TDeviceIndex::ForUsbKey(key).Value())) {
        platform_.CloseHandles(Device, WinUsb);
        return errKeyInUse;
    }
    TUSBSettings s;
    s.Device = Device;
    s.WinUsb = WinUsb;
    s.Key = key;
    s.MaxEvents = MaxEvents;
    s.MaxEventData = MaxEventData;
    s.Path.assign(Path != nullptr ? Path : "", static_cast<std::size_t>(PathLen));
    std::unique_ptr<TUSBLinkObject> link;
    try {
        link = platform_.CreateUsb(s);
    } catch (...) {
        return errDevCreate;
    }
    if (!link || !table.AddUsb(key, std::move(link)))
        return errDevCreate;
    *Index = TDeviceIndex::ForUsbKey(key).Value();
    return 0;
}

TLinkResult TUSBLinks::GetDevicePath(int Index, char* Buf, int* Size) {
    if (!TDeviceIndex(Index).Usb())
        return errParam;
    const TLinkHold held = lib_.Table().Hold(Index);
    const auto* link = dynamic_cast<const TUSBLinkObject*>(held.get());
    if (link == nullptr)
        return errNotOpen;
    if (Buf == nullptr || Size == nullptr)
        return errBuffer;
    const std::string& path = link->DevicePath();
    if (*Size < 0 || static_cast<std::size_t>(*Size) < path.size())
        return errBuffer;
    std::memcpy(Buf, path.data(), path.size());
    *Size = static_cast<int>(path.size());
    return 0;
}

TLinkResult TUSBLinks::CloseUSBDevice(int Index) {
    if (!TDeviceIndex(Index).Usb())
        return errParam;
    // Not open: the code of every other export, the serial close's included.
    return lib_.Table().Take(Index) ? 0 : errNotOpen;
}

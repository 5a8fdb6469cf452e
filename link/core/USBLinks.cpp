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
    if (*Index > kUsbIndexBase + kUsbKeys || MaxEvents <= 0 || MaxEventData <= 0 || PathLen < 0 ||
        (Path == nullptr && PathLen > 0))
        return errParam;
    if (NoHandle(Device))
        return errBadHandle;
    if (NoHandle(WinUsb))
        return errBadUsbHandle;
    TNPDevList& list = lib_.Table().Usb();
    const int key = *Index > kUsbIndexBase ? *Index - kUsbIndexBase : list.FreeKey();
    // Keys above 256 would give an index that no export takes.
    if (key < 1 || key > kUsbKeys || list.FindByKey(key) != nullptr) {
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
    if (!link || list.Add(key, std::move(link)) < 0)
        return errDevCreate;
    *Index = kUsbIndexBase + key;
    return 0;
}

TLinkResult TUSBLinks::GetDevicePath(int Index, char* Buf, int* Size) {
    if (!TDevTable::IsUsbIndex(Index))
        return errParam;
    const auto* link = dynamic_cast<const TUSBLinkObject*>(lib_.Table().LinkByIndex(Index));
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
    if (lib_.Table().CheckDevIndex(Index) != 0)
        return errParam;
    return lib_.Table().Usb().Remove(Index - kUsbIndexBase) ? 0 : errNotOpen;
}

#include "link/usb/USBChannel_win.h"

std::size_t TUSBChannel::Append(const std::uint8_t* Data, std::size_t Count) {
    TLock lock(FLock);
    return FBytes.Append(Data, Count);
}

int TUSBChannel::Take(std::uint8_t* Buf, int Max) {
    if (Buf == nullptr || Max <= 0)
        return 0;
    TLock lock(FLock);
    return static_cast<int>(FBytes.Take(Buf, static_cast<std::size_t>(Max)));
}

void TUSBChannel::MoveAllTo(std::vector<std::uint8_t>& Out) {
    TLock lock(FLock);
    FBytes.MoveAllTo(Out);
}

void TUSBChannel::Clear() {
    TLock lock(FLock);
    FBytes.Clear();
}

std::size_t TUSBChannel::Size() {
    TLock lock(FLock);
    return FBytes.Size();
}

std::uint64_t TUSBChannel::Dropped() {
    TLock lock(FLock);
    return FBytes.Dropped();
}

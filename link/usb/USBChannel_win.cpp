#include "link/usb/USBChannel_win.h"

#include <algorithm>

std::size_t TUSBChannel::Append(const std::uint8_t* Data, std::size_t Count) {
    TLock lock(FLock);
    if (Data != nullptr)
        FBytes.insert(FBytes.end(), Data, Data + Count);
    return FBytes.size();
}

int TUSBChannel::Take(std::uint8_t* Buf, int Max) {
    if (Buf == nullptr || Max <= 0)
        return 0;
    TLock lock(FLock);
    const std::size_t count = std::min(FBytes.size(), static_cast<std::size_t>(Max));
    std::copy_n(FBytes.begin(), count, Buf);
    FBytes.erase(FBytes.begin(), FBytes.begin() + static_cast<std::ptrdiff_t>(count));
    return static_cast<int>(count);
}

void TUSBChannel::MoveAllTo(std::vector<std::uint8_t>& Out) {
    TLock lock(FLock);
    Out.insert(Out.end(), FBytes.begin(), FBytes.end());
    FBytes.clear();
}

void TUSBChannel::Clear() {
    TLock lock(FLock);
    FBytes.clear();
}

std::size_t TUSBChannel::Size() {
    TLock lock(FLock);
    return FBytes.size();
}

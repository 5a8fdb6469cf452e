// The two numbers that name a link. The libraries take the device index:
// 1..256 a serial link (its COM port number), 257..512 a USB link (256 plus
// its key 1..256). The application keeps the interface index, the device
// index less one: 0..255 serial, 256..511 USB. Each converts to the other here
// and nowhere else.
#pragma once

#include "QuorxComDllH.h"

#include <compare>
#include <cstdint>

class TDeviceIndex {
public:
    static constexpr TDevIndex kFirstSerial = 1;
    static constexpr TDevIndex kLastSerial = 256;
    static constexpr TDevIndex kUsbBase = 256; // a USB link is kUsbBase + its key
    static constexpr int32_t kLastUsbKey = 256;
    static constexpr TDevIndex kLast = kUsbBase + kLastUsbKey;
    // No USB index: InitializeDevice chooses a free key for it.
    static constexpr TDevIndex kAnyUsb = kUsbBase;

    constexpr explicit TDeviceIndex(TDevIndex Value) : FValue(Value) {}
    static constexpr TDeviceIndex ForCom(int32_t ComNumber) { return TDeviceIndex(ComNumber); }
    static constexpr TDeviceIndex ForUsbKey(int32_t Key) { return TDeviceIndex(kUsbBase + Key); }

    constexpr TDevIndex Value() const { return FValue; }
    constexpr bool Valid() const { return FValue >= kFirstSerial && FValue <= kLast; }
    constexpr bool Serial() const { return FValue >= kFirstSerial && FValue <= kLastSerial; }
    constexpr bool Usb() const { return FValue > kUsbBase && FValue <= kLast; }
    // The COM port number of a serial link, the key of a USB link.
    constexpr int32_t ComNumber() const { return FValue; }
    constexpr int32_t UsbKey() const { return FValue - kUsbBase; }

    constexpr auto operator<=>(const TDeviceIndex&) const = default;

private:
    TDevIndex FValue;
};

class TInterfaceIndex {
public:
    static constexpr int32_t kFirstSerial = 0;
    static constexpr int32_t kFirstUsb = 256;
    static constexpr int32_t kLast = 511;

    constexpr explicit TInterfaceIndex(int32_t Value) : FValue(Value) {}
    static constexpr TInterfaceIndex Of(TDeviceIndex Device) {
        return TInterfaceIndex(Device.Value() - 1);
    }

    constexpr int32_t Value() const { return FValue; }
    constexpr bool Valid() const { return FValue >= kFirstSerial && FValue <= kLast; }
    constexpr bool Serial() const { return FValue >= kFirstSerial && FValue < kFirstUsb; }
    constexpr bool Usb() const { return FValue >= kFirstUsb && FValue <= kLast; }
    constexpr TDeviceIndex Device() const { return TDeviceIndex(FValue + 1); }

    constexpr auto operator<=>(const TInterfaceIndex&) const = default;

private:
    int32_t FValue;
};

// The plain numbers that the exports take and the application's records hold.
constexpr int32_t InterfaceIndexOf(TDevIndex DeviceIndex) {
    return TInterfaceIndex::Of(TDeviceIndex(DeviceIndex)).Value();
}
constexpr TDevIndex DeviceIndexOf(int32_t InterfaceIndex) {
    return TInterfaceIndex(InterfaceIndex).Device().Value();
}

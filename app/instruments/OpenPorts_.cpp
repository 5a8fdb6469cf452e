#include "app/instruments/OpenPorts_.h"

#include "app/settings/PreferencesValues_.h"

namespace {

bool IsSerialIndex(int32_t InterfaceIndex) {
    return TInterfaceIndex(InterfaceIndex).Serial();
}

} // namespace

void TOpenComSet::Add(int32_t InterfaceIndex) {
    if (IsSerialIndex(InterfaceIndex))
        Bytes[static_cast<std::size_t>(InterfaceIndex / 8)] |=
            static_cast<uint8_t>(1u << (InterfaceIndex % 8));
}

bool TOpenComSet::Has(int32_t InterfaceIndex) const {
    return IsSerialIndex(InterfaceIndex) &&
           ((Bytes[static_cast<std::size_t>(InterfaceIndex / 8)] >> (InterfaceIndex % 8)) & 1u);
}

void StoreOpenPorts(IRegistryStore& Registry, const std::vector<int32_t>& InterfaceIndexes) {
    TOpenComSet set;
    for (int32_t index : InterfaceIndexes)
        set.Add(index);
    RegWriteBin(Registry, kRegEnvironment, kOpenPortsValue, set.Bytes.data(), TOpenComSet::kSize);
}

TOpenComSet ReadOpenPorts(IRegistryStore& Registry) {
    TOpenComSet set;
    RegReadBin(Registry, kRegEnvironment, kOpenPortsValue, set.Bytes.data(), TOpenComSet::kSize);
    return set;
}

void ReconnectOpenPorts(IRegistryStore& Registry, const TReopenComPort& ReopenComPort) {
    const TOpenComSet set = ReadOpenPorts(Registry);
    for (int32_t i = TInterfaceIndex::kFirstSerial; i < TInterfaceIndex::kFirstUsb;) {
        if (!set.Has(i)) {
            ++i;
            continue;
        }
        switch (ReopenComPort(DeviceIndexOf(i))) {
        case TReopenAnswer::Next:
            ++i;
            break;
        case TReopenAnswer::Retry:
            break;
        case TReopenAnswer::Stop:
            return;
        }
    }
}

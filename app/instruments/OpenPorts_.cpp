#include "app/instruments/OpenPorts_.h"

#include "app/settings/PreferencesValues_.h"

namespace {

bool IsSerialIndex(int32_t InterfaceIndex) {
    return InterfaceIndex >= 0 && InterfaceIndex < TOpenComSet::kSize * 8;
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
    int32_t i = 0;
    for (;;) {
        int32_t port = i + 1;
        if (set.Has(i))
            port = ReopenComPort(i + 1);
        if (port >= 256)
            return;
        i = port;
    }
}

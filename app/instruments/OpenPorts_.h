// The serial ports that had an instrument when the program last looked
// ("openedcom"), stored at connect, disconnect and close and connected again at
// start when the preference autoconn is on. The value lies in the environment
// key (kRegEnvironment).
#pragma once

#include "app/base/Registry_.h"
#include "common/LinkIndex.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

inline constexpr char kOpenPortsValue[] = "openedcom";

// A set of serial interface indexes 0..255 (COM1..COM256): bit i mod 8 of byte
// i div 8, as the registry value holds it.
class TOpenComSet {
public:
    static constexpr int32_t kSize = TInterfaceIndex::kFirstUsb / 8;

    // Indexes outside 0..255 (USB links) have no bit and are not stored.
    void Add(int32_t InterfaceIndex);
    bool Has(int32_t InterfaceIndex) const;

    std::array<uint8_t, kSize> Bytes{};
};

// Writes the set of the serial instruments' interface indexes (the instrument
// nodes of kind 0); an empty list clears the stored set.
void StoreOpenPorts(IRegistryStore& Registry, const std::vector<int32_t>& InterfaceIndexes);

// The stored set; empty when the value is missing (the empty set is written then).
TOpenComSet ReadOpenPorts(IRegistryStore& Registry);

// Where reconnecting goes on: the next port (after a connection or Ignore), the
// same port again (Retry) or nowhere (Abort).
enum class TReopenAnswer { Next, Retry, Stop };

// Connects the port with device index Port.
using TReopenComPort = std::function<TReopenAnswer(int32_t Port)>;

// Reopens every port of the stored set, COM1 first.
void ReconnectOpenPorts(IRegistryStore& Registry, const TReopenComPort& ReopenComPort);

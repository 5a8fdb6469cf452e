// Links on a two-wire bus: opening a serial port in bus mode at an
// instrument's address, and changing the address between transactions. The
// exports of the same names forward here.
#pragma once

#include "link/core/LinkLibrary.h"

#include <cstdint>

class TBusLinks {
public:
    explicit TBusLinks(TLinkLibrary& Lib) : lib_(Lib) {}

    // Reserved must be 1. On any failure the slot is empty.
    TLinkResult OpenComBEx(int Port, std::uint8_t Addr, int MaxEvents, int MaxEventData, int Baud,
                           std::uint8_t TwoStopBits, int RxQueueSize, int Reserved);
    TLinkResult OpenComB(int Port, std::uint8_t Addr, int MaxEvents, int MaxEventData) {
        return OpenComBEx(Port, Addr, MaxEvents, MaxEventData, 19200, 1, 0, 1);
    }
    // The low byte of Addr becomes the link's bus address.
    TLinkResult SetQuorxBAddr(int Index, int Addr);

private:
    TLinkLibrary& lib_;
};

// Links through a dial-up modem: opening with the modem's "AT" dialogue and
// its init string, the modem status, commands to the unconnected modem and
// the hang-up by DTR. The exports of the same names forward here.
#pragma once

#include "link/core/LinkLibrary.h"

#include <cstdint>

class TModemLinks {
public:
    TModemLinks(TLinkLibrary& Lib, IClock& Clock) : lib_(Lib), clock_(Clock) {}

    // Opens the port in modem mode, asks "AT" and, when the modem answers "OK"
    // or "0", sends the init string. On any failure the slot is empty.
    TLinkResult OpenComExModem(int Port, int MaxEvents, int MaxEventData, int Baud, int RxQueueSize,
                               const char* InitString);
    // Status := bit 0 ring, bit 1 carrier; serial links only.
    TLinkResult GetModemStatus(int Index, std::uint8_t* Status);
    // A command line to the modem while it is not connected; no answer is read.
    TLinkResult SendModemCommand(int Index, const char* Cmd);
    // Drops DTR until the carrier goes, then restores the line settings.
    TLinkResult ModemHangUp(int Index);

private:
    TLinkResult Dialogue(TLinkObject& Link, const char* InitString);
    // The link under Index when it is a modem link, else nil with Result set.
    TLinkHold ModemLink(int Index, TLinkResult& Result);

    TLinkLibrary& lib_;
    IClock& clock_;
};

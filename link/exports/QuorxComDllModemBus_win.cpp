// QuorxComDll's modem and bus exports: each runs the member of the same name
// of the modem or bus links under the export guard.
#include "common/ExportGuard.h"
#include "link/core/BusLinks.h"
#include "link/core/ModemLinks.h"
#include "link/exports/Hourglass_win.h"
#include "link/exports/QuorxComDll_win.h"
#include "link/serial/QCCom32_win.h"
#include "QuorxComDllH.h"

#include <windows.h>

namespace {

TModemLinks& Modem() {
    static TTickClock* clock = new TTickClock;
    static TModemLinks* modem = new TModemLinks(TheLinkLibrary(), *clock);
    return *modem;
}

TBusLinks& Bus() {
    static TBusLinks* bus = new TBusLinks(TheLinkLibrary());
    return *bus;
}

} // namespace

extern "C" {

TLinkResult QUORX_CALL OpenComExModem(int32_t Port, int32_t MaxEvents, int32_t MaxEventData,
                                      int32_t Baud, int32_t RxQueueSize, const char* InitString) {
    const THourglass wait;
    return GuardExport([&] {
        return Modem().OpenComExModem(Port, MaxEvents, MaxEventData, Baud, RxQueueSize, InitString);
    });
}

TLinkResult QUORX_CALL GetModemStatus(TDevIndex Index, uint8_t* Status) {
    return GuardExport([&] { return Modem().GetModemStatus(Index, Status); });
}

TLinkResult QUORX_CALL SendModemCommand(TDevIndex Index, const char* Cmd) {
    return GuardExport([&] { return Modem().SendModemCommand(Index, Cmd); });
}

TLinkResult QUORX_CALL ModemHangUp(TDevIndex Index) {
    const THourglass wait;
    return GuardExport([&] { return Modem().ModemHangUp(Index); });
}

TLinkResult QUORX_CALL OpenComBEx(int32_t Port, uint8_t Addr, int32_t MaxEvents,
                                  int32_t MaxEventData, int32_t Baud, uint8_t TwoStopBits,
                                  int32_t RxQueueSize, int32_t Reserved) {
    return GuardExport([&] {
        return Bus().OpenComBEx(Port, Addr, MaxEvents, MaxEventData, Baud, TwoStopBits, RxQueueSize,
                                Reserved);
    });
}

TLinkResult QUORX_CALL OpenComB(int32_t Port, uint8_t Addr, int32_t MaxEvents,
                                int32_t MaxEventData) {
    return GuardExport([&] { return Bus().OpenComB(Port, Addr, MaxEvents, MaxEventData); });
}

// Setting the address reports a failure as a port state error.
TLinkResult QUORX_CALL SetQuorxBAddr(TDevIndex Index, int32_t Addr) {
    return GuardExport([&] { return Bus().SetQuorxBAddr(Index, Addr); }, TLinkResult{errCommState});
}

} // extern "C"

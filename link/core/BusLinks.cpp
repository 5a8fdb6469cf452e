#include "link/core/BusLinks.h"

TLinkResult TBusLinks::OpenComBEx(int Port, std::uint8_t Addr, int MaxEvents, int MaxEventData,
                                  int Baud, std::uint8_t TwoStopBits, int RxQueueSize,
                                  int Reserved) {
    if (!BusAddressAccepted(Addr) || Reserved != 1) {
        if (TDeviceIndex::ForCom(Port).Serial())
            lib_.CloseCom(Port);
        return errParam;
    }
    TSerialSettings s;
    s.Port = Port;
    s.Baud = Baud;
    s.StopBitsTwo = TwoStopBits != 0;
    s.Bus = true;
    s.RxQueueSize = RxQueueSize;
    s.MaxEvents = MaxEvents;
    s.MaxEventData = MaxEventData;
    const TLinkResult result = lib_.OpenSerialSlot(s);
    if (result != 0)
        return result;
    const TLinkHold link = lib_.Table().Hold(Port);
    if (!link)
        return errNotOpen;
    link->Dev().SetBusAddress(Addr);
    return 0;
}

TLinkResult TBusLinks::SetQuorxBAddr(int Index, int Addr) {
    TLinkResult check = 0;
    const TLinkHold link = lib_.Table().Hold(Index, check);
    if (!link)
        return check;
    TNPDev& dev = link->Dev();
    if (!dev.BusMode())
        return errNotBus;
    const auto addr = static_cast<std::uint8_t>(Addr & 0xFF);
    if (!BusAddressAccepted(addr))
        return errParam;
    dev.SetBusAddress(addr);
    return 0;
}

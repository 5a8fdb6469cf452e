#include "link/core/ModemLinks.h"

#include <string>

namespace {

constexpr std::uint32_t kModemAnswerWaitMs = 1000;
constexpr std::size_t kModemLineMax = 255;
constexpr int kHangUpChecks = 21;
constexpr std::uint32_t kHangUpStepMs = 100;
constexpr std::uint32_t kRingIndicator = 0x40;
constexpr std::uint32_t kCarrierDetect = 0x80;

// Text (its first 255 characters; none for nil) and CR LF, in one write.
bool WriteModemLine(IBytePort& Port, const char* Text) {
    std::string line;
    for (std::size_t n = 0; Text != nullptr && n < kModemLineMax && Text[n] != '\0'; ++n)
        line.push_back(Text[n]);
    line += "\r\n";
    return Port.Write(reinterpret_cast<const std::uint8_t*>(line.data()),
                      static_cast<int>(line.size()));
}

// Present only when the modem status can be read and shows it, as for a transaction.
bool CarrierPresent(IBytePort& Port) {
    std::uint32_t status = 0;
    return Port.ReadModemStatus(status) && (status & kCarrierDetect) != 0;
}

} // namespace

TLinkResult TModemLinks::OpenComExModem(int Port, int MaxEvents, int MaxEventData, int Baud,
                                        int RxQueueSize, const char* InitString) {
    TSerialSettings s;
    s.Port = Port;
    s.Baud = Baud;
    s.Modem = true;
    s.RxQueueSize = RxQueueSize;
    s.MaxEvents = MaxEvents;
    s.MaxEventData = MaxEventData;
    TLinkResult result = lib_.OpenSerialSlot(s);
    if (result != 0)
        return result;
    const TLinkHold link = lib_.Table().Hold(Port);
    result = link ? Dialogue(*link, InitString) : errNotOpen;
    if (result != 0)
        lib_.CloseCom(Port);
    return result;
}

TLinkResult TModemLinks::Dialogue(TLinkObject& Link, const char* InitString) {
    IBytePort* port = Link.SerialPort();
    if (port == nullptr || !WriteModemLine(*port, "AT"))
        return errModem;
    clock_.Sleep(kModemAnswerWaitMs);
    const std::string answer = Link.ReadWaitingText();
    // "0" is the numeric form of "OK".
    if (answer.find("OK") == std::string::npos && answer.find('0') == std::string::npos)
        return errModem;
    return WriteModemLine(*port, InitString) ? 0 : errWrite;
}

TLinkResult TModemLinks::GetModemStatus(int Index, std::uint8_t* Status) {
    TLinkResult check = 0;
    const TLinkHold link = lib_.Table().Hold(Index, check);
    if (!link)
        return check;
    if (!TDeviceIndex(Index).Serial())
        return errParam;
    if (Status == nullptr)
        return errBuffer;
    *Status = 0;
    IBytePort* port = link->SerialPort();
    std::uint32_t status = 0;
    if (port == nullptr || !port->ReadModemStatus(status))
        return errCommState;
    *Status = static_cast<std::uint8_t>(((status & kRingIndicator) ? 1 : 0) |
                                        ((status & kCarrierDetect) ? 2 : 0));
    return 0;
}

TLinkHold TModemLinks::ModemLink(int Index, TLinkResult& Result) {
    TLinkHold link = lib_.Table().Hold(Index, Result);
    if (!link)
        return nullptr;
    if (!link->Dev().ModemMode() || link->SerialPort() == nullptr) {
        Result = errNotModem;
        return nullptr;
    }
    return link;
}

TLinkResult TModemLinks::SendModemCommand(int Index, const char* Cmd) {
    TLinkResult result = 0;
    const TLinkHold link = ModemLink(Index, result);
    if (link == nullptr)
        return result;
    IBytePort& port = *link->SerialPort();
    if (CarrierPresent(port))
        return errCarrier;
    port.Purge();
    return WriteModemLine(port, Cmd) ? 0 : errWrite;
}

TLinkResult TModemLinks::ModemHangUp(int Index) {
    TLinkResult result = 0;
    const TLinkHold link = ModemLink(Index, result);
    if (link == nullptr)
        return result;
    if (!link->SaveLineSettings())
        return errCommState;
    bool stateFailed = !link->DropDtr();
    bool carrier = true;
    for (int i = 0; i < kHangUpChecks; ++i) {
        carrier = CarrierPresent(*link->SerialPort());
        clock_.Sleep(kHangUpStepMs);
        if (!carrier)
            break;
    }
    stateFailed = !link->RestoreLineSettings() || stateFailed;
    if (stateFailed)
        return errCommState;
    return carrier ? errModem : 0;
}

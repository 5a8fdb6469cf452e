#include "link/serial/SerialLink_win.h"

#include "link/core/CtsWriteTimeouts.h"

TSerialLink::TSerialLink() : dev_(com_, clock_), timer_(dev_) {}

TSerialLink::~TSerialLink() {
    OutputDebugStringA("TNPDev.Destroy");
}

TLinkResult TSerialLink::Open(const TSerialSettings& Settings) {
    com_.SetShowErrors(false);
    com_.SetPort(Settings.Port);
    com_.SetBaud(Settings.Baud);
    com_.SetStopBitsTwo(Settings.StopBitsTwo);
    com_.SetResponseTime(0);
    com_.SetRxQueueSize(static_cast<std::uint32_t>(Settings.RxQueueSize));
    com_.SetCtsFlowControl(Settings.Modem);
    com_.SetDataBits(Settings.Nibble ? 5 : 8);
    com_.Open();
    if (!com_.Opened())
        return errNotOpen;
    if (com_.ConfigFailed()) {
        com_.Close();
        return errCommState;
    }
    if (Settings.Modem)
        BoundCtsWrites(Settings.Baud);
    TLinkSetup setup;
    setup.Kind = TLinkKind::Serial;
    setup.Number = Settings.Port;
    setup.Modem = Settings.Modem;
    setup.Bus = Settings.Bus;
    setup.Nibble = Settings.Nibble;
    setup.MaxEvents = Settings.MaxEvents;
    setup.MaxEventData = Settings.MaxEventData;
    dev_.LinkOpened(setup);
    if (dev_.TimerEnabled())
        timer_.Enable();
    return 0;
}

// Why the bound: CtsWriteTimeouts.h. Where the driver's time-outs cannot be
// read, the line keeps the port component's allowance.
void TSerialLink::BoundCtsWrites(int Baud) {
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(com_.GetHandle(), &timeouts))
        return;
    const TWriteTimeouts bound = CtsWriteTimeouts(Baud);
    timeouts.WriteTotalTimeoutMultiplier = bound.MultiplierMs;
    timeouts.WriteTotalTimeoutConstant = bound.ConstantMs;
    SetCommTimeouts(com_.GetHandle(), &timeouts);
}

bool TSerialLink::DropDtr() {
    DCB state = savedState_;
    state.fDtrControl = DTR_CONTROL_DISABLE;
    return com_.SetState(state);
}

bool TSerialLink::RestoreLineSettings() {
    DCB state = savedState_;
    return com_.SetState(state);
}

TLinkResult TWin32LinkPlatform::OpenSerial(const TSerialSettings& Settings,
                                           std::unique_ptr<TLinkObject>& Link) {
    auto link = std::make_unique<TSerialLink>();
    const TLinkResult result = link->Open(Settings);
    if (result == 0)
        Link = std::move(link);
    return result;
}

bool TWin32LinkPlatform::ProbePort(int Port) {
    TCTemp temp;
    temp.Com.SetShowErrors(false);
    temp.Com.SetPort(Port);
    temp.Com.Open();
    // The handle decides: a port that opens but refuses settings is still free.
    return temp.Com.Opened();
}

#include "SerialLink_win.h"

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

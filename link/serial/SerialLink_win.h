// A serial link: the port, the system clock, the device object and its event
// timer, created and opened in the caller's thread.
#pragma once

#include "link/core/DevTable.h"
#include "link/core/LinkLibrary.h"
#include "link/serial/QCCom32_win.h"
#include "link/timer/EventTimer_win.h"

class TSerialLink : public TLinkObject {
public:
    TSerialLink();
    ~TSerialLink() override;

    // errNotOpen when the port cannot be opened, errCommState when it refuses
    // the line settings, else 0 with the device set up and its timer running
    // (not on a bus).
    TLinkResult Open(const TSerialSettings& Settings);

    TNPDev& Dev() override { return dev_; }
    T_QCCom32& Com() { return com_; }
    std::uint32_t CurrentRxQueue() override { return com_.CurrentRxQueue(); }
    std::uint32_t MaxRxQueue() override { return com_.MaxRxQueue(); }
    IBytePort* SerialPort() override { return &com_; }
    std::string ReadWaitingText() override { return com_.ReadString(); }
    bool SaveLineSettings() override { return com_.GetState(savedState_); }
    bool DropDtr() override;
    bool RestoreLineSettings() override;

private:
    void BoundCtsWrites(int Baud);

    T_QCCom32 com_;
    DCB savedState_{};
    TTickClock clock_;
    TNPDev dev_;
    TEventTimer timer_; // last: stopped before the device and the port go
};

class TWin32LinkPlatform : public ILinkPlatform {
public:
    TLinkResult OpenSerial(const TSerialSettings& Settings,
                           std::unique_ptr<TLinkObject>& Link) override;
    bool ProbePort(int Port) override;
};

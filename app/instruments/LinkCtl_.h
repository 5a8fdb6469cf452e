// The instrument controller of the main window, put together: connecting
// (Connection), the events and live values (Events, Live) and the timers
// (Watchdog), sharing the per-link bookkeeping (State).
#pragma once

#include "app/instruments/Connect_.h"
#include "app/instruments/Events_.h"
#include "app/instruments/LinkHost_.h"
#include "app/instruments/Watchdog_.h"

class TLinkCtl {
public:
    TLinkCtl(ILinkApi& Api, IMessageBoxes& Boxes, TTreeModel& Tree, ILinkHost& Host,
             IRegistryStore& Registry, IUsbHandles& UsbHandles)
        : Env{Api, Boxes, Tree, Host}, Live(Env),
          Events(Env, State, Live, [this](TDevIndex Index) { return Connection.InitComm(Index); }),
          Connection(Env, State, Live, Events, Registry, UsbHandles),
          Watchdog(Env, State, Live, Connection) {}
    // The parts keep references to each other.
    TLinkCtl(const TLinkCtl&) = delete;
    TLinkCtl& operator=(const TLinkCtl&) = delete;

    TLinkEnv Env;
    TLinkState State;
    TLiveData Live;
    TRecEvents Events;
    TConnection Connection;
    TWatchdog Watchdog;
};

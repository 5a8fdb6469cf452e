// The main window's two one-second timers and its Refresh command. The
// watchdog (TimerCom) marks instruments that stopped sending measurements as
// lost, clears their live values and tries to bring the link back; the
// file-change timer (TimerRec) offers to reload record files that another
// program changed; Refresh reads everything from the instruments again.
#pragma once

#include "app/instruments/Connect_.h"
#include "app/instruments/Events_.h"
#include "app/instruments/LinkHost_.h"

#include <cstdint>

inline constexpr char sFileChanged[] = "Time/Date of file %s has been changed. Reload?";

// The watchdog acts on an instrument when this many ticks passed without a measurement.
inline constexpr int32_t kSilentTicks = 5;

class TWatchdog {
public:
    TWatchdog(TLinkEnv& Env, TLinkState& State, TLiveData& Live, TConnection& Connection)
        : FEnv(Env), FState(State), FLive(Live), FConnection(Connection) {}

    // One tick of TimerCom: every instrument's silence grows; on the fifth
    // silent tick, and every fifth after, the instrument is marked lost and its
    // link reopened (serial, when the port is free) or closed and scanned for
    // again (USB). An instrument whose link is being connected is left alone.
    void TimerComTimer();
    // Scans for USB instruments and reads every instrument's identity, units and
    // chambers again; adds no chamber.
    void AcRefreshExecute();
    // One tick of TimerRec: asks about each loaded record file whose file
    // changed; Yes reloads it and ends the tick. Runs only while enabled.
    void TimerRecTimer();
    bool TimerRecEnabled() const { return FTimerRecEnabled; }
    // A record window disables TimerRec while it writes its file.
    void SetTimerRecEnabled(bool Enabled) { FTimerRecEnabled = Enabled; }

private:
    void MarkLost(int32_t InterfaceIndex);
    void Reopen(int32_t InterfaceIndex);
    // Each record window of the instrument, the instrument found again after each.
    template <class F>
    void ForEachRecordWindow(int32_t InterfaceIndex, F&& Visit);
    // The record-file nodes under the Records folders.
    std::vector<TTreeNode*> RecordFileNodes() const;

    TLinkEnv& FEnv;
    TLinkState& FState;
    TLiveData& FLive;
    TConnection& FConnection;
    bool FTimerRecEnabled = true;
};

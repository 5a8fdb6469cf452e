// The road of every instrument event through the application: the link's
// event procedure drains its queue (TRecEvents), a measurement updates the tree,
// the overviews and the record windows (TLiveData), a restart initialises the
// link again and a protocol opens a protocol window.
//
// UpdateTree is the one routine that creates instrument and chamber nodes and
// removes chambers that disappeared. Every box it or SetMeasTree shows lets the
// timers run, so nodes are looked up again after it.
#pragma once

#include "app/instruments/LinkHost_.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// Event codes of the link library.
enum : uint16_t {
    evDevInit = 0x000,
    evMeasData = 0x100,
    evProtActual = 0x101,
    evProtStable = 0x102,
    evProtCalSingle = 0x103,
    evProtCalAll = 0x104,
};

inline constexpr char sActualProtocol[] = "* Actual Protocol";
inline constexpr char sStableProtocol[] = "* Stable Protocol";
inline constexpr char sCalProtocolSingle[] = "* Calibration Protocol single point";
inline constexpr char sCalProtocolAll[] = "* Calibration Protocol all points";
inline constexpr char sNotLoggedIn[] = "Not logged in";
inline constexpr char sTempFileName[] = "%s%s_%d_%d~.tmp";
inline constexpr char sTempHeaderFileName[] = "%s%s_%d_%dh~.tmp";

// Instrument status of GetDevUser: no user logged in / no user administration.
inline constexpr TLinkResult kUserNotLoggedIn = 18;
inline constexpr TLinkResult kNoUser = 19;

// Bit Bit of the status word of chamber Chamber (0..9) in Meas.
bool ChamberStatusBit(const TMEASall& Meas, int32_t Chamber, int32_t Bit);

class TLiveData {
public:
    explicit TLiveData(TLinkEnv& Env) : FEnv(Env) {}

    // A measurement event: into the tree, the overviews and the record windows.
    void NewMeasData(const void* Data, int32_t DataLen, TDevIndex DeviceIndex);
    // Creates (Refresh false) or re-reads (Refresh true) the instrument node of
    // DeviceIndex and adds, marks or removes its chamber nodes as Meas shows
    // them; a refresh adds no chamber.
    void UpdateTree(TDevIndex DeviceIndex, const TMEASall& Meas, bool Refresh);
    // Live values and stability data into the chamber nodes; the instrument is
    // no longer silent.
    void SetMeasTree(TDevIndex DeviceIndex, const TMEASall& Meas);
    // The instrument's user text (User untouched when the instrument has no user
    // administration); 0 or the failed call's result.
    int32_t GetDevUserName(TDevIndex DeviceIndex, char (&User)[21]);
    void RefreshOverviews(TDevIndex DeviceIndex);
    void FeedRecordWindows(TDevIndex DeviceIndex);

    // The instrument node of an interface index (a USB one by its index alone), or null.
    TTreeNode* FindInstrument(int32_t InterfaceIndex);

private:
    // The identity of the instrument node; false when its serial number is no
    // number, which ends the update (the node keeps what it had).
    bool ReadIdentity(TDevIndex DeviceIndex, bool Refresh);
    void UpdateChamber(TDevIndex DeviceIndex, const TMEASall& Meas, bool Refresh, int32_t Chamber);
    void AddChamber(TDevIndex DeviceIndex, TTreeNode* Instrument, int32_t Kind, int32_t Chamber);
    // Opens the record window of a new chamber whose recording a crash interrupted.
    void ResumeRecording(TTreeNode* Instrument, TTreeNode* Chamber);
    void SetConnectedImages(TTreeNode* Instrument);
    // The root's child at Position when it is an instrument node of DeviceIndex.
    TTreeNode* InstrumentAt(TDevIndex DeviceIndex, int32_t Position);

    TLinkEnv& FEnv;
};

// The interface indexes of the instrument nodes, in tree order.
std::vector<int32_t> InstrumentIndexes(const TTreeModel& Tree);
// The chamber node with that number under Instrument, or null.
TTreeNode* ChamberNode(TTreeNode* Instrument, int32_t Chamber);

class TRecEvents {
public:
    using TInitComm = std::function<int32_t(TDevIndex DeviceIndex)>;

    TRecEvents(TLinkEnv& Env, TLinkState& State, TLiveData& Live, TInitComm InitComm)
        : FEnv(Env), FState(State), FLive(Live), FInitComm(std::move(InitComm)) {}

    // The event procedure of every link: takes the queued events and dispatches
    // each by its code. A drain of a link that is already draining (a box inside
    // it runs the library's timer again) returns at once; a drain ends as soon as
    // its link is closed or replaced, or its queue is empty.
    void RecEventProc(TDevIndex DeviceIndex);
    // RecEventProc as the handler registered with the library; no exception leaves it.
    TLinkEventHandler Handler();

private:
    void Dispatch(TDevIndex DeviceIndex, uint16_t Code, uint8_t Param, const uint8_t* Data,
                  int32_t DataLen);

    TLinkEnv& FEnv;
    TLinkState& FState;
    TLiveData& FLive;
    TInitComm FInitComm;
};

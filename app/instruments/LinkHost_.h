// What the instrument controller (Connect_.h, Events_.h, Watchdog_.h) shares:
// the main window's side of it (ILinkHost), the per-link bookkeeping that keeps
// the library's callbacks and the timers from tripping over each other
// (TLinkState), and the step-tagged error box of a library call.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/instruments/LinkApi_.h"
#include "app/tree/TreeModel_.h"

#include <array>
#include <cstdint>
#include <set>
#include <string>

inline constexpr char kQuorxComDll[] = "QuorxComDll.dll";
inline constexpr char kProflinkDll[] = "Proflink.dll";
inline constexpr char sErrorInFrom[] = "Error in %s from %s. Errorcode: $%.2X";

// Every link is opened with room for 100 events of up to 5001 bytes.
inline constexpr int32_t kMaxEvents = 100;
inline constexpr int32_t kMaxEventData = 5001;

// The error box of a failed library call: Tag names the step, Library the file
// that reported Code (upper-case hexadecimal, at least two digits).
void ShowLinkError(IMessageBoxes& Boxes, const char* Tag, const char* Library, TLinkResult Code);

enum class TCursorKind { Default, HourGlass };

// What the controller asks of the main window: its dialog, cursor, actions and
// preferences, the document windows that show live values (built by other
// parts of the program) and the files.
class ILinkHost {
public:
    // The connect dialog, modal: true when Open was pressed, with the selected
    // port's number (0 when nothing is selected).
    virtual bool ExecuteConnectDialog(int32_t& Port) = 0;
    // Sets the screen cursor; returns the one it replaces.
    virtual TCursorKind SetScreenCursor(TCursorKind Cursor) = 0;
    // The state of the Refresh action.
    virtual void SetRefreshEnabled(bool Enabled) = 0;

    // The preferences autorest and tempfiledir (with a trailing backslash).
    virtual bool AutoRestore() = 0;
    virtual std::string TempFileDir() = 0;

    // A record window shows its chamber's live values / takes them as a sample
    // of its recording / follows its instrument's units.
    virtual void ShowActualValues(IRecordWindow& Window) = 0;
    virtual void AddLiveSample(IRecordWindow& Window) = 0;
    virtual void UpdateUnits(IRecordWindow& Window) = 0;
    // A protocol that an instrument sent: a new protocol window entered in the
    // tree, showing DataLen bytes of the instrument's printer stream.
    virtual void NewProtocolWindow(const std::string& Title, int32_t Chamber, TDevIndex DeviceIndex,
                                   const uint8_t* Data, int32_t DataLen) = 0;
    // The record window of the selected chamber node (created when missing).
    virtual void AcShowRecExecute() = 0;

    virtual bool FileExists(const std::string& FileName) = 0;
    // The file's packed modification time; -1 when it cannot be read.
    virtual int32_t FileAge(const std::string& FileName) = 0;
    // Opens a document by its extension.
    virtual void LoadFile(const std::string& FileName) = 0;

protected:
    ~ILinkHost() = default;
};

// What every part of the controller works on.
struct TLinkEnv {
    ILinkApi& Api;
    IMessageBoxes& Boxes;
    TTreeModel& Tree;
    ILinkHost& Host;
};

// A modal box lets the library's timer and the main window's timers run again
// while a callback or a tick is still on the stack. This keeps, per device
// index, what such a nested call must know.
class TLinkState {
public:
    // The link is being closed or replaced; a drain of it that is running stops.
    void LinkGone(TDevIndex Index);
    // Changes whenever LinkGone is called for Index.
    uint32_t Generation(TDevIndex Index) const;

    // False when a drain of this link is already running.
    bool BeginDrain(TDevIndex Index) { return FDraining.insert(Index).second; }
    void EndDrain(TDevIndex Index) { FDraining.erase(Index); }

    // A link being connected (InitComm, or the watchdog's reopen) is left to it.
    void BeginConnect(TDevIndex Index) { ++FConnecting[Slot(Index)]; }
    void EndConnect(TDevIndex Index) { --FConnecting[Slot(Index)]; }
    bool Connecting(TDevIndex Index) const { return FConnecting[Slot(Index)] > 0; }

private:
    // Each device index has its own slot; slot 0 holds any other.
    static constexpr std::size_t kSlots = TDeviceIndex::kLast + 1;
    static std::size_t Slot(TDevIndex Index);

    std::array<uint32_t, kSlots> FGeneration{};
    std::array<int32_t, kSlots> FConnecting{};
    std::set<TDevIndex> FDraining;
};

// Marks a link as being connected for the lifetime of the scope.
class TConnectScope {
public:
    TConnectScope(TLinkState& State, TDevIndex Index) : FState(State), FIndex(Index) {
        FState.BeginConnect(FIndex);
    }
    TConnectScope(const TConnectScope&) = delete;
    TConnectScope& operator=(const TConnectScope&) = delete;
    ~TConnectScope() { FState.EndConnect(FIndex); }

private:
    TLinkState& FState;
    TDevIndex FIndex;
};

// Sets Cursor for the lifetime of the scope, then Restore, or the cursor it
// replaced when Restore is not given.
class TCursorScope {
public:
    TCursorScope(ILinkHost& Host, TCursorKind Cursor);
    TCursorScope(ILinkHost& Host, TCursorKind Cursor, TCursorKind Restore);
    TCursorScope(const TCursorScope&) = delete;
    TCursorScope& operator=(const TCursorScope&) = delete;
    ~TCursorScope();

private:
    ILinkHost& FHost;
    TCursorKind FRestore;
};

// The instrument controller inside the main window: it carries out what the
// controller asks of the window (the connect dialog, the screen cursor, the
// Refresh action, the preferences autorest and tempfiledir, the files), adds the
// actions Connect, Disconnect and Refresh, runs the watchdog and file-change
// timers and scans for USB instruments on every device change. The main window
// owns one and passes it its timer and device-change messages; the connect
// dialog is made by the program in its place among the forms and handed in.
//
// The record and tree-file windows are built by other parts of the program:
// until then a record window is not told about live values; a recording found
// at connection is opened with the main window's Recorder command. An instrument's
// protocol goes to the handler the program sets.
#pragma once

#include "app/base/Actions_.h"
#include "app/base/Guard_.h"
#include "app/instruments/InstrConnFrm_win.h"
#include "app/instruments/LinkCtl_.h"
#include "app/instruments/UsbHandles_win.h"

#include <windows.h>

#include <functional>
#include <string>

class TMainLinks : private ILinkHost {
public:
    // Action ids: the command ids of their menu items and tool buttons.
    enum : int { kAcOpenCom = 1101, kAcCloseCom, kAcRefresh };
    // TimerCom and TimerRec.
    enum : UINT_PTR { kTimerCom = 1101, kTimerRec };

    using TLoadFile = std::function<void(const std::string& FileName)>;
    using TNewProtocolWindow =
        std::function<void(const std::string& Title, int32_t Chamber, TDevIndex DeviceIndex,
                           const uint8_t* Data, int32_t Len)>;

    // Owner: the main window, which exists already.
    TMainLinks(HWND Owner, TTreeModel& Tree, IMessageBoxes& Boxes, IRegistryStore& Registry,
               ILinkApi& Api, TActionList& Actions, TLoadFile LoadFile);
    TMainLinks(const TMainLinks&) = delete;
    TMainLinks& operator=(const TMainLinks&) = delete;
    ~TMainLinks();

    TLinkCtl& Ctl() { return FCtl; }
    // Opens the protocol windows of the instruments' protocol events.
    void SetNewProtocolWindow(TNewProtocolWindow Handler) {
        FNewProtocolWindow = std::move(Handler);
    }
    // The dialog of the Connect command; without one Connect opens nothing.
    void SetConnectForm(TInstrConnFrm& ConnFrm) { FConnFrm = &ConnFrm; }
    // The Recorder command of the main window, which opens record windows.
    void SetShowRec(std::function<void()> ShowRec) { FShowRec = std::move(ShowRec); }
    // The two one-second timers of the main window, running from here on.
    void StartTimers();
    // WM_TIMER of the two timers: true when Msg was one of them. WM_DEVICECHANGE:
    // scans for USB instruments; the window's own handling comes first.
    bool OnMessage(UINT Msg, WPARAM W);

private:
    bool ExecuteConnectDialog(int32_t& Port) override;
    TCursorKind SetScreenCursor(TCursorKind Cursor) override;
    void SetRefreshEnabled(bool Enabled) override;
    bool AutoRestore() override;
    std::string TempFileDir() override;
    void ShowActualValues(IRecordWindow& Window) override { Window.ShowActualValues(); }
    // Called from the library's timer callback: what recording raises is shown
    // here and goes no further.
    void AddLiveSample(IRecordWindow& Window) override {
        GuardedCall([&Window] { Window.AddLiveSample(); });
    }
    void UpdateUnits(IRecordWindow& Window) override { Window.UpdateUnits(); }
    void NewProtocolWindow(const std::string& Title, int32_t Chamber, TDevIndex DeviceIndex,
                           const uint8_t* Data, int32_t Len) override;
    void AcShowRecExecute() override {
        if (FShowRec)
            FShowRec();
    }
    bool FileExists(const std::string& FileName) override;
    int32_t FileAge(const std::string& FileName) override;
    void LoadFile(const std::string& FileName) override { FLoadFile(FileName); }

    HWND FOwner;
    TActionList& FActions;
    TLoadFile FLoadFile;
    TNewProtocolWindow FNewProtocolWindow;
    std::function<void()> FShowRec;
    TInstrConnFrm* FConnFrm = nullptr;
    TWinUsbHandles FUsbHandles;
    TCursorKind FCursor = TCursorKind::Default;
    TLinkCtl FCtl;
};

// The packed modification time of a file (the date in the high word, the local
// time in the low word, as the platform's old file dates); -1 when it cannot be read.
int32_t PackedFileAge(const std::string& FileName);

// The instrument controller on the scripted libraries: a main window that
// records what it is asked, message boxes that can run the timers while they
// are shown (as a modal box does), USB handles that are counted, and a fixture
// with a tree that has its root.
#pragma once

#include "app/instruments/LinkCtl_.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/FakeRecordWindow.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class TRecordingLinkHost : public ILinkHost {
public:
    bool ExecuteConnectDialog(int32_t& Port) override;
    TCursorKind SetScreenCursor(TCursorKind Cursor) override;
    void SetRefreshEnabled(bool Enabled) override;
    bool AutoRestore() override { return autoRestore; }
    std::string TempFileDir() override { return tempFileDir; }
    void ShowActualValues(IRecordWindow& Window) override;
    void AddLiveSample(IRecordWindow& Window) override;
    void UpdateUnits(IRecordWindow& Window) override;
    void NewProtocolWindow(const std::string& Title, int32_t Chamber, TDevIndex DeviceIndex,
                           const uint8_t* Data, int32_t DataLen) override;
    void AcShowRecExecute() override;
    bool FileExists(const std::string& FileName) override { return ages.count(FileName) != 0; }
    int32_t FileAge(const std::string& FileName) override;
    void LoadFile(const std::string& FileName) override;

    // What the host was asked, in order: "dialog", "cursor hourglass", "refresh off",
    // "show W", "sample W", "units W", "protocol TITLE 3 257 5",
    // "showrec", "load F" (W: the window's name in `names`, or "?").
    std::vector<std::string> calls;
    std::map<const void*, std::string> names;
    // The connect dialog's answer.
    bool connectOk = true;
    int32_t connectPort = 3;
    TCursorKind cursor = TCursorKind::Default;
    bool autoRestore = false;
    std::string tempFileDir = "C:\\Temp\\";
    // Existing files with their packed modification times.
    std::map<std::string, int32_t> ages;
    // Runs inside NewProtocolWindow (a window of a later part that misbehaves).
    std::function<void()> onProtocol;

private:
    std::string Name(const void* Window) const;
};

// Message boxes that run WhileShown inside each box, as a modal loop runs the
// timers; a box shown from inside WhileShown does not run it again.
class TModalBoxes : public TScriptedBoxes {
public:
    TMsgDlgAnswer ShowDialog(const TMsgDlgRequest& Request) override;
    std::function<void()> whileShown;
    // The texts of the boxes shown so far.
    std::vector<std::string> Texts() const;

private:
    bool FInside = false;
};

class TCountedUsbHandles : public IUsbHandles {
public:
    void CloseUsbHandles(void* Device, void* WinUsb) override {
        closed.emplace_back(Device, WinUsb);
    }
    std::vector<std::pair<void*, void*>> closed;
};

// An overview window that counts its updates and closes.
class TFakeOverviewWindow : public IOverviewWindow {
public:
    void Show() override {}
    void Close() override { ++closed; }
    void UpdateOverview() override { ++updates; }
    int closed = 0;
    int updates = 0;
};

// A record window that clears its chamber's reference when it closes, as the
// real one does, unless it refuses (a save question answered with Cancel).
class TClosingRecordWindow : public TFakeRecordWindow {
public:
    TClosingRecordWindow(TTreeModel& Tree, int32_t InterfaceIndex, int32_t Chamber)
        : FTree(Tree), FInterfaceIndex(InterfaceIndex), FChamber(Chamber) {}
    void Close() override;
    bool refuse = false;

private:
    TTreeModel& FTree;
    int32_t FInterfaceIndex;
    int32_t FChamber;
};

// A USB device path of the instruments' interface class.
std::string UsbPath(const std::string& Serial, const char* ProductId = "3e9b");

// A measurement whose chambers have these status words; the others are absent.
TMEASall Meas(std::initializer_list<std::pair<int, uint16_t>> Chambers);
inline constexpr uint16_t kPresent = csPresent;

// An instrument: chamber 0's id/serial text (the instrument's) "ID <serial, 7 digits>", chamber n's
// "ID 0000<100+n>", software versions "1.0n".
TFakeInstrument MakeInstrument(const std::string& DevId, int32_t Serial);

class TLinkCtlTest : public testing::Test {
protected:
    TLinkCtlTest();

    // A serial link on port Port with an instrument, connected through InitComm.
    void ConnectSerial(TDevIndex Port, const TFakeInstrument& Instrument, const TMEASall& First);
    // One measurement event drained by the link's handler.
    void Measure(TDevIndex Index, const TMEASall& M);
    TTreeNode* Instrument(int32_t InterfaceIndex) {
        return ctl.Live.FindInstrument(InterfaceIndex);
    }
    TTreeNode* Chamber(int32_t InterfaceIndex, int32_t Chamber) {
        return ChamberNode(Instrument(InterfaceIndex), Chamber);
    }
    // Child texts of a node, in order.
    static std::vector<std::string> ChildTexts(const TTreeNode* Node);
    // A record window for a chamber node, named Name.
    TClosingRecordWindow& OpenRecordWindow(int32_t InterfaceIndex, int32_t Chamber,
                                           const std::string& Name);

    TFakeLinkApi api;
    TModalBoxes boxes;
    TTreeModel tree;
    TRecordingLinkHost host;
    TMemRegistry registry;
    TCountedUsbHandles usb;
    TLinkCtl ctl{api, boxes, tree, host, registry, usb};
    std::vector<std::unique_ptr<TClosingRecordWindow>> windows;
};

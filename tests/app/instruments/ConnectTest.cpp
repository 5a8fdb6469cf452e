// Connecting instruments on the scripted libraries: the checks of InitComm, the
// connect and disconnect commands, the stored open ports and the reconnect at
// start, the USB scan.
#include "tests/app/support/LinkCtlFixture.h"

#include "app/instruments/OpenPorts_.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;
using Texts = std::vector<std::string>;

const std::string kEnvKey = "\\Software\\Meridane\\TessalyMC\\environment";

class InitCommTest : public TLinkCtlTest {
protected:
    InitCommTest() {
        api.OpenLink(3);
        api.Instrument(3) = MakeInstrument("ZEPHORA", 12345);
        api.Instrument(3).Meas = Meas({{0, kPresent}});
    }
};

// Each step of InitComm failing in turn: its box, its result, the calls that
// follow it, and whether the link stays open.
TEST_F(InitCommTest, EachFailingStepShowsItsBoxAndClosesTheLink) {
    struct Case {
        const char* function;
        TLinkResult code;
        const char* box; // "" for none
        Calls calls;     // every call of InitComm
    } cases[] = {
        {"GetProfileCap",
         errTimeout,
         "No answer from instrument!",
         {"GetProfileCap(3)", "SetMeasEvent(3, 0)", "CloseCom(3)"}},
        {"GetReqMCap",
         errByteTimeout,
         "No answer from instrument!",
         {"GetProfileCap(3)", "GetReqMCap(3)", "SetMeasEvent(3, 0)", "CloseCom(3)"}},
        {"GetDevId",
         errAnswer,
         "Error in InitComm(3) from QuorxComDll.dll. Errorcode: $107",
         {"GetProfileCap(3)", "GetReqMCap(3)", "GetDevId(3)", "SetMeasEvent(3, 0)", "CloseCom(3)"}},
        {"GetProfileCap",
         10,
         "Error in InitComm(3) from QuorxComDll.dll. Errorcode: $0A",
         {"GetProfileCap(3)", "SetMeasEvent(3, 0)", "CloseCom(3)"}},
        {"SetRecEventProc",
         errParam,
         "Error in InitComm(2) from QuorxComDll.dll. Errorcode: $103",
         {"GetProfileCap(3)", "GetReqMCap(3)", "GetDevId(3)", "SetRecEventProc(3, proc)",
          "SetMeasEvent(3, 0)", "CloseCom(3)"}},
        {"SetMeasEvent",
         errTimeout,
         "Error in InitComm(1) from Proflink.dll. Errorcode: $102",
         {"GetProfileCap(3)", "GetReqMCap(3)", "GetDevId(3)", "SetRecEventProc(3, proc)",
          "SetMeasEvent(3, 255)", "SetMeasEvent(3, 0)", "CloseCom(3)"}},
        {"GetMeasAll",
         errTimeout,
         "",
         {"GetProfileCap(3)", "GetReqMCap(3)", "GetDevId(3)", "SetRecEventProc(3, proc)",
          "SetMeasEvent(3, 255)", "GetMeasAll(3)", "SetMeasEvent(3, 0)", "CloseCom(3)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.function) + " " + std::to_string(c.code));
        api.OpenLink(3);
        api.Calls.clear();
        boxes.Shown.clear();
        api.Script(c.function, {c.code});
        EXPECT_EQ(ctl.Connection.InitComm(3), c.code);
        EXPECT_EQ(api.Calls, c.calls);
        EXPECT_EQ(boxes.Texts(), *c.box ? Texts{c.box} : Texts{});
        EXPECT_FALSE(api.IsOpen(3));
        EXPECT_EQ(tree.Root()->Count(), 0) << "no node for a link that failed";
    }
}

TEST_F(InitCommTest, AcceptedInstrumentIsEnteredWithItsEventsOn) {
    EXPECT_EQ(ctl.Connection.InitComm(3), 0);
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_TRUE(api.IsOpen(3));
    EXPECT_TRUE(api.HasHandler(3));
    EXPECT_EQ(api.MeasEvent(3), 255);
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM3 0012345"});
    EXPECT_EQ(ChildTexts(Instrument(2)), Texts{"Chamber 0 - 0012345"});
    EXPECT_EQ(ctl.Connection.RxQueueSize(), 128790u) << "kept for the about box";
}

TEST_F(InitCommTest, OnlyTheThreeModelIdsAreAccepted) {
    struct Case {
        const char* id;
        bool accepted;
    } cases[] = {
        {"ZEPHORA", true},   {"KIVANTER", true}, {"ZEPHORAN", true}, {"zephora", false},
        {"ZEPHORA ", false}, {"KIVANTE", false}, {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(IsAcceptedDevId(c.id), c.accepted);
    }
}

TEST_F(InitCommTest, AnUnknownModelIdClosesThePortWithAMessageAndIsNoFailure) {
    api.Instrument(3).DevId = "QX-900";
    EXPECT_EQ(ctl.Connection.InitComm(3), 0);
    EXPECT_EQ(boxes.Texts(),
              Texts{"Cannot connect with instrument on COM3\r\nUnknown Instrument ID: QX-900"});
    EXPECT_EQ(boxes.Shown[0].DlgType, mtError);
    EXPECT_FALSE(api.IsOpen(3));
    EXPECT_TRUE(api.CallsOf("SetMeasEvent").empty()) << "the events were never switched on";
    EXPECT_EQ(tree.Root()->Count(), 0);
}

TEST_F(InitCommTest, AnUnknownModelOnUsbClosesTheUsbLink) {
    api.OpenLink(258, UsbPath("77"));
    api.Instrument(258).DevId = "QX-900";
    EXPECT_EQ(ctl.Connection.InitComm(258), 0);
    EXPECT_EQ(boxes.Texts(),
              Texts{"Cannot connect with instrument on USB2\r\nUnknown Instrument ID: QX-900"});
    EXPECT_EQ(api.CallsOf("CloseUSBDevice"), Calls{"CloseUSBDevice(258)"});
}

TEST_F(InitCommTest, ARequiredCapabilityAbove2ClosesThePortAnyProfileLevelIsAccepted) {
    api.Instrument(3).ReqMCap = 3;
    EXPECT_EQ(ctl.Connection.InitComm(3), 0);
    EXPECT_EQ(boxes.Texts(), Texts{"MCL of dll is to low!\rPlease update this software"});
    EXPECT_FALSE(api.IsOpen(3));

    boxes.Shown.clear();
    api.OpenLink(3);
    api.Instrument(3).ReqMCap = 2;
    api.Instrument(3).ProfileCap = 9;
    EXPECT_EQ(ctl.Connection.InitComm(3), 0);
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_TRUE(api.IsOpen(3));
}

TEST_F(InitCommTest, AUsbLinkHasNoReceiveQueue) {
    api.OpenLink(257, UsbPath("12345"));
    api.Instrument(257) = MakeInstrument("KIVANTER", 12345);
    EXPECT_EQ(ctl.Connection.InitComm(257), 0);
    EXPECT_TRUE(api.CallsOf("RxQueue").empty());
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"USB1 0012345"});
    EXPECT_EQ(InstrumentData(Instrument(256))->UsbProductId, 0x3E9B);
}

// --- Connect and disconnect

class ConnectTest : public TLinkCtlTest {};

TEST_F(ConnectTest, ConnectOpensTheChosenPortChecksItAndStoresIt) {
    api.Instrument(3) = MakeInstrument("ZEPHORA", 12345);
    ctl.Connection.AcOpenComExecute();
    EXPECT_EQ(api.Calls.at(0), "OpenComEx(3, 100, 5001, 19200, 128790, 0)");
    EXPECT_EQ(api.Calls.at(1), "GetProfileCap(3)");
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM3 0012345"});
    EXPECT_TRUE(ReadOpenPorts(registry).Has(2));
}

TEST_F(ConnectTest, ACancelledDialogDoesNothing) {
    host.connectOk = false;
    ctl.Connection.AcOpenComExecute();
    EXPECT_TRUE(api.Calls.empty());
    EXPECT_EQ(host.calls, Calls{"dialog"});
}

TEST_F(ConnectTest, APortThatCannotBeOpenedIsReportedAndNothingElseChanges) {
    api.HeldPorts = {4};
    host.connectPort = 4;
    ctl.Connection.AcOpenComExecute();
    EXPECT_EQ(api.Calls, Calls{"OpenComEx(4, 100, 5001, 19200, 128790, 0)"});
    EXPECT_EQ(boxes.Texts(), Texts{"Cannot open COM4"});
    EXPECT_EQ(registry.Writes, 0);
}

TEST_F(ConnectTest, ARefusedInstrumentIsNotStored) {
    api.Instrument(3) = MakeInstrument("QX-900", 12345);
    ctl.Connection.AcOpenComExecute();
    EXPECT_FALSE(api.IsOpen(3));
    EXPECT_FALSE(ReadOpenPorts(registry).Has(2));
}

TEST_F(ConnectTest, DisconnectingAChamberDisconnectsItsWholeInstrument) {
    ConnectSerial(3, MakeInstrument("KIVANTER", 12345), Meas({{0, kPresent}, {2, kPresent}}));
    ConnectSerial(5, MakeInstrument("ZEPHORA", 555), Meas({{0, kPresent}}));
    ctl.Connection.StoreOpenPorts();
    TFakeOverviewWindow overview;
    InstrumentData(Instrument(2))->OverviewWindow = &overview;
    TClosingRecordWindow& window = OpenRecordWindow(2, 2, "W2");
    tree.Select(Chamber(2, 2));
    api.Calls.clear();

    ctl.Connection.AcCloseComExecute();
    EXPECT_EQ(window.closed, 1);
    EXPECT_EQ(overview.closed, 1);
    EXPECT_EQ(api.Calls, (Calls{"SetMeasEvent(3, 0)", "CloseCom(3)"}));
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM5 0000555"});
    const TOpenComSet stored = ReadOpenPorts(registry);
    EXPECT_FALSE(stored.Has(2));
    EXPECT_TRUE(stored.Has(4));
}

TEST_F(ConnectTest, ARecordWindowThatStaysOpenKeepsTheInstrumentConnected) {
    ConnectSerial(3, MakeInstrument("KIVANTER", 12345), Meas({{0, kPresent}, {2, kPresent}}));
    OpenRecordWindow(2, 0, "W0");
    TClosingRecordWindow& refusing = OpenRecordWindow(2, 2, "W2");
    refusing.refuse = true;
    tree.Select(Instrument(2));
    api.Calls.clear();

    ctl.Connection.AcCloseComExecute();
    EXPECT_EQ(windows[0]->closed, 1);
    EXPECT_EQ(refusing.closed, 1);
    EXPECT_TRUE(api.Calls.empty());
    EXPECT_TRUE(api.IsOpen(3));
    EXPECT_NE(Instrument(2), nullptr);
}

TEST_F(ConnectTest, DisconnectWithoutAnInstrumentSelectedDoesNothing) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({}));
    for (TTreeNode* selected : {static_cast<TTreeNode*>(nullptr), tree.Root()}) {
        tree.Select(selected);
        ctl.Connection.AcCloseComExecute();
        EXPECT_TRUE(api.IsOpen(3));
    }
}

TEST_F(ConnectTest, CloseAllInterfacesSwitchesEveryInstrumentOffAndClosesIt) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({}));
    api.OpenLink(257, UsbPath("999"));
    api.Instrument(257) = MakeInstrument("ZEPHORAN", 999);
    ASSERT_EQ(ctl.Connection.InitComm(257), 0);
    api.Calls.clear();
    ctl.Connection.CloseAllInterfaces();
    EXPECT_EQ(api.Calls, (Calls{"SetMeasEvent(3, 0)", "CloseCom(3)", "SetMeasEvent(257, 0)",
                                "CloseUSBDevice(257)"}));
}

// --- Stored ports and the reconnect at start

class ReconnectTest : public TLinkCtlTest {
protected:
    ReconnectTest() {
        StoreOpenPorts(registry, {0, 4});
        api.Instrument(1) = MakeInstrument("ZEPHORA", 1);
        api.Instrument(5) = MakeInstrument("KIVANTER", 5);
    }
    Calls Opened() const { return api.CallsOf("OpenComEx"); }
};

TEST_F(ReconnectTest, ReconnectsTheStoredPortsInOrder) {
    ctl.Connection.ReconnectOpenPorts();
    EXPECT_EQ(Opened(), (Calls{"OpenComEx(1, 100, 5001, 19200, 128790, 0)",
                               "OpenComEx(5, 100, 5001, 19200, 128790, 0)"}));
    EXPECT_EQ(ChildTexts(tree.Root()), (Texts{"COM1 0000001", "COM5 0000005"}));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(ReconnectTest, AFailedPortAsksAbortRetryIgnore) {
    api.HeldPorts = {1};
    boxes.Script = {{mrRetry, false}, {mrAbort, false}};
    ctl.Connection.ReconnectOpenPorts();
    EXPECT_EQ(Opened(), (Calls{"OpenComEx(1, 100, 5001, 19200, 128790, 0)",
                               "OpenComEx(1, 100, 5001, 19200, 128790, 0)"}))
        << "Retry tries COM1 again, Abort stops before COM5";
    ASSERT_EQ(boxes.Shown.size(), 2u);
    const TMsgDlgRequest& question = boxes.Shown[0];
    EXPECT_EQ(question.Msg, "Cannot connect with instrument on COM1");
    EXPECT_EQ(question.Caption, "Tessaly MC");
    EXPECT_EQ(question.DlgType, mtWarning);
    ASSERT_EQ(question.Buttons.size(), 3u);
    EXPECT_EQ(question.Buttons[0].Kind, mbAbort);
    EXPECT_EQ(question.Buttons[1].Kind, mbRetry);
    EXPECT_EQ(question.Buttons[2].Kind, mbIgnore);
    EXPECT_EQ(question.DefaultButton, 1);
}

TEST_F(ReconnectTest, IgnoreGoesOnWithTheNextPort) {
    api.HeldPorts = {1};
    boxes.Script = {{mrIgnore, false}};
    ctl.Connection.ReconnectOpenPorts();
    EXPECT_EQ(Opened(), (Calls{"OpenComEx(1, 100, 5001, 19200, 128790, 0)",
                               "OpenComEx(5, 100, 5001, 19200, 128790, 0)"}));
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM5 0000005"});
}

TEST_F(ReconnectTest, ARefusedModelCountsAsConnectedAndIsNotAskedAbout) {
    api.Instrument(1).DevId = "QX-900";
    ctl.Connection.ReconnectOpenPorts();
    EXPECT_EQ(boxes.Texts(),
              Texts{"Cannot connect with instrument on COM1\r\nUnknown Instrument ID: QX-900"});
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM5 0000005"});
}

TEST_F(ReconnectTest, AnInstrumentThatFailsInitCommIsAskedAbout) {
    api.Script("GetProfileCap", {errTimeout});
    boxes.Script = {{mrOk, false}, {mrIgnore, false}};
    ctl.Connection.ReconnectOpenPorts();
    EXPECT_EQ(boxes.Texts(),
              (Texts{"No answer from instrument!", "Cannot connect with instrument on COM1"}));
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM5 0000005"});
}

// --- The USB scan

class UsbScanTest : public TLinkCtlTest {
protected:
    void Plug(const std::string& Serial, const std::string& DevId, int32_t Number) {
        api.UsbDevices.push_back({UsbPath(Serial), MakeInstrument(DevId, Number)});
    }
};

TEST_F(UsbScanTest, OpensEveryDeviceInListOrderAndSwitchesItsEventsOnWithoutWaiting) {
    Plug("111", "ZEPHORA", 111);
    Plug("222", "KIVANTER", 222);
    ctl.Connection.ScanUsbDevices(false);
    const std::string p1 = UsbPath("111");
    const std::string p2 = UsbPath("222");
    EXPECT_EQ(api.CallsOf("InitializeDevice"),
              (Calls{"InitializeDevice(1001, 2002, 256, 100, 5001, " + p1 + ", " +
                         std::to_string(p1.size()) + ")",
                     "InitializeDevice(1003, 2004, 256, 100, 5001, " + p2 + ", " +
                         std::to_string(p2.size()) + ")"}));
    EXPECT_EQ(api.CallsOf("SetTimeouts"),
              (Calls{"SetTimeouts(257, 0, 0)", "SetTimeouts(258, 0, 0)"}));
    EXPECT_EQ(api.MeasEvent(257), 255);
    EXPECT_EQ(api.MeasEvent(258), 255);
    EXPECT_TRUE(api.HasHandler(257) && api.HasHandler(258));
    EXPECT_TRUE(api.CallsOf("GetProfileCap").empty()) << "no InitComm without DoInit";
    EXPECT_EQ(tree.Root()->Count(), 0) << "it enters the tree with its first measurement";
    EXPECT_EQ(host.calls, (Calls{"cursor hourglass", "cursor default"}));
    EXPECT_EQ(api.CallsOf("GetDevicePathList"),
              Calls{"GetDevicePathList({AB245463-F67A-40EC-B096-2A37F30793C5}, 65536)"});

    Measure(258, Meas({{0, kPresent}}));
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"USB2 0000222"});
}

TEST_F(UsbScanTest, ADeviceAlreadyDrivenIsSkippedAndAFailedListScansNothing) {
    Plug("111", "ZEPHORA", 111);
    ctl.Connection.ScanUsbDevices(false);
    api.Calls.clear();
    ctl.Connection.ScanUsbDevices(false);
    EXPECT_TRUE(api.CallsOf("InitializeDevice").empty());
    api.Script("GetDevicePathList", {errDevDetail});
    api.Calls.clear();
    ctl.Connection.ScanUsbDevices(false);
    EXPECT_TRUE(api.CallsOf("OpenUSBDevice").empty());
    EXPECT_EQ(host.cursor, TCursorKind::Default);
}

TEST_F(UsbScanTest, AKnownInstrumentGetsItsOldKeyBack) {
    Plug("111", "ZEPHORA", 111);
    Plug("222", "ZEPHORA", 222);
    ctl.Connection.ScanUsbDevices(false);
    Measure(258, Meas({{0, kPresent}}));
    // Unplugged: the watchdog closes its link; the node stays.
    ctl.Connection.CloseLink(257);
    api.UsbDevices = {{UsbPath("222"), MakeInstrument("ZEPHORA", 222)}};
    api.Calls.clear();
    ctl.Connection.ScanUsbDevices(false);
    const std::string call = api.CallsOf("InitializeDevice").at(0);
    EXPECT_NE(call.find(", 258, 100,"), std::string::npos) << call;
    EXPECT_TRUE(api.IsOpen(258));
}

TEST_F(UsbScanTest, WithDoInitEachDeviceIsInitialisedWithoutAnEarlierEventRequest) {
    Plug("111", "ZEPHORA", 111);
    ctl.Connection.ScanUsbDevices(true);
    const Calls calls = api.Calls;
    const auto at = [&](const std::string& Call) {
        return std::find(calls.begin(), calls.end(), Call) - calls.begin();
    };
    // A fire-and-forget request's late reply would be taken by InitComm's first request.
    EXPECT_TRUE(api.CallsOf("SetTimeouts").empty());
    EXPECT_EQ(api.CallsOf("SetMeasEvent"), Calls{"SetMeasEvent(257, 255)"});
    EXPECT_LT(at("GetProfileCap(257)"), at("SetMeasEvent(257, 255)"));
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"USB1 0000111"});
}

// A path whose initialisation fails would keep its handles open for the whole run.
TEST_F(UsbScanTest, TheHandlesOfAPathThatFailsAreClosed) {
    struct Case {
        const char* what;
        const char* function;
        TLinkResult code;
        std::vector<std::pair<intptr_t, intptr_t>> closed;
    } cases[] = {
        {"WinUSB refuses", "USBInitialize", errUsbInit, {{1001, 0}}},
        {"a bad argument", "InitializeDevice", errParam, {{1001, 2002}}},
        {"the key is in use: the library frees them", "InitializeDevice", errKeyInUse, {}},
        {"creation failed: the library frees them", "InitializeDevice", errDevCreate, {}},
        {"the path cannot be opened", "OpenUSBDevice", errUsbOpen, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFakeLinkApi fresh;
        TModalBoxes freshBoxes;
        TTreeModel freshTree;
        CreateRootNode(freshTree, "PC", "user");
        TCountedUsbHandles handles;
        TLinkCtl link(fresh, freshBoxes, freshTree, host, registry, handles);
        fresh.UsbDevices.push_back({UsbPath("111"), MakeInstrument("ZEPHORA", 111)});
        fresh.Script(c.function, {c.code});
        link.Connection.ScanUsbDevices(false);
        std::vector<std::pair<intptr_t, intptr_t>> closed;
        for (const auto& [device, winUsb] : handles.closed)
            closed.emplace_back(reinterpret_cast<intptr_t>(device),
                                reinterpret_cast<intptr_t>(winUsb));
        EXPECT_EQ(closed, c.closed);
        EXPECT_TRUE(freshBoxes.Shown.empty()) << "skipped silently";
        EXPECT_FALSE(fresh.IsOpen(257));
    }
}

// The library gives any free key to a new device; the key of an instrument that
// was lost is free, and the new device's measurements would go to the lost
// node and its recordings.
TEST_F(UsbScanTest, ANewInstrumentDoesNotTakeTheKeyOfALostOne) {
    Plug("111", "ZEPHORA", 111);
    ctl.Connection.ScanUsbDevices(false);
    Measure(257, Meas({{0, kPresent}}));
    TClosingRecordWindow& window = OpenRecordWindow(256, 0, "W");
    window.recording = true;
    ctl.Connection.CloseLink(256); // silent: the watchdog closed it
    api.UsbDevices = {{UsbPath("222"), MakeInstrument("KIVANTER", 222)}};
    ctl.Connection.ScanUsbDevices(false);
    EXPECT_FALSE(api.IsOpen(257));
    EXPECT_TRUE(api.IsOpen(258));

    Measure(258, Meas({{0, kPresent | csSensorOn}}));
    EXPECT_EQ(ChildTexts(tree.Root()), (Texts{"USB1 0000111", "USB2 0000222"}));
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "sample W"), 0);
    EXPECT_EQ(InstrumentData(Instrument(256))->SerialNumber, 111);

    // The lost one comes back under its own key.
    api.UsbDevices.push_back({UsbPath("111"), MakeInstrument("ZEPHORA", 111)});
    ctl.Connection.ScanUsbDevices(false);
    EXPECT_TRUE(api.IsOpen(257));
}

TEST_F(UsbScanTest, ANewInstrumentSkipsKeysThatOpenLinksHold) {
    Plug("111", "ZEPHORA", 111);
    ctl.Connection.ScanUsbDevices(false);
    Measure(257, Meas({}));
    Plug("222", "ZEPHORA", 222);
    ctl.Connection.ScanUsbDevices(false); // 258: open, not yet in the tree
    ctl.Connection.CloseLink(256);        // 257: lost, and unplugged
    api.UsbDevices.erase(api.UsbDevices.begin());
    Plug("333", "ZEPHORA", 333);
    ctl.Connection.ScanUsbDevices(false);
    EXPECT_TRUE(api.IsOpen(259));
    EXPECT_FALSE(api.IsOpen(257));
}

} // namespace

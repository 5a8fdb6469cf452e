// The main window's timers and Refresh on the scripted libraries: the watchdog's
// silent ticks and reopening, the refresh of every instrument, the question
// about record files another program changed.
#include "tests/app/support/LinkCtlFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;
using Texts = std::vector<std::string>;

class WatchdogTest : public TLinkCtlTest {
protected:
    void Ticks(int Count) {
        for (int i = 0; i < Count; ++i)
            ctl.Watchdog.TimerComTimer();
    }
    std::size_t CallCount(const std::string& Function) const {
        return api.CallsOf(Function).size();
    }
};

TEST_F(WatchdogTest, AnInstrumentIsLostOnTheFifthSilentTickAndActedOnEveryFifthAfter) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{0, kPresent}, {1, kPresent}}));
    api.Calls.clear();
    // Tick by tick: is the instrument shown as lost, how often was its port looked at.
    const struct {
        int tick;
        int image;
        std::size_t looks;
    } rows[] = {
        {1, imSerialInstrument, 0},      {4, imSerialInstrument, 0},
        {5, imSerialInstrumentLost, 1},  {9, imSerialInstrumentLost, 1},
        {10, imSerialInstrumentLost, 2}, {15, imSerialInstrumentLost, 3},
    };
    int done = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tick);
        Ticks(row.tick - done);
        done = row.tick;
        EXPECT_EQ(Instrument(2)->ImageIndex(), row.image);
        EXPECT_EQ(CallCount("IsComAvailable"), row.looks);
    }
    EXPECT_EQ(Instrument(2)->Count(), 0) << "chambers without a window went";
    EXPECT_EQ(CallCount("OpenComEx"), 0u) << "the port is still held here";
}

TEST_F(WatchdogTest, AnInstrumentThatMeasuresEverySecondIsNeverLost) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{0, kPresent}}));
    for (int i = 0; i < 12; ++i) {
        Ticks(1);
        Measure(3, Meas({{0, kPresent}}));
    }
    EXPECT_EQ(Instrument(2)->ImageIndex(), imSerialInstrument);
    EXPECT_EQ(CallCount("IsComAvailable"), 0u);
}

TEST_F(WatchdogTest, ALostInstrumentsRecordWindowsShowItsChambersAbsent) {
    ConnectSerial(3, MakeInstrument("KIVANTER", 12345),
                  Meas({{0, kPresent}, {1, kPresent}, {2, kPresent}}));
    OpenRecordWindow(2, 0, "W0").recording = true;
    OpenRecordWindow(2, 2, "W2");
    TFakeOverviewWindow overview;
    InstrumentData(Instrument(2))->OverviewWindow = &overview;
    host.calls.clear();
    Ticks(kSilentTicks);
    EXPECT_EQ(ChildTexts(Instrument(2)), (Texts{"Chamber 0 - 0012345", "Chamber 2 - 0000102"}));
    EXPECT_EQ(Chamber(2, 0)->ImageIndex(), 18);
    EXPECT_EQ(Chamber(2, 0)->StateIndex(), imRecordingAbsent);
    EXPECT_EQ(Chamber(2, 2)->ImageIndex(), 19);
    EXPECT_EQ(Chamber(2, 2)->StateIndex(), imNone);
    const TChamberLive zero{};
    EXPECT_EQ(std::memcmp(&ChamberData(Chamber(2, 0))->Live, &zero, sizeof zero), 0);
    EXPECT_EQ(host.calls, (Calls{"show W0", "show W2"}));
    EXPECT_EQ(overview.updates, 1);

    // The next measurement brings everything back.
    Measure(3, Meas({{0, kPresent}, {2, kPresent}}));
    EXPECT_EQ(Instrument(2)->ImageIndex(), imSerialInstrument);
    EXPECT_EQ(Chamber(2, 0)->StateIndex(), imRecording);
}

TEST_F(WatchdogTest, AFreeSerialPortIsOpenedAgainWithTheHourglass) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{0, kPresent}}));
    api.CloseCom(3); // the link went: the port is free
    api.Calls.clear();
    host.calls.clear();
    Ticks(kSilentTicks);
    EXPECT_EQ(api.CallsOf("OpenComEx"), Calls{"OpenComEx(3, 100, 5001, 19200, 128790, 0)"});
    EXPECT_TRUE(api.IsOpen(3));
    EXPECT_EQ(api.MeasEvent(3), 255);
    EXPECT_EQ(host.calls, (Calls{"cursor hourglass", "cursor default"}));
    EXPECT_EQ(InstrumentData(Instrument(2))->SilenceCount, 0);
}

// Every tick inside the reopen's box would act again on the same instrument and
// stack another "No answer from instrument!" box.
TEST_F(WatchdogTest, TicksDuringAReopensBoxLeaveTheInstrumentAlone) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{0, kPresent}}));
    api.CloseCom(3);
    api.Script("GetProfileCap", {errTimeout});
    boxes.whileShown = [&] { Ticks(3 * kSilentTicks); };
    Ticks(kSilentTicks);
    EXPECT_EQ(boxes.Texts(), Texts{"No answer from instrument!"});
    EXPECT_EQ(CallCount("OpenComEx"), 1u);

    // The next attempt comes five ticks after the reopen.
    Ticks(kSilentTicks - 1);
    EXPECT_EQ(CallCount("OpenComEx"), 1u);
    Ticks(1);
    EXPECT_EQ(CallCount("OpenComEx"), 2u);
}

TEST_F(WatchdogTest, ASilentUsbInstrumentIsClosedAndFoundAgainWithItsKey) {
    api.UsbDevices.push_back({UsbPath("777"), MakeInstrument("ZEPHORAN", 777)});
    ctl.Connection.ScanUsbDevices(false);
    Measure(257, Meas({{0, kPresent}}));
    api.Calls.clear();
    Ticks(kSilentTicks);
    EXPECT_EQ(Instrument(256)->ImageIndex(), imUsbInstrumentLost);
    ASSERT_GE(api.Calls.size(), 3u);
    EXPECT_EQ(api.Calls[0], "CloseUSBDevice(257)");
    EXPECT_EQ(api.Calls[1], "GetDevicePathList({AB245463-F67A-40EC-B096-2A37F30793C5}, 65536)");
    const std::string init = api.CallsOf("InitializeDevice").at(0);
    EXPECT_NE(init.find(", 257, 100,"), std::string::npos) << init;
    EXPECT_EQ(api.MeasEvent(257), 255);

    Measure(257, Meas({{0, kPresent}}));
    EXPECT_EQ(Instrument(256)->ImageIndex(), imUsbInstrument);
}

TEST_F(WatchdogTest, AnUnpluggedUsbInstrumentStaysLost) {
    api.UsbDevices.push_back({UsbPath("777"), MakeInstrument("ZEPHORAN", 777)});
    ctl.Connection.ScanUsbDevices(false);
    Measure(257, Meas({{0, kPresent}}));
    api.UsbDevices.clear();
    Ticks(2 * kSilentTicks);
    EXPECT_FALSE(api.IsOpen(257));
    EXPECT_EQ(Instrument(256)->ImageIndex(), imUsbInstrumentLost);
    EXPECT_EQ(CallCount("CloseUSBDevice"), 2u);
}

// --- Refresh

TEST_F(WatchdogTest, RefreshRereadsEveryInstrumentAndAddsNoChamber) {
    ConnectSerial(3, MakeInstrument("KIVANTER", 12345), Meas({{0, kPresent}, {2, kPresent}}));
    OpenRecordWindow(2, 0, "W0");
    api.Instrument(3).User = "Bert";
    api.Instrument(3).Units = {1, 1, 2};
    api.Instrument(3).Meas = Meas({{0, kPresent}, {1, kPresent}});
    host.calls.clear();
    api.Calls.clear();
    ctl.Watchdog.AcRefreshExecute();
    const TInstrumentData& d = *InstrumentData(Instrument(2));
    EXPECT_EQ(FieldText(d.DevUser), "Bert");
    EXPECT_EQ(d.Units.DateFormat, 2);
    EXPECT_EQ(ChildTexts(Instrument(2)), Texts{"Chamber 0 - 0012345"})
        << "chamber 2 went, chamber 1 waits for a measurement";
    EXPECT_EQ(host.calls, (Calls{"refresh off", "cursor hourglass", "cursor hourglass",
                                 "cursor default", "units W0", "cursor default", "refresh on"}));
    EXPECT_EQ(api.Calls.at(0), "GetDevicePathList({AB245463-F67A-40EC-B096-2A37F30793C5}, 65536)");
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(WatchdogTest, RefreshOfAnInstrumentThatDoesNotAnswerRemovesItsChambers) {
    ConnectSerial(3, MakeInstrument("KIVANTER", 12345), Meas({{0, kPresent}, {2, kPresent}}));
    OpenRecordWindow(2, 2, "W2");
    api.Script("GetMeasAll", {errTimeout});
    api.Script("GetDevId", {errTimeout});
    ctl.Watchdog.AcRefreshExecute();
    EXPECT_EQ(ChildTexts(Instrument(2)), Texts{"Chamber 2 - 0000102"});
    EXPECT_EQ(Chamber(2, 2)->ImageIndex(), 19);
    EXPECT_TRUE(boxes.Shown.empty()) << "a refresh reports no failed query";
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM3 0012345"});
}

// --- Record files changed by another program

class TimerRecTest : public WatchdogTest {
protected:
    TTreeNode* AddRecord(const std::string& File, int32_t Age, const std::string& Id = "0012345") {
        TTreeNode* node = CreateRecNode(tree, boxes, File, File, false, Age);
        SetFieldText(node->As<TRecData>()->InstrumentId, Id);
        host.ages[File] = Age;
        return node;
    }
};

TEST_F(TimerRecTest, AChangedFileIsAskedAboutOncePerChange) {
    AddRecord("C:\\a.zqr", 100);
    ctl.Watchdog.TimerRecTimer();
    EXPECT_TRUE(boxes.Shown.empty());

    host.ages["C:\\a.zqr"] = 200;
    ctl.Watchdog.TimerRecTimer(); // No
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Msg, "Time/Date of file C:\\a.zqr has been changed. Reload?");
    EXPECT_EQ(boxes.Shown[0].Buttons.at(boxes.Shown[0].DefaultButton).Kind, mbNo);
    ctl.Watchdog.TimerRecTimer();
    EXPECT_EQ(boxes.Shown.size(), 1u);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TimerRecTest, YesReloadsTheFileAndEndsTheTick) {
    TFakeRecordWindow window;
    AddRecord("C:\\a.zqr", 100)->As<TRecData>()->RecordWindow = &window;
    AddRecord("C:\\b.zqr", 100);
    host.ages["C:\\a.zqr"] = 200;
    host.ages["C:\\b.zqr"] = 200;
    boxes.Script = {{mrYes, false}};
    ctl.Watchdog.TimerRecTimer();
    EXPECT_EQ(window.closed, 1);
    EXPECT_EQ(host.calls, Calls{"load C:\\a.zqr"});
    EXPECT_EQ(boxes.Shown.size(), 1u);
}

TEST_F(TimerRecTest, RecordsWithoutAnIdOrAFileAreSkipped) {
    AddRecord("C:\\new.zqr", 100, "");
    AddRecord("C:\\gone.zqr", 100);
    host.ages.erase("C:\\gone.zqr");
    host.ages["C:\\new.zqr"] = 200;
    ctl.Watchdog.TimerRecTimer();
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(TimerRecTest, TheTimerDoesNotRunWhileDisabledOrWhileItsQuestionIsOpen) {
    AddRecord("C:\\a.zqr", 100);
    host.ages["C:\\a.zqr"] = 200;
    ctl.Watchdog.SetTimerRecEnabled(false);
    ctl.Watchdog.TimerRecTimer();
    EXPECT_TRUE(boxes.Shown.empty());

    ctl.Watchdog.SetTimerRecEnabled(true);
    boxes.whileShown = [&] {
        EXPECT_FALSE(ctl.Watchdog.TimerRecEnabled());
        ctl.Watchdog.TimerRecTimer();
    };
    ctl.Watchdog.TimerRecTimer();
    EXPECT_EQ(boxes.Shown.size(), 1u);
    EXPECT_TRUE(ctl.Watchdog.TimerRecEnabled());
}

TEST_F(TimerRecTest, ARecordClosedWhileTheQuestionIsOpenIsLeftAlone) {
    AddRecord("C:\\a.zqr", 100);
    host.ages["C:\\a.zqr"] = 200;
    boxes.whileShown = [&] { tree.Delete(tree.RecordsFolder()); };
    ctl.Watchdog.TimerRecTimer();
    EXPECT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(tree.RecordsFolder(), nullptr);
}

} // namespace

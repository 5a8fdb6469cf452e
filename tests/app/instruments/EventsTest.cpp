// The events of a link on the scripted libraries: the drain and its dispatch,
// measurements into the tree and the windows, and the drain's guards against a
// box that runs the library's timer again and against its link being closed.
#include "tests/app/support/LinkCtlFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;
using Texts = std::vector<std::string>;

class EventsTest : public TLinkCtlTest {
protected:
    // A serial instrument on COM3 whose link is open and registered, not yet in the tree.
    void OpenCom3(const std::string& DevId = "ZEPHORA") {
        api.OpenLink(3);
        api.Instrument(3) = MakeInstrument(DevId, 12345);
        api.SetRecEventProc(3, ctl.Events.Handler());
        api.Calls.clear();
    }
    int Count(const std::string& Call) const {
        return static_cast<int>(std::count(host.calls.begin(), host.calls.end(), Call));
    }
};

// --- The drain

TEST_F(EventsTest, ASecondEventThatCannotBeReadStopsTheDrainTheThirdStaysQueued) {
    OpenCom3();
    api.QueueMeasEvent(3, Meas({{0, kPresent}}));
    api.QueueEvent(3, {evMeasData, 255, {}, errAnswer});
    api.QueueMeasEvent(3, Meas({{0, kPresent}, {1, kPresent}}));
    EXPECT_EQ(api.Tick(), 1);
    EXPECT_EQ(boxes.Texts(),
              Texts{"Error in RecEventProc(1) from QuorxComDll.dll. Errorcode: $107"});
    EXPECT_EQ(ChildTexts(Instrument(2)), Texts{"Chamber 0 - 0012345"}) << "the first was handled";
    EXPECT_EQ(api.QueuedEvents(3), 1u);
    EXPECT_EQ(api.CallsOf("GetEvent"), (Calls{"GetEvent(3, 5001)", "GetEvent(3, 5001)"}));

    api.Tick();
    EXPECT_EQ(ChildTexts(Instrument(2)), (Texts{"Chamber 0 - 0012345", "Chamber 1 - 0000101"}));
}

TEST_F(EventsTest, ACountThatCannotBeReadIsReported) {
    OpenCom3();
    api.QueueMeasEvent(3, Meas({}));
    api.Script("GetNumEvent", {errParam});
    api.Fire(3);
    EXPECT_EQ(boxes.Texts(),
              Texts{"Error in RecEventProc(2) from QuorxComDll.dll. Errorcode: $103"});
    EXPECT_TRUE(api.CallsOf("GetEvent").empty());
}

TEST_F(EventsTest, EventsWithOtherCodesOrParametersAreConsumedAndIgnored) {
    OpenCom3();
    const TFakeEvent ignored[] = {
        {evMeasData, 3, {1, 2}, 0}, {evProtActual, 10, {}, 0},  {0x105, 0, {}, 0},
        {evDevInit, 1, {}, 0},      {evProtCalAll, 255, {}, 0},
    };
    for (const TFakeEvent& e : ignored)
        api.QueueEvent(3, e);
    api.Fire(3);
    EXPECT_EQ(api.QueuedEvents(3), 0u);
    EXPECT_EQ(api.CallsOf("GetEvent").size(), 5u);
    EXPECT_EQ(api.Calls.size(), 6u) << "nothing but the count and the five events";
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(EventsTest, AProtocolOpensAProtocolWindowWithItsTitleChamberAndBytes) {
    OpenCom3();
    const struct {
        uint16_t code;
        uint8_t chamber;
        const char* call;
    } cases[] = {
        {evProtActual, 0, "protocol * Actual Protocol 0 3 4"},
        {evProtStable, 9, "protocol * Stable Protocol 9 3 4"},
        {evProtCalSingle, 2, "protocol * Calibration Protocol single point 2 3 4"},
        {evProtCalAll, 5, "protocol * Calibration Protocol all points 5 3 4"},
    };
    Calls expected;
    for (const auto& c : cases) {
        api.QueueEvent(3, {c.code, c.chamber, {'A', 'B', 'C', 'D'}, 0});
        expected.push_back(c.call);
    }
    api.Fire(3);
    EXPECT_EQ(host.calls, expected);
}

TEST_F(EventsTest, ARestartInitialisesTheLinkAgain) {
    OpenCom3();
    api.QueueEvent(3, {evDevInit, 0, {}, 0});
    api.Fire(3);
    EXPECT_EQ(api.CallsOf("GetReqMCap"), Calls{"GetReqMCap(3)"});
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM3 0012345"});
}

TEST_F(EventsTest, AShortMeasurementIsReportedAndChangesNothing) {
    OpenCom3();
    api.QueueEvent(3, {evMeasData, 255, std::vector<uint8_t>(100, 0), 0});
    api.Fire(3);
    EXPECT_EQ(boxes.Texts(), Texts{"Error in NewMeasData from Proflink.dll. Errorcode: $106"});
    EXPECT_EQ(tree.Root()->Count(), 0);
}

// --- A box inside the drain runs the library's timer again.

TEST_F(EventsTest, ADrainThatIsRunningIsNotEnteredAgainForItsLink) {
    OpenCom3();
    api.QueueEvent(3, {evMeasData, 255, std::vector<uint8_t>(100, 0), 0});
    api.QueueMeasEvent(3, Meas({{0, kPresent}}));
    int nestedCalls = 0;
    boxes.whileShown = [&] {
        const std::size_t before = api.Calls.size();
        api.Fire(3);
        nestedCalls = static_cast<int>(api.Calls.size() - before);
    };
    api.Fire(3);
    EXPECT_EQ(nestedCalls, 0) << "the nested call returned at once";
    EXPECT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(api.CallsOf("GetNumEvent").size(), 1u);
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM3 0012345"}) << "the outer drain went on";
    EXPECT_EQ(api.QueuedEvents(3), 0u);

    // Its end lets the next call drain again.
    api.QueueMeasEvent(3, Meas({}));
    api.Fire(3);
    EXPECT_EQ(api.QueuedEvents(3), 0u);
}

TEST_F(EventsTest, AnotherLinkDrainsWhileABoxOfTheFirstIsOpen) {
    OpenCom3();
    api.OpenLink(5);
    api.Instrument(5) = MakeInstrument("KIVANTER", 5);
    api.SetRecEventProc(5, ctl.Events.Handler());
    api.QueueEvent(3, {evMeasData, 255, std::vector<uint8_t>(100, 0), 0});
    api.QueueMeasEvent(5, Meas({{0, kPresent}}));
    boxes.whileShown = [&] { api.Fire(5); };
    api.Fire(3);
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM5 0000005"});
}

TEST_F(EventsTest, AnEmptyQueueEndsTheDrainQuietly) {
    OpenCom3();
    api.QueueMeasEvent(3, Meas({}));
    api.QueueMeasEvent(3, Meas({}));
    // The count says two; someone took the second meanwhile.
    api.Script("GetEvent", {0, errNoEvent});
    api.Fire(3);
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_EQ(api.CallsOf("GetEvent").size(), 2u);
}

// A refused InitComm after a restart closes the link inside its own callback:
// the drain must not go on reading a link that is gone.
TEST_F(EventsTest, ALinkClosedInsideItsCallbackEndsTheDrainAtOnce) {
    OpenCom3("QX-900");
    api.QueueEvent(3, {evDevInit, 0, {}, 0});
    api.QueueMeasEvent(3, Meas({{0, kPresent}}));
    api.Fire(3);
    EXPECT_FALSE(api.IsOpen(3));
    EXPECT_EQ(api.CallsOf("GetEvent").size(), 1u);
    EXPECT_EQ(boxes.Texts(),
              Texts{"Cannot connect with instrument on COM3\r\nUnknown Instrument ID: QX-900"});
    EXPECT_EQ(tree.Root()->Count(), 0);
}

TEST_F(EventsTest, ALinkReplacedWhileItsBoxIsOpenEndsTheDrain) {
    OpenCom3();
    api.QueueEvent(3, {evMeasData, 255, std::vector<uint8_t>(100, 0), 0});
    api.QueueMeasEvent(3, Meas({{0, kPresent}}));
    // The watchdog's reopen or a connect runs in the box's loop.
    boxes.whileShown = [&] { ctl.Connection.OpenCom(3); };
    api.Fire(3);
    EXPECT_EQ(api.CallsOf("GetEvent").size(), 1u);
    EXPECT_EQ(boxes.Shown.size(), 1u);
}

TEST_F(EventsTest, ALinkClosedElsewhereWhileItsBoxIsOpenEndsTheDrainQuietly) {
    OpenCom3();
    api.QueueEvent(3, {evMeasData, 255, std::vector<uint8_t>(100, 0), 0});
    api.QueueMeasEvent(3, Meas({{0, kPresent}}));
    boxes.whileShown = [&] { api.CloseCom(3); };
    api.Fire(3);
    EXPECT_EQ(boxes.Texts(), Texts{"Error in NewMeasData from Proflink.dll. Errorcode: $106"});
}

// A serial number that is no number would raise a conversion error into the
// library's timer.
TEST_F(EventsTest, ASerialNumberThatIsNoNumberEndsTheUpdateSilently) {
    OpenCom3();
    api.Instrument(3).IDSerial[0] = "ZEPHORA 12AB";
    api.QueueMeasEvent(3, Meas({{0, kPresent}}));
    api.QueueMeasEvent(3, Meas({{0, kPresent}}));
    EXPECT_NO_THROW(api.Fire(3));
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_EQ(api.QueuedEvents(3), 0u) << "the drain went on";
    ASSERT_EQ(tree.Root()->Count(), 1);
    const TInstrumentData& d = *InstrumentData(tree.Root()->Item(0));
    EXPECT_EQ(FieldText(d.DevId), "") << "nothing stored";
    EXPECT_EQ(d.SerialNumber, 0);
    EXPECT_EQ(tree.Root()->Item(0)->Count(), 0) << "no chamber without a known model";
}

TEST_F(EventsTest, ARefreshWithABadSerialNumberKeepsTheNodesValues) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{0, kPresent}}));
    api.Instrument(3).IDSerial[0] = "ZEPHORA 1.5";
    api.Instrument(3).DevSWVers = "9.99";
    ctl.Live.UpdateTree(3, Meas({{0, kPresent}}), true);
    EXPECT_EQ(ChildTexts(tree.Root()), Texts{"COM3 0012345"});
    EXPECT_EQ(FieldText(InstrumentData(Instrument(2))->DevSWVers), "2.10");
}

TEST_F(EventsTest, NoExceptionLeavesTheEventProcedure) {
    OpenCom3();
    host.onProtocol = [] { throw std::runtime_error("window failed"); };
    api.QueueEvent(3, {evProtActual, 0, {}, 0});
    EXPECT_NO_THROW(api.Fire(3));
    // The drain is not left marked as running.
    api.QueueMeasEvent(3, Meas({}));
    api.Fire(3);
    EXPECT_EQ(api.QueuedEvents(3), 0u);
}

// --- Measurements into the tree

TEST_F(EventsTest, TheFirstMeasurementEntersTheInstrumentAndItsPresentChambers) {
    struct Case {
        const char* id;
        int32_t kinds[3];  // of chambers 0, 2 and 7
        int32_t images[3]; // present
    } cases[] = {
        {"KIVANTER", {nkKivanterChamber0, nkKivanterChamber, nkKivanterChamber}, {16, 17, 17}},
        {"ZEPHORA", {nkZephoraChamber0, nkZephoraChamber, nkZephoraChamber}, {2, 3, 3}},
        {"ZEPHORAN", {nkZephoraNChamber, nkZephoraNChamber, nkZephoraNChamber}, {23, 23, 23}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        if (TTreeNode* old = Instrument(2))
            tree.Delete(old);
        OpenCom3(c.id);
        Measure(3, Meas({{7, kPresent}, {0, kPresent}, {2, kPresent}}));
        TTreeNode* instrument = Instrument(2);
        ASSERT_NE(instrument, nullptr);
        EXPECT_EQ(instrument->Text(), "COM3 0012345");
        EXPECT_EQ(instrument->ImageIndex(), imSerialInstrument);
        EXPECT_EQ(ChildTexts(instrument),
                  (Texts{"Chamber 0 - 0012345", "Chamber 2 - 0000102", "Chamber 7 - 0000107"}));
        for (int i = 0; i < 3; ++i) {
            const TTreeNode* chamber = instrument->Item(i);
            EXPECT_EQ(chamber->Kind(), c.kinds[i]);
            EXPECT_EQ(chamber->ImageIndex(), c.images[i]);
            EXPECT_EQ(chamber->StateIndex(), imNone);
        }
        const TChamberData& c2 = *ChamberData(instrument->Item(1));
        EXPECT_EQ(FieldText(c2.SWVers), "1.02");
        EXPECT_EQ(FieldText(c2.IdPart), c.id);
        EXPECT_EQ(FieldText(c2.SerialPart), "0000102");
        // + compares a copy: a packed field is no place for a reference.
        EXPECT_EQ(+c2.Live.Meas.Humidity, 5002);
        EXPECT_TRUE(tree.Root()->Expanded());
        EXPECT_TRUE(instrument->Expanded());
        const TInstrumentData& d = *InstrumentData(instrument);
        EXPECT_EQ(FieldText(d.DevId), c.id);
        EXPECT_EQ(d.SerialNumber, 12345);
        EXPECT_EQ(d.UsbProductId, 0);
    }
}

TEST_F(EventsTest, LaterMeasurementsQueryNothingAndResetTheSilence) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{0, kPresent}}));
    InstrumentData(Instrument(2))->SilenceCount = 3;
    api.Calls.clear();
    Measure(3, Meas({{0, kPresent}}));
    EXPECT_EQ(api.Calls,
              (Calls{"GetNumEvent(3)", "GetEvent(3, 5001)", "EventDataToTMEASall(128)"}));
    EXPECT_EQ(InstrumentData(Instrument(2))->SilenceCount, 0);
}

TEST_F(EventsTest, AnAbsentChamberGoesUnlessItHasARecordWindow) {
    struct Case {
        const char* what;
        bool window;
        bool recording;
        bool kept;
        int32_t state; // while absent
    } cases[] = {
        {"no window", false, false, false, imNone},
        {"a window", true, false, true, imNone},
        {"a recording window", true, true, true, imRecordingAbsent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (TTreeNode* old = Instrument(2))
            tree.Delete(old);
        ConnectSerial(3, MakeInstrument("KIVANTER", 12345), Meas({{0, kPresent}, {2, kPresent}}));
        if (c.window)
            OpenRecordWindow(2, 2, "W").recording = c.recording;
        Measure(3, Meas({{0, kPresent}}));
        TTreeNode* chamber = Chamber(2, 2);
        ASSERT_EQ(chamber != nullptr, c.kept);
        if (!chamber)
            continue;
        EXPECT_EQ(chamber->ImageIndex(), 19) << "absent image";
        EXPECT_EQ(chamber->StateIndex(), c.state);

        Measure(3, Meas({{0, kPresent}, {2, kPresent}}));
        EXPECT_EQ(chamber->ImageIndex(), 17) << "present image";
        EXPECT_EQ(chamber->StateIndex(), c.recording ? imRecording : imNone);
    }
}

TEST_F(EventsTest, StabilityValuesAreReadOnceWhenAChamberBecomesStable) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{1, kPresent}}));
    api.Instrument(3).Stab[1] = {7700, 2510, 600};
    api.Calls.clear();
    Measure(3, Meas({{1, kPresent | csStable}}));
    Measure(3, Meas({{1, kPresent | csStable}}));
    EXPECT_EQ(api.CallsOf("GetStab"), Calls{"GetStab(3, 1)"});
    EXPECT_EQ(+ChamberData(Chamber(2, 1))->Stab.Humidity, 7700);

    Measure(3, Meas({{1, kPresent}}));
    Measure(3, Meas({{1, kPresent | csStable}}));
    EXPECT_EQ(api.CallsOf("GetStab").size(), 2u) << "once per transition";
}

TEST_F(EventsTest, StabilityValuesThatCannotBeReadAreReported) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{1, kPresent}}));
    api.Script("GetStab", {errTimeout});
    Measure(3, Meas({{1, kPresent | csStable}}));
    EXPECT_EQ(boxes.Texts(), Texts{"Error in SetMeasTree(1) from Proflink.dll. Errorcode: $102"});
    EXPECT_EQ(+ChamberData(Chamber(2, 1))->Live.Meas.Status, kPresent | csStable);
}

TEST_F(EventsTest, IdentityQueriesThatFailAreReportedAndTheChambersWait) {
    OpenCom3();
    api.Script("GetDevUnits", {errTimeout});
    Measure(3, Meas({{0, kPresent}}));
    EXPECT_EQ(boxes.Texts(), Texts{"Error in UpdateTree(1) from Proflink.dll. Errorcode: $102"});
    ASSERT_NE(Instrument(2), nullptr);
    EXPECT_EQ(Instrument(2)->Count(), 0);

    // A refresh reads the identity; the next measurement adds the chambers.
    ctl.Live.UpdateTree(3, Meas({{0, kPresent}}), true);
    EXPECT_EQ(Instrument(2)->Count(), 0) << "a refresh adds no chamber";
    Measure(3, Meas({{0, kPresent}}));
    EXPECT_EQ(ChildTexts(Instrument(2)), Texts{"Chamber 0 - 0012345"});
}

TEST_F(EventsTest, AChamberWhoseQueriesFailIsNamedWithoutItsSerial) {
    OpenCom3();
    api.Script("GetSWVers", {0, errTimeout});
    Measure(3, Meas({{0, kPresent}, {1, kPresent}}));
    EXPECT_EQ(boxes.Texts(), Texts{"Error in UpdateTree(2) from Proflink.dll. Errorcode: $102"});
    EXPECT_EQ(ChildTexts(Instrument(2)), (Texts{"Chamber 0 - 0012345", "Chamber 1 - "}));
}

// The box of a new chamber lets the watchdog run; five silent ticks delete the
// chamber nodes, the one the box is about too.
TEST_F(EventsTest, AChamberDeletedWhileItsBoxIsOpenIsLeftAlone) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345), Meas({{0, kPresent}}));
    api.Script("GetSWVers", {errTimeout});
    boxes.whileShown = [&] {
        for (int i = 0; i < kSilentTicks; ++i)
            ctl.Watchdog.TimerComTimer();
    };
    Measure(3, Meas({{0, kPresent}, {1, kPresent}}));
    ASSERT_NE(Instrument(2), nullptr);
    EXPECT_EQ(Instrument(2)->Count(), 0);
}

TEST_F(EventsTest, TheUserTextFollowsTheProfileLevelAndTheInstrumentsStatus) {
    struct Case {
        const char* what;
        uint16_t level;
        TLinkResult status;
        const char* user;
        bool boxed;
    } cases[] = {
        {"logged in", 2, 0, "Anna", false},
        {"not logged in", 2, kUserNotLoggedIn, "Not logged in", false},
        {"no user administration", 2, kNoUser, "", false},
        {"a profile without users", 1, 0, "", false},
        {"an error", 2, errTimeout, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (TTreeNode* old = Instrument(2))
            tree.Delete(old);
        boxes.Shown.clear();
        OpenCom3();
        api.Instrument(3).ProfileCap = c.level;
        api.Instrument(3).User = "Anna";
        if (c.status)
            api.Script("GetDevUser", {c.status});
        Measure(3, Meas({}));
        EXPECT_EQ(FieldText(InstrumentData(Instrument(2))->DevUser), c.user);
        EXPECT_EQ(boxes.Shown.size(), c.boxed ? 1u : 0u);
        EXPECT_EQ(api.CallsOf("GetDevUser").size(), c.level < 2 ? 0u : 1u);
    }
}

TEST_F(EventsTest, AMeasurementWithoutATreeReportsTheMissingNode) {
    TTreeModel bare;
    TLinkCtl link(api, boxes, bare, host, registry, usb);
    api.OpenLink(3);
    const TMEASall none = Meas({});
    link.Live.NewMeasData(&none, sizeof none, 3);
    EXPECT_EQ(boxes.Texts(), Texts{"Error in SetMeasTree(2). Node not found"});
}

// --- Windows

TEST_F(EventsTest, RecordWindowsTakeSamplesOnlyWhileRecordingWithTheSensorOn) {
    ConnectSerial(3, MakeInstrument("ZEPHORA", 12345),
                  Meas({{0, kPresent}, {1, kPresent}, {2, kPresent}}));
    OpenRecordWindow(2, 0, "W0");
    OpenRecordWindow(2, 1, "W1").recording = true;
    OpenRecordWindow(2, 2, "W2").recording = true;
    TFakeOverviewWindow overview;
    InstrumentData(Instrument(2))->OverviewWindow = &overview;
    host.calls.clear();
    Measure(3, Meas({{0, kPresent | csSensorOn}, {1, kPresent | csSensorOn}, {2, kPresent}}));
    EXPECT_EQ(host.calls, (Calls{"show W0", "sample W1", "show W2"}));
    EXPECT_EQ(overview.updates, 1);
    EXPECT_EQ(Chamber(2, 1)->StateIndex(), imRecording);
}

TEST_F(EventsTest, AnInterruptedRecordingOfANewChamberIsResumedFromItsTempFiles) {
    struct Case {
        const char* what;
        bool autoRestore;
        std::vector<std::string> files;
        bool resumed;
    } cases[] = {
        {"both files",
         true,
         {"C:\\Temp\\cZEPHORA#0x0000_12345_1~.tmp", "C:\\Temp\\cZEPHORA#0x0000_12345_1h~.tmp"},
         true},
        {"only the data file", true, {"C:\\Temp\\cZEPHORA#0x0000_12345_1~.tmp"}, false},
        {"autorest off",
         false,
         {"C:\\Temp\\cZEPHORA#0x0000_12345_1~.tmp", "C:\\Temp\\cZEPHORA#0x0000_12345_1h~.tmp"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (TTreeNode* old = Instrument(2))
            tree.Delete(old);
        host.calls.clear();
        host.autoRestore = c.autoRestore;
        host.ages.clear();
        for (const std::string& f : c.files)
            host.ages[f] = 1;
        OpenCom3();
        Measure(3, Meas({{1, kPresent}}));
        EXPECT_EQ(Count("showrec"), c.resumed ? 1 : 0);
        EXPECT_EQ(tree.Selected() == Chamber(2, 1), c.resumed);
    }
}

TEST_F(EventsTest, AUsbInstrumentsTempFilesCarryItsProductId) {
    api.OpenLink(257, UsbPath("12345", "3e9b"));
    api.Instrument(257) = MakeInstrument("KIVANTER", 12345);
    api.SetRecEventProc(257, ctl.Events.Handler());
    host.autoRestore = true;
    host.ages = {{"C:\\Temp\\KIVANTER#0x3E9B_12345_0~.tmp", 1},
                 {"C:\\Temp\\KIVANTER#0x3E9B_12345_0h~.tmp", 1}};
    Measure(257, Meas({{0, kPresent}}));
    EXPECT_EQ(Count("showrec"), 1);
}

} // namespace

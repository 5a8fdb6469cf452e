// Proflink.dll and QuorxComDll.dll under Wine, against the instrument simulator
// on the far end of the test's COM port. The simulator runs with the model below
// (its command line is in this folder's CMakeLists.txt), so every reply has a
// known value.
#include "ProflinkH.h"
#include "QuorxComDllH.h"
#include "tests/support/WineTestSupport_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

// The simulator's model, as its command line sets it.
constexpr bool kPresent[10] = {true, false, false, true, false, false, false, false, false, true};
struct TTarget {
    std::int16_t Humidity, Temperature, Third;
};
constexpr TTarget kTargets[10] = {
    {7512, 2480, 15}, {}, {}, {8234, 3012, -20}, {}, {}, {}, {}, {}, {4321, -525, 0},
};
constexpr const char* kChamberVersion = "1.12";
constexpr const char* kChamberId = "QC";
constexpr std::uint32_t kSerialBase = 2000300;
constexpr TDevUnits kUnits = {1, 1, 2};
constexpr const char* kUser = "LABORATORY-USER-0020"; // the longest a text may be
constexpr std::uint32_t kStableAfterS = 1;
// Every present chamber, once stable with the values at their targets.
constexpr TChamberStatus kStableStatus =
    csPresent | csSensorOn | csHumidityValid | csTemperatureValid | csStable | csProgressMask;

std::string VersionOf(int Slot) {
    return kPresent[Slot] ? kChamberVersion : "";
}

std::string IdSerialOf(int Slot) {
    return kPresent[Slot] ? std::string(kChamberId) + " " + std::to_string(kSerialBase + Slot) : "";
}

std::string Text(const TDevText& T) {
    return std::string(T.Text, strnlen(T.Text, sizeof T.Text));
}

// Everything of a chamber's measurement but the seconds of its run, which move on.
void ExpectMeasuredChamber(const TChamberMeas& Got, int Slot) {
    SCOPED_TRACE("chamber " + std::to_string(Slot));
    if (!kPresent[Slot]) {
        const TChamberMeas none{};
        EXPECT_EQ(std::memcmp(&Got, &none, sizeof none), 0) << "an absent chamber is all zero";
        return;
    }
    EXPECT_EQ(Got.Humidity, kTargets[Slot].Humidity);
    EXPECT_EQ(Got.Temperature, kTargets[Slot].Temperature);
    EXPECT_EQ(Got.Third, kTargets[Slot].Third);
    EXPECT_EQ(Got.Status, kStableStatus);
    EXPECT_GE(Got.Elapsed, kStableAfterS);
}

void ExpectRelativeStamp(const TMeasStamp& Stamp) {
    EXPECT_EQ(Stamp.Day, 0);
    EXPECT_EQ(Stamp.Month, 0);
    EXPECT_EQ(Stamp.Year, 0);
    EXPECT_GE(Stamp.Seconds, kStableAfterS);
}

class ProflinkSimTest : public testing::Test {
protected:
    void SetUp() override {
        port = TestComPort();
        if (port == 0)
            GTEST_SKIP() << "no test COM port (run through with-com-port)";
        ASSERT_TRUE(Control(std::string("fault none\nevents off\nrate 100\nchambers 0,3,9\nuser ") +
                            kUser + "\n"));
        ASSERT_EQ(OpenComEx(port, 100, 5001, 19200, 128790, 0), 0);
        WaitUntilStable();
    }
    void TearDown() override {
        if (port != 0)
            CloseCom(port);
    }

    // A control file whose text changed, so that the simulator runs it even
    // when the previous test sent the same commands.
    static bool Control(const std::string& Commands) {
        static int serial = 0;
        return SimControl("# " + std::to_string(++serial) + "\n" + Commands);
    }

    // A chamber analyses for its first second (after the simulator's start, or
    // after it came back).
    void WaitUntilStable() {
        for (int i = 0; i < 40; ++i) {
            TMEASall all{};
            bool stable = GetMeasAll(port, &all) == 0;
            for (int n = 0; n < 10; ++n)
                stable = stable && (!kPresent[n] || (all.Chamber[n].Status & csStable) != 0);
            if (stable)
                return;
            Sleep(100);
        }
        FAIL() << "the chambers never became stable";
    }

    int port = 0;
};

TEST_F(ProflinkSimTest, TextsOfEverySlotAndOfAll) {
    TDevTextAll versions, ids;
    std::memset(&versions, 0xAA, sizeof versions);
    std::memset(&ids, 0xAA, sizeof ids);
    ASSERT_EQ(GetSWVersAll(port, &versions), 0);
    ASSERT_EQ(GetIDSerialAll(port, &ids), 0);
    for (int slot = 0; slot < 10; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        TDevText one;
        std::memset(&one, 0xAA, sizeof one);
        EXPECT_EQ(GetSWVers(port, slot, &one), 0);
        EXPECT_EQ(Text(one), VersionOf(slot));
        EXPECT_EQ(Text(versions.Text[slot]), VersionOf(slot));
        std::memset(&one, 0xAA, sizeof one);
        EXPECT_EQ(GetIDSerial(port, slot, &one), 0);
        EXPECT_EQ(Text(one), IdSerialOf(slot));
        EXPECT_EQ(Text(ids.Text[slot]), IdSerialOf(slot));
    }
}

TEST_F(ProflinkSimTest, MeasurementOfOneChamberAndOfAll) {
    TMEASall all;
    std::memset(&all, 0xAA, sizeof all);
    ASSERT_EQ(GetMeasAll(port, &all), 0);
    ExpectRelativeStamp(all.Stamp);
    for (int slot = 0; slot < 10; ++slot) {
        ExpectMeasuredChamber(all.Chamber[slot], slot);
        TMeas one;
        std::memset(&one, 0xAA, sizeof one);
        ASSERT_EQ(GetMeas(port, slot, &one), 0);
        ExpectRelativeStamp(one.Stamp);
        ExpectMeasuredChamber(one.Chamber, slot);
        EXPECT_GE(one.Stamp.Seconds, all.Stamp.Seconds);
        EXPECT_LE(one.Stamp.Seconds, all.Stamp.Seconds + 2);
    }
}

TEST_F(ProflinkSimTest, StabilityOfOneChamberAndOfAll) {
    TStabAll all;
    std::memset(&all, 0xAA, sizeof all);
    ASSERT_EQ(GetStabAll(port, &all), 0);
    std::uint16_t presentMask = 0;
    for (int slot = 0; slot < 10; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        TStab one;
        std::memset(&one, 0xAA, sizeof one);
        ASSERT_EQ(GetStab(port, slot, &one), 0);
        const TStab expected = kPresent[slot] ? TStab{kTargets[slot].Humidity,
                                                      kTargets[slot].Temperature, kStableAfterS}
                                              : TStab{};
        EXPECT_EQ(one.Humidity, expected.Humidity);
        EXPECT_EQ(one.Temperature, expected.Temperature);
        EXPECT_EQ(one.Seconds, expected.Seconds);
        // The all-chambers record arrives as the simulator lays it out: eight
        // bytes a chamber, then the mask of the chambers present.
        EXPECT_EQ(std::memcmp(all.Data + 8 * slot, &expected, sizeof expected), 0);
        if (kPresent[slot])
            presentMask = static_cast<std::uint16_t>(presentMask | 1u << slot);
    }
    EXPECT_EQ(all.Data[80] | all.Data[81] << 8, presentMask);
}

TEST_F(ProflinkSimTest, UnitsAndUser) {
    TDevUnits units;
    std::memset(&units, 0xAA, sizeof units);
    ASSERT_EQ(GetDevUnits(port, &units), 0);
    EXPECT_EQ(units.HumidityMode, kUnits.HumidityMode);
    EXPECT_EQ(units.TemperatureUnit, kUnits.TemperatureUnit);
    EXPECT_EQ(units.DateFormat, kUnits.DateFormat);
    TDevText user;
    std::memset(&user, 0xAA, sizeof user);
    ASSERT_EQ(GetDevUser(port, &user), 0);
    EXPECT_EQ(std::string(user.Text, sizeof user.Text), std::string(kUser) + '\0');
    ASSERT_TRUE(Control("user OPERATOR\n"));
    ASSERT_EQ(GetDevUser(port, &user), 0);
    EXPECT_STREQ(user.Text, "OPERATOR");
}

TEST_F(ProflinkSimTest, BadSlotsAreRefusedAndTheLinkStaysUsable) {
    TMeas meas;
    TStab stab;
    TDevText text;
    for (const std::int32_t slot : {10, 255, -1}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(GetMeas(port, slot, &meas), errParam);
        EXPECT_EQ(GetStab(port, slot, &stab), errParam);
        EXPECT_EQ(GetSWVers(port, slot, &text), errParam);
        EXPECT_EQ(GetIDSerial(port, slot, &text), errParam);
    }
    EXPECT_EQ(GetMeas(port, 9, &meas), 0);
    EXPECT_EQ(GetDevUser(port + 1, &text), errNotOpen);
}

TEST_F(ProflinkSimTest, EventSwitchReadsBack) {
    std::uint8_t setting = 0xAA;
    ASSERT_EQ(GetMeasEvent(port, &setting), 0);
    EXPECT_EQ(setting, 0);
    ASSERT_EQ(SetMeasEvent(port, 0xFF), 0);
    ASSERT_EQ(GetMeasEvent(port, &setting), 0);
    EXPECT_EQ(setting, 0xFF);
    ASSERT_EQ(SetMeasEvent(port, 0), 0);
    ASSERT_EQ(GetMeasEvent(port, &setting), 0);
    EXPECT_EQ(setting, 0);
}

// What the event procedure drained: measurement events, their conversion, and
// anything else that arrived.
struct TDrained {
    int Measurements = 0;
    int Others = 0;
    TMEASall Last{};
};
TDrained gDrained;

void QUORX_CALL DrainEvents(TDevIndex Index) {
    int count = 0;
    if (GetNumEvent(Index, &count, nullptr, nullptr) != 0)
        return;
    for (int i = 0; i < count; ++i) {
        std::uint16_t code = 0;
        std::uint8_t param = 0;
        std::uint8_t data[5001];
        int len = 0;
        TMEASall meas;
        if (GetEvent(Index, &code, &param, data, sizeof data, &len) == 0 && code == 0x100 &&
            param == 255 && EventDataToTMEASall(data, len, &meas) == 0) {
            ++gDrained.Measurements;
            gDrained.Last = meas;
        } else {
            ++gDrained.Others;
        }
    }
}

TEST_F(ProflinkSimTest, MeasurementEventsArriveWhileOnAndStopWhenOff) {
    gDrained = {};
    ASSERT_EQ(SetRecEventProc(port, DrainEvents), 0);
    ASSERT_EQ(SetMeasEvent(port, 0xFF), 0);
    RunEvents(1000);
    EXPECT_GE(gDrained.Measurements, 5);
    EXPECT_EQ(gDrained.Others, 0);

    // A request between the events; its reply matches the latest event.
    TMEASall polled{};
    ASSERT_EQ(GetMeasAll(port, &polled), 0);
    RunEvents(300);
    const TMEASall& event = gDrained.Last;
    ExpectRelativeStamp(event.Stamp);
    EXPECT_LE(event.Stamp.Seconds - polled.Stamp.Seconds, 1u);
    for (int slot = 0; slot < 10; ++slot) {
        ExpectMeasuredChamber(event.Chamber[slot], slot);
        EXPECT_LE(event.Chamber[slot].Elapsed - polled.Chamber[slot].Elapsed, 1u);
    }

    ASSERT_EQ(SetMeasEvent(port, 0), 0);
    RunEvents(300); // events already on their way
    const int before = gDrained.Measurements;
    RunEvents(700);
    EXPECT_EQ(gDrained.Measurements, before) << "events after switching them off";
    int lost = -1;
    EXPECT_EQ(GetNumEvent(port, nullptr, nullptr, &lost), 0);
    EXPECT_EQ(lost, 0);
    SetRecEventProc(port, nullptr);
}

TEST_F(ProflinkSimTest, ChamberThatGoesAwayIsAbsentInTheNextEvent) {
    gDrained = {};
    ASSERT_EQ(SetRecEventProc(port, DrainEvents), 0);
    ASSERT_TRUE(Control("chambers 0,9\n"));
    ASSERT_EQ(SetMeasEvent(port, 0xFF), 0);
    RunEvents(500);
    const int before = gDrained.Measurements;
    RunEvents(300);
    ASSERT_GT(gDrained.Measurements, before);
    const TMEASall& event = gDrained.Last;
    EXPECT_EQ(event.Chamber[0].Status, kStableStatus);
    EXPECT_EQ(event.Chamber[3].Status & csPresent, 0);
    EXPECT_EQ(event.Chamber[9].Status, kStableStatus);
    EXPECT_EQ(SetMeasEvent(port, 0), 0);
    SetRecEventProc(port, nullptr);
}

struct TFaultCase {
    const char* Fault;
    const char* Call;
    std::function<TLinkResult(int Port)> Run;
    TLinkResult Expected;
};

TLinkResult MeasAll(int Port) {
    TMEASall b;
    return GetMeasAll(Port, &b);
}
TLinkResult Meas(int Port) {
    TMeas b;
    return GetMeas(Port, 3, &b);
}
TLinkResult Stab(int Port) {
    TStab b;
    return GetStab(Port, 0, &b);
}
TLinkResult Units(int Port) {
    TDevUnits b;
    return GetDevUnits(Port, &b);
}
TLinkResult User(int Port) {
    TDevText b;
    return GetDevUser(Port, &b);
}
TLinkResult VersionsAll(int Port) {
    TDevTextAll b;
    return GetSWVersAll(Port, &b);
}
TLinkResult IdsAll(int Port) {
    TDevTextAll b;
    return GetIDSerialAll(Port, &b);
}
TLinkResult EventSetting(int Port) {
    std::uint8_t b;
    return GetMeasEvent(Port, &b);
}
TLinkResult EventsOff(int Port) {
    return SetMeasEvent(Port, 0);
}

TEST_F(ProflinkSimTest, FaultyRepliesGiveTheirCodes) {
    const TFaultCase cases[] = {
        // The instrument's status byte passes through, for its request only.
        {"status:18:0x205", "GetDevUser", User, 18},
        {"status:18:0x205", "GetDevUnits", Units, 0},
        {"status:19:0x205", "GetDevUser", User, 19},
        {"status:7", "GetMeasAll", MeasAll, 7},
        {"status:7", "GetSWVersAll", VersionsAll, 7},
        {"status:7", "SetMeasEvent", EventsOff, 7},
        {"status:255", "GetMeasEvent", EventSetting, 255},
        // A record reply one byte short, or one byte more than its buffer takes.
        {"wrong-length", "GetMeasAll", MeasAll, errLength},
        {"wrong-length:1", "GetMeasAll", MeasAll, errBuffer},
        {"wrong-length", "GetMeas", Meas, errLength},
        {"wrong-length", "GetStab", Stab, errLength},
        {"wrong-length", "GetDevUnits", Units, errLength},
        // A text reply may be shorter, never longer than its buffer; ten texts with one
        // more byte or the last NUL missing are not ten texts.
        {"wrong-length", "GetDevUser", User, 0},
        {"wrong-length:1", "GetDevUser", User, errBuffer},
        {"wrong-length", "GetSWVersAll", VersionsAll, errAnswer},
        {"wrong-length:1", "GetIDSerialAll", IdsAll, errAnswer},
        {"wrong-length:1", "GetSWVersAll", VersionsAll, errAnswer},
        {"corrupt-check", "GetMeasAll", MeasAll, errChecksum},
    };
    for (const TFaultCase& c : cases) {
        SCOPED_TRACE(std::string(c.Fault) + " " + c.Call);
        ASSERT_TRUE(Control(std::string("fault ") + c.Fault + "\n"));
        EXPECT_EQ(c.Run(port), c.Expected);
    }
    ASSERT_TRUE(Control("fault none\n"));
    EXPECT_EQ(MeasAll(port), 0);
}

} // namespace

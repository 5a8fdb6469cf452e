// Bus links: select, poll, release and broadcast against simulated
// instruments sharing one line.
#include "link/core/QuorxFrame.h"
#include "tests/link/core/LinkTestSupport.h"
#include "tools/sim/SimFraming.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TLinkSetup BusSetup() {
    TLinkSetup s = SerialSetup();
    s.Bus = true;
    return s;
}

// Instruments at the given addresses, each with its own device id "DEV<addr>".
struct TBusRig {
    explicit TBusRig(std::initializer_list<int> Addresses, std::uint32_t ClockStart = 5000,
                     int ReplyDelayMs = 0)
        : Clock(ClockStart), Line(Clock), Dev(Line, Clock) {
        for (int a : Addresses) {
            TSimConfig c;
            c.BusAddress = a;
            c.ReplyDelayMs = ReplyDelayMs;
            c.Model.DeviceId = "DEV" + std::to_string(a);
            Sims.push_back(std::make_unique<TInstrumentSim>(c));
            Line.Attach(*Sims.back());
        }
        Dev.LinkOpened(BusSetup());
    }
    std::string DevId(std::uint8_t Addr, TLinkResult& Result) {
        Dev.SetBusAddress(Addr);
        char text[21];
        int count = 0;
        Result = Dev.Request(1, 0, nullptr, 0, text, -21, &count);
        return ReplyText(text, count, 21);
    }
    int Count(std::uint8_t B) const {
        return static_cast<int>(std::count(Line.Written().begin(), Line.Written().end(), B));
    }

    TFakeClock Clock;
    std::vector<std::unique_ptr<TInstrumentSim>> Sims;
    TSimLine Line;
    TNPDev Dev;
};

TEST(Bus, GoldenSelectFramePollRelease) {
    TBusRig rig({5});
    rig.Dev.SetBusAddress(5);
    TMEASall meas;
    EXPECT_EQ(rig.Dev.Request(0x201, 255, nullptr, 0, &meas, 128, nullptr), 0);
    EXPECT_EQ(rig.Line.Written(),
              B({0xF7, 0x05, 0xF1, 0x01, 0x02, 0xFF, 0xF6, 0xE5, 0xDD, 0xF7, 0x05, 0xFD}));
}

TEST(Bus, EachInstrumentAnswersOnlyItsAddress) {
    TBusRig rig({3, 5, 125});
    for (int a : {5, 3, 125, 5}) {
        SCOPED_TRACE(a);
        TLinkResult result = -1;
        EXPECT_EQ(rig.DevId(static_cast<std::uint8_t>(a), result), "DEV" + std::to_string(a));
        EXPECT_EQ(result, 0);
    }
}

TEST(Bus, NoInstrumentAtTheAddress) {
    TBusRig rig({3});
    TLinkResult result = -1;
    const std::uint32_t ms = [&] {
        const std::uint32_t start = rig.Clock.Now();
        rig.DevId(9, result);
        return TicksSince(start, rig.Clock.Now());
    }();
    EXPECT_EQ(result, errBusNoAnswer);
    EXPECT_GE(ms, 1000u);
    EXPECT_LE(ms, 1100u);
    EXPECT_EQ(rig.Count(0xF1), 0) << "no frame without a selection";
}

TEST(Bus, BroadcastSendsWithoutReplyOrRelease) {
    TBusRig rig({3, 5});
    rig.Dev.SetBusAddress(126);
    const std::uint8_t on = 0xFF;
    EXPECT_EQ(rig.Dev.Command(0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
    for (auto& sim : rig.Sims)
        EXPECT_EQ(sim->Instrument().MeasEvent(), 0xFF);
    const std::uint8_t all = 126;
    const TOutFrame frame = BuildFrame(0xF2, 0x200, 0, &on, 1, Checksum16(&all, 1));
    EXPECT_EQ(rig.Line.Written(), Concat({B({0xF7, 126}), frame.Wire}));

    rig.Line.ClearWritten();
    std::uint8_t b = 0;
    EXPECT_EQ(rig.Dev.Request(0x200, 0, nullptr, 0, &b, 1, nullptr), errLength);
    EXPECT_EQ(rig.Count(0xFD), 0);
    EXPECT_EQ(rig.Count(0xF7), 1) << "no poll";
}

TEST(Bus, BusyInstrumentIsPolledAgain) {
    TBusRig rig({7}, 5000, 300);
    TLinkResult result = -1;
    EXPECT_EQ(rig.DevId(7, result), "DEV7");
    EXPECT_EQ(result, 0);
    EXPECT_GE(rig.Count(0xF7), 5) << "select, poll, and polls after each 0xF8";
}

TEST(Bus, SelectionAcrossTheTickWrap) {
    TBusRig rig({4}, 0xFFFFFFFFu - 100, 200);
    TLinkResult result = -1;
    EXPECT_EQ(rig.DevId(4, result), "DEV4");
    EXPECT_EQ(result, 0);
}

TEST(Bus, EventsArriveWithTheSelection) {
    TBusRig rig({2});
    rig.Dev.SetBusAddress(2);
    const std::uint8_t on = 0xFF;
    EXPECT_EQ(rig.Dev.Command(0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
    rig.Clock.Advance(2500);
    rig.Dev.TimerTick(); // a bus link has no timer; a tick would find nothing anyway
    EXPECT_EQ(rig.Dev.EventCounts(nullptr, nullptr), 0);
    TLinkResult result = -1;
    rig.DevId(2, result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(rig.Dev.EventCounts(nullptr, nullptr), 1);
}

// A stray reply seen while the bus was released wrote its count into the
// RxCount of the transaction that had just completed.
TEST(Bus, StrayReplyDuringReleaseKeepsTheCallersRxCount) {
    TScriptPort port;
    TFakeClock clock;
    TNPDev dev(port, clock);
    dev.LinkOpened(BusSetup());
    dev.SetBusAddress(5);
    std::uint16_t lastCheck = 0;
    port.OnWrite = [&](const Bytes& w) {
        const std::uint8_t addr = 5;
        if (w == B({0xF7, 5}) && lastCheck == 0) {
            port.Offer({0xF8}); // selected
        } else if (w.size() > 2 && w[0] == 0xF1) {
            lastCheck = static_cast<std::uint16_t>(w[w.size() - 2] | (w[w.size() - 1] << 8));
        } else if (w == B({0xF7, 5})) {
            port.Offer(ReplyFrame(B({1, 2, 3}), 0, Checksum16Cont(lastCheck, &addr, 1)));
        } else if (w == B({0xFD}) && lastCheck != 1) {
            lastCheck = 1;
            port.Offer(
                ReplyFrame(Bytes(9, 0x44), 0, 0)); // stray; 0xF8 comes after the next release
        } else if (w == B({0xFD})) {
            port.Offer({0xF8});
        }
    };
    std::uint8_t rx[8] = {};
    int count = -1;
    EXPECT_EQ(dev.Request(0x300, 0, nullptr, 0, rx, -8, &count), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Bytes(rx, rx + 3), B({1, 2, 3}));
    EXPECT_EQ(std::count(port.Written.begin(), port.Written.end(), 0xFD), 2)
        << "the stray reply is answered with another release";
}

// A line that keeps sending bytes without 0xF8 restarted the selection's
// clocks at every byte and held the caller for ever.
TEST(Bus, ChattyBusSelectionEndsByTheTotalTimeout) {
    TScriptPort port;
    port.Chatty = true;
    TFakeClock clock;
    clock.SetAutoAdvanceMs(1); // the line is busy, the clock goes on
    TNPDev dev(port, clock);
    dev.LinkOpened(BusSetup());
    dev.SetBusAddress(5);
    const std::uint32_t start = clock.Now();
    std::uint8_t b;
    EXPECT_EQ(dev.Request(1, 0, nullptr, 0, &b, -1, nullptr), errTimeout);
    const std::uint32_t ms = TicksSince(start, clock.Now());
    EXPECT_GE(ms, 10000u);
    EXPECT_LE(ms, 10100u);
    EXPECT_EQ(dev.InterByteTimeout(), 1000);
}

// A selection polled the port without pause; on a silent line with a clock
// that only moves when slept, it never ended.
TEST(Bus, SilentLineSelectionYieldsAndEnds) {
    TScriptPort port;
    TFakeClock clock;
    TNPDev dev(port, clock);
    dev.LinkOpened(BusSetup());
    dev.SetBusAddress(5);
    EXPECT_EQ(dev.BusSelect(true), errBusNoAnswer);
    EXPECT_EQ(dev.BusSelect(false), errBusNoAnswer);
    EXPECT_EQ(port.Written, B({0xF7, 5, 0xFD}));
    dev.SetBusAddress(126);
    const std::uint32_t start = clock.Now();
    EXPECT_EQ(dev.BusSelect(true), 0);
    EXPECT_EQ(TicksSince(start, clock.Now()), 0u) << "one pass for the broadcast";
}

// A broadcast returns without a reply while its frame may still be leaving
// the port; a selection that purged both directions dropped it.
TEST(Bus, SelectionKeepsWhatIsStillLeavingThePort) {
    TScriptPort port;
    TFakeClock clock;
    TNPDev dev(port, clock);
    dev.LinkOpened(BusSetup());
    port.Purges = 0;
    dev.SetBusAddress(126);
    const std::uint8_t on = 0xFF;
    EXPECT_EQ(dev.Command(0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
    dev.SetBusAddress(5);
    dev.BusSelect(true);
    EXPECT_EQ(port.Purges, 0);
    EXPECT_EQ(port.InputPurges, 2);
}

TEST(Bus, EventsDuringSelectionAreQueued) {
    TScriptPort port;
    TFakeClock clock;
    TNPDev dev(port, clock);
    dev.LinkOpened(BusSetup());
    dev.SetBusAddress(5);
    port.OnWrite = [&](const Bytes& w) {
        if (w == B({0xF7, 5})) {
            port.Offer(EventFrame(0x101, 1, TextBytes("p")));
            port.OfferGap(); // an event read together with 0xF8 is emptied away with it
            port.Offer({0xF8});
        }
    };
    EXPECT_EQ(dev.BusSelect(true), 0);
    EXPECT_EQ(dev.EventCounts(nullptr, nullptr), 1);
}

} // namespace

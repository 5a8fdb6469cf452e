// Bus links through the library's exports: opening at an address, requests to
// two instruments on one line by moving the address, the broadcast address,
// and the argument rules, over simulated instruments sharing one line.
#include "link/core/BusLinks.h"
#include "link/core/ModemLinks.h"
#include "tests/link/core/FakeLinkPlatform.h"
#include "tests/link/core/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Instruments at the addresses a test names, each with the device id "DEV<addr>".
class BusLinksTest : public testing::Test {
protected:
    TSimLink& Link(int Index) { return static_cast<TSimLink&>(*lib.Table().Hold(Index)); }
    // The device id of the instrument at the link's address; Result the export's code.
    std::string DevId(int Index, TLinkResult& Result) {
        char text[21] = {};
        Result = lib.GetDevId(Index, text);
        return text;
    }
    std::uint8_t MeasEventSetting(int Index, int Addr) {
        EXPECT_EQ(bus.SetQuorxBAddr(Index, Addr), 0);
        std::uint8_t setting = 0x55;
        EXPECT_EQ(lib.SendRequest(Index, 0x200, 0, nullptr, 0, &setting, 1, nullptr), 0);
        return setting;
    }

    std::vector<int> addresses{5, 125};
    TFakeLinkPlatform platform{[this](const TSerialSettings& S) -> std::unique_ptr<TLinkObject> {
        std::vector<TSimConfig> configs;
        for (int a : addresses) {
            TSimConfig c;
            c.BusAddress = a;
            c.Model.DeviceId = "DEV" + std::to_string(a);
            configs.push_back(c);
        }
        return std::make_unique<TSimLink>(S, configs);
    }};
    TLinkLibrary lib{platform};
    TBusLinks bus{lib};
};

TEST_F(BusLinksTest, OpenComBExArguments) {
    struct Case {
        int port;
        int addr;
        int maxEvents, maxEventData;
        int reserved;
        TLinkResult result;
    } cases[] = {
        {4, 5, 100, 5001, 1, 0},
        {4, 0, 100, 5001, 1, 0},
        {4, 112, 100, 5001, 1, 0},
        {4, 125, 100, 5001, 1, 0},
        {4, 126, 100, 5001, 1, 0},
        {256, 5, 1, 1, 1, 0},
        {0, 5, 100, 5001, 1, errParam},
        {257, 5, 100, 5001, 1, errParam},
        {4, 113, 100, 5001, 1, errParam},
        {4, 124, 100, 5001, 1, errParam},
        {4, 127, 100, 5001, 1, errParam},
        {4, 255, 100, 5001, 1, errParam},
        {4, 5, 100, 5001, 0, errParam},
        {4, 5, 100, 5001, 2, errParam},
        // The event queue's bounds were taken unchecked.
        {4, 5, 0, 5001, 1, errParam},
        {4, 5, 100, 0, 1, errParam},
        {4, 5, -1, 5001, 1, errParam},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "port " << c.port << " addr " << c.addr << " events " << c.maxEvents << "/"
                     << c.maxEventData << " reserved " << c.reserved);
        const bool serial = TDeviceIndex::ForCom(c.port).Serial();
        if (serial) {
            ASSERT_EQ(lib.OpenCom(c.port, 10, 10), 0); // whatever the slot held goes
        }
        EXPECT_EQ(bus.OpenComBEx(c.port, static_cast<std::uint8_t>(c.addr), c.maxEvents,
                                 c.maxEventData, 19200, 1, 0, c.reserved),
                  c.result);
        if (!serial)
            continue;
        EXPECT_EQ(lib.Table().CheckDevIndex(c.port), c.result == 0 ? 0 : errNotOpen);
        if (c.result == 0) {
            const TNPDev& dev = Link(c.port).Dev();
            EXPECT_TRUE(dev.BusMode());
            EXPECT_EQ(dev.BusAddress(), c.addr);
            EXPECT_FALSE(dev.TimerEnabled()) << "a bus link runs no event timer";
        }
    }
}

TEST_F(BusLinksTest, LineSettingsAndPortFailure) {
    ASSERT_EQ(bus.OpenComB(3, 5, 100, 5001), 0);
    EXPECT_EQ(platform.Last.Baud, 19200);
    EXPECT_TRUE(platform.Last.StopBitsTwo);
    EXPECT_EQ(platform.Last.RxQueueSize, 0);
    EXPECT_TRUE(platform.Last.Bus);
    EXPECT_FALSE(platform.Last.Modem || platform.Last.Nibble);
    EXPECT_EQ(platform.Last.MaxEvents, 100);
    EXPECT_EQ(platform.Last.MaxEventData, 5001);

    ASSERT_EQ(bus.OpenComBEx(3, 5, 10, 20, 9600, 0, 4096, 1), 0);
    EXPECT_EQ(platform.Last.Baud, 9600);
    EXPECT_FALSE(platform.Last.StopBitsTwo);
    EXPECT_EQ(platform.Last.RxQueueSize, 4096);

    platform.OpenResults[3] = errNotOpen;
    EXPECT_EQ(bus.OpenComB(3, 5, 100, 5001), errNotOpen);
    EXPECT_EQ(lib.Table().CheckDevIndex(3), errNotOpen) << "the old link is gone too";
}

TEST_F(BusLinksTest, RequestsToTwoInstrumentsOnOneLine) {
    ASSERT_EQ(bus.OpenComB(3, 5, 100, 5001), 0);
    for (int a : {5, 125, 125, 5}) {
        SCOPED_TRACE(a);
        ASSERT_EQ(bus.SetQuorxBAddr(3, a), 0);
        TLinkResult result = -1;
        EXPECT_EQ(DevId(3, result), "DEV" + std::to_string(a));
        EXPECT_EQ(result, 0);
    }
    EXPECT_EQ(Link(3).Sim(0).FramesAnswered(), 2);
    EXPECT_EQ(Link(3).Sim(1).FramesAnswered(), 2);
}

TEST_F(BusLinksTest, AnAddressWithoutInstrumentGetsNoAnswer) {
    ASSERT_EQ(bus.OpenComB(3, 9, 100, 5001), 0);
    TLinkResult result = -1;
    DevId(3, result);
    EXPECT_EQ(result, errBusNoAnswer);
    ASSERT_EQ(bus.SetQuorxBAddr(3, 125), 0);
    EXPECT_EQ(DevId(3, result), "DEV125") << "the link stays usable";
    EXPECT_EQ(result, 0);
}

TEST_F(BusLinksTest, BroadcastReachesEveryInstrumentWithoutReply) {
    ASSERT_EQ(bus.OpenComB(3, 126, 100, 5001), 0);
    const std::uint8_t on = 0xFF;
    const std::uint32_t start = Link(3).Clock().Now();
    EXPECT_EQ(lib.SendCommand(3, 0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
    EXPECT_LT(TicksSince(start, Link(3).Clock().Now()), 100u) << "no reply awaited";
    std::uint8_t b = 0;
    EXPECT_EQ(lib.SendRequest(3, 0x200, 0, nullptr, 0, &b, 1, nullptr), errLength);
    EXPECT_EQ(lib.SendRequest(3, 0x200, 0, nullptr, 0, &b, 0, nullptr), 0);
    EXPECT_EQ(std::count(Link(3).Line().Written().begin(), Link(3).Line().Written().end(), 0xFD), 0)
        << "no release";

    EXPECT_EQ(MeasEventSetting(3, 5), 0xFF);
    EXPECT_EQ(MeasEventSetting(3, 125), 0xFF);
    const std::uint8_t off = 0;
    ASSERT_EQ(bus.SetQuorxBAddr(3, 126), 0);
    EXPECT_EQ(lib.SendCommand(3, 0x200, 0, &off, 1, nullptr, 0, nullptr), 0);
    EXPECT_EQ(MeasEventSetting(3, 125), 0);
    EXPECT_EQ(MeasEventSetting(3, 5), 0);
}

TEST_F(BusLinksTest, SetQuorxBAddrTakesTheLowByteOfAnAcceptedAddress) {
    ASSERT_EQ(bus.OpenComB(3, 5, 100, 5001), 0);
    struct Case {
        int addr;
        TLinkResult result;
        std::uint8_t after;
    } cases[] = {
        {0, 0, 0},     {112, 0, 112},        {113, errParam, 112}, {124, errParam, 112},
        {125, 0, 125}, {126, 0, 126},        {127, errParam, 126}, {255, errParam, 126},
        {0x105, 0, 5}, {0x171, errParam, 5}, {-1, errParam, 5},    {-256, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.addr);
        EXPECT_EQ(bus.SetQuorxBAddr(3, c.addr), c.result);
        EXPECT_EQ(Link(3).Dev().BusAddress(), c.after);
    }
}

TEST_F(BusLinksTest, BusOperationsOnOtherLinks) {
    ASSERT_EQ(lib.OpenCom(2, 100, 5001), 0);
    TSerialSettings usb;
    usb.MaxEvents = usb.MaxEventData = 10;
    ASSERT_TRUE(lib.Table().AddUsb(1, std::make_unique<TSimLink>(usb, TSimConfig{})));
    struct Case {
        int index;
        TLinkResult result;
    } cases[] = {
        {2, errNotBus},  {257, errNotBus}, {0, errParam},
        {513, errParam}, {6, errNotOpen},  {258, errNotOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(bus.SetQuorxBAddr(c.index, 5), c.result);
    }

    ASSERT_EQ(bus.OpenComB(3, 5, 100, 5001), 0);
    TFakeClock clock;
    TModemLinks modem{lib, clock};
    EXPECT_EQ(modem.SendModemCommand(3, "ATH"), errNotModem);
    EXPECT_EQ(modem.ModemHangUp(3), errNotModem);
}

} // namespace

// QuorxComDll's bus exports under Wine: two instruments of the simulator at
// bus addresses 5 and 125 share the far end of the test's COM port.
#include "ProflinkH.h"
#include "QuorxComDllH.h"
#include "tests/support/WineTestSupport_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The instruments differ in their chamber serials: the k-th on the line adds 100 * k.
const char* const kIdAt5 = "QC 1000100";
const char* const kIdAt125 = "QC 1000200";

class BusDllTest : public testing::Test {
protected:
    void SetUp() override {
        port = TestComPort();
        if (port == 0)
            GTEST_SKIP() << "no test COM port (run through with-com-port)";
        ASSERT_TRUE(SimControl("fault none\nevents off\n"));
    }
    void TearDown() override {
        if (port != 0)
            CloseCom(port);
    }
    // Identity and serial of chamber 0 of the instrument at the link's address.
    std::string ChamberId(TLinkResult& Result) {
        char text[21] = {};
        Result = SendRequest(port, 0x203, 0, nullptr, 0, text, -21, nullptr);
        return text;
    }
    std::uint8_t MeasEventSetting(int Addr) {
        EXPECT_EQ(SetQuorxBAddr(port, Addr), 0);
        std::uint8_t setting = 0x55;
        EXPECT_EQ(SendRequest(port, 0x200, 0, nullptr, 0, &setting, 1, nullptr), 0);
        return setting;
    }
    int port = 0;
};

TEST_F(BusDllTest, RequestsToTwoAddressedInstrumentsOnOnePort) {
    ASSERT_EQ(OpenComB(port, 5, 100, 5001), 0);
    struct Step {
        int addr;
        const char* id;
    } steps[] = {{5, kIdAt5}, {125, kIdAt125}, {125, kIdAt125}, {5, kIdAt5}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.addr);
        ASSERT_EQ(SetQuorxBAddr(port, s.addr), 0);
        TLinkResult result = -1;
        EXPECT_EQ(ChamberId(result), s.id);
        EXPECT_EQ(result, 0);
        char text[21] = {};
        EXPECT_EQ(GetDevId(port, text), 0);
        EXPECT_STREQ(text, "ZEPHORA");
        TMEASall all{};
        EXPECT_EQ(SendRequest(port, 0x201, 255, nullptr, 0, &all, 128, nullptr), 0);
        EXPECT_NE(all.Chamber[0].Status & csPresent, 0);
    }
}

TEST_F(BusDllTest, BroadcastReachesBothInstrumentsWithoutReply) {
    ASSERT_EQ(OpenComBEx(port, 126, 100, 5001, 19200, 0, 0, 1), 0);
    const std::uint8_t on = 0xFF;
    const DWORD start = GetTickCount();
    EXPECT_EQ(SendCommand(port, 0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
    EXPECT_LT(GetTickCount() - start, 500u) << "no reply awaited";
    std::uint8_t b = 0;
    EXPECT_EQ(SendRequest(port, 0x200, 0, nullptr, 0, &b, 1, nullptr), errLength);
    EXPECT_EQ(MeasEventSetting(5), 0xFF);
    EXPECT_EQ(MeasEventSetting(125), 0xFF);

    const std::uint8_t off = 0;
    ASSERT_EQ(SetQuorxBAddr(port, 126), 0);
    EXPECT_EQ(SendCommand(port, 0x200, 0, &off, 1, nullptr, 0, nullptr), 0);
    EXPECT_EQ(MeasEventSetting(125), 0);
    EXPECT_EQ(MeasEventSetting(5), 0);
}

TEST_F(BusDllTest, EventsArriveOnlyWithASelection) {
    ASSERT_TRUE(SimControl("rate 100\nevents on\n"));
    ASSERT_EQ(OpenComB(port, 125, 100, 5001), 0);
    RunEvents(400); // a bus link has no event timer
    int count = -1;
    EXPECT_EQ(GetNumEvent(port, &count, nullptr, nullptr), 0);
    EXPECT_EQ(count, 0);
    TLinkResult result = -1;
    EXPECT_EQ(ChamberId(result), kIdAt125);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(GetNumEvent(port, &count, nullptr, nullptr), 0);
    EXPECT_GE(count, 1);
    std::uint16_t code = 0;
    std::uint8_t param = 0;
    std::uint8_t data[5001];
    int len = 0;
    EXPECT_EQ(GetEvent(port, &code, &param, data, sizeof data, &len), 0);
    EXPECT_EQ(code, 0x100);
    EXPECT_EQ(len, 128);
    ASSERT_TRUE(SimControl("events off\n"));
}

TEST_F(BusDllTest, AnAddressWithoutInstrumentGetsNoAnswer) {
    ASSERT_EQ(OpenComB(port, 9, 100, 5001), 0);
    TLinkResult result = -1;
    const DWORD start = GetTickCount();
    ChamberId(result);
    EXPECT_EQ(result, errBusNoAnswer);
    EXPECT_GE(GetTickCount() - start, 900u);
    ASSERT_EQ(SetQuorxBAddr(port, 5), 0);
    EXPECT_EQ(ChamberId(result), kIdAt5) << "the link stays usable";
    EXPECT_EQ(result, 0);
}

TEST_F(BusDllTest, ArgumentAndModeErrors) {
    struct Case {
        const char* name;
        int addr, maxEvents, maxEventData, reserved;
    } refused[] = {
        {"address 113", 113, 100, 5001, 1}, {"address 127", 127, 100, 5001, 1},
        {"reserved 2", 5, 100, 5001, 2},    {"no event room", 5, 0, 5001, 1},
        {"no event data", 5, 100, -1, 1},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(OpenComB(port, 5, 100, 5001), 0);
        EXPECT_EQ(OpenComBEx(port, static_cast<std::uint8_t>(c.addr), c.maxEvents, c.maxEventData,
                             19200, 1, 0, c.reserved),
                  errParam);
        EXPECT_EQ(SetQuorxBAddr(port, 5), errNotOpen) << "the slot is empty";
    }
    EXPECT_EQ(OpenComBEx(0, 5, 100, 5001, 19200, 1, 0, 1), errParam);

    ASSERT_EQ(OpenComB(port, 5, 100, 5001), 0);
    EXPECT_EQ(SetQuorxBAddr(port, 113), errParam);
    EXPECT_EQ(SetQuorxBAddr(0, 5), errParam);
    EXPECT_EQ(SetQuorxBAddr(port + 1, 5), errNotOpen);
    EXPECT_EQ(SendModemCommand(port, "ATH"), errNotModem);
    EXPECT_EQ(ModemHangUp(port), errNotModem);
    TLinkResult result = -1;
    EXPECT_EQ(ChamberId(result), kIdAt5) << "a refused address leaves the old one";

    ASSERT_EQ(OpenComEx(port, 100, 5001, 19200, 0, 0), 0);
    EXPECT_EQ(SetQuorxBAddr(port, 5), errNotBus);
}

} // namespace

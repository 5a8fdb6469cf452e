// QuorxComDll's exports under Wine, against the instrument simulator on the
// far end of the test's COM port.
#include "ProflinkH.h"
#include "QuorxComDllH.h"
#include "tests/support/WineTestSupport_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

class QuorxComDllTest : public testing::Test {
protected:
    void SetUp() override {
        port = TestComPort();
        if (port == 0)
            GTEST_SKIP() << "no test COM port (run through with-com-port)";
        ASSERT_TRUE(SimControl("fault none\nevents off\n"));
        ASSERT_EQ(OpenComEx(port, 100, 5001, 19200, 128790, 0), 0);
    }
    void TearDown() override {
        if (port != 0)
            CloseCom(port);
    }
    int port = 0;
};

TEST_F(QuorxComDllTest, DeviceInformation) {
    char text[21];
    ASSERT_EQ(GetDevId(port, text), 0);
    EXPECT_STREQ(text, "ZEPHORA");
    ASSERT_EQ(GetDevSWVers(port, text), 0);
    EXPECT_STRNE(text, "");
    std::uint16_t cap = 0;
    EXPECT_EQ(GetProfileCap(port, &cap), 0);
    EXPECT_EQ(cap, 2);
    EXPECT_EQ(GetReqMCap(port, &cap), 0);
    EXPECT_EQ(cap, 1);
    std::uint8_t ta[4] = {};
    EXPECT_EQ(GetTa(port, ta), 0);
    EXPECT_EQ(ClearOutBuff(port), 0);
    std::uint32_t size = 0, largest = 0;
    EXPECT_EQ(RxQueue(port, &size), 0);
    EXPECT_EQ(RxQueueMax(port, &largest), 0);
}

TEST_F(QuorxComDllTest, RequestAndCommandRoundTrips) {
    TMEASall all{};
    int count = 0;
    EXPECT_EQ(SendRequest(port, 0x201, 255, nullptr, 0, &all, 128, &count), 0);
    EXPECT_EQ(count, 128);
    EXPECT_NE(all.Chamber[0].Status & csPresent, 0);
    const std::uint8_t on = 0xFF;
    EXPECT_EQ(SendCommand(port, 0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
    std::uint8_t setting = 0;
    EXPECT_EQ(SendRequest(port, 0x200, 0, nullptr, 0, &setting, 1, nullptr), 0);
    EXPECT_EQ(setting, 0xFF);
    const std::uint8_t off = 0;
    EXPECT_EQ(SendCommand(port, 0x200, 0, &off, 1, nullptr, 0, nullptr), 0);
}

TEST_F(QuorxComDllTest, MeasurementEventsReachTheCallback) {
    gDrain.Calls = gDrain.Drained = 0;
    ASSERT_EQ(SetRecEventProc(port, DrainMeasEvents), 0);
    ASSERT_TRUE(SimControl("rate 100\nevents on\n"));
    RunEvents(1500);
    EXPECT_GT(gDrain.Calls, 0);
    EXPECT_GE(gDrain.Drained, 5);
    EXPECT_EQ(gDrain.CalledWith, port);
    int count = -1, lost = -1;
    EXPECT_EQ(GetNumEvent(port, &count, nullptr, &lost), 0);
    EXPECT_EQ(lost, 0);
    SetRecEventProc(port, nullptr);
}

int gClosingCalls = 0;
void QUORX_CALL CloseOwnLink(TDevIndex Index) {
    ++gClosingCalls;
    CloseCom(Index);
}

TEST_F(QuorxComDllTest, ACallbackMayCloseItsOwnLink) {
    gClosingCalls = 0;
    ASSERT_EQ(SetRecEventProc(port, CloseOwnLink), 0);
    ASSERT_TRUE(SimControl("rate 100\nevents on\n"));
    RunEvents(800);
    EXPECT_EQ(gClosingCalls, 1);
    int count = 0;
    EXPECT_EQ(GetNumEvent(port, &count, nullptr, nullptr), errNotOpen);
    // And reopens cleanly afterwards.
    EXPECT_EQ(OpenComEx(port, 100, 5001, 19200, 128790, 0), 0);
}

// The opener's timer read the replies that a transaction of another thread
// waited for and dropped them as events: those transactions timed out.
TEST_F(QuorxComDllTest, TransactionsOfASecondThreadKeepTheirReplies) {
    gDrain.Calls = gDrain.Drained = 0;
    ASSERT_EQ(SetRecEventProc(port, DrainMeasEvents), 0);
    ASSERT_TRUE(SimControl("rate 100\nevents on\n"));
    constexpr int kRequests = 20;
    std::atomic<int> answered{0};
    std::atomic<bool> finished{false};
    std::thread second([&] {
        for (int i = 0; i < kRequests; ++i) {
            TMEASall all{};
            if (SendRequest(port, 0x201, 255, nullptr, 0, &all, 128, nullptr) == 0)
                ++answered;
        }
        finished = true;
    });
    while (!finished)
        RunEvents(20); // the opener's timer goes on meanwhile
    second.join();
    EXPECT_EQ(answered, kRequests);
    RunEvents(500);
    EXPECT_GT(gDrain.Drained, 0) << "the events queued meanwhile reach the opener";
    SetRecEventProc(port, nullptr);
}

// A close freed the link under another thread's call on it: a transaction,
// or the opener's timer tick, went on in freed memory.
TEST_F(QuorxComDllTest, ALinkClosedWhileAnotherThreadUsesIt) {
    ASSERT_EQ(SetRecEventProc(port, DrainMeasEvents), 0);
    ASSERT_TRUE(SimControl("rate 100\nevents on\n"));
    std::atomic<int> answered{0};
    std::atomic<TLinkResult> last{0};
    std::thread second([&] {
        TMEASall all{};
        TLinkResult r = 0;
        while ((r = SendRequest(port, 0x201, 255, nullptr, 0, &all, 128, nullptr)) == 0)
            ++answered;
        last = r;
    });
    for (int i = 0; i < 300 && answered < 5; ++i)
        RunEvents(10);
    EXPECT_EQ(CloseCom(port), 0) << "closed by the opener inside a transaction";
    second.join();
    EXPECT_GE(answered, 5);
    EXPECT_EQ(last, errNotOpen);

    ASSERT_EQ(OpenComEx(port, 100, 5001, 19200, 128790, 0), 0) << "the port was let go";
    ASSERT_EQ(SetRecEventProc(port, DrainMeasEvents), 0);
    std::atomic<TLinkResult> closed{-1};
    std::thread closer([&] {
        Sleep(300);
        closed = CloseCom(port);
    });
    while (closed == -1)
        RunEvents(5); // the opener's timer ticks meanwhile
    closer.join();
    EXPECT_EQ(closed, 0);
    RunEvents(300);
    EXPECT_EQ(GetNumEvent(port, nullptr, nullptr, nullptr), errNotOpen);
}

TEST_F(QuorxComDllTest, AHeldPortIsNotAvailableAndIsAgainWhenClosed) {
    EXPECT_EQ(IsComAvailable(port), 0);
    EXPECT_EQ(CloseCom(port), 0);
    EXPECT_EQ(IsComAvailable(port), 1);
    EXPECT_EQ(IsComAvailable(199), 0); // no such port
}

TEST_F(QuorxComDllTest, IndexAndArgumentErrors) {
    char text[21];
    std::uint8_t buf[16];
    std::uint16_t code;
    std::uint8_t param;
    int len;
    EXPECT_EQ(GetDevId(0, text), errParam);
    EXPECT_EQ(GetDevId(513, text), errParam);
    EXPECT_EQ(GetDevId(257, text), errNotOpen);
    EXPECT_EQ(GetDevId(port + 1, text), errNotOpen);
    EXPECT_EQ(CloseCom(0), errParam);
    EXPECT_EQ(CloseCom(257), errParam);
    EXPECT_EQ(OpenComEx(0, 100, 5001, 19200, 0, 0), errParam);
    EXPECT_EQ(OpenComEx(257, 100, 5001, 19200, 0, 0), errParam);
    EXPECT_EQ(SendRequest(port, 1, 0, nullptr, 0, nullptr, 0, nullptr), errBuffer);
    EXPECT_EQ(SendCommand(port, 1, 0, nullptr, 0, nullptr, 21, nullptr), errBuffer);
    EXPECT_EQ(GetDevId(port, nullptr), errBuffer);
    EXPECT_EQ(GetEvent(port, &code, &param, buf, 5002, &len), errParam);
    EXPECT_EQ(GetEvent(port, &code, &param, nullptr, 16, &len), errBuffer);
    EXPECT_EQ(GetEvent(port, &code, &param, buf, 16, &len), errNoEvent);
    EXPECT_EQ(SetTimeout(port, -1), errParam);
    EXPECT_EQ(SetTimeouts(port, 10, -1), errParam);
    // A bad open empties the slot that held a link.
    EXPECT_EQ(OpenComEx(port, 0, 10, 19200, 0, 0), errParam);
    EXPECT_EQ(GetDevId(port, text), errNotOpen);
}

TEST_F(QuorxComDllTest, SilenceAndCorruptRepliesFromTheInstrument) {
    char text[21];
    ASSERT_TRUE(SimControl("fault silence\n"));
    EXPECT_EQ(SetTimeouts(port, 200, 600), 0);
    EXPECT_EQ(GetDevId(port, text), errByteTimeout);
    EXPECT_EQ(SetTimeouts(port, 2000, 300), 0);
    EXPECT_EQ(GetDevId(port, text), errTimeout);
    ASSERT_TRUE(SimControl("fault corrupt-check\n"));
    EXPECT_EQ(GetDevId(port, text), errChecksum);
    ASSERT_TRUE(SimControl("fault none\n"));
    EXPECT_EQ(GetDevId(port, text), 0);
}

} // namespace

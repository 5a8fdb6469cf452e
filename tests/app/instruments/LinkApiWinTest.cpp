// The libraries through TWinLinkApi under Wine, against the instrument simulator
// on the test's COM port (a Zephora with chambers 0 and 3, measurement events
// every 100 ms once switched on): the event procedure reaches the handler of its
// link, and no handler can harm the library's timer.
#include "app/base/Guard_.h"
#include "app/instruments/LinkApi_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int TestComPort() {
    const char* n = std::getenv("QUORX_COM_PORT");
    return n ? std::atoi(n) : 0;
}

// Runs this thread's messages (the link's event timer) until Done or TimeoutMs.
bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 5000) {
    const DWORD start = GetTickCount();
    while (!Done()) {
        if (GetTickCount() - start > TimeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    return true;
}

class LinkApiWinTest : public testing::Test {
protected:
    void SetUp() override {
        port = TestComPort();
        if (port == 0)
            GTEST_SKIP() << "no test COM port (run through with-com-port)";
        ASSERT_EQ(api.OpenComEx(port, 100, 5001, 19200, 128790, 0), 0);
        previousReporter =
            SetExceptionReporter([this](const std::string& What) { reported.push_back(What); });
    }
    void TearDown() override {
        if (port == 0)
            return;
        SetExceptionReporter(previousReporter);
        api.SetMeasEvent(port, 0);
        api.CloseCom(port);
    }

    // Takes every queued event; the measurements go to Meas.
    void Drain(TDevIndex Index) {
        int32_t count = 0;
        ASSERT_EQ(api.GetNumEvent(Index, &count, nullptr, nullptr), 0);
        for (int32_t i = 0; i < count; ++i) {
            uint16_t code = 0;
            uint8_t param = 0;
            int32_t length = 0;
            ASSERT_EQ(api.GetEvent(Index, &code, &param, buffer, sizeof buffer, &length), 0);
            if (code == 0x100 && param == 0xFF) {
                TMEASall one{};
                ASSERT_EQ(api.EventDataToTMEASall(buffer, length, &one), 0);
                meas.push_back(one);
            }
        }
    }

    TWinLinkApi api;
    int port = 0;
    char buffer[5001];
    std::vector<TMEASall> meas;
    std::vector<std::string> reported;
    TExceptionReporter previousReporter;
};

TEST_F(LinkApiWinTest, TheLinksEventsReachItsHandler) {
    std::vector<TDevIndex> calls;
    ASSERT_EQ(api.SetRecEventProc(port,
                                  [&](TDevIndex Index) {
                                      calls.push_back(Index);
                                      Drain(Index);
                                  }),
              0);
    ASSERT_EQ(api.SetMeasEvent(port, 0xFF), 0);
    ASSERT_TRUE(PumpUntil([&] { return meas.size() >= 2; }));
    for (TDevIndex index : calls)
        EXPECT_EQ(index, port);
    const TMEASall& last = meas.back();
    EXPECT_NE(last.Chamber[0].Status & csPresent, 0);
    EXPECT_NE(last.Chamber[3].Status & csPresent, 0);
    EXPECT_EQ(last.Chamber[1].Status & csPresent, 0);
    EXPECT_TRUE(reported.empty());
}

TEST_F(LinkApiWinTest, AnExceptionOfTheHandlerIsReportedAndGoesNoFurther) {
    int calls = 0;
    ASSERT_EQ(api.SetRecEventProc(port,
                                  [&](TDevIndex) {
                                      ++calls;
                                      throw std::runtime_error("bad serial number text");
                                  }),
              0);
    ASSERT_EQ(api.SetMeasEvent(port, 0xFF), 0);
    // Nothing was taken, so the timer calls again: the library lives on.
    ASSERT_TRUE(PumpUntil([&] { return calls >= 3; }));
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.front(), "bad serial number text");
}

TEST_F(LinkApiWinTest, AHandlerMayCloseItsOwnLink) {
    int calls = 0;
    ASSERT_EQ(api.SetRecEventProc(port,
                                  [&](TDevIndex Index) {
                                      ++calls;
                                      api.SetMeasEvent(Index, 0);
                                      EXPECT_EQ(api.CloseCom(Index), 0);
                                  }),
              0);
    ASSERT_EQ(api.SetMeasEvent(port, 0xFF), 0);
    ASSERT_TRUE(PumpUntil([&] { return calls >= 1; }));
    PumpUntil([] { return false; }, 500); // no further call, no crash
    EXPECT_EQ(calls, 1);
    int32_t count = 0;
    EXPECT_EQ(api.GetNumEvent(port, &count, nullptr, nullptr), errNotOpen);
    EXPECT_TRUE(reported.empty());
}

TEST_F(LinkApiWinTest, AHandlerMayReplaceItselfAndAnEmptyOneStopsTheCalls) {
    std::vector<std::string> seen;
    ASSERT_EQ(api.SetRecEventProc(port,
                                  [&](TDevIndex Index) {
                                      seen.push_back("first");
                                      Drain(Index);
                                      api.SetRecEventProc(Index, [&](TDevIndex Again) {
                                          seen.push_back("second");
                                          Drain(Again);
                                      });
                                  }),
              0);
    ASSERT_EQ(api.SetMeasEvent(port, 0xFF), 0);
    ASSERT_TRUE(PumpUntil([&] { return seen.size() >= 3; }));
    EXPECT_EQ(seen[0], "first");
    EXPECT_EQ(seen[1], "second");

    ASSERT_EQ(api.SetRecEventProc(port, nullptr), 0);
    const std::size_t before = seen.size();
    PumpUntil([] { return false; }, 500);
    EXPECT_EQ(seen.size(), before);
    int32_t count = 0;
    ASSERT_EQ(api.GetNumEvent(port, &count, nullptr, nullptr), 0);
    EXPECT_GT(count, 0) << "events queue up with no one to take them";
}

TEST_F(LinkApiWinTest, AnUnopenedLinkTakesNoHandler) {
    EXPECT_EQ(api.SetRecEventProc(port == 1 ? 2 : 1, [](TDevIndex) {}), errNotOpen);
    EXPECT_EQ(api.SetRecEventProc(0, [](TDevIndex) {}), errParam);
    EXPECT_EQ(api.IsComAvailable(port), 0) << "held by this process";
    const char path[] =
        "\\\\?\\usb#vid_1234&pid_3e9b#1234567#{ab245463-f67a-40ec-b096-2a37f30793c5}";
    EXPECT_EQ(api.GetSerNumFromDevicePath(path), 1234567);
    EXPECT_EQ(api.GetPIDFromDevicePath(path), 0x3E9B);
}

} // namespace

// T_QCCom32 on a COM port of the test prefix whose other end is a pty that the
// test itself opens as the "instrument" (Wine reaches it through drive Z:).
#include "link/serial/QCCom32_win.h"
#include "tests/support/WineTestSupport_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Waits until Count bytes are in the driver's receive queue (the pty needs a moment).
bool WaitForInput(const T_QCCom32& Com, int Count) {
    for (int i = 0; i < 200 && Com.InCount() < Count; ++i)
        Sleep(5);
    return Com.InCount() >= Count;
}

class QCCom32Test : public testing::Test {
protected:
    void SetUp() override {
        if (TestComPort() == 0 || !peer.Ok())
            GTEST_SKIP() << "no test COM port (run through with-com-port)";
        com.SetShowErrors(false);
        com.SetPort(TestComPort());
        com.SetBaud(19200);
        com.SetDataBits(8);
    }
    TPtyPeer peer;
    T_QCCom32 com;
};

TEST(DcbFlagWord, PlainAndHandshakeLines) {
    EXPECT_EQ(DcbFlagWord(false), 0x1010u);
    EXPECT_EQ(DcbFlagWord(true), 0x2014u);
}

TEST(QCCom32Closed, EveryOperationReportsFailure) {
    T_QCCom32 com;
    std::uint32_t status = 0;
    char buf[4];
    EXPECT_FALSE(com.Opened());
    EXPECT_EQ(com.InCount(), 0);
    EXPECT_EQ(com.ReadBuf(buf, 4), 0);
    EXPECT_FALSE(com.WriteString("x", 1));
    EXPECT_FALSE(com.ReadModemStatus(status));
    EXPECT_EQ(com.CurrentRxQueue(), 0xFFFFFFFFu);
    EXPECT_EQ(com.MaxRxQueue(), 0xFFFFFFFFu);
    EXPECT_EQ(com.ReadString(), "");
    com.Purge();
}

TEST(QCCom32Closed, MissingPortFailsWithoutADialog) {
    T_QCCom32 com;
    com.SetShowErrors(false);
    com.SetPort(199);
    EXPECT_FALSE(com.Open());
    EXPECT_FALSE(com.Opened());
}

TEST_F(QCCom32Test, OpensWithTheLineSettings) {
    com.SetStopBitsTwo(true);
    ASSERT_TRUE(com.Open());
    EXPECT_FALSE(com.ConfigFailed());
    DCB dcb{};
    ASSERT_TRUE(com.GetState(dcb));
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
}

TEST_F(QCCom32Test, ReceiveQueueSizeFollowsTheDriver) {
    com.SetRxQueueSize(0);
    ASSERT_TRUE(com.Open());
    EXPECT_EQ(com.RxQueueSize(), com.CurrentRxQueue());
    const std::uint32_t largest = com.MaxRxQueue();
    if (largest != 0 && largest != 0xFFFFFFFFu) {
        com.SetRxQueueSize(largest + 1000); // reopens
        EXPECT_TRUE(com.Opened());
        EXPECT_LE(com.RxQueueSize(), largest);
    }
}

TEST_F(QCCom32Test, ChangedPropertiesReopenUnchangedOnesDoNot) {
    ASSERT_TRUE(com.Open());
    const HANDLE before = com.GetHandle();
    com.SetBaud(19200);
    com.SetPort(TestComPort());
    EXPECT_EQ(com.GetHandle(), before);
    com.SetBaud(9600);
    ASSERT_TRUE(com.Opened());
    DCB dcb{};
    ASSERT_TRUE(com.GetState(dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
}

TEST_F(QCCom32Test, WritesAndReadsWhatIsWaiting) {
    ASSERT_TRUE(com.Open());
    ASSERT_TRUE(com.WriteString("\xF1\x01\x00", 3));
    EXPECT_EQ(peer.Receive(3), std::string("\xF1\x01\x00", 3));

    peer.Send("hello");
    ASSERT_TRUE(WaitForInput(com, 5));
    char buf[8] = {};
    EXPECT_EQ(com.ReadBuf(buf, 2), 2);
    EXPECT_EQ(std::string(buf, 2), "he");
    EXPECT_EQ(com.ReadBuf(buf, 8), 3);
    EXPECT_EQ(std::string(buf, 3), "llo");
    EXPECT_EQ(com.ReadBuf(buf, 8), 0); // nothing waiting: no wait either
}

TEST_F(QCCom32Test, PurgeDiscardsWaitingInput) {
    ASSERT_TRUE(com.Open());
    peer.Send("junk");
    ASSERT_TRUE(WaitForInput(com, 4));
    com.Purge();
    EXPECT_EQ(com.InCount(), 0);
}

TEST_F(QCCom32Test, ReadStringCutsAtNulOrWaitsForTheMarker) {
    com.SetResponseTime(100);
    ASSERT_TRUE(com.Open());
    peer.Send(std::string("OK\0rest", 7));
    ASSERT_TRUE(WaitForInput(com, 7));
    EXPECT_EQ(com.ReadString(), "OK");
    EXPECT_FALSE(com.TimedOut());

    com.SetEndOfResponse("\r\n");
    peer.Send("AT\r\nmore");
    ASSERT_TRUE(WaitForInput(com, 8));
    EXPECT_EQ(com.ReadString(), "AT\r\n");
    EXPECT_FALSE(com.TimedOut());
    EXPECT_EQ(com.ReadString(), "more");
    EXPECT_TRUE(com.TimedOut());
}

} // namespace

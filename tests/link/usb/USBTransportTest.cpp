// A USB link end to end under Wine: the link library's WinUSB binding loads
// the stand-in winusb.dll, which carries the pipes over a COM port of the test
// prefix; the test itself plays the instrument on the pty's far end.
#include "link/usb/USBPort_win.h"
#include "tests/support/USBTestSupport_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

Bytes Filled(std::size_t Count, std::uint8_t Value) {
    return Bytes(Count, Value);
}

class UsbTransport : public testing::Test {
protected:
    void SetUp() override {
        if (TestPort() == 0 || !peer.Ok())
            GTEST_SKIP() << "no test COM port (run through with-com-port)";
        BindWinUsbDll();
        if (!gWinUsbDll.Loaded() || !standin.Find())
            GTEST_SKIP() << "the stand-in winusb.dll is not loaded (WINEDLLOVERRIDES=winusb=n)";
        standin.SetWriteMode(kWriteNormal, 0);
        standin.SetReadMode(kReadNormal);
    }
    void TearDown() override {
        link.reset();
        if (standin.SetWriteMode != nullptr) {
            EXPECT_EQ(standin.OverlappingTransfers(), 0);
        }
    }
    // A link on the test port, through the steps a caller takes.
    bool Open() {
        const std::string port = "\\\\.\\COM" + std::to_string(TestPort());
        if (UsbOpenDevice(port.c_str(), &device) != 0)
            return false;
        if (UsbInitialize(gWinUsbDll, device, &winUsb) != 0) {
            CloseHandle(device);
            return false;
        }
        link = std::make_unique<TUSBPort>(gWinUsbDll, device, winUsb);
        return true;
    }
    bool Send(const Bytes& Data) { return link->Write(Data.data(), static_cast<int>(Data.size())); }
    // What the link has received once Count bytes are in or WaitMs have
    // passed; MaxPiece is the largest single read seen.
    Bytes ReceiveFromLink(std::size_t Count, std::uint32_t WaitMs = 3000, int* MaxPiece = nullptr) {
        Bytes got;
        const std::uint32_t start = Ms();
        while (got.size() < Count && Ms() - start < WaitMs) {
            std::uint8_t buf[4096];
            const int n = link->Read(buf, sizeof buf);
            if (MaxPiece != nullptr)
                *MaxPiece = std::max(*MaxPiece, n);
            got.insert(got.end(), buf, buf + n);
            if (n == 0)
                Sleep(5);
        }
        return got;
    }

    TPeer peer;
    TStandin standin;
    void* device = INVALID_HANDLE_VALUE;
    void* winUsb = INVALID_HANDLE_VALUE;
    std::unique_ptr<TUSBPort> link;
};

TEST_F(UsbTransport, GetDevIdRequestGoesOutAndItsReplyComesBack) {
    ASSERT_TRUE(Open());
    const Bytes request = RequestFrame(1, 0);
    ASSERT_EQ(request, (Bytes{0xF1, 0x01, 0x00, 0x00, 0xF6, request[5], request[6]}));
    ASSERT_TRUE(Send(request));
    EXPECT_EQ(peer.Receive(request.size()), request);

    const Bytes reply = ReplyFrame(std::string("QX-100\0", 7));
    peer.Send(reply);
    EXPECT_EQ(ReceiveFromLink(reply.size()), reply);
}

TEST_F(UsbTransport, InputReachesTheOwnerInPiecesOfAtMost512Bytes) {
    ASSERT_TRUE(Open());
    Bytes input;
    for (int i = 0; i < 1500; ++i)
        input.push_back(static_cast<std::uint8_t>(i * 7));
    peer.Send(input);
    int largest = 0;
    EXPECT_EQ(ReceiveFromLink(input.size(), 3000, &largest), input);
    EXPECT_LE(largest, 512);
}

TEST_F(UsbTransport, PurgeDropsWhatWasReceived) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(standin.AwaitTransfer()); // counted from this link's first read
    const LONG base = standin.ReadBytesTaken();
    peer.Send(Bytes{1, 2, 3});
    ASSERT_TRUE(standin.AwaitReadBytesTaken(base, 3));
    link->Purge();
    std::uint8_t buf[8];
    EXPECT_EQ(link->Read(buf, 8), 0);
    peer.Send(Bytes{4, 5});
    EXPECT_EQ(ReceiveFromLink(3, 500), (Bytes{4, 5}));
}

TEST_F(UsbTransport, CloseWhileTheReadIsBlockedReturnsPromptly) {
    const struct {
        const char* Name;
        LONG ReadMode;
    } cases[] = {
        {"read under way", kReadNormal},
        {"close's abort lands before the read is under way", kReadLateStart},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        standin.SetReadMode(c.ReadMode);
        ASSERT_TRUE(Open());
        // A late-starting read is submitted at once and gets under way 100 ms later.
        ASSERT_TRUE(standin.AwaitTransfer());
        const std::uint32_t start = Ms();
        link.reset();
        EXPECT_LT(Ms() - start, 1000u);
        EXPECT_EQ(standin.TransfersInFlight(), 0);
        standin.SetReadMode(kReadNormal);
    }
}

TEST_F(UsbTransport, WriteTimeOutWaitsForTheAbortedTransferAndResendsNothingWritten) {
    ASSERT_TRUE(Open());
    const Bytes request = RequestFrame(0x0201, 3);
    const LONG base = standin.WriteCalls();
    standin.SetWriteMode(kWriteStalls, 3);
    ASSERT_TRUE(Send(request));
    ASSERT_TRUE(standin.AwaitWriteCalls(base, 1));
    standin.SetWriteMode(kWriteNormal, 0);
    // 3 bytes before the time-out, the other 4 in the next pass, none twice.
    EXPECT_EQ(peer.Receive(request.size()), request);
    EXPECT_TRUE(peer.Quiet());
    EXPECT_EQ(standin.OverlappingTransfers(), 0);
}

TEST_F(UsbTransport, HardWriteFailureDropsTheUnsentBytes) {
    ASSERT_TRUE(Open());
    const LONG base = standin.WriteCalls();
    standin.SetWriteMode(kWriteRefused, 0);
    ASSERT_TRUE(Send(RequestFrame(1, 0)));
    ASSERT_TRUE(standin.AwaitWriteCalls(base, 1));
    ASSERT_TRUE(Send(RequestFrame(1, 1)));
    ASSERT_TRUE(standin.AwaitWriteCalls(base, 2));
    standin.SetWriteMode(kWriteNormal, 0);
    const Bytes later = RequestFrame(2, 0);
    ASSERT_TRUE(Send(later));
    EXPECT_EQ(peer.Receive(later.size()), later);
    EXPECT_TRUE(peer.Quiet());
}

TEST_F(UsbTransport, TimedOutWritesKeepABoundedBacklog) {
    ASSERT_TRUE(Open());
    const std::size_t half = T_USB_Write_Thread::kMaxUnsent * 5 / 8;
    const LONG base = standin.WriteCalls();
    standin.SetWriteMode(kWriteStalls, 0);
    ASSERT_TRUE(Send(Filled(half, 'A')));
    ASSERT_TRUE(standin.AwaitWriteCalls(base, 1));
    ASSERT_TRUE(Send(Filled(half, 'B')));
    ASSERT_TRUE(standin.AwaitWriteCalls(base, 2)); // after the first time-out
    standin.SetWriteMode(kWriteNormal, 0);
    // Both halves exceed the bound: the older backlog went, the newer is sent.
    EXPECT_EQ(peer.Receive(half), Filled(half, 'B'));
    EXPECT_TRUE(peer.Quiet());
}

TEST_F(UsbTransport, RefusedWritesLeaveNoHandlesOpen) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(standin.AwaitTransfer()); // the read and its event are there from now on
    const Bytes frame = RequestFrame(1, 0);
    standin.SetWriteMode(kWriteRefused, 0);
    LONG base = standin.WriteCalls();
    ASSERT_TRUE(Send(frame));
    ASSERT_TRUE(standin.AwaitWriteCalls(base, 1));
    // Taken while the last write may still hold its event: that only lifts the bound.
    const std::uintptr_t before = HandleHighWater();
    base = standin.WriteCalls();
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(Send(frame));
        ASSERT_TRUE(standin.AwaitWriteCalls(base, i + 1));
    }
    EXPECT_TRUE(WaitUntil([&] { return HandleHighWater() <= before; }));
}

TEST_F(UsbTransport, CloseReturnsEvenWhenTheDriverNeverEndsTheRead) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(standin.AwaitTransfer());
    const HANDLE reader = OpenThread(SYNCHRONIZE, FALSE, standin.ReadThread());
    ASSERT_NE(reader, nullptr);
    standin.SetReadMode(kReadIgnoresAbort);
    const std::uint32_t start = Ms();
    link.reset();
    EXPECT_LT(Ms() - start, 4000u);
    standin.SetReadMode(kReadNormal);
    // The thread left running ends once its read does; its handles are still open.
    EXPECT_TRUE(standin.AwaitNoTransfers());
    EXPECT_EQ(WaitForSingleObject(reader, 2000), WAIT_OBJECT_0);
    CloseHandle(reader);
    EXPECT_TRUE(gWinUsbDll.Free(winUsb));
    EXPECT_TRUE(CloseHandle(device));
}

} // namespace

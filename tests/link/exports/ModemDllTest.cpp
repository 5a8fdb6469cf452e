// QuorxComDll's modem exports under Wine, with the test playing the modem on
// the far end of its COM port. A pty has no modem lines (no carrier, no DTR):
// the carrier and hang-up rules are tested natively; here the dialogue, the
// commands and the line settings go through the real port.
#include "link/core/CtsWriteTimeouts.h"
#include "link/serial/SerialLink_win.h"
#include "QuorxComDllH.h"
#include "tests/support/WineTestSupport_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kInit = "ATZ&C1S0=1";

// A modem on the far end of the pty: answers "AT" with Answer (nothing when
// empty) and keeps every line it is sent, without its CR LF.
class TPtyModem {
public:
    explicit TPtyModem(std::string Answer)
        : answer_(std::move(Answer)), thread_([this] { Run(); }) {}
    ~TPtyModem() {
        stop_ = true;
        thread_.join();
    }
    TPtyModem(const TPtyModem&) = delete;
    TPtyModem& operator=(const TPtyModem&) = delete;

    bool Ok() const { return peer_.Ok(); }
    // The lines received once Count have come (or two seconds passed), and
    // whatever else came in the next 100 ms.
    std::vector<std::string> Lines(std::size_t Count) {
        for (int i = 0; i < 200 && Received() < Count; ++i)
            Sleep(10);
        Sleep(100);
        const std::lock_guard<std::mutex> hold(lock_);
        return lines_;
    }

private:
    std::size_t Received() {
        const std::lock_guard<std::mutex> hold(lock_);
        return lines_.size();
    }
    void Run() {
        std::string text;
        while (!stop_) {
            text += peer_.Receive(256);
            for (auto end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n")) {
                const std::string line = text.substr(0, end);
                text.erase(0, end + 2);
                if (line == "AT" && !answer_.empty())
                    peer_.Send(answer_);
                const std::lock_guard<std::mutex> hold(lock_);
                lines_.push_back(line);
            }
        }
    }

    TPtyPeer peer_{20};
    const std::string answer_;
    std::mutex lock_;
    std::vector<std::string> lines_;
    std::atomic<bool> stop_{false};
    std::thread thread_; // last: runs on everything above
};

class ModemDllTest : public testing::Test {
protected:
    void SetUp() override {
        port = TestComPort();
        if (port == 0)
            GTEST_SKIP() << "no test COM port (run through with-com-port)";
    }
    void TearDown() override {
        if (port != 0)
            CloseCom(port);
    }
    bool Open() const { return GetNumEvent(port, nullptr, nullptr, nullptr) == 0; }
    int port = 0;
};

TEST_F(ModemDllTest, OpenAsksTheModemThenSendsTheInitString) {
    struct Case {
        const char* name;
        std::string answer;
        TLinkResult result;
        std::vector<std::string> lines;
    } cases[] = {
        {"OK", "AT\r\r\nOK\r\n", 0, {"AT", kInit}},
        {"numeric", "0\r", 0, {"AT", kInit}},
        {"ERROR", "\r\nERROR\r\n", errModem, {"AT"}},
        {"silent", "", errModem, {"AT"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPtyModem modem(c.answer);
        ASSERT_TRUE(modem.Ok());
        const DWORD start = GetTickCount();
        EXPECT_EQ(OpenComExModem(port, 100, 5001, 19200, 0, kInit), c.result);
        EXPECT_GE(GetTickCount() - start, 990u) << "a second for the answer";
        EXPECT_EQ(modem.Lines(c.lines.size()), c.lines);
        EXPECT_EQ(Open(), c.result == 0);
    }
}

TEST_F(ModemDllTest, CommandsAndLineSettingsOverThePort) {
    TPtyModem modem("\r\nOK\r\n");
    ASSERT_EQ(OpenComExModem(port, 100, 5001, 19200, 0, kInit), 0);
    ASSERT_EQ(modem.Lines(2).size(), 2u);

    // The pty has no modem status: no carrier to be seen, so no transaction.
    std::uint8_t status = 0xFF;
    EXPECT_EQ(GetModemStatus(port, &status), errCommState);
    EXPECT_EQ(status, 0);
    char text[21];
    EXPECT_EQ(GetDevId(port, text), errNotReady);

    EXPECT_EQ(SendModemCommand(port, "ATDT5551234"), 0);
    EXPECT_EQ(modem.Lines(3), (std::vector<std::string>{"AT", kInit, "ATDT5551234"}))
        << "nothing of the refused transaction went out";
    EXPECT_NE(ModemHangUp(port), errCommState) << "DTR dropped and the settings restored";
    EXPECT_EQ(SendModemCommand(port, "ATH"), 0);
    EXPECT_EQ(modem.Lines(4).back(), "ATH");
}

TEST_F(ModemDllTest, ArgumentAndModeErrors) {
    EXPECT_EQ(OpenComExModem(0, 100, 5001, 19200, 0, kInit), errParam);
    EXPECT_EQ(OpenComExModem(257, 100, 5001, 19200, 0, kInit), errParam);
    // The event queue's bounds were taken unchecked.
    ASSERT_EQ(OpenComEx(port, 100, 5001, 19200, 0, 0), 0);
    EXPECT_EQ(OpenComExModem(port, 0, 5001, 19200, 0, kInit), errParam);
    EXPECT_FALSE(Open()) << "the slot is empty";
    EXPECT_EQ(OpenComExModem(port, 100, -1, 19200, 0, kInit), errParam);

    ASSERT_EQ(OpenComEx(port, 100, 5001, 19200, 0, 0), 0);
    EXPECT_EQ(SendModemCommand(port, "ATDT1"), errNotModem);
    EXPECT_EQ(ModemHangUp(port), errNotModem);
    EXPECT_EQ(ModemHangUp(0), errParam);
    EXPECT_EQ(ModemHangUp(port + 1), errNotOpen);
    std::uint8_t status = 0;
    EXPECT_EQ(GetModemStatus(0, &status), errParam);
    EXPECT_EQ(GetModemStatus(257, &status), errNotOpen);
}

// A CTS line was allowed 2000 ms for every byte of a write, so a long init
// string to a modem holding CTS low kept the caller for minutes.
TEST(SerialLinkWrites, AModemLineBoundsItsWritesInAll) {
    if (TestComPort() == 0)
        GTEST_SKIP() << "no test COM port (run through with-com-port)";
    struct Case {
        bool modem;
        int baud;
        std::uint32_t multiplierMs;
    } cases[] = {
        {true, 9600, CtsWriteTimeouts(9600).MultiplierMs},
        {true, 1200, CtsWriteTimeouts(1200).MultiplierMs},
        {false, 9600, 0}, // no flow control: writes never wait
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.modem ? "modem " : "plain ") << c.baud);
        TSerialSettings s;
        s.Port = TestComPort();
        s.Baud = c.baud;
        s.Modem = c.modem;
        s.MaxEvents = s.MaxEventData = 10;
        TSerialLink link;
        ASSERT_EQ(link.Open(s), 0);
        COMMTIMEOUTS t{};
        ASSERT_TRUE(GetCommTimeouts(link.Com().GetHandle(), &t));
        EXPECT_EQ(t.WriteTotalTimeoutMultiplier, c.multiplierMs);
        if (c.modem) {
            EXPECT_EQ(t.WriteTotalTimeoutConstant, kCtsWriteStallMs);
        }
    }
}

} // namespace

// Modem links through the library: the "AT" dialogue and init string at open,
// the modem status, commands to the unconnected modem and the hang-up, over a
// fake modem that models DTR, carrier, ring and its answers, on a fake clock.
#include "link/core/ModemLinks.h"
#include "link/core/CtsWriteTimeouts.h"
#include "tests/link/core/FakeLinkPlatform.h"
#include "tests/link/core/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TModemScript {
    std::string Answer = "\r\nOK\r\n"; // to "AT", after AnswerDelayMs; empty: silent
    bool Echo = true;                  // "AT\r" ahead of the answer
    std::uint32_t AnswerDelayMs = 300;
    bool Carrier = false;
    bool Ring = false;
    int CarrierDropMs = 250; // after DTR goes off; -1: the carrier stays
    bool StatusReadable = true;
    int FailWrite = 0; // the n-th write (from 1) fails; 0: none
    bool FailSave = false, FailDrop = false, FailRestore = false;
};

// The modem on the far end of the line.
class TFakeModem : public IBytePort {
public:
    TFakeModem(const TModemScript& Script, IClock& Clock) : Script(Script), clock_(Clock) {}

    bool Write(const std::uint8_t* Data, int Count) override {
        if (++writes_ == Script.FailWrite)
            return false;
        const std::string text(Data, Data + Count);
        Lines.push_back(text);
        if (text == "AT\r\n" && !CarrierNow() && !Script.Answer.empty()) {
            answer_ = (Script.Echo ? "AT\r" : "") + Script.Answer;
            answerAt_ = clock_.Now();
        }
        return true;
    }
    int Read(std::uint8_t* Buf, int Max) override {
        if (answer_.empty() || TicksSince(answerAt_, clock_.Now()) < Script.AnswerDelayMs)
            return 0;
        const int n = std::min<int>(Max, static_cast<int>(answer_.size()));
        std::copy_n(answer_.begin(), n, Buf);
        answer_.erase(0, static_cast<std::size_t>(n));
        return n;
    }
    void Purge() override {
        ++Purges;
        answer_.clear();
    }
    bool ReadModemStatus(std::uint32_t& Status) override {
        ++StatusReads;
        Status = (Script.Ring ? 0x40u : 0u) | (CarrierNow() ? 0x80u : 0u);
        return Script.StatusReadable;
    }

    void SetDtr(bool On) {
        Dtr.push_back(On);
        dtrOn_ = On;
        dtrOffAt_ = clock_.Now();
    }
    bool CarrierNow() {
        if (!Script.Carrier)
            return false;
        if (dtrOn_ || Script.CarrierDropMs < 0)
            return true;
        return TicksSince(dtrOffAt_, clock_.Now()) <
               static_cast<std::uint32_t>(Script.CarrierDropMs);
    }

    TModemScript Script;
    std::vector<std::string> Lines; // every write, whole
    std::vector<bool> Dtr;          // every change of DTR
    int Purges = 0;
    int StatusReads = 0;

private:
    IClock& clock_;
    int writes_ = 0;
    std::string answer_;
    std::uint32_t answerAt_ = 0;
    bool dtrOn_ = true;
    std::uint32_t dtrOffAt_ = 0;
};

class TModemLink : public TLinkObject {
public:
    TModemLink(const TSerialSettings& S, const TModemScript& Script, IClock& Clock)
        : modem_(Script, Clock), dev_(modem_, Clock) {
        dev_.LinkOpened(SetupOf(S));
    }
    TNPDev& Dev() override { return dev_; }
    IBytePort* SerialPort() override { return &modem_; }
    std::string ReadWaitingText() override {
        std::uint8_t buf[256];
        const int n = modem_.Read(buf, sizeof buf);
        const std::string text(buf, buf + n);
        return text.substr(0, text.find('\0'));
    }
    bool SaveLineSettings() override { return !modem_.Script.FailSave; }
    bool DropDtr() override {
        if (modem_.Script.FailDrop)
            return false;
        modem_.SetDtr(false);
        return true;
    }
    bool RestoreLineSettings() override {
        modem_.SetDtr(true);
        return !modem_.Script.FailRestore;
    }

    TFakeModem& Modem() { return modem_; }

private:
    TFakeModem modem_;
    TNPDev dev_;
};

// A link without a serial line (a USB device): every line operation fails.
class TLinelessLink : public TLinkObject {
public:
    explicit TLinelessLink(TSerialSettings S, IClock& Clock) : dev_(port_, Clock) {
        TLinkSetup setup = SetupOf(S);
        setup.Kind = TLinkKind::Usb;
        setup.Number = 1;
        dev_.LinkOpened(setup);
    }
    TNPDev& Dev() override { return dev_; }

private:
    TScriptPort port_;
    TNPDev dev_;
};

const char* const kInit = "ATZ&C1S0=1";

class ModemLinksTest : public testing::Test {
protected:
    TModemLink& Link(int Index) { return static_cast<TModemLink&>(*lib.Table().Hold(Index)); }
    TFakeModem& Modem(int Index) { return Link(Index).Modem(); }
    TLinkResult Open(int Port, const char* Init = kInit) {
        return modem.OpenComExModem(Port, 100, 5001, 9600, 4096, Init);
    }
    // Opens a connected modem link on COM Port.
    void OpenConnected(int Port) {
        ASSERT_EQ(Open(Port), 0);
        Modem(Port).Script.Carrier = true;
    }
    template <class F>
    std::uint32_t Timed(F Call) {
        const std::uint32_t start = clock.Now();
        Call();
        return TicksSince(start, clock.Now());
    }

    TFakeClock clock{0xFFFFFFFFu - 500}; // every wait crosses the wrap of the tick counter
    TModemScript script;
    TFakeLinkPlatform platform{[this](const TSerialSettings& S) -> std::unique_ptr<TLinkObject> {
        return std::make_unique<TModemLink>(S, script, clock);
    }};
    TLinkLibrary lib{platform};
    TModemLinks modem{lib, clock};
};

TEST_F(ModemLinksTest, OpenTalksToTheModemAndSendsTheInitString) {
    struct Case {
        const char* name;
        std::string answer;
        TLinkResult result;
    } cases[] = {
        {"OK", "\r\nOK\r\n", 0},
        {"numeric OK", "0\r", 0},
        {"ERROR", "\r\nERROR\r\n", errModem},
        {"numeric ERROR", "4\r", errModem},
        {"silent", "", errModem},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        script.Answer = c.answer;
        std::uint32_t ms = 0;
        TLinkResult result = -1;
        ms = Timed([&] { result = Open(4); });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(ms, 1000u) << "one wait for the answer";
        EXPECT_EQ(lib.Table().CheckDevIndex(4), c.result == 0 ? 0 : errNotOpen);
        if (c.result == 0) {
            EXPECT_EQ(Modem(4).Lines,
                      (std::vector<std::string>{"AT\r\n", std::string(kInit) + "\r\n"}));
            EXPECT_TRUE(Link(4).Dev().ModemMode());
        }
    }
    EXPECT_EQ(platform.Last.Port, 4);
    EXPECT_EQ(platform.Last.Baud, 9600);
    EXPECT_EQ(platform.Last.RxQueueSize, 4096);
    EXPECT_TRUE(platform.Last.Modem);
    EXPECT_FALSE(platform.Last.Bus || platform.Last.Nibble || platform.Last.StopBitsTwo);
}

TEST_F(ModemLinksTest, InitStringIsCutTo255Characters) {
    struct Case {
        const char* name;
        std::string init;
        bool nil;
        std::string sent;
    } cases[] = {
        {"empty", "", false, "\r\n"},
        {"nil", "", true, "\r\n"},
        {"255", std::string(255, 'S'), false, std::string(255, 'S') + "\r\n"},
        {"300", std::string(300, 'S'), false, std::string(255, 'S') + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Open(2, c.nil ? nullptr : c.init.c_str()), 0);
        ASSERT_EQ(Modem(2).Lines.size(), 2u);
        EXPECT_EQ(Modem(2).Lines[1], c.sent);
    }
}

TEST_F(ModemLinksTest, OpenArgumentsAndPortFailures) {
    struct Case {
        int port, maxEvents, maxEventData;
        TLinkResult result;
    } cases[] = {
        {0, 100, 5001, errParam}, {257, 100, 5001, errParam}, {5, 0, 5001, errParam},
        {5, 100, 0, errParam},    {5, -1, 5001, errParam},    {256, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.port << " " << c.maxEvents << " " << c.maxEventData);
        EXPECT_EQ(modem.OpenComExModem(c.port, c.maxEvents, c.maxEventData, 19200, 0, kInit),
                  c.result);
    }
    ASSERT_EQ(Open(5), 0);
    platform.OpenResults[5] = errNotOpen;
    EXPECT_EQ(Open(5), errNotOpen);
    EXPECT_EQ(lib.Table().CheckDevIndex(5), errNotOpen) << "the old link is gone too";
}

// The event queue's bounds were taken unchecked.
TEST_F(ModemLinksTest, UncheckedEventQueueSizesAreRefused) {
    ASSERT_EQ(Open(5), 0);
    const int opens = platform.Opens;
    EXPECT_EQ(modem.OpenComExModem(5, 0, 5001, 19200, 0, kInit), errParam);
    EXPECT_EQ(modem.OpenComExModem(5, 100, -5, 19200, 0, kInit), errParam);
    EXPECT_EQ(platform.Opens, opens) << "no port opened";
    EXPECT_EQ(lib.Table().CheckDevIndex(5), errNotOpen);
}

// A failed write of the init string was reported as success.
TEST_F(ModemLinksTest, FailedInitStringWriteIsReported) {
    struct Case {
        int failWrite;
        TLinkResult result;
    } cases[] = {{1, errModem}, {2, errWrite}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failWrite);
        script.FailWrite = c.failWrite;
        EXPECT_EQ(Open(3), c.result);
        EXPECT_EQ(lib.Table().CheckDevIndex(3), errNotOpen);
    }
}

TEST_F(ModemLinksTest, TransactionsNeedTheCarrier) {
    ASSERT_EQ(Open(3), 0);
    char text[21];
    EXPECT_EQ(lib.GetDevId(3, text), errNotReady);
    EXPECT_EQ(Modem(3).Lines.size(), 2u) << "nothing sent";
}

TEST_F(ModemLinksTest, ModemStatusBits) {
    ASSERT_EQ(Open(3), 0);
    struct Case {
        bool ring, carrier, readable;
        TLinkResult result;
        std::uint8_t status;
    } cases[] = {
        {false, false, true, 0, 0},
        {true, false, true, 0, 1},
        {false, true, true, 0, 2},
        {true, true, true, 0, 3},
        {true, true, false, errCommState, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ring << c.carrier << c.readable);
        TModemScript& s = Modem(3).Script;
        s.Ring = c.ring;
        s.Carrier = c.carrier;
        s.StatusReadable = c.readable;
        std::uint8_t status = 0xFF;
        EXPECT_EQ(modem.GetModemStatus(3, &status), c.result);
        EXPECT_EQ(status, c.status);
    }
}

TEST_F(ModemLinksTest, ModemStatusOfSerialLinksOnly) {
    ASSERT_EQ(lib.OpenComEx(2, 100, 5001, 19200, 0, 0), 0); // plain serial: readable too
    Modem(2).Script.Ring = true;
    TSerialSettings usb;
    usb.MaxEvents = usb.MaxEventData = 10;
    ASSERT_TRUE(lib.Table().AddUsb(1, std::make_unique<TLinelessLink>(usb, clock)));
    std::uint8_t status = 0xFF;
    EXPECT_EQ(modem.GetModemStatus(2, &status), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(modem.GetModemStatus(257, &status), errParam);
    EXPECT_EQ(modem.GetModemStatus(0, &status), errParam);
    EXPECT_EQ(modem.GetModemStatus(4, &status), errNotOpen);
    EXPECT_EQ(modem.GetModemStatus(258, &status), errNotOpen);
    EXPECT_EQ(modem.GetModemStatus(2, nullptr), errBuffer);
}

TEST_F(ModemLinksTest, CommandsGoToTheUnconnectedModemOnly) {
    ASSERT_EQ(lib.OpenComEx(2, 100, 5001, 19200, 0, 0), 0);
    TSerialSettings usb;
    usb.MaxEvents = usb.MaxEventData = 10;
    ASSERT_TRUE(lib.Table().AddUsb(1, std::make_unique<TLinelessLink>(usb, clock)));
    EXPECT_EQ(modem.SendModemCommand(2, "ATDT123"), errNotModem);
    EXPECT_EQ(modem.SendModemCommand(257, "ATDT123"), errNotModem);
    EXPECT_EQ(modem.SendModemCommand(0, "ATDT123"), errParam);
    EXPECT_EQ(modem.SendModemCommand(6, "ATDT123"), errNotOpen);
    EXPECT_TRUE(Modem(2).Lines.empty());

    ASSERT_EQ(Open(3), 0);
    TFakeModem& m = Modem(3);
    const int purges = m.Purges;
    EXPECT_EQ(modem.SendModemCommand(3, "ATDT123"), 0);
    EXPECT_EQ(m.Lines.back(), "ATDT123\r\n");
    EXPECT_EQ(m.Purges, purges + 1);
    const std::string longCmd(260, 'D');
    EXPECT_EQ(modem.SendModemCommand(3, longCmd.c_str()), 0);
    EXPECT_EQ(m.Lines.back(), std::string(255, 'D') + "\r\n");
    EXPECT_EQ(modem.SendModemCommand(3, nullptr), 0);
    EXPECT_EQ(m.Lines.back(), "\r\n");

    m.Script.Carrier = true;
    const std::size_t lines = m.Lines.size();
    EXPECT_EQ(modem.SendModemCommand(3, "ATH"), errCarrier);
    EXPECT_EQ(m.Lines.size(), lines) << "nothing sent while connected";
}

// A failed write of a modem command was reported as success.
TEST_F(ModemLinksTest, FailedCommandWriteIsReported) {
    ASSERT_EQ(Open(3), 0);
    Modem(3).Script.FailWrite = 3; // AT, init, then this command
    EXPECT_EQ(modem.SendModemCommand(3, "ATDT123"), errWrite);
    EXPECT_EQ(lib.Table().CheckDevIndex(3), 0) << "the link stays open";
}

// Each check is followed by its 100 ms sleep, also the one that finds the
// carrier gone: a carrier that goes 250 ms after DTR is seen at the fourth
// check, at 300 ms, and the call returns at 400 ms.
TEST_F(ModemLinksTest, HangUpDropsDtrUntilTheCarrierGoes) {
    struct Case {
        const char* name;
        bool carrier;
        int dropMs;
        TLinkResult result;
        std::uint32_t ms;
        int checks;
    } cases[] = {
        {"carrier goes", true, 250, 0, 400, 4},
        {"no carrier to start with", false, 0, 0, 100, 1},
        {"carrier stays", true, -1, errModem, 2100, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenConnected(3);
        TFakeModem& m = Modem(3);
        m.Script.Carrier = c.carrier;
        m.Script.CarrierDropMs = c.dropMs;
        TLinkResult result = -1;
        EXPECT_EQ(Timed([&] { result = modem.ModemHangUp(3); }), c.ms);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(m.Dtr, (std::vector<bool>{false, true})) << "dropped, then restored";
        EXPECT_EQ(m.StatusReads, c.checks);
        EXPECT_EQ(lib.Table().CheckDevIndex(3), 0) << "the link stays open";
    }
}

TEST_F(ModemLinksTest, HangUpLineSettingFailures) {
    struct Case {
        const char* name;
        bool failSave, failDrop, failRestore;
        std::vector<bool> dtr;
    } cases[] = {
        {"unreadable", true, false, false, {}},
        {"DTR refused", false, true, false, {true}},
        {"restore refused", false, false, true, {false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenConnected(3);
        TFakeModem& m = Modem(3);
        m.Script.FailSave = c.failSave;
        m.Script.FailDrop = c.failDrop;
        m.Script.FailRestore = c.failRestore;
        m.Script.CarrierDropMs = -1; // a state error outranks the carrier that stayed
        EXPECT_EQ(modem.ModemHangUp(3), errCommState);
        EXPECT_EQ(m.Dtr, c.dtr);
    }
}

TEST_F(ModemLinksTest, HangUpOfModemLinksOnly) {
    ASSERT_EQ(lib.OpenComEx(2, 100, 5001, 19200, 0, 0), 0);
    EXPECT_EQ(modem.ModemHangUp(2), errNotModem);
    EXPECT_TRUE(Modem(2).Dtr.empty());
    EXPECT_EQ(modem.ModemHangUp(0), errParam);
    EXPECT_EQ(modem.ModemHangUp(513), errParam);
    EXPECT_EQ(modem.ModemHangUp(7), errNotOpen);
    EXPECT_EQ(modem.ModemHangUp(257), errNotOpen);
}

// A CTS line was allowed 2000 ms for every byte of a write: a long init string
// to a modem holding CTS low kept the caller for minutes.
TEST(CtsWriteTimeouts, LongInitStringWithCtsLowWaitsSecondsNotMinutes) {
    const int initLine = 255 + 2;
    for (int baud : {1200, 2400, 9600, 19200, 57600, 115200}) {
        SCOPED_TRACE(baud);
        EXPECT_LE(WriteLimitMs(CtsWriteTimeouts(baud), initLine), 6000u);
    }
    EXPECT_LE(WriteLimitMs(CtsWriteTimeouts(19200), initLine), 4000u);
    EXPECT_LT(WriteLimitMs(CtsWriteTimeouts(0), initLine), 60000u) << "a refused rate too";
}

TEST(CtsWriteTimeouts, AWriteTheLineCanCarryIsNeverCut) {
    for (int baud : {110, 300, 1200, 9600, 19200, 38400, 115200}) {
        for (int count : {1, 257, 20000}) {
            SCOPED_TRACE(testing::Message() << baud << " baud, " << count << " bytes");
            const std::uint64_t lineMs = static_cast<std::uint64_t>(count) * 11 * 1000 / baud;
            EXPECT_GE(WriteLimitMs(CtsWriteTimeouts(baud), count), lineMs + kCtsWriteStallMs);
        }
    }
}

} // namespace

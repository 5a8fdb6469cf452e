// The exports' rules over the device table: index checks, argument errors,
// slot handling on open and close, and the device-information requests,
// with links to in-process simulated instruments.
#include "link/core/LinkLibrary.h"
#include "tests/link/core/FakeLinkPlatform.h"
#include "tests/link/core/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class LinkLibraryTest : public testing::Test {
protected:
    TSimLink& Link(int Index) { return static_cast<TSimLink&>(*lib.Table().Hold(Index)); }

    TSimConfig config;
    TFakeLinkPlatform platform{[this](const TSerialSettings& S) -> std::unique_ptr<TLinkObject> {
        return std::make_unique<TSimLink>(S, config);
    }};
    TLinkLibrary lib{platform};
};

TEST_F(LinkLibraryTest, OpenComExArgumentsAndSettings) {
    struct Case {
        int port, maxEvents, maxEventData;
        TLinkResult result;
    } cases[] = {
        {5, 100, 5001, 0},      {0, 100, 5001, errParam}, {257, 100, 5001, errParam},
        {5, 0, 5001, errParam}, {5, 100, 0, errParam},    {5, -1, 5001, errParam},
        {256, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.port << " " << c.maxEvents << " " << c.maxEventData);
        EXPECT_EQ(lib.OpenComEx(c.port, c.maxEvents, c.maxEventData, 19200, 128790, 0), c.result);
        if (c.port >= 1 && c.port <= 256) {
            EXPECT_EQ(lib.Table().CheckDevIndex(c.port), c.result == 0 ? 0 : errNotOpen);
        }
    }
    lib.OpenComEx(7, 100, 5001, 9600, 128790, 1);
    EXPECT_EQ(platform.Last.Baud, 9600);
    EXPECT_EQ(platform.Last.RxQueueSize, 128790);
    EXPECT_TRUE(platform.Last.Nibble);
    EXPECT_FALSE(platform.Last.Modem || platform.Last.Bus || platform.Last.StopBitsTwo);

    lib.OpenCom(8, 10, 20);
    EXPECT_EQ(platform.Last.Baud, 19200);
    EXPECT_EQ(platform.Last.RxQueueSize, 0);
    EXPECT_FALSE(platform.Last.Nibble);
}

TEST_F(LinkLibraryTest, AFailedOpenLeavesTheSlotEmptyEvenIfItWasOpen) {
    ASSERT_EQ(lib.OpenCom(5, 100, 5001), 0);
    EXPECT_EQ(lib.OpenComEx(5, 0, 10, 19200, 0, 0), errParam);
    EXPECT_EQ(lib.Table().CheckDevIndex(5), errNotOpen);

    for (TLinkResult failure : {errNotOpen, errCommState}) {
        SCOPED_TRACE(failure);
        ASSERT_EQ(lib.OpenCom(5, 100, 5001), 0);
        platform.OpenResults[5] = failure;
        EXPECT_EQ(lib.OpenCom(5, 100, 5001), failure);
        EXPECT_EQ(lib.Table().CheckDevIndex(5), errNotOpen);
        platform.OpenResults.clear();
    }
}

TEST_F(LinkLibraryTest, CloseCom) {
    EXPECT_EQ(lib.CloseCom(3), 0); // empty slot
    ASSERT_EQ(lib.OpenCom(3, 100, 5001), 0);
    EXPECT_EQ(lib.CloseCom(3), 0);
    EXPECT_EQ(lib.Table().CheckDevIndex(3), errNotOpen);
    for (int bad : {0, -1, 257, 512, 513}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(lib.CloseCom(bad), errParam);
    }
}

TEST_F(LinkLibraryTest, EveryIndexedExportChecksTheIndexFirst) {
    char text[21];
    std::uint16_t word;
    std::uint32_t size;
    int count;
    std::uint16_t code;
    std::uint8_t param;
    std::uint8_t buf[8];
    const std::function<TLinkResult(int)> exports[] = {
        [&](int i) { return lib.SendRequest(i, 1, 0, nullptr, 0, text, -21, nullptr); },
        [&](int i) { return lib.SendCommand(i, 0, 0, nullptr, 0, nullptr, 0, nullptr); },
        [&](int i) { return lib.SetTimeout(i, 10); },
        [&](int i) { return lib.SetTimeouts(i, 10, 10); },
        [&](int i) { return lib.ClearOutBuff(i); },
        [&](int i) { return lib.SetRecEventProc(i, nullptr); },
        [&](int i) { return lib.GetNumEvent(i, &count, nullptr, nullptr); },
        [&](int i) { return lib.GetEvent(i, &code, &param, buf, 8, &count); },
        [&](int i) { return lib.GetDevId(i, text); },
        [&](int i) { return lib.GetDevSWVers(i, text); },
        [&](int i) { return lib.GetProfileCap(i, &word); },
        [&](int i) { return lib.GetReqMCap(i, &word); },
        [&](int i) { return lib.GetTa(i, buf); },
        [&](int i) { return lib.RxQueue(i, &size); },
        [&](int i) { return lib.RxQueueMax(i, &size); },
    };
    for (std::size_t e = 0; e < std::size(exports); ++e) {
        SCOPED_TRACE(e);
        EXPECT_EQ(exports[e](0), errParam);
        EXPECT_EQ(exports[e](513), errParam);
        EXPECT_EQ(exports[e](4), errNotOpen);   // serial slot empty
        EXPECT_EQ(exports[e](257), errNotOpen); // no USB device with key 1
    }
}

TEST_F(LinkLibraryTest, DeviceInformationFromTheInstrument) {
    ASSERT_EQ(lib.OpenCom(2, 100, 5001), 0);
    char text[21];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(lib.GetDevId(2, text), 0);
    EXPECT_STREQ(text, "ZEPHORA");
    EXPECT_EQ(lib.GetDevSWVers(2, text), 0);
    EXPECT_STREQ(text, "3.21");
    std::uint16_t word = 0;
    EXPECT_EQ(lib.GetProfileCap(2, &word), 0);
    EXPECT_EQ(word, 2);
    EXPECT_EQ(lib.GetReqMCap(2, &word), 0);
    EXPECT_EQ(word, 1);
    std::uint8_t ta[4] = {};
    EXPECT_EQ(lib.GetTa(2, ta), 0);
    EXPECT_EQ(Bytes(ta, ta + 4), B({1, 2, 3, 4}));
    EXPECT_EQ(lib.ClearOutBuff(2), 0);
}

TEST_F(LinkLibraryTest, NilBuffersAreRefusedBeforeAnythingIsSent) {
    ASSERT_EQ(lib.OpenCom(2, 100, 5001), 0);
    Link(2).Line().ClearWritten();
    EXPECT_EQ(lib.SendRequest(2, 1, 0, nullptr, 0, nullptr, 0, nullptr), errBuffer);
    EXPECT_EQ(lib.SendCommand(2, 0, 0, nullptr, 0, nullptr, 6, nullptr), errBuffer);
    EXPECT_EQ(lib.GetDevId(2, nullptr), errBuffer);
    EXPECT_EQ(lib.GetProfileCap(2, nullptr), errBuffer);
    EXPECT_EQ(lib.GetTa(2, nullptr), errBuffer);
    std::uint16_t code;
    EXPECT_EQ(lib.GetEvent(2, &code, nullptr, nullptr, 0, nullptr), errBuffer);
    EXPECT_TRUE(Link(2).Line().Written().empty());
}

TEST_F(LinkLibraryTest, CommandWithoutReplyBufferSucceedsWhenTheReplyHasNoData) {
    ASSERT_EQ(lib.OpenCom(2, 100, 5001), 0);
    const std::uint8_t on = 0xFF;
    EXPECT_EQ(lib.SendCommand(2, 0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
}

TEST_F(LinkLibraryTest, FullLengthDeviceIdIsTerminated) {
    config.Model.DeviceId = std::string(21, 'K');
    ASSERT_EQ(lib.OpenCom(2, 100, 5001), 0);
    char text[22];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(lib.GetDevId(2, text), 0);
    EXPECT_EQ(std::string(text), std::string(20, 'K'));
}

// After a failed request the 21st byte stayed as the caller left it: a reply cut
// off after 21 characters left a text without its end.
TEST_F(LinkLibraryTest, DeviceTextsEndWithinTheirBufferWhateverTheResult) {
    TFaults longer, corrupt, silence;
    longer.LengthDelta = 1;
    corrupt.CorruptCheck = true;
    silence.Silence = true;
    const struct {
        const char* Name;
        std::size_t Length; // of the instrument's texts
        TFaults Faults;
        TLinkResult Result;
    } cases[] = {
        {"22 characters", 21, longer, errBuffer},
        {"21 characters, bad check", 21, corrupt, errChecksum},
        {"no answer", 5, silence, errByteTimeout},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        config.Model.DeviceId = config.Model.SwVersion = std::string(c.Length, 'K');
        config.Faults = c.Faults;
        ASSERT_EQ(lib.OpenCom(2, 100, 5001), 0);
        for (const auto call : {&TLinkLibrary::GetDevId, &TLinkLibrary::GetDevSWVers}) {
            char text[21];
            std::memset(text, 0xFF, sizeof text);
            EXPECT_EQ((lib.*call)(2, text), c.Result);
            EXPECT_EQ(text[20], '\0');
        }
    }
}

TEST_F(LinkLibraryTest, GetEventBufferSizeIsCheckedAgainstMaxEventData) {
    ASSERT_EQ(lib.OpenComEx(2, 10, 200, 19200, 0, 0), 0);
    TNPDev& dev = Link(2).Dev();
    Ttelegr event;
    event.Code = 0x100;
    event.Param = 255;
    event.Data = Bytes(128, 7);
    dev.QueueEvent(event);

    std::uint16_t code = 0;
    std::uint8_t param = 0;
    std::uint8_t buf[300];
    int len = 0;
    EXPECT_EQ(lib.GetEvent(2, &code, &param, buf, 201, &len), errParam); // even though queued
    EXPECT_EQ(lib.GetEvent(2, &code, &param, buf, -1, &len), errParam);
    EXPECT_EQ(lib.GetEvent(2, &code, &param, buf, 100, &len), errBuffer); // stays queued
    int count = 0, free = 0, lost = -1;
    EXPECT_EQ(lib.GetNumEvent(2, &count, &free, &lost), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(free, 9);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(lib.GetEvent(2, &code, &param, buf, 200, &len), 0);
    EXPECT_EQ(code, 0x100);
    EXPECT_EQ(param, 255);
    EXPECT_EQ(len, 128);
    EXPECT_EQ(lib.GetEvent(2, &code, &param, buf, 200, &len), errNoEvent);
    EXPECT_EQ(lib.GetNumEvent(2, nullptr, nullptr, nullptr), 0);
}

TEST_F(LinkLibraryTest, APortThisLibraryHoldsIsNotAvailable) {
    ASSERT_EQ(lib.OpenCom(6, 100, 5001), 0);
    platform.PortFree = true; // the platform would not refuse a second open
    EXPECT_FALSE(lib.IsComAvailable(6));
    EXPECT_EQ(platform.Probed, 0);
    EXPECT_TRUE(lib.IsComAvailable(7));
    EXPECT_EQ(platform.Probed, 7);
    platform.PortFree = false;
    EXPECT_FALSE(lib.IsComAvailable(7));
    EXPECT_FALSE(lib.IsComAvailable(300)); // no range check: the platform answers
    EXPECT_EQ(platform.Probed, 300);
}

TEST_F(LinkLibraryTest, ReceiveQueueSizesOfSerialLinksOnly) {
    ASSERT_EQ(lib.OpenCom(2, 100, 5001), 0);
    TSerialSettings usb;
    usb.MaxEvents = 100;
    usb.MaxEventData = 5001;
    ASSERT_TRUE(lib.Table().AddUsb(1, std::make_unique<TSimLink>(usb, TSimConfig{})));

    std::uint32_t size = 0;
    EXPECT_EQ(lib.RxQueue(2, &size), 0);
    EXPECT_EQ(size, 4096u);
    EXPECT_EQ(lib.RxQueueMax(2, &size), 0);
    EXPECT_EQ(size, 65536u);
    EXPECT_EQ(lib.RxQueue(257, &size), errParam);
    EXPECT_EQ(lib.RxQueueMax(257, &size), errParam);
    Link(2).QueueReadable = false;
    EXPECT_EQ(lib.RxQueueMax(2, &size), errWrite);
    EXPECT_EQ(lib.RxQueue(2, nullptr), errBuffer);
}

TEST(NPDevList, KeysAndRemoval) {
    TNPDevList list;
    TSerialSettings s;
    s.MaxEvents = 1;
    s.MaxEventData = 1;
    auto make = [&] { return std::make_unique<TSimLink>(s, TSimConfig{}); };
    EXPECT_EQ(list.FreeKey(), 1);
    EXPECT_EQ(list.Add(1, make()), 0);
    EXPECT_EQ(list.FreeKey(), 2);
    EXPECT_EQ(list.Add(1, make()), -1); // taken: the new one is freed
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Add(3, make()), 1);
    EXPECT_EQ(list.FreeKey(), 2);
    EXPECT_NE(list.FindByKey(3), nullptr);
    EXPECT_NE(list.Take(1), nullptr);
    EXPECT_EQ(list.Take(1), nullptr);
    EXPECT_EQ(list.FindByKey(1), nullptr);
    EXPECT_EQ(list.FreeKey(), 1);
}

} // namespace

#include "tests/profile/FakeLink.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr TDevIndex kIndex = 300; // a USB link, passed through untouched

using TCallFn = std::function<TLinkResult(const TLinkCalls&, void* Buf)>;

struct TExportCase {
    const char* Name;
    TCallFn Call;
    bool HasBuf = true;
    bool Command = false;
    std::uint16_t ReqNo = 0;
    std::uint8_t Param = 0;
    std::int32_t RxLen = 0;
    Bytes Tx = {};
    bool IntoCallerBuf = false; // the reply goes straight into Buf
    bool WantsCount = false;    // RxCount is passed
};

template <class T>
T* As(void* Buf) {
    return static_cast<T*>(Buf);
}

const std::vector<TExportCase>& Exports() {
    using namespace Proflink;
    static const std::vector<TExportCase> cases = {
        {.Name = "GetSWVers",
         .Call = [](auto& l, void* b) { return GetSWVers(l, kIndex, 7, As<TDevText>(b)); },
         .ReqNo = 0x100,
         .Param = 7,
         .RxLen = -21,
         .IntoCallerBuf = true},
        {.Name = "GetSWVersAll",
         .Call = [](auto& l, void* b) { return GetSWVersAll(l, kIndex, As<TDevTextAll>(b)); },
         .ReqNo = 0x100,
         .Param = 255,
         .RxLen = -210,
         .WantsCount = true},
        {.Name = "SetMeasEvent(0xFF)",
         .Call = [](auto& l, void*) { return SetMeasEvent(l, kIndex, 0xFF); },
         .HasBuf = false,
         .Command = true,
         .ReqNo = 0x200,
         .Tx = {0xFF}},
        {.Name = "SetMeasEvent(0)",
         .Call = [](auto& l, void*) { return SetMeasEvent(l, kIndex, 0); },
         .HasBuf = false,
         .Command = true,
         .ReqNo = 0x200,
         .Tx = {0x00}},
        {.Name = "GetMeasEvent",
         .Call = [](auto& l, void* b) { return GetMeasEvent(l, kIndex, As<std::uint8_t>(b)); },
         .ReqNo = 0x200,
         .RxLen = 1,
         .IntoCallerBuf = true},
        {.Name = "GetMeas",
         .Call = [](auto& l, void* b) { return GetMeas(l, kIndex, 0, As<TMeas>(b)); },
         .ReqNo = 0x201,
         .RxLen = 20,
         .IntoCallerBuf = true},
        {.Name = "GetMeasAll",
         .Call = [](auto& l, void* b) { return GetMeasAll(l, kIndex, As<TMEASall>(b)); },
         .ReqNo = 0x201,
         .Param = 255,
         .RxLen = 128,
         .IntoCallerBuf = true},
        {.Name = "GetStab",
         .Call = [](auto& l, void* b) { return GetStab(l, kIndex, 9, As<TStab>(b)); },
         .ReqNo = 0x202,
         .Param = 9,
         .RxLen = 8,
         .IntoCallerBuf = true},
        {.Name = "GetStabAll",
         .Call = [](auto& l, void* b) { return GetStabAll(l, kIndex, As<TStabAll>(b)); },
         .ReqNo = 0x202,
         .Param = 255,
         .RxLen = 82,
         .IntoCallerBuf = true},
        {.Name = "GetIDSerial",
         .Call = [](auto& l, void* b) { return GetIDSerial(l, kIndex, 3, As<TDevText>(b)); },
         .ReqNo = 0x203,
         .Param = 3,
         .RxLen = -21,
         .IntoCallerBuf = true},
        {.Name = "GetIDSerialAll",
         .Call = [](auto& l, void* b) { return GetIDSerialAll(l, kIndex, As<TDevTextAll>(b)); },
         .ReqNo = 0x203,
         .Param = 255,
         .RxLen = -210,
         .WantsCount = true},
        {.Name = "GetDevUnits",
         .Call = [](auto& l, void* b) { return GetDevUnits(l, kIndex, As<TDevUnits>(b)); },
         .ReqNo = 0x204,
         .RxLen = 3,
         .IntoCallerBuf = true},
        {.Name = "GetDevUser",
         .Call = [](auto& l, void* b) { return GetDevUser(l, kIndex, As<TDevText>(b)); },
         .ReqNo = 0x205,
         .RxLen = -21,
         .IntoCallerBuf = true},
    };
    return cases;
}

// Large enough for every reply record.
struct TAnyBuf {
    alignas(8) std::uint8_t Bytes[256];
};

TEST(CheckSlot, ChambersZeroToNineOnly) {
    const struct {
        std::int32_t slot;
        TLinkResult result;
    } cases[] = {{0, 0},          {9, 0},          {10, errParam},      {-1, errParam},
                 {255, errParam}, {256, errParam}, {INT_MIN, errParam}, {INT_MAX, errParam}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(Proflink::CheckSlot(c.slot), c.result);
    }
}

TEST(ProfileRequests, EachExportSendsItsRequest) {
    for (const auto& c : Exports()) {
        SCOPED_TRACE(c.Name);
        TFakeLink fake;
        fake.Reply(0, Bytes(10, 0)); // ten empty texts satisfy the split requests too
        TAnyBuf buf{};
        ASSERT_EQ(c.Call(fake.Calls(), &buf), 0);
        ASSERT_EQ(fake.Sent.size(), 1u);
        const TSentCall& s = fake.Sent[0];
        EXPECT_EQ(s.Command, c.Command);
        EXPECT_EQ(s.Index, kIndex);
        EXPECT_EQ(s.ReqNo, c.ReqNo);
        EXPECT_EQ(s.Param, c.Param);
        EXPECT_EQ(s.RxLen, c.RxLen);
        EXPECT_EQ(s.Tx, c.Tx);
        EXPECT_EQ(s.TxDataNil, c.Tx.empty());
        EXPECT_EQ(s.RxCountNil, !c.WantsCount);
        if (c.IntoCallerBuf) {
            EXPECT_EQ(s.RxBuf, static_cast<const void*>(&buf));
        } else if (!c.HasBuf) {
            EXPECT_EQ(s.RxBuf, nullptr);
        }
    }
}

TEST(ProfileRequests, LinkResultsAndStatusBytesPassThrough) {
    const TLinkResult codes[] = {
        1,         18,        19,          255,       errNotOpen, errTimeout,    errParam,
        errBuffer, errLength, errChecksum, errAnswer, errNotBus,  errByteTimeout};
    for (const auto& c : Exports()) {
        for (const TLinkResult code : codes) {
            SCOPED_TRACE(std::string(c.Name) + " " + std::to_string(code));
            TFakeLink fake;
            fake.Reply(code);
            TAnyBuf buf{};
            EXPECT_EQ(c.Call(fake.Calls(), &buf), code);
        }
    }
}

TEST(ProfileRequests, NilBufferIsRefusedBeforeSending) {
    for (const auto& c : Exports()) {
        if (!c.HasBuf)
            continue;
        SCOPED_TRACE(c.Name);
        TFakeLink fake;
        EXPECT_EQ(c.Call(fake.Calls(), nullptr), errBuffer);
        EXPECT_TRUE(fake.Sent.empty());
    }
}

struct TSlotExport {
    const char* Name;
    std::function<TLinkResult(const TLinkCalls&, std::int32_t Slot, void* Buf)> Call;
};

const TSlotExport kSlotExports[] = {
    {"GetSWVers",
     [](auto& l, auto s, void* b) { return Proflink::GetSWVers(l, kIndex, s, As<TDevText>(b)); }},
    {"GetMeas",
     [](auto& l, auto s, void* b) { return Proflink::GetMeas(l, kIndex, s, As<TMeas>(b)); }},
    {"GetStab",
     [](auto& l, auto s, void* b) { return Proflink::GetStab(l, kIndex, s, As<TStab>(b)); }},
    {"GetIDSerial",
     [](auto& l, auto s, void* b) { return Proflink::GetIDSerial(l, kIndex, s, As<TDevText>(b)); }},
};

TEST(ProfileRequests, BadSlotSendsNothing) {
    for (const auto& e : kSlotExports) {
        for (const std::int32_t slot : {10, -1, 255, INT_MIN}) {
            SCOPED_TRACE(std::string(e.Name) + " slot " + std::to_string(slot));
            TFakeLink fake;
            TAnyBuf buf{};
            EXPECT_EQ(e.Call(fake.Calls(), slot, &buf), errParam);
            // The slot is checked before the buffer.
            EXPECT_EQ(e.Call(fake.Calls(), slot, nullptr), errParam);
            EXPECT_TRUE(fake.Sent.empty());
        }
    }
}

TEST(ProfileRequests, SlotBecomesTheParameter) {
    for (const auto& e : kSlotExports) {
        for (const std::int32_t slot : {0, 5, 9}) {
            SCOPED_TRACE(std::string(e.Name) + " slot " + std::to_string(slot));
            TFakeLink fake;
            TAnyBuf buf{};
            EXPECT_EQ(e.Call(fake.Calls(), slot, &buf), 0);
            ASSERT_EQ(fake.Sent.size(), 1u);
            EXPECT_EQ(fake.Sent[0].Param, slot);
        }
    }
}

// A text reply of 20 characters without its NUL, or of 21 characters, left the
// caller's 21st byte in place, and the text ran on past the buffer.
TEST(ProfileRequests, FullLengthTextReplyLeftUnterminated) {
    const std::function<TLinkResult(const TLinkCalls&, TDevText*)> calls[] = {
        [](auto& l, auto* b) { return Proflink::GetSWVers(l, kIndex, 1, b); },
        [](auto& l, auto* b) { return Proflink::GetIDSerial(l, kIndex, 1, b); },
        [](auto& l, auto* b) { return Proflink::GetDevUser(l, kIndex, b); },
    };
    for (const auto& call : calls) {
        for (const std::size_t length : {20u, 21u}) {
            SCOPED_TRACE(length);
            TFakeLink fake;
            fake.Reply(0, Bytes(length, 'A'));
            TDevText text;
            std::memset(&text, 0xAA, sizeof text);
            EXPECT_EQ(call(fake.Calls(), &text), 0);
            EXPECT_EQ(std::string(text.Text, sizeof text.Text), std::string(20, 'A') + '\0');
        }
    }
}

TEST(ProfileRequests, ShortTextArrivesWhole) {
    TFakeLink fake;
    fake.Reply(0, {'o', 'p', 'e', 'r', 'a', 't', 'o', 'r', 0});
    TDevText text;
    std::memset(&text, 0xAA, sizeof text);
    EXPECT_EQ(Proflink::GetDevUser(fake.Calls(), kIndex, &text), 0);
    EXPECT_STREQ(text.Text, "operator");
}

TEST(ProfileRequests, SplitRequestsCheckTheirReply) {
    Bytes ten;
    for (int j = 0; j < 10; ++j)
        ten.insert(ten.end(), {'V', static_cast<std::uint8_t>('0' + j), 0});
    const Bytes nine(ten.begin(), ten.end() - 3);
    const std::function<TLinkResult(const TLinkCalls&, TDevTextAll*)> calls[] = {
        [](auto& l, auto* b) { return Proflink::GetSWVersAll(l, kIndex, b); },
        [](auto& l, auto* b) { return Proflink::GetIDSerialAll(l, kIndex, b); },
    };
    for (const auto& call : calls) {
        TFakeLink fake;
        fake.Reply(0, ten);
        fake.Reply(0, nine);
        TDevTextAll all{};
        EXPECT_EQ(call(fake.Calls(), &all), 0);
        EXPECT_STREQ(all.Text[0].Text, "V0");
        EXPECT_STREQ(all.Text[9].Text, "V9");
        EXPECT_EQ(call(fake.Calls(), &all), errAnswer);
        EXPECT_STREQ(all.Text[8].Text, "V8");
        EXPECT_STREQ(all.Text[9].Text, "");
    }
}

// After a failed request the caller's bytes were left in place as texts; a
// 21-character text in a reply that failed the split stayed unterminated.
TEST(ProfileRequests, SplitTextsEndWithinTheirSlotsWhateverTheResult) {
    Bytes nineAndLong;
    for (int j = 0; j < 9; ++j)
        nineAndLong.insert(nineAndLong.end(), {'V', 0});
    nineAndLong.insert(nineAndLong.end(), 21, 'L');
    const struct {
        const char* Name;
        TLinkResult Link;
        Bytes Reply;
        TLinkResult Result;
        const char* Last;
    } cases[] = {
        {"time-out", errByteTimeout, {}, errByteTimeout, ""},
        {"status byte", 18, {}, 18, ""},
        {"21 characters in the last text", 0, nineAndLong, errAnswer, "LLLLLLLLLLLLLLLLLLLL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeLink fake;
        fake.Reply(c.Link, c.Reply);
        TDevTextAll all;
        std::memset(&all, 0xAA, sizeof all);
        EXPECT_EQ(Proflink::GetIDSerialAll(fake.Calls(), kIndex, &all), c.Result);
        for (const TDevText& text : all.Text)
            EXPECT_NE(std::memchr(text.Text, 0, sizeof text.Text), nullptr);
        EXPECT_STREQ(all.Text[9].Text, c.Last);
    }
}

TEST(ProfileRecords, RepliesReadAtTheirOffsets) {
    TFakeLink fake;
    // Stamp 31.12.2026 86399 s, then humidity 0x1234, temperature -500, third 75,
    // elapsed 0x01020304, status 0x8573.
    fake.Reply(0, {31,   12,   0xEA, 0x07, 0x7F, 0x51, 0x01, 0x00, 0x34, 0x12,
                   0x0C, 0xFE, 75,   0,    0x04, 0x03, 0x02, 0x01, 0x73, 0x85});
    // Humidity -1, temperature 2500, 3600 s.
    fake.Reply(0, {0xFF, 0xFF, 0xC4, 0x09, 0x10, 0x0E, 0x00, 0x00});
    fake.Reply(0, {1, 1, 2});

    TMeas m;
    ASSERT_EQ(Proflink::GetMeas(fake.Calls(), kIndex, 2, &m), 0);
    EXPECT_EQ(m.Stamp.Day, 31);
    EXPECT_EQ(m.Stamp.Month, 12);
    // + compares a copy: a packed field is no place for a reference.
    EXPECT_EQ(+m.Stamp.Year, 2026);
    EXPECT_EQ(+m.Stamp.Seconds, 86399u);
    EXPECT_EQ(+m.Chamber.Humidity, 0x1234);
    EXPECT_EQ(+m.Chamber.Temperature, -500);
    EXPECT_EQ(+m.Chamber.Third, 75);
    EXPECT_EQ(+m.Chamber.Elapsed, 0x01020304u);
    EXPECT_EQ(+m.Chamber.Status, 0x8573);
    EXPECT_EQ((m.Chamber.Status & csProgressMask) >> 8, 5);

    TStab s;
    ASSERT_EQ(Proflink::GetStab(fake.Calls(), kIndex, 2, &s), 0);
    EXPECT_EQ(s.Humidity, -1);
    EXPECT_EQ(s.Temperature, 2500);
    EXPECT_EQ(s.Seconds, 3600u);

    TDevUnits u;
    ASSERT_EQ(Proflink::GetDevUnits(fake.Calls(), kIndex, &u), 0);
    EXPECT_EQ(u.HumidityMode, 1);
    EXPECT_EQ(u.TemperatureUnit, 1);
    EXPECT_EQ(u.DateFormat, 2);
}

} // namespace

// libFuzzer target of the profile's replies: a run of Proflink requests (every
// export, any slot, now and then a nil buffer) over a fake link that answers
// each with the fuzzer's result and bytes, as the link library would (the
// first |RxLen| - 1 bytes cleared, at most |RxLen| bytes written, an exact
// reply for a positive RxLen that succeeds); the text split and the event
// conversion on the fuzzer's bytes directly. Reply records are heap blocks of
// their exact size and arrive filled with 0xFF, so AddressSanitizer sees a
// byte past them and a text left without its NUL shows.
#include "profile/DevTextSplit.h"
#include "profile/MeasEvent.h"
#include "profile/ProfileRequests.h"
#include "tests/support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct TSent {
    bool Command = false;
    std::vector<std::uint8_t> Tx;
    std::vector<std::uint8_t> Reply; // what went into RxBuf
    TLinkResult Result = 0;
};

FuzzedDataProvider* gIn = nullptr;
std::vector<TSent> gSent;

TLinkResult LinkResult(FuzzedDataProvider& In) {
    switch (In.ConsumeIntegralInRange<int>(0, 3)) {
    case 2:
        return In.ConsumeIntegralInRange<TLinkResult>(1, 255); // the instrument's status
    case 3:
        return In.ConsumeIntegralInRange<TLinkResult>(errNotOpen, errNotBus);
    default:
        return 0;
    }
}

TLinkResult Answer(bool Command, const void* TxData, std::int32_t TxLen, void* RxBuf,
                   std::int32_t RxLen, std::int32_t* RxCount) {
    TSent sent;
    sent.Command = Command;
    if (TxData != nullptr && TxLen > 0) {
        const auto* tx = static_cast<const std::uint8_t*>(TxData);
        sent.Tx.assign(tx, tx + TxLen);
    }
    sent.Result = LinkResult(*gIn);
    const auto room = static_cast<std::size_t>(std::abs(RxLen));
    if (RxBuf != nullptr && room > 1)
        std::memset(RxBuf, 0, room - 1);
    const std::string data = gIn->ConsumeRandomLengthString(room);
    sent.Reply.assign(data.begin(), data.end());
    if (sent.Result == 0 && RxLen > 0)
        sent.Reply.resize(room);
    if (RxBuf != nullptr && !sent.Reply.empty())
        std::memcpy(RxBuf, sent.Reply.data(), sent.Reply.size());
    if (RxCount != nullptr)
        *RxCount = static_cast<std::int32_t>(sent.Reply.size());
    gSent.push_back(std::move(sent));
    return gSent.back().Result;
}

TLinkResult QUORX_CALL Request(TDevIndex, std::uint16_t, std::uint8_t, const void* TxData,
                               std::int32_t TxLen, void* RxBuf, std::int32_t RxLen,
                               std::int32_t* RxCount) {
    return Answer(false, TxData, TxLen, RxBuf, RxLen, RxCount);
}

TLinkResult QUORX_CALL Command(TDevIndex, std::uint16_t, std::uint8_t, const void* TxData,
                               std::int32_t TxLen, void* RxBuf, std::int32_t RxLen,
                               std::int32_t* RxCount) {
    return Answer(true, TxData, TxLen, RxBuf, RxLen, RxCount);
}

constexpr TLinkCalls kLink{&Request, &Command};

// A record of the caller's, filled with 0xFF; nil now and then.
template <class T>
std::unique_ptr<T> Record(FuzzedDataProvider& In) {
    if (In.ConsumeIntegralInRange<int>(0, 15) == 0)
        return nullptr;
    auto r = std::make_unique<T>();
    std::memset(r.get(), 0xFF, sizeof(T));
    return r;
}

bool Terminated(const TDevText& T) {
    return std::memchr(T.Text, 0, sizeof T.Text) != nullptr;
}

bool AllTerminated(const TDevTextAll& A) {
    for (const TDevText& t : A.Text)
        if (!Terminated(t))
            return false;
    return true;
}

// Exactly ten NUL-terminated texts of at most 20 characters each.
bool TenTexts(const std::vector<std::uint8_t>& Reply) {
    int texts = 0;
    std::size_t length = 0;
    for (const std::uint8_t b : Reply) {
        if (b != 0) {
            ++length;
            continue;
        }
        if (length > 20)
            return false;
        ++texts;
        length = 0;
    }
    return texts == 10 && (Reply.empty() || Reply.back() == 0);
}

// The texts of a split that succeeded, as the reply holds them.
bool SameTexts(const std::vector<std::uint8_t>& Reply, const TDevTextAll& A) {
    std::size_t at = 0;
    for (const TDevText& t : A.Text) {
        const std::size_t n = std::strlen(t.Text);
        if (at + n >= Reply.size() || std::memcmp(Reply.data() + at, t.Text, n) != 0 ||
            Reply[at + n] != 0)
            return false;
        at += n + 1;
    }
    return at == Reply.size();
}

void CheckSplit(TLinkResult R, const std::vector<std::uint8_t>& Reply, const TDevTextAll& A) {
    FuzzRequire(R == (TenTexts(Reply) ? 0 : errAnswer), "split result");
    FuzzRequire(AllTerminated(A), "every split text terminated");
    FuzzRequire(R != 0 || SameTexts(Reply, A), "split texts as sent");
}

using TSlotText = TLinkResult (*)(const TLinkCalls&, TDevIndex, std::int32_t, TDevText*);
using TAllTexts = TLinkResult (*)(const TLinkCalls&, TDevIndex, TDevTextAll*);

// A transaction went out for a good argument, and its result came back unchanged.
void CheckPassed(TLinkResult R, bool GoodArgs, TLinkResult BadArgsResult) {
    if (!GoodArgs) {
        FuzzRequire(R == BadArgsResult && gSent.empty(), "a bad argument sends nothing");
        return;
    }
    FuzzRequire(gSent.size() == 1 && !gSent[0].Command, "one request");
    FuzzRequire(R == gSent[0].Result, "the link's result passed through");
}

void SlotText(FuzzedDataProvider& In, TSlotText Call) {
    const auto slot = In.ConsumeIntegralInRange<std::int32_t>(-2, 11);
    const auto buf = Record<TDevText>(In);
    const TLinkResult r = Call(kLink, 1, slot, buf.get());
    if (Proflink::CheckSlot(slot) != 0) {
        CheckPassed(r, false, errParam);
        return;
    }
    CheckPassed(r, buf != nullptr, errBuffer);
    FuzzRequire(!buf || Terminated(*buf), "text terminated");
}

void UserText(FuzzedDataProvider& In) {
    const auto buf = Record<TDevText>(In);
    const TLinkResult r = Proflink::GetDevUser(kLink, 1, buf.get());
    CheckPassed(r, buf != nullptr, errBuffer);
    FuzzRequire(!buf || Terminated(*buf), "user text terminated");
}

void AllTexts(FuzzedDataProvider& In, TAllTexts Call) {
    const auto buf = Record<TDevTextAll>(In);
    const TLinkResult r = Call(kLink, 1, buf.get());
    if (!buf) {
        CheckPassed(r, false, errBuffer);
        return;
    }
    FuzzRequire(gSent.size() == 1 && !gSent[0].Command, "one request");
    FuzzRequire(AllTerminated(*buf), "every text terminated");
    if (gSent[0].Result != 0)
        FuzzRequire(r == gSent[0].Result, "the link's result passed through");
    else
        CheckSplit(r, gSent[0].Reply, *buf);
}

template <class T>
void SlotRecord(FuzzedDataProvider& In,
                TLinkResult (*Call)(const TLinkCalls&, TDevIndex, std::int32_t, T*)) {
    const auto slot = In.ConsumeIntegralInRange<std::int32_t>(-2, 11);
    const auto buf = Record<T>(In);
    const TLinkResult r = Call(kLink, 1, slot, buf.get());
    if (Proflink::CheckSlot(slot) != 0)
        CheckPassed(r, false, errParam);
    else
        CheckPassed(r, buf != nullptr, errBuffer);
}

template <class T>
void WholeRecord(FuzzedDataProvider& In, TLinkResult (*Call)(const TLinkCalls&, TDevIndex, T*)) {
    const auto buf = Record<T>(In);
    CheckPassed(Call(kLink, 1, buf.get()), buf != nullptr, errBuffer);
}

void MeasEventSwitch(FuzzedDataProvider& In) {
    const auto value = In.ConsumeIntegral<std::uint8_t>();
    const TLinkResult r = Proflink::SetMeasEvent(kLink, 1, value);
    FuzzRequire(gSent.size() == 1 && gSent[0].Command, "one command");
    FuzzRequire(gSent[0].Tx == std::vector<std::uint8_t>{value}, "the value is the one byte sent");
    FuzzRequire(r == gSent[0].Result, "the link's result passed through");
}

void SplitDirect(FuzzedDataProvider& In) {
    const std::string bytes = In.ConsumeRandomLengthString(sizeof(TDevTextAll) + 8);
    const std::vector<std::uint8_t> reply(bytes.begin(), bytes.end());
    const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[reply.size()]);
    std::copy(reply.begin(), reply.end(), block.get());
    TDevTextAll texts;
    std::memset(&texts, 0xFF, sizeof texts);
    const TLinkResult r =
        Proflink::SplitDevTexts(block.get(), static_cast<std::int32_t>(reply.size()), texts);
    CheckSplit(r, reply, texts);
}

void EventData(FuzzedDataProvider& In) {
    const auto len = In.ConsumeIntegralInRange<std::int32_t>(-1, sizeof(TMEASall) + 2);
    // The caller's block holds Len bytes.
    std::string bytes = In.ConsumeBytesAsString(len > 0 ? static_cast<std::size_t>(len) : 0);
    bytes.resize(len > 0 ? static_cast<std::size_t>(len) : 0);
    const std::unique_ptr<char[]> src(new char[bytes.size()]);
    std::memcpy(src.get(), bytes.data(), bytes.size());
    TMEASall dst;
    std::memset(&dst, 0xFF, sizeof dst);
    const TMEASall before = dst;
    const TLinkResult r = Proflink::EventDataToTMEASall(src.get(), len, &dst);
    if (len == static_cast<std::int32_t>(sizeof(TMEASall))) {
        FuzzRequire(r == 0 && std::memcmp(&dst, src.get(), sizeof dst) == 0, "event copied");
    } else {
        FuzzRequire(r == errLength, "event length refused");
        FuzzRequire(std::memcmp(&dst, &before, sizeof dst) == 0, "refused event leaves Dst");
    }
}

void OneCall(FuzzedDataProvider& In) {
    switch (In.ConsumeIntegralInRange<int>(0, 14)) {
    case 0:
        return SlotText(In, &Proflink::GetSWVers);
    case 1:
        return AllTexts(In, &Proflink::GetSWVersAll);
    case 2:
        return MeasEventSwitch(In);
    case 3:
        return WholeRecord(In, &Proflink::GetMeasEvent);
    case 4:
        return SlotRecord(In, &Proflink::GetMeas);
    case 5:
        return WholeRecord(In, &Proflink::GetMeasAll);
    case 6:
        return SlotRecord(In, &Proflink::GetStab);
    case 7:
        return WholeRecord(In, &Proflink::GetStabAll);
    case 8:
        return SlotText(In, &Proflink::GetIDSerial);
    case 9:
        return AllTexts(In, &Proflink::GetIDSerialAll);
    case 10:
        return WholeRecord(In, &Proflink::GetDevUnits);
    case 11:
        return UserText(In);
    case 12:
        return EventData(In);
    default:
        return SplitDirect(In);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider in(Data, Size);
    gIn = &in;
    while (in.remaining_bytes() > 0) {
        gSent.clear();
        OneCall(in);
    }
    gSent.clear();
    return 0;
}

#include "profile/ProfileRequests.h"

#include "profile/DevTextSplit.h"

#include <cstring>

namespace Proflink {
namespace {

enum : uint16_t {
    rqSWVers = 0x100,
    rqMeasEvent = 0x200,
    rqMeas = 0x201,
    rqStab = 0x202,
    rqIDSerial = 0x203,
    rqDevUnits = 0x204,
    rqDevUser = 0x205,
};

constexpr uint8_t kAllChambers = 255;
// A negative RxLen asks for at most that many reply bytes.
constexpr int32_t kTextRxLen = -static_cast<int32_t>(sizeof(TDevText));
constexpr int32_t kTextAllRxLen = -static_cast<int32_t>(sizeof(TDevTextAll));

template <class T>
TLinkResult Ask(const TLinkCalls& Link, TDevIndex Index, uint16_t ReqNo, uint8_t Param, T* Buf,
                int32_t RxLen) {
    if (Buf == nullptr)
        return errBuffer;
    return Link.Request(Index, ReqNo, Param, nullptr, 0, Buf, RxLen, nullptr);
}

// A reply that fills all 21 bytes, or stops at 20 without its NUL (the link
// clears only the first 20), would leave the text unterminated.
TLinkResult AskText(const TLinkCalls& Link, TDevIndex Index, uint16_t ReqNo, uint8_t Param,
                    TDevText* Buf) {
    const TLinkResult r = Ask(Link, Index, ReqNo, Param, Buf, kTextRxLen);
    if (Buf != nullptr)
        Buf->Text[sizeof Buf->Text - 1] = '\0';
    return r;
}

TLinkResult AskTexts(const TLinkCalls& Link, TDevIndex Index, uint16_t ReqNo, TDevTextAll* Buf) {
    if (Buf == nullptr)
        return errBuffer;
    uint8_t reply[sizeof(TDevTextAll)] = {};
    int32_t count = 0;
    const TLinkResult r =
        Link.Request(Index, ReqNo, kAllChambers, nullptr, 0, reply, kTextAllRxLen, &count);
    if (r == 0)
        return SplitDevTexts(reply, count, *Buf);
    std::memset(Buf, 0, sizeof *Buf); // ten empty texts rather than the caller's bytes
    return r;
}

} // namespace

TLinkResult CheckSlot(int32_t Slot) {
    return static_cast<uint32_t>(Slot) < 10 ? 0 : errParam;
}

TLinkResult GetSWVers(const TLinkCalls& Link, TDevIndex Index, int32_t Slot, TDevText* Buf) {
    if (const TLinkResult r = CheckSlot(Slot); r != 0)
        return r;
    return AskText(Link, Index, rqSWVers, static_cast<uint8_t>(Slot), Buf);
}

TLinkResult GetSWVersAll(const TLinkCalls& Link, TDevIndex Index, TDevTextAll* Buf) {
    return AskTexts(Link, Index, rqSWVers, Buf);
}

TLinkResult SetMeasEvent(const TLinkCalls& Link, TDevIndex Index, uint8_t Value) {
    return Link.Command(Index, rqMeasEvent, 0, &Value, 1, nullptr, 0, nullptr);
}

TLinkResult GetMeasEvent(const TLinkCalls& Link, TDevIndex Index, uint8_t* Buf) {
    return Ask(Link, Index, rqMeasEvent, 0, Buf, 1);
}

TLinkResult GetMeas(const TLinkCalls& Link, TDevIndex Index, int32_t Slot, TMeas* Buf) {
    if (const TLinkResult r = CheckSlot(Slot); r != 0)
        return r;
    return Ask(Link, Index, rqMeas, static_cast<uint8_t>(Slot), Buf, sizeof(TMeas));
}

TLinkResult GetMeasAll(const TLinkCalls& Link, TDevIndex Index, TMEASall* Buf) {
    return Ask(Link, Index, rqMeas, kAllChambers, Buf, sizeof(TMEASall));
}

TLinkResult GetStab(const TLinkCalls& Link, TDevIndex Index, int32_t Slot, TStab* Buf) {
    if (const TLinkResult r = CheckSlot(Slot); r != 0)
        return r;
    return Ask(Link, Index, rqStab, static_cast<uint8_t>(Slot), Buf, sizeof(TStab));
}

TLinkResult GetStabAll(const TLinkCalls& Link, TDevIndex Index, TStabAll* Buf) {
    return Ask(Link, Index, rqStab, kAllChambers, Buf, sizeof(TStabAll));
}

TLinkResult GetIDSerial(const TLinkCalls& Link, TDevIndex Index, int32_t Slot, TDevText* Buf) {
    if (const TLinkResult r = CheckSlot(Slot); r != 0)
        return r;
    return AskText(Link, Index, rqIDSerial, static_cast<uint8_t>(Slot), Buf);
}

TLinkResult GetIDSerialAll(const TLinkCalls& Link, TDevIndex Index, TDevTextAll* Buf) {
    return AskTexts(Link, Index, rqIDSerial, Buf);
}

TLinkResult GetDevUnits(const TLinkCalls& Link, TDevIndex Index, TDevUnits* Buf) {
    return Ask(Link, Index, rqDevUnits, 0, Buf, sizeof(TDevUnits));
}

TLinkResult GetDevUser(const TLinkCalls& Link, TDevIndex Index, TDevText* Buf) {
    return AskText(Link, Index, rqDevUser, 0, Buf);
}

} // namespace Proflink

// Proflink's exports: the portable requests bound to QuorxComDll's transactions.
#include "common/ExportGuard.h"
#include "profile/MeasEvent.h"
#include "profile/ProfileRequests.h"
#include "ProflinkH.h"

namespace {

constexpr TLinkCalls kLink{&SendRequest, &SendCommand};

} // namespace

extern "C" {

TLinkResult QUORX_CALL GetSWVers(TDevIndex Index, int32_t Slot, TDevText* Buf) {
    return GuardExport([&] { return Proflink::GetSWVers(kLink, Index, Slot, Buf); });
}

TLinkResult QUORX_CALL GetSWVersAll(TDevIndex Index, TDevTextAll* Buf) {
    return GuardExport([&] { return Proflink::GetSWVersAll(kLink, Index, Buf); });
}

TLinkResult QUORX_CALL SetMeasEvent(TDevIndex Index, uint8_t Value) {
    return GuardExport([&] { return Proflink::SetMeasEvent(kLink, Index, Value); });
}

TLinkResult QUORX_CALL GetMeasEvent(TDevIndex Index, uint8_t* Buf) {
    return GuardExport([&] { return Proflink::GetMeasEvent(kLink, Index, Buf); });
}

TLinkResult QUORX_CALL GetMeas(TDevIndex Index, int32_t Slot, TMeas* Buf) {
    return GuardExport([&] { return Proflink::GetMeas(kLink, Index, Slot, Buf); });
}

TLinkResult QUORX_CALL GetMeasAll(TDevIndex Index, TMEASall* Buf) {
    return GuardExport([&] { return Proflink::GetMeasAll(kLink, Index, Buf); });
}

TLinkResult QUORX_CALL GetStab(TDevIndex Index, int32_t Slot, TStab* Buf) {
    return GuardExport([&] { return Proflink::GetStab(kLink, Index, Slot, Buf); });
}

TLinkResult QUORX_CALL GetStabAll(TDevIndex Index, TStabAll* Buf) {
    return GuardExport([&] { return Proflink::GetStabAll(kLink, Index, Buf); });
}

TLinkResult QUORX_CALL GetIDSerial(TDevIndex Index, int32_t Slot, TDevText* Buf) {
    return GuardExport([&] { return Proflink::GetIDSerial(kLink, Index, Slot, Buf); });
}

TLinkResult QUORX_CALL GetIDSerialAll(TDevIndex Index, TDevTextAll* Buf) {
    return GuardExport([&] { return Proflink::GetIDSerialAll(kLink, Index, Buf); });
}

TLinkResult QUORX_CALL GetDevUnits(TDevIndex Index, TDevUnits* Buf) {
    return GuardExport([&] { return Proflink::GetDevUnits(kLink, Index, Buf); });
}

TLinkResult QUORX_CALL GetDevUser(TDevIndex Index, TDevText* Buf) {
    return GuardExport([&] { return Proflink::GetDevUser(kLink, Index, Buf); });
}

TLinkResult QUORX_CALL EventDataToTMEASall(const void* Src, int32_t Len, TMEASall* Dst) {
    return GuardExport([&] { return Proflink::EventDataToTMEASall(Src, Len, Dst); });
}

} // extern "C"

// The profile's requests over a SendRequest/SendCommand pair, so that the same
// code runs behind the DLL's exports and against a test's fake link.
//
// Each function is one transaction (none for a failed argument check) and returns
// the link's result unchanged: 0, the instrument's status 1..255, or 256..289.
#pragma once

#include "ProflinkH.h"

// The signature of SendRequest and SendCommand.
typedef TLinkResult(QUORX_CALL* TSendFn)(TDevIndex Index, uint16_t ReqNo, uint8_t Param,
                                         const void* TxData, int32_t TxLen, void* RxBuf,
                                         int32_t RxLen, int32_t* RxCount);

struct TLinkCalls {
    TSendFn Request;
    TSendFn Command;
};

namespace Proflink {

// 0 for chambers 0..9, errParam for anything else (negative slots included).
TLinkResult CheckSlot(int32_t Slot);

// A nil Buf gives errBuffer before anything is sent; a bad slot gives errParam first.
TLinkResult GetSWVers(const TLinkCalls& Link, TDevIndex Index, int32_t Slot, TDevText* Buf);
TLinkResult GetSWVersAll(const TLinkCalls& Link, TDevIndex Index, TDevTextAll* Buf);
TLinkResult SetMeasEvent(const TLinkCalls& Link, TDevIndex Index, uint8_t Value);
TLinkResult GetMeasEvent(const TLinkCalls& Link, TDevIndex Index, uint8_t* Buf);
TLinkResult GetMeas(const TLinkCalls& Link, TDevIndex Index, int32_t Slot, TMeas* Buf);
TLinkResult GetMeasAll(const TLinkCalls& Link, TDevIndex Index, TMEASall* Buf);
TLinkResult GetStab(const TLinkCalls& Link, TDevIndex Index, int32_t Slot, TStab* Buf);
TLinkResult GetStabAll(const TLinkCalls& Link, TDevIndex Index, TStabAll* Buf);
TLinkResult GetIDSerial(const TLinkCalls& Link, TDevIndex Index, int32_t Slot, TDevText* Buf);
TLinkResult GetIDSerialAll(const TLinkCalls& Link, TDevIndex Index, TDevTextAll* Buf);
TLinkResult GetDevUnits(const TLinkCalls& Link, TDevIndex Index, TDevUnits* Buf);
TLinkResult GetDevUser(const TLinkCalls& Link, TDevIndex Index, TDevText* Buf);

} // namespace Proflink

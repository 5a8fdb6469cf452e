// A scripted SendRequest/SendCommand pair: records every call and answers with
// the next scripted reply, filling RxBuf as the link library would.
#pragma once

#include "profile/ProfileRequests.h"

#include <cstdint>
#include <deque>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct TSentCall {
    bool Command;
    TDevIndex Index;
    std::uint16_t ReqNo;
    std::uint8_t Param;
    Bytes Tx;
    bool TxDataNil;
    const void* RxBuf;
    std::int32_t RxLen;
    bool RxCountNil;
};

struct TScriptedReply {
    TLinkResult Result = 0;
    Bytes Data;         // copied into RxBuf, at most |RxLen| bytes
    std::int32_t Count; // what RxCount receives
};

// One fake at a time: it installs itself as the target of the two send functions.
class TFakeLink {
public:
    TFakeLink();
    ~TFakeLink();
    TFakeLink(const TFakeLink&) = delete;
    TFakeLink& operator=(const TFakeLink&) = delete;

    const TLinkCalls& Calls() const { return calls_; }

    // Queues a reply; without one, a call succeeds with no data.
    void Reply(TLinkResult Result, Bytes Data = {});
    void Reply(TLinkResult Result, Bytes Data, std::int32_t Count);

    std::vector<TSentCall> Sent;

private:
    TLinkResult Answer(bool Command, TDevIndex Index, std::uint16_t ReqNo, std::uint8_t Param,
                       const void* TxData, std::int32_t TxLen, void* RxBuf, std::int32_t RxLen,
                       std::int32_t* RxCount);
    static TLinkResult QUORX_CALL Request(TDevIndex Index, std::uint16_t ReqNo, std::uint8_t Param,
                                          const void* TxData, std::int32_t TxLen, void* RxBuf,
                                          std::int32_t RxLen, std::int32_t* RxCount);
    static TLinkResult QUORX_CALL Command(TDevIndex Index, std::uint16_t ReqNo, std::uint8_t Param,
                                          const void* TxData, std::int32_t TxLen, void* RxBuf,
                                          std::int32_t RxLen, std::int32_t* RxCount);

    TLinkCalls calls_;
    std::deque<TScriptedReply> replies_;
};

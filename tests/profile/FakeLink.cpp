#include "tests/profile/FakeLink.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {
TFakeLink* gFake = nullptr;
}

TFakeLink::TFakeLink() : calls_{&TFakeLink::Request, &TFakeLink::Command} {
    if (gFake != nullptr)
        throw std::logic_error("one TFakeLink at a time");
    gFake = this;
}

TFakeLink::~TFakeLink() {
    gFake = nullptr;
}

void TFakeLink::Reply(TLinkResult Result, Bytes Data) {
    const auto count = static_cast<std::int32_t>(Data.size());
    Reply(Result, std::move(Data), count);
}

void TFakeLink::Reply(TLinkResult Result, Bytes Data, std::int32_t Count) {
    replies_.push_back({Result, std::move(Data), Count});
}

TLinkResult TFakeLink::Answer(bool Command, TDevIndex Index, std::uint16_t ReqNo,
                              std::uint8_t Param, const void* TxData, std::int32_t TxLen,
                              void* RxBuf, std::int32_t RxLen, std::int32_t* RxCount) {
    TSentCall call{Command,           Index, ReqNo, Param, {}, TxData == nullptr, RxBuf, RxLen,
                   RxCount == nullptr};
    if (TxData != nullptr && TxLen > 0) {
        const auto* tx = static_cast<const std::uint8_t*>(TxData);
        call.Tx.assign(tx, tx + TxLen);
    }
    Sent.push_back(call);

    TScriptedReply reply;
    reply.Count = 0;
    if (!replies_.empty()) {
        reply = std::move(replies_.front());
        replies_.pop_front();
    }
    // Like the link library: the first |RxLen| - 1 bytes are cleared before sending,
    // so a buffer shorter than RxLen shows up under the sanitizers.
    const std::int32_t room = std::abs(RxLen);
    if (RxBuf != nullptr && room > 1)
        std::memset(RxBuf, 0, static_cast<std::size_t>(room - 1));
    const auto n = std::min<std::size_t>(reply.Data.size(), static_cast<std::size_t>(room));
    if (RxBuf != nullptr && n > 0)
        std::memcpy(RxBuf, reply.Data.data(), n);
    if (RxCount != nullptr)
        *RxCount = reply.Count;
    return reply.Result;
}

TLinkResult QUORX_CALL TFakeLink::Request(TDevIndex Index, std::uint16_t ReqNo, std::uint8_t Param,
                                          const void* TxData, std::int32_t TxLen, void* RxBuf,
                                          std::int32_t RxLen, std::int32_t* RxCount) {
    return gFake->Answer(false, Index, ReqNo, Param, TxData, TxLen, RxBuf, RxLen, RxCount);
}

TLinkResult QUORX_CALL TFakeLink::Command(TDevIndex Index, std::uint16_t ReqNo, std::uint8_t Param,
                                          const void* TxData, std::int32_t TxLen, void* RxBuf,
                                          std::int32_t RxLen, std::int32_t* RxCount) {
    return gFake->Answer(true, Index, ReqNo, Param, TxData, TxLen, RxBuf, RxLen, RxCount);
}

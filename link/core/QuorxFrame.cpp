#include "link/core/QuorxFrame.h"

#include <algorithm>
#include <cstring>

TOutFrame BuildFrame(std::uint8_t Kind, std::uint16_t ReqNo, std::uint8_t Param, const void* TxData,
                     int TxLen, std::uint16_t CheckStart) {
    TOutFrame out;
    Bytes& wire = out.Wire;
    Bytes part;
    wire.push_back(Kind);
    const std::uint8_t head[3] = {static_cast<std::uint8_t>(ReqNo & 0xFF),
                                  static_cast<std::uint8_t>(ReqNo >> 8), Param};
    StuffBytes(head, 3, part);
    wire.insert(wire.end(), part.begin(), part.end());
    StuffBytes(TxData, TxLen, part);
    wire.insert(wire.end(), part.begin(), part.end());
    wire.push_back(kFrameEnd);
    out.Check = Checksum16Cont(CheckStart, wire.data(), static_cast<int>(wire.size()));
    const std::uint8_t check[2] = {static_cast<std::uint8_t>(out.Check & 0xFF),
                                   static_cast<std::uint8_t>(out.Check >> 8)};
    StuffBytes(check, 2, part);
    wire.insert(wire.end(), part.begin(), part.end());
    return out;
}

Bytes NibbleEncode(const Bytes& Wire) {
    Bytes out;
    out.reserve(Wire.size() * 2);
    for (std::uint8_t b : Wire) {
        out.push_back(static_cast<std::uint8_t>(b & 0x0F));
        out.push_back(static_cast<std::uint8_t>((b >> 4) | 0x10));
    }
    return out;
}

bool NibbleDecode(std::uint8_t C, std::uint8_t& SavedLow, std::uint8_t& Out) {
    if ((C & 0x10) == 0) {
        SavedLow = C & 0x0F;
        return false;
    }
    Out = static_cast<std::uint8_t>(((C & 0x0F) << 4) | SavedLow);
    return true;
}

std::string ReplyText(const void* RxBuf, int RxCount, int BufSize) {
    if (RxBuf == nullptr)
        return {};
    const int limit = std::max(0, std::min(RxCount, BufSize));
    const auto* p = static_cast<const char*>(RxBuf);
    const void* nul = std::memchr(p, 0, static_cast<std::size_t>(limit));
    const auto len = nul ? static_cast<const char*>(nul) - p : limit;
    return std::string(p, static_cast<std::size_t>(len));
}

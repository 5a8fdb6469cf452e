#include "app/values/RecordData_.h"

#include "app/base/LittleEndian_.h"

#include <cstring>

namespace {

template <std::size_t N>
void PutChars(uint8_t* Out, const char (&Field)[N]) {
    std::memcpy(Out, Field, N);
}
template <std::size_t N>
void GetChars(char (&Field)[N], const uint8_t* In) {
    std::memcpy(Field, In, N);
}

// Bytes 0..94, the part both header layouts share.
template <class THeader>
void GetCommon(THeader& H, const uint8_t* In) {
    H.Block = GetU16(In);
    H.Interface = GetU8(In + 2);
    H.Chamber = GetU8(In + 3);
    GetChars(H.SWVers, In + 4);
    GetChars(H.SerialPart, In + 25);
    H.Interval = GetU32(In + 46);
    H.Count = GetU32(In + 50);
    GetChars(H.Name, In + 54);
}

} // namespace

void PutBlockHeader(uint8_t* Out, const TRecBlockHeader& H) {
    PutU16(Out, H.Block);
    PutU8(Out + 2, H.Interface);
    PutU8(Out + 3, H.Chamber);
    PutChars(Out + 4, H.SWVers);
    PutChars(Out + 25, H.SerialPart);
    PutU32(Out + 46, H.Interval);
    PutU32(Out + 50, H.Count);
    PutChars(Out + 54, H.Name);
    PutChars(Out + 95, H.DevUser);
    PutChars(Out + 116, H.OSUser);
    PutU16(Out + 373, H.InstrSampleNo);
    PutChars(Out + 375, H.DevId);
    std::memcpy(Out + 396, H.Reserved, sizeof H.Reserved);
}

TRecBlockHeader GetBlockHeader(const uint8_t* In) {
    TRecBlockHeader h;
    GetCommon(h, In);
    GetChars(h.DevUser, In + 95);
    GetChars(h.OSUser, In + 116);
    h.InstrSampleNo = GetU16(In + 373);
    GetChars(h.DevId, In + 375);
    std::memcpy(h.Reserved, In + 396, sizeof h.Reserved);
    return h;
}

TRecBlockHeaderOld GetOldBlockHeader(const uint8_t* In) {
    TRecBlockHeaderOld h;
    GetCommon(h, In);
    std::memcpy(h.NotTakenOver, In + 95, sizeof h.NotTakenOver);
    return h;
}

std::vector<TRecBlockHeader> ConvertOldBlockHeaders(const std::vector<TRecBlockHeaderOld>& Old) {
    std::vector<TRecBlockHeader> out(Old.size());
    for (std::size_t i = 0; i < Old.size(); ++i) {
        const TRecBlockHeaderOld& o = Old[i];
        TRecBlockHeader& h = out[i];
        std::memset(&h, 0, sizeof h);
        h.Block = o.Block;
        h.Interface = o.Interface;
        h.Chamber = o.Chamber;
        std::memcpy(h.SWVers, o.SWVers, sizeof h.SWVers);
        std::memcpy(h.SerialPart, o.SerialPart, sizeof h.SerialPart);
        h.Interval = o.Interval;
        h.Count = o.Count;
        std::memcpy(h.Name, o.Name, sizeof h.Name);
        std::memcpy(h.DevUser, "---", 3);
        std::memcpy(h.OSUser, "---", 3);
    }
    return out;
}

bool AppendBlock(TRecording& Data, TRecBlockHeader Header) {
    if (Data.Headers.size() >= kMaxBlocks)
        return false;
    Header.Block = static_cast<uint16_t>(Data.Headers.size() + 1);
    Data.Headers.push_back(Header);
    return true;
}

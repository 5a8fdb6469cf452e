#include "app/protocol/ProtFile_.h"

#include "app/base/LittleEndian_.h"
#include "app/protocol/cod_.h"
#include "link/core/QuorxComTools.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

namespace {

enum : std::size_t {
    kOffChecksum = 0,
    kOffKey = 2,
    kOffReserved5 = 5,
    kOffHeaderSize = 7,
    kOffTextLength = 11,
    kOffEditBytes = 15,
    kOffHead = 19,
};

void PutHead(uint8_t* P, const TProtHead& Head) {
    PutU32(P, static_cast<uint32_t>(Head.Kind));
    P[4] = Head.InterfaceIndex;
    P[5] = Head.Chamber;
    std::memcpy(P + 6, Head.Reserved, sizeof Head.Reserved);
}

void PutEditData(uint8_t* P, const TEditData& E) {
    std::memcpy(P, E.Label, sizeof E.Label);
    std::memcpy(P + 41, E.Value, sizeof E.Value);
    PutU32(P + 82, static_cast<uint32_t>(E.Line));
    P[86] = E.Column;
    P[87] = E.DotCount;
    PutU32(P + 88, static_cast<uint32_t>(E.CharPos));
}

TEditData GetEditData(const uint8_t* P) {
    TEditData e;
    std::memcpy(e.Label, P, sizeof e.Label);
    std::memcpy(e.Value, P + 41, sizeof e.Value);
    e.Label[0] = std::min<uint8_t>(e.Label[0], kShortStringMax);
    e.Value[0] = std::min<uint8_t>(e.Value[0], kShortStringMax);
    e.Line = static_cast<int32_t>(GetU32(P + 82));
    e.Column = P[86];
    e.DotCount = std::min<uint8_t>(P[87], kShortStringMax);
    e.CharPos = static_cast<int32_t>(GetU32(P + 88));
    return e;
}

uint16_t FileChecksum(const std::vector<uint8_t>& File) {
    return Checksum16(File.data() + kOffKey, static_cast<int>(File.size() - kOffKey));
}

} // namespace

uint8_t NewProtocolKey() {
    std::mt19937 generator(
        static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    return static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 30)(generator));
}

std::vector<uint8_t> BuildProtocolFile(const TProtFileData& Data, uint8_t Key) {
    const std::size_t editBytes = Data.EditDatas.size() * kEditDataSize;
    std::vector<uint8_t> file(kProtHeaderSize + editBytes, 0);
    for (std::size_t i = 0; i < Data.EditDatas.size(); ++i)
        PutEditData(&file[kProtHeaderSize + i * kEditDataSize], Data.EditDatas[i]);
    file.insert(file.end(), Data.Rtf.begin(), Data.Rtf.end());

    file[kOffKey] = Key;
    PutU32(&file[kOffHeaderSize], kProtHeaderSize);
    PutU32(&file[kOffTextLength], static_cast<uint32_t>(Data.Rtf.size()));
    PutU32(&file[kOffEditBytes], static_cast<uint32_t>(editBytes));
    PutHead(&file[kOffHead], Data.Head);
    CodeBody(file, kProtHeaderSize, Key);
    PutU16(&file[kOffChecksum], FileChecksum(file));
    return file;
}

bool ParseProtocolFile(std::vector<uint8_t> File, TProtFileData& Out) {
    if (File.size() < kProtHeaderSize)
        return false;
    if (GetU16(&File[kOffChecksum]) != FileChecksum(File) || GetU16(&File[kOffReserved5]) != 0 ||
        GetU32(&File[kOffHeaderSize]) != kProtHeaderSize)
        return false;
    DecodeBody(File, kProtHeaderSize, File[kOffKey]);
    // A count beyond the data would make the text start outside the file.
    const uint32_t editBytes = GetU32(&File[kOffEditBytes]);
    if (editBytes > File.size() - kProtHeaderSize)
        return false;

    TProtFileData data;
    data.Head.Kind = nkProtocol;
    data.Head.InterfaceIndex = File[kOffHead + 4];
    data.Head.Chamber = File[kOffHead + 5];
    std::memcpy(data.Head.Reserved, &File[kOffHead + 6], sizeof data.Head.Reserved);
    const std::size_t count = editBytes / kEditDataSize;
    data.EditDatas.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        data.EditDatas.push_back(GetEditData(&File[kProtHeaderSize + i * kEditDataSize]));
    auto text = File.begin() + static_cast<std::ptrdiff_t>(kProtHeaderSize + editBytes);
    auto end = File.end();
    while (end != text && *(end - 1) == 0)
        --end;
    data.Rtf.assign(text, end);
    Out = std::move(data);
    return true;
}

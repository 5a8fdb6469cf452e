// The protocol file (.zqp): a 145-byte header with the 16-bit check of the
// frame protocol over everything after its first two bytes, then, coded word by
// word (cod_.h) with a key drawn at every save, the protocol's edit records and
// its rich text (RTF as the rich text control writes it).
#pragma once

#include "app/base/Texte_.h"
#include "app/tree/TreeTypes_.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::size_t kProtHeaderSize = 145;
inline constexpr std::size_t kEditDataSize = sizeof(TEditData);
inline constexpr std::size_t kShortStringMax = 40;
inline constexpr char sProtocolExt[] = ".zqp";

// What a protocol file holds.
struct TProtFileData {
    TProtHead Head;
    TEditDatas EditDatas;
    std::string Rtf; // the rich text, without the padding after it
};

// A key for the next save: 1..30, drawn from a generator seeded from the clock.
uint8_t NewProtocolKey();

// The whole file for Data with the base key Key (1..30).
std::vector<uint8_t> BuildProtocolFile(const TProtFileData& Data, uint8_t Key);

// Data from a stored file; false when the check, the reserved word at offset 5
// or the header size do not hold, or the edit records claim more bytes than
// the file has. String lengths above 40 and dot counts above 40 are cut to 40.
bool ParseProtocolFile(std::vector<uint8_t> File, TProtFileData& Out);

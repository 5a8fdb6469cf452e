// Samples and block headers of a recording: the unit of a record window's
// memory, of its temporary files and of the record file. In memory they are
// packed structs; on disk they are written and read field by field,
// little-endian, through the Put/Get routines below.
#pragma once

#include "app/base/LittleEndian_.h"

#include "ProflinkH.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Mark flags of a sample. A sample is written with 0, smBlockStart or
// smInterrupted; smStopped is ORed in later.
inline constexpr uint8_t smBlockStart = 1;
inline constexpr uint8_t smStopped = 2;
inline constexpr uint8_t smInterrupted = 4;

#pragma pack(push, 1)
// One sample. Stamp and Meas (bytes 0..19) are a copy of the chamber's live
// values when the sample was taken.
struct TSample {
    TMeasStamp Stamp;
    TChamberMeas Meas;
    uint8_t Mark;
    uint16_t Block; // 1-based number of the block the sample belongs to
};

// Character fields are NUL-padded; a text as long as its field has no terminator.
struct TRecBlockHeader {
    uint16_t Block; // 1-based; block n is the n-th header of its recording
    uint8_t Interface;
    uint8_t Chamber;
    char SWVers[21];
    char SerialPart[21];
    uint32_t Interval; // seconds
    uint32_t Count;    // samples in this block
    char Name[41];
    char DevUser[21]; // "---" when the instrument cannot tell
    char OSUser[257];
    uint16_t InstrSampleNo; // imported logs only
    char DevId[21];
    uint8_t Reserved[39];
};

// Block header of the older record files; bytes 0..94 as in TRecBlockHeader.
struct TRecBlockHeaderOld {
    uint16_t Block;
    uint8_t Interface;
    uint8_t Chamber;
    char SWVers[21];
    char SerialPart[21];
    uint32_t Interval;
    uint32_t Count;
    char Name[41];
    uint8_t NotTakenOver[60];
};
#pragma pack(pop)

inline constexpr std::size_t kSampleSize = 23;
inline constexpr std::size_t kBlockHeaderSize = 435;
inline constexpr std::size_t kOldBlockHeaderSize = 155;
inline constexpr std::size_t kBlockCountOffset = 50; // of TRecBlockHeader.Count

static_assert(sizeof(TSample) == kSampleSize);
static_assert(offsetof(TSample, Meas) == 8 && offsetof(TSample, Mark) == 20 &&
              offsetof(TSample, Block) == 21);
static_assert(sizeof(TRecBlockHeader) == kBlockHeaderSize);
static_assert(offsetof(TRecBlockHeader, SWVers) == 4 &&
              offsetof(TRecBlockHeader, SerialPart) == 25 &&
              offsetof(TRecBlockHeader, Interval) == 46 &&
              offsetof(TRecBlockHeader, Count) == kBlockCountOffset &&
              offsetof(TRecBlockHeader, Name) == 54 && offsetof(TRecBlockHeader, DevUser) == 95 &&
              offsetof(TRecBlockHeader, OSUser) == 116 &&
              offsetof(TRecBlockHeader, InstrSampleNo) == 373 &&
              offsetof(TRecBlockHeader, DevId) == 375 &&
              offsetof(TRecBlockHeader, Reserved) == 396);
static_assert(sizeof(TRecBlockHeaderOld) == kOldBlockHeaderSize);
static_assert(offsetof(TRecBlockHeaderOld, NotTakenOver) == 95);

// Out must hold kSampleSize / kBlockHeaderSize bytes, In as many. The sample
// routines are inline: files move millions of samples through them.
inline void PutSample(uint8_t* Out, const TSample& S) {
    PutU8(Out, S.Stamp.Day);
    PutU8(Out + 1, S.Stamp.Month);
    PutU16(Out + 2, S.Stamp.Year);
    PutU32(Out + 4, S.Stamp.Seconds);
    PutI16(Out + 8, S.Meas.Humidity);
    PutI16(Out + 10, S.Meas.Temperature);
    PutI16(Out + 12, S.Meas.Third);
    PutU32(Out + 14, S.Meas.Elapsed);
    PutU16(Out + 18, S.Meas.Status);
    PutU8(Out + 20, S.Mark);
    PutU16(Out + 21, S.Block);
}

inline TSample GetSample(const uint8_t* In) {
    TSample s;
    s.Stamp.Day = GetU8(In);
    s.Stamp.Month = GetU8(In + 1);
    s.Stamp.Year = GetU16(In + 2);
    s.Stamp.Seconds = GetU32(In + 4);
    s.Meas.Humidity = GetI16(In + 8);
    s.Meas.Temperature = GetI16(In + 10);
    s.Meas.Third = GetI16(In + 12);
    s.Meas.Elapsed = GetU32(In + 14);
    s.Meas.Status = GetU16(In + 18);
    s.Mark = GetU8(In + 20);
    s.Block = GetU16(In + 21);
    return s;
}

void PutBlockHeader(uint8_t* Out, const TRecBlockHeader& H);
TRecBlockHeader GetBlockHeader(const uint8_t* In);
TRecBlockHeaderOld GetOldBlockHeader(const uint8_t* In);

// The headers of an older file as current headers: the common fields taken
// over, both user fields "---", the rest zero.
std::vector<TRecBlockHeader> ConvertOldBlockHeaders(const std::vector<TRecBlockHeaderOld>& Old);

// The samples and block headers of one recording, in memory.
struct TRecording {
    std::vector<TRecBlockHeader> Headers;
    std::vector<TSample> Samples;
};

// Block numbers are 16-bit: a recording holds at most this many blocks.
inline constexpr std::size_t kMaxBlocks = 0xFFFF;
inline constexpr char sTooManyBlocks[] =
    "This record holds the most blocks a record can hold (65535). Save it and start a new "
    "record to go on recording.";

// Appends Header as the recording's next block, numbered after the last; false,
// and nothing appended, when the recording already holds kMaxBlocks.
bool AppendBlock(TRecording& Data, TRecBlockHeader Header);

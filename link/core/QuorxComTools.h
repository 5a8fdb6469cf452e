// Frame check and byte stuffing of the instrument frame protocol, and the byte
// routines used throughout the link library. The application checks its own
// files with the same 16-bit check.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Replaces Check by its next value after the byte B.
void Checksum16Step(std::uint16_t& Check, std::uint8_t B);

// Check of Count bytes from 0; a count of 0 or less gives 0.
std::uint16_t Checksum16(const void* Data, int Count);

// Check of Count bytes continued from Start; a count of 0 or less gives Start.
std::uint16_t Checksum16Cont(std::uint16_t Start, const void* Data, int Count);

// Check of a block continued from Start, where Tail is the check of that block
// from 0 and Count its length: blocks checked apart chain into one check.
std::uint16_t Checksum16Join(std::uint16_t Start, std::uint16_t Tail, std::uint64_t Count);

// Out := the stuffed form of Count bytes: 0xF0..0xFE become 0xF0, (byte - 0xF0).
void StuffBytes(const void* Data, int Count, Bytes& Out);

void CopyBytes(void* Dest, const void* Source, int Count);
void ZeroBytes(void* Dest, int Count);

// The word coding of the protocol file's body: little-endian 32-bit words, each
// coded with a key that the previous coded word and the file's base key give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A rotated right by (N and 31) bits.
uint32_t RotateRight32(uint32_t A, uint32_t N);
uint32_t CodeWord(uint32_t W, uint8_t K);
// The inverse of CodeWord for the same key.
uint32_t DecodeWord(uint32_t E, uint8_t K);
// The sum of the eight 4-bit digits of E (0..120).
uint32_t NibbleSum(uint32_t E);

// Codes Buffer from offset From to its end in place, word by word with the
// rotating key that starts at Key; the last word is completed with zero bytes,
// so the coded part becomes a multiple of 4 bytes long.
void CodeBody(std::vector<uint8_t>& Buffer, std::size_t From, uint8_t Key);
// The inverse of CodeBody; Buffer is padded the same way.
void DecodeBody(std::vector<uint8_t>& Buffer, std::size_t From, uint8_t Key);

// Long blocks under the 16-bit check at memory speed. The check is a bit-serial
// shift register (most significant bit of each byte first) over the polynomial
// x^16 + x^9 + x^7 + x^4 + 1: a block checks as its remainder modulo that
// polynomial does, which carry-less multiplication finds 16 bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>

// The polynomial, its x^16 term included.
inline constexpr std::uint32_t kCheckPoly = 0x10291;

// Shorter blocks are checked byte by byte as quickly.
inline constexpr std::size_t kFoldMinBytes = 128;

// Rest := 16 bytes, in block order, congruent modulo the polynomial to the two
// bytes Prefix (high byte first) followed by Blocks blocks of 16 bytes. False,
// and Rest untouched, when the processor cannot do it or Blocks is below
// kFoldMinBytes / 16.
bool FoldRemainder(std::uint16_t Prefix, const std::uint8_t* Data, std::size_t Blocks,
                   std::uint8_t (&Rest)[16]);

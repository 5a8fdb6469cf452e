// Write time-outs of a serial line with RTS/CTS flow control (modem links).
//
// A modem that holds CTS low stalls every write. The port component allows
// 2000 ms for each byte of such a line, so a 257-byte init string could hold
// the caller for more than eight minutes. A link bounds each write instead by
// the platform's total write time-out, Constant + Multiplier x bytes: the
// multiplier is a byte's time on the line at the link's rate (11 bits, with a
// millisecond to spare), so no write that the line can carry is cut, and the
// constant is what a stall may add in all.
#pragma once

#include <cstdint>

struct TWriteTimeouts {
    std::uint32_t MultiplierMs = 0;
    std::uint32_t ConstantMs = 0;
};

constexpr std::uint32_t kCtsWriteStallMs = 3000;

TWriteTimeouts CtsWriteTimeouts(int Baud);

// The longest a write of Count bytes may take under T.
inline std::uint64_t WriteLimitMs(const TWriteTimeouts& T, int Count) {
    return T.ConstantMs + static_cast<std::uint64_t>(T.MultiplierMs) * static_cast<unsigned>(Count);
}

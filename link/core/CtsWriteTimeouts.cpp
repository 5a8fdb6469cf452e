#include "link/core/CtsWriteTimeouts.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kBitsPerByte = 11; // start, 8 data, two stop bits at most
constexpr int kSlowestBaud = 110;          // a rate the port refuses still gets a sane bound

} // namespace

TWriteTimeouts CtsWriteTimeouts(int Baud) {
    const auto baud = static_cast<std::uint32_t>(std::max(Baud, kSlowestBaud));
    TWriteTimeouts t;
    t.MultiplierMs = (kBitsPerByte * 1000 + baud - 1) / baud + 1;
    t.ConstantMs = kCtsWriteStallMs;
    return t;
}

#include "link/core/QuorxComTools.h"

#include <cstring>

void Checksum16Step(std::uint16_t& Check, std::uint8_t B) {
    const unsigned c = Check;
    const unsigned t = (B ^ (c >> 8) ^ ((c >> 4) & 0xFF) ^ ((c >> 1) & 0xFF) ^ ((c << 1) & 0xFF));
    Check = static_cast<std::uint16_t>((((c << 8) & 0xFFFF) | t) ^ (t >> 7));
}

std::uint16_t Checksum16(const void* Data, int Count) {
    return Checksum16Cont(0, Data, Count);
}

std::uint16_t Checksum16Cont(std::uint16_t Start, const void* Data, int Count) {
    if (Data == nullptr || Count <= 0)
        return Start;
    const auto* p = static_cast<const std::uint8_t*>(Data);
    for (int i = 0; i < Count; ++i)
        Checksum16Step(Start, p[i]);
    return Start;
}

void StuffBytes(const void* Data, int Count, Bytes& Out) {
    Out.clear();
    if (Data == nullptr || Count <= 0)
        return;
    const auto* p = static_cast<const std::uint8_t*>(Data);
    Out.reserve(static_cast<std::size_t>(Count) + 8);
    for (int i = 0; i < Count; ++i) {
        const std::uint8_t b = p[i];
        if (b >= 0xF0 && b <= 0xFE) {
            Out.push_back(0xF0);
            Out.push_back(static_cast<std::uint8_t>(b - 0xF0));
        } else {
            Out.push_back(b);
        }
    }
}

void CopyBytes(void* Dest, const void* Source, int Count) {
    auto* d = static_cast<std::uint8_t*>(Dest);
    const auto* s = static_cast<const std::uint8_t*>(Source);
    for (int i = 0; i < Count; ++i)
        d[i] = s[i];
}

void ZeroBytes(void* Dest, int Count) {
    if (Count > 0)
        std::memset(Dest, 0, static_cast<std::size_t>(Count));
}

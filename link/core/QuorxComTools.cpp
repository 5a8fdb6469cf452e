#include "link/core/QuorxComTools.h"

#include "link/core/Checksum16Fold.h"

#include <cstring>
#include <utility>

namespace {

// The two bytes whose check from 0 is Check: a block continued from Check has
// the check of those bytes followed by the block. The check of two bytes is a
// one-to-one linear map, so its inverse is built once from the unit checks.
std::uint16_t Preimage(std::uint16_t Check) {
    static const auto inverse = [] {
        struct {
            std::uint16_t Of[16]; // two bytes checking to bit i alone
        } t{};
        std::uint16_t image[16], source[16];
        for (int i = 0; i < 16; ++i) {
            source[i] = static_cast<std::uint16_t>(1u << i);
            const std::uint8_t two[2] = {static_cast<std::uint8_t>(source[i] >> 8),
                                         static_cast<std::uint8_t>(source[i])};
            image[i] = 0;
            for (std::uint8_t b : two)
                Checksum16Step(image[i], b);
        }
        // Gauss-Jordan over GF(2): reduce the images to unit vectors.
        for (int bit = 0; bit < 16; ++bit) {
            int pivot = bit;
            while (!(image[pivot] >> bit & 1))
                ++pivot;
            std::swap(image[bit], image[pivot]);
            std::swap(source[bit], source[pivot]);
            for (int i = 0; i < 16; ++i)
                if (i != bit && (image[i] >> bit & 1)) {
                    image[i] ^= image[bit];
                    source[i] ^= source[bit];
                }
        }
        for (int i = 0; i < 16; ++i)
            t.Of[i] = source[i];
        return t;
    }();
    std::uint16_t out = 0;
    for (int i = 0; i < 16; ++i)
        if (Check >> i & 1)
            out ^= inverse.Of[i];
    return out;
}

// A * B modulo the check's polynomial, both of degree below 16.
std::uint16_t MulMod(std::uint32_t A, std::uint32_t B) {
    std::uint32_t r = 0;
    for (int i = 15; i >= 0; --i) {
        r <<= 1;
        if (r & 0x10000)
            r ^= kCheckPoly;
        if (B >> i & 1)
            r ^= A;
    }
    return static_cast<std::uint16_t>(r);
}

} // namespace

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
    int from = 0;
    std::uint8_t rest[16];
    const auto blocks = static_cast<std::size_t>(Count) / 16;
    // A long block checks as the remainder it leaves after its start value.
    if (static_cast<std::size_t>(Count) >= kFoldMinBytes &&
        FoldRemainder(Preimage(Start), p, blocks, rest)) {
        Start = 0;
        for (std::uint8_t b : rest)
            Checksum16Step(Start, b);
        from = static_cast<int>(16 * blocks);
    }
    for (int i = from; i < Count; ++i)
        Checksum16Step(Start, p[i]);
    return Start;
}

std::uint16_t Checksum16Join(std::uint16_t Start, std::uint16_t Tail, std::uint64_t Count) {
    // Start continued over Count zero bytes is the remainder of its preimage
    // times x^(8 Count), found by squaring; the check is linear, so the
    // block's own check adds on.
    std::uint16_t shift = 1;
    for (std::uint16_t square = 0x100; Count != 0; Count >>= 1, square = MulMod(square, square))
        if (Count & 1)
            shift = MulMod(shift, square);
    const std::uint16_t rest = MulMod(Preimage(Start), shift);
    std::uint16_t check = 0;
    Checksum16Step(check, static_cast<std::uint8_t>(rest >> 8));
    Checksum16Step(check, static_cast<std::uint8_t>(rest));
    return check ^ Tail;
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

#include "link/core/Checksum16Fold.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace {

// Remainders running side by side over every kLanes-th 16-byte block.
constexpr std::size_t kLanes = kFoldMinBytes / 16;

// X^N modulo the polynomial.
constexpr std::uint64_t XPow(unsigned N) {
    std::uint32_t r = 1;
    for (unsigned i = 0; i < N; ++i) {
        r <<= 1;
        if (r & 0x10000)
            r ^= kCheckPoly;
    }
    return r;
}

__attribute__((target("pclmul,ssse3"))) __m128i Load(const std::uint8_t* P) {
    // Byte 0 becomes the highest coefficient.
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(P)), reverse);
}

// Acc * x^(64 + Shift) mod p, where K holds x^Shift and x^(Shift + 64): an
// 80-bit remainder congruent to the 128-bit Acc shifted on by Shift bits.
__attribute__((target("pclmul,ssse3"))) __m128i Fold(__m128i Acc, __m128i K) {
    return _mm_xor_si128(_mm_clmulepi64_si128(Acc, K, 0x00), _mm_clmulepi64_si128(Acc, K, 0x11));
}

__attribute__((target("pclmul,ssse3"))) void FoldBlocks(std::uint16_t Prefix, const std::uint8_t* P,
                                                        std::size_t Blocks, std::uint8_t* Rest) {
    const __m128i by128 = _mm_set_epi64x(XPow(192), XPow(128));
    const __m128i byLanes = _mm_set_epi64x(XPow(128 * kLanes + 64), XPow(128 * kLanes));
    __m128i acc[kLanes];
    for (std::size_t i = 0; i < kLanes; ++i)
        acc[i] = Load(P + 16 * i);
    acc[0] = _mm_xor_si128(acc[0], _mm_clmulepi64_si128(_mm_cvtsi32_si128(Prefix), by128, 0x00));
    std::size_t done = kLanes;
    for (; done + kLanes <= Blocks; done += kLanes)
        for (std::size_t i = 0; i < kLanes; ++i)
            acc[i] = _mm_xor_si128(Fold(acc[i], byLanes), Load(P + 16 * (done + i)));
    __m128i r = acc[0];
    for (std::size_t i = 1; i < kLanes; ++i)
        r = _mm_xor_si128(Fold(r, by128), acc[i]);
    for (; done < Blocks; ++done)
        r = _mm_xor_si128(Fold(r, by128), Load(P + 16 * done));
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(Rest),
        _mm_shuffle_epi8(r, _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)));
}

} // namespace

bool FoldRemainder(std::uint16_t Prefix, const std::uint8_t* Data, std::size_t Blocks,
                   std::uint8_t (&Rest)[16]) {
    static const bool supported =
        __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
    if (!supported || Blocks < kLanes)
        return false;
    FoldBlocks(Prefix, Data, Blocks, Rest);
    return true;
}

#else

bool FoldRemainder(std::uint16_t, const std::uint8_t*, std::size_t, std::uint8_t (&)[16]) {
    return false;
}

#endif

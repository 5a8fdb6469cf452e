#include "app/protocol/cod_.h"

namespace {

uint32_t RotateLeft32(uint32_t A, uint32_t N) {
    N &= 31;
    return N == 0 ? A : (A << N) | (A >> (32 - N));
}

uint32_t GetWord(const uint8_t* P) {
    return static_cast<uint32_t>(P[0]) | static_cast<uint32_t>(P[1]) << 8 |
           static_cast<uint32_t>(P[2]) << 16 | static_cast<uint32_t>(P[3]) << 24;
}

void PutWord(uint8_t* P, uint32_t W) {
    for (int i = 0; i < 4; ++i)
        P[i] = static_cast<uint8_t>(W >> (8 * i));
}

// Walks the words from From on; Step maps a word and the current key to the
// stored word, and the next key always comes from the coded word.
template <class F>
void WalkBody(std::vector<uint8_t>& Buffer, std::size_t From, uint8_t Key, F Step) {
    if (From >= Buffer.size())
        return;
    Buffer.resize(From + (Buffer.size() - From + 3) / 4 * 4, 0);
    uint8_t k = Key;
    for (std::size_t p = From; p < Buffer.size(); p += 4) {
        const uint32_t in = GetWord(&Buffer[p]);
        uint32_t coded = 0;
        const uint32_t out = Step(in, k, coded);
        // Only the low 8 bits of the key take part.
        k = static_cast<uint8_t>(NibbleSum(coded) + Key);
        PutWord(&Buffer[p], out);
    }
}

} // namespace

uint32_t RotateRight32(uint32_t A, uint32_t N) {
    N &= 31;
    return N == 0 ? A : (A >> N) | (A << (32 - N));
}

uint32_t CodeWord(uint32_t W, uint8_t K) {
    return RotateRight32(W + K, K & 31u);
}

uint32_t DecodeWord(uint32_t E, uint8_t K) {
    return RotateLeft32(E, K & 31u) - K;
}

uint32_t NibbleSum(uint32_t E) {
    uint32_t sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += (E >> (4 * i)) & 0xFu;
    return sum;
}

void CodeBody(std::vector<uint8_t>& Buffer, std::size_t From, uint8_t Key) {
    WalkBody(Buffer, From, Key, [](uint32_t W, uint8_t K, uint32_t& Coded) {
        Coded = CodeWord(W, K);
        return Coded;
    });
}

void DecodeBody(std::vector<uint8_t>& Buffer, std::size_t From, uint8_t Key) {
    WalkBody(Buffer, From, Key, [](uint32_t E, uint8_t K, uint32_t& Coded) {
        Coded = E;
        return DecodeWord(E, K);
    });
}

// Little-endian fields of the application's file formats, read and written byte
// by byte so that no layout depends on the host or on struct packing.
#pragma once

#include <cstdint>
#include <cstring>

inline void PutU8(uint8_t* P, uint8_t V) {
    P[0] = V;
}
inline void PutU16(uint8_t* P, uint16_t V) {
    P[0] = static_cast<uint8_t>(V);
    P[1] = static_cast<uint8_t>(V >> 8);
}
inline void PutU32(uint8_t* P, uint32_t V) {
    for (int i = 0; i < 4; ++i)
        P[i] = static_cast<uint8_t>(V >> (8 * i));
}
inline void PutI16(uint8_t* P, int16_t V) {
    PutU16(P, static_cast<uint16_t>(V));
}
inline void PutI32(uint8_t* P, int32_t V) {
    PutU32(P, static_cast<uint32_t>(V));
}
inline void PutF64(uint8_t* P, double V) {
    uint64_t u;
    std::memcpy(&u, &V, 8);
    for (int i = 0; i < 8; ++i)
        P[i] = static_cast<uint8_t>(u >> (8 * i));
}

inline uint8_t GetU8(const uint8_t* P) {
    return P[0];
}
inline uint16_t GetU16(const uint8_t* P) {
    return static_cast<uint16_t>(P[0] | P[1] << 8);
}
inline uint32_t GetU32(const uint8_t* P) {
    return static_cast<uint32_t>(P[0]) | static_cast<uint32_t>(P[1]) << 8 |
           static_cast<uint32_t>(P[2]) << 16 | static_cast<uint32_t>(P[3]) << 24;
}
inline int16_t GetI16(const uint8_t* P) {
    return static_cast<int16_t>(GetU16(P));
}
inline int32_t GetI32(const uint8_t* P) {
    return static_cast<int32_t>(GetU32(P));
}
inline double GetF64(const uint8_t* P) {
    uint64_t u = 0;
    for (int i = 0; i < 8; ++i)
        u |= static_cast<uint64_t>(P[i]) << (8 * i);
    double v;
    std::memcpy(&v, &u, 8);
    return v;
}

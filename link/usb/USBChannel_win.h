// One direction of a USB link: the byte buffer that the device object and its
// pipe thread share, and the critical section that guards it. The lock is held
// only while bytes are moved.
#pragma once

#include "common/WinRes_win.h"
#include "link/core/ByteFifo.h"

#include <cstdint>
#include <vector>

class TUSBChannel {
public:
    // At most Capacity bytes wait; more are dropped and counted.
    explicit TUSBChannel(std::size_t Capacity) : FBytes(Capacity) {}

    // Appends Count bytes (what fits); returns the new length.
    std::size_t Append(const std::uint8_t* Data, std::size_t Count);
    // 0 when nothing is waiting; else copies min(Max, waiting) bytes to Buf,
    // keeps the rest in order and returns the count.
    int Take(std::uint8_t* Buf, int Max);
    // Appends everything waiting to the end of Out and empties the buffer.
    void MoveAllTo(std::vector<std::uint8_t>& Out);
    void Clear();
    std::size_t Size();
    // Bytes dropped at the bound.
    std::uint64_t Dropped();

private:
    TCriticalSection FLock;
    TByteFifo FBytes;
};

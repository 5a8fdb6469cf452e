// One direction of a USB link: the byte buffer that the device object and its
// pipe thread share, and the critical section that guards it. The lock is held
// only while bytes are moved.
#pragma once

#include "common/WinRes_win.h"

#include <cstdint>
#include <vector>

class TUSBChannel {
public:
    // Appends Count bytes; returns the new length.
    std::size_t Append(const std::uint8_t* Data, std::size_t Count);
    // 0 when nothing is waiting; else copies min(Max, waiting) bytes to Buf,
    // keeps the rest in order and returns the count.
    int Take(std::uint8_t* Buf, int Max);
    // Appends everything waiting to the end of Out and empties the buffer.
    void MoveAllTo(std::vector<std::uint8_t>& Out);
    void Clear();
    std::size_t Size();

private:
    TCriticalSection FLock;
    std::vector<std::uint8_t> FBytes;
};

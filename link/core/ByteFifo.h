// A byte queue with a bound: bytes beyond it are dropped and counted, and
// taking from the front never moves what stays behind (a backlog drained a
// little at a time costs no more than the bytes taken).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TByteFifo {
public:
    explicit TByteFifo(std::size_t Capacity) : FCapacity(Capacity) {}

    // Appends what fits under the bound and counts the rest as dropped;
    // returns the count waiting afterwards.
    std::size_t Append(const std::uint8_t* Data, std::size_t Count);
    // Copies min(Max, waiting) bytes to Buf, oldest first, and returns the count.
    std::size_t Take(std::uint8_t* Buf, std::size_t Max);
    // Appends everything waiting to the end of Out and empties the queue.
    void MoveAllTo(std::vector<std::uint8_t>& Out);
    void Clear();
    std::size_t Size() const { return FBytes.size() - FFront; }
    // Bytes dropped at the bound since the queue was made.
    std::uint64_t Dropped() const { return FDropped; }

private:
    std::size_t FCapacity;
    std::vector<std::uint8_t> FBytes;
    std::size_t FFront = 0; // bytes of FBytes already taken
    std::uint64_t FDropped = 0;
};

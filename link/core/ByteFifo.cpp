#include "link/core/ByteFifo.h"

#include <algorithm>

std::size_t TByteFifo::Append(const std::uint8_t* Data, std::size_t Count) {
    if (Data == nullptr)
        return Size();
    const std::size_t room = FCapacity - std::min(FCapacity, Size());
    const std::size_t kept = std::min(Count, room);
    FDropped += Count - kept;
    // Taken bytes go once they are at least half of the store, so each byte is
    // moved at most once on average.
    if (FFront > 0 && FFront >= Size()) {
        FBytes.erase(FBytes.begin(), FBytes.begin() + static_cast<std::ptrdiff_t>(FFront));
        FFront = 0;
    }
    FBytes.insert(FBytes.end(), Data, Data + kept);
    return Size();
}

std::size_t TByteFifo::Take(std::uint8_t* Buf, std::size_t Max) {
    if (Buf == nullptr)
        return 0;
    const std::size_t count = std::min(Max, Size());
    std::copy_n(FBytes.begin() + static_cast<std::ptrdiff_t>(FFront), count, Buf);
    FFront += count;
    if (FFront == FBytes.size())
        Clear();
    return count;
}

void TByteFifo::MoveAllTo(std::vector<std::uint8_t>& Out) {
    Out.insert(Out.end(), FBytes.begin() + static_cast<std::ptrdiff_t>(FFront), FBytes.end());
    Clear();
}

void TByteFifo::Clear() {
    FBytes.clear();
    FFront = 0;
}

#include "app/base/LargePages_.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>

void AdviseLargePages(void* Data, std::size_t Size) {
    constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
    const auto from = (reinterpret_cast<std::uintptr_t>(Data) + kLarge - 1) & ~(kLarge - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(Data) + Size) & ~(kLarge - 1);
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

bool FaultInPages(void* Data, std::size_t Size) {
    static const auto kPage = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto from = reinterpret_cast<std::uintptr_t>(Data) & ~(kPage - 1);
    const auto to = reinterpret_cast<std::uintptr_t>(Data) + Size;
    return madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE) == 0;
}

#else

void AdviseLargePages(void*, std::size_t) {}
bool FaultInPages(void*, std::size_t) {
    return false;
}

#endif

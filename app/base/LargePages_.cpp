#include "app/base/LargePages_.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>

void AdviseLargePages(void* Data, std::size_t Size) {
    constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
    const auto from = (reinterpret_cast<std::uintptr_t>(Data) + kLarge - 1) & ~(kLarge - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(Data) + Size) & ~(kLarge - 1);
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

#else

void AdviseLargePages(void*, std::size_t) {}

#endif

// The check of the libFuzzer targets: a broken invariant names itself on
// stderr and aborts, so the fuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void FuzzRequire(bool Condition, const char* What) {
    if (Condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", What);
    std::abort();
}

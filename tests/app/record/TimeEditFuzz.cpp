// Any text in a time edit of a record window: a number gives seconds within
// 0 .. 2^31 - 1, and the key filter lets at most one separator through.
#include "app/record/RecView_.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    int32_t seconds = -1;
    if (ParseMinutes(text, seconds) && seconds < 0)
        std::abort();
    std::string typed;
    for (char c : text) {
        char key = c;
        if (FilterTimeKey(typed, key) && key != '\b')
            typed += key;
    }
    if (typed.find('.') != typed.rfind('.'))
        std::abort();
    return 0;
}

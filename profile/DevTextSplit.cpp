#include "profile/DevTextSplit.h"

#include <cstring>

namespace Proflink {

TLinkResult SplitDevTexts(const uint8_t* Reply, int32_t Count, TDevTextAll& Buf) {
    std::memset(&Buf, 0, sizeof Buf);
    constexpr int32_t kTexts = 10;
    constexpr int32_t kTextSize = sizeof(TDevText);
    int32_t i = 0;
    int32_t j = 0;
    int32_t k = 0;
    // At most 210 bytes are read: a text that fills its 21 bytes ends the copy.
    while (i < Count && j < kTexts && k < kTextSize) {
        const uint8_t b = Reply[i++];
        Buf.Text[j].Text[k] = static_cast<char>(b);
        if (b == 0) {
            ++j;
            k = 0;
        } else {
            ++k;
        }
    }
    // A text that filled its 21 bytes stopped the copy: it ends within them.
    if (k == kTextSize)
        Buf.Text[j].Text[kTextSize - 1] = '\0';
    return i == Count && j == kTexts ? 0 : errAnswer;
}

} // namespace Proflink

#include "profile/MeasEvent.h"

#include <cstring>

namespace Proflink {

TLinkResult EventDataToTMEASall(const void* Src, int32_t Len, TMEASall* Dst) {
    if (Len != static_cast<int32_t>(sizeof(TMEASall)))
        return errLength;
    if (Src == nullptr || Dst == nullptr)
        return errBuffer;
    std::memcpy(Dst, Src, sizeof(TMEASall));
    return 0;
}

} // namespace Proflink

// Data of a measurement event (code 0x100, parameter 255) as a TMEASall.
#pragma once

#include "ProflinkH.h"

namespace Proflink {

// Copies the 128 event bytes to Dst: errLength when Len is not 128, errBuffer
// when Src or Dst is nil; Dst is untouched on any error.
TLinkResult EventDataToTMEASall(const void* Src, int32_t Len, TMEASall* Dst);

} // namespace Proflink

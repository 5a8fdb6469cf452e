// The all-chambers text replies: ten NUL-terminated texts back to back, each
// going into its own 21-byte slot of a TDevTextAll.
#pragma once

#include "ProflinkH.h"

namespace Proflink {

// Copies the texts of the Count reply bytes into Buf, which is cleared first so
// every text comes out NUL-padded and ends within its 21 bytes. 0 when the
// reply was exactly ten texts of at most 20 characters each, else errAnswer
// with what was copied left in Buf (a text of 21 characters cut to 20).
TLinkResult SplitDevTexts(const uint8_t* Reply, int32_t Count, TDevTextAll& Buf);

} // namespace Proflink

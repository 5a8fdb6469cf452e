// The live values of one chamber as an instrument reports them: its time stamp
// and measurement, the first 20 bytes of every sample.
#pragma once

#include "ProflinkH.h"

#include <cstddef>

#pragma pack(push, 1)
struct TChamberLive {
    TMeasStamp Stamp;
    TChamberMeas Meas;
};
#pragma pack(pop)
static_assert(sizeof(TChamberLive) == 20 && offsetof(TChamberLive, Meas) == 8);

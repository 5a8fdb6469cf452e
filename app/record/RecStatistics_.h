// Minimum, running mean and maximum of humidity, temperature and D value over
// every measurement event of a recording window, in raw units.
#pragma once

#include "app/values/ChamberLive_.h"

#include <cstdint>

struct TRecStatistics {
    int32_t Min[3] = {};
    double Mean[3] = {};
    int32_t Max[3] = {};
    int32_t Count = 1; // 1-based number of the next measurement to enter

    // Enters Live as measurement Count (Count itself is left to the caller);
    // true when a figure changed.
    bool Update(const TChamberLive& Live);
};

#include "app/record/RecStatistics_.h"

#include <algorithm>

bool TRecStatistics::Update(const TChamberLive& Live) {
    if (Count <= 0)
        return false;
    const int32_t values[3] = {Live.Meas.Humidity, Live.Meas.Temperature, Live.Meas.Third};
    bool changed = false;
    for (int i = 0; i < 3; ++i) {
        const int32_t v = values[i];
        int32_t min = v, max = v;
        double mean = v;
        if (Count >= 2) {
            min = std::min(Min[i], v);
            max = std::max(Max[i], v);
            mean = (v + (Count - 1) * Mean[i]) / Count;
        }
        changed = changed || min != Min[i] || max != Max[i] || mean != Mean[i];
        Min[i] = min;
        Max[i] = max;
        Mean[i] = mean;
    }
    return changed;
}

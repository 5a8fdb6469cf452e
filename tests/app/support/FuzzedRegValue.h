// A stored registry value of any kind made from a fuzzer's bytes, for the
// fuzz targets of the settings that the registry holds.
#pragma once

#include "app/base/Registry_.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <string>

inline TRegValue FuzzedRegValue(FuzzedDataProvider& In, std::size_t MaxBytes) {
    TRegValue v;
    switch (In.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
        return v; // missing
    case 1:
        return TRegValue::Dword(In.ConsumeIntegral<uint32_t>());
    case 2:
        return TRegValue::Str(In.ConsumeRandomLengthString(MaxBytes));
    case 3:
        v.Kind = TRegKind::Other;
        break;
    default:
        v.Kind = TRegKind::Binary;
    }
    const std::string bytes = In.ConsumeRandomLengthString(MaxBytes);
    v.Data.assign(bytes.begin(), bytes.end());
    return v;
}

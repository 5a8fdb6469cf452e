// Record files of any content: the loader refuses or accepts, never reads past
// what the file holds; an accepted file saves and loads back to the same data.
#include "app/record/RecordFile_.h"
#include "MemFiles.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemFileSystem fs;
    fs["f.zqr"].assign(Data, Data + Size);
    TRecordFileData d;
    if (LoadRecordFile(fs, "f.zqr", d).Result != TLoadResult::Ok)
        return 0;
    if (!SaveRecordFile(fs, "g.zqr", d).empty())
        __builtin_trap();
    TRecordFileData back;
    if (LoadRecordFile(fs, "g.zqr", back).Result != TLoadResult::Ok ||
        back.Samples.size() != d.Samples.size() || back.Headers.size() != d.Headers.size() ||
        (!d.Samples.empty() && std::memcmp(back.Samples.data(), d.Samples.data(),
                                           d.Samples.size() * sizeof(TSample)) != 0))
        __builtin_trap();
    return 0;
}

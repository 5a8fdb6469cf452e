// Fuzz target of the Morlisk log import: any bytes as a log, imported twice
// into one record as a joined import does. Errors are fine; crashes, overruns
// and undefined behaviour are not, nor a block whose count disagrees with its samples.
#include "app/import/MKLog_.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

class TNoProgress : public ILogProgress {
public:
    void Start(const std::string&, int32_t) override {}
    void Position(int32_t) override {}
};

void ImportOnce(TRecording& Data, TRecStatistics& Stats, const TLines& Lines) {
    TMKLogHeader header;
    GetMKLogHeaderInfo(Lines, header, "f");
    AddLogBlockHeader(Data, header, "user");
    TLogRead read;
    read.TitleLine = FindTitleLine(Lines, "f");
    read.Columns = BuildColumns(Lines[static_cast<std::size_t>(read.TitleLine)]);
    read.HumMode = LogHumMode(read.Columns);
    read.TempUnit = LogTempUnit(read.Columns);
    const std::size_t before = Data.Samples.size();
    TNoProgress progress;
    ImportLogSamples(Data, Stats, Lines, read, "f", progress);
    if (Data.Headers.back().Count != Data.Samples.size() - before ||
        Data.Headers.front().Interval == 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const TLines lines = SplitTextLines(std::string(reinterpret_cast<const char*>(Data), Size));
    TRecording record;
    TRecStatistics stats;
    for (int i = 0; i < 2; ++i) {
        try {
            ImportOnce(record, stats, lines);
        } catch (const std::exception&) {
            return 0;
        }
    }
    return 0;
}

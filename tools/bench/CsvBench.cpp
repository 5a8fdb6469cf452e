// csv_bench [FILE] [SAMPLES]: exports a record of 10 million samples (or
// SAMPLES) with every column and every header group, and prints the time
// beside the time to write the same number of bytes raw (in blocks of the
// export's size, flushed alike), and the export's peak memory beside the peak
// of an export of a tenth of the samples. Bounds: at most 3 times the raw
// write; at most twice the smaller export's peak (taken as at least 4 MB), so
// memory that grows with the samples shows. Linux only (it reads the peak from
// /proc). Exit code 0 when every figure is within its bound.
#include "app/output/CsvWriter_.h"
#include "app/record/PosixFiles_.h"
#include "tools/bench/ProcBench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

TRecording MakeRecord(std::size_t Samples) {
    TRecording d;
    constexpr std::size_t kPerBlock = 100000;
    d.Samples.reserve(Samples);
    for (std::size_t i = 0; i < Samples; ++i) {
        if (i % kPerBlock == 0) {
            TRecBlockHeader h{};
            h.Interval = 1;
            h.Count = static_cast<uint32_t>(std::min(kPerBlock, Samples - i));
            std::strcpy(h.Name, "Chamber 1");
            std::strcpy(h.DevId, "ZEPHORA");
            AppendBlock(d, h);
        }
        TSample s{};
        s.Stamp = {1, 1, 2026, static_cast<uint32_t>(i % 86400)};
        s.Meas = {static_cast<int16_t>(i % 10000), static_cast<int16_t>(2500 - i % 5000), 100,
                  static_cast<uint32_t>(i), static_cast<uint16_t>(0x8071 | (i % 7 == 0 ? 4 : 0))};
        s.Block = static_cast<uint16_t>(d.Headers.size());
        d.Samples.push_back(s);
    }
    return d;
}

TCsvChoice Everything() {
    TCsvChoice c;
    c.ColRecord = c.ColDateTime = c.ColHum = c.ColTemp = c.ColCond = true;
    c.RowProgInfo = c.RowRedMethod = c.RowRecInfo = c.RowUserInfo = c.RowColTitles = true;
    return c;
}

struct TRun {
    double Seconds = 0;
    double PeakMb = 0;
    uint64_t Bytes = 0;
    int64_t ProgressCalls = 0;
};

// Exports Samples to File; the record is made before the peak is reset, so
// only the export's own memory counts.
bool ExportRun(IFileSystem& Fs, const std::string& File, std::size_t Samples, TRun& Run) {
    const TRecording record = MakeRecord(Samples);
    TCsvSource source;
    source.Data = &record;
    source.HumMode = 1;
    source.SampleInterval = 1;
    const TCsvChoice choice = Everything();
    ResetPeak();
    const long before = StatusKb("VmRSS:");
    const auto t = std::chrono::steady_clock::now();
    TCsvPreview preview;
    preview.Build(source, choice);
    TCsvFileArgs args;
    args.Preview = &preview;
    args.Source = source;
    args.Choice = choice;
    args.ProgressSteps = 300;
    args.Progress = [&Run](int64_t) { ++Run.ProgressCalls; };
    const std::string error = ExportToFile(Fs, File, args);
    Run.Seconds = Seconds(t);
    Run.PeakMb = (StatusKb("VmHWM:") - before) / 1024.0;
    if (!error.empty())
        return std::fprintf(stderr, "%s\n", error.c_str()), false;
    TFileError e;
    auto f = Fs.Open(File, TOpenMode::ReadExclusive, e);
    Run.Bytes = f ? f->Size() : 0;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::string file = argc > 1 ? argv[1] : "csv_bench.csv";
    const std::size_t samples = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 10000000;
    TPosixFileSystem fs;

    TRun small, full;
    if (!ExportRun(fs, file, samples / 10, small) || !ExportRun(fs, file, samples, full))
        return 2;
    fs.Remove(file);

    const std::string raw = file + ".raw";
    const std::vector<char> block(1 << 20, 'x');
    const auto t = std::chrono::steady_clock::now();
    {
        TFileError error;
        auto f = fs.Open(raw, TOpenMode::CreateExclusive, error);
        bool ok = f != nullptr;
        for (uint64_t at = 0; ok && at < full.Bytes; at += block.size()) {
            const std::size_t n = std::min<uint64_t>(block.size(), full.Bytes - at);
            ok = f->WriteAt(at, block.data(), n) == n;
        }
        if (!ok || !f->Flush())
            return std::fprintf(stderr, "cannot write %s\n", raw.c_str()), 2;
    }
    const double rawWrite = Seconds(t);
    fs.Remove(raw);

    std::printf("%zu samples, %.1f MB of CSV, %lld progress updates\n", samples, full.Bytes / 1e6,
                static_cast<long long>(full.ProgressCalls));
    bool ok =
        Report("export", full.Seconds, "s ", Figure("raw write", rawWrite, "s "), rawWrite, 3.0);
    char smaller[64];
    std::snprintf(smaller, sizeof smaller, "peak of %zu samples", samples / 10);
    ok &= Report("peak", full.PeakMb, "MB", Figure(smaller, small.PeakMb, "MB"),
                 std::max(small.PeakMb, 4.0), 2.0);
    return ok ? 0 : 1;
}

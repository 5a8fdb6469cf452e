// record_bench [FILE] [SAMPLES]: saves and loads a record of 10 million samples
// (or SAMPLES) through the record file code and prints each time beside the
// time to write and read the same bytes raw with one call, and the load's peak
// memory beside the size of the sample array. The raw read is timed twice: into
// fresh memory obtained as the loader obtains its sample array (a loader cannot
// read into memory it does not have yet; the system clears each fresh page), and
// into memory already in use. Bounds: save at most twice the raw write, load at
// most twice the raw read into fresh memory, peak memory at most 1.2 times the
// array. Linux only (it reads the peak from /proc). Exit code 0 when every
// figure is within its bound.
#include "app/base/LargePages_.h"
#include "app/record/PosixFiles_.h"
#include "app/record/RecordFile_.h"
#include "tools/bench/ProcBench.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TRecordFileData MakeRecord(std::size_t Samples) {
    TRecordFileData d;
    constexpr std::size_t kPerBlock = 100000;
    for (std::size_t i = 0; i < Samples; ++i) {
        if (i % kPerBlock == 0) {
            TRecBlockHeader h{};
            h.Interval = 1;
            h.Count = static_cast<uint32_t>(std::min(kPerBlock, Samples - i));
            AppendBlock(d, h);
        }
        TSample s{};
        s.Stamp = {1, 1, 2026, static_cast<uint32_t>(i % 86400)};
        s.Meas = {static_cast<int16_t>(i % 10000), 2500, 100, static_cast<uint32_t>(i), 0x8071};
        s.Mark = i % kPerBlock == 0 ? smBlockStart : 0;
        s.Block = static_cast<uint16_t>(d.Headers.size());
        d.Samples.push_back(s);
    }
    return d;
}

} // namespace

int main(int argc, char** argv) {
    const std::string file = argc > 1 ? argv[1] : "record_bench.zqr";
    const std::size_t samples = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 10000000;
    TPosixFileSystem fs;
    const std::string raw = file + ".raw";
    TFileError error;
    double rawWrite = 0, rawReadWarm = 0, rawReadFresh = 0, save = 0;
    std::size_t bytes = 0;
    const auto readRaw = [&](uint8_t* Into) {
        auto f = fs.Open(raw, TOpenMode::ReadExclusive, error);
        return f && f->ReadAt(0, Into, bytes) == bytes;
    };
    {
        const TRecordFileData d = MakeRecord(samples);
        bytes = kRecFileHeaderSize + d.Headers.size() * kBlockHeaderSize + samples * kSampleSize;
        std::vector<uint8_t> block(bytes, 0x5A);

        auto t = std::chrono::steady_clock::now();
        {
            auto f = fs.Open(raw, TOpenMode::CreateExclusive, error);
            if (!f || f->WriteAt(0, block.data(), bytes) != bytes || !f->Flush())
                return std::fprintf(stderr, "cannot write %s\n", raw.c_str()), 2;
        }
        rawWrite = Seconds(t);

        t = std::chrono::steady_clock::now();
        if (!SaveRecordFile(fs, file, d).empty())
            return std::fprintf(stderr, "cannot save %s\n", file.c_str()), 2;
        save = Seconds(t);

        t = std::chrono::steady_clock::now();
        if (!readRaw(block.data()))
            return std::fprintf(stderr, "cannot read %s\n", raw.c_str()), 2;
        rawReadWarm = Seconds(t);
        std::printf("%zu samples in %zu blocks, %.1f MB\n", samples, d.Headers.size(), bytes / 1e6);
    }

    // Fresh memory is had at once when the system holds free large pages, as it
    // does after a large free; without them, it first gathers them. The load
    // and the timed read each follow a large free: an untimed read first.
    // Reserved, not sized: sizing would clear every page before the read.
    const auto readFresh = [&]() -> double {
        const auto t = std::chrono::steady_clock::now();
        std::vector<uint8_t> fresh;
        ReserveLargePages(fresh, bytes);
        return readRaw(fresh.data()) ? Seconds(t) : -1;
    };
    if (readFresh() < 0)
        return std::fprintf(stderr, "cannot read %s\n", raw.c_str()), 2;

    // Only the load's own memory counts: everything above is freed.
    ResetPeak();
    const long before = StatusKb("VmRSS:");
    double load = 0, peakMb = 0;
    {
        TRecordFileData back;
        const auto t = std::chrono::steady_clock::now();
        const TLoadOutcome loaded = LoadRecordFile(fs, file, back);
        load = Seconds(t);
        peakMb = (StatusKb("VmHWM:") - before) / 1024.0;
        fs.Remove(file);
        if (loaded.Result != TLoadResult::Ok || back.Samples.size() != samples)
            return std::fprintf(stderr, "%s\n", loaded.Message.c_str()), 2;
    }
    const double arrayMb = samples * sizeof(TSample) / 1048576.0;

    rawReadFresh = readFresh();
    fs.Remove(raw);
    if (rawReadFresh < 0)
        return std::fprintf(stderr, "cannot read %s\n", raw.c_str()), 2;

    char rawRead[96];
    std::snprintf(rawRead, sizeof rawRead,
                  "raw read into fresh memory %.3f s, into warm memory %.3f s", rawReadFresh,
                  rawReadWarm);
    bool ok = Report("save", save, "s ", Figure("raw write", rawWrite, "s "), rawWrite, 2.0);
    ok &= Report("load", load, "s ", rawRead, rawReadFresh, 2.0, " fresh");
    ok &= Report("peak", peakMb, "MB", Figure("array    ", arrayMb, "MB"), arrayMb, 1.2);
    return ok ? 0 : 1;
}

#include "app/record/RecordFile_.h"

#include "app/base/LargePages_.h"
#include "app/base/LittleEndian_.h"
#include "app/base/Tools_.h"
#include "link/core/QuorxComTools.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// Samples and headers move through a buffer of this many records at a time,
// small enough to stay in the cache while it is checked and decoded.
constexpr std::size_t kChunkRecords = 1 << 12;

void PutSeries(uint8_t* P, const TSeriesSettings& S) {
    PutU8(P, S.Visible);
    PutI32(P + 1, S.Color);
    PutI32(P + 5, S.YMin);
    PutI32(P + 9, S.YMax);
    PutI32(P + 13, S.Range);
}

TSeriesSettings GetSeries(const uint8_t* P) {
    TSeriesSettings s = {};
    s.Visible = GetU8(P);
    s.Color = GetI32(P + 1);
    s.YMin = GetI32(P + 5);
    s.YMax = GetI32(P + 9);
    s.Range = GetI32(P + 13);
    return s;
}

void PutStat(uint8_t* P, const TStatRange& S) {
    PutI32(P, S.Min);
    PutF64(P + 4, S.Mean);
    PutI32(P + 12, S.Max);
}

TStatRange GetStat(const uint8_t* P) {
    return {GetI32(P), GetF64(P + 4), GetI32(P + 12)};
}

// The view settings at file offset 21.
constexpr std::size_t kViewAt = 21;

void PutView(uint8_t* P, const TRecViewSettings& V) {
    PutU8(P, V.AutoX);
    PutU8(P + 1, V.AutoY);
    PutU8(P + 2, V.ShowSampleCount);
    PutU8(P + 3, V.End);
    PutI32(P + 4, V.MinTime);
    PutI32(P + 8, V.MaxTime);
    PutStat(P + 12, V.Humidity);
    PutStat(P + 28, V.Temperature);
    PutStat(P + 44, V.DValue);
    PutI32(P + 60, V.StatCount);
    PutU8(P + 164, V.AutoOffset);
    PutSeries(P + 1164, V.DValueSeries);
    PutSeries(P + 1277, V.TemperatureSeries);
    PutSeries(P + 1390, V.HumiditySeries);
}

TRecViewSettings GetView(const uint8_t* P) {
    TRecViewSettings v;
    v.AutoX = GetU8(P);
    v.AutoY = GetU8(P + 1);
    v.ShowSampleCount = GetU8(P + 2);
    v.End = GetU8(P + 3);
    v.MinTime = GetI32(P + 4);
    v.MaxTime = GetI32(P + 8);
    v.Humidity = GetStat(P + 12);
    v.Temperature = GetStat(P + 28);
    v.DValue = GetStat(P + 44);
    v.StatCount = GetI32(P + 60);
    v.AutoOffset = GetU8(P + 164);
    v.DValueSeries = GetSeries(P + 1164);
    v.TemperatureSeries = GetSeries(P + 1277);
    v.HumiditySeries = GetSeries(P + 1390);
    return v;
}

uint16_t Check(uint16_t Start, const uint8_t* Data, std::size_t Size) {
    return Checksum16Cont(Start, Data, static_cast<int>(Size));
}

// Writes Count records of Size bytes, each encoded by Put, continuing Check.
template <class T, class TPut>
bool WriteRecords(IFile& F, uint64_t& At, const std::vector<T>& Items, std::size_t Size, TPut Put,
                  uint16_t& Sum) {
    std::vector<uint8_t> buf(std::min(Items.size(), kChunkRecords) * Size);
    for (std::size_t first = 0; first < Items.size(); first += kChunkRecords) {
        const std::size_t n = std::min(kChunkRecords, Items.size() - first);
        for (std::size_t i = 0; i < n; ++i)
            Put(buf.data() + i * Size, Items[first + i]);
        Sum = Check(Sum, buf.data(), n * Size);
        if (F.WriteAt(At, buf.data(), n * Size) != n * Size)
            return false;
        At += n * Size;
    }
    return true;
}

// Encodes and checks samples on a thread of its own, a few chunks ahead of the
// calling thread, which writes them in order: the file then takes its bytes
// while the next are made.
class TSampleWriter {
public:
    TSampleWriter(IFile& F, uint64_t At, const std::vector<TSample>& Items, uint16_t Sum)
        : FFile(F), FAt(At), FItems(Items), FChunks((Items.size() + kRecords - 1) / kRecords),
          FSum(Sum) {
        for (std::vector<uint8_t>& buf : FBufs)
            buf.resize(std::min(Items.size(), kRecords) * kSampleSize);
        FEncoder = std::thread([this] { Encode(); });
    }
    ~TSampleWriter() { Stop(); }
    TSampleWriter(const TSampleWriter&) = delete;
    TSampleWriter& operator=(const TSampleWriter&) = delete;

    // Writes every sample; Sum continued over them. False when a write failed.
    bool Run(uint16_t& Sum) {
        for (std::size_t k = 0; k < FChunks; ++k) {
            {
                std::unique_lock<std::mutex> lock(FLock);
                FChanged.wait(lock, [&] { return FEncoded > k; });
            }
            const std::size_t bytes = Records(k) * kSampleSize;
            const bool written =
                FFile.WriteAt(FAt + k * kRecords * kSampleSize, Buf(k).data(), bytes) == bytes;
            {
                std::lock_guard<std::mutex> lock(FLock);
                FWritten = k + 1;
                FStopped = !written;
            }
            FChanged.notify_all();
            if (!written)
                return false;
        }
        Stop();
        Sum = FSum;
        return true;
    }

private:
    static constexpr std::size_t kRecords = 1 << 14;
    static constexpr std::size_t kBuffers = 4;

    std::size_t Records(std::size_t K) const {
        return std::min(kRecords, FItems.size() - K * kRecords);
    }
    std::vector<uint8_t>& Buf(std::size_t K) { return FBufs[K % kBuffers]; }

    void Encode() {
        for (std::size_t k = 0; k < FChunks; ++k) {
            {
                std::unique_lock<std::mutex> lock(FLock);
                FChanged.wait(lock, [&] { return FStopped || k < FWritten + kBuffers; });
                if (FStopped)
                    return;
            }
            uint8_t* out = Buf(k).data();
            const TSample* in = FItems.data() + k * kRecords;
            const std::size_t n = Records(k);
            for (std::size_t i = 0; i < n; ++i)
                PutSample(out + i * kSampleSize, in[i]);
            FSum = Check(FSum, out, n * kSampleSize);
            {
                std::lock_guard<std::mutex> lock(FLock);
                FEncoded = k + 1;
            }
            FChanged.notify_all();
        }
    }

    void Stop() {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FStopped = true;
        }
        FChanged.notify_all();
        if (FEncoder.joinable())
            FEncoder.join();
    }

    IFile& FFile;
    const uint64_t FAt;
    const std::vector<TSample>& FItems;
    const std::size_t FChunks;
    uint16_t FSum; // the encoder's until it has ended
    std::vector<uint8_t> FBufs[kBuffers];
    // Mutex and condition variable, not std::atomic's wait: the MinGW
    // runtime's atomic wait can miss a notification.
    std::mutex FLock;
    std::condition_variable FChanged;
    std::size_t FEncoded = 0; // chunks encoded
    std::size_t FWritten = 0; // chunks written
    bool FStopped = false;
    std::thread FEncoder;
};

bool WriteSamples(IFile& F, uint64_t& At, const std::vector<TSample>& Items, uint16_t& Sum) {
    if (Items.size() <= kChunkRecords)
        return WriteRecords(F, At, Items, kSampleSize, PutSample, Sum);
    if (!TSampleWriter(F, At, Items, Sum).Run(Sum))
        return false;
    At += Items.size() * kSampleSize;
    return true;
}

// Reads Count records, decoding each with Get, continuing Check. Items are
// reserved once from the count, which the caller checked against the file size.
template <class T, class TGet>
bool ReadRecords(IFile& F, uint64_t& At, std::size_t Count, std::vector<T>& Items, std::size_t Size,
                 TGet Get, uint16_t& Sum) {
    ReserveLargePages(Items, Count);
    std::vector<uint8_t> buf(std::min(Count, kChunkRecords) * Size);
    for (std::size_t first = 0; first < Count; first += kChunkRecords) {
        const std::size_t n = std::min(kChunkRecords, Count - first);
        if (F.ReadAt(At, buf.data(), n * Size) != n * Size)
            return false;
        Sum = Check(Sum, buf.data(), n * Size);
        for (std::size_t i = 0; i < n; ++i)
            Items.push_back(Get(buf.data() + i * Size));
        At += n * Size;
    }
    return true;
}

// Reads, checks and decodes samples a chunk at a time on several threads, each
// chunk on its own, while the calling thread appends them in file order and
// joins their checks. A chunk's slot in the ring is taken again only once the
// chunk before in it is appended; one more thread faults the sample array in
// ahead of the appending.
class TSampleLoader {
public:
    TSampleLoader(IFile& F, uint64_t At, std::size_t Count, std::vector<TSample>& Items)
        : FFile(F), FAt(At), FCount(Count), FChunks((Count + kRecords - 1) / kRecords),
          FItems(Items), FDest(Items.data()), FRaw(Workers(FChunks)),
          FSlots(kSlotsPerWorker * FRaw.size()) {
        // Everything is allocated before the faulting starts, which holds up
        // every other change to the memory map (thread stacks too) while it runs.
        for (std::vector<uint8_t>& raw : FRaw)
            raw.resize(std::min(Count, kRecords) * kSampleSize);
        for (TSlot& slot : FSlots)
            slot.Samples.resize(std::min(Count, kRecords));
        try {
            for (std::vector<uint8_t>& raw : FRaw)
                FThreads.emplace_back([this, &raw] { Work(raw); });
            // Smaller arrays fault in as quickly as a thread starts.
            if (Count > kFaultRecords)
                FThreads.emplace_back([this] { FaultIn(); });
        } catch (...) {
            Abandon();
            throw;
        }
    }
    ~TSampleLoader() { Abandon(); }
    TSampleLoader(const TSampleLoader&) = delete;
    TSampleLoader& operator=(const TSampleLoader&) = delete;

    // Appends every sample to Items, continuing Sum; false when a read failed.
    bool Run(uint16_t& Sum) {
        for (std::size_t k = 0; k < FChunks; ++k) {
            const TSlot& slot = Slot(k);
            {
                std::unique_lock<std::mutex> lock(FLock);
                FChunkDone.wait(lock, [&] { return slot.Done == k + 1; });
            }
            if (!slot.Read)
                return false;
            const std::size_t n = Records(k);
            Sum = Checksum16Join(Sum, slot.Check, n * kSampleSize);
            FItems.insert(FItems.end(), slot.Samples.begin(), slot.Samples.begin() + n);
            bool wake;
            {
                std::lock_guard<std::mutex> lock(FLock);
                FAppended = k + 1;
                // Idle workers wait for half the ring: waking one for each
                // slot would cost more than the slot gains.
                wake = FIdle != 0 && 2 * (FAppended + FSlots.size() - FNext) >= FSlots.size();
            }
            if (wake)
                FSlotFree.notify_all();
        }
        return true;
    }

private:
    static constexpr std::size_t kRecords = 1 << 14;
    static constexpr std::size_t kMaxWorkers = 4;
    // Slack for a worker that the system keeps waiting.
    static constexpr std::size_t kSlotsPerWorker = 4;
    static constexpr std::size_t kFaultRecords = 1 << 17;

    struct TSlot {
        std::vector<TSample> Samples;
        uint16_t Check = 0;   // of the chunk's bytes from 0
        std::size_t Done = 0; // 1 + the chunk last decoded here
        bool Read = false;
    };

    static std::size_t Workers(std::size_t Chunks) {
        const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
        return std::min({Chunks, cores, kMaxWorkers});
    }
    std::size_t Records(std::size_t K) const { return std::min(kRecords, FCount - K * kRecords); }
    TSlot& Slot(std::size_t K) { return FSlots[K % FSlots.size()]; }

    void Work(std::vector<uint8_t>& Raw) {
        for (;;) {
            std::size_t k;
            {
                std::unique_lock<std::mutex> lock(FLock);
                const auto runnable = [&] {
                    return FAbandoned || FNext >= FChunks || FNext < FAppended + FSlots.size();
                };
                if (!runnable()) {
                    ++FIdle;
                    FSlotFree.wait(lock, runnable);
                    --FIdle;
                }
                if (FAbandoned || FNext >= FChunks)
                    return;
                k = FNext++;
            }
            TSlot& slot = Slot(k);
            const std::size_t n = Records(k);
            const std::size_t bytes = n * kSampleSize;
            const bool read =
                FFile.ReadAt(FAt + k * kRecords * kSampleSize, Raw.data(), bytes) == bytes;
            if (read) {
                slot.Check = Check(0, Raw.data(), bytes);
                TSample* out = slot.Samples.data();
                for (std::size_t i = 0; i < n; ++i)
                    out[i] = GetSample(Raw.data() + i * kSampleSize);
            }
            bool awaited;
            {
                std::lock_guard<std::mutex> lock(FLock);
                slot.Read = read;
                slot.Done = k + 1;
                awaited = k == FAppended;
            }
            if (awaited)
                FChunkDone.notify_one();
        }
    }

    void FaultIn() {
        for (std::size_t first = 0;; first += kFaultRecords) {
            {
                std::lock_guard<std::mutex> lock(FLock);
                if (FAbandoned)
                    return;
                // The appending faults its pages itself once it has caught up.
                first = std::max(first, FAppended * kRecords);
            }
            if (first >= FCount ||
                !FaultInPages(FDest + first,
                              std::min(kFaultRecords, FCount - first) * sizeof(TSample)))
                return;
        }
    }

    void Abandon() {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FAbandoned = true;
        }
        FSlotFree.notify_all();
        for (std::thread& thread : FThreads)
            thread.join();
    }

    IFile& FFile;
    const uint64_t FAt;
    const std::size_t FCount;
    const std::size_t FChunks;
    std::vector<TSample>& FItems;
    TSample* const FDest;                   // reserved for every sample
    std::vector<std::vector<uint8_t>> FRaw; // a chunk's bytes, one buffer a worker
    std::vector<TSlot> FSlots;
    // Mutex and condition variables, not std::atomic's wait: the MinGW
    // runtime's atomic wait can miss a notification and hang the load.
    std::mutex FLock;
    std::condition_variable FSlotFree;  // workers wait for a slot
    std::condition_variable FChunkDone; // the appending thread waits for its next chunk
    std::size_t FNext = 0;              // chunks taken by a worker
    std::size_t FAppended = 0;          // chunks appended to Items
    std::size_t FIdle = 0;              // workers waiting for a slot
    bool FAbandoned = false;
    std::vector<std::thread> FThreads;
};

bool ReadSamples(IFile& F, uint64_t& At, std::size_t Count, std::vector<TSample>& Items,
                 uint16_t& Sum) {
    ReserveLargePages(Items, Count);
    if (!TSampleLoader(F, At, Count, Items).Run(Sum))
        return false;
    At += Count * kSampleSize;
    return true;
}

bool WriteFile(IFile& F, const TRecordFileData& Data) {
    std::vector<uint8_t> header = EncodeRecFileHeader(Data);
    uint16_t sum = GetU16(header.data() + 2);
    PutU16(header.data(), 0);
    uint64_t at = 0;
    if (F.WriteAt(at, header.data(), header.size()) != header.size())
        return false;
    at += header.size();
    if (!WriteRecords(F, at, Data.Headers, kBlockHeaderSize, PutBlockHeader, sum) ||
        !WriteSamples(F, at, Data.Samples, sum))
        return false;
    uint8_t word[2];
    PutU16(word, sum);
    return F.WriteAt(0, word, 2) == 2 && F.Flush();
}

// Where the two layouts keep their fields.
struct TLayout {
    std::size_t HeaderSize;
    std::size_t CheckFrom; // the file check starts at this header byte
    bool Current;          // a header check at 2 over bytes 4..; 435-byte block headers
    std::size_t Flag, Version, SizeField, Blocks, Samples, Units;
    std::size_t BlockHeaderSize;
};

constexpr TLayout kCurrent = {kRecFileHeaderSize, 4, true, 4, 6, 8, 12, 14, 18, kBlockHeaderSize};
constexpr TLayout kOld = {kOldRecFileHeaderSize, 2, false, 2, 4, 6, 10, 12, 16,
                          kOldBlockHeaderSize};

enum class TLayoutResult {
    Accepted,
    Unreadable, // the header does not hold together: not this layout
    Rejected,   // readable, but a check, the size or the version is wrong
};

struct TLayoutRead {
    TLayoutResult Result = TLayoutResult::Unreadable;
    uint16_t Version = 0;
};

TLayoutRead ReadLayout(IFile& F, uint64_t FileSize, const TLayout& L, TRecordFileData& Data) {
    TLayoutRead r;
    Data.Headers = {}; // frees what a failed layout read
    Data.Samples = {};
    if (FileSize < L.HeaderSize)
        return r;
    std::vector<uint8_t> h(L.HeaderSize);
    if (F.ReadAt(0, h.data(), h.size()) != h.size())
        return r;
    r.Version = GetU16(h.data() + L.Version);
    if (L.Current) {
        if (Check(0, h.data() + 4, h.size() - 4) != GetU16(h.data() + 2))
            return r;
        // The header check vouches for the version: a newer layout may differ in everything else.
        if (r.Version > 1) {
            r.Result = TLayoutResult::Rejected;
            return r;
        }
    }
    const uint64_t blocks = GetU16(h.data() + L.Blocks);
    const uint64_t samples = GetU32(h.data() + L.Samples);
    // Counts are trusted only as far as the file holds them.
    if (L.HeaderSize + blocks * L.BlockHeaderSize + samples * kSampleSize > FileSize)
        return r;

    uint16_t sum = Check(0, h.data() + L.CheckFrom, h.size() - L.CheckFrom);
    uint64_t at = L.HeaderSize;
    bool read;
    if (!L.Current) {
        std::vector<TRecBlockHeaderOld> old;
        read = ReadRecords(F, at, blocks, old, L.BlockHeaderSize, GetOldBlockHeader, sum);
        Data.Headers = ConvertOldBlockHeaders(old);
    } else {
        read = ReadRecords(F, at, blocks, Data.Headers, L.BlockHeaderSize, GetBlockHeader, sum);
    }
    if (!read || !ReadSamples(F, at, samples, Data.Samples, sum))
        return r;
    // Only a file whose check holds can speak for its version.
    if (sum != GetU16(h.data()))
        return r;
    const bool accepted = r.Version <= 1 && GetU32(h.data() + L.SizeField) == L.HeaderSize;
    r.Result = accepted ? TLayoutResult::Accepted : TLayoutResult::Rejected;
    if (!accepted)
        return r;

    Data.Units = {h[L.Units], h[L.Units + 1], h[L.Units + 2]};
    Data.SettingsPresent = L.Current && GetU16(h.data() + L.Flag) != 0;
    Data.View = Data.SettingsPresent ? GetView(h.data() + kViewAt) : TRecViewSettings{};
    Data.HumOverride = Data.SettingsPresent ? GetI32(h.data() + 1524) : -1;
    Data.TempOverride = Data.SettingsPresent ? GetI32(h.data() + 1528) : -1;
    Data.DateOverride = Data.SettingsPresent ? GetI32(h.data() + 1532) : -1;
    return r;
}

std::string Message(const char* Fmt, const std::string& FileName) {
    return Format(Fmt, FileName.c_str());
}

} // namespace

std::vector<uint8_t> EncodeRecFileHeader(const TRecordFileData& Data) {
    std::vector<uint8_t> h(kRecFileHeaderSize, 0);
    PutU16(h.data() + 4, 1);
    PutU16(h.data() + 6, 1);
    PutU32(h.data() + 8, kRecFileHeaderSize);
    PutU16(h.data() + 12, static_cast<uint16_t>(Data.Headers.size()));
    PutU32(h.data() + 14, static_cast<uint32_t>(Data.Samples.size()));
    h[18] = Data.Units.HumidityMode;
    h[19] = Data.Units.TemperatureUnit;
    h[20] = Data.Units.DateFormat;
    PutView(h.data() + kViewAt, Data.View);
    PutI32(h.data() + 1524, Data.HumOverride);
    PutI32(h.data() + 1528, Data.TempOverride);
    PutI32(h.data() + 1532, Data.DateOverride);
    const uint16_t headerCheck = Check(0, h.data() + 4, h.size() - 4);
    PutU16(h.data() + 2, headerCheck);
    PutU16(h.data(), headerCheck);
    return h;
}

std::string SaveRecordFile(IFileSystem& Fs, const std::string& FileName,
                           const TRecordFileData& Data) {
    const bool hadFile = Fs.Exists(FileName);
    const std::string failed =
        Format(sCannotSave, FileName.c_str()) + (hadFile ? sPreviousKept : "");
    if (Data.Headers.size() > 0xFFFF || Data.Samples.size() > 0xFFFFFFFFu)
        return failed;
    return WriteBeside(Fs, FileName, [&Data](IFile& F) { return WriteFile(F, Data); })
               ? std::string()
               : failed;
}

bool WriteBeside(IFileSystem& Fs, const std::string& FileName,
                 const std::function<bool(IFile& File)>& Write) {
    const std::string sibling = FileName + ".saving~";
    TFileError error;
    std::unique_ptr<IFile> f = Fs.Open(sibling, TOpenMode::CreateExclusive, error);
    if (!f)
        return false;
    const bool written = Write(*f);
    f.reset();
    if (!written || !Fs.Replace(sibling, FileName)) {
        Fs.Remove(sibling);
        return false;
    }
    return true;
}

TLoadOutcome LoadRecordFile(IFileSystem& Fs, const std::string& FileName, TRecordFileData& Data) {
    TFileError error;
    std::unique_ptr<IFile> f = Fs.Open(FileName, TOpenMode::ReadExclusive, error);
    if (!f)
        return {TLoadResult::CannotOpen, Message(sCannotOpenDocument, FileName)};
    const uint64_t size = f->Size();
    const TLayoutRead current = ReadLayout(*f, size, kCurrent, Data);
    if (current.Result == TLayoutResult::Accepted)
        return {};
    const TLayoutRead old = ReadLayout(*f, size, kOld, Data);
    if (old.Result == TLayoutResult::Accepted)
        return {};
    Data.Headers = {};
    Data.Samples = {};
    // A newer version is named only by a header whose check holds.
    const bool newer = (current.Result == TLayoutResult::Rejected && current.Version > 1) ||
                       (old.Result == TLayoutResult::Rejected && old.Version > 1);
    if (newer)
        return {TLoadResult::NewerVersion, Message(sNewerVersion, FileName)};
    return {TLoadResult::CannotOpen, Message(sCannotOpenDocument, FileName)};
}

#include "app/record/TempFiles_.h"

#include "app/base/LittleEndian_.h"
#include "app/base/Tools_.h"

#include <algorithm>
#include <cstring>

std::string DeviceKey(const char (&DevId)[21], uint16_t UsbProductId, int32_t InterfaceIndex) {
    const std::string id(DevId, strnlen(DevId, sizeof DevId));
    return Format("%s%s#0x%04X", InterfaceIndex <= 255 ? "c" : "", id.c_str(), UsbProductId);
}

TTempFileNames TempFileNames(const std::string& TempDir, const std::string& Key,
                             int32_t SerialNumber, int32_t Chamber) {
    const char* d = TempDir.c_str();
    const char* k = Key.c_str();
    return {Format(sTempSampleFile, d, k, SerialNumber, Chamber),
            Format(sTempBlockFile, d, k, SerialNumber, Chamber),
            Format(sTempChamberFile, d, k, SerialNumber, Chamber)};
}

std::vector<uint8_t> EncodeChamberInfo(const TChamberInfoTemp& Info) {
    const std::size_t l1 = Info.RecordFileName.size();
    const std::size_t l2 = Info.InfoText.size();
    std::vector<uint8_t> out(8 + l1 + l2 + sizeof Info.Name);
    PutU32(out.data(), static_cast<uint32_t>(l1));
    PutU32(out.data() + 4, static_cast<uint32_t>(l2));
    std::memcpy(out.data() + 8, Info.RecordFileName.data(), l1);
    std::memcpy(out.data() + 8 + l1, Info.InfoText.data(), l2);
    std::memcpy(out.data() + 8 + l1 + l2, Info.Name, sizeof Info.Name);
    return out;
}

std::optional<TChamberInfoTemp> DecodeChamberInfo(const uint8_t* Data, std::size_t Size) {
    TChamberInfoTemp info;
    if (Size < 8 + sizeof info.Name)
        return std::nullopt;
    const uint64_t l1 = GetU32(Data);
    const uint64_t l2 = GetU32(Data + 4);
    if (8 + l1 + l2 + sizeof info.Name != Size)
        return std::nullopt;
    const char* text = reinterpret_cast<const char*>(Data + 8);
    info.RecordFileName.assign(text, l1);
    info.InfoText.assign(text + l1, l2);
    std::memcpy(info.Name, text + l1 + l2, sizeof info.Name);
    return info;
}

bool CheckTempData(const TRecording& Data) {
    uint64_t counted = 0;
    for (std::size_t j = 0; j < Data.Headers.size(); ++j) {
        const TRecBlockHeader& h = Data.Headers[j];
        if (h.Block != j + 1 || counted + h.Count > Data.Samples.size())
            return false;
        for (uint64_t i = counted; i < counted + h.Count; ++i)
            if (Data.Samples[i].Block != j + 1)
                return false;
        counted += h.Count;
    }
    return counted == Data.Samples.size();
}

void RescueTempData(TRecording& Data) {
    // No sample can name a block beyond the 16-bit numbers.
    if (Data.Headers.size() > kMaxBlocks)
        Data.Headers.resize(kMaxBlocks);
    // Block numbers of the samples made non-decreasing and at least 1; a sample
    // may open a block one beyond the headers (its header was lost), but a wild
    // number does not make thousands of empty blocks.
    uint16_t block = 1;
    uint16_t lastOwn = 1;
    for (TSample& s : Data.Samples) {
        const uint16_t own = s.Block; // packed: no reference to it
        if (own > block && own != lastOwn) {
            const std::size_t highest = std::max<std::size_t>(block + 1u, Data.Headers.size());
            block = static_cast<uint16_t>(std::min<std::size_t>({own, highest, kMaxBlocks}));
        }
        lastOwn = own;
        s.Block = block;
    }
    const std::size_t blocks =
        std::max<std::size_t>(Data.Headers.size(), Data.Samples.empty() ? 0 : block);
    TRecBlockHeader model{};
    std::memcpy(model.DevUser, "---", 3);
    std::memcpy(model.OSUser, "---", 3);
    for (std::size_t j = 0; j < blocks; ++j) {
        if (j < Data.Headers.size())
            model = Data.Headers[j];
        else
            Data.Headers.push_back(model);
        Data.Headers[j].Block = static_cast<uint16_t>(j + 1);
        Data.Headers[j].Count = 0;
    }
    for (const TSample& s : Data.Samples)
        ++Data.Headers[s.Block - 1].Count;
}

TTempFiles::TOpenResult TTempFiles::Open(const TTempFileNames& Names) {
    Close();
    FNames = Names;
    TFileError error = TFileError::None;
    FSamples = FFs.Open(Names.Samples, TOpenMode::OpenShared, error);
    const bool earlier = FSamples != nullptr;
    if (!earlier && error != TFileError::NotFound)
        return TOpenResult::Kept;
    auto openOther = [&](const std::string& Name) {
        std::unique_ptr<IFile> f;
        if (earlier)
            f = FFs.Open(Name, TOpenMode::OpenShared, error);
        if (!f && (!earlier || error == TFileError::NotFound))
            f = FFs.Open(Name, TOpenMode::CreateShared, error);
        return f;
    };
    if (!earlier)
        FSamples = FFs.Open(Names.Samples, TOpenMode::CreateShared, error);
    FBlocks = openOther(Names.Blocks);
    FChamber = openOther(Names.ChamberInfo);
    if (!FSamples || !FBlocks || !FChamber) {
        Close();
        return earlier ? TOpenResult::Kept : TOpenResult::Failed;
    }
    FSamplesWritten = FBlocksWritten = FFirstCountBlock = 0;
    return earlier ? TOpenResult::EarlierData : TOpenResult::Created;
}

namespace {

// Reads the whole records of F into Items; cuts a partial record off the end.
template <class T, class TGet>
bool ReadWhole(IFile& F, std::size_t RecordSize, TGet Get, std::vector<T>& Items) {
    const uint64_t size = F.Size();
    const uint64_t n = size / RecordSize;
    if (n * RecordSize != size && !F.Truncate(n * RecordSize))
        return false;
    Items.clear();
    Items.reserve(n);
    std::vector<uint8_t> buf(RecordSize * std::min<uint64_t>(n, 4096));
    for (uint64_t first = 0; first < n; first += 4096) {
        const std::size_t k = static_cast<std::size_t>(std::min<uint64_t>(4096, n - first));
        if (F.ReadAt(first * RecordSize, buf.data(), k * RecordSize) != k * RecordSize)
            return false;
        for (std::size_t i = 0; i < k; ++i)
            Items.push_back(Get(buf.data() + i * RecordSize));
    }
    return true;
}

} // namespace

bool TTempFiles::ReadData(TRecording& Data) {
    if (!IsOpen())
        return false;
    const bool read = ReadWhole(*FSamples, kSampleSize, GetSample, Data.Samples) &&
                      ReadWhole(*FBlocks, kBlockHeaderSize, GetBlockHeader, Data.Headers);
    FSamplesWritten = Data.Samples.size();
    FBlocksWritten = Data.Headers.size();
    FFirstCountBlock = 0;
    return read;
}

std::optional<TChamberInfoTemp> TTempFiles::ReadChamberInfo() {
    if (!IsOpen())
        return std::nullopt;
    const uint64_t size = FChamber->Size();
    uint8_t lengths[8];
    if (size < 8 || FChamber->ReadAt(0, lengths, 8) != 8)
        return std::nullopt;
    // Both lengths come from the file: add them in 64 bits and believe them only
    // when the file is that long.
    if (8 + uint64_t{GetU32(lengths)} + GetU32(lengths + 4) + 41 != size)
        return std::nullopt;
    std::vector<uint8_t> all(static_cast<std::size_t>(size));
    if (FChamber->ReadAt(0, all.data(), all.size()) != all.size())
        return std::nullopt;
    return DecodeChamberInfo(all.data(), all.size());
}

bool TTempFiles::WriteChamberInfo(const TChamberInfoTemp& Info) {
    if (!IsOpen())
        return true;
    const std::vector<uint8_t> bytes = EncodeChamberInfo(Info);
    return FChamber->Truncate(0) &&
           FChamber->WriteAt(0, bytes.data(), bytes.size()) == bytes.size() && FChamber->Flush();
}

namespace {

// Writes Items[Written..] at Written * RecordSize in chunks; Written counts the
// whole records that reached the file, which is cut back to them on a failure.
template <class T, class TPut>
bool WriteMissing(IFile& F, const std::vector<T>& Items, std::size_t RecordSize, TPut Put,
                  std::size_t& Written) {
    std::vector<uint8_t> buf;
    while (Written < Items.size()) {
        const std::size_t n = std::min<std::size_t>(4096, Items.size() - Written);
        buf.resize(n * RecordSize);
        for (std::size_t i = 0; i < n; ++i)
            Put(buf.data() + i * RecordSize, Items[Written + i]);
        const std::size_t done = F.WriteAt(uint64_t{Written} * RecordSize, buf.data(), buf.size());
        Written += done / RecordSize;
        if (done != buf.size()) {
            F.Truncate(uint64_t{Written} * RecordSize);
            return false;
        }
    }
    return true;
}

} // namespace

bool TTempFiles::Sync(const TRecording& Data) {
    if (!WriteMissing(*FBlocks, Data.Headers, kBlockHeaderSize, PutBlockHeader, FBlocksWritten) ||
        !WriteMissing(*FSamples, Data.Samples, kSampleSize, PutSample, FSamplesWritten))
        return false;
    uint8_t count[4];
    for (std::size_t j = FFirstCountBlock; j < Data.Headers.size(); ++j) {
        PutU32(count, Data.Headers[j].Count);
        if (FBlocks->WriteAt(uint64_t{j} * kBlockHeaderSize + kBlockCountOffset, count, 4) != 4)
            return false;
        FFirstCountBlock = j;
    }
    return true;
}

bool TTempFiles::Append(const TRecording& Data, uint64_t NowMs) {
    if (!IsOpen())
        return true;
    const bool newBlock = FBlocksWritten < Data.Headers.size();
    if (!Sync(Data))
        return false;
    if (newBlock || NowMs - FLastFlushMs >= kTempFlushMs) {
        FLastFlushMs = NowMs;
        return FSamples->Flush() && FBlocks->Flush();
    }
    return true;
}

bool TTempFiles::Stop(const TRecording& Data) {
    if (!IsOpen())
        return true;
    if (!Sync(Data))
        return false;
    if (!Data.Samples.empty()) {
        uint8_t buf[kSampleSize];
        const std::size_t last = Data.Samples.size() - 1;
        PutSample(buf, Data.Samples[last]);
        if (FSamples->WriteAt(last * kSampleSize, buf, kSampleSize) != kSampleSize)
            return false;
    }
    return FSamples->Flush() && FBlocks->Flush();
}

bool TTempFiles::Clear(const TChamberInfoTemp& Info) {
    if (!IsOpen())
        return true;
    TChamberInfoTemp unnamed = Info;
    unnamed.RecordFileName.clear();
    return Empty() && WriteChamberInfo(unnamed);
}

bool TTempFiles::Empty() {
    if (!IsOpen())
        return true;
    FSamplesWritten = FBlocksWritten = FFirstCountBlock = 0;
    return FSamples->Truncate(0) && FBlocks->Truncate(0) && FChamber->Truncate(0) &&
           FSamples->Flush() && FBlocks->Flush() && FChamber->Flush();
}

bool TTempFiles::Rewrite(const TRecording& Data) {
    if (!IsOpen())
        return true;
    FSamplesWritten = FBlocksWritten = FFirstCountBlock = 0;
    if (!FSamples->Truncate(0) || !FBlocks->Truncate(0))
        return false;
    return Sync(Data) && FSamples->Flush() && FBlocks->Flush();
}

void TTempFiles::Close() {
    FSamples.reset();
    FBlocks.reset();
    FChamber.reset();
}

std::vector<std::string> TTempFiles::Delete() {
    Close();
    std::vector<std::string> kept;
    for (const std::string* name : {&FNames.Samples, &FNames.Blocks, &FNames.ChamberInfo})
        if (!name->empty() && FFs.Exists(*name) && !FFs.Remove(*name))
            kept.push_back(*name);
    return kept;
}

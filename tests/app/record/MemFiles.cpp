#include "MemFiles.h"

#include <algorithm>
#include <cstring>

namespace {

class TMemFileHandle : public IFile {
public:
    TMemFileHandle(TMemFileSystem& Fs, std::string Name) : FFs(Fs), FName(std::move(Name)) {}

    std::size_t ReadAt(uint64_t Offset, void* Buffer, std::size_t Size) override {
        // find, not []: reads run on several threads at once and must not insert.
        const auto file = FFs.Files.find(FName);
        if (file == FFs.Files.end())
            return 0;
        const std::vector<uint8_t>& d = file->second.Data;
        if (Offset >= d.size() || Offset + Size > FFs.ReadableBytes)
            return 0;
        const std::size_t n = std::min<uint64_t>(Size, d.size() - Offset);
        std::memcpy(Buffer, d.data() + Offset, n);
        return n;
    }
    std::size_t WriteAt(uint64_t Offset, const void* Buffer, std::size_t Size) override {
        if (FFs.WritesBeforeCrash == 0)
            throw TSimulatedCrash{};
        if (FFs.WritesBeforeCrash > 0)
            --FFs.WritesBeforeCrash;
        std::size_t n = Size;
        if (FFs.WriteBudget >= 0 && static_cast<uint64_t>(FFs.WriteBudget) < n) {
            n = static_cast<std::size_t>(FFs.WriteBudget);
            FError = FFs.BudgetError;
        }
        if (FFs.WriteBudget >= 0)
            FFs.WriteBudget -= static_cast<int64_t>(n);
        std::vector<uint8_t>& d = File().Data;
        if (n == 0)
            return 0; // memcpy wants real blocks even for no bytes
        if (d.size() < Offset + n)
            d.resize(Offset + n);
        std::memcpy(d.data() + Offset, Buffer, n);
        return n;
    }
    uint64_t Size() override { return File().Data.size(); }
    bool Truncate(uint64_t Size) override {
        File().Data.resize(Size);
        return true;
    }
    bool Flush() override {
        ++FFs.Flushes;
        File().Durable = File().Data;
        return true;
    }
    TFileError LastError() const override { return FError; }

private:
    TMemFileSystem::TMemFile& File() { return FFs.Files[FName]; }

    TMemFileSystem& FFs;
    std::string FName;
    TFileError FError = TFileError::None;
};

} // namespace

std::unique_ptr<IFile> TMemFileSystem::Open(const std::string& Name, TOpenMode Mode,
                                            TFileError& Error) {
    Error = TFileError::None;
    if (Locked.count(Name)) {
        Error = TFileError::Denied;
        return nullptr;
    }
    const bool creates = Mode == TOpenMode::CreateExclusive || Mode == TOpenMode::CreateShared;
    if (!creates && !Files.count(Name)) {
        Error = TFileError::NotFound;
        return nullptr;
    }
    if (creates)
        Files[Name].Data.clear();
    return std::make_unique<TMemFileHandle>(*this, Name);
}

bool TMemFileSystem::Remove(const std::string& Name) {
    if (Locked.count(Name))
        return false;
    return Files.erase(Name) != 0;
}

bool TMemFileSystem::Replace(const std::string& From, const std::string& To) {
    if (ReplaceFails || Locked.count(To) || !Files.count(From))
        return false;
    Files[To] = Files[From];
    Files.erase(From);
    return true;
}

void TMemFileSystem::PowerLoss() {
    for (auto& [name, file] : Files)
        file.Data = file.Durable;
}

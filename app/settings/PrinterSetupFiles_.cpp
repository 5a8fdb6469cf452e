#include "app/settings/PrinterSetupFiles_.h"

#include <cstdio>
#include <memory>

namespace {

struct TCloseFile {
    void operator()(std::FILE* F) const { std::fclose(F); }
};
using TFile = std::unique_ptr<std::FILE, TCloseFile>;

} // namespace

bool TDiskSetupFiles::Exists(const std::string& FileName) {
    return TFile(std::fopen(FileName.c_str(), "rb")) != nullptr;
}

std::optional<std::vector<uint8_t>> TDiskSetupFiles::Read(const std::string& FileName) {
    TFile f(std::fopen(FileName.c_str(), "rb"));
    if (!f)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f.get())) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    if (std::ferror(f.get()))
        return std::nullopt;
    return bytes;
}

bool TDiskSetupFiles::Write(const std::string& FileName, const std::vector<uint8_t>& Bytes) {
    std::FILE* f = std::fopen(FileName.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
    // Closing flushes; a failing flush is a failing write.
    return std::fclose(f) == 0 && written;
}

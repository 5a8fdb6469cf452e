// The three temporary files that mirror a chamber's recording (samples, block
// headers, chamber info), so that a crash or power loss loses nothing but the
// sample being written.
#pragma once

#include "app/record/Files_.h"
#include "app/values/RecordData_.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

inline constexpr char sTempSampleFile[] = "%s%s_%d_%d~.tmp";
inline constexpr char sTempBlockFile[] = "%s%s_%d_%dh~.tmp";
inline constexpr char sTempChamberFile[] = "%s%s_%d_%dc~.tmp";
inline constexpr char sCannotWriteTemp[] = "Cannot write into the temporary file in directory %s!";
inline constexpr char sCannotDeleteTemp[] = "Cannot delete temporary file %s!";

// Written at least this often while recording, and whenever a block opens or
// the recording stops.
inline constexpr uint64_t kTempFlushMs = 10000;

struct TTempFileNames {
    std::string Samples, Blocks, ChamberInfo;
};

// The device id up to its first NUL, "#0x" and the USB product id in four
// upper-case hex digits; "c" in front for a serial link (interface index <= 255).
std::string DeviceKey(const char (&DevId)[21], uint16_t UsbProductId, int32_t InterfaceIndex);
// TempDir ends in a path separator.
TTempFileNames TempFileNames(const std::string& TempDir, const std::string& Key,
                             int32_t SerialNumber, int32_t Chamber);

struct TChamberInfoTemp {
    std::string RecordFileName;
    std::string InfoText;
    char Name[41] = {};
};

// L1, L2, the record file name, the info text, the 41-byte name.
std::vector<uint8_t> EncodeChamberInfo(const TChamberInfoTemp& Info);
// Nothing unless the lengths add up to the size exactly.
std::optional<TChamberInfoTemp> DecodeChamberInfo(const uint8_t* Data, std::size_t Size);

// Header i has number i + 1, every block's samples follow in order and carry its
// number, and the counts add up to the samples. Empty blocks are fine.
bool CheckTempData(const TRecording& Data);
// Makes Data consistent keeping every sample: a sample whose block number is
// out of order joins the block before it, missing headers are made from the one
// before them, counts are recounted and the numbers renewed.
void RescueTempData(TRecording& Data);

// The files of one chamber window, open for as long as the window lives.
class TTempFiles {
public:
    explicit TTempFiles(IFileSystem& Fs) : FFs(Fs) {}

    enum class TOpenResult {
        Created,     // none existed: three new empty files
        EarlierData, // a sample file was there: offer a restore
        Kept,        // files are there but cannot be opened: left alone, no mirror
        Failed,      // cannot be created
    };
    TOpenResult Open(const TTempFileNames& Names);
    bool IsOpen() const { return FSamples != nullptr; }
    const TTempFileNames& Names() const { return FNames; }

    // Whole records only; a partial record at the end is cut off the file, so
    // later writes stay aligned. False when reading fails.
    bool ReadData(TRecording& Data);
    std::optional<TChamberInfoTemp> ReadChamberInfo();
    // Nothing when the files are not open.
    bool WriteChamberInfo(const TChamberInfoTemp& Info);

    // Brings the files up to Data: headers and samples not yet written, then the
    // counts of the blocks that changed. Samples go to 23 * index, so a failed
    // write is caught up by the next call. False when a write fell short.
    bool Append(const TRecording& Data, uint64_t NowMs);
    // The last sample again with its stop mark; flushed.
    bool Stop(const TRecording& Data);
    // Overwrite or a declined rescue: no samples, no blocks, and no record file
    // name, so the next save cannot land on the file of the earlier recording.
    bool Clear(const TChamberInfoTemp& Info);
    // All three files empty, as if new.
    bool Empty();
    // After a record file was loaded into the window.
    bool Rewrite(const TRecording& Data);

    void Close();
    // Closes and deletes each file that exists; returns those that stay.
    std::vector<std::string> Delete();

private:
    bool Sync(const TRecording& Data);

    IFileSystem& FFs;
    TTempFileNames FNames;
    std::unique_ptr<IFile> FSamples, FBlocks, FChamber;
    std::size_t FSamplesWritten = 0; // whole records known to be in the files
    std::size_t FBlocksWritten = 0;
    std::size_t FFirstCountBlock = 0; // counts from this block on may be stale
    uint64_t FLastFlushMs = 0;
};

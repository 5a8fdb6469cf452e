// Files in memory for the record tests, with the faults a disk shows: locked
// files, unreadable sectors, short writes, write errors, a full disk, a crash between two writes
// and a power loss that keeps only what was flushed.
#pragma once

#include "app/record/Files_.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// Thrown by a write when the simulated program dies before it.
struct TSimulatedCrash {};

class TMemFileSystem : public IFileSystem {
public:
    struct TMemFile {
        std::vector<uint8_t> Data;
        std::vector<uint8_t> Durable; // as of the last flush
    };

    std::unique_ptr<IFile> Open(const std::string& Name, TOpenMode Mode,
                                TFileError& Error) override;
    bool Exists(const std::string& Name) override { return Files.count(Name) != 0; }
    bool Remove(const std::string& Name) override;
    bool Replace(const std::string& From, const std::string& To) override;

    // Every file as of its last flush.
    void PowerLoss();
    std::vector<uint8_t>& operator[](const std::string& Name) { return Files[Name].Data; }

    std::map<std::string, TMemFile> Files;
    std::set<std::string> Locked; // exist but cannot be opened or removed
    int64_t WriteBudget = -1;     // bytes that may still be written; -1: no limit
    TFileError BudgetError = TFileError::DiskFull;
    int64_t WritesBeforeCrash = -1; // write calls before the crash; -1: none
    bool ReplaceFails = false;
    uint64_t ReadableBytes = UINT64_MAX; // a read reaching past these fails: a bad sector
    int Flushes = 0;
};

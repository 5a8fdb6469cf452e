// Whole-file access for the printer setup files: an interface, so the printer
// setup can be tested without a disk, and its implementation on the C runtime's
// files (file names in the ANSI code page on Windows).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ISetupFiles {
public:
    virtual bool Exists(const std::string& FileName) = 0;
    // The file's bytes; none when it is missing or cannot be read.
    virtual std::optional<std::vector<uint8_t>> Read(const std::string& FileName) = 0;
    // Creates or replaces the file; false when it cannot be written whole.
    virtual bool Write(const std::string& FileName, const std::vector<uint8_t>& Bytes) = 0;

protected:
    ~ISetupFiles() = default;
};

class TDiskSetupFiles : public ISetupFiles {
public:
    bool Exists(const std::string& FileName) override;
    std::optional<std::vector<uint8_t>> Read(const std::string& FileName) override;
    bool Write(const std::string& FileName, const std::vector<uint8_t>& Bytes) override;
};

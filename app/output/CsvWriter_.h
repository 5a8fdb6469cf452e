// Writing the CSV file: the header lines of the preview grid, then the data
// line of every exported sample, streamed through a fixed buffer so the
// memory does not grow with the record. Each line ends with CR LF. The file
// is written beside the target and put in its place only when complete, so a
// failed export leaves an earlier file as it was.
#pragma once

#include "app/output/CsvPreview_.h"
#include "app/record/Files_.h"

#include <cstdint>
#include <functional>
#include <string>

// Converts complete lines of the application's texts (the ANSI code page
// Windows-1252) into the code page of the file, in place.
using TCodePageConversion = std::function<void(std::string& Lines)>;

// Tells a progress bar of Steps positions over First .. Last about the next
// sample only when its position changes, so a long export moves it a few
// hundred times at most.
class TProgressSteps {
public:
    TProgressSteps(int64_t First, int64_t Last, int32_t Steps,
                   std::function<void(int64_t Next)> Moved);
    void Next(int64_t Index);

private:
    int64_t FFirst;
    int64_t FSpan;
    int32_t FSteps;
    int64_t FStep = -1;
    std::function<void(int64_t)> FMoved;
};

struct TCsvFileArgs {
    const TCsvPreview* Preview = nullptr; // built for Source and Choice
    TCsvSource Source;
    TCsvChoice Choice;
    TCodePageConversion Convert; // none: the bytes as they are
    int32_t ProgressSteps = 100;
    std::function<void(int64_t Next)> Progress; // may be empty
};

// Writes the file; an empty text on success, else the message to show.
std::string ExportToFile(IFileSystem& Fs, const std::string& FileName, const TCsvFileArgs& Args);

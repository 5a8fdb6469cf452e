// The export window's preview grid: the header part of the file (program,
// reduction, records and column title groups) followed by the first data
// rows, each row as it will stand in the file. Column 0 holds the row numbers,
// row 0 the column letters; column 1 ("A") is the file's first column. The
// file's header lines are taken from this grid.
#pragma once

#include "app/base/Grid_.h"
#include "app/output/CsvExport_.h"

#include <cstdint>
#include <string>

inline constexpr char sCsvProgramInfo[] = "%s %s";
inline constexpr char sCsvReductionMethod[] = "Reduction Method:";
inline constexpr char sCsvNoReduction[] = "No reduction";
inline constexpr char sCsvAverage[] = "Average of n readings";
inline constexpr char sCsvEveryNth[] = "Take only every n-th reading";
inline constexpr char sCsvSampleRate[] = "Samplerate: [s]";
inline constexpr char sCsvRowsPanel[] = "Rows in the file to be written:";
inline constexpr char sCsvReadingsPanel[] = "Reading to be exported:";
inline constexpr char kMorliskModel[] = "MORLISK";

// Grid rows, the fixed row included.
inline constexpr int32_t kCsvPreviewRows = 51;

class TCsvPreview {
public:
    TCsvPreview();

    TStringGridData& Grid() { return FGrid; }
    const TStringGridData& Grid() const { return FGrid; }
    // Grid rows after the header part, the fixed row included: the file's
    // header lines are rows 1 .. HeaderRows() - 1.
    int32_t HeaderRows() const { return FHeaderRows; }

    // The header part, then one row per exported sample up to kCsvPreviewRows.
    void Build(const TCsvSource& Source, const TCsvChoice& Choice);
    // Text into (Column, last row); NewRow appends a row first. Columns
    // beyond the last are made, the new last one labelled.
    void AddCell(int32_t Column, const std::string& Text, bool NewRow);
    // Grid row Row as comma text without its row number: one field per column.
    std::string HeaderLine(int32_t Row) const;

private:
    // A group's first cell opens a row unless row 1 is still unused.
    void AddFirstCell(int32_t Column, const std::string& Text);
    void AddRecordsInfo(const TCsvSource& Source, const TCsvChoice& Choice);
    void AddColumnTitles(const TCsvSource& Source, const TCsvChoice& Choice);

    TStringGridData FGrid;
    int32_t FHeaderRows = 2;
};

// Whether any block comes from an instrument log ("MORLISK").
bool HasMorliskBlocks(const TRecording& Data);

// The counts of the status bar: lines of the file and data lines.
struct TCsvCounts {
    int64_t Rows = 0;
    int64_t Readings = 0;
};
TCsvCounts CsvCounts(const TCsvPreview& Preview, const TCsvSource& Source,
                     const TCsvChoice& Choice);

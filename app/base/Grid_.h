// A string grid's cells and column widths, free of the platform: the grid
// control (StringGrid_win.h) shows it and measures its texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TStringGridData {
public:
    using TTextWidth = std::function<int32_t(const std::string&)>;

    TStringGridData(int32_t ColCount, int32_t FixedCols, int32_t FixedRows);

    int32_t ColCount() const { return FColCount; }
    // New columns are empty and 64 wide; the texts of removed columns are gone.
    void SetColCount(int32_t Cols);
    int32_t RowCount() const { return FRowCount; }
    // New rows are empty; the texts of removed rows are gone.
    void SetRowCount(int32_t Rows);
    int32_t FixedCols() const { return FFixedCols; }
    int32_t FixedRows() const { return FFixedRows; }

    // Empty outside the grid; setting outside it does nothing.
    const std::string& Cell(int32_t Col, int32_t Row) const;
    void SetCell(int32_t Col, int32_t Row, const std::string& Text);

    int32_t ColWidth(int32_t Col) const;
    void SetColWidth(int32_t Col, int32_t Width);
    int32_t GridLineWidth = 1;

    // The width of a text in the grid's font; 0 for every text until set.
    TTextWidth TextWidth;

private:
    int32_t FColCount;
    int32_t FRowCount = 0;
    int32_t FFixedCols;
    int32_t FFixedRows;
    std::vector<int32_t> FColWidths;
    std::vector<std::string> FCells; // row by row
};

// Column Col as wide as its widest text, within MinWidth..MaxWidth (the scan
// stops at the first text wider than MaxWidth), plus the grid line and 3 pixels.
void AutoSizeGridCol(TStringGridData& Grid, int32_t Col, int32_t MinWidth, int32_t MaxWidth);
// Every cell outside the fixed columns and rows becomes empty.
void ClearGridCells(TStringGridData& Grid);

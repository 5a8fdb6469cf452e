#include "app/base/Grid_.h"

#include <algorithm>

TStringGridData::TStringGridData(int32_t ColCount, int32_t FixedCols, int32_t FixedRows)
    : FColCount(std::max(ColCount, 1)), FFixedCols(FixedCols), FFixedRows(FixedRows),
      FColWidths(static_cast<std::size_t>(FColCount), 64) {}

void TStringGridData::SetRowCount(int32_t Rows) {
    FRowCount = std::max(Rows, 0);
    FCells.resize(static_cast<std::size_t>(FRowCount) * static_cast<std::size_t>(FColCount));
}

void TStringGridData::SetColCount(int32_t Cols) {
    Cols = std::max(Cols, 1);
    if (Cols == FColCount)
        return;
    std::vector<std::string> cells(static_cast<std::size_t>(FRowCount) *
                                   static_cast<std::size_t>(Cols));
    const int32_t kept = std::min(Cols, FColCount);
    for (int32_t row = 0; row < FRowCount; ++row)
        for (int32_t col = 0; col < kept; ++col)
            cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(Cols) +
                  static_cast<std::size_t>(col)] =
                std::move(
                    FCells[static_cast<std::size_t>(row) * static_cast<std::size_t>(FColCount) +
                           static_cast<std::size_t>(col)]);
    FCells = std::move(cells);
    FColCount = Cols;
    FColWidths.resize(static_cast<std::size_t>(Cols), 64);
}

const std::string& TStringGridData::Cell(int32_t Col, int32_t Row) const {
    static const std::string empty;
    if (Col < 0 || Col >= FColCount || Row < 0 || Row >= FRowCount)
        return empty;
    return FCells[static_cast<std::size_t>(Row) * static_cast<std::size_t>(FColCount) +
                  static_cast<std::size_t>(Col)];
}

void TStringGridData::SetCell(int32_t Col, int32_t Row, const std::string& Text) {
    if (Col < 0 || Col >= FColCount || Row < 0 || Row >= FRowCount)
        return;
    FCells[static_cast<std::size_t>(Row) * static_cast<std::size_t>(FColCount) +
           static_cast<std::size_t>(Col)] = Text;
}

int32_t TStringGridData::ColWidth(int32_t Col) const {
    return Col >= 0 && Col < FColCount ? FColWidths[static_cast<std::size_t>(Col)] : 0;
}

void TStringGridData::SetColWidth(int32_t Col, int32_t Width) {
    if (Col >= 0 && Col < FColCount)
        FColWidths[static_cast<std::size_t>(Col)] = Width;
}

void AutoSizeGridCol(TStringGridData& Grid, int32_t Col, int32_t MinWidth, int32_t MaxWidth) {
    int32_t w = 0;
    for (int32_t row = 0; Grid.TextWidth && row < Grid.RowCount(); ++row) {
        w = std::max(w, Grid.TextWidth(Grid.Cell(Col, row)));
        if (w > MaxWidth) {
            w = MaxWidth;
            break;
        }
    }
    w = std::max(w, MinWidth);
    Grid.SetColWidth(Col, w + Grid.GridLineWidth + 3);
}

void ClearGridCells(TStringGridData& Grid) {
    for (int32_t row = Grid.FixedRows(); row < Grid.RowCount(); ++row)
        for (int32_t col = Grid.FixedCols(); col < Grid.ColCount(); ++col)
            Grid.SetCell(col, row, std::string());
}

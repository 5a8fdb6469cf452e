// The string grid's column sizing and clearing, and the two-column text block.
#include "app/base/Grid_.h"
#include "app/base/TextColumns_.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every character 7 pixels wide.
int32_t Width7(const std::string& S) {
    return static_cast<int32_t>(S.size()) * 7;
}

TEST(AutoSizeGridCol, WidestTextWithinTheLimitsPlusLineAndThree) {
    struct Case {
        const char* name;
        std::vector<std::string> texts;
        int32_t min, max, width;
    };
    const Case cases[] = {
        {"no rows", {}, 20, 400, 20 + 1 + 3},
        {"widest text", {"ab", "abcdef", "a"}, 0, 400, 42 + 1 + 3},
        {"at least the minimum", {"ab"}, 80, 400, 80 + 1 + 3},
        {"at most the maximum", {"a", std::string(100, 'x'), "b"}, 0, 400, 400 + 1 + 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringGridData grid(2, 1, 0);
        grid.TextWidth = Width7;
        grid.SetRowCount(static_cast<int32_t>(c.texts.size()));
        for (std::size_t r = 0; r < c.texts.size(); ++r)
            grid.SetCell(1, static_cast<int32_t>(r), c.texts[r]);
        AutoSizeGridCol(grid, 1, c.min, c.max);
        EXPECT_EQ(grid.ColWidth(1), c.width);
    }
}

TEST(AutoSizeGridCol, TheScanStopsAtTheFirstTextBeyondTheMaximum) {
    TStringGridData grid(1, 0, 0);
    std::vector<std::string> measured;
    grid.TextWidth = [&measured](const std::string& S) {
        measured.push_back(S);
        return Width7(S);
    };
    grid.SetRowCount(3);
    grid.SetCell(0, 0, "a");
    grid.SetCell(0, 1, std::string(10, 'x'));
    grid.SetCell(0, 2, "b");
    AutoSizeGridCol(grid, 0, 0, 50);
    EXPECT_EQ(measured.size(), 2u);
    EXPECT_EQ(grid.ColWidth(0), 54);
}

TEST(ClearGridCells, KeepsTheFixedColumnsAndRows) {
    TStringGridData grid(3, 1, 1);
    grid.SetRowCount(3);
    for (int32_t r = 0; r < 3; ++r)
        for (int32_t c = 0; c < 3; ++c)
            grid.SetCell(c, r, "x");
    ClearGridCells(grid);
    for (int32_t r = 0; r < 3; ++r)
        for (int32_t c = 0; c < 3; ++c)
            EXPECT_EQ(grid.Cell(c, r), (r == 0 || c == 0) ? "x" : "") << c << "," << r;
}

TEST(StringGridData, ColumnsGrowAndShrinkKeepingEachCellInItsPlace) {
    TStringGridData grid(2, 1, 0);
    grid.SetRowCount(2);
    grid.SetCell(0, 1, "r1");
    grid.SetCell(1, 1, "v");
    grid.SetColWidth(1, 90);
    grid.SetColCount(4);
    grid.SetCell(3, 0, "d0");
    EXPECT_EQ(grid.Cell(0, 1), "r1");
    EXPECT_EQ(grid.Cell(1, 1), "v");
    EXPECT_EQ(grid.Cell(2, 1), "");
    EXPECT_EQ(grid.Cell(3, 0), "d0");
    EXPECT_EQ(grid.ColWidth(1), 90);
    EXPECT_EQ(grid.ColWidth(3), 64);
    grid.SetColCount(2);
    EXPECT_EQ(grid.Cell(1, 1), "v");
    EXPECT_EQ(grid.Cell(3, 0), "");
    grid.SetColCount(4);
    EXPECT_EQ(grid.Cell(3, 0), "");
}

TEST(StringGridData, CellsOutsideTheGridAreEmptyAndRowsShrink) {
    TStringGridData grid(2, 1, 0);
    grid.SetRowCount(2);
    grid.SetCell(1, 1, "v");
    grid.SetCell(2, 0, "outside");
    EXPECT_EQ(grid.Cell(2, 0), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
    grid.SetRowCount(1);
    EXPECT_EQ(grid.Cell(1, 1), "");
    grid.SetRowCount(2);
    EXPECT_EQ(grid.Cell(1, 1), "");
}

class TRecordingCanvas : public ITextCanvas {
public:
    int32_t TextWidth(const std::string& Text) override { return Width7(Text); }
    int32_t TextHeight(const std::string&) override { return 10; }
    void TextOut(int32_t X, int32_t Y, const std::string& Text) override {
        Drawn.push_back(std::to_string(X) + "," + std::to_string(Y) + " " + Text);
    }
    std::vector<std::string> Drawn;
};

TEST(DrawTextColumns, ValuesBesideTheWidestLabelAndTheExtentOfBoth) {
    TRecordingCanvas canvas;
    TPoint extent;
    DrawTextColumns(canvas, {10, 20}, {"a", "bbb"}, {"cccc", "d"}, 5, false, extent);
    EXPECT_EQ(canvas.Drawn,
              (std::vector<std::string>{"10,20 a", "10,30 bbb", "36,20 cccc", "36,30 d"}));
    // Value column at 10 + 21 + 5; the width grown to the widest value (28).
    EXPECT_EQ(extent, (TPoint{36 + 28, 40}));

    TRecordingCanvas measure;
    TPoint measured;
    DrawTextColumns(measure, {10, 20}, {"a", "bbb"}, {"cccc", "d"}, 5, true, measured);
    EXPECT_TRUE(measure.Drawn.empty());
    EXPECT_EQ(measured, extent);
}

TEST(DrawTextColumns, TheExtentCountsTheValueLines) {
    TRecordingCanvas canvas;
    TPoint extent;
    DrawTextColumns(canvas, {0, 0}, {"label 1", "label 2", "label 3"}, {"v"}, 0, true, extent);
    EXPECT_EQ(extent, (TPoint{49 + 49, 10}));
}

} // namespace

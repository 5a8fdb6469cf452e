// TStringGrid: a grid of text cells (TStringGridData, Grid_.h) with fixed
// columns and rows on a grey ground (fixed rows stay on top while the others
// scroll), grid lines, a vertical scroll bar when the rows do not fit, and,
// unless read-only, a cell editor that is always shown on the current cell
// outside the fixed columns. Up and Down move the current row.
#pragma once

#include "app/base/Form_win.h"
#include "app/base/Grid_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <functional>

class TStringGrid : public TWindow {
public:
    // A child control of Parent with id Id.
    TStringGrid(HWND Parent, int Id, int32_t ColCount, int32_t FixedCols, HFONT Font,
                int32_t FixedRows = 0, bool ReadOnly = false);

    TStringGridData& Data() { return FData; }
    int32_t DefaultRowHeight = 18;

    int32_t Col() const { return FCol; }
    int32_t Row() const { return FRow; }
    // Makes a cell current; the editor shows its text.
    void SetCurrentCell(int32_t Col, int32_t Row);
    // After changing the cells, sizes or the row count.
    void Changed();
    HWND Editor() const { return FEditor; }
    // True when text is selected in the editor.
    bool EditorHasSelection() const;

    // Every character typed into the editor; set Key to 0 to drop it.
    std::function<void(char& Key)> OnKeyPress;

protected:
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    static LRESULT CALLBACK EditorProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR Id,
                                       DWORD_PTR Self);
    RECT CellRect(int32_t Col, int32_t Row) const;
    int32_t VisibleRows() const;
    void PlaceEditor();
    void Paint();
    void Scroll(int Code, int Position);
    void SetTopRow(int32_t Row);
    void EditorChanged();

    TStringGridData FData;
    HFONT FFont;
    HWND FEditor = nullptr;
    int32_t FCol = 0;
    int32_t FRow = 0;
    int32_t FTopRow = 0;
    bool FPlacing = false;
};

#include "app/base/StringGrid_win.h"

#include "app/base/Guard_.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kEditorId = 1;

} // namespace

TStringGrid::TStringGrid(HWND Parent, int Id, int32_t ColCount, int32_t FixedCols, HFONT Font,
                         int32_t FixedRows, bool ReadOnly)
    : FData(ColCount, FixedCols, FixedRows), FFont(Font), FTopRow(FixedRows) {
    TCreateArgs args;
    args.ClassName = "TStringGrid";
    args.Style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN | WS_TABSTOP;
    args.ExStyle = WS_EX_CLIENTEDGE;
    args.X = 0;
    args.Y = 0;
    args.Width = 100;
    args.Height = 100;
    args.Parent = Parent;
    args.Menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id));
    args.Background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!CreateHandle(args))
        return;
    if (!ReadOnly) {
        FEditor = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, Handle(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                                  GetModuleHandleA(nullptr), nullptr);
        SendMessageA(FEditor, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
        SetWindowSubclass(FEditor, EditorProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    FData.TextWidth = [this](const std::string& Text) {
        TWindowDC dc(Handle());
        TSelectObject font(dc.Get(), FFont);
        SIZE size{};
        GetTextExtentPoint32A(dc.Get(), Text.data(), static_cast<int>(Text.size()), &size);
        return static_cast<int32_t>(size.cx);
    };
}

bool TStringGrid::EditorHasSelection() const {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(FEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return end > start;
}

RECT TStringGrid::CellRect(int32_t Col, int32_t Row) const {
    int x = 0;
    for (int32_t c = 0; c < Col; ++c)
        x += FData.ColWidth(c);
    const int32_t fixed = FData.FixedRows();
    const int y = (Row < fixed ? Row : fixed + Row - FTopRow) * DefaultRowHeight;
    return {x, y, x + FData.ColWidth(Col) - FData.GridLineWidth,
            y + DefaultRowHeight - FData.GridLineWidth};
}

int32_t TStringGrid::VisibleRows() const {
    RECT client;
    GetClientRect(Handle(), &client);
    return std::max<int32_t>(1, client.bottom / DefaultRowHeight - FData.FixedRows());
}

void TStringGrid::SetCurrentCell(int32_t Col, int32_t Row) {
    if (Row < 0 || Row >= FData.RowCount() || Col < 0 || Col >= FData.ColCount())
        return;
    FCol = Col;
    FRow = Row;
    if (FRow < FTopRow)
        SetTopRow(FRow);
    else if (FRow >= FTopRow + VisibleRows())
        SetTopRow(FRow - VisibleRows() + 1);
    PlaceEditor();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TStringGrid::Changed() {
    FRow = std::clamp<int32_t>(FRow, FData.FixedRows(),
                               std::max(FData.FixedRows(), FData.RowCount() - 1));
    SetTopRow(FTopRow);
    PlaceEditor();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TStringGrid::SetTopRow(int32_t Row) {
    const int32_t fixed = FData.FixedRows();
    const int32_t last = std::max(fixed, FData.RowCount() - VisibleRows());
    FTopRow = std::clamp<int32_t>(Row, fixed, last);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = fixed;
    si.nMax = std::max(fixed, FData.RowCount() - 1);
    si.nPage = static_cast<UINT>(VisibleRows());
    si.nPos = FTopRow;
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    PlaceEditor();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TStringGrid::PlaceEditor() {
    if (!FEditor)
        return;
    const bool shown = FData.RowCount() > 0 && FCol >= FData.FixedCols() && FRow >= FTopRow &&
                       FRow < FTopRow + VisibleRows();
    if (!shown) {
        ShowWindow(FEditor, SW_HIDE);
        return;
    }
    const RECT r = CellRect(FCol, FRow);
    FPlacing = true;
    SetWindowTextA(FEditor, FData.Cell(FCol, FRow).c_str());
    FPlacing = false;
    MoveWindow(FEditor, r.left + 2, r.top + 2, r.right - r.left - 2, r.bottom - r.top - 2, TRUE);
    ShowWindow(FEditor, SW_SHOW);
}

void TStringGrid::EditorChanged() {
    if (FPlacing)
        return;
    const int length = GetWindowTextLengthA(FEditor);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(FEditor, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    FData.SetCell(FCol, FRow, text);
}

void TStringGrid::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Handle(), &ps);
    const HGDIOBJ oldFont = SelectObject(dc, FFont);
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const HBRUSH lines = GetSysColorBrush(COLOR_BTNSHADOW);
    const int32_t fixedRows = std::min(FData.FixedRows(), FData.RowCount());
    const int32_t lastRow = std::min(FData.RowCount(), FTopRow + VisibleRows() + 1);
    for (int32_t at = 0; at < fixedRows + lastRow - FTopRow; ++at) {
        const int32_t row = at < fixedRows ? at : FTopRow + at - fixedRows;
        for (int32_t col = 0; col < FData.ColCount(); ++col) {
            RECT r = CellRect(col, row);
            const RECT line{r.left, r.bottom, r.right + FData.GridLineWidth,
                            r.bottom + FData.GridLineWidth};
            const RECT vline{r.right, r.top, r.right + FData.GridLineWidth, r.bottom};
            FillRect(dc, &line, lines);
            FillRect(dc, &vline, lines);
            if (col < FData.FixedCols() || row < fixedRows)
                FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            const std::string& text = FData.Cell(col, row);
            r.left += 2;
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(Handle(), &ps);
}

void TStringGrid::Scroll(int Code, int Position) {
    switch (Code) {
    case SB_LINEUP:
        SetTopRow(FTopRow - 1);
        break;
    case SB_LINEDOWN:
        SetTopRow(FTopRow + 1);
        break;
    case SB_PAGEUP:
        SetTopRow(FTopRow - VisibleRows());
        break;
    case SB_PAGEDOWN:
        SetTopRow(FTopRow + VisibleRows());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        SetTopRow(Position);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK TStringGrid::EditorProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR,
                                         DWORD_PTR Self) {
    auto* grid = reinterpret_cast<TStringGrid*>(Self);
    if (Msg == WM_CHAR && grid->OnKeyPress) {
        char key = static_cast<char>(W);
        GuardedCall([&] { grid->OnKeyPress(key); });
        if (key == 0)
            return 0;
        W = static_cast<unsigned char>(key);
    } else if (Msg == WM_KEYDOWN && (W == VK_UP || W == VK_DOWN)) {
        grid->SetCurrentCell(grid->FCol, grid->FRow + (W == VK_UP ? -1 : 1));
        return 0;
    } else if (Msg == WM_NCDESTROY) {
        RemoveWindowSubclass(Wnd, EditorProc, 0);
    }
    return DefSubclassProc(Wnd, Msg, W, L);
}

LRESULT TStringGrid::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        SetTopRow(FTopRow);
        return 0;
    case WM_VSCROLL: {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), SB_VERT, &si);
        Scroll(LOWORD(W), si.nTrackPos);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const int32_t at = static_cast<short>(HIWORD(L)) / DefaultRowHeight - FData.FixedRows();
        const int32_t row = FTopRow + at;
        if (at >= 0 && row < FData.RowCount())
            SetCurrentCell(std::max(FCol, FData.FixedCols()), row);
        SetFocus(FEditor ? FEditor : Handle());
        return 0;
    }
    case WM_SETFOCUS:
        if (FEditor && IsWindowVisible(FEditor))
            SetFocus(FEditor);
        return 0;
    case WM_COMMAND:
        if (LOWORD(W) == kEditorId && HIWORD(W) == EN_CHANGE)
            EditorChanged();
        return 0;
    default:
        return TWindow::OnMessage(Msg, W, L);
    }
}

#include "app/protocol/EditProtocolForm_win.h"

#include "app/protocol/EditProtocolForm_.h"
#include "app/protocol/RichText_win.h"

#include <algorithm>

namespace {

constexpr int kMaxFormSize = 400;
constexpr int kPanelWidth = 83;
constexpr int kPanelMinHeight = 95;
constexpr int kCaptionWidth = 80;
constexpr int kValueWidth = 250;

} // namespace

TEditProtForm::TEditProtForm(HWND Owner) {
    TFormArgs args;
    args.ClassName = "TEditProtForm";
    args.Caption = sEditProtCaption;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    args.ExStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    args.ClientWidth = 300;
    args.ClientHeight = 150;
    args.Parent = Owner;
    if (!CreateForm(args))
        return;
    FGrid = std::make_unique<TStringGrid>(Handle(), kStringGrid1, 2, 1, ProtocolScreenFont());
    AddButton(kButtonOK, "&OK", 0, 0, 66, 33, mrOk);
    AddButton(kButtonCancel, "&Cancel", 0, 0, 66, 33, mrCancel);
    SetDefaultButton(kButtonOK);
    SetCancelButton(kButtonCancel);
    FGrid->OnKeyPress = [this](char& Key) { StringGrid1KeyPress(Key); };
    // FormCreate: the grid's limits within the form's 400 x 400.
    RECT window;
    GetWindowRect(Handle(), &window);
    const SIZE client = ClientSize();
    FGridMax.cy = kMaxFormSize - ((window.bottom - window.top) - client.cy);
    FGridMax.cx = kMaxFormSize - ((window.right - window.left) - client.cx) - kPanelWidth;
}

int32_t TEditProtForm::BuildFields(HWND RichEdit, TEditDatas& Fields) {
    TStringGridData& grid = FGrid->Data();
    grid.SetColWidth(0, kCaptionWidth);
    grid.SetColWidth(1, kValueWidth);
    if (Fields.empty())
        Fields = FindFields(SplitLines(RichEditText(RichEdit)));
    const auto rows = static_cast<int32_t>(Fields.size());
    grid.SetRowCount(rows);
    FCellData.assign(Fields.size(), 0);
    for (int32_t r = 0; r < rows; ++r)
        grid.SetCell(1, r, std::string(Fields[static_cast<std::size_t>(r)].DotCount, 'W'));
    AutoSizeGridCol(grid, 1, 0, kMaxFormSize);
    for (int32_t r = 0; r < rows; ++r) {
        const TEditData& f = Fields[static_cast<std::size_t>(r)];
        grid.SetCell(0, r, FieldCaption(f));
        grid.SetCell(1, r, FieldCellText(f));
        FCellData[static_cast<std::size_t>(r)] = f.DotCount;
    }
    AutoSizeGridCol(grid, 0, 0, kMaxFormSize);
    const int height = std::min<int>(FGrid->DefaultRowHeight * rows + 6, FGridMax.cy);
    const int width = std::min<int>(grid.ColWidth(0) + grid.ColWidth(1) + 6, FGridMax.cx);
    MoveWindow(FGrid->Handle(), 0, 0, width, height, FALSE);
    FGrid->Changed();
    FGrid->SetCurrentCell(1, 0);
    return rows;
}

void TEditProtForm::ApplyFields(HWND RichEdit, TEditDatas& Fields) {
    std::vector<std::string> values;
    for (int32_t r = 0; r < static_cast<int32_t>(Fields.size()); ++r)
        values.push_back(FGrid->Data().Cell(1, r));
    CHARRANGE caret{};
    SendMessageA(RichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    for (const TFieldLine& line : ApplyFieldValues(Fields, values)) {
        const LRESULT start =
            SendMessageA(RichEdit, EM_LINEINDEX, static_cast<WPARAM>(line.Line), 0);
        if (start < 0)
            continue;
        const LRESULT length = SendMessageA(RichEdit, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
        // The new line takes the look of the old one's start, upright.
        CHARRANGE range{static_cast<LONG>(start), static_cast<LONG>(start + length)};
        SendMessageA(RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        ReplaceSel(RichEdit, line.Text);
        range.cpMax = static_cast<LONG>(start + static_cast<LONG>(line.Text.size()));
        SendMessageA(RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SetSelItalic(RichEdit, false);
        for (const TFieldLine::TSpan& span : line.Italic) {
            CHARRANGE value{static_cast<LONG>(start + span.Start),
                            static_cast<LONG>(start + span.Start + span.Length)};
            SendMessageA(RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&value));
            SetSelItalic(RichEdit, true);
        }
    }
    SendMessageA(RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
}

void TEditProtForm::FormShow() {
    RECT grid;
    GetWindowRect(FGrid->Handle(), &grid);
    const int gridWidth = grid.right - grid.left;
    const int gridHeight = grid.bottom - grid.top;
    const int panelHeight = std::max(gridHeight, kPanelMinHeight);
    MoveWindow(Control(kButtonOK), gridWidth + 9, 9, 66, 33, FALSE);
    MoveWindow(Control(kButtonCancel), gridWidth + 9, 49, 66, 33, FALSE);
    SetClientSize(gridWidth + kPanelWidth, panelHeight);
    CenterWindowOn(Handle(), GetWindow(Handle(), GW_OWNER));
}

int TEditProtForm::Execute() {
    FormShow();
    // FormActivate: the editor opens on the first value.
    PostMessageA(FGrid->Handle(), WM_SETFOCUS, 0, 0);
    return ShowModal();
}

void TEditProtForm::StringGrid1KeyPress(char& Key) {
    if (Key == 27) {
        SetModalResult(mrCancel);
        Key = 0;
        return;
    }
    const auto row = static_cast<std::size_t>(FGrid->Row());
    const int32_t max = row < FCellData.size() ? FCellData[row] : 0;
    const auto length = static_cast<int32_t>(FGrid->Data().Cell(FGrid->Col(), FGrid->Row()).size());
    if (length >= max && Key != 8 && Key != 9 && !FGrid->EditorHasSelection()) {
        Key = 0;
        MessageBeep(MB_OK);
    }
}

#include "app/output/ExportWin_win.h"

#include "app/base/Guard_.h"
#include "app/base/Tools_.h"
#include "app/base/Tools_win.h"
#include "app/output/CsvSettings_.h"
#include "app/record/WinFiles_win.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 470;
constexpr int kRowHeight = 20;
constexpr int kPreviewTop = 176;
constexpr int kPanelWidths[] = {230, 200};
constexpr int kProgressPanel = 2;

struct TBox {
    const char* Caption;
    int X, Y, W, H;
};

// The radio buttons and check boxes: id, caption, place; a group starts at
// each radio button that begins one.
struct TChoiceControl {
    int Id;
    const char* Caption;
    int X, Y, W;
    bool Radio, StartsGroup;
};

const TBox kGroups[] = {
    {"Data reduction method", 4, 4, 200, 124},
    {"Columns", 208, 4, 230, 124},
    {"Rows", 442, 4, 194, 124},
    {"Export Range", 4, 130, 200, 42},
};

const TChoiceControl kChoices[] = {
    {TExportWin::kRadioButtonDRNo, "No reduction", 12, 20, 185, true, true},
    {TExportWin::kRadioButtonDRAv, "Average of n readings", 12, 40, 185, true, false},
    {TExportWin::kRadioButtonDRRed, "Take only every n-th reading", 12, 60, 185, true, false},
    {TExportWin::kCheckBoxColRecord, "Record", 216, 20, 215, false, true},
    {TExportWin::kCheckBoxColTime, "Date / Time", 216, 40, 215, false, false},
    {TExportWin::kCheckBoxColHum, "Water Activity / Relative Humidity", 216, 60, 215, false, false},
    {TExportWin::kCheckBoxColTemp, "Temperature", 216, 80, 215, false, false},
    {TExportWin::kCheckBoxColChCond, "Chamber Condition", 216, 100, 215, false, false},
    {TExportWin::kCheckBoxRowPrgInfo, "Program Info", 450, 20, 180, false, false},
    {TExportWin::kCheckBoxRowRed, "Reduction Method", 450, 40, 180, false, false},
    {TExportWin::kCheckBoxRowRecInfo, "Records Info", 450, 60, 180, false, false},
    {TExportWin::kCheckBoxUserinfo, "User Info", 466, 80, 164, false, false},
    {TExportWin::kCheckBoxRowColTitles, "Column Titles", 450, 100, 180, false, false},
    {TExportWin::kRadioButtonERAll, "All", 12, 148, 80, true, true},
    {TExportWin::kRadioButtonERSel, "Selection", 100, 148, 95, true, false},
};

} // namespace

TCodePageConversion AnsiConversion() {
    constexpr UINT kAppCodePage = 1252;
    if (GetACP() == kAppCodePage)
        return {};
    return [](std::string& Lines) {
        if (Lines.empty())
            return;
        const int n = static_cast<int>(Lines.size());
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        const int w = MultiByteToWideChar(kAppCodePage, 0, Lines.data(), n, wide.data(), n);
        const int bytes =
            WideCharToMultiByte(CP_ACP, 0, wide.data(), w, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), w, out.data(), bytes, nullptr, nullptr);
        Lines.swap(out);
    };
}

TExportWin::TExportWin(HWND Owner, IRegistryStore& Registry, IMessageBoxes& Boxes)
    : FRegistry(Registry), FBoxes(Boxes) {
    InitCommonControlsOnce();
    TFormArgs args;
    args.ClassName = "TExportWin";
    args.Caption = sCsvExportCaption;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    args.ClientWidth = kClientWidth;
    args.ClientHeight = kClientHeight;
    args.Parent = Owner;
    if (CreateForm(args))
        FormCreate();
}

void TExportWin::FormCreate() {
    for (const TBox& g : kGroups)
        AddControl("BUTTON", g.Caption, BS_GROUPBOX, 0, g.X, g.Y, g.W, g.H);
    for (const TChoiceControl& c : kChoices)
        AddControl("BUTTON", c.Caption,
                   (c.Radio ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX) | WS_TABSTOP |
                       (c.StartsGroup ? WS_GROUP : 0),
                   c.Id, c.X, c.Y, c.W, 18);
    AddControl("STATIC", "n:", SS_RIGHT | WS_GROUP, 0, 12, 92, 20, 16);
    HWND edit = AddControl("EDIT", "2", ES_NUMBER | WS_TABSTOP, kLabeledEdit1, 36, 89, 50, 21,
                           WS_EX_CLIENTEDGE);
    SendMessageA(edit, EM_LIMITTEXT, 4, 0);
    SetWindowSubclass(edit, EditProc, 0, reinterpret_cast<DWORD_PTR>(this));
    HWND upDown = AddControl(UPDOWN_CLASSA, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS,
                             kUpDown1, 0, 0, 0, 0);
    SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageA(upDown, UDM_SETRANGE32, kCsvMinN, kCsvMaxN);
    SendMessageA(upDown, UDM_SETPOS32, 0, kCsvMinN);

    AddControl("BUTTON", "Preview", BS_GROUPBOX, kGroupPreview, 4, kPreviewTop, 632, 100);
    AddControl("STATIC", "Shows only the first 50 rows of the data to be exported", 0, 0, 12,
               kPreviewTop + 16, 400, 16);
    FGrid = std::make_unique<TStringGrid>(Handle(), kStringGridPreview, 2, 1, FormFont(), 1, true);
    AddButton(kButton1, "Export...", 442, 142, 90, 25);
    AddButton(kButton2, "Cancel", 540, 142, 90, 25, mrCancel);
    // Enter and Esc both cancel.
    SetDefaultButton(kButton2);
    SetCancelButton(kButton2);

    HWND status = AddControl(STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, kStatusBar1, 0, 0, 0, 0);
    const int edges[] = {kPanelWidths[0], kPanelWidths[0] + kPanelWidths[1], -1};
    SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageA(status, SB_SETTEXTA, kProgressPanel | SBT_OWNERDRAW, 0);
    // The bar lives in the status bar's panel, flat.
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 0, 0, status,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBar1)),
                               GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(bar, GWL_EXSTYLE,
                      GetWindowLongPtrA(bar, GWL_EXSTYLE) &
                          ~static_cast<LONG_PTR>(WS_EX_STATICEDGE));

    RECT window, button, statusRect;
    GetWindowRect(Handle(), &window);
    GetWindowRect(Control(kButton2), &button);
    GetWindowRect(status, &statusRect);
    POINT buttonTop{0, button.top};
    ScreenToClient(Handle(), &buttonTop);
    const SIZE client = ClientSize();
    const int height = window.bottom - window.top;
    SetConstraints(
        {window.right - window.left, height + buttonTop.y + (button.bottom - button.top) +
                                         (statusRect.bottom - statusRect.top) - client.cy + 8},
        {0, 0});
    FormResize();
}

void TExportWin::FormResize() {
    HWND status = Control(kStatusBar1);
    if (!status || !FGrid)
        return;
    SendMessageA(status, WM_SIZE, 0, 0);
    RECT sr;
    GetWindowRect(status, &sr);
    const SIZE client = ClientSize();
    const int bottom = std::max<int>(kPreviewTop + 60, client.cy - (sr.bottom - sr.top) - 4);
    HWND group = Control(kGroupPreview);
    MoveWindow(group, 4, kPreviewTop, client.cx - 8, bottom - kPreviewTop, TRUE);
    MoveWindow(FGrid->Handle(), 12, kPreviewTop + 34, client.cx - 24, bottom - kPreviewTop - 42,
               TRUE);
    InvalidateRect(status, nullptr, TRUE);
}

int TExportWin::Execute(const TCsvSource& Source) {
    FSource = Source;
    FormShow();
    CenterWindowOn(Handle(), GetWindow(Handle(), GW_OWNER));
    const int result = ShowModal();
    // Its record window may close before the next export.
    FSource = {};
    return result;
}

void TExportWin::SetChecked(int Id, bool Checked) {
    SendMessageA(Control(Id), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TExportWin::Checked(int Id) const {
    return SendMessageA(Control(Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TExportWin::FormShow() {
    const bool selection = SelectionOffered(FSource);
    EnableWindow(Control(kRadioButtonERAll), selection);
    EnableWindow(Control(kRadioButtonERSel), selection);
    SetChecked(kRadioButtonERAll, !selection);
    SetChecked(kRadioButtonERSel, selection);

    const TCsvChoice c = LoadCsvChoice(FRegistry);
    SetChecked(kRadioButtonDRNo, c.Reduction == TCsvReduction::None);
    SetChecked(kRadioButtonDRAv, c.Reduction == TCsvReduction::Average);
    SetChecked(kRadioButtonDRRed, c.Reduction == TCsvReduction::EveryNth);
    FN = c.N;
    SendMessageA(Control(kUpDown1), UDM_SETPOS32, 0, FN);
    SetChecked(kCheckBoxColRecord, c.ColRecord);
    SetChecked(kCheckBoxColTime, c.ColDateTime);
    SetChecked(kCheckBoxColHum, c.ColHum);
    SetChecked(kCheckBoxColTemp, c.ColTemp);
    SetChecked(kCheckBoxColChCond, c.ColCond);
    SetChecked(kCheckBoxRowPrgInfo, c.RowProgInfo);
    SetChecked(kCheckBoxRowRed, c.RowRedMethod);
    SetChecked(kCheckBoxRowRecInfo, c.RowRecInfo);
    SetChecked(kCheckBoxUserinfo, c.RowUserInfo);
    SetChecked(kCheckBoxRowColTitles, c.RowColTitles);

    HWND bar = GetDlgItem(Control(kStatusBar1), kProgressBar1);
    ShowWindow(bar, SW_HIDE);
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(SendMessageA(bar, PBM_GETRANGE, TRUE, 0)), 0);
    CheckBoxClick();
}

TCsvChoice TExportWin::Choice() const {
    TCsvChoice c;
    c.Reduction = Checked(kRadioButtonDRAv)    ? TCsvReduction::Average
                  : Checked(kRadioButtonDRRed) ? TCsvReduction::EveryNth
                                               : TCsvReduction::None;
    c.N = FN;
    c.ColRecord = Checked(kCheckBoxColRecord);
    c.ColDateTime = Checked(kCheckBoxColTime);
    c.ColHum = Checked(kCheckBoxColHum);
    c.ColTemp = Checked(kCheckBoxColTemp);
    c.ColCond = Checked(kCheckBoxColChCond);
    c.RowProgInfo = Checked(kCheckBoxRowPrgInfo);
    c.RowRedMethod = Checked(kCheckBoxRowRed);
    c.RowRecInfo = Checked(kCheckBoxRowRecInfo);
    c.RowUserInfo = Checked(kCheckBoxUserinfo);
    c.RowColTitles = Checked(kCheckBoxRowColTitles);
    c.Selection = Checked(kRadioButtonERSel) && SelectionOffered(FSource);
    return c;
}

void TExportWin::CheckBoxClick() {
    EnableWindow(Control(kLabeledEdit1), !Checked(kRadioButtonDRNo));
    EnableWindow(Control(kUpDown1), !Checked(kRadioButtonDRNo));
    EnableWindow(Control(kCheckBoxUserinfo), Checked(kCheckBoxRowRecInfo));
    BuildPreview();
}

void TExportWin::BuildPreview() {
    if (!FSource.Data)
        return;
    const TCsvChoice choice = Choice();
    FPreview.Build(FSource, choice);
    TStringGridData& grid = FGrid->Data();
    const TStringGridData::TTextWidth textWidth = grid.TextWidth;
    grid = FPreview.Grid();
    grid.TextWidth = textWidth;
    for (int32_t col = 1; col < grid.ColCount(); ++col)
        AutoSizeGridCol(grid, col, 20, 300);
    FGrid->Changed();
    const TCsvCounts counts = CsvCounts(FPreview, FSource, choice);
    const std::string rows = sCsvRowsPanel + std::to_string(counts.Rows);
    const std::string readings = sCsvReadingsPanel + std::to_string(counts.Readings);
    SendMessageA(Control(kStatusBar1), SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(rows.c_str()));
    SendMessageA(Control(kStatusBar1), SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(readings.c_str()));
}

std::string TExportWin::PanelText(int Panel) const {
    char text[256] = {};
    SendMessageA(Control(kStatusBar1), SB_GETTEXTA, static_cast<WPARAM>(Panel),
                 reinterpret_cast<LPARAM>(text));
    return text;
}

void TExportWin::LabeledEdit1Exit() {
    const std::string text = ControlText(kLabeledEdit1);
    try {
        FN = ClampN(StrToInt(text));
    } catch (const EConvertError&) {
        // Not a number: the edit shows n again.
    }
    SendMessageA(Control(kUpDown1), UDM_SETPOS32, 0, FN);
    SetControlText(kLabeledEdit1, std::to_string(FN));
    BuildPreview();
}

void TExportWin::StoreRegVals() {
    StoreCsvChoice(FRegistry, Choice());
}

void TExportWin::ShowProgress(int64_t Next) {
    HWND bar = GetDlgItem(Control(kStatusBar1), kProgressBar1);
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(std::min<int64_t>(Next, INT_MAX)), 0);
    UpdateWindow(bar);
}

bool TExportWin::ExportToFile(const std::string& FileName) {
    const HCURSOR previous = SetScreenCursor(LoadCursorA(nullptr, IDC_WAIT));
    BuildPreview();
    const TCsvChoice choice = Choice();
    const TCsvRange range = ExportRange(FSource, choice.Selection);
    HWND bar = GetDlgItem(Control(kStatusBar1), kProgressBar1);
    SendMessageA(bar, PBM_SETRANGE32, static_cast<WPARAM>(std::min<int64_t>(range.First, INT_MAX)),
                 static_cast<LPARAM>(std::min<int64_t>(range.Last, INT_MAX)));
    ShowWindow(bar, SW_SHOW);
    RECT r;
    GetClientRect(bar, &r);
    TCsvFileArgs args;
    args.Preview = &FPreview;
    args.Source = FSource;
    args.Choice = choice;
    args.Convert = AnsiConversion();
    args.ProgressSteps = std::max<int32_t>(1, r.right - r.left);
    args.Progress = [this](int64_t Next) { ShowProgress(Next); };
    TWinFileSystem fs;
    const std::string error = ::ExportToFile(fs, FileName, args);
    SetScreenCursor(previous);
    if (!error.empty()) {
        ShowErrorOrWarn(FBoxes, error, false);
        return false;
    }
    return true;
}

void TExportWin::Button1Click() {
    std::string name = FFileName;
    const bool chosen =
        SaveDialog ? SaveDialog(name) : RunSaveFileDialog(Handle(), sCsvFilter, "csv", name);
    if (!chosen)
        return;
    FFileName = name;
    StoreRegVals();
    // Clicks made while the dialog closed go to a disabled window.
    EnableWindow(Handle(), FALSE);
    GuardedCall([] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    });
    EnableWindow(Handle(), TRUE);
    if (ExportToFile(FFileName))
        SetModalResult(mrOk);
}

void TExportWin::StatusBar1DrawPanel(const DRAWITEMSTRUCT& Draw) {
    const HDC dc = Draw.hDC;
    RECT r = Draw.rcItem;
    SIZE text{};
    GetTextExtentPoint32A(dc, sCsvProgress, static_cast<int>(sizeof sCsvProgress - 1), &text);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, r.left + 1, r.top + (r.bottom - r.top - text.cy) / 2, sCsvProgress,
             static_cast<int>(sizeof sCsvProgress - 1));
    const int left = r.left + 1 + text.cx + 2;
    MoveWindow(GetDlgItem(Control(kStatusBar1), kProgressBar1), left, r.top,
               std::max<int>(0, r.right - 15 - left), r.bottom - r.top, TRUE);
}

LRESULT CALLBACK TExportWin::EditProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR,
                                      DWORD_PTR Self) {
    auto* form = reinterpret_cast<TExportWin*>(Self);
    if (Msg == WM_CHAR) {
        if (W == VK_RETURN) {
            GuardedCall([form] { form->LabeledEdit1Exit(); });
            return 0;
        }
        if (W != VK_BACK && (W < '0' || W > '9'))
            return 0;
    } else if (Msg == WM_GETDLGCODE && L && reinterpret_cast<MSG*>(L)->message == WM_KEYDOWN &&
               reinterpret_cast<MSG*>(L)->wParam == VK_RETURN) {
        return DLGC_WANTALLKEYS;
    } else if (Msg == WM_NCDESTROY) {
        RemoveWindowSubclass(Wnd, EditProc, 0);
    }
    return DefSubclassProc(Wnd, Msg, W, L);
}

bool TExportWin::OnCommand(int Id, int Code, HWND Control) {
    if (Id == kButton1 && Code == BN_CLICKED) {
        Button1Click();
        return true;
    }
    if (Id == kLabeledEdit1) {
        if (Code == EN_KILLFOCUS)
            LabeledEdit1Exit();
        return true;
    }
    if (Id >= kRadioButtonDRNo && Id <= kRadioButtonERSel && Id != kLabeledEdit1 &&
        Id != kUpDown1) {
        if (Code == BN_CLICKED)
            CheckBoxClick();
        return true;
    }
    return TForm::OnCommand(Id, Code, Control);
}

LRESULT TExportWin::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_SIZE:
        if (W != SIZE_MINIMIZED)
            FormResize();
        break;
    case WM_DRAWITEM: {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(L);
        if (draw.CtlID == kStatusBar1 && draw.itemID == kProgressPanel) {
            StatusBar1DrawPanel(draw);
            return TRUE;
        }
        break;
    }
    case WM_VSCROLL:
        // The up-down let go: its position is n.
        if (reinterpret_cast<HWND>(L) == Control(kUpDown1) && LOWORD(W) == SB_ENDSCROLL) {
            FN = ClampN(static_cast<int32_t>(SendMessageA(Control(kUpDown1), UDM_GETPOS32, 0, 0)));
            BuildPreview();
            return 0;
        }
        break;
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}

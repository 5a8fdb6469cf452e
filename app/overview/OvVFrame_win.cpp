#include "app/overview/OvVFrame_win.h"

#include "app/base/Shape_win.h"
#include "common/WinRes_win.h"

#include <commctrl.h>

#include <utility>

namespace {

constexpr RECT kCaptionRect{0, 0, kOvVFrameWidth, 14};
constexpr RECT kGroupRect{0, 6, kOvVFrameWidth, kOvVFrameHeight};
constexpr RECT kShapeAnalyzing{8, 17, 21, 30};
constexpr RECT kShapeStable{8, 35, 21, 48};
constexpr RECT kShapeActualVal{112, 12, 341, 52};
constexpr RECT kShapeStableVal{346, 12, 575, 52};
constexpr int kActualX = 116;
constexpr int kStableX = 350;
constexpr int kLabelHeight = 13;
constexpr int kEditHeight = 17;
constexpr int kRow1 = 16;
constexpr int kRow2 = 34;

// Places within a column of values, from its HumName label on.
enum : int {
    kHumName,
    kHum,
    kHumUnit,
    kTempTitle,
    kTemp,
    kTempUnit,
    kTimeTitle,
    kTime,
};
constexpr int kTitleWidth = 34;
constexpr int kEditX = 36; // the humidity and time edits
constexpr int kTempTitleX = 120;
constexpr int kTempX = 156; // the temperature edit
constexpr int kUnitWidth = 26;
constexpr int kTimeWidth = 60;

constexpr DWORD kValueStyle = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER;

} // namespace

TOvVFrame::TOvVFrame(HWND Parent, const TOvVFrameState& State, std::function<void()> OnInfoClick)
    : FOnInfoClick(std::move(OnInfoClick)) {
    InitCommonControlsOnce();
    TFormArgs args;
    args.ClassName = "TOvVFrame";
    args.Caption = State.Caption;
    args.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    args.ClientWidth = kOvVFrameWidth;
    args.ClientHeight = kOvVFrameHeight;
    args.Parent = Parent;
    if (CreateForm(args))
        FormCreate(State);
}

void TOvVFrame::FormCreate(const TOvVFrameState& State) {
    AddControl("STATIC", "Analyzing", SS_LEFT, kLabelAnalyzing, 26, 17, 56, kLabelHeight);
    AddControl("STATIC", "Stable", SS_LEFT, kLabelStable, 26, 35, 56, kLabelHeight);
    AddControl("BUTTON", "i", BS_PUSHBUTTON, kSpeedButton1, 84, 22, 22, 22);
    CreateColumn(kActualX, kLabelActH, &FEdits[0]);
    CreateColumn(kStableX, kLabelStbH, &FEdits[3]);
    AddControl(PROGRESS_CLASSA, "", PBS_SMOOTH, kStableIndicator, 352, 34, 216, 12);
    SendMessageA(Control(kStableIndicator), PBM_SETRANGE32, 1, 63);
    AddControl("STATIC", "Stable indicator", SS_LEFT, kLabelStableInd, 352, 17, 150, kLabelHeight);

    ShowColumn(State.Actual, kLabelActH);
    ShowColumn(State.StableValues, kLabelStbH);
    FAnalyzing = {State.AnalysingLamp, kClBlack};
    FStable = {State.StableLamp, kClBlack};
    FStableVal = {State.StableBox, State.StableBoxPen};
    SetProgress(State.Progress);
    SetProgressVisible(State.ProgressVisible());
    SetStableValuesVisible(State.Stable);
}

void TOvVFrame::CreateColumn(int X, int FirstId, std::unique_ptr<TEditAlign>* Edits) {
    const auto label = [&](int Place, const char* Text, int Left, int Top, int Width) {
        AddControl("STATIC", Text, SS_LEFT, FirstId + Place, X + Left, Top + 2, Width,
                   kLabelHeight);
    };
    const auto edit = [&](int Place, int Left, int Top, int Width) {
        auto e = std::make_unique<TEditAlign>(Handle(), FirstId + Place, X + Left, Top, Width,
                                              kEditHeight, kValueStyle, 0, taRightJustify);
        // The narrow value fields need every pixel for their digits.
        SendMessageA(e->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(1, 1));
        return e;
    };
    label(kHumName, "", 0, kRow1, kTitleWidth);
    Edits[0] = edit(kHum, kEditX, kRow1, 47);
    label(kHumUnit, "", kEditX + 47, kRow1, kUnitWidth);
    label(kTempTitle, "Temp:", kTempTitleX, kRow1, kTitleWidth);
    Edits[1] = edit(kTemp, kTempX, kRow1, 24);
    label(kTempUnit, "", kTempX + 24, kRow1, kUnitWidth);
    label(kTimeTitle, "Time:", 0, kRow2, kTitleWidth);
    Edits[2] = edit(kTime, kEditX, kRow2, kTimeWidth);
}

void TOvVFrame::ShowColumn(const TOvVValues& Values, int FirstId) {
    const auto text = [&](int Place, const std::string& Text) {
        SetWindowTextA(Control(FirstId + Place), Text.c_str());
    };
    text(kHumName, Values.HumName);
    text(kHum, Values.Hum);
    text(kHumUnit, Values.HumUnit);
    text(kTemp, Values.Temp);
    text(kTempUnit, Values.TempUnit);
    text(kTime, Values.Time);
    const bool actual = FirstId == kLabelActH;
    SetWidth(actual ? TOvVControl::EditAlignActHum : TOvVControl::EditAlignStbHum, Values.HumWidth);
    SetWidth(actual ? TOvVControl::EditAlignActTemp : TOvVControl::EditAlignStbTemp,
             Values.TempWidth);
}

int TOvVFrame::IdOf(TOvVControl Control) {
    switch (Control) {
    case TOvVControl::LabelActH:
        return kLabelActH;
    case TOvVControl::EditAlignActHum:
        return kEditAlignActHum;
    case TOvVControl::LabelActHum:
        return kLabelActHum;
    case TOvVControl::EditAlignActTemp:
        return kEditAlignActTemp;
    case TOvVControl::LabelActTemp:
        return kLabelActTemp;
    case TOvVControl::EditAlignActTime:
        return kEditAlignActTime;
    case TOvVControl::LabelStbH:
        return kLabelStbH;
    case TOvVControl::EditAlignStbHum:
        return kEditAlignStbHum;
    case TOvVControl::LabelStbHum:
        return kLabelStbHum;
    case TOvVControl::EditAlignStbTemp:
        return kEditAlignStbTemp;
    case TOvVControl::LabelStbTemp:
        return kLabelStbTemp;
    case TOvVControl::EditAlignStbTime:
        return kEditAlignStbTime;
    case TOvVControl::StableIndicator:
        return kStableIndicator;
    case TOvVControl::GroupBox1:
    case TOvVControl::ShapeAnalyzing:
    case TOvVControl::ShapeStable:
    case TOvVControl::ShapeStableVal:
        break;
    }
    return 0;
}

HWND TOvVFrame::Item(TOvVControl Control) const {
    const int id = IdOf(Control);
    return id ? TForm::Control(id) : Handle();
}

void TOvVFrame::SetText(TOvVControl Control, const std::string& Text) {
    SetWindowTextA(Item(Control), Text.c_str());
    if (Control == TOvVControl::GroupBox1)
        InvalidateRect(Handle(), &kCaptionRect, TRUE);
}

void TOvVFrame::SetWidth(TOvVControl Edit, int32_t Width) {
    const HWND edit = Item(Edit);
    const HWND unit = TForm::Control(IdOf(Edit) + 1);
    RECT r;
    GetWindowRect(edit, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(edit, r.left, r.top, Width, r.bottom - r.top, TRUE);
    RECT u;
    GetWindowRect(unit, &u);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&u), 2);
    MoveWindow(unit, r.left + Width, u.top, u.right - u.left, u.bottom - u.top, TRUE);
}

TOvVFrame::TShapeColors* TOvVFrame::Colors(TOvVControl Shape) {
    return const_cast<TShapeColors*>(std::as_const(*this).Colors(Shape));
}

const TOvVFrame::TShapeColors* TOvVFrame::Colors(TOvVControl Shape) const {
    switch (Shape) {
    case TOvVControl::ShapeAnalyzing:
        return &FAnalyzing;
    case TOvVControl::ShapeStable:
        return &FStable;
    case TOvVControl::ShapeStableVal:
        return &FStableVal;
    default:
        return nullptr;
    }
}

uint32_t TOvVFrame::Brush(TOvVControl Shape) const {
    const TShapeColors* c = Colors(Shape);
    return c ? c->Brush : kClBtnFace;
}

uint32_t TOvVFrame::Pen(TOvVControl Shape) const {
    const TShapeColors* c = Colors(Shape);
    return c ? c->Pen : kClBtnFace;
}

void TOvVFrame::SetColor(TOvVControl Shape, uint32_t Brush, uint32_t Pen) {
    TShapeColors* c = Colors(Shape);
    if (!c)
        return;
    *c = {Brush, Pen};
    const RECT& bounds = Shape == TOvVControl::ShapeAnalyzing ? kShapeAnalyzing
                         : Shape == TOvVControl::ShapeStable  ? kShapeStable
                                                              : kShapeStableVal;
    // The labels on the box take its colour too.
    RedrawWindow(Handle(), &bounds, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TOvVFrame::SetProgress(int32_t Position) {
    SendMessageA(Control(kStableIndicator), PBM_SETPOS, static_cast<WPARAM>(Position), 0);
}

void TOvVFrame::SetProgressVisible(bool Visible) {
    for (int id : {kStableIndicator, kLabelStableInd})
        ShowWindow(Control(id), Visible ? SW_SHOWNA : SW_HIDE);
}

void TOvVFrame::SetStableValuesVisible(bool Visible) {
    for (int id = kLabelStbH; id <= kEditAlignStbTime; ++id)
        ShowWindow(Control(id), Visible ? SW_SHOWNA : SW_HIDE);
}

LRESULT TOvVFrame::CtlColorStatic(WPARAM DC, HWND Ctl) {
    const int id = GetDlgCtrlID(Ctl);
    // Read-only edits are white; labels take the colour of the box they lie on.
    const bool stableEdit =
        id == kEditAlignStbHum || id == kEditAlignStbTemp || id == kEditAlignStbTime;
    if ((id >= kLabelActH && id <= kEditAlignActTime) || stableEdit)
        return ColorStatic(DC, kClWhite);
    if ((id >= kLabelStbH && id <= kLabelStbTempTime) || id == kLabelStableInd)
        return ColorStatic(DC, FStableVal.Brush);
    return ColorStatic(DC, kClBtnFace);
}

void TOvVFrame::Paint() {
    const TPaintDC paint(Handle());
    const HDC dc = paint.Get();
    RECT group = kGroupRect;
    DrawEdge(dc, &group, EDGE_ETCHED, BF_RECT);
    const int length = GetWindowTextLengthA(Handle());
    std::string caption(static_cast<std::size_t>(length) + 1, '\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextA(Handle(), caption.data(), length + 1)));
    {
        const TSelectObject font(dc, FormFont());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SIZE extent{};
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        const RECT text{6, 0, 6 + extent.cx + 4, extent.cy};
        ExtTextOutA(dc, 8, 0, ETO_OPAQUE, &text, caption.c_str(), static_cast<UINT>(caption.size()),
                    nullptr);
    }
    PaintShape(dc, kShapeAnalyzing, TShapeType::Circle, FAnalyzing.Brush, FAnalyzing.Pen);
    PaintShape(dc, kShapeStable, TShapeType::Circle, FStable.Brush, FStable.Pen);
    PaintShape(dc, kShapeActualVal, TShapeType::Rectangle, kClWhite, kClBlack);
    PaintShape(dc, kShapeStableVal, TShapeType::Rectangle, FStableVal.Brush, FStableVal.Pen);
}

bool TOvVFrame::OnCommand(int Id, int Code, HWND) {
    if (Id == kSpeedButton1 && Code == BN_CLICKED) {
        if (FOnInfoClick)
            FOnInfoClick();
        return true;
    }
    return false;
}

LRESULT TOvVFrame::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLORSTATIC:
        return CtlColorStatic(W, reinterpret_cast<HWND>(L));
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}

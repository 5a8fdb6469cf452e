#include "app/overview/OvVWin_win.h"

#include "app/base/Shape_win.h"
#include "app/tree/TreeNodes_.h"
#include "common/WinRes_win.h"

#include <algorithm>

namespace {

// Posted by a frame's information button: the dialog runs outside the frame's
// own message, so an update may free that frame meanwhile.
constexpr UINT kShowInfo = WM_APP + 1;

constexpr RECT kTitleRow{0, 0, kOvVClientWidth, kOvVTitleHeight};
constexpr RECT kShapeActTitel{112, 6, 341, 28};
constexpr RECT kShapeStbTitel{346, 6, 575, 28};

int MDIChildCount(HWND Client) {
    int count = 0;
    // Icon titles of minimised children are owned windows, no documents.
    for (HWND w = GetWindow(Client, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (!GetWindow(w, GW_OWNER))
            ++count;
    return count;
}

int OuterHeight(const RECT& R) {
    return R.bottom - R.top;
}

} // namespace

TMDIChildOvV* TMDIChildOvV::CreateOverviewWindow(IMdiHost& Host, TTreeNode& InstrumentNode) {
    const TInstrumentData* instrument = InstrumentData(&InstrumentNode);
    if (!instrument || !Host.MDIClient())
        return nullptr;
    std::unique_ptr<TMDIChildOvV> window(new TMDIChildOvV(
        Host, InstrumentNode, GetInterfaceNameFromCom(Host.Boxes(), instrument->InterfaceIndex)));
    if (!window->Handle())
        return nullptr;
    window->FOwned = true;
    return window.release();
}

TMDIChildOvV::TMDIChildOvV(IMdiHost& Host, TTreeNode& InstrumentNode,
                           const std::string& InterfaceName)
    : FHost(Host), FCtl(*this, Host.Tree(), InstrumentNode, InterfaceName, Host.ExtendedMode()) {
    TFormArgs args;
    args.ClassName = "TMDIChildOvV";
    args.Caption = FCtl.Caption();
    args.FormStyle = TFormStyle::MDIChild;
    args.Style =
        WS_CHILD | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
    args.ClientWidth = kOvVClientWidth;
    args.ClientHeight = kOvVTitleHeight;
    args.Parent = Host.MDIClient();
    if (CreateForm(args))
        FormCreate();
}

void TMDIChildOvV::FormCreate() {
    AddControl("STATIC", FCtl.Label1(), SS_LEFT | SS_NOPREFIX, kLabel1, 8, 10, 569, 13);
    AddControl("STATIC", "Stable", SS_CENTER, kLabel2, 348, 10, 225, 13);
    AddControl("STATIC", "Actual", SS_CENTER, kLabel3, 114, 10, 225, 13);
    SetLabel1Visible(true);
    RECT r;
    GetWindowRect(Handle(), &r);
    FWidthLimit = (r.right - r.left) - ClientSize().cx + kOvVClientWidth;
    SetConstraints({FWidthLimit, 0}, {FWidthLimit, 0});
    FHost.SetCloseAllEnabled(MDIChildCount(FHost.MDIClient()) > 1);
    Show();
}

void TMDIChildOvV::FormResize() {
    const SIZE client = ClientSize();
    if (client.cx == kOvVClientWidth)
        return;
    RECT r;
    GetWindowRect(Handle(), &r);
    FWidthLimit = (r.right - r.left) - client.cx + kOvVClientWidth;
    SetConstraints({FWidthLimit, 0}, {FWidthLimit, FMaxHeight});
    SetClientSize(kOvVClientWidth, client.cy);
}

void TMDIChildOvV::Show() {
    ShowMDIChildNormal(Handle());
}

TCloseAction TMDIChildOvV::FormClose() {
    FCtl.FormClose(*this);
    // This window still counts.
    FHost.SetCloseAllEnabled(MDIChildCount(FHost.MDIClient()) > 2);
    return TCloseAction::Free;
}

void TMDIChildOvV::OnNcDestroy() {
    if (FOwned)
        delete this;
}

void TMDIChildOvV::ShowInfo(int32_t Chamber) {
    TTreeNode* node = FCtl.ChamberNode(Chamber);
    if (!node)
        return;
    FHost.ShowChamberInfo(*node);
}

TOvVFrame* TMDIChildOvV::Frame(int32_t Chamber) const {
    return Chamber >= 0 && Chamber < kOvVChambers ? FFrames[Chamber].get() : nullptr;
}

// --- IOvVView ---

void TMDIChildOvV::CreateFrame(int32_t Chamber, const TOvVFrameState& State) {
    FFrames[Chamber] = std::make_unique<TOvVFrame>(Handle(), State, [this, Chamber] {
        PostMessageA(Handle(), kShowInfo, static_cast<WPARAM>(Chamber), 0);
    });
}

void TMDIChildOvV::FreeFrame(int32_t Chamber) {
    FFrames[Chamber].reset();
}

void TMDIChildOvV::PlaceFrame(int32_t Chamber, int32_t Top) {
    if (TOvVFrame* frame = Frame(Chamber))
        SetWindowPos(frame->Handle(), nullptr, 0, Top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TMDIChildOvV::SetClientHeight(int32_t Height) {
    int outer;
    if (IsIconic(Handle())) {
        RECT r{0, 0, kOvVClientWidth, Height};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
        outer = OuterHeight(r);
    } else {
        // The height limit lifted first.
        SetConstraints({FWidthLimit, 0}, {FWidthLimit, 0});
        SetClientSize(kOvVClientWidth, Height);
        RECT r;
        GetWindowRect(Handle(), &r);
        outer = OuterHeight(r);
    }
    FMaxHeight = outer;
    SetConstraints({FWidthLimit, 0}, {FWidthLimit, FMaxHeight});
    // No taller than the document area.
    RECT area;
    GetClientRect(GetParent(Handle()), &area);
    SetWindowHeight(std::min(outer, static_cast<int>(area.bottom)));
}

void TMDIChildOvV::SetWindowHeight(int Height) {
    if (!IsIconic(Handle())) {
        SetWindowPos(Handle(), nullptr, 0, 0, FWidthLimit, Height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // Minimised: the size it gets back when restored.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    RECT& normal = placement.rcNormalPosition;
    normal.right = normal.left + FWidthLimit;
    normal.bottom = normal.top + Height;
    SetWindowPlacement(Handle(), &placement);
}

void TMDIChildOvV::SetLabel1(const std::string& Text) {
    SetControlText(kLabel1, Text);
}

void TMDIChildOvV::SetLabel1Visible(bool Visible) {
    ShowWindow(Label1(), Visible ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Label2(), Visible ? SW_HIDE : SW_SHOWNA);
    ShowWindow(Label3(), Visible ? SW_HIDE : SW_SHOWNA);
    FTitlesVisible = !Visible;
    InvalidateRect(Handle(), &kTitleRow, TRUE);
}

void TMDIChildOvV::SetText(int32_t Chamber, TOvVControl Control, const std::string& Text) {
    if (TOvVFrame* frame = Frame(Chamber))
        frame->SetText(Control, Text);
}

void TMDIChildOvV::SetWidth(int32_t Chamber, TOvVControl Edit, int32_t Width) {
    if (TOvVFrame* frame = Frame(Chamber))
        frame->SetWidth(Edit, Width);
}

void TMDIChildOvV::SetColor(int32_t Chamber, TOvVControl Shape, uint32_t Brush, uint32_t Pen) {
    if (TOvVFrame* frame = Frame(Chamber))
        frame->SetColor(Shape, Brush, Pen);
}

void TMDIChildOvV::SetProgress(int32_t Chamber, int32_t Position) {
    if (TOvVFrame* frame = Frame(Chamber))
        frame->SetProgress(Position);
}

void TMDIChildOvV::SetProgressVisible(int32_t Chamber, bool Visible) {
    if (TOvVFrame* frame = Frame(Chamber))
        frame->SetProgressVisible(Visible);
}

void TMDIChildOvV::SetStableValuesVisible(int32_t Chamber, bool Visible) {
    if (TOvVFrame* frame = Frame(Chamber))
        frame->SetStableValuesVisible(Visible);
}

// --- painting and messages ---

void TMDIChildOvV::Paint() {
    const TPaintDC paint(Handle());
    if (FTitlesVisible) {
        PaintShape(paint.Get(), kShapeActTitel, TShapeType::Rectangle, kClWhite, kClBlack);
        PaintShape(paint.Get(), kShapeStbTitel, TShapeType::Rectangle, kClSilver, kClBlack);
    }
}

LRESULT TMDIChildOvV::CtlColorStatic(WPARAM DC, HWND Ctl) {
    if (Ctl == Label3())
        return ColorStatic(DC, kClWhite);
    if (Ctl == Label2())
        return ColorStatic(DC, kClSilver);
    return ColorStatic(DC, kClBtnFace);
}

LRESULT TMDIChildOvV::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(L) == Handle())
            FCtl.FormActivate();
        break;
    case WM_SIZE:
        if (W != SIZE_MINIMIZED)
            FormResize();
        break;
    case WM_WINDOWPOSCHANGING:
        // A minimised window keeps the size of its icon.
        if (IsIconic(Handle()))
            return DefaultProc(Msg, W, L);
        break;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLORSTATIC:
        return CtlColorStatic(W, reinterpret_cast<HWND>(L));
    case kShowInfo:
        ShowInfo(static_cast<int32_t>(W));
        return 0;
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}

std::function<void()> OverviewCommand(IMdiHost& Host) {
    return [&Host] {
        ShowOverview(Host.Tree(), [&Host](TTreeNode& InstrumentNode) {
            return TMDIChildOvV::CreateOverviewWindow(Host, InstrumentNode);
        });
    };
}

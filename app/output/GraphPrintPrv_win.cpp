#include "app/output/GraphPrintPrv_win.h"

#include "app/output/PageCanvas_win.h"

TGraphPrintPrv::TGraphPrintPrv(HWND Owner, IRegistryStore& Registry, IPreviewHost& Host)
    : FRegistry(Registry), FHost(Host) {
    TFormArgs args;
    args.ClassName = "TGraphPrintPrv";
    args.Caption = "Print Preview";
    args.Style =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
    args.Parent = Owner;
    CreateForm(args);
    SetWindowPos(Handle(), nullptr, 0, 0, 537, 452, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetConstraints({537, 200}, {0, 0});
    const DWORD box = BS_AUTOCHECKBOX | WS_TABSTOP;
    AddControl("BUTTON", "Print series &names", box, kCheckBoxSerNam, 8, 4, 130, 17);
    AddControl("BUTTON", "Print numeric &values", box, kCheckBoxNumVal, 8, 24, 130, 17);
    AddButton(kBitBtnPrS, "P&rinter Setup...", 144, 12, 90, 25);
    AddButton(kBitBtnPaS, "Page Set&up...", 238, 12, 90, 25);
    AddButton(kBitBtnPrint, "&Print", 332, 12, 90, 25, mrYes);
    AddButton(kButtonOK, "&OK", 426, 12, 90, 25, mrOk);
    SetCancelButton(kButtonOK);
    SetChecked(kCheckBoxSerNam, true);
}

int TGraphPrintPrv::Execute(const TGraphPageSource& Source) {
    FSource = &Source;
    CenterWindowOn(Handle(), GetWindow(Handle(), GW_OWNER));
    FormShow();
    const int result = ShowModal();
    FSource = nullptr;
    FBitmap.Reset();
    return result;
}

TPrintOptions TGraphPrintPrv::Options() const {
    return {Checked(kCheckBoxSerNam), Checked(kCheckBoxNumVal)};
}

void TGraphPrintPrv::FormShow() {
    FMetrics = FHost.PrinterMetrics();
    const SIZE client = ClientSize();
    FBox =
        PreviewBox(client.cx, client.cy, FMetrics.PhysicalWidth, FMetrics.PhysicalHeight, 48, 64);
    const TPrintOptions o = LoadPrintOptions(FRegistry);
    SetChecked(kCheckBoxNumVal, o.NumVal);
    SetChecked(kCheckBoxSerNam, o.SerNam);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TGraphPrintPrv::FormConstrainedResize() {
    if (!IsWindowVisible(Handle()))
        return;
    const SIZE client = ClientSize();
    FBox =
        PreviewBox(client.cx, client.cy, FMetrics.PhysicalWidth, FMetrics.PhysicalHeight, 64, 80);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TGraphPrintPrv::PaintBox1Paint() {
    const int width = FBox.Right - FBox.Left;
    const int height = FBox.Bottom - FBox.Top;
    if (width <= 0 || height <= 0 || FMetrics.PhysicalWidth <= 0) {
        FBitmap.Reset();
        return;
    }
    const TWindowDC screen(Handle());
    FBitmap.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
    const TScoped<HDC, DeleteDC> dc(CreateCompatibleDC(screen.Get()));
    const TSelectObject select(dc.Get(), FBitmap.Get());
    const TSelectObject brush(dc.Get(), GetStockObject(WHITE_BRUSH));
    Rectangle(dc.Get(), 0, 0, width, height);
    if (FSource) {
        // Bitmap pixels a inch at which the paper's width fills the box.
        const double r = static_cast<double>(width) * FMetrics.PixelsX / FMetrics.PhysicalWidth;
        TGdiPageCanvas canvas(dc.Get(), FormFontFace());
        const TPrintOptions o = Options();
        DrawGraphPage(*FSource, canvas, FHost.PageRect(), r, r, {0, 0},
                      PrintPageFlags(o.SerNam, o.NumVal));
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TGraphPrintPrv::OnPaint() {
    const TPaintDC paint(Handle());
    if (!FBitmap)
        PaintBox1Paint();
    if (!FBitmap)
        return;
    const TScoped<HDC, DeleteDC> dc(CreateCompatibleDC(paint.Get()));
    const TSelectObject select(dc.Get(), FBitmap.Get());
    BitBlt(paint.Get(), FBox.Left, FBox.Top, FBox.Right - FBox.Left, FBox.Bottom - FBox.Top,
           dc.Get(), 0, 0, SRCCOPY);
}

void TGraphPrintPrv::ButtonOKClick() {
    StorePrintOptions(FRegistry, Options());
}

LRESULT TGraphPrintPrv::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SIZE: {
        const LRESULT result = TForm::OnMessage(Msg, W, L);
        FormConstrainedResize();
        FBitmap.Reset();
        return result;
    }
    default:
        return TForm::OnMessage(Msg, W, L);
    }
}

bool TGraphPrintPrv::OnCommand(int Id, int Code, HWND Control) {
    if (Code == BN_CLICKED) {
        switch (Id) {
        case kCheckBoxSerNam:
        case kCheckBoxNumVal:
            PaintBox1Paint();
            return true;
        case kBitBtnPrS:
            FHost.PrinterSetup();
            return true;
        case kBitBtnPaS:
            FHost.PageSetup();
            return true;
        case kButtonOK:
            ButtonOKClick();
            break;
        default:
            break;
        }
    }
    return TForm::OnCommand(Id, Code, Control);
}

bool TGraphPrintPrv::Checked(int Id) const {
    return SendMessageA(Control(Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TGraphPrintPrv::SetChecked(int Id, bool Checked) {
    SendMessageA(Control(Id), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

#include "app/output/PageCanvas_win.h"

#include "app/base/Form_win.h"
#include "app/base/Shape_win.h"
#include "app/graph/GraphCanvas_.h"

#include <cmath>

namespace {

RECT WinRect(const TRect& R) {
    return {R.Left, R.Top, R.Right, R.Bottom};
}

// The temporary graph's canvas: its pixels are logical units of 1/200 inch,
// placed at Origin, so the page's mapping scales them to the device. Fields
// move the window origin and clip in logical units, which printers and
// metafiles take alike.
class TPageGraphCanvas : public TGraphCanvas {
public:
    TPageGraphCanvas(HDC DC, TPoint Origin, std::string Face)
        : FDC(DC), FSavedDC(SaveDC(DC)), FOrigin(Origin), FFace(std::move(Face)) {
        SetField({0, 0, 0, 0});
    }
    ~TPageGraphCanvas() override { RestoreDC(FDC, FSavedDC); }
    TPageGraphCanvas(const TPageGraphCanvas&) = delete;
    TPageGraphCanvas& operator=(const TPageGraphCanvas&) = delete;

    void SetField(const TRect& Field) override {
        SelectClipRgn(FDC, nullptr);
        SetWindowOrgEx(FDC, -(FOrigin.X + Field.Left), -(FOrigin.Y + Field.Top), nullptr);
        if (Field.Right > Field.Left)
            IntersectClipRect(FDC, 0, 0, Field.Right - Field.Left, Field.Bottom - Field.Top);
    }
    void MoveTo(int32_t X, int32_t Y) override { MoveToEx(FDC, X, Y, nullptr); }
    void LineTo(int32_t X, int32_t Y) override {
        SelectPen();
        ::LineTo(FDC, X, Y);
    }
    void SetPixel(int32_t X, int32_t Y, TColor Color) override {
        const RECT r{X, Y, X + 1, Y + 1};
        ::FillRect(FDC, &r, ColorBrush(Color));
    }
    void FillRect(const TRect& R) override {
        if (State.BrushClear)
            return;
        const RECT r = WinRect(R);
        ::FillRect(FDC, &r, ColorBrush(State.BrushColor));
    }
    void Ellipse(const TRect& R) override {
        SelectPen();
        const TSelectObject brush(FDC, State.BrushClear ? GetStockObject(NULL_BRUSH)
                                                        : ColorBrush(State.BrushColor));
        ::Ellipse(FDC, R.Left, R.Top, R.Right, R.Bottom);
    }
    void Frame3D(const TRect& R, TColor TopLeft, TColor BottomRight, int32_t Width) override {
        RECT r = WinRect(R);
        for (int32_t i = 0; i < Width; ++i) {
            Fill({r.left, r.top, r.right - 1, r.top + 1}, TopLeft);
            Fill({r.left, r.top, r.left + 1, r.bottom - 1}, TopLeft);
            Fill({r.left, r.bottom - 1, r.right, r.bottom}, BottomRight);
            Fill({r.right - 1, r.top, r.right, r.bottom}, BottomRight);
            InflateRect(&r, -1, -1);
        }
    }
    void WriteText(int32_t X, int32_t Y, const std::string& Text) override {
        PrepareText();
        ::TextOutA(FDC, X, Y, Text.data(), static_cast<int>(Text.size()));
    }
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override {
        const UINT options = ETO_CLIPPED | (PrepareText() ? ETO_OPAQUE : 0);
        const RECT r = WinRect(Clip);
        ExtTextOutA(FDC, X, Y, options, &r, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    }
    int32_t TextWidth(const std::string& Text) override { return Extent(Text).cx; }
    int32_t TextHeight(const std::string& Text) override { return Extent(Text).cy; }
    int32_t FontHeight() override { return LogicalHeight(); }

private:
    using TGdiObject = TScoped<HGDIOBJ, DeleteObject>;
    static constexpr int kPixelsPerInch = 200;

    int32_t LogicalHeight() const { return MulDiv(State.FontSize, kPixelsPerInch, 72); }
    void Fill(const RECT& R, TColor Color) { ::FillRect(FDC, &R, ColorBrush(Color)); }
    void SelectPen() {
        TGdiObject& pen = FPens[State.PenColor];
        if (!pen)
            pen.Reset(CreatePen(PS_SOLID, 1, ColorRef(State.PenColor)));
        SelectObject(FDC, pen.Get());
    }
    void SelectFont() {
        TGdiObject& font = FFonts[State.FontSize];
        if (!font) {
            LOGFONTA lf{};
            lf.lfHeight = -LogicalHeight();
            lf.lfCharSet = DEFAULT_CHARSET;
            FFace.copy(lf.lfFaceName, sizeof lf.lfFaceName - 1);
            font.Reset(CreateFontIndirectA(&lf));
        }
        SelectObject(FDC, font.Get());
    }
    // True when the text's background box is painted.
    bool PrepareText() {
        SelectFont();
        SetTextColor(FDC, ColorRef(State.FontColor));
        const bool opaque = !State.Transparent && !State.BrushClear;
        SetBkMode(FDC, opaque ? OPAQUE : TRANSPARENT);
        SetBkColor(FDC, ColorRef(State.BrushColor));
        return opaque;
    }
    SIZE Extent(const std::string& Text) {
        SelectFont();
        SIZE size{};
        GetTextExtentPoint32A(FDC, Text.data(), static_cast<int>(Text.size()), &size);
        return size;
    }

    HDC FDC;
    int FSavedDC;
    TPoint FOrigin;
    std::string FFace;
    std::map<TColor, TGdiObject> FPens;
    std::map<int32_t, TGdiObject> FFonts;
};

} // namespace

std::string FormFontFace() {
    LOGFONTA lf{};
    GetObjectA(FormFont(), sizeof lf, &lf);
    return lf.lfFaceName;
}

TGdiPageCanvas::TGdiPageCanvas(HDC DC, std::string GraphFont)
    : FDC(DC), FSavedDC(SaveDC(DC)), FGraphFont(std::move(GraphFont)) {
    SetBkMode(FDC, TRANSPARENT);
    SetTextColor(FDC, RGB(0, 0, 0));
    SetTextAlign(FDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

TGdiPageCanvas::~TGdiPageCanvas() {
    RestoreDC(FDC, FSavedDC);
}

TPageMapping TGdiPageCanvas::Mapping() {
    TPageMapping m;
    m.Mode = GetMapMode(FDC);
    SIZE size{};
    GetWindowExtEx(FDC, &size);
    m.WindowExt = {size.cx, size.cy};
    GetViewportExtEx(FDC, &size);
    m.ViewportExt = {size.cx, size.cy};
    POINT origin{};
    GetViewportOrgEx(FDC, &origin);
    m.ViewportOrg = {origin.x, origin.y};
    return m;
}

void TGdiPageCanvas::SetMapping(const TPageMapping& Mapping) {
    SetMapMode(FDC, Mapping.Mode);
    if (Mapping.Mode == MM_ANISOTROPIC || Mapping.Mode == MM_ISOTROPIC) {
        SetWindowExtEx(FDC, Mapping.WindowExt.X, Mapping.WindowExt.Y, nullptr);
        SetViewportExtEx(FDC, Mapping.ViewportExt.X, Mapping.ViewportExt.Y, nullptr);
    }
    SetViewportOrgEx(FDC, Mapping.ViewportOrg.X, Mapping.ViewportOrg.Y, nullptr);
}

void TGdiPageCanvas::SetAnisotropic(TPoint WindowExt, TPoint ViewportExt, TPoint ViewportOrg) {
    SetMapping({MM_ANISOTROPIC, WindowExt, ViewportExt, ViewportOrg});
}

void TGdiPageCanvas::SetFont(int32_t Height) {
    TGdiObject& font = FFonts[Height];
    if (!font) {
        LOGFONTA lf{};
        lf.lfHeight = Height;
        lf.lfCharSet = DEFAULT_CHARSET;
        std::string(kPageFont).copy(lf.lfFaceName, sizeof lf.lfFaceName - 1);
        font.Reset(CreateFontIndirectA(&lf));
    }
    SelectObject(FDC, font.Get());
}

SIZE TGdiPageCanvas::Extent(const std::string& Text) {
    SIZE size{};
    GetTextExtentPoint32A(FDC, Text.data(), static_cast<int>(Text.size()), &size);
    return size;
}

int32_t TGdiPageCanvas::TextWidth(const std::string& Text) {
    return Extent(Text).cx;
}

int32_t TGdiPageCanvas::TextHeight(const std::string& Text) {
    return Extent(Text).cy;
}

void TGdiPageCanvas::TextOut(int32_t X, int32_t Y, const std::string& Text) {
    ::TextOutA(FDC, X, Y, Text.data(), static_cast<int>(Text.size()));
}

void TGdiPageCanvas::TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) {
    const RECT r = WinRect(Clip);
    ExtTextOutA(FDC, X, Y, ETO_CLIPPED, &r, Text.data(), static_cast<UINT>(Text.size()), nullptr);
}

void TGdiPageCanvas::RenderGraph(const TLineGraph& Source, const TRect& G, uint8_t GraphFlags,
                                 const TRect& DeviceG) {
    TLineGraph page;
    SetupPageGraph(Source, page, G, GraphFlags);
    if (page.ClientWidth() <= 0 || page.ClientHeight() <= 0)
        return;
    const TPageMapping saved = Mapping();
    struct TRestore {
        TGdiPageCanvas& Canvas;
        TPageMapping Saved;
        ~TRestore() { Canvas.SetMapping(Saved); }
    } restore{*this, saved};
    SetMapping({MM_ANISOTROPIC,
                {page.ClientWidth(), page.ClientHeight()},
                {DeviceG.Right - DeviceG.Left, DeviceG.Bottom - DeviceG.Top},
                saved.ViewportOrg});
    TPageGraphCanvas canvas(FDC, PageGraphOrigin(G), FGraphFont);
    canvas.State.FontSize = kPageGraphFontSize;
    page.Paint(canvas, 1);
    page.DrawFieldPaint(canvas);
}

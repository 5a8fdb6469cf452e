#include "app/graph/GdiCanvas_win.h"

#include "app/base/Form_win.h"
#include "app/base/Shape_win.h"
#include "app/graph/DibText_win.h"

#include <algorithm>

namespace {

// How far left of its box a glyph's antialiased edge may reach.
constexpr int32_t kGlyphBleed = 2;

RECT WinRect(const TRect& R) {
    return {R.Left, R.Top, R.Right, R.Bottom};
}

} // namespace

TGdiCanvas::TGdiCanvas(HDC DC, bool DirectBits, TGdiCanvasCache* Cache)
    : FDC(DC), FSavedDC(SaveDC(DC)), FDirectBits(DirectBits), FDib(DC),
      FCache(Cache && PlainTextLayout() ? *Cache : FOwnCache) {
    const int dpiY = GetDeviceCaps(DC, LOGPIXELSY);
    if (FCache.DpiY != dpiY) {
        FCache.Texts.clear();
        FCache.Blends.clear();
        FCache.Fonts.clear();
        FCache.DpiY = dpiY;
    }
}

// The objects of the canvas are deleted after this, once no longer selected.
TGdiCanvas::~TGdiCanvas() {
    Flush();
    RestoreDC(FDC, FSavedDC);
}

void TGdiCanvas::SetField(const TRect& Field) {
    Flush();
    SetViewportOrgEx(FDC, 0, 0, nullptr);
    HRGN clip = CreateRectRgn(Field.Left, Field.Top, Field.Right, Field.Bottom);
    SelectClipRgn(FDC, clip);
    DeleteObject(clip);
    SetViewportOrgEx(FDC, Field.Left, Field.Top, nullptr);
    FDib.Changed();
}

void TGdiCanvas::SelectPen() {
    TGdiCanvasCache::TGdiObject& pen = FCache.Pens[State.PenColor];
    if (!pen)
        pen.Reset(CreatePen(PS_SOLID, 1, ColorRef(State.PenColor)));
    if (FPen != pen.Get())
        SelectObject(FDC, FPen = pen.Get());
}

void TGdiCanvas::SelectFont() {
    TGdiCanvasCache::TGdiObject& font = FCache.Fonts[State.FontSize];
    if (!font) {
        LOGFONTA lf{};
        GetObjectA(FormFont(), sizeof lf, &lf);
        lf.lfHeight = -MulDiv(State.FontSize, FCache.DpiY, 72);
        font.Reset(CreateFontIndirectA(&lf));
    }
    if (FFont != font.Get())
        SelectObject(FDC, FFont = font.Get());
}

void TGdiCanvas::PrepareText() {
    Flush();
    SelectFont();
    FGdiDrew = true;
    const COLORREF text = ColorRef(State.FontColor);
    if (FTextColor != text)
        SetTextColor(FDC, FTextColor = text);
    const int mode = !State.Transparent && !State.BrushClear ? OPAQUE : TRANSPARENT;
    if (FBkMode != mode)
        SetBkMode(FDC, FBkMode = mode);
    const COLORREF back = ColorRef(State.BrushColor);
    if (FBkColor != back)
        SetBkColor(FDC, FBkColor = back);
}

void TGdiCanvas::FillSolid(const RECT& R, TColor Color) {
    if (BitsReady() && FDib.Fill(R, ColorRef(Color)))
        return;
    Flush();
    FGdiDrew = true;
    ::FillRect(FDC, &R, ColorBrush(Color));
}

void TGdiCanvas::Flush() {
    if (FCounts.empty())
        return;
    const TColor color = State.PenColor;
    State.PenColor = FBatchColor;
    SelectPen();
    State.PenColor = color;
    FGdiDrew = true;
    PolyPolyline(FDC, FPoints.data(), FCounts.data(), static_cast<DWORD>(FCounts.size()));
    FPoints.clear();
    FCounts.clear();
}

void TGdiCanvas::AddSegment(POINT From, POINT To) {
    if (!FCounts.empty() && FBatchColor != State.PenColor)
        Flush();
    FBatchColor = State.PenColor;
    FPoints.push_back(From);
    FPoints.push_back(To);
    FCounts.push_back(2);
}

void TGdiCanvas::Line(POINT From, POINT To) {
    if (!BitsReady() || !FDib.Line(From, To, ColorRef(State.PenColor)))
        AddSegment(From, To);
}

bool TGdiCanvas::BitsReady() {
    if (!FDirectBits || !FDib.Ready())
        return false;
    Flush();
    if (FGdiDrew) {
        GdiFlush();
        FGdiDrew = false;
    }
    return true;
}

void TGdiCanvas::MoveTo(int32_t X, int32_t Y) {
    FPosition = {X, Y};
}

void TGdiCanvas::LineTo(int32_t X, int32_t Y) {
    const POINT to{X, Y};
    Line(FPosition, to);
    FPosition = to;
}

// Off the bitmap's bits a pixel in PenColor is the line to its right
// neighbour, which leaves that neighbour out, and joins the gathered lines.
void TGdiCanvas::SetPixel(int32_t X, int32_t Y, TColor Color) {
    if (BitsReady() && FDib.Pixel({X, Y}, ColorRef(Color)))
        return;
    if (Color == State.PenColor) {
        AddSegment({X, Y}, {X + 1, Y});
        return;
    }
    Flush();
    FGdiDrew = true;
    SetPixelV(FDC, X, Y, ColorRef(Color));
}

void TGdiCanvas::FillRect(const TRect& R) {
    if (!State.BrushClear)
        FillSolid(WinRect(R), State.BrushColor);
}

void TGdiCanvas::Ellipse(const TRect& R) {
    Flush();
    SelectPen();
    FGdiDrew = true;
    const TSelectObject brush(FDC, State.BrushClear ? GetStockObject(NULL_BRUSH)
                                                    : ColorBrush(State.BrushColor));
    ::Ellipse(FDC, R.Left, R.Top, R.Right, R.Bottom);
}

void TGdiCanvas::Frame3D(const TRect& R, TColor TopLeft, TColor BottomRight, int32_t Width) {
    RECT r = WinRect(R);
    for (int32_t i = 0; i < Width; ++i) {
        FillSolid({r.left, r.top, r.right - 1, r.top + 1}, TopLeft);
        FillSolid({r.left, r.top, r.left + 1, r.bottom - 1}, TopLeft);
        FillSolid({r.left, r.bottom - 1, r.right, r.bottom}, BottomRight);
        FillSolid({r.right - 1, r.top, r.right, r.bottom}, BottomRight);
        InflateRect(&r, -1, -1);
    }
}

void TGdiCanvas::WriteText(int32_t X, int32_t Y, const std::string& Text) {
    PrepareText();
    const std::vector<WORD>& glyphs = Form(Text).Glyphs;
    if (glyphs.empty())
        ::TextOutA(FDC, X, Y, Text.data(), static_cast<int>(Text.size()));
    else
        GlyphsOut(X, Y, 0, nullptr, glyphs.data(), static_cast<UINT>(glyphs.size()));
}

// A band's text is first asked for within no width: nothing to draw. As the
// band grows it is rewritten within a clip a column wider each time: the
// glyphs that start right of the clip are left out, GDI paying for each.
void TGdiCanvas::TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) {
    if (Clip.Left == Clip.Right || Clip.Top == Clip.Bottom)
        return;
    PrepareText();
    const RECT r = WinRect(Clip);
    const UINT options = ETO_CLIPPED | (FBkMode == OPAQUE ? ETO_OPAQUE : 0);
    const TGdiTextForm& form = Form(Text);
    if (form.Glyphs.empty()) {
        ExtTextOutA(FDC, X, Y, options, &r, Text.data(), static_cast<UINT>(Text.size()), nullptr);
        return;
    }
    if (FBkMode == TRANSPARENT && FDirectBits && FDib.Ready() && PlainTextLayout()) {
        const TTextBlend& blend = Blend(Text, form);
        if (blend.Exact && BitsReady() && FDib.Text({X, Y}, r, blend))
            return;
    }
    size_t count = form.Glyphs.size();
    if (!form.Reach.empty() && PlainTextLayout())
        while (count > 0 && int64_t{X} + form.Reach[count - 1] >= Clip.Right)
            --count;
    if (count > 0 || FBkMode == OPAQUE)
        GlyphsOut(X, Y, options, &r, form.Glyphs.data(), static_cast<UINT>(count));
}

void TGdiCanvas::GlyphsOut(int32_t X, int32_t Y, UINT Options, const RECT* Clip, const WORD* Glyphs,
                           UINT Count) {
    ExtTextOutW(FDC, X, Y, Options | ETO_GLYPH_INDEX, Clip, reinterpret_cast<LPCWSTR>(Glyphs),
                Count, nullptr);
}

const TTextBlend& TGdiCanvas::Blend(const std::string& Text, const TGdiTextForm& Form) {
    const auto key = std::make_tuple(State.FontSize, Text, FTextColor);
    auto at = FCache.Blends.find(key);
    if (at == FCache.Blends.end()) {
        SelectFont();
        at = FCache.Blends
                 .emplace(key, MeasureTextBlend(static_cast<HFONT>(FFont), FTextColor, Form.Glyphs,
                                                TextExtent(Text)))
                 .first;
    }
    return at->second;
}

// Only where a text runs left to right from its top left corner, in pixels of
// a plain font, does a glyph's pixel follow from its advance and bearing, and
// does it stand where a scratch bitmap measured it.
bool TGdiCanvas::PlainTextLayout() {
    if (FPlainLayout < 0) {
        XFORM transform{};
        const UINT align = GetTextAlign(FDC);
        FPlainLayout = align == (TA_LEFT | TA_TOP | TA_NOUPDATECP) && GetMapMode(FDC) == MM_TEXT &&
                       GetLayout(FDC) == 0 && GetTextCharacterExtra(FDC) == 0 &&
                       GetWorldTransform(FDC, &transform) && transform.eM11 == 1 &&
                       transform.eM12 == 0 && transform.eM21 == 0 && transform.eM22 == 1;
    }
    return FPlainLayout != 0;
}

std::vector<int32_t> TGdiCanvas::GlyphReach(const std::vector<WORD>& Glyphs) {
    TEXTMETRICW metrics{};
    if (!PlainTextLayout() || !GetTextMetricsW(FDC, &metrics) || metrics.tmUnderlined ||
        metrics.tmStruckOut)
        return {};
    const int count = static_cast<int>(Glyphs.size());
    std::vector<INT> ends(Glyphs.size());
    std::vector<ABC> widths(Glyphs.size());
    SIZE size{};
    std::vector<WORD> glyphs = Glyphs; // the calls take them unconst
    if (!GetTextExtentExPointI(FDC, glyphs.data(), count, 0, nullptr, ends.data(), &size) ||
        !GetCharABCWidthsI(FDC, 0, static_cast<UINT>(count), glyphs.data(), widths.data()))
        return {};
    std::vector<int32_t> reach(Glyphs.size());
    for (int i = 0; i < count; ++i)
        reach[i] = (i == 0 ? 0 : ends[i - 1]) + std::min(0, widths[i].abcA) - kGlyphBleed;
    return reach;
}

const TGdiTextForm& TGdiCanvas::Form(const std::string& Text) {
    TGdiTextForm& form = FCache.Texts[{State.FontSize, Text}];
    if (form.Mapped)
        return form;
    form.Mapped = true;
    const bool plain =
        std::all_of(Text.begin(), Text.end(), [](char C) { return C >= 0x20 && C <= 0x7E; });
    if (!plain || Text.empty())
        return form;
    SelectFont();
    const std::wstring wide(Text.begin(), Text.end());
    form.Glyphs.resize(wide.size());
    const DWORD mapped = GetGlyphIndicesW(FDC, wide.data(), static_cast<int>(wide.size()),
                                          form.Glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    if (mapped != wide.size() ||
        std::find(form.Glyphs.begin(), form.Glyphs.end(), 0xFFFF) != form.Glyphs.end())
        form.Glyphs.clear();
    else
        form.Reach = GlyphReach(form.Glyphs);
    return form;
}

SIZE TGdiCanvas::TextExtent(const std::string& Text) {
    TGdiTextForm& form = FCache.Texts[{State.FontSize, Text}];
    if (!form.Measured) {
        form.Measured = true;
        SelectFont();
        GetTextExtentPoint32A(FDC, Text.data(), static_cast<int>(Text.size()), &form.Extent);
    }
    return form.Extent;
}

int32_t TGdiCanvas::TextWidth(const std::string& Text) {
    return TextExtent(Text).cx;
}

int32_t TGdiCanvas::TextHeight(const std::string& Text) {
    return TextExtent(Text).cy;
}

int32_t TGdiCanvas::FontHeight() {
    return MulDiv(State.FontSize, GetDeviceCaps(FDC, LOGPIXELSY), 72);
}

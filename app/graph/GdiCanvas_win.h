// The graph canvas on a GDI device context: pens, brushes and fonts made as
// the state asks for them and kept for the canvas's life, or by its owner
// across repaints. A repaint draws thousands of lines, band pieces and band
// captions: on a 32-bit DIB section lines, solid fills and transparent texts
// are set in its bits; elsewhere lines and pixels of one colour that follow
// each other go to GDI as one PolyPolyline, which in any order paints the same
// pixels.
#pragma once

#include "app/graph/DibLines_win.h"
#include "app/graph/GraphCanvas_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// What is known of a text in a font, found out as it is asked for.
struct TGdiTextForm {
    bool Measured = false;
    SIZE Extent{0, 0};
    bool Mapped = false;
    // Empty where GDI is left to map the characters: one beyond printable
    // ASCII may be reordered, shaped or of another code page, one the font
    // lacks comes from a linked font.
    std::vector<WORD> Glyphs;
    // Per glyph the leftmost pixel it may set, from where the text starts;
    // empty where that is not known.
    std::vector<int32_t> Reach;
};

// What canvases on the DCs of one owner make and measure, kept from one
// repaint to the next: each repaint asks for the same fonts, pens and texts.
// It starts anew when the resolution changes.
struct TGdiCanvasCache {
    using TGdiObject = TScoped<HGDIOBJ, DeleteObject>;
    int DpiY = 0;
    std::map<TColor, TGdiObject> Pens;
    std::map<int32_t, TGdiObject> Fonts;
    // Bands measure and write the same few texts again for every column they
    // span; by font size and text, their blends also by colour.
    std::map<std::pair<int32_t, std::string>, TGdiTextForm> Texts;
    std::map<std::tuple<int32_t, std::string, COLORREF>, TTextBlend> Blends;
};

class TGdiCanvas : public TGraphCanvas {
public:
    // Draws on DC with the form font's face; the DC's state (objects, origin,
    // clipping) is restored when the canvas ends. Without DirectBits every line,
    // fill and text goes to GDI. Cache, where given, outlives the canvas and
    // serves DCs in plain pixels only.
    explicit TGdiCanvas(HDC DC, bool DirectBits = true, TGdiCanvasCache* Cache = nullptr);
    ~TGdiCanvas() override;
    TGdiCanvas(const TGdiCanvas&) = delete;
    TGdiCanvas& operator=(const TGdiCanvas&) = delete;

    void SetField(const TRect& Field) override;
    void MoveTo(int32_t X, int32_t Y) override;
    void LineTo(int32_t X, int32_t Y) override;
    void SetPixel(int32_t X, int32_t Y, TColor Color) override;
    void FillRect(const TRect& R) override;
    void Ellipse(const TRect& R) override;
    void Frame3D(const TRect& R, TColor TopLeft, TColor BottomRight, int32_t Width) override;
    void WriteText(int32_t X, int32_t Y, const std::string& Text) override;
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override;
    int32_t TextWidth(const std::string& Text) override;
    int32_t TextHeight(const std::string& Text) override;
    int32_t FontHeight() override;

private:
    void SelectPen();
    // Draws the lines gathered so far.
    void Flush();
    void AddSegment(POINT From, POINT To);
    // A line in PenColor, To left out: into the bitmap's bits where it can be,
    // else gathered for GDI.
    void Line(POINT From, POINT To);
    // Whether the bitmap's bits can be drawn on now; GDI's drawing so far is
    // then done.
    bool BitsReady();
    void SelectFont();
    SIZE TextExtent(const std::string& Text);
    // Text drawn through its glyphs gives the characters' pixels, and GDI skips
    // mapping them on every call.
    const TGdiTextForm& Form(const std::string& Text);
    // How Text in the current font and colour blends into the bits.
    const TTextBlend& Blend(const std::string& Text, const TGdiTextForm& Form);
    void GlyphsOut(int32_t X, int32_t Y, UINT Options, const RECT* Clip, const WORD* Glyphs,
                   UINT Count);
    std::vector<int32_t> GlyphReach(const std::vector<WORD>& Glyphs);
    bool PlainTextLayout();
    void PrepareText();
    void FillSolid(const RECT& R, TColor Color);

    HDC FDC;
    int FSavedDC;
    bool FDirectBits;
    TDibLines FDib;
    bool FGdiDrew = false; // since the bits were last flushed
    // What is selected and set now: a repaint asks for the same few thousand
    // times.
    HGDIOBJ FPen = nullptr;
    HGDIOBJ FFont = nullptr;
    COLORREF FTextColor = CLR_INVALID;
    COLORREF FBkColor = CLR_INVALID;
    int FBkMode = 0;
    int FPlainLayout = -1; // unknown, else whether texts run left to right in pixels
    POINT FPosition{0, 0};
    std::vector<POINT> FPoints; // pairs of points, one line each
    std::vector<DWORD> FCounts; // 2 for each line
    TColor FBatchColor = 0;
    TGdiCanvasCache FOwnCache;
    TGdiCanvasCache& FCache;
};

// The GDI canvas sets lines and fills in a DIB section's bits itself and
// writes texts through their glyphs: the pixels must be GDI's own, bit for bit,
// whatever the direction, clip, origin, bitmap orientation and the GDI drawing
// between them, and whatever the text.
#include "app/base/Form_win.h"
#include "app/graph/DibLines_win.h"
#include "app/graph/GdiCanvas_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// A 32-bit DIB section in a memory DC, its pixels a noise of Seed.
class TDib {
public:
    TDib(bool TopDown, uint32_t Seed)
        : FBitmap(Create(TopDown)), FDC(CreateCompatibleDC(nullptr)),
          FSelect(FDC.Get(), FBitmap.Get()) {
        std::mt19937 noise(Seed);
        for (int i = 0; i < kWidth * kHeight; ++i)
            FBits[i] = noise();
    }
    HDC DC() const { return FDC.Get(); }
    const uint32_t* Bits() const { return FBits; }

private:
    HBITMAP Create(bool TopDown) {
        HBITMAP bitmap = CreateDib32(kWidth, kHeight, TopDown);
        DIBSECTION dib{};
        GetObjectW(bitmap, sizeof dib, &dib);
        FBits = static_cast<uint32_t*>(dib.dsBm.bmBits);
        return bitmap;
    }

    uint32_t* FBits = nullptr;
    TScoped<HBITMAP, DeleteObject> FBitmap;
    TScoped<HDC, DeleteDC> FDC;
    TSelectObject FSelect;
};

// Lines of every kind, pixels and fills in random colours, fields and places,
// some far outside the bitmap; the same for the same Seed.
void DrawRandom(TGraphCanvas& Canvas, uint32_t Seed) {
    std::mt19937 random(Seed);
    const auto pick = [&](int From, int To) {
        return std::uniform_int_distribution<int>(From, To)(random);
    };
    const auto coordinate = [&](int Size) {
        return pick(0, 19) == 0 ? pick(-200000, 200000) : pick(-40, Size + 40);
    };
    const auto color = [&]() -> TColor {
        return pick(0, 9) == 0 ? kClShadow : static_cast<TColor>(random() & 0xFFFFFF);
    };
    POINT at{0, 0};
    for (int i = 0; i < 300; ++i) {
        const int what = pick(0, 99);
        if (what < 6) {
            const int left = pick(-30, kWidth), top = pick(-30, kHeight);
            Canvas.SetField({left, top, left + pick(0, kWidth), top + pick(0, kHeight)});
        } else if (what < 16) {
            Canvas.State.PenColor = color();
        } else if (what < 20) {
            Canvas.State.BrushColor = color();
            const int left = pick(-10, kWidth), top = pick(-10, kHeight);
            Canvas.FillRect({left, top, left + pick(0, 30), top + pick(0, 30)});
        } else if (what < 25) {
            Canvas.SetPixel(coordinate(kWidth), coordinate(kHeight),
                            pick(0, 1) ? Canvas.State.PenColor : color());
        } else {
            if (pick(0, 2) == 0) {
                at = {coordinate(kWidth), coordinate(kHeight)};
                Canvas.MoveTo(at.x, at.y);
            }
            POINT to = at;
            switch (pick(0, 3)) {
            case 0:
                to.y = coordinate(kHeight);
                break;
            case 1:
                to.x = coordinate(kWidth);
                break;
            case 2:
                to = {coordinate(kWidth), coordinate(kHeight)};
                break;
            default:
                break; // no length
            }
            Canvas.LineTo(to.x, to.y);
            at = to;
        }
    }
}

struct TCase {
    const char* Name;
    bool TopDown;
    // What the caller set on the DC before the canvas.
    std::function<void(HDC)> Prepare;
};

void ComplexClip(HDC DC) {
    const TScoped<HRGN, DeleteObject> a(CreateRectRgn(5, 5, 70, 60));
    const TScoped<HRGN, DeleteObject> b(CreateRectRgn(50, 40, 150, 110));
    CombineRgn(a.Get(), a.Get(), b.Get(), RGN_OR);
    SelectClipRgn(DC, a.Get());
}

const TCase kCases[] = {
    {"top-down", true, [](HDC) {}},
    {"bottom-up", false, [](HDC) {}},
    {"clip rectangle and origins of the caller", true,
     [](HDC DC) {
         IntersectClipRect(DC, 7, 3, 120, 100);
         SetViewportOrgEx(DC, 13, -6, nullptr);
         SetWindowOrgEx(DC, -4, 9, nullptr);
     }},
    {"clip of two rectangles", false, ComplexClip},
    {"xor", true, [](HDC DC) { SetROP2(DC, R2_XORPEN); }},
};

// The first pixel where two bitmaps differ, or n.
int FirstDifference(const TDib& A, const TDib& B) {
    const int n = kWidth * kHeight;
    int i = 0;
    while (i < n && A.Bits()[i] == B.Bits()[i])
        ++i;
    return i;
}

void Paint(const TDib& Dib, const TCase& Case, bool DirectLines, uint32_t Seed) {
    Case.Prepare(Dib.DC());
    {
        TGdiCanvas canvas(Dib.DC(), DirectLines);
        DrawRandom(canvas, Seed);
    }
    GdiFlush();
}

} // namespace

TEST(GdiCanvas, DirectLinesSetGdisPixels) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.Name);
        for (uint32_t seed = 1; seed <= 40; ++seed) {
            const TDib direct(c.TopDown, seed), gdi(c.TopDown, seed);
            Paint(direct, c, true, seed);
            Paint(gdi, c, false, seed);
            const int n = kWidth * kHeight;
            int i = 0;
            while (i < n && direct.Bits()[i] == gdi.Bits()[i])
                ++i;
            ASSERT_EQ(i, n) << "seed " << seed << ": first different pixel at row " << i / kWidth
                            << " of memory, x " << i % kWidth << ": " << std::hex
                            << direct.Bits()[i] << " instead of " << gdi.Bits()[i];
        }
    }
}

// Antialiased text drawn over itself differs from text drawn once, so each
// case writes three times, as a band's caption is rewritten column by column;
// the glyphs left out right of a narrow clip must not have set a pixel in it.
TEST(GdiCanvas, TextsThroughGlyphsSetTheCharactersPixels) {
    std::string ascii;
    for (char c = 0x20; c <= 0x7E; ++c)
        ascii += c;
    const std::string texts[] = {"Analyzing",
                                 "Temp. Fail",
                                 "12.5[h]",
                                 "fjord jiffy",
                                 ascii.substr(0, 24),
                                 ascii.substr(24, 24),
                                 ascii.substr(48, 24),
                                 ascii.substr(72),
                                 "23.1\xB0"
                                 "C \xB5m",
                                 "tab\there",
                                 ""};
    struct TKind {
        const char* Name;
        bool Clipped;
        bool Transparent;
        int ClipGrowth; // each pass's clip is this much wider
    };
    const TKind kinds[] = {{"written on the brush", false, false, 0},
                           {"written transparent", false, true, 0},
                           {"clipped on the brush", true, false, 20},
                           {"clipped transparent", true, true, 20},
                           {"clipped a pixel wider each time on the brush", true, false, 1},
                           {"clipped a pixel wider each time transparent", true, true, 1},
                           {"clipped 4 pixels wider each time transparent", true, true, 4},
                           {"clipped to no width on the brush", true, false, 0},
                           {"clipped to no width transparent", true, true, 0}};
    // A panel keeps what its canvases measured from one repaint to the next.
    TGdiCanvasCache kept;
    for (TGdiCanvasCache* cache : {static_cast<TGdiCanvasCache*>(nullptr), &kept, &kept})
        for (int32_t size : {8, 5})
            for (const std::string& text : texts)
                for (const TKind& kind : kinds) {
                    SCOPED_TRACE(Format("size %d, '%s', %s%s", size, text.c_str(), kind.Name,
                                        cache ? ", measured before" : ""));
                    const TDib canvasDib(true, 7), gdiDib(true, 7);
                    {
                        TGdiCanvas canvas(canvasDib.DC(), true, cache);
                        canvas.State.FontSize = size;
                        canvas.State.FontColor = 0x2040F0;
                        canvas.State.BrushColor = 0xC0C0C0;
                        canvas.State.Transparent = kind.Transparent;
                        canvas.SetField({3, 4, kWidth - 3, kHeight - 4});
                        for (int pass = 0; pass < 3; ++pass) {
                            if (kind.Clipped)
                                canvas.TextRect({5, 10, 5 + kind.ClipGrowth * (pass + 1), 23}, 5, 9,
                                                text);
                            else
                                canvas.WriteText(5, 9, text);
                        }
                    }
                    {
                        const HDC dc = gdiDib.DC();
                        const int saved = SaveDC(dc);
                        LOGFONTA lf{};
                        GetObjectA(FormFont(), sizeof lf, &lf);
                        lf.lfHeight = -MulDiv(size, GetDeviceCaps(dc, LOGPIXELSY), 72);
                        const TScoped<HFONT, DeleteObject> font(CreateFontIndirectA(&lf));
                        SelectObject(dc, font.Get());
                        IntersectClipRect(dc, 3, 4, kWidth - 3, kHeight - 4);
                        SetViewportOrgEx(dc, 3, 4, nullptr);
                        SetTextColor(dc, 0x2040F0);
                        SetBkColor(dc, 0xC0C0C0);
                        SetBkMode(dc, kind.Transparent ? TRANSPARENT : OPAQUE);
                        for (int pass = 0; pass < 3; ++pass) {
                            const RECT clip{5, 10, 5 + kind.ClipGrowth * (pass + 1), 23};
                            if (kind.Clipped)
                                ExtTextOutA(
                                    dc, 5, 9, ETO_CLIPPED | (kind.Transparent ? 0 : ETO_OPAQUE),
                                    &clip, text.data(), static_cast<UINT>(text.size()), nullptr);
                            else
                                TextOutA(dc, 5, 9, text.data(), static_cast<int>(text.size()));
                        }
                        RestoreDC(dc, saved);
                        GdiFlush();
                    }
                    const int i = FirstDifference(canvasDib, gdiDib);
                    ASSERT_EQ(i, kWidth * kHeight)
                        << "first different pixel at x " << i % kWidth << ", y " << i / kWidth;
                }
}

// Lines one pixel wide and solid fills drawn without GDI into the bits of the
// 32-bit DIB section of a memory DC: GDI pays for every call, and a repaint
// draws a few lines and band pieces for every column. Only in copy mode, under
// a clip that is one rectangle and in plain pixel coordinates: there the pixels
// are plainly those GDI sets, a line's end pixel left out.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

// A 32-bit DIB section of Width x Height pixels, its first row at the top of
// the picture or, not TopDown, at the bottom.
HBITMAP CreateDib32(int Width, int Height, bool TopDown = true);

// What a transparent text in one font and colour sets over what lies under it
// (DibText_win.h measures it): for each pixel it reaches, what each channel
// becomes over each value.
struct TTextBlend {
    // A channel's value over each value under it, for blue, green and red.
    using TMap = std::array<std::array<uint8_t, 256>, 3>;
    struct TPixel {
        int32_t Dx, Dy; // from where the text is written
        uint32_t Map;   // into Maps
    };
    bool Exact = false;
    std::vector<TPixel> Pixels; // column by column, left to right
    std::vector<TMap> Maps;
    // The top byte of a pixel the text sets: kept, else set to TopByte.
    bool KeepsTopByte = true;
    uint8_t TopByte = 0;
};

class TDibLines {
public:
    explicit TDibLines(HDC DC) : FDC(DC) {}

    // The DC's clip, origin or mode may have changed: looked at again before
    // the next line.
    void Changed() { FKnown = false; }
    // Whether Line can draw on the DC as it is now.
    bool Ready();
    // Sets the pixels from From to To, To left out, as a solid pen of Color one
    // pixel wide would; false and nothing drawn for a line of no length or one
    // beyond GDI's coordinate range. GDI's own drawing on the bitmap must be
    // flushed (GdiFlush) first, as for Fill.
    bool Line(POINT From, POINT To, COLORREF Color);
    // Sets the pixel At as SetPixel would; false and nothing drawn beyond GDI's
    // coordinate range.
    bool Pixel(POINT At, COLORREF Color);
    // Fills R, right and bottom left out, as FillRect with a solid brush of
    // Color would; false and nothing drawn for a rectangle turned inside out.
    bool Fill(const RECT& R, COLORREF Color);
    // Sets the pixels within Clip that Blend's text written transparent at
    // Origin sets; false and nothing drawn beyond GDI's coordinate range.
    bool Text(POINT Origin, const RECT& Clip, const TTextBlend& Blend);

private:
    void Look();
    bool IsTopDown(LONG Height);
    uint32_t* Row(int64_t Y) const;

    HDC FDC;
    bool FKnown = false;
    bool FReady = false;
    uint8_t* FBits = nullptr;
    int64_t FStride = 0; // bytes from one row to the next below it
    POINT FOffset{0, 0}; // logical to device
    RECT FClip{0, 0, 0, 0};
};

// What a transparent text sets on a 32-bit DIB section, measured once through
// GDI so that the bits can take it without a GDI call: a band's caption is
// rewritten at every column the band spans, thousands of calls a repaint.
//
// GDI blends an antialiased glyph's edge into what lies under it, channel by
// channel. The text is drawn on a scratch bitmap over every grey level, which
// gives for each of its pixels what each channel becomes over each value; over
// noise it is then drawn once more to prove that this is all the blend depends
// on. Where it is not, the text is left to GDI.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

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

// The blend of Glyphs (glyph indices) written transparent at the origin of a DC
// in plain pixels, with Font selected and Color as text colour; Extent is the
// text's size.
TTextBlend MeasureTextBlend(HFONT Font, COLORREF Color, const std::vector<WORD>& Glyphs,
                            SIZE Extent);

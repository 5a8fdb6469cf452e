// A rich text laid out on printed pages from its measured characters, where
// the platform's rich edit lays out none: lines broken at spaces to the page
// width, aligned per paragraph, and pages filled with whole lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TLineAlign { Left, Centre, Right };

// From character First on, the text is in a font of this height above and
// below the baseline (device units).
struct TFontSpan {
    int32_t First = 0;
    int32_t Ascent = 0;
    int32_t Descent = 0;
};

// The paragraphs from character First on are aligned so.
struct TAlignSpan {
    int32_t First = 0;
    TLineAlign Align = TLineAlign::Left;
};

// Paragraphs end in '\r'; '\n' and '\v' end a line too. Advances holds the
// width of every character, Fonts and Aligns begin at character 0 and are in
// order. A tab reaches the next multiple of TabStop (when not 0).
struct TLayoutText {
    std::u16string Chars;
    std::vector<int32_t> Advances;
    std::vector<TFontSpan> Fonts;
    std::vector<TAlignSpan> Aligns;
    int32_t TabStop = 0;
};

// Characters First up to Next (excluded) drawn from X in the font of Fonts[Font].
struct TTextPiece {
    int32_t First = 0;
    int32_t Next = 0;
    int32_t X = 0;
    size_t Font = 0;
    bool operator==(const TTextPiece&) const = default;
};

// A line from character First up to Next (the next line's first); its
// baseline lies Ascent below Top. Spaces at its end and its break are not
// among the pieces.
struct TTextLine {
    int32_t First = 0;
    int32_t Next = 0;
    int32_t Top = 0;
    int32_t Ascent = 0;
    int32_t Height = 0;
    std::vector<TTextPiece> Pieces;
};

struct TLaidPage {
    std::vector<TTextLine> Lines;
    int32_t Next = 0;   // the first character not on the page, the text's length when all are
    int32_t Bottom = 0; // of the last line
};

// The whole lines from character Start (a line's first) that fit a page of
// Width x Height. A line taller than the page leaves the page empty and Next
// at Start.
TLaidPage LayOutPage(const TLayoutText& Text, int32_t Start, int32_t Width, int32_t Height);

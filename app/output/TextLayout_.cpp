#include "app/output/TextLayout_.h"

#include <algorithm>

namespace {

bool IsBreak(char16_t C) {
    return C == u'\r' || C == u'\n' || C == u'\v';
}

bool IsSpace(char16_t C) {
    return C == u' ' || C == u'\t';
}

// The index of the span that holds character At.
template <typename TSpan>
size_t SpanAt(const std::vector<TSpan>& Spans, int32_t At) {
    const auto after = std::upper_bound(Spans.begin(), Spans.end(), At,
                                        [](int32_t A, const TSpan& S) { return A < S.First; });
    return after == Spans.begin() ? 0 : static_cast<size_t>(after - Spans.begin() - 1);
}

class TLineBreaker {
public:
    TLineBreaker(const TLayoutText& Text, int32_t Width)
        : FText(Text), FLength(static_cast<int32_t>(Text.Chars.size())), FWidth(Width) {}

    TTextLine Line(int32_t First) const {
        TTextLine line;
        line.First = First;
        const int32_t end = LineEnd(First, line.Next);
        Measure(line, end);
        return line;
    }

private:
    int32_t Advance(int32_t At, int32_t X) const {
        if (FText.Chars[At] == u'\t' && FText.TabStop > 0)
            return (X / FText.TabStop + 1) * FText.TabStop - X;
        return FText.Advances[At];
    }

    // The end of the line's visible characters; Next := the next line's first.
    int32_t LineEnd(int32_t First, int32_t& Next) const {
        int32_t x = 0;
        int32_t word = First; // where the last word began
        for (int32_t i = First; i < FLength; ++i) {
            const char16_t c = FText.Chars[i];
            if (IsBreak(c)) {
                Next = i + 1;
                return VisibleEnd(First, i);
            }
            const int32_t w = Advance(i, x);
            if (!IsSpace(c)) {
                if (i > First && IsSpace(FText.Chars[i - 1]))
                    word = i;
                // Spaces may hang over the edge; a word wider than the line is cut.
                if (x + w > FWidth && i > First) {
                    Next = word > First ? word : i;
                    return VisibleEnd(First, Next);
                }
            }
            x += w;
        }
        Next = FLength;
        return VisibleEnd(First, FLength);
    }

    int32_t VisibleEnd(int32_t First, int32_t End) const {
        while (End > First && IsSpace(FText.Chars[End - 1]))
            --End;
        return End;
    }

    void Measure(TTextLine& Line, int32_t End) const {
        int32_t ascent = 0, descent = 0;
        // The break's font counts: an empty line is as high as its paragraph mark.
        size_t s = SpanAt(FText.Fonts, Line.First);
        do {
            ascent = std::max(ascent, FText.Fonts[s].Ascent);
            descent = std::max(descent, FText.Fonts[s].Descent);
        } while (++s < FText.Fonts.size() && FText.Fonts[s].First < Line.Next);
        Line.Ascent = ascent;
        Line.Height = ascent + descent;
        int32_t x = 0;
        TTextPiece piece{Line.First, Line.First, 0, SpanAt(FText.Fonts, Line.First)};
        const auto close = [&](int32_t Next) {
            piece.Next = Next;
            if (piece.Next > piece.First)
                Line.Pieces.push_back(piece);
        };
        for (int32_t i = Line.First; i < End; ++i) {
            const size_t font = SpanAt(FText.Fonts, i);
            if (font != piece.Font) {
                close(i);
                piece = {i, i, x, font};
            }
            const int32_t w = Advance(i, x);
            x += w;
            if (FText.Chars[i] == u'\t') {
                close(i);
                piece = {i + 1, i + 1, x, font};
            }
        }
        close(End);
        const TLineAlign align = FText.Aligns.empty()
                                     ? TLineAlign::Left
                                     : FText.Aligns[SpanAt(FText.Aligns, Line.First)].Align;
        const int32_t room = std::max(0, FWidth - x);
        const int32_t shift = align == TLineAlign::Right    ? room
                              : align == TLineAlign::Centre ? room / 2
                                                            : 0;
        for (TTextPiece& p : Line.Pieces)
            p.X += shift;
    }

    const TLayoutText& FText;
    int32_t FLength;
    int32_t FWidth;
};

} // namespace

TLaidPage LayOutPage(const TLayoutText& Text, int32_t Start, int32_t Width, int32_t Height) {
    const TLineBreaker breaker(Text, Width);
    const auto length = static_cast<int32_t>(Text.Chars.size());
    TLaidPage page;
    page.Next = std::min(Start, length);
    while (page.Next < length) {
        TTextLine line = breaker.Line(page.Next);
        if (page.Bottom + line.Height > Height)
            break;
        line.Top = page.Bottom;
        page.Bottom += line.Height;
        page.Next = line.Next;
        page.Lines.push_back(std::move(line));
    }
    return page;
}

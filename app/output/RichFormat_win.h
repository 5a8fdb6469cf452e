// A rich edit control's text laid out and drawn on a printer's device context
// page by page, as EM_FORMATRANGE does. The platform's EM_FORMATRANGE is used
// wherever it works. Where it places nothing of a text even on a page of any
// height (Wine's answers 0 and draws nothing), the control's own text and
// formats are laid out here instead: font faces, sizes, bold, italic,
// underline, strike-out and colours, line breaks, word wrap at the page width,
// paragraph alignment and tab stops every half inch.
#pragma once

#include "app/base/Tools_.h"
#include "app/output/PageMetrics_.h"
#include "app/output/TextLayout_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <richedit.h>

#include <vector>

class TRichTextFormat {
public:
    // Empties the control's formatting cache, and again when done.
    TRichTextFormat(HWND RichEdit, HDC DC, const TPrinterMetrics& Metrics);
    ~TRichTextFormat();
    TRichTextFormat(const TRichTextFormat&) = delete;
    TRichTextFormat& operator=(const TRichTextFormat&) = delete;

    // Characters, as the ranges count them.
    int32_t Length() const { return FLength; }
    // Lays out the page that begins at character Start in Rect (twips from the
    // viewport origin), Rect.Bottom moved up to the part used; answers the
    // first character not on the page.
    int32_t Measure(int32_t Start, TRect& Rect);
    // Draws characters First up to Next (excluded) in Rect.
    void Render(int32_t First, int32_t Next, const TRect& Rect);
    void ClearCache();
    // True when the text is laid out here rather than by the platform.
    bool OwnLayout() const { return FOwn; }

private:
    struct TPrintFont {
        LOGFONTA Font;
        TFontHandle Handle;
    };

    int32_t PlatformFormat(bool Draw, int32_t First, int32_t Next, TRect& Rect);
    bool PlatformFormatsNothing(TRect Rect);
    void ReadText();
    void ReadFonts();
    size_t FontOf(const CHARFORMAT2A& Format);
    void ReadAligns();
    TLaidPage LayOut(int32_t Start, const TRect& Rect) const;

    HWND FRichEdit;
    HDC FDC;
    TPrinterMetrics FMetrics;
    int32_t FLength;
    bool FDecided = false;
    bool FOwn = false;
    TLayoutText FText;
    std::vector<TPrintFont> FFonts; // the distinct ones
    std::vector<size_t> FSpanFont;  // of each of FText.Fonts
    std::vector<COLORREF> FSpanColour;
};

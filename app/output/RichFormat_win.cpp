#include "app/output/RichFormat_win.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Far taller than any paper: a page on which a working formatter places something.
constexpr int32_t kEndlessPage = 1440 * 200;
// The rich edit control's default tab stops.
constexpr int32_t kTabTwips = 720;
// The attributes drawn: a run ends where one of them changes.
constexpr DWORD kDrawnAttributes =
    CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR;

RECT WinRect(const TRect& R) {
    return {R.Left, R.Top, R.Right, R.Bottom};
}

// Characters, not bytes: ranges of EM_FORMATRANGE count characters.
int32_t TextLength(HWND RichEdit) {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<int32_t>(
        SendMessageA(RichEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

// Device units of Twips, and twips of Units rounded up, so a page measured in
// twips holds again what was laid out on it.
int32_t ToDevice(int32_t Twips, int32_t PixelsPerInch) {
    return MulDiv(Twips, PixelsPerInch, 1440);
}

int32_t ToTwips(int32_t Units, int32_t PixelsPerInch) {
    return static_cast<int32_t>((int64_t{Units} * 1440 + PixelsPerInch - 1) / PixelsPerInch);
}

// The selection, hidden, while the control is read through it; then the
// selection and the scroll position as they were.
class TKeepView {
public:
    explicit TKeepView(HWND RichEdit) : FRichEdit(RichEdit) {
        SendMessageA(FRichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&FRange));
        SendMessageA(FRichEdit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&FScroll));
        SendMessageA(FRichEdit, EM_HIDESELECTION, TRUE, 0);
    }
    ~TKeepView() {
        SendMessageA(FRichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&FRange));
        SendMessageA(FRichEdit, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&FScroll));
        SendMessageA(FRichEdit, EM_HIDESELECTION, FALSE, 0);
    }
    TKeepView(const TKeepView&) = delete;
    TKeepView& operator=(const TKeepView&) = delete;

private:
    HWND FRichEdit;
    CHARRANGE FRange{};
    POINT FScroll{};
};

void Select(HWND RichEdit, int32_t First, int32_t Next) {
    CHARRANGE range{First, Next};
    SendMessageA(RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

CHARFORMAT2A CharFormat(HWND RichEdit, int32_t First, int32_t Next) {
    Select(RichEdit, First, Next);
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(RichEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

PARAFORMAT2 ParaFormat(HWND RichEdit, int32_t First, int32_t Next) {
    Select(RichEdit, First, Next);
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    SendMessageA(RichEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

// The end of the longest range from First (up to Length) over which Same
// holds, at least First + 1: the range is doubled, then halved back, so a run
// costs a few questions however long it is.
template <typename TSame>
int32_t RunEnd(int32_t First, int32_t Length, const TSame& Same) {
    int32_t good = First + 1;
    int32_t bad = -1;
    for (int32_t step = 1; bad < 0 && good < Length; step = std::min(step * 2, Length)) {
        const int32_t probe = std::min(Length, good + step);
        (Same(First, probe) ? good : bad) = probe;
    }
    if (bad < 0)
        return good;
    while (bad - good > 1) {
        const int32_t middle = good + (bad - good) / 2;
        (Same(First, middle) ? good : bad) = middle;
    }
    return good;
}

TLineAlign AlignOf(WORD Alignment) {
    switch (Alignment) {
    case PFA_CENTER:
        return TLineAlign::Centre;
    case PFA_RIGHT:
        return TLineAlign::Right;
    default:
        return TLineAlign::Left;
    }
}

} // namespace

TRichTextFormat::TRichTextFormat(HWND RichEdit, HDC DC, const TPrinterMetrics& Metrics)
    : FRichEdit(RichEdit), FDC(DC), FMetrics(Metrics), FLength(TextLength(RichEdit)) {
    ClearCache();
}

TRichTextFormat::~TRichTextFormat() {
    ClearCache();
}

void TRichTextFormat::ClearCache() {
    SendMessageA(FRichEdit, EM_FORMATRANGE, FALSE, 0);
}

int32_t TRichTextFormat::PlatformFormat(bool Draw, int32_t First, int32_t Next, TRect& Rect) {
    FORMATRANGE range{};
    range.hdc = FDC;
    range.hdcTarget = FDC;
    range.rc = WinRect(Rect);
    range.rcPage = WinRect(PaperTwips(FMetrics));
    range.chrg = {First, Next};
    const auto next = static_cast<int32_t>(
        SendMessageA(FRichEdit, EM_FORMATRANGE, Draw, reinterpret_cast<LPARAM>(&range)));
    Rect = {range.rc.left, range.rc.top, range.rc.right, range.rc.bottom};
    return next;
}

// A formatter that places nothing of the text on an endless page does not
// format at all; one that only finds the page too small for the first line
// keeps its answer.
bool TRichTextFormat::PlatformFormatsNothing(TRect Rect) {
    Rect.Bottom = Rect.Top + kEndlessPage;
    const int32_t next = PlatformFormat(false, 0, -1, Rect);
    ClearCache();
    return next == 0;
}

int32_t TRichTextFormat::Measure(int32_t Start, TRect& Rect) {
    if (!FDecided) {
        FDecided = true;
        TRect rect = Rect;
        const int32_t next = PlatformFormat(false, Start, -1, rect);
        // Only a text of which the first page takes nothing tells.
        if (FLength == 0 || Start != 0 || next != 0 || !PlatformFormatsNothing(Rect)) {
            Rect = rect;
            return next;
        }
        FOwn = true;
        ReadText();
    }
    if (!FOwn)
        return PlatformFormat(false, Start, -1, Rect);
    const TLaidPage page = LayOut(Start, Rect);
    Rect.Bottom = Rect.Top + ToTwips(page.Bottom, FMetrics.PixelsY);
    return page.Next;
}

void TRichTextFormat::Render(int32_t First, int32_t Next, const TRect& Rect) {
    if (!FOwn) {
        TRect rect = Rect;
        PlatformFormat(true, First, Next, rect);
        return;
    }
    const TSavedDC saved(FDC);
    SetBkMode(FDC, TRANSPARENT);
    SetTextAlign(FDC, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    const int32_t left = ToDevice(Rect.Left, FMetrics.PixelsX);
    const int32_t top = ToDevice(Rect.Top, FMetrics.PixelsY);
    for (const TTextLine& line : LayOut(First, Rect).Lines) {
        if (line.First >= Next)
            break;
        for (const TTextPiece& piece : line.Pieces) {
            const int32_t end = std::min(piece.Next, Next);
            if (end <= piece.First)
                continue;
            SelectObject(FDC, FFonts[FSpanFont[piece.Font]].Handle.Get());
            SetTextColor(FDC, FSpanColour[piece.Font]);
            ExtTextOutW(FDC, left + piece.X, top + line.Top + line.Ascent, 0, nullptr,
                        reinterpret_cast<const wchar_t*>(FText.Chars.data()) + piece.First,
                        static_cast<UINT>(end - piece.First), FText.Advances.data() + piece.First);
        }
    }
}

TLaidPage TRichTextFormat::LayOut(int32_t Start, const TRect& Rect) const {
    return LayOutPage(FText, Start, ToDevice(Rect.Right - Rect.Left, FMetrics.PixelsX),
                      ToDevice(Rect.Bottom - Rect.Top, FMetrics.PixelsY));
}

void TRichTextFormat::ReadText() {
    // Paragraphs end in one CR, as the ranges count them.
    std::wstring text(static_cast<size_t>(FLength) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    const auto got = SendMessageW(FRichEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, FLength)));
    FText.Chars.assign(text.begin(), text.end());
    FText.Advances.assign(FText.Chars.size(), 0);
    FText.TabStop = ToDevice(kTabTwips, FMetrics.PixelsX);
    const TKeepView keep(FRichEdit);
    ReadFonts();
    ReadAligns();
}

void TRichTextFormat::ReadFonts() {
    const auto length = static_cast<int32_t>(FText.Chars.size());
    const auto same = [this](int32_t First, int32_t Next) {
        const CHARFORMAT2A f = CharFormat(FRichEdit, First, Next);
        return (f.dwMask & kDrawnAttributes) == kDrawnAttributes;
    };
    const TSavedDC saved(FDC);
    std::vector<int> extents;
    for (int32_t first = 0; first < length;) {
        const int32_t next = RunEnd(first, length, same);
        const CHARFORMAT2A format = CharFormat(FRichEdit, first, first + 1);
        const size_t font = FontOf(format);
        SelectObject(FDC, FFonts[font].Handle.Get());
        TEXTMETRICA metrics{};
        GetTextMetricsA(FDC, &metrics);
        FText.Fonts.push_back({first, metrics.tmAscent, metrics.tmDescent});
        FSpanFont.push_back(font);
        FSpanColour.push_back((format.dwEffects & CFE_AUTOCOLOR) ? RGB(0, 0, 0)
                                                                 : format.crTextColor);
        const int count = next - first;
        extents.assign(static_cast<size_t>(count), 0);
        SIZE size{};
        GetTextExtentExPointW(FDC, reinterpret_cast<const wchar_t*>(FText.Chars.data()) + first,
                              count, 0, nullptr, extents.data(), &size);
        for (int i = 0; i < count; ++i)
            FText.Advances[static_cast<size_t>(first + i)] =
                extents[static_cast<size_t>(i)] - (i > 0 ? extents[static_cast<size_t>(i - 1)] : 0);
        first = next;
    }
}

size_t TRichTextFormat::FontOf(const CHARFORMAT2A& Format) {
    LOGFONTA font{};
    font.lfHeight = -MulDiv(Format.yHeight, FMetrics.PixelsY, 1440);
    font.lfWeight = (Format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (Format.dwEffects & CFE_ITALIC) ? TRUE : FALSE;
    font.lfUnderline = (Format.dwEffects & CFE_UNDERLINE) ? TRUE : FALSE;
    font.lfStrikeOut = (Format.dwEffects & CFE_STRIKEOUT) ? TRUE : FALSE;
    font.lfCharSet = Format.bCharSet;
    font.lfPitchAndFamily = Format.bPitchAndFamily;
    std::memcpy(font.lfFaceName, Format.szFaceName, sizeof font.lfFaceName);
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    for (size_t i = 0; i < FFonts.size(); ++i)
        if (std::memcmp(&FFonts[i].Font, &font, sizeof font) == 0)
            return i;
    FFonts.push_back({font, TFontHandle(CreateFontIndirectA(&font))});
    return FFonts.size() - 1;
}

void TRichTextFormat::ReadAligns() {
    const auto length = static_cast<int32_t>(FText.Chars.size());
    const auto same = [this](int32_t First, int32_t Next) {
        return (ParaFormat(FRichEdit, First, Next).dwMask & PFM_ALIGNMENT) != 0;
    };
    for (int32_t first = 0; first < length;) {
        const int32_t next = RunEnd(first, length, same);
        FText.Aligns.push_back({first, AlignOf(ParaFormat(FRichEdit, first, first).wAlignment)});
        first = next;
    }
}

#include "app/output/Print_win.h"

#include "app/output/PageCanvas_win.h"
#include "app/output/TextPages_.h"
#include "app/protocol/RichText_win.h"

#include <richedit.h>

namespace {

// The rich edit control's formatting cache, emptied again however printing ends.
class TFormatCache {
public:
    explicit TFormatCache(HWND RichEdit) : FRichEdit(RichEdit) { Clear(); }
    ~TFormatCache() { Clear(); }
    TFormatCache(const TFormatCache&) = delete;
    TFormatCache& operator=(const TFormatCache&) = delete;

private:
    void Clear() { SendMessageA(FRichEdit, EM_FORMATRANGE, FALSE, 0); }
    HWND FRichEdit;
};

class TKeepDC {
public:
    explicit TKeepDC(HDC DC) : FDC(DC), FSaved(SaveDC(DC)) {}
    ~TKeepDC() { RestoreDC(FDC, FSaved); }
    TKeepDC(const TKeepDC&) = delete;
    TKeepDC& operator=(const TKeepDC&) = delete;

private:
    HDC FDC;
    int FSaved;
};

RECT WinRect(const TRect& R) {
    return {R.Left, R.Top, R.Right, R.Bottom};
}

TRect FromWin(const RECT& R) {
    return {R.left, R.top, R.right, R.bottom};
}

// Characters, not bytes: ranges of EM_FORMATRANGE count characters.
int32_t TextLength(HWND RichEdit) {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<int32_t>(
        SendMessageA(RichEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

// The text's origin on the device: the margins from the paper's corner.
POINT TextOrigin(const TPrinterMetrics& M, const TRect& PageRect) {
    return {MulDivRound(PageRect.Left, M.PixelsX, 1440) - M.OffsetX,
            MulDivRound(PageRect.Top, M.PixelsY, 1440) - M.OffsetY};
}

FORMATRANGE Range(HDC DC, const TPrinterMetrics& M, const TRect& Rect, LONG First, LONG Next) {
    FORMATRANGE range{};
    range.hdc = DC;
    range.hdcTarget = DC;
    range.rc = WinRect(Rect);
    range.rcPage = WinRect(PaperTwips(M));
    range.chrg = {First, Next};
    return range;
}

int TextWidthOn(HDC DC, const std::string& Text) {
    SIZE size{};
    GetTextExtentPoint32A(DC, Text.data(), static_cast<int>(Text.size()), &size);
    return size.cx;
}

void PrintHeader(HDC DC, const TPrinterMetrics& M, const std::string& Title, size_t Page,
                 size_t Count) {
    const int hx = HeaderOffset(M.OffsetX, M.PixelsX);
    const int hy = HeaderOffset(M.OffsetY, M.PixelsY);
    SetViewportOrgEx(DC, 0, 0, nullptr);
    const TScoped<HGDIOBJ, DeleteObject> font(
        CreateFontA(-MulDiv(8, M.PixelsY, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
    const TSelectObject select(DC, font.Get());
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, RGB(0, 0, 0));
    const int width = GetDeviceCaps(DC, HORZRES);
    const auto out = [DC](int X, int Y, const std::string& Text) {
        TextOutA(DC, X, Y, Text.data(), static_cast<int>(Text.size()));
    };
    out(hx, hy, LocaleDateText() + " " + LocaleTimeText());
    out(width / 2 - TextWidthOn(DC, Title) / 2, hy, Title);
    const std::string number = PageNumberText(Page, Count);
    out(width - hx - TextWidthOn(DC, number), hy, number);
}

class TKeepRichText {
public:
    explicit TKeepRichText(HWND RichEdit) : FRichEdit(RichEdit), FRtf(StreamOutRtf(RichEdit)) {
        EnableWindow(FRichEdit, FALSE);
    }
    ~TKeepRichText() {
        StreamInRtfOrText(FRichEdit, FRtf);
        SendMessageA(FRichEdit, EM_SETSEL, 0, 0);
        EnableWindow(FRichEdit, TRUE);
    }
    TKeepRichText(const TKeepRichText&) = delete;
    TKeepRichText& operator=(const TKeepRichText&) = delete;

private:
    HWND FRichEdit;
    std::string FRtf;
};

} // namespace

void WithTextSize(HWND RichEdit, int32_t Points, const std::function<void()>& Print) {
    const TKeepRichText keep(RichEdit);
    SendMessageA(RichEdit, EM_SETSEL, 0, -1);
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE;
    format.yHeight = Points * 20;
    SendMessageA(RichEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    Print();
}

std::string LocaleDateText() {
    char text[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, sizeof text);
    return text;
}

std::string LocaleTimeText() {
    char text[128] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof text);
    return text;
}

std::vector<TTextPage> RichTextPages(HWND RichEdit, HDC DC, const TPrinterMetrics& Metrics,
                                     const TRect& PageRect) {
    const TRect text{0, 0, PageRect.Right - PageRect.Left, PageRect.Bottom - PageRect.Top};
    const TFormatCache cache(RichEdit);
    const TKeepDC keep(DC);
    SetMapMode(DC, MM_TEXT);
    const POINT origin = TextOrigin(Metrics, PageRect);
    SetViewportOrgEx(DC, origin.x, origin.y, nullptr);
    return PaginateText(TextLength(RichEdit), text, [&](int32_t Start, TRect& Rect) {
        FORMATRANGE range = Range(DC, Metrics, Rect, Start, -1);
        const auto next = static_cast<int32_t>(
            SendMessageA(RichEdit, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&range)));
        Rect = FromWin(range.rc);
        return next;
    });
}

void PrintRichText(HWND RichEdit, TPrintDevice& Printer, const TRect& PageRect,
                   const std::string& Title) {
    const HDC dc = Printer.DC();
    const TPrinterMetrics metrics = Printer.Metrics();
    const std::vector<TTextPage> pages = RichTextPages(RichEdit, dc, metrics, PageRect);
    const POINT origin = TextOrigin(metrics, PageRect);
    const TFormatCache cache(RichEdit);
    TPrintJob job(Printer, Title);
    {
        const TKeepDC keep(dc);
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                job.NewPage();
            SetMapMode(dc, MM_TEXT);
            SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
            FORMATRANGE range = Range(dc, metrics, pages[i].Rect, pages[i].First, pages[i].Next);
            SendMessageA(RichEdit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
            PrintHeader(dc, metrics, Title, i, pages.size());
        }
    }
    job.End();
}

void PrintGraph(const TGraphPageSource& Source, TPrintDevice& Printer, const TRect& PageRect,
                const std::string& Title, uint8_t Flags) {
    const TPrinterMetrics metrics = Printer.Metrics();
    TPrintJob job(Printer, Title);
    {
        TGdiPageCanvas canvas(Printer.DC(), FormFontFace());
        DrawGraphPage(Source, canvas, PageRect, metrics.PixelsX, metrics.PixelsY,
                      {metrics.OffsetX, metrics.OffsetY}, Flags);
    }
    job.End();
}

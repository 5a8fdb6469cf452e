#include "app/output/Print_win.h"

#include "app/output/PageCanvas_win.h"
#include "app/output/RichFormat_win.h"
#include "app/output/TextPages_.h"
#include "app/protocol/RichText_win.h"

namespace {

// The text's origin on the device: the margins from the paper's corner.
POINT TextOrigin(const TPrinterMetrics& M, const TRect& PageRect) {
    return {MulDivRound(PageRect.Left, M.PixelsX, 1440) - M.OffsetX,
            MulDivRound(PageRect.Top, M.PixelsY, 1440) - M.OffsetY};
}

std::vector<TTextPage> Paginate(TRichTextFormat& Format, HDC DC, const TPrinterMetrics& Metrics,
                                const TRect& PageRect) {
    const TRect text{0, 0, PageRect.Right - PageRect.Left, PageRect.Bottom - PageRect.Top};
    const TSavedDC keep(DC);
    SetMapMode(DC, MM_TEXT);
    const POINT origin = TextOrigin(Metrics, PageRect);
    SetViewportOrgEx(DC, origin.x, origin.y, nullptr);
    auto pages = PaginateText(Format.Length(), text, [&Format](int32_t Start, TRect& Rect) {
        return Format.Measure(Start, Rect);
    });
    Format.ClearCache();
    return pages;
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
    TRichTextFormat format(RichEdit, DC, Metrics);
    return Paginate(format, DC, Metrics, PageRect);
}

void PrintRichText(HWND RichEdit, TPrintDevice& Printer, const TRect& PageRect,
                   const std::string& Title) {
    const HDC dc = Printer.DC();
    const TPrinterMetrics metrics = Printer.Metrics();
    TRichTextFormat format(RichEdit, dc, metrics);
    const std::vector<TTextPage> pages = Paginate(format, dc, metrics, PageRect);
    const POINT origin = TextOrigin(metrics, PageRect);
    TPrintJob job(Printer, Title);
    {
        const TSavedDC keep(dc);
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                job.NewPage();
            SetMapMode(dc, MM_TEXT);
            SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
            format.Render(pages[i].First, pages[i].Next, pages[i].Rect);
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

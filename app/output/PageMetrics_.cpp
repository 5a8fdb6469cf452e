#include "app/output/PageMetrics_.h"

#include <algorithm>

int32_t MarginTwips(int32_t Margin, bool InchUnit) {
    return MulDivRound(Margin, 1440, InchUnit ? 1000 : 2540);
}

TRect PageRectOf(const TPageMargins& Margins, const TPrinterMetrics& Printer) {
    const TRect paper = PaperTwips(Printer);
    return {MarginTwips(Margins.Left, Margins.InchUnit), MarginTwips(Margins.Top, Margins.InchUnit),
            paper.Right - MarginTwips(Margins.Right, Margins.InchUnit),
            paper.Bottom - MarginTwips(Margins.Bottom, Margins.InchUnit)};
}

TRect PaperTwips(const TPrinterMetrics& Printer) {
    return {0, 0, MulDivRound(Printer.PhysicalWidth, 1440, Printer.PixelsX),
            MulDivRound(Printer.PhysicalHeight, 1440, Printer.PixelsY)};
}

int32_t HeaderOffset(int32_t Offset, int32_t PixelsPerInch) {
    const int32_t m = MulDivRound(300, PixelsPerInch, 1440);
    return Offset < m ? m - Offset : Offset;
}

TRect PreviewBox(int32_t ClientWidth, int32_t ClientHeight, int32_t PaperWidth, int32_t PaperHeight,
                 int32_t Top, int32_t Reserve) {
    if (PaperWidth <= 0 || PaperHeight <= 0)
        return {ClientWidth / 2, Top, ClientWidth / 2, Top};
    int64_t h = std::max<int64_t>(0, ClientHeight - Reserve);
    int64_t w = h * PaperWidth / PaperHeight;
    if (w > ClientWidth - 32) {
        w = std::max<int64_t>(0, ClientWidth - 32);
        h = w * PaperHeight / PaperWidth;
    }
    const auto left = static_cast<int32_t>(ClientWidth / 2 - w / 2);
    return {left, Top, left + static_cast<int32_t>(w), Top + static_cast<int32_t>(h)};
}

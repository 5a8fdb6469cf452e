// Page arithmetic shared by printing, the preview and the page setup: the page
// rectangle inside the margins, the header position of printed protocols and
// the preview's page box.
#pragma once

#include "app/base/Tools_.h"
#include "app/settings/Preferences_.h"

#include <cstdint>

// What a printer's device context reports, in device units.
struct TPrinterMetrics {
    int32_t PhysicalWidth = 0;
    int32_t PhysicalHeight = 0;
    int32_t PixelsX = 0; // per inch
    int32_t PixelsY = 0;
    int32_t OffsetX = 0; // of the printable area from the paper's corner
    int32_t OffsetY = 0;
};

// Twips of a margin stored in thousandths of an inch or hundredths of a millimetre.
int32_t MarginTwips(int32_t Margin, bool InchUnit);
// The area inside the margins in twips from the paper's corner (MulDiv
// rounding, as the platform's).
TRect PageRectOf(const TPageMargins& Margins, const TPrinterMetrics& Printer);
// The whole paper in twips.
TRect PaperTwips(const TPrinterMetrics& Printer);
// Device units from the printable area's edge to a protocol header: 300 twips
// from the paper's edge, or twice the offset when the printable area begins
// further in.
int32_t HeaderOffset(int32_t Offset, int32_t PixelsPerInch);

// The preview's page box in a client area: Top down to Reserve pixels less than
// the client height, as wide as the paper's aspect allows, narrower (and then
// lower) when the client width less 32 would not hold it, centred. Without a
// printer (no paper size) the box is empty.
TRect PreviewBox(int32_t ClientWidth, int32_t ClientHeight, int32_t PaperWidth, int32_t PaperHeight,
                 int32_t Top, int32_t Reserve);

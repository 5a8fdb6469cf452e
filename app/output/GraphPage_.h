// The graph page of a record window, laid out in twips (1440 a inch) from the
// top-left corner of the paper whatever the device: title, scale block,
// first/last block, the two footers and the graph, drawn by a temporary copy of
// the window's line graph at 200 pixels a inch. Printing, the preview and the
// metafile export all draw it, each on its own canvas.
#pragma once

#include "app/base/TextColumns_.h"
#include "app/base/Tools_.h"
#include "app/graph/LineGraph_.h"
#include "app/values/RecordData_.h"

#include <cstdint>
#include <string>
#include <vector>

// Bits of the page's Flags.
enum TPageFlag : uint8_t {
    pfTitle = 0x01,
    pfProgramFooter = 0x02, // program line and record file path, bottom left
    pfPrintDate = 0x04,     // print date and time, bottom right
    pfScale = 0x08,         // scale block and first/last block, top right
    pfNames = 0x10,         // series names in the graph
    pfValues = 0x20,        // numeric values in the graph
};

// Printing and the preview: everything but what their two check boxes choose.
uint8_t PrintPageFlags(bool SeriesNames, bool NumericValues);
// The metafile export: what its four check boxes choose; never the footers.
uint8_t ExportPageFlags(bool SeriesNames, bool NumericValues, bool Title, bool Scale);

// A canvas's logical-to-device mapping: the platform's mode, window and
// viewport extents and the viewport origin.
struct TPageMapping {
    int32_t Mode = 0;
    TPoint WindowExt;
    TPoint ViewportExt;
    TPoint ViewportOrg;
    bool operator==(const TPageMapping&) const = default;
};

// What the page needs of a device besides text: its mapping, the one font of
// the page's texts, clipped text and the graph.
class IPageCanvas : public ITextCanvas {
public:
    virtual TPageMapping Mapping() = 0;
    virtual void SetMapping(const TPageMapping& Mapping) = 0;
    // Window extent to viewport extent, anisotropic, at ViewportOrg.
    virtual void SetAnisotropic(TPoint WindowExt, TPoint ViewportExt, TPoint ViewportOrg) = 0;
    // "Tahoma", black, Height logical units (negative: the character height).
    virtual void SetFont(int32_t Height) = 0;
    // Text at (X, Y) clipped to Clip.
    virtual void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) = 0;
    // The temporary graph (SetupPageGraph) of Source in G (twips of the page),
    // whose device extent is DeviceG; the viewport origin stays.
    virtual void RenderGraph(const TLineGraph& Source, const TRect& G, uint8_t GraphFlags,
                             const TRect& DeviceG) = 0;

protected:
    ~IPageCanvas() = default;
};

// What the page shows of a record window.
struct TGraphPageSource {
    std::string Caption;    // the window caption, maybe with the unsaved mark
    uint8_t DateFormat = 0; // of the window's node
    std::string RecordPath; // record file of the window's node; empty when none
    const TRecording& Data;
    const TLineGraph& Graph;
    std::string PrintDate; // today and now as the user's locale writes them
    std::string PrintTime;
};

inline constexpr char kPageFont[] = "Tahoma";
inline constexpr int32_t kPageTextHeight = -140; // 7 points
inline constexpr int32_t kPageTitleHeight = -280;
inline constexpr int32_t kTextGraphGap = 56;
inline constexpr int32_t kBlockGap = 566; // 1 cm between first/last and scale block
// The temporary graph is laid out at 200 pixels a inch: 7.2 twips a pixel.
inline constexpr double kTwipsPerGraphPixel = 7.2;
inline constexpr int32_t kPageGraphFontSize = 20;

// Draws the page. PageRect: twips inside the margins, from the paper's corner;
// Resolution: device units a inch; Offset: device units from the paper's corner
// to the device origin. The canvas's mapping is restored afterwards, also when
// drawing raises. An empty PageRect draws nothing.
void DrawGraphPage(const TGraphPageSource& Source, IPageCanvas& Canvas, const TRect& PageRect,
                   double ResolutionX, double ResolutionY, TPoint Offset, uint8_t Flags);

// Makes Page the temporary graph of Window for the twips rectangle G: twice the
// grid density, the page's label steps and annotations, Window's time window,
// series, conditions, frame and values handler, white, G at 200 pixels a inch.
void SetupPageGraph(const TLineGraph& Window, TLineGraph& Page, const TRect& G, uint8_t GraphFlags);
// Where the temporary graph of G stands in its 200-pixels-a-inch coordinates.
TPoint PageGraphOrigin(const TRect& G);

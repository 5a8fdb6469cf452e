#include "app/tree/TreeImages_win.h"

#include "app/base/Shape_win.h"
#include "app/tree/TreeTypes_.h"

#include <initializer_list>

namespace {

// The transparent colour of the strip; no image uses it.
constexpr COLORREF kMaskColor = RGB(255, 0, 255);

constexpr COLORREF kOutline = RGB(64, 64, 64);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(208, 208, 208);
constexpr COLORREF kGrey = RGB(150, 150, 150);
constexpr COLORREF kRed = RGB(220, 0, 0);
constexpr COLORREF kDarkRed = RGB(130, 0, 0);
constexpr COLORREF kGreen = RGB(0, 180, 0);
constexpr COLORREF kDarkGreen = RGB(0, 90, 0);
constexpr COLORREF kBlue = RGB(0, 80, 200);
constexpr COLORREF kFolder = RGB(255, 208, 80);
constexpr COLORREF kFolderTab = RGB(224, 168, 32);
constexpr COLORREF kFolderEdge = RGB(140, 100, 0);

using TBitmapHandle = TScoped<HBITMAP, DeleteObject>;
using TMemoryDC = TScoped<HDC, DeleteDC>;
using TPenHandle = TScoped<HPEN, DeleteObject>;

// Paints one image of the strip in the image's own coordinates (0..15).
class TGlyphPainter {
public:
    TGlyphPainter(HDC DC, int Index) : FDC(DC) {
        SetViewportOrgEx(FDC, Index * kTreeImageSize, 0, &FOrigin);
    }
    TGlyphPainter(const TGlyphPainter&) = delete;
    TGlyphPainter& operator=(const TGlyphPainter&) = delete;
    ~TGlyphPainter() { SetViewportOrgEx(FDC, FOrigin.x, FOrigin.y, nullptr); }

    // Right and bottom are exclusive, as in Rectangle and Ellipse.
    void Box(int L, int T, int R, int B, COLORREF Fill, COLORREF Outline) {
        PaintShape(FDC, {L, T, R, B}, TShapeType::Rectangle, Fill, Outline);
    }
    void Disc(int L, int T, int R, int B, COLORREF Fill, COLORREF Outline) {
        PaintShape(FDC, {L, T, R, B}, TShapeType::Circle, Fill, Outline);
    }
    void Shape(std::initializer_list<POINT> Points, COLORREF Fill, COLORREF Outline) {
        const TPenHandle pen(CreatePen(PS_SOLID, 1, Outline));
        const TSelectObject selectPen(FDC, pen.Get());
        const TSelectObject selectBrush(FDC, ColorBrush(Fill));
        Polygon(FDC, Points.begin(), static_cast<int>(Points.size()));
    }
    // A line through Points, the last point included.
    void Line(std::initializer_list<POINT> Points, COLORREF Color) {
        const TPenHandle pen(CreatePen(PS_SOLID, 1, Color));
        const TSelectObject selectPen(FDC, pen.Get());
        Polyline(FDC, Points.begin(), static_cast<int>(Points.size()));
        const POINT last = *(Points.end() - 1);
        SetPixel(FDC, last.x, last.y, Color);
    }

private:
    HDC FDC;
    POINT FOrigin{};
};

void PaintComputer(TGlyphPainter& P) {
    P.Box(1, 1, 15, 11, kLightGrey, kOutline);
    P.Box(3, 3, 13, 9, kBlue, kBlue);
    P.Line({{4, 4}, {7, 4}}, RGB(120, 170, 255));
    P.Box(6, 11, 10, 13, kGrey, kGrey);
    P.Box(3, 12, 13, 15, kLightGrey, kOutline);
}

// A box with a display and a status light; a grey D-sub plug on top for a
// serial link, a blue flat one for USB. A lost instrument is grey with a red light.
void PaintInstrument(TGlyphPainter& P, bool Usb, bool Connected) {
    if (Usb) {
        P.Box(3, 0, 11, 5, kBlue, kOutline);
        P.Box(5, 2, 9, 3, kWhite, kWhite);
    } else {
        P.Shape({{3, 1}, {11, 1}, {10, 4}, {4, 4}}, kGrey, kOutline);
    }
    P.Box(1, 4, 15, 15, Connected ? RGB(236, 224, 188) : kLightGrey, kOutline);
    P.Box(3, 6, 9, 10, Connected ? RGB(0, 110, 110) : kGrey, kOutline);
    P.Disc(9, 9, 14, 14, Connected ? kGreen : kRed, Connected ? kDarkGreen : kDarkRed);
}

void PaintFolder(TGlyphPainter& P) {
    P.Shape({{1, 2}, {6, 2}, {7, 4}, {7, 5}, {1, 5}}, kFolderTab, kFolderEdge);
    P.Box(1, 4, 15, 14, kFolder, kFolderEdge);
}

// A rising and falling red curve: the samples of a record.
void PaintCurve(TGlyphPainter& P, int Bottom) {
    P.Line({{4, Bottom}, {6, Bottom - 4}, {8, Bottom - 2}, {10, Bottom - 5}, {12, Bottom - 3}},
           kRed);
}

// Up to five lines of text: the steps of a protocol.
void PaintTextLines(TGlyphPainter& P, int Top, int Count) {
    const int ends[] = {11, 9, 11, 10, 8};
    for (int i = 0; i < Count; ++i)
        P.Line({{5, Top + 2 * i}, {ends[i], Top + 2 * i}}, kBlue);
}

void PaintRecordFile(TGlyphPainter& P) {
    P.Shape({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, kWhite, kOutline);
    P.Line({{10, 1}, {10, 4}, {13, 4}}, kOutline);
    P.Line({{4, 13}, {12, 13}}, kGrey);
    PaintCurve(P, 12);
}

void PaintProtocol(TGlyphPainter& P) {
    P.Box(3, 1, 14, 16, kWhite, kOutline);
    P.Box(4, 2, 13, 4, kBlue, kBlue);
    PaintTextLines(P, 6, 5);
}

// A chamber: a cup seen from above in its kind's colour; an absent one grey in a
// rim of that colour.
void PaintChamber(TGlyphPainter& P, COLORREF Color, COLORREF Rim, bool Present) {
    P.Disc(1, 1, 15, 15, Present ? Color : kLightGrey, Rim);
    P.Disc(4, 4, 12, 12, Present ? Rim : kWhite, Rim);
    if (Present)
        P.Line({{5, 3}, {7, 3}}, kWhite);
}

void PaintUnknownChamber(TGlyphPainter& P) {
    P.Disc(1, 1, 15, 15, kWhite, kOutline);
    P.Line({{6, 5}, {7, 4}, {9, 4}, {10, 5}, {10, 6}, {8, 8}, {8, 9}}, kOutline);
    P.Line({{8, 11}, {8, 12}}, kOutline);
}

void PaintRecording(TGlyphPainter& P, bool Present) {
    P.Disc(3, 3, 13, 13, Present ? kRed : kLightGrey, kDarkRed);
}

// The row images of a record window's sample list: a block's end, and where the
// chamber begins analysing or becomes stable (in the graph's colours of both).
void PaintStop(TGlyphPainter& P) {
    P.Box(3, 3, 13, 13, kOutline, kOutline);
}

void PaintAnalysing(TGlyphPainter& P) {
    P.Shape({{3, 1}, {13, 1}, {8, 8}, {13, 15}, {3, 15}, {8, 8}}, RGB(255, 241, 0),
            RGB(150, 130, 0));
}

void PaintStable(TGlyphPainter& P) {
    P.Shape({{1, 8}, {4, 6}, {7, 9}, {13, 2}, {15, 4}, {7, 14}}, kGreen, kDarkGreen);
}

struct TChamberColors {
    int32_t Kind;
    COLORREF Color;
    COLORREF Rim;
};

// Chamber 0 of an instrument darker than the others of the same maker.
constexpr TChamberColors kChamberColors[] = {
    {nkZephoraChamber0, RGB(40, 100, 220), RGB(0, 40, 130)},
    {nkZephoraChamber, RGB(110, 190, 255), RGB(20, 90, 170)},
    {nkKivanterChamber0, RGB(0, 160, 70), RGB(0, 80, 30)},
    {nkKivanterChamber, RGB(130, 220, 100), RGB(40, 130, 30)},
    {nkZephoraNChamber, RGB(170, 80, 210), RGB(90, 20, 120)},
};

void PaintGlyphs(HDC DC) {
    const auto paint = [DC](int32_t Index, auto Paint) {
        TGlyphPainter painter(DC, Index);
        Paint(painter);
    };
    paint(imRoot, PaintComputer);
    for (const int32_t kind : {nkSerialInstrument, nkUsbInstrument})
        for (const bool connected : {true, false})
            paint(InstrumentImage(kind, connected), [&](TGlyphPainter& P) {
                PaintInstrument(P, kind == nkUsbInstrument, connected);
            });
    paint(imRecordsFolder, [](TGlyphPainter& P) {
        PaintFolder(P);
        PaintCurve(P, 12);
    });
    paint(imRecordFile, PaintRecordFile);
    paint(imProtocolsFolder, [](TGlyphPainter& P) {
        PaintFolder(P);
        PaintTextLines(P, 7, 3);
    });
    paint(imProtocol, PaintProtocol);
    for (const TChamberColors& c : kChamberColors)
        for (const bool present : {true, false})
            paint(ChamberImage(c.Kind, present),
                  [&](TGlyphPainter& P) { PaintChamber(P, c.Color, c.Rim, present); });
    paint(imUnknownChamber, PaintUnknownChamber);
    paint(imRecording, [](TGlyphPainter& P) { PaintRecording(P, true); });
    paint(imRecordingAbsent, [](TGlyphPainter& P) { PaintRecording(P, false); });
    paint(imRowStop, PaintStop);
    paint(imRowAnalysing, PaintAnalysing);
    paint(imRowStable, PaintStable);
}

// All images side by side on the mask colour.
TBitmapHandle PaintStrip() {
    const TMemoryDC dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kTreeImageSize * kTreeImageCount;
    info.bmiHeader.biHeight = kTreeImageSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TBitmapHandle strip(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !strip)
        return {};
    // Selected until the end of this function: the list takes no bitmap that a
    // device context holds.
    const TSelectObject select(dc.Get(), strip.Get());
    const RECT all{0, 0, kTreeImageSize * kTreeImageCount, kTreeImageSize};
    FillRect(dc.Get(), &all, ColorBrush(kMaskColor));
    PaintGlyphs(dc.Get());
    return strip;
}

} // namespace

TImageListHandle CreateTreeImages() {
    TImageListHandle list(ImageList_Create(kTreeImageSize, kTreeImageSize, ILC_COLOR32 | ILC_MASK,
                                           kTreeImageCount, 0));
    if (!list)
        return list;
    const TBitmapHandle strip = PaintStrip();
    if (!strip || ImageList_AddMasked(list.Get(), strip.Get(), kMaskColor) != 0 ||
        ImageList_GetImageCount(list.Get()) != kTreeImageCount)
        list.Reset();
    return list;
}

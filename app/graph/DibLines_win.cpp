#include "app/graph/DibLines_win.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

// GDI's coordinates stay within 27 bits; beyond, its drawing is left to it.
constexpr int64_t kCoordinateRange = int64_t{1} << 27;

// GDI steps along a line as Bresenham does; where the exact line passes midway
// between two pixels it takes the step in the octants of this mask (bit: x
// falling * 4 + y falling * 2 + y the major axis), as every direction drawn
// through GDI shows.
constexpr unsigned kHalfwayStepOctants = 0xE4;

bool InRange(std::initializer_list<int64_t> Coordinates) {
    for (int64_t c : Coordinates)
        if (c <= -kCoordinateRange || c >= kCoordinateRange)
            return false;
    return true;
}

uint32_t DibPixel(COLORREF Color) {
    return static_cast<uint32_t>(GetRValue(Color)) << 16 |
           static_cast<uint32_t>(GetGValue(Color)) << 8 | GetBValue(Color);
}

bool IsIdentity(const XFORM& X) {
    return X.eM11 == 1 && X.eM12 == 0 && X.eM21 == 0 && X.eM22 == 1 && X.eDx == 0 && X.eDy == 0;
}

bool IsPlainRgb(const DIBSECTION& D) {
    if (D.dsBm.bmBitsPixel != 32 || !D.dsBm.bmBits)
        return false;
    if (D.dsBmih.biCompression == BI_RGB)
        return true;
    return D.dsBmih.biCompression == BI_BITFIELDS && D.dsBitfields[0] == 0xFF0000 &&
           D.dsBitfields[1] == 0xFF00 && D.dsBitfields[2] == 0xFF;
}

} // namespace

HBITMAP CreateDib32(int Width, int Height, bool TopDown) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = TopDown ? -Height : Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

bool TDibLines::Ready() {
    if (!FKnown)
        Look();
    return FReady;
}

void TDibLines::Look() {
    FKnown = true;
    FReady = false;
    DIBSECTION dib{};
    const HGDIOBJ bitmap = GetCurrentObject(FDC, OBJ_BITMAP);
    if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || !IsPlainRgb(dib))
        return;
    XFORM transform{};
    if (GetMapMode(FDC) != MM_TEXT || !GetWorldTransform(FDC, &transform) ||
        !IsIdentity(transform) || GetLayout(FDC) != 0 || GetROP2(FDC) != R2_COPYPEN)
        return;
    RECT box{};
    const int clip = GetClipBox(FDC, &box);
    if (clip != SIMPLEREGION && clip != NULLREGION)
        return;
    POINT origin{0, 0};
    if (!LPtoDP(FDC, &origin, 1))
        return;
    const LONG width = dib.dsBm.bmWidth;
    const LONG height = dib.dsBm.bmHeight;
    FOffset = origin;
    FClip = {0, 0, 0, 0};
    if (clip == SIMPLEREGION) {
        const RECT device{box.left + origin.x, box.top + origin.y, box.right + origin.x,
                          box.bottom + origin.y};
        const RECT bounds{0, 0, width, height};
        if (!IntersectRect(&FClip, &device, &bounds))
            FClip = {0, 0, 0, 0};
    }
    FBits = static_cast<uint8_t*>(dib.dsBm.bmBits);
    FStride = dib.dsBm.bmWidthBytes;
    if (!IsTopDown(height)) { // row 0 is the last in memory
        FBits += (height - 1) * FStride;
        FStride = -FStride;
    }
    FReady = true;
}

// GetObject tells no DIB section's orientation: a pixel in the clip is changed
// in the bits as if top-down and read back through GDI, then restored. The
// middle row is the same either way; a clip of that row alone needs no answer.
bool TDibLines::IsTopDown(LONG Height) {
    if (IsRectEmpty(&FClip))
        return true;
    LONG y = FClip.top;
    if (2 * y == Height - 1 && FClip.bottom > y + 1)
        ++y;
    const POINT at{FClip.left - FOffset.x, y - FOffset.y};
    GdiFlush();
    uint32_t& pixel = reinterpret_cast<uint32_t*>(FBits + y * int64_t{FStride})[FClip.left];
    const uint32_t saved = pixel;
    const COLORREF before = GetPixel(FDC, at.x, at.y);
    pixel = saved ^ 0xFFFFFF;
    const COLORREF after = GetPixel(FDC, at.x, at.y);
    pixel = saved;
    return before != after;
}

uint32_t* TDibLines::Row(int64_t Y) const {
    return reinterpret_cast<uint32_t*>(FBits + Y * FStride);
}

bool TDibLines::Line(POINT From, POINT To, COLORREF Color) {
    if (!Ready() || (From.x == To.x && From.y == To.y))
        return false;
    const int64_t x0 = int64_t{From.x} + FOffset.x, y0 = int64_t{From.y} + FOffset.y;
    const int64_t x1 = int64_t{To.x} + FOffset.x, y1 = int64_t{To.y} + FOffset.y;
    if (!InRange({x0, y0, x1, y1}))
        return false;
    // Along the major axis a, one pixel a step; the minor axis b follows.
    const bool yMajor = std::abs(y1 - y0) > std::abs(x1 - x0);
    const int64_t a0 = yMajor ? y0 : x0, b0 = yMajor ? x0 : y0;
    const int64_t a1 = yMajor ? y1 : x1, b1 = yMajor ? x1 : y1;
    const int64_t sa = a1 < a0 ? -1 : 1, sb = b1 < b0 ? -1 : 1;
    const int64_t major = std::abs(a1 - a0), minor = std::abs(b1 - b0);
    const int octant = (x1 < x0) * 4 + (y1 < y0) * 2 + yMajor;
    const bool halfway = (kHalfwayStepOctants >> octant) & 1;
    const int64_t aLo = yMajor ? FClip.top : FClip.left, aHi = yMajor ? FClip.bottom : FClip.right;
    const int64_t bLo = yMajor ? FClip.left : FClip.top, bHi = yMajor ? FClip.right : FClip.bottom;
    // The steps i = 0 .. major - 1 whose a0 + i * sa lies in the clip.
    const int64_t first = std::max<int64_t>(0, sa > 0 ? aLo - a0 : a0 - aHi + 1);
    const int64_t last = std::min(major, sa > 0 ? aHi - a0 : a0 - aLo + 1);
    if (first >= last)
        return true;
    // Minor steps before step i: i * minor / major rounded, halves up where
    // GDI steps midway; e is the error term after step i.
    const int64_t m =
        first == 0 ? 0 : (2 * minor * first + major - (halfway ? 0 : 1)) / (2 * major);
    int64_t e = 2 * minor * (first + 1) - major - 2 * major * m;
    int64_t b = b0 + m * sb;
    // The byte offset of step first's pixel, and the byte steps along either axis.
    const int64_t a = a0 + first * sa;
    int64_t at = (yMajor ? a : b) * FStride + (yMajor ? b : a) * 4;
    const int64_t xStep = 4 * (yMajor ? sb : sa), yStep = FStride * (yMajor ? sa : sb);
    const int64_t aStep = yMajor ? yStep : xStep, bStep = yMajor ? xStep : yStep;
    const uint32_t pixel = DibPixel(Color);
    if (minor == 0) { // most of a repaint's lines: no steps aside
        if (b >= bLo && b < bHi)
            for (int64_t i = first; i < last; ++i, at += aStep)
                *reinterpret_cast<uint32_t*>(FBits + at) = pixel;
        return true;
    }
    for (int64_t i = first; i < last; ++i) {
        if (b >= bLo && b < bHi)
            *reinterpret_cast<uint32_t*>(FBits + at) = pixel;
        at += aStep;
        if (e > 0 || (e == 0 && halfway)) {
            b += sb;
            at += bStep;
            e -= 2 * major;
        }
        e += 2 * minor;
    }
    return true;
}

bool TDibLines::Pixel(POINT At, COLORREF Color) {
    if (!Ready())
        return false;
    const int64_t x = int64_t{At.x} + FOffset.x, y = int64_t{At.y} + FOffset.y;
    if (!InRange({x, y}))
        return false;
    if (x >= FClip.left && x < FClip.right && y >= FClip.top && y < FClip.bottom)
        Row(y)[x] = DibPixel(Color);
    return true;
}

bool TDibLines::Fill(const RECT& R, COLORREF Color) {
    if (!Ready() || R.right < R.left || R.bottom < R.top)
        return false;
    const int64_t left = int64_t{R.left} + FOffset.x, top = int64_t{R.top} + FOffset.y;
    const int64_t right = int64_t{R.right} + FOffset.x, bottom = int64_t{R.bottom} + FOffset.y;
    if (!InRange({left, top, right, bottom}))
        return false;
    const int64_t l = std::max<int64_t>(left, FClip.left);
    const int64_t t = std::max<int64_t>(top, FClip.top);
    const int64_t r = std::min<int64_t>(right, FClip.right);
    const int64_t b = std::min<int64_t>(bottom, FClip.bottom);
    if (l >= r || t >= b)
        return true;
    // The first row pixel by pixel, the others copied from it: the panel's
    // fills cover the whole bitmap.
    std::fill(Row(t) + l, Row(t) + r, DibPixel(Color));
    for (int64_t y = t + 1; y < b; ++y)
        std::memcpy(Row(y) + l, Row(t) + l, static_cast<size_t>(r - l) * sizeof(uint32_t));
    return true;
}

bool TDibLines::Text(POINT Origin, const RECT& Clip, const TTextBlend& Blend) {
    if (!Ready() || !Blend.Exact)
        return false;
    const int64_t x = int64_t{Origin.x} + FOffset.x, y = int64_t{Origin.y} + FOffset.y;
    const int64_t left = int64_t{Clip.left} + FOffset.x, top = int64_t{Clip.top} + FOffset.y;
    const int64_t right = int64_t{Clip.right} + FOffset.x;
    const int64_t bottom = int64_t{Clip.bottom} + FOffset.y;
    if (!InRange({x, y, left, top, right, bottom}))
        return false;
    const int64_t l = std::max<int64_t>(left, FClip.left);
    const int64_t t = std::max<int64_t>(top, FClip.top);
    const int64_t r = std::min<int64_t>(right, FClip.right);
    const int64_t b = std::min<int64_t>(bottom, FClip.bottom);
    // Only the text's columns within the clip.
    const auto from =
        std::lower_bound(Blend.Pixels.begin(), Blend.Pixels.end(), l - x,
                         [](const TTextBlend::TPixel& P, int64_t Dx) { return P.Dx < Dx; });
    for (auto at = from; at != Blend.Pixels.end() && x + at->Dx < r; ++at) {
        const TTextBlend::TPixel& p = *at;
        const int64_t px = x + p.Dx, py = y + p.Dy;
        if (py < t || py >= b)
            continue;
        uint32_t& pixel = Row(py)[px];
        const TTextBlend::TMap& map = Blend.Maps[p.Map];
        uint32_t blended = Blend.KeepsTopByte ? pixel & 0xFF000000u : uint32_t{Blend.TopByte} << 24;
        for (int c = 0; c < 3; ++c)
            blended |= uint32_t{map[c][(pixel >> (8 * c)) & 0xFF]} << (8 * c);
        pixel = blended;
    }
    return true;
}

#include "app/graph/DibLines_win.h"

#include <algorithm>

namespace {

// GDI's coordinates stay within 27 bits; beyond, its lines are left to it.
constexpr int64_t kCoordinateRange = int64_t{1} << 27;

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
    if (!Ready() || (From.x != To.x && From.y != To.y) || (From.x == To.x && From.y == To.y))
        return false;
    const int64_t x0 = int64_t{From.x} + FOffset.x, y0 = int64_t{From.y} + FOffset.y;
    const int64_t x1 = int64_t{To.x} + FOffset.x, y1 = int64_t{To.y} + FOffset.y;
    for (int64_t c : {x0, y0, x1, y1})
        if (c <= -kCoordinateRange || c >= kCoordinateRange)
            return false;
    const uint32_t pixel = static_cast<uint32_t>(GetRValue(Color)) << 16 |
                           static_cast<uint32_t>(GetGValue(Color)) << 8 | GetBValue(Color);
    if (x0 == x1) {
        if (x0 < FClip.left || x0 >= FClip.right)
            return true;
        const int64_t top = std::max<int64_t>(y1 > y0 ? y0 : y1 + 1, FClip.top);
        const int64_t bottom = std::min<int64_t>(y1 > y0 ? y1 : y0 + 1, FClip.bottom);
        for (int64_t y = top; y < bottom; ++y)
            Row(y)[x0] = pixel;
    } else {
        if (y0 < FClip.top || y0 >= FClip.bottom)
            return true;
        const int64_t left = std::max<int64_t>(x1 > x0 ? x0 : x1 + 1, FClip.left);
        const int64_t right = std::min<int64_t>(x1 > x0 ? x1 : x0 + 1, FClip.right);
        if (left < right)
            std::fill(Row(y0) + left, Row(y0) + right, pixel);
    }
    return true;
}

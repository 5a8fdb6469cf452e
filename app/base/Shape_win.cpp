#include "app/base/Shape_win.h"

#include "common/WinRes_win.h"

#include <map>

namespace {

constexpr uint32_t kSystemColor = 0xFF000000;

using TBrushHandle = TScoped<HBRUSH, DeleteObject>;
using TPenHandle = TScoped<HPEN, DeleteObject>;

} // namespace

COLORREF ColorRef(uint32_t Color) {
    if ((Color & kSystemColor) == kSystemColor)
        return GetSysColor(static_cast<int>(Color & 0xFF));
    return Color & 0xFFFFFF;
}

HBRUSH ColorBrush(uint32_t Color) {
    if ((Color & kSystemColor) == kSystemColor)
        return GetSysColorBrush(static_cast<int>(Color & 0xFF));
    static std::map<uint32_t, TBrushHandle> brushes;
    TBrushHandle& brush = brushes[Color];
    if (!brush)
        brush.Reset(CreateSolidBrush(ColorRef(Color)));
    return brush.Get();
}

void PaintShape(HDC DC, const RECT& Bounds, TShapeType Type, uint32_t Brush, uint32_t Pen) {
    const TPenHandle pen(CreatePen(PS_SOLID, 1, ColorRef(Pen)));
    const TSelectObject selectPen(DC, pen.Get());
    const TSelectObject selectBrush(DC, ColorBrush(Brush));
    if (Type == TShapeType::Circle)
        Ellipse(DC, Bounds.left, Bounds.top, Bounds.right, Bounds.bottom);
    else
        Rectangle(DC, Bounds.left, Bounds.top, Bounds.right, Bounds.bottom);
}

LRESULT ColorStatic(WPARAM DC, uint32_t Color) {
    SetBkColor(reinterpret_cast<HDC>(DC), ColorRef(Color));
    return reinterpret_cast<LRESULT>(ColorBrush(Color));
}

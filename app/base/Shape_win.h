// Shapes painted by the form they lie on: a filled rectangle or circle with an
// outline, in colours $00BBGGRR or a system colour (0xFF000000 + the index).
#pragma once

#include <windows.h>

#include <cstdint>

enum class TShapeType { Rectangle, Circle };

COLORREF ColorRef(uint32_t Color);
// A solid brush of Color, kept for the program's life (controls ask for it on
// every repaint).
HBRUSH ColorBrush(uint32_t Color);

void PaintShape(HDC DC, const RECT& Bounds, TShapeType Type, uint32_t Brush, uint32_t Pen);

// A label or read-only edit on a shape of Color: its background in that colour.
LRESULT ColorStatic(WPARAM DC, uint32_t Color);

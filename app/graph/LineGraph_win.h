// The line graph's panel: a child window that paints its TLineGraph through a
// memory bitmap, so a repaint never shows half a graph. The drawing field is a
// rectangle of the panel; a change of the model invalidates the panel.
#pragma once

#include "app/base/Form_win.h"
#include "app/graph/GdiCanvas_win.h"
#include "app/graph/LineGraph_.h"
#include "common/WinRes_win.h"

#include <functional>

class TLineGraphPanel : public TWindow {
public:
    static constexpr int32_t kBevelWidth = 1;
    static constexpr char kClassName[] = "TLineGraph";

    // A hidden child of Parent at (10, 10), 100 x 100 pixels.
    explicit TLineGraphPanel(HWND Parent);

    TLineGraph& Graph() { return FGraph; }
    // Panel and field drawn into DC as on the screen, at its origin.
    void PaintTo(HDC DC);

    // A mouse button went down at X, Y of the drawing field (the paint box).
    std::function<void(bool Left, int X, int Y)> OnMouseDown;
    // The left button went up where it went down: InField when on the field.
    std::function<void(bool InField)> OnClick;
    // The cursor over the panel; the arrow while null.
    std::function<HCURSOR()> Cursor;

protected:
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    using TBitmapHandle = TScoped<HBITMAP, DeleteObject>;

    void OnPaint();

    TLineGraph FGraph;
    TGdiCanvasCache FCanvasCache;
    TBitmapHandle FBuffer;
    SIZE FBufferSize{0, 0};
    bool FPressed = false;
    POINT FPressedAt{0, 0};
};

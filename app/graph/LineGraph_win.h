// The line graph's panel: a child window that paints its TLineGraph through a
// memory bitmap, so a repaint never shows half a graph. The drawing field is a
// rectangle of the panel; a change of the model invalidates the panel.
#pragma once

#include "app/base/Form_win.h"
#include "app/graph/LineGraph_.h"
#include "common/WinRes_win.h"

class TLineGraphPanel : public TWindow {
public:
    static constexpr int32_t kBevelWidth = 1;
    static constexpr char kClassName[] = "TLineGraph";

    // A hidden child of Parent at (10, 10), 100 x 100 pixels.
    explicit TLineGraphPanel(HWND Parent);

    TLineGraph& Graph() { return FGraph; }
    // Panel and field drawn into DC as on the screen, at its origin.
    void PaintTo(HDC DC);

protected:
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    using TBitmapHandle = TScoped<HBITMAP, DeleteObject>;

    void OnPaint();

    TLineGraph FGraph;
    TBitmapHandle FBuffer;
    SIZE FBufferSize{0, 0};
};

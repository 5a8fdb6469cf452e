#include "app/graph/LineGraph_win.h"

#include "app/graph/DibLines_win.h"

TLineGraphPanel::TLineGraphPanel(HWND Parent) {
    FGraph.OnInvalidate = [this] {
        if (Handle())
            InvalidateRect(Handle(), nullptr, FALSE);
    };
    TCreateArgs args;
    args.ClassName = kClassName;
    args.Style = WS_CHILD | WS_CLIPSIBLINGS;
    args.X = 10;
    args.Y = 10;
    args.Width = 100;
    args.Height = 100;
    args.Parent = Parent;
    args.Background = nullptr;
    CreateHandle(args);
}

void TLineGraphPanel::PaintTo(HDC DC) {
    TGdiCanvas canvas(DC, true, &FCanvasCache);
    FGraph.Paint(canvas, kBevelWidth);
    FGraph.DrawFieldPaint(canvas);
}

void TLineGraphPanel::OnPaint() {
    TPaintDC paint(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    const TScoped<HDC, DeleteDC> memory(CreateCompatibleDC(paint.Get()));
    if (!FBuffer || FBufferSize.cx != client.right || FBufferSize.cy != client.bottom) {
        FBuffer.Reset(CreateDib32(client.right, client.bottom));
        FBufferSize = {client.right, client.bottom};
    }
    const TSelectObject select(memory.Get(), FBuffer.Get());
    PaintTo(memory.Get());
    BitBlt(paint.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

LRESULT TLineGraphPanel::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_SIZE:
        FGraph.SetClientSize(LOWORD(L), HIWORD(L));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        const POINT p{static_cast<short>(LOWORD(L)), static_cast<short>(HIWORD(L))};
        FPressed = Msg == WM_LBUTTONDOWN;
        FPressedAt = p;
        SetFocus(Handle());
        if (OnMouseDown)
            OnMouseDown(Msg == WM_LBUTTONDOWN, p.x - FGraph.FieldRect().Left,
                        p.y - FGraph.FieldRect().Top);
        return 0;
    }
    case WM_LBUTTONUP:
        if (FPressed && OnClick) {
            const TRect& f = FGraph.FieldRect();
            OnClick(FPressedAt.x >= f.Left && FPressedAt.x < f.Right && FPressedAt.y >= f.Top &&
                    FPressedAt.y < f.Bottom);
        }
        FPressed = false;
        return 0;
    case WM_SETCURSOR:
        if (Cursor && LOWORD(L) == HTCLIENT) {
            SetCursor(Cursor());
            return TRUE;
        }
        return DefaultProc(Msg, W, L);
    default:
        return DefaultProc(Msg, W, L);
    }
}

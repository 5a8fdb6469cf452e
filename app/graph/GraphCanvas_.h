// The surface the line graph draws on: the screen's memory bitmap, a printer or
// metafile page, or a recording canvas in the tests. Coordinates are pixels of
// the current field (SetField); the state fields are applied by each call.
#pragma once

#include "app/base/Tools_.h"

#include <cstdint>
#include <string>

// Colours as $00BBGGRR; values from kClSystem on name a system colour by its index.
using TColor = uint32_t;
inline constexpr TColor kClSystem = 0xFF000000;
inline constexpr TColor kClWindow = kClSystem | 5;
inline constexpr TColor kClHighlight = kClSystem | 13;
inline constexpr TColor kClPanel = kClSystem | 15;
inline constexpr TColor kClShadow = kClSystem | 16;
inline constexpr TColor kClLight = kClSystem | 20;

struct TCanvasState {
    TColor PenColor = 0x000000;
    TColor BrushColor = 0xFFFFFF;
    bool BrushClear = false; // fills and text backgrounds are left out
    TColor FontColor = 0x000000;
    bool Transparent = false; // text without its background box
    int32_t FontSize = 8;     // points
    bool operator==(const TCanvasState&) const = default;
};

class TGraphCanvas {
public:
    virtual ~TGraphCanvas() = default;

    TCanvasState State;

    // Origin and clip rectangle of the following calls, in canvas pixels.
    virtual void SetField(const TRect& Field) = 0;
    virtual void MoveTo(int32_t X, int32_t Y) = 0;
    // A line from the pen position in PenColor, the end point excluded.
    virtual void LineTo(int32_t X, int32_t Y) = 0;
    virtual void SetPixel(int32_t X, int32_t Y, TColor Color) = 0;
    // Right and bottom exclusive, in BrushColor.
    virtual void FillRect(const TRect& R) = 0;
    // Filled in BrushColor, outlined in PenColor.
    virtual void Ellipse(const TRect& R) = 0;
    // A 3-D frame of Width pixels just inside R.
    virtual void Frame3D(const TRect& R, TColor TopLeft, TColor BottomRight, int32_t Width) = 0;
    virtual void WriteText(int32_t X, int32_t Y, const std::string& Text) = 0;
    // Text at (X, Y) clipped to Clip.
    virtual void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) = 0;
    virtual int32_t TextWidth(const std::string& Text) = 0;
    virtual int32_t TextHeight(const std::string& Text) = 0;
    // The font's character height without leading (the magnitude of its height).
    virtual int32_t FontHeight() = 0;
};

// Restores the canvas state at the end of a drawing routine, also on an exception.
class TKeepCanvasState {
public:
    explicit TKeepCanvasState(TGraphCanvas& Canvas) : FCanvas(Canvas), FSaved(Canvas.State) {}
    TKeepCanvasState(const TKeepCanvasState&) = delete;
    TKeepCanvasState& operator=(const TKeepCanvasState&) = delete;
    ~TKeepCanvasState() { FCanvas.State = FSaved; }

private:
    TGraphCanvas& FCanvas;
    TCanvasState FSaved;
};

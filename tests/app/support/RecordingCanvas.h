// A canvas that logs every call with the state it uses, one text per call, and
// measures text with a fixed-pitch font: 6 pixels a character, 13 high, a
// character height of 11.
#pragma once

#include "app/graph/GraphCanvas_.h"

#include <string>
#include <vector>

class TRecordingCanvas : public TGraphCanvas {
public:
    static constexpr int32_t kCharWidth = 6;
    static constexpr int32_t kTextHeight = 13;
    static constexpr int32_t kFontHeight = 11;

    std::vector<std::string> Log;

    // The calls whose text starts with Prefix.
    std::vector<std::string> Calls(const std::string& Prefix) const;

    void SetField(const TRect& Field) override;
    void MoveTo(int32_t X, int32_t Y) override;
    void LineTo(int32_t X, int32_t Y) override;
    void SetPixel(int32_t X, int32_t Y, TColor Color) override;
    void FillRect(const TRect& R) override;
    void Ellipse(const TRect& R) override;
    void Frame3D(const TRect& R, TColor TopLeft, TColor BottomRight, int32_t Width) override;
    void WriteText(int32_t X, int32_t Y, const std::string& Text) override;
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override;
    int32_t TextWidth(const std::string& Text) override;
    int32_t TextHeight(const std::string& Text) override;
    int32_t FontHeight() override;

private:
    std::string TextState() const;
};

// A two-column block of texts (labels and their values) as printed pages show
// their information, drawn on any canvas that measures and draws text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The platform's TextOut macro, where it is defined, would rename the method
// in some units and not in others.
#undef TextOut

class ITextCanvas {
public:
    virtual int32_t TextWidth(const std::string& Text) = 0;
    virtual int32_t TextHeight(const std::string& Text) = 0;
    virtual void TextOut(int32_t X, int32_t Y, const std::string& Text) = 0;

protected:
    ~ITextCanvas() = default;
};

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

// Labels from Origin downwards, one a line (the height of "["), the values in a
// column Gap to the right of the widest label. The width taken for the extent
// grows with the values too, so Extent is (value column + widest text, bottom
// of the values). MeasureOnly draws nothing.
void DrawTextColumns(ITextCanvas& Canvas, TPoint Origin, const std::vector<std::string>& Labels,
                     const std::vector<std::string>& Values, int32_t Gap, bool MeasureOnly,
                     TPoint& Extent);

#include "app/base/TextColumns_.h"

#include <algorithm>

void DrawTextColumns(ITextCanvas& Canvas, TPoint Origin, const std::vector<std::string>& Labels,
                     const std::vector<std::string>& Values, int32_t Gap, bool MeasureOnly,
                     TPoint& Extent) {
    const int32_t lineHeight = Canvas.TextHeight("[");
    int32_t w = 0;
    int32_t y = Origin.Y;
    for (const std::string& label : Labels) {
        if (!MeasureOnly)
            Canvas.TextOut(Origin.X, y, label);
        w = std::max(w, Canvas.TextWidth(label));
        y += lineHeight;
    }
    const int32_t x = Origin.X + w + Gap;
    y = Origin.Y;
    for (const std::string& value : Values) {
        if (!MeasureOnly)
            Canvas.TextOut(x, y, value);
        w = std::max(w, Canvas.TextWidth(value));
        y += lineHeight;
    }
    Extent = {x + w, Origin.Y + static_cast<int32_t>(Values.size()) * lineHeight};
}

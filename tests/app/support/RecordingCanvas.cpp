#include "tests/app/support/RecordingCanvas.h"

namespace {

std::string RectText(const TRect& R) {
    return Format("%d,%d,%d,%d", R.Left, R.Top, R.Right, R.Bottom);
}

} // namespace

std::vector<std::string> TRecordingCanvas::Calls(const std::string& Prefix) const {
    std::vector<std::string> calls;
    for (const std::string& call : Log)
        if (call.compare(0, Prefix.size(), Prefix) == 0)
            calls.push_back(call);
    return calls;
}

void TRecordingCanvas::SetField(const TRect& Field) {
    Log.push_back("field " + RectText(Field));
}

void TRecordingCanvas::MoveTo(int32_t X, int32_t Y) {
    Log.push_back(Format("move %d,%d", X, Y));
}

void TRecordingCanvas::LineTo(int32_t X, int32_t Y) {
    Log.push_back(Format("line %d,%d pen %06X", X, Y, State.PenColor));
}

void TRecordingCanvas::SetPixel(int32_t X, int32_t Y, TColor Color) {
    Log.push_back(Format("pixel %d,%d %06X", X, Y, Color));
}

void TRecordingCanvas::FillRect(const TRect& R) {
    Log.push_back("fill " + RectText(R) +
                  (State.BrushClear ? " clear" : Format(" brush %06X", State.BrushColor)));
}

void TRecordingCanvas::Ellipse(const TRect& R) {
    Log.push_back("ellipse " + RectText(R) +
                  Format(" brush %06X pen %06X", State.BrushColor, State.PenColor));
}

void TRecordingCanvas::Frame3D(const TRect& R, TColor TopLeft, TColor BottomRight, int32_t Width) {
    Log.push_back("frame3d " + RectText(R) + Format(" %06X %06X %d", TopLeft, BottomRight, Width));
}

std::string TRecordingCanvas::TextState() const {
    std::string text = Format(" font %06X size %d", State.FontColor, State.FontSize);
    if (!State.Transparent && !State.BrushClear)
        text += Format(" on %06X", State.BrushColor);
    return text;
}

void TRecordingCanvas::WriteText(int32_t X, int32_t Y, const std::string& Text) {
    Log.push_back(Format("text %d,%d '%s'", X, Y, Text.c_str()) + TextState());
}

void TRecordingCanvas::TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) {
    Log.push_back(Format("textrect %d,%d '%s' in ", X, Y, Text.c_str()) + RectText(Clip) +
                  TextState());
}

int32_t TRecordingCanvas::TextWidth(const std::string& Text) {
    return kCharWidth * static_cast<int32_t>(Text.size());
}

int32_t TRecordingCanvas::TextHeight(const std::string&) {
    return kTextHeight;
}

int32_t TRecordingCanvas::FontHeight() {
    return kFontHeight;
}

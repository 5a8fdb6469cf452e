// Layout of the two small question forms of a record window: both size
// themselves to their one-line message (label at 62, 20) and keep their
// buttons (75 x 23) at the bottom.
#pragma once

#include <cstdint>

inline constexpr int kQuestionButtonWidth = 75;
inline constexpr int kQuestionButtonHeight = 23;
inline constexpr int kQuestionLabelLeft = 62;
inline constexpr int kQuestionLabelTop = 20;

struct TQuestionLayout {
    int ClientWidth = 0;
    int ClientHeight = 0;
    int ButtonTop = 0;
    int Lefts[3] = {}; // Overwrite, Append, Cancel; OK alone in Lefts[0]
};

// TOverwriteAppendWin: three buttons at 11, 91 and 173, or centred around
// Append 81 pixels apart when the label needs more room.
TQuestionLayout OverwriteAppendLayout(int LabelWidth, int LabelHeight);
// TInfoBox: one OK button, centred.
TQuestionLayout InfoBoxLayout(int LabelWidth, int LabelHeight);

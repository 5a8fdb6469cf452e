#include "app/record/QuestionLayout_.h"

#include <algorithm>

namespace {

// Room the label needs, with the form's margin right of it.
int LabelRoom(int LabelWidth) {
    return kQuestionLabelLeft + LabelWidth + 11;
}

void SetHeight(TQuestionLayout& L, int LabelHeight) {
    L.ClientHeight = kQuestionLabelTop + LabelHeight + kQuestionButtonHeight + 38;
    // Anchored to the bottom as designed: 11 pixels below the buttons.
    L.ButtonTop = L.ClientHeight - kQuestionButtonHeight - 11;
}

int Centred(int ClientWidth) {
    return ClientWidth / 2 - kQuestionButtonWidth / 2;
}

} // namespace

TQuestionLayout OverwriteAppendLayout(int LabelWidth, int LabelHeight) {
    TQuestionLayout l;
    l.ClientWidth = 3 * kQuestionButtonWidth + 36;
    if (l.ClientWidth < LabelRoom(LabelWidth)) {
        l.ClientWidth = LabelRoom(LabelWidth);
        const int append = Centred(l.ClientWidth);
        l.Lefts[0] = append - 81;
        l.Lefts[1] = append;
        l.Lefts[2] = append + 81;
    } else {
        l.Lefts[0] = 11;
        l.Lefts[1] = 91;
        l.Lefts[2] = 173;
    }
    SetHeight(l, LabelHeight);
    return l;
}

TQuestionLayout InfoBoxLayout(int LabelWidth, int LabelHeight) {
    TQuestionLayout l;
    l.ClientWidth = std::max(kQuestionButtonWidth + 22, LabelRoom(LabelWidth));
    l.Lefts[0] = Centred(l.ClientWidth);
    SetHeight(l, LabelHeight);
    return l;
}

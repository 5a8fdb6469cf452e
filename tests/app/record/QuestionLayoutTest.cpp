#include "app/record/QuestionLayout_.h"

#include <gtest/gtest.h>

namespace {

TEST(OverwriteAppendLayout, KeepsTheDesignOrWidensAroundAppend) {
    struct Case {
        int labelWidth;
        int width, overwrite, append, cancel;
    };
    const Case cases[] = {
        {100, 261, 11, 91, 173},
        {188, 261, 11, 91, 173}, // 62 + 188 + 11 = 261: still fits
        {189, 262, 13, 94, 175}, // 262 / 2 - 37 = 94
        {400, 473, 118, 199, 280},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.labelWidth);
        const TQuestionLayout l = OverwriteAppendLayout(c.labelWidth, 13);
        EXPECT_EQ(l.ClientWidth, c.width);
        EXPECT_EQ(l.Lefts[0], c.overwrite);
        EXPECT_EQ(l.Lefts[1], c.append);
        EXPECT_EQ(l.Lefts[2], c.cancel);
        EXPECT_EQ(l.ClientHeight, 20 + 13 + 23 + 38);
        EXPECT_EQ(l.ButtonTop, l.ClientHeight - 34);
    }
}

TEST(InfoBoxLayout, CentresTheButton) {
    struct Case {
        int labelWidth, width, ok;
    };
    const Case cases[] = {{10, 97, 11}, {24, 97, 11}, {25, 98, 12}, {300, 373, 149}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.labelWidth);
        const TQuestionLayout l = InfoBoxLayout(c.labelWidth, 26);
        EXPECT_EQ(l.ClientWidth, c.width);
        EXPECT_EQ(l.Lefts[0], c.ok);
        EXPECT_EQ(l.ClientHeight, 20 + 26 + 23 + 38);
    }
}

} // namespace

// The protocol window's size from its text, its close question and its automatic print.
#include "app/protocol/ProtWin_.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

std::string Lines(int N, bool TrailingBreak) {
    std::string text;
    for (int i = 0; i < N; ++i) {
        if (i > 0)
            text += "\r\n";
        text += "line " + std::to_string(i);
    }
    return TrailingBreak ? text + "\r\n" : text;
}

TEST(FitToText, TwoLinesMoreThanTheTextUpTo550) {
    const int32_t lineHeight = 13; // "[" in Courier New 8 at 96 dpi
    for (bool trailing : {false, true}) {
        SCOPED_TRACE(trailing);
        EXPECT_EQ(CountTextLines(Lines(10, trailing)), 10);
        EXPECT_EQ(FitClientHeight(CountTextLines(Lines(10, trailing)), lineHeight, kProtMaxHeight),
                  12 * (lineHeight + 2));
        EXPECT_EQ(FitClientHeight(CountTextLines(Lines(100, trailing)), lineHeight, kProtMaxHeight),
                  550);
    }
    EXPECT_EQ(CountTextLines(""), 0);
    EXPECT_EQ(CountTextLines("\r\n\r\n"), 2);
    EXPECT_EQ(FitClientHeight(0, lineHeight, kProtMaxHeight), 2 * (lineHeight + 2));
}

TEST(AddStringlistRange, OnlyRangesWithinTheListPass) {
    struct Case {
        int32_t count, first, last;
        bool valid;
    };
    const Case cases[] = {
        {5, 0, 4, true},  {5, 2, 2, true},   {5, 3, 2, false}, {5, 0, 5, false},
        {0, 0, 0, false}, {5, -1, 2, false}, {1, 0, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidLineRange(c.count, c.first, c.last), c.valid)
            << c.count << " " << c.first << ".." << c.last;
}

TEST(ProtClose, QuestionAndAnswers) {
    struct Case {
        const char* name;
        bool autoPrint, keepWindow;
        const char* caption;
        bool noToAllBefore;
        int32_t unsaved;
        bool closing;
        int32_t answer;  // of the box, when asked
        bool saveResult; // of Save As, when run
        // expected
        bool asked, noToAllButton, saveRun, closes, noToAllAfter;
    };
    const Case cases[] = {
        {"stored protocol", false, false, "P 1", false, 1, false, 0, false, false, false, false,
         true, false},
        {"printed and not kept", true, false, "* Actual Protocol", false, 1, false, 0, false, false,
         false, false, true, false},
        {"printed and kept asks", true, true, "* Actual Protocol", false, 1, false, mrNo, false,
         true, false, false, true, false},
        {"yes saves", false, false, "* Actual Protocol", false, 1, false, mrYes, true, true, false,
         true, true, false},
        {"yes with a failed or cancelled save stays", false, false, "* Actual Protocol", false, 1,
         false, mrYes, false, true, false, true, false, false},
        {"cancel stays", false, false, "* Actual Protocol", false, 1, false, mrCancel, false, true,
         false, false, false, false},
        {"closed box stays", false, false, "* Actual Protocol", false, 1, false, mrNone, false,
         true, false, false, false, false},
        {"no to all offered while closing", false, false, "* A", false, 3, true, mrNoToAll, false,
         true, true, false, true, true},
        {"no no-to-all for one unsaved", false, false, "* A", false, 1, true, mrNo, false, true,
         false, false, true, false},
        {"no no-to-all outside closing", false, false, "* A", false, 3, false, mrNo, false, true,
         false, false, true, false},
        {"no-to-all set answers no", false, false, "* A", true, 3, true, 0, false, false, false,
         false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TScriptedBoxes boxes;
        boxes.Script.push_back({c.answer, false});
        bool noToAll = c.noToAllBefore;
        bool saveRun = false;
        const TProtCloseState state{c.autoPrint, c.keepWindow, c.caption, c.unsaved, c.closing};
        const bool closes = ProtCloseQuery(boxes, state, noToAll, [&] {
            saveRun = true;
            return c.saveResult;
        });
        EXPECT_EQ(closes, c.closes);
        EXPECT_EQ(saveRun, c.saveRun);
        EXPECT_EQ(noToAll, c.noToAllAfter);
        ASSERT_EQ(boxes.Shown.size(), c.asked ? 1u : 0u);
        if (!c.asked)
            continue;
        const TMsgDlgRequest& box = boxes.Shown[0];
        EXPECT_EQ(box.Msg,
                  "Do you want to save the protocol " + std::string(c.caption).substr(2) + "?");
        EXPECT_EQ(box.Caption, "Confirm");
        ASSERT_EQ(box.Buttons.size(), c.noToAllButton ? 4u : 3u);
        EXPECT_EQ(box.Buttons.back().Kind, c.noToAllButton ? mbNoToAll : mbCancel);
        ASSERT_GE(box.DefaultButton, 0);
        EXPECT_EQ(box.Buttons[static_cast<std::size_t>(box.DefaultButton)].Kind, mbYes);
    }
}

TEST(ProtAutoPrint, PrintsInstrumentProtocolsAndKeepsTheWindowWhenPrintingFails) {
    struct Case {
        const char* name;
        int32_t len;
        bool autoPrint, keepWindow, fails;
        bool printed, closes, errorShown;
    };
    const Case cases[] = {
        {"from a file or an import", 0, true, false, false, false, false, false},
        {"autoprint off", 120, false, false, false, false, false, false},
        {"printed and closed", 120, true, false, false, true, true, false},
        {"printed and kept", 120, true, true, false, true, false, false},
        {"failed print keeps the window", 120, true, false, true, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TScriptedBoxes boxes;
        bool printed = false;
        const bool closes = AutoPrintProtocol(boxes, c.len, c.autoPrint, c.keepWindow, [&] {
            printed = true;
            if (c.fails)
                throw std::runtime_error("Printer out of paper");
        });
        EXPECT_EQ(printed, c.printed);
        EXPECT_EQ(closes, c.closes);
        ASSERT_EQ(boxes.Shown.size(), c.errorShown ? 1u : 0u);
        if (c.errorShown) {
            EXPECT_EQ(boxes.Shown[0].Msg, "Printer out of paper");
            EXPECT_EQ(boxes.Shown[0].DlgType, mtError);
        }
    }
}

} // namespace

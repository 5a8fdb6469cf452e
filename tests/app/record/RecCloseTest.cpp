#include "app/record/RecClose_.h"

#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RecCloseQuery, QuestionsAnswersAndOrder) {
    struct Case {
        const char* what;
        TRecCloseState state;
        bool yesToAllStop = false, noToAll = false;
        std::vector<int32_t> answers;
        bool saves = true;
        // expected
        std::vector<std::string> asked;
        std::vector<bool> toAllOffered;
        std::string calls; // S stop, V save
        bool closes = true;
        bool yesToAllAfter = false, noToAllAfter = false;
    };
    const std::string stop = "Lab 2 is recording.\r\rStop recording and close the recorder?";
    const std::string save = "Lab 2 contains unsaved data.\r\rDo you want to save the data?";
    const Case cases[] = {
        {"recording, Cancel: stays open and recording",
         {"* Lab 2", true, true, true, 1, 1, false},
         false,
         false,
         {mrCancel},
         true,
         {stop},
         {false},
         "",
         false},
        {"recording, Yes, save Yes: stops before it saves",
         {"* Lab 2", true, true, true, 1, 1, false},
         false,
         false,
         {mrYes, mrYes},
         true,
         {stop, save},
         {false, false},
         "SV",
         true},
        {"save fails: stays open",
         {"Lab 2", true, false, true, 1, 1, false},
         false,
         false,
         {mrYes},
         false,
         {save},
         {false},
         "V",
         false},
        {"save Cancel after Yes to stop: nothing stops",
         {"Lab 2", true, true, true, 1, 1, false},
         false,
         false,
         {mrYes, mrCancel},
         true,
         {stop, save},
         {false, false},
         "",
         false},
        {"close-all of several recorders offers Yes to All",
         {"Lab 2", true, true, false, 3, 0, true},
         false,
         false,
         {mrYesToAll},
         true,
         {stop},
         {true},
         "S",
         true,
         true},
        {"Yes to All given: no question",
         {"Lab 2", true, true, false, 3, 0, true},
         true,
         false,
         {},
         true,
         {},
         {},
         "S",
         true,
         true},
        {"No to All offered and taken",
         {"Lab 2", true, false, true, 0, 2, true},
         false,
         false,
         {mrNoToAll},
         true,
         {save},
         {true},
         "",
         true,
         false,
         true},
        {"No to All given: no question",
         {"Lab 2", true, false, true, 0, 2, true},
         false,
         true,
         {},
         true,
         {},
         {},
         "",
         true,
         false,
         true},
        {"No: closes unsaved",
         {"Lab 2", true, false, true, 0, 1, false},
         false,
         false,
         {mrNo},
         true,
         {save},
         {false},
         "",
         true},
        {"stored record asks about imported data",
         {"* Imported", false, false, true, 0, 1, false},
         false,
         false,
         {mrNo},
         true,
         {"Do you want to save the imported data from Imported?"},
         {false},
         "",
         true},
        {"nothing to ask",
         {"Lab 2", true, false, false, 0, 0, false},
         false,
         false,
         {},
         true,
         {},
         {},
         "",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TScriptedBoxes boxes;
        for (int32_t a : c.answers)
            boxes.Script.push_back({a});
        bool yesToAll = c.yesToAllStop, noToAll = c.noToAll;
        std::string calls;
        const bool closes = RecCloseQuery(
            boxes, c.state, {yesToAll, noToAll}, [&] { calls += 'S'; },
            [&] {
                calls += 'V';
                return c.saves;
            });
        EXPECT_EQ(closes, c.closes);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(yesToAll, c.yesToAllAfter);
        EXPECT_EQ(noToAll, c.noToAllAfter);
        ASSERT_EQ(boxes.Shown.size(), c.asked.size());
        for (std::size_t i = 0; i < c.asked.size(); ++i) {
            EXPECT_EQ(boxes.Shown[i].Msg, c.asked[i]);
            bool toAll = false;
            for (const TMsgDlgButton& b : boxes.Shown[i].Buttons)
                toAll = toAll || b.Kind == mbYesToAll || b.Kind == mbNoToAll;
            EXPECT_EQ(toAll, c.toAllOffered[i]);
        }
    }
}

TEST(RecCloseQuery, DefaultsAreCancelForStopAndYesForSave) {
    TScriptedBoxes boxes;
    bool yesToAll = false, noToAll = false;
    RecCloseQuery(
        boxes, {"Lab 2", true, true, true, 1, 1, false}, {yesToAll, noToAll}, [] {},
        [] { return true; });
    ASSERT_EQ(boxes.Shown.size(), 1u); // closed without a button: Cancel
    const TMsgDlgRequest& r = boxes.Shown[0];
    ASSERT_GE(r.DefaultButton, 0);
    EXPECT_EQ(r.Buttons[static_cast<std::size_t>(r.DefaultButton)].Kind, mbCancel);
    boxes.Script = {{mrNo}};
    RecCloseQuery(
        boxes, {"Lab 2", true, false, true, 0, 1, false}, {yesToAll, noToAll}, [] {},
        [] { return true; });
    const TMsgDlgRequest& s = boxes.Shown[1];
    EXPECT_EQ(s.Buttons[static_cast<std::size_t>(s.DefaultButton)].Kind, mbYes);
}

} // namespace

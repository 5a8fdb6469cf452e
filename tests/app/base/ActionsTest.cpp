#include "app/base/Actions_.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ShortCutToText, ModifiersInOrderThenTheKeyName) {
    struct Case {
        TShortCut shortCut;
        const char* text;
    } cases[] = {
        {{'O', false, true, false}, "Ctrl+O"},
        {{0x70, false, false, false}, "F1"},
        {{0x7B, true, false, false}, "Shift+F12"},
        {{'S', true, true, true}, "Shift+Ctrl+Alt+S"},
        {{0x2E, false, true, false}, "Ctrl+Del"},
        {{0x2D, false, false, false}, "Ins"},
        {{'5', false, false, true}, "Alt+5"},
        {{0x21, false, false, false}, "PgUp"},
        {{0, false, true, false}, ""},
        {{0xE5, false, true, false}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
    }
}

struct RecordingView : IActionView {
    std::vector<std::string> log;
    void ActionChanged(const TAction& A) override {
        log.push_back(std::to_string(A.Id) + ":" + A.Caption + (A.Enabled ? " on" : " off") +
                      (A.Checked ? " checked" : ""));
    }
};

class ActionListTest : public testing::Test {
protected:
    TActionList list;
    int runs = 0;

    void SetUp() override {
        list.Add({101, "&Open...", {'O', false, true, false}, true, false, [this] { ++runs; }});
        list.Add({102, "&Info...", {0x70, false, false, false}, true, false, {}});
    }
};

TEST_F(ActionListTest, ExecuteRunsOnlyEnabledActionsWithAHandler) {
    EXPECT_TRUE(list.Execute(101));
    EXPECT_EQ(runs, 1);
    list.SetEnabled(101, false);
    EXPECT_FALSE(list.Execute(101));
    EXPECT_FALSE(list.Execute(102));
    EXPECT_FALSE(list.Execute(999));
    EXPECT_EQ(runs, 1);
}

TEST_F(ActionListTest, ViewsLearnEveryActionOnAttachAndEachRealChange) {
    RecordingView view;
    list.Attach(view);
    EXPECT_EQ(view.log, (std::vector<std::string>{"101:&Open... on", "102:&Info... on"}));
    view.log.clear();

    list.SetEnabled(101, false);
    list.SetEnabled(101, false);
    list.SetChecked(102, true);
    list.SetCaption(102, "&About...");
    list.SetCaption(999, "x");
    list.Add({103, "E&xit", {}, true, false, {}});
    EXPECT_EQ(view.log, (std::vector<std::string>{"101:&Open... off", "102:&Info... on checked",
                                                  "102:&About... on checked", "103:E&xit on"}));

    list.Detach(view);
    list.SetEnabled(101, true);
    EXPECT_EQ(view.log.size(), 4u);
}

TEST_F(ActionListTest, AddingATakenIdReplacesTheAction) {
    list.Add({101, "&Open file", {}, false, false, [this] { runs += 10; }});
    EXPECT_EQ(list.Items().size(), 2u);
    EXPECT_EQ(list.Find(101)->Caption, "&Open file");
    EXPECT_FALSE(list.Execute(101));
}

TEST_F(ActionListTest, AHandlerMayReplaceItsOwnAction) {
    list.Add({104, "Once", {}, true, false, [this] {
                  ++runs;
                  list.Add({104, "Done", {}, false, false, {}});
              }});
    EXPECT_TRUE(list.Execute(104));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(list.Execute(104));
}

} // namespace

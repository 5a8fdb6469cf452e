#include "app/base/MsgDlg_.h"

#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Captions(const TMsgDlgRequest& R) {
    std::vector<std::string> out;
    for (const auto& b : R.Buttons)
        out.push_back(b.Caption);
    return out;
}

std::string DefaultName(const TMsgDlgRequest& R) {
    return R.DefaultButton < 0 ? "" : R.Buttons[static_cast<std::size_t>(R.DefaultButton)].Name;
}

TEST(MessageDialog, ButtonsInKindOrderWithTheirNamesCaptionsAndResults) {
    const TMsgDlgRequest r = CreateMessageDialog("m", mtCustom,
                                                 {mbHelp, mbYesToAll, mbNoToAll, mbAll, mbIgnore,
                                                  mbRetry, mbAbort, mbCancel, mbOK, mbNo, mbYes});
    const std::vector<TMsgDlgButton> expected = {
        {mbYes, "Yes", "&Yes", 6},
        {mbNo, "No", "&No", 7},
        {mbOK, "OK", "OK", 1},
        {mbCancel, "Cancel", "Cancel", 2},
        {mbAbort, "Abort", "&Abort", 3},
        {mbRetry, "Retry", "&Retry", 4},
        {mbIgnore, "Ignore", "&Ignore", 5},
        {mbAll, "All", "&All", 8},
        {mbNoToAll, "NoToAll", "N&o to All", 9},
        {mbYesToAll, "YesToAll", "Yes to &All", 10},
        {mbHelp, "Help", "&Help", mrNone},
    };
    EXPECT_EQ(r.Buttons, expected);
}

TEST(MessageDialog, CaptionFollowsTheType) {
    struct Case {
        TMsgDlgType type;
        const char* caption;
    } cases[] = {{mtWarning, "Warning"},
                 {mtError, "Error"},
                 {mtInformation, "Information"},
                 {mtConfirmation, "Confirm"},
                 {mtCustom, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(CreateMessageDialog("m", c.type, {mbOK}).Caption, c.caption);
    }
}

TEST(MessageDialog, ShowMsgDlgMakesTheNamedButtonDefaultOrNone) {
    struct Case {
        TMsgDlgButtons buttons;
        TMsgDlgBtn defaultButton;
        const char* expected;
    } cases[] = {
        {{mbYes, mbNo}, mbNo, "No"},
        {{mbYes, mbNo, mbCancel}, mbCancel, "Cancel"},
        {{mbOK, mbCancel}, mbCancel, "Cancel"},
        {{mbYes, mbNoToAll, mbYesToAll}, mbYesToAll, "YesToAll"},
        // A default that is not among the buttons leaves none default, not even OK.
        {{mbOK, mbCancel}, mbYes, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TScriptedBoxes boxes;
        ShowMsgDlg(boxes, "m", mtConfirmation, c.buttons, c.defaultButton, 0, poScreenCenter);
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(DefaultName(boxes.Shown[0]), c.expected);
        EXPECT_EQ(boxes.Shown[0].Position, poScreenCenter);
    }
}

TEST(MessageDialog, ResultIsTheAnswerAndCancelWhenClosedWithoutAButton) {
    TScriptedBoxes boxes;
    boxes.Script = {{mrNoToAll, false}};
    EXPECT_EQ(ShowMsgDlg(boxes, "m", mtWarning, {mbYes, mbNoToAll}, mbYes, 0, poOwnerFormCenter),
              mrNoToAll);
    EXPECT_EQ(ShowMsgDlg(boxes, "m", mtWarning, {mbYes, mbNo}, mbYes, 0, poOwnerFormCenter),
              mrCancel);
}

TEST(MessageDialog, ShorthandsBuildTheirDialogs) {
    struct Case {
        const char* what;
        int32_t (*show)(IMessageBoxes&);
        TMsgDlgType type;
        std::vector<std::string> captions;
        const char* defaultName;
        TDlgPosition position;
    } cases[] = {
        {"error box",
         [](IMessageBoxes& b) { return ShowErrorOrWarn(b, "m", false); },
         mtError,
         {"OK"},
         "OK",
         poOwnerFormCenter},
        {"warning question",
         [](IMessageBoxes& b) { return ShowErrorOrWarn(b, "m", true); },
         mtWarning,
         {"&Yes", "&No"},
         "Yes",
         poOwnerFormCenter},
        {"confirm",
         [](IMessageBoxes& b) {
             return ConfirmDlg(b, "m", {mbYes, mbNo, mbCancel}, mbCancel);
         },
         mtConfirmation,
         {"&Yes", "&No", "Cancel"},
         "Cancel",
         poOwnerFormCenter},
        {"screen centre",
         [](IMessageBoxes& b) {
             return MsgDlgScreenCenter(b, "m", mtInformation, {mbOK}, mbOK, 0);
         },
         mtInformation,
         {"OK"},
         "OK",
         poScreenCenter},
        {"ask yes",
         [](IMessageBoxes& b) { return int32_t{AskYesNo(b, "m", true)}; },
         mtConfirmation,
         {"&Yes", "&No"},
         "Yes",
         poScreenCenter},
        {"ask no",
         [](IMessageBoxes& b) { return int32_t{AskYesNo(b, "m", false)}; },
         mtConfirmation,
         {"&Yes", "&No"},
         "No",
         poScreenCenter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TScriptedBoxes boxes;
        c.show(boxes);
        ASSERT_EQ(boxes.Shown.size(), 1u);
        const TMsgDlgRequest& r = boxes.Shown[0];
        EXPECT_EQ(r.Msg, "m");
        EXPECT_EQ(r.DlgType, c.type);
        EXPECT_EQ(Captions(r), c.captions);
        EXPECT_EQ(DefaultName(r), c.defaultName);
        EXPECT_EQ(r.Position, c.position);
        EXPECT_EQ(r.HelpContext, 0);
        EXPECT_TRUE(r.CheckBox.empty());
    }
}

TEST(MessageDialog, AskYesNoIsTrueOnlyForYes) {
    for (int32_t answer : {mrYes, mrNo, mrCancel, mrOk, mrYesToAll}) {
        SCOPED_TRACE(answer);
        TScriptedBoxes boxes;
        boxes.Script = {{answer, false}};
        EXPECT_EQ(AskYesNo(boxes, "m", true), answer == mrYes);
    }
}

class ShowOnceTest : public testing::Test {
protected:
    const std::string key = "\\Software\\Meridane\\TessalyMC\\environment";
    TMemRegistry registry;
    TScriptedBoxes boxes;

    void Show() { ShowOnce(boxes, registry, "notice", mtWarning, key, "dontshowmeagain"); }
};

TEST_F(ShowOnceTest, ShowsAnInformationBoxWithTheCheckBoxOnTopInTheScreenCentre) {
    Show();
    ASSERT_EQ(boxes.Shown.size(), 1u);
    const TMsgDlgRequest& r = boxes.Shown[0];
    EXPECT_EQ(r.Caption, "Information");
    EXPECT_EQ(r.DlgType, mtWarning);
    EXPECT_EQ(r.Msg, "notice");
    EXPECT_EQ(Captions(r), std::vector<std::string>{"OK"});
    EXPECT_EQ(DefaultName(r), "OK");
    EXPECT_EQ(r.CheckBox, "Don't show this message again.");
    EXPECT_TRUE(r.StayOnTop);
    EXPECT_EQ(r.Position, poScreenCenter);
}

TEST_F(ShowOnceTest, TickedCheckBoxSilencesItUntilTheValueIsFalseAgain) {
    boxes.Script = {{mrOk, false}, {mrOk, true}};
    Show();
    EXPECT_EQ(registry.Get(key, "dontshowmeagain"), TRegValue::Dword(0));
    Show();
    EXPECT_EQ(registry.Get(key, "dontshowmeagain"), TRegValue::Dword(1));
    Show();
    Show();
    EXPECT_EQ(boxes.Shown.size(), 2u);

    registry.Put(key, "dontshowmeagain", TRegValue::Dword(0));
    Show();
    EXPECT_EQ(boxes.Shown.size(), 3u);
}

TEST(FatalErrorDeathTest, ShowsTheErrorBoxAndEndsWithExitCodeZero) {
    // The fake prints what it is shown: the parent sees it on the child's stderr.
    struct PrintingBoxes : IMessageBoxes {
        TMsgDlgAnswer ShowDialog(const TMsgDlgRequest& R) override {
            std::fprintf(stderr, "[%s|%s|%zu]", R.Caption.c_str(), R.Msg.c_str(), R.Buttons.size());
            return {mrOk, false};
        }
    };
    EXPECT_EXIT(
        {
            PrintingBoxes boxes;
            FatalError(boxes, "Error in TRecWin.AddSample. No block");
        },
        testing::ExitedWithCode(0),
        "\\[Error\\|\\*\\*\\* PROGRAM TERMINATED \\*\\*\\* \r\rFatal Error:\rError in "
        "TRecWin\\.AddSample\\. No block\\|1\\]");
}

} // namespace

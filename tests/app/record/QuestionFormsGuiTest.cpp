// The record window's small question forms under Wine + Xvfb.
#include "app/record/QuestionForms_win.h"
#include "tests/app/support/GuiHelpers_win.h"

#include <gtest/gtest.h>

namespace {

RECT InClient(HWND Form, HWND Control) {
    RECT r;
    GetWindowRect(Control, &r);
    MapWindowPoints(nullptr, Form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE Client(HWND Form) {
    RECT r;
    GetClientRect(Form, &r);
    return {r.right, r.bottom};
}

TEST(OverwriteAppendWin, ShortMessageKeepsTheDesignLongOneCentresAppend) {
    TOverwriteAppendWin win(nullptr);
    ASSERT_TRUE(win.Handle());
    EXPECT_EQ(WindowText(win.Handle()), "Tessaly MC");
    EXPECT_TRUE(GetWindowLongPtrA(win.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    win.SetMessage("Overwrite?");
    EXPECT_EQ(Client(win.Handle()).cx, 261);
    EXPECT_EQ(InClient(win.Handle(), win.ButtonOverwrite()).left, 11);
    EXPECT_EQ(InClient(win.Handle(), win.ButtonAppend()).left, 91);
    EXPECT_EQ(InClient(win.Handle(), win.ButtonCancel()).left, 173);
    const RECT label = InClient(win.Handle(), win.Label1());
    EXPECT_EQ(Client(win.Handle()).cy, 20 + (label.bottom - label.top) + 23 + 38);

    win.SetMessage("The window holds data of an earlier recording that has not been saved. "
                   "Overwrite them or append the new recording?");
    const SIZE wide = Client(win.Handle());
    const RECT long_label = InClient(win.Handle(), win.Label1());
    EXPECT_EQ(wide.cx, 62 + (long_label.right - long_label.left) + 11);
    const int append = InClient(win.Handle(), win.ButtonAppend()).left;
    EXPECT_EQ(append, wide.cx / 2 - 37);
    EXPECT_EQ(InClient(win.Handle(), win.ButtonOverwrite()).left, append - 81);
    EXPECT_EQ(InClient(win.Handle(), win.ButtonCancel()).left, append + 81);
    EXPECT_EQ(InClient(win.Handle(), win.ButtonAppend()).bottom, wide.cy - 11);
}

TEST(OverwriteAppendWin, AnswersByButtonAndEscape) {
    TOverwriteAppendWin win(nullptr);
    win.SetMessage("Overwrite or append?");
    struct Case {
        const char* what;
        bool appendEnabled;
        std::function<void(HWND)> act;
        int result;
    };
    const Case cases[] = {
        {"Overwrite", true, [](HWND W) { ClickButton(W, "&Overwrite"); }, mrYes},
        {"Append", true, [](HWND W) { ClickButton(W, "&Append"); }, mrNo},
        {"Cancel", true, [](HWND W) { ClickButton(W, "&Cancel"); }, mrCancel},
        {"Escape while recording", false, [](HWND W) { PressKey(W, VK_ESCAPE); }, mrCancel},
        {"Overwrite while recording", false, [](HWND W) { ClickButton(W, "&Overwrite"); }, mrYes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        win.SetAppendEnabled(c.appendEnabled);
        bool appendShownEnabled = false;
        TWindowActor actor("TOverwriteAppendWin", "Tessaly MC", [&](HWND W) {
            appendShownEnabled = IsWindowEnabled(FindChild(W, "Button", "&Append"));
            c.act(W);
        });
        EXPECT_EQ(win.ShowModal(), c.result);
        EXPECT_TRUE(actor.Join());
        EXPECT_EQ(appendShownEnabled, c.appendEnabled);
    }
}

TEST(InfoBox, ShowsWithoutBlockingAndLaysOutAgainForANewText) {
    TInfoBox box(nullptr);
    box.ShowInfo("Temporary data has been restored automatically!");
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(box.Handle())) << "ShowInfo returns with the box open";
    EXPECT_EQ(WindowText(box.Label1()), "Temporary data has been restored automatically!");
    const SIZE first = Client(box.Handle());
    const RECT label = InClient(box.Handle(), box.Label1());
    EXPECT_EQ(first.cx, std::max(97L, 62 + (label.right - label.left) + 11));
    EXPECT_EQ(InClient(box.Handle(), box.ButtonOK()).left, first.cx / 2 - 37);

    box.ShowInfo(
        "Cannot write into the temporary file in directory C:\\a rather long folder name\\!");
    PumpMessages();
    EXPECT_GT(Client(box.Handle()).cx, first.cx);
    EXPECT_EQ(InClient(box.Handle(), box.ButtonOK()).left, Client(box.Handle()).cx / 2 - 37);

    SendMessageA(box.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box.ButtonOK()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(box.ButtonOK()));
    EXPECT_FALSE(IsWindowVisible(box.Handle()));
}

} // namespace

// The Win32 message dialog under Wine: found by its class and caption and
// pressed from another thread, as a person would.
#include "app/base/Form_win.h"
#include "app/base/MsgDlg_win.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class TOwnerForm : public TForm {
public:
    TOwnerForm() {
        TFormArgs args;
        args.ClassName = "TOwnerForm";
        args.Caption = "Owner";
        args.ClientWidth = 500;
        args.ClientHeight = 360;
        CreateForm(args);
        SetWindowPos(Handle(), nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(Handle(), SW_SHOW);
    }
};

POINT Centre(HWND Wnd) {
    RECT r;
    GetWindowRect(Wnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class MessageDialogTest : public testing::Test {
protected:
    TOwnerForm owner;
    TWinMessageBoxes boxes;

    void SetUp() override { boxes.SetOwner(owner.Handle()); }
};

TEST_F(MessageDialogTest, PressedButtonGivesItsResult) {
    struct Case {
        TMsgDlgType type;
        TMsgDlgButtons buttons;
        const char* caption;
        const char* press;
        int32_t result;
    } cases[] = {
        {mtConfirmation, {mbYes, mbNo}, "Confirm", "&No", mrNo},
        {mtWarning, {mbYes, mbNo, mbCancel}, "Warning", "&Yes", mrYes},
        {mtError, {mbOK}, "Error", "OK", mrOk},
        {mtError, {mbAbort, mbRetry, mbIgnore}, "Error", "&Retry", mrRetry},
        {mtInformation, {mbAbort, mbIgnore}, "Information", "&Ignore", mrIgnore},
        {mtConfirmation, {mbYes, mbAll}, "Confirm", "&All", mrAll},
        {mtConfirmation, {mbYes, mbNoToAll, mbYesToAll}, "Confirm", "Yes to &All", mrYesToAll},
        {mtConfirmation, {mbYes, mbNoToAll, mbYesToAll}, "Confirm", "N&o to All", mrNoToAll},
        {mtWarning, {mbOK, mbCancel}, "Warning", "Cancel", mrCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press);
        bool pressed = false;
        TWindowActor actor(kMessageFormClass, c.caption,
                           [&](HWND W) { pressed = ClickButton(W, c.press); });
        EXPECT_EQ(
            ShowMsgDlg(boxes, "Save the record?", c.type, c.buttons, mbYes, 0, poOwnerFormCenter),
            c.result);
        EXPECT_TRUE(actor.Join());
        EXPECT_TRUE(pressed);
    }
}

TEST_F(MessageDialogTest, EnterPressesTheDefaultButtonWhichHasTheFocus) {
    struct Case {
        TMsgDlgBtn defaultButton;
        const char* caption;
        int32_t result;
    } cases[] = {{mbNo, "&No", mrNo}, {mbYes, "&Yes", mrYes}, {mbCancel, "Cancel", mrCancel}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        std::string focused;
        LONG_PTR style = 0;
        TWindowActor actor(kMessageFormClass, "Confirm", [&](HWND W) {
            // The dialog takes the focus right after it is shown, and hands it
            // to its default button.
            for (int i = 0; i < 200 && !IsChild(W, FocusOf(W)); ++i)
                Sleep(10);
            focused = WindowText(FocusOf(W));
            style = GetWindowLongPtrA(FindChild(W, "Button", c.caption), GWL_STYLE);
            PressKey(W, VK_RETURN);
        });
        EXPECT_EQ(ConfirmDlg(boxes, "Stop recording?", {mbYes, mbNo, mbCancel}, c.defaultButton),
                  c.result);
        EXPECT_TRUE(actor.Join());
        EXPECT_EQ(focused, c.caption);
        EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    }
}

TEST_F(MessageDialogTest, ClosedWithoutAButtonGivesCancel) {
    const std::function<void(HWND)> ways[] = {
        [](HWND W) { PostMessageA(W, WM_CLOSE, 0, 0); },
        [](HWND W) { PressKey(W, VK_ESCAPE); },
    };
    for (const auto& way : ways) {
        TWindowActor actor(kMessageFormClass, "Confirm", way);
        EXPECT_EQ(ConfirmDlg(boxes, "Stop recording?", {mbYes, mbNo}, mbYes), mrCancel);
        EXPECT_TRUE(actor.Join());
    }
}

TEST_F(MessageDialogTest, HelpButtonDoesNotCloseTheDialog) {
    bool stillShown = false;
    TWindowActor actor(kMessageFormClass, "Information", [&](HWND W) {
        ClickButton(W, "&Help");
        stillShown = IsWindowVisible(W) != FALSE;
        ClickButton(W, "OK");
    });
    EXPECT_EQ(ShowMsgDlg(boxes, "m", mtInformation, {mbOK, mbHelp}, mbOK, 0, poOwnerFormCenter),
              mrOk);
    EXPECT_TRUE(actor.Join());
    EXPECT_TRUE(stillShown);
}

TEST_F(MessageDialogTest, CentredOnTheOwnerWhichIsDisabledMeanwhileOrOnTheScreen) {
    POINT dialog{};
    bool ownerDisabled = false;
    std::string text;
    {
        TWindowActor actor(kMessageFormClass, "Error", [&](HWND W) {
            dialog = Centre(W);
            ownerDisabled = !IsWindowEnabled(owner.Handle());
            for (HWND c = FindChild(W, "Static", nullptr); c;
                 c = FindWindowExA(W, c, "Static", nullptr))
                if (!WindowText(c).empty())
                    text = WindowText(c);
            ClickButton(W, "OK");
        });
        EXPECT_EQ(ShowErrorOrWarn(boxes, "Cannot open document! C:\\x.zqr", false), mrOk);
        EXPECT_TRUE(actor.Join());
    }
    const POINT expected = Centre(owner.Handle());
    EXPECT_NEAR(dialog.x, expected.x, 1);
    EXPECT_NEAR(dialog.y, expected.y, 1);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(text, "Cannot open document! C:\\x.zqr");

    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    TWindowActor actor(kMessageFormClass, "Confirm", [&](HWND W) {
        dialog = Centre(W);
        ClickButton(W, "&Yes");
    });
    EXPECT_TRUE(AskYesNo(boxes, "Reload the changed record?", false));
    EXPECT_TRUE(actor.Join());
    EXPECT_NEAR(dialog.x, (area.left + area.right) / 2, 1);
    EXPECT_NEAR(dialog.y, (area.top + area.bottom) / 2, 1);
}

TEST_F(MessageDialogTest, ShowOnceCheckBoxBelowOKOnTopAndStoredUntilReset) {
    TMemRegistry registry;
    const std::string key = "\\Software\\Meridane\\TessalyMC\\environment";
    RECT ok{};
    RECT box{};
    RECT client{};
    LONG_PTR exStyle = 0;
    {
        TWindowActor actor(kMessageFormClass, "Information", [&](HWND W) {
            exStyle = GetWindowLongPtrA(W, GWL_EXSTYLE);
            const HWND check = FindChild(W, "Button", "Don't show this message again.");
            GetWindowRect(FindChild(W, "Button", "OK"), &ok);
            GetWindowRect(check, &box);
            GetClientRect(W, &client);
            MapWindowPoints(W, nullptr, reinterpret_cast<POINT*>(&client), 2);
            SendMessageA(check, BM_CLICK, 0, 0);
            ClickButton(W, "OK");
        });
        ShowOnce(boxes, registry, "The Windows DPI-Settings is not on \"Normal Size (96 dpi)\".",
                 mtInformation, key, "dontshowmeagain");
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
    EXPECT_EQ(box.left - client.left, 8);
    EXPECT_EQ(box.top - ok.bottom, 5);
    EXPECT_EQ(client.bottom - box.bottom, 5);
    EXPECT_EQ(registry.Get(key, "dontshowmeagain"), TRegValue::Dword(1));

    // Ticked: the next call shows nothing and returns at once.
    ShowOnce(boxes, registry, "m", mtInformation, key, "dontshowmeagain");
    EXPECT_FALSE(FindWindowA(kMessageFormClass, "Information"));
}

} // namespace

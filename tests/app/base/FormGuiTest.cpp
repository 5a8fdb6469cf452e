// The form base under Wine: the window procedure trampoline and its guard, the
// action table driving a menu and a tool bar, modal results, and the small
// controls TEditAlign and TGroupBoxEx.
#include "app/base/Actions_win.h"
#include "app/base/EditAlign_win.h"
#include "app/base/Form_win.h"
#include "app/base/GroupBoxEx_win.h"
#include "app/base/Guard_.h"
#include "tests/app/support/GuiHelpers_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT kPing = WM_APP + 1;  // answered with wParam + lParam
constexpr UINT kThrow = WM_APP + 2; // the handler throws

// A form that records what reaches it.
class TProbeForm : public TForm {
public:
    explicit TProbeForm(const char* Caption = "Probe", HMENU Menu = nullptr) {
        TFormArgs args;
        args.ClassName = "TProbeForm";
        args.Caption = Caption;
        args.ClientWidth = 400;
        args.ClientHeight = 300;
        args.Menu = Menu;
        CreateForm(args);
    }

    std::vector<UINT> messages;
    std::vector<int> commands;

protected:
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override {
        messages.push_back(Msg);
        if (Msg == kPing)
            return static_cast<LRESULT>(W + static_cast<WPARAM>(L));
        if (Msg == kThrow)
            throw std::runtime_error("Error in TProbeForm.OnMessage. thrown");
        return TForm::OnMessage(Msg, W, L);
    }
    bool OnCommand(int Id, int, HWND) override {
        commands.push_back(Id);
        return true;
    }
};

class ReporterScope {
public:
    ReporterScope() {
        FPrevious = SetExceptionReporter([this](const std::string& W) { reported.push_back(W); });
    }
    ~ReporterScope() { SetExceptionReporter(FPrevious); }
    std::vector<std::string> reported;

private:
    TExceptionReporter FPrevious;
};

TEST(Trampoline, BindsTheObjectAtNcCreateAndForwardsEveryMessage) {
    TProbeForm a;
    TProbeForm b;
    ASSERT_TRUE(a.Handle());
    EXPECT_EQ(GetWindowLongPtrA(a.Handle(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&a));
    EXPECT_EQ(GetWindowLongPtrA(b.Handle(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&b));
    ASSERT_FALSE(a.messages.empty());
    EXPECT_EQ(a.messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_NE(std::find(a.messages.begin(), a.messages.end(), static_cast<UINT>(WM_CREATE)),
              a.messages.end());

    a.messages.clear();
    b.messages.clear();
    EXPECT_EQ(SendMessageA(a.Handle(), kPing, 40, 2), 42);
    EXPECT_EQ(a.messages, std::vector<UINT>{kPing});
    EXPECT_TRUE(b.messages.empty());

    const HWND wnd = a.Handle();
    DestroyWindow(wnd);
    EXPECT_EQ(a.Handle(), nullptr);
    EXPECT_EQ(a.messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(wnd));
}

TEST(Trampoline, NoExceptionLeavesTheWindowProcedure) {
    ReporterScope reporter;
    TProbeForm form;
    EXPECT_EQ(SendMessageA(form.Handle(), kThrow, 0, 0), 0);
    EXPECT_EQ(reporter.reported, std::vector<std::string>{"Error in TProbeForm.OnMessage. thrown"});
    EXPECT_EQ(SendMessageA(form.Handle(), kPing, 1, 2), 3);
}

TEST(Trampoline, AnActionHandlerThatThrowsIsReportedToo) {
    ReporterScope reporter;
    TProbeForm form;
    form.Actions().Add({300, "Fail", {}, true, false, [] { throw std::runtime_error("no node"); }});
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(300, 0), 0);
    EXPECT_EQ(reporter.reported, std::vector<std::string>{"no node"});
}

// A form with a File menu and a tool bar, both linked to its actions.
class ActionFormTest : public testing::Test {
protected:
    static constexpr int kOpen = 201;
    static constexpr int kInfo = 202;

    HMENU menu = CreateMenu();
    HMENU file = CreatePopupMenu();
    TProbeForm form{"Actions",
                    (AppendMenuA(file, MF_STRING, kOpen, "x"),
                     AppendMenuA(file, MF_STRING, kInfo, "y"),
                     AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File"), menu)};
    HWND toolBar = nullptr;
    int opened = 0;
    int infos = 0;

    void SetUp() override {
        InitCommonControlsOnce();
        form.Actions().Add(
            {kOpen, "&Open...", {'O', false, true, false}, true, false, [this] { ++opened; }});
        form.Actions().Add(
            {kInfo, "&Info...", {VK_F1, false, false, false}, true, false, [this] { ++infos; }});
        toolBar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                  WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_TOP, 0, 0, 0, 0,
                                  form.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON buttons[2] = {};
        const char* texts[2] = {"Open", "Info"};
        for (int i = 0; i < 2; ++i) {
            buttons[i].iBitmap = I_IMAGENONE;
            buttons[i].idCommand = i == 0 ? kOpen : kInfo;
            buttons[i].fsState = TBSTATE_ENABLED;
            buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
            buttons[i].iString = reinterpret_cast<INT_PTR>(texts[i]);
        }
        SendMessageA(toolBar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
        SendMessageA(toolBar, TB_AUTOSIZE, 0, 0);
        ShowWindow(form.Handle(), SW_SHOW);
        links.LinkMenu(menu);
        links.LinkToolBar(toolBar);
    }

    TActionLinks links{form.Actions()};

    std::string MenuText(int Id) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(Id), text, sizeof text, MF_BYCOMMAND);
        return text;
    }
    UINT MenuState(int Id) { return GetMenuState(menu, static_cast<UINT>(Id), MF_BYCOMMAND); }
    bool ButtonEnabled(int Id) {
        return SendMessageA(toolBar, TB_ISBUTTONENABLED, static_cast<WPARAM>(Id), 0) != 0;
    }
    bool ButtonChecked(int Id) {
        return SendMessageA(toolBar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(Id), 0) != 0;
    }
    // A click of the mouse on the tool button, as the tool bar receives it.
    void ClickToolButton(int Index) {
        RECT r;
        SendMessageA(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(Index),
                     reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(toolBar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(toolBar, WM_LBUTTONUP, 0, at);
        PumpMessages();
    }
};

TEST_F(ActionFormTest, MenuItemsAndToolButtonsShowTheActions) {
    EXPECT_EQ(MenuText(kOpen), "&Open...\tCtrl+O");
    EXPECT_EQ(MenuText(kInfo), "&Info...\tF1");
    EXPECT_EQ(MenuState(kOpen) & (MF_GRAYED | MF_CHECKED), 0u);
    EXPECT_TRUE(ButtonEnabled(kOpen));
    EXPECT_FALSE(ButtonChecked(kInfo));

    form.Actions().SetEnabled(kOpen, false);
    form.Actions().SetChecked(kInfo, true);
    form.Actions().SetCaption(kInfo, "&About...");
    EXPECT_NE(MenuState(kOpen) & MF_GRAYED, 0u);
    EXPECT_FALSE(ButtonEnabled(kOpen));
    EXPECT_NE(MenuState(kInfo) & MF_CHECKED, 0u);
    EXPECT_TRUE(ButtonChecked(kInfo));
    EXPECT_EQ(MenuText(kInfo), "&About...\tF1");

    form.Actions().SetEnabled(kOpen, true);
    form.Actions().SetChecked(kInfo, false);
    EXPECT_EQ(MenuState(kOpen) & MF_GRAYED, 0u);
    EXPECT_TRUE(ButtonEnabled(kOpen));
    EXPECT_EQ(MenuState(kInfo) & MF_CHECKED, 0u);
    EXPECT_FALSE(ButtonChecked(kInfo));
}

TEST_F(ActionFormTest, MenuCommandsToolButtonsAndShortcutsExecuteEnabledActions) {
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(kOpen, 0), 0);
    EXPECT_EQ(opened, 1);
    ClickToolButton(0);
    EXPECT_EQ(opened, 2);

    const TAccelTable accelerators = CreateActionAccelerators(form.Actions());
    ASSERT_TRUE(accelerators);
    MSG key{form.Handle(), WM_KEYDOWN, VK_F1, 0x003B0001, 0, {0, 0}};
    EXPECT_TRUE(TranslateAcceleratorA(form.Handle(), accelerators.Get(), &key));
    EXPECT_EQ(infos, 1);

    form.Actions().SetEnabled(kOpen, false);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(kOpen, 0), 0);
    ClickToolButton(0);
    EXPECT_EQ(opened, 2);
    // Action commands never reach the form's own command handler.
    EXPECT_TRUE(form.commands.empty());
}

// A modal form with two buttons that set its result.
class TQuestionForm : public TForm {
public:
    explicit TQuestionForm(HWND Owner) {
        TFormArgs args;
        args.ClassName = "TQuestionForm";
        args.Caption = "Question";
        args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        args.ClientWidth = 200;
        args.ClientHeight = 60;
        args.Parent = Owner;
        CreateForm(args);
        AddButton(100, "&Retry", 10, 20, 75, 25, mrRetry);
        AddButton(101, "&Ignore", 100, 20, 75, 25, mrIgnore);
        SetDefaultButton(101);
    }
};

TEST(ModalForm, ReturnsTheButtonsResultWithTheOwnerDisabledMeanwhile) {
    TProbeForm owner;
    ShowWindow(owner.Handle(), SW_SHOW);
    TQuestionForm question(owner.Handle());
    struct Case {
        std::function<void(HWND)> act;
        int result;
    } cases[] = {
        {[](HWND W) { ClickButton(W, "&Retry"); }, mrRetry},
        {[](HWND W) { PressKey(W, VK_RETURN); }, mrIgnore},
        {[](HWND W) { PostMessageA(W, WM_CLOSE, 0, 0); }, mrCancel},
        {[](HWND W) { PressKey(W, VK_ESCAPE); }, mrCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        bool ownerDisabled = false;
        TWindowActor actor("TQuestionForm", "Question", [&](HWND W) {
            ownerDisabled = !IsWindowEnabled(owner.Handle());
            c.act(W);
        });
        EXPECT_EQ(question.ShowModal(), c.result);
        EXPECT_TRUE(actor.Join());
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
        EXPECT_FALSE(IsWindowVisible(question.Handle()));
    }
}

TEST(EditAlign, NewAlignmentRecreatesTheFieldKeepingTextPlaceAndStyles) {
    TProbeForm form;
    TEditAlign before(form.Handle(), 110, 10, 10, 100, 21);
    TEditAlign edit(form.Handle(), 111, 10, 40, 120, 21, WS_TABSTOP | ES_READONLY);
    TEditAlign after(form.Handle(), 112, 10, 70, 100, 21);
    SetWindowTextA(edit.Handle(), "0.7512");
    EXPECT_EQ(GetWindowLongPtrA(edit.Handle(), GWL_STYLE) & (ES_RIGHT | ES_CENTER), ES_LEFT);

    struct Case {
        TAlignment alignment;
        LONG_PTR style;
    } cases[] = {{taRightJustify, ES_RIGHT}, {taCenter, ES_CENTER}, {taLeftJustify, ES_LEFT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alignment);
        const HWND old = edit.Handle();
        edit.SetAlignment(c.alignment);
        const HWND now = edit.Handle();
        EXPECT_NE(now, old);
        EXPECT_FALSE(IsWindow(old));
        EXPECT_EQ(edit.Alignment(), c.alignment);
        const LONG_PTR style = GetWindowLongPtrA(now, GWL_STYLE);
        EXPECT_EQ(style & (ES_RIGHT | ES_CENTER), c.style);
        EXPECT_NE(style & ES_READONLY, 0);
        EXPECT_EQ(WindowText(now), "0.7512");
        EXPECT_EQ(GetDlgCtrlID(now), 111);
        RECT r;
        GetWindowRect(now, &r);
        MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 40);
        EXPECT_EQ(r.right - r.left, 120);
        EXPECT_EQ(GetWindow(before.Handle(), GW_HWNDNEXT), now);
        EXPECT_EQ(GetWindow(now, GW_HWNDNEXT), after.Handle());
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(now, WM_GETFONT, 0, 0)), FormFont());
    }
    const HWND same = edit.Handle();
    edit.SetAlignment(taLeftJustify);
    EXPECT_EQ(edit.Handle(), same);
}

TEST(GroupBoxEx, ReportsEnterAndLeaveOnceEachAndPassesNotificationsOn) {
    TProbeForm form;
    TGroupBoxEx box(form.Handle(), 120, "Humidity", 10, 10, 200, 100);
    std::vector<std::string> events;
    box.OnMouseEnter = [&](TGroupBoxEx& S) { events.push_back(&S == &box ? "enter" : "?"); };
    box.OnMouseLeave = [&](TGroupBoxEx& S) { events.push_back(&S == &box ? "leave" : "?"); };

    SendMessageA(box.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(box.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    PumpMessages();
    SendMessageA(box.Handle(), WM_MOUSELEAVE, 0, 0);
    PumpMessages();
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_NE(FindChild(box.Handle(), "Button", "Humidity"), nullptr);

    const HWND inside =
        CreateWindowExA(0, "BUTTON", "Color", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 20, 60, 25,
                        box.Handle(), reinterpret_cast<HMENU>(121), nullptr, nullptr);
    SendMessageA(inside, BM_CLICK, 0, 0);
    EXPECT_EQ(form.commands, std::vector<int>{121});
}

} // namespace

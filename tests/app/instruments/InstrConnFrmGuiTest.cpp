// The connect dialog "Select COM" under Wine: what it lists, how it sizes itself,
// and the port it returns.
#include "app/instruments/InstrConnFrm_win.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/GuiHelpers_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Shows the dialog with Action run on it from a thread of its own, as a person
// would. A dialog that does not show up within 5 s is ended by a quit message,
// so the test fails instead of waiting for ever.
int RunDialog(TInstrConnFrm& Dialog, const std::function<void(HWND)>& Action, bool& Acted) {
    const DWORD testThread = GetCurrentThreadId();
    std::atomic<bool> acted{false};
    std::thread actor([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < until) {
            const HWND wnd = FindWindowA("TInstrConnFrm", "Select COM");
            if (wnd && IsWindowVisible(wnd)) {
                Action(wnd);
                acted = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        PostThreadMessageA(testThread, WM_QUIT, 0, 0);
    });
    const int result = Dialog.Execute();
    actor.join();
    Acted = acted;
    if (!Acted) {
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    return result;
}

std::vector<std::string> ComboItems(HWND Combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(Combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(Combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

RECT ClientRectOf(HWND Wnd, HWND Parent) {
    RECT r;
    GetWindowRect(Wnd, &r);
    MapWindowPoints(nullptr, Parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int TextWidth(HWND Control, const std::string& Text) {
    const HDC dc = GetDC(Control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(Control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, Text.c_str(), static_cast<int>(Text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Control, dc);
    return size.cx;
}

// The width of a combo box's text, without its borders and button.
int TextAreaWidth(HWND Combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(Combo, &info);
    return info.rcItem.right - info.rcItem.left;
}

// A control lies centred when its gaps to both client edges differ by at most a pixel.
void ExpectCentred(HWND Control, HWND Dialog) {
    RECT client;
    GetClientRect(Dialog, &client);
    const RECT r = ClientRectOf(Control, Dialog);
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(std::abs(r.left - (client.right - r.right)), 1)
        << WindowText(Control) << ": " << r.left << ".." << r.right << " of " << client.right;
}

class InstrConnFrmGuiTest : public testing::Test {
protected:
    void SetUp() override {
        api.ComInfoText = "COM10\tUSB Serial Port\tFTDIBUS\tUSB Serial Port (COM10)\r\n"
                          "COM2\tCommunications Port\tACPI\tCommunications Port (COM2)\r\n"
                          "COM3\tCommunications Port\tACPI\tCommunications Port (COM3)\r\n"
                          "COM1\tCommunications Port\tACPI\tCommunications Port (COM1)";
        api.HeldPorts = {3};
    }

    TFakeLinkApi api;
};

TEST_F(InstrConnFrmGuiTest, ListsTheFreePortsAndReturnsTheSelectedOne) {
    TInstrConnFrm dialog(nullptr, api);
    std::vector<std::string> shown;
    std::string selected;
    bool acted = false;
    const int result = RunDialog(
        dialog,
        [&](HWND W) {
            shown = ComboItems(dialog.ComboBox1());
            selected = WindowText(dialog.ComboBox1());
            SendMessageA(dialog.ComboBox1(), CB_SETCURSEL, 2, 0);
            ClickButton(W, "Open");
        },
        acted);
    ASSERT_TRUE(acted);
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(shown,
              (std::vector<std::string>{"COM1 Communications Port", "COM2 Communications Port",
                                        "COM10 USB Serial Port"}));
    EXPECT_EQ(selected, "COM1 Communications Port") << "the first item is selected";
    EXPECT_EQ(dialog.GetSelectedPort(), 10);
    EXPECT_EQ(WindowText(dialog.Label1()),
              "The data format of the connected instrument must be \"QuorxCom\"");
}

TEST_F(InstrConnFrmGuiTest, EnterOpensTheFirstPortEscCancels) {
    TInstrConnFrm dialog(nullptr, api);
    struct Case {
        WPARAM key;
        int result;
    } cases[] = {{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        bool acted = false;
        EXPECT_EQ(RunDialog(
                      dialog, [&](HWND W) { PressKey(W, c.key); }, acted),
                  c.result);
        EXPECT_TRUE(acted);
        EXPECT_EQ(dialog.GetSelectedPort(), 1);
    }
}

TEST_F(InstrConnFrmGuiTest, SizesItselfToTheLabelAndTheWidestPort) {
    TInstrConnFrm dialog(nullptr, api);
    bool acted = false;
    RunDialog(
        dialog, [](HWND W) { PressKey(W, VK_ESCAPE); }, acted);
    ASSERT_TRUE(acted);
    const HWND wnd = dialog.Handle();
    EXPECT_EQ(WindowText(wnd), "Select COM");
    RECT client;
    GetClientRect(wnd, &client);
    const int label = TextWidth(dialog.Label1(), WindowText(dialog.Label1()));
    EXPECT_EQ(client.right, label + 16);
    EXPECT_EQ(TextAreaWidth(dialog.ComboBox1()),
              TextWidth(dialog.ComboBox1(), "COM1 Communications Port") + 20);
    for (const HWND control : {dialog.Label1(), dialog.ComboBox1(), dialog.BitBtn1()})
        ExpectCentred(control, wnd);
    // Cancel lies outside the client area: only Esc reaches it.
    const RECT cancel = ClientRectOf(dialog.Button1(), wnd);
    EXPECT_GE(cancel.top, client.bottom);
    EXPECT_EQ(GetWindowLongPtrA(dialog.Button1(), GWL_STYLE) & WS_TABSTOP, 0);
}

// The list is as wide as its widest port; a description wider than the label
// widens the dialog instead of cutting the list off at both sides.
TEST_F(InstrConnFrmGuiTest, AWidePortWidensTheDialog) {
    const std::string wide =
        "COM4 Prolific USB-to-Serial Comm Port with a very long vendor description text";
    api.ComInfoText += "\r\nCOM4\t" + wide.substr(5);
    TInstrConnFrm dialog(nullptr, api);
    bool acted = false;
    RunDialog(
        dialog, [](HWND W) { PressKey(W, VK_ESCAPE); }, acted);
    ASSERT_TRUE(acted);
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(TextAreaWidth(dialog.ComboBox1()), TextWidth(dialog.ComboBox1(), wide) + 20);
    const RECT combo = ClientRectOf(dialog.ComboBox1(), dialog.Handle());
    EXPECT_EQ(client.right, combo.right - combo.left + 16);
    ExpectCentred(dialog.ComboBox1(), dialog.Handle());
    ExpectCentred(dialog.Label1(), dialog.Handle());

    // Shown again without it, the dialog is as narrow as at first.
    api.ComInfoText = "COM1\tCommunications Port";
    RunDialog(
        dialog, [](HWND W) { PressKey(W, VK_ESCAPE); }, acted);
    ASSERT_TRUE(acted);
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, TextWidth(dialog.Label1(), WindowText(dialog.Label1())) + 16);
}

TEST_F(InstrConnFrmGuiTest, WithoutFreePortsNothingIsSelected) {
    api.HeldPorts = {1, 2, 3, 10};
    TInstrConnFrm dialog(nullptr, api);
    int count = -1;
    bool acted = false;
    EXPECT_EQ(RunDialog(
                  dialog,
                  [&](HWND W) {
                      count = static_cast<int>(SendMessageA(dialog.ComboBox1(), CB_GETCOUNT, 0, 0));
                      ClickButton(W, "Open");
                  },
                  acted),
              mrOk);
    ASSERT_TRUE(acted);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(dialog.GetSelectedPort(), 0);
}

} // namespace

// The instrument controller inside a window under Wine: its actions, the
// connect dialog driven as a person would, the two timers and the device-change
// scan, on the scripted libraries; the packed file age and the closing of USB
// handles on the platform.
#include "app/instruments/MainLinks_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/LinkCtlFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A plain top-level window that passes its messages to the controller, as the
// main window does.
class TOwnerWindow {
public:
    TOwnerWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TMainLinksTestOwner";
        RegisterClassA(&wc);
        FWnd = CreateWindowA(wc.lpszClassName, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                             300, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~TOwnerWindow() { DestroyWindow(FWnd); }
    HWND Handle() const { return FWnd; }
    static TMainLinks* links;

private:
    static LRESULT CALLBACK Proc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
        const LRESULT result = DefWindowProcA(Wnd, Msg, W, L);
        if (links && links->OnMessage(Msg, W))
            return 0;
        return result;
    }
    HWND FWnd = nullptr;
};

TMainLinks* TOwnerWindow::links = nullptr;

class MainLinksTest : public testing::Test {
protected:
    MainLinksTest() {
        CreateRootNode(tree, "PC", "user");
        links = std::make_unique<TMainLinks>(owner.Handle(), tree, boxes, registry, api, actions,
                                             [this](const std::string& F) { loaded.push_back(F); });
        TOwnerWindow::links = links.get();
        links->SetConnectForm(connFrm);
    }
    ~MainLinksTest() override {
        TOwnerWindow::links = nullptr;
        PumpMessages();
    }
    void Connect() {
        api.Instrument(3) = MakeInstrument("ZEPHORA", 12345);
        api.OpenLink(3);
        ASSERT_EQ(links->Ctl().Connection.InitComm(3), 0);
    }
    TTreeNode* Instrument() { return links->Ctl().Live.FindInstrument(2); }

    TFakeLinkApi api;
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TTreeModel tree;
    TActionList actions;
    std::vector<std::string> loaded;
    TOwnerWindow owner;
    TInstrConnFrm connFrm{owner.Handle(), api};
    std::unique_ptr<TMainLinks> links;
};

TEST_F(MainLinksTest, AddsConnectDisconnectAndRefreshWithTheirShortCuts) {
    const struct {
        int id;
        const char* caption;
        const char* shortCut;
    } rows[] = {
        {TMainLinks::kAcOpenCom, "&Connect...", "Ctrl+Ins"},
        {TMainLinks::kAcCloseCom, "&Disconnect", "Ctrl+Del"},
        {TMainLinks::kAcRefresh, "Re&fresh", "F5"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        const TAction* action = actions.Find(row.id);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->Caption, row.caption);
        EXPECT_EQ(ShortCutToText(action->ShortCut), row.shortCut);
    }
}

TEST_F(MainLinksTest, ConnectOpensThePortChosenInTheDialog) {
    api.ComInfoText = "COM3\tCommunications Port\tACPI\tCOM3\r\nCOM7\tUSB Serial\tFTDI\tCOM7";
    api.Instrument(3) = MakeInstrument("KIVANTER", 4242);
    TWindowActor actor("TInstrConnFrm", "Select COM",
                       [](HWND Dialog) { ClickButton(Dialog, "Open"); });
    actions.Execute(TMainLinks::kAcOpenCom);
    ASSERT_TRUE(actor.Join());
    EXPECT_EQ(api.CallsOf("OpenComEx"),
              std::vector<std::string>{"OpenComEx(3, 100, 5001, 19200, 128790, 0)"});
    ASSERT_EQ(tree.Root()->Count(), 1);
    EXPECT_EQ(tree.Root()->Item(0)->Text(), "COM3 0004242");
}

TEST_F(MainLinksTest, TimerMessagesRunTheWatchdogAndADeviceChangeScans) {
    Connect();
    for (int i = 0; i < kSilentTicks; ++i)
        SendMessageA(owner.Handle(), WM_TIMER, TMainLinks::kTimerCom, 0);
    EXPECT_EQ(Instrument()->ImageIndex(), imSerialInstrumentLost);

    api.Calls.clear();
    SendMessageA(owner.Handle(), WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
    EXPECT_EQ(api.CallsOf("GetDevicePathList").size(), 1u);
}

TEST_F(MainLinksTest, TheTimersRunOnceStarted) {
    Connect();
    links->StartTimers();
    const ULONGLONG until = GetTickCount64() + 5000;
    while (InstrumentData(Instrument())->SilenceCount == 0 && GetTickCount64() < until) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpMessages();
    }
    EXPECT_GE(InstrumentData(Instrument())->SilenceCount, 1);
}

TEST_F(MainLinksTest, RefreshReenablesItsAction) {
    Connect();
    actions.Execute(TMainLinks::kAcRefresh);
    EXPECT_TRUE(actions.Find(TMainLinks::kAcRefresh)->Enabled);
    EXPECT_EQ(api.CallsOf("GetMeasAll").size(), 2u) << "InitComm's and the refresh's";
}

// --- The platform

class TTempDir {
public:
    TTempDir() {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        FName = std::string(dir) + "MainLinksTest\\";
        CreateDirectoryA(FName.c_str(), nullptr);
    }
    ~TTempDir() {
        DeleteFileA(File().c_str());
        RemoveDirectoryA(FName.c_str());
    }
    const std::string& Name() const { return FName; }
    std::string File() const { return FName + "r.zqr"; }

private:
    std::string FName;
};

TEST(PackedFileAge, IsTheLocalModificationTimeAsDateAndTimeWords) {
    TTempDir dir;
    const HANDLE file = CreateFileA(dir.File().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SYSTEMTIME local{2024, 5, 0, 10, 12, 34, 56, 0};
    FILETIME localTime;
    FILETIME utc;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);

    const uint32_t date = (2024 - 1980) << 9 | 5 << 5 | 10;
    const uint32_t time = 12 << 11 | 34 << 5 | 56 / 2;
    EXPECT_EQ(static_cast<uint32_t>(PackedFileAge(dir.File())), date << 16 | time);
    EXPECT_EQ(PackedFileAge(dir.Name() + "missing.zqr"), -1);
    EXPECT_EQ(PackedFileAge(dir.Name()), -1) << "a folder has no file age";
}

TEST(WinUsbHandles, ClosesTheDeviceHandleAndPassesOverNone) {
    TTempDir dir;
    const HANDLE file = CreateFileA(dir.File().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    TWinUsbHandles handles;
    handles.CloseUsbHandles(file, INVALID_HANDLE_VALUE);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(file, &flags));
    handles.CloseUsbHandles(nullptr, nullptr);
    handles.CloseUsbHandles(INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE);
}

} // namespace

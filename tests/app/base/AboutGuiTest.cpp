// The about box and the import progress window under Wine.
#include "app/base/About_.h"
#include "app/base/About_win.h"
#include "app/base/Progress_win.h"
#include "tests/app/support/GuiHelpers_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

std::string ProgramFile() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(AboutBox, ShowsTheProgramTextAndTheVersionsOfTheGivenFiles) {
    const std::string self = ProgramFile();
    TAboutBox box(nullptr, {"app_version_probe.dll", "NoSuchLibrary.dll", self});
    EXPECT_EQ(WindowText(box.Handle()), "Info");
    EXPECT_EQ(WindowText(box.Memo1()), AboutProgramText());
    EXPECT_EQ(WindowText(box.Memo2()),
              "app_version_probe.dll: 3.4.5.6\r\nNoSuchLibrary.dll: \r\n" + self + ": ");
    RECT r;
    GetWindowRect(box.Handle(), &r);
    EXPECT_GE(r.right - r.left, 441);
    EXPECT_LE(r.right - r.left, 449);
    EXPECT_GE(r.bottom - r.top, 331);
    EXPECT_LE(r.bottom - r.top, 332);
}

TEST(AboutBox, ByDefaultListsBothLibraries) {
    TAboutBox box(nullptr);
    // Both libraries lie beside the test program, as beside the application.
    EXPECT_EQ(WindowText(box.Memo2()),
              "QuorxComDll.dll: " QUORX_LIB_VERSION "\r\nProflink.dll: " QUORX_LIB_VERSION);
}

TEST(AboutBox, ShowsTheReceiveQueueAndClosesWithOKByButtonEnterAndEsc) {
    TAboutBox box(nullptr, {"app_version_probe.dll"});
    struct Case {
        int32_t rxQueue;
        const char* line;
        std::function<void(HWND)> close;
    } cases[] = {
        {0, "RxQueue: 0", [](HWND W) { ClickButton(W, "OK"); }},
        {128790, "RxQueue: 128790", [](HWND W) { PressKey(W, VK_RETURN); }},
        {5, "RxQueue: 5", [](HWND W) { PressKey(W, VK_ESCAPE); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string shown;
        TWindowActor actor("TAboutBox", "Info", [&](HWND W) {
            shown = WindowText(box.Memo4());
            c.close(W);
        });
        EXPECT_EQ(box.Execute(c.rxQueue), mrOk);
        EXPECT_TRUE(actor.Join());
        EXPECT_EQ(shown, c.line);
        EXPECT_EQ(WindowText(box.Memo4()), c.line);
    }
}

// An MDI frame for the progress window.
class TFrame : public TForm {
public:
    TFrame() {
        TFormArgs args;
        args.ClassName = "TTestFrame";
        args.Caption = "Frame";
        args.FormStyle = TFormStyle::MDIForm;
        args.ClientWidth = 800;
        args.ClientHeight = 600;
        CreateForm(args);
        ShowWindow(Handle(), SW_SHOW);
    }
};

SIZE OuterSize(HWND Wnd) {
    RECT r;
    GetWindowRect(Wnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

TEST(ProgressForm, AnMDIChildThatFollowsTheImportAndFreesItselfWhenClosed) {
    TFrame frame;
    ASSERT_TRUE(frame.MDIClient());
    TProgressForm* progress = TProgressForm::Create(frame.MDIClient());
    ASSERT_NE(progress, nullptr);
    const HWND wnd = progress->Handle();
    EXPECT_EQ(GetParent(wnd), frame.MDIClient());
    EXPECT_EQ(WindowText(wnd), "Import progress");
    EXPECT_EQ(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(OuterSize(wnd).cx, 249);
    EXPECT_GE(OuterSize(wnd).cy, 83);

    progress->SetMax(500);
    progress->SetPosition(123);
    progress->Show();
    EXPECT_EQ(SendMessageA(progress->ProgressBar1(), PBM_GETPOS, 0, 0), 123);
    EXPECT_EQ(SendMessageA(progress->ProgressBar1(), PBM_GETRANGE, FALSE, 0), 500);
    progress->SetPosition(499);
    EXPECT_EQ(SendMessageA(progress->ProgressBar1(), PBM_GETPOS, 0, 0), 499);

    PostMessageA(wnd, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(GetWindow(frame.MDIClient(), GW_CHILD), nullptr);
}

TEST(ProgressForm, LongFileNamesWidenTheWindowShortOnesKeepItsMinimum) {
    TFrame frame;
    TProgressForm* progress = TProgressForm::Create(frame.MDIClient());
    ASSERT_NE(progress, nullptr);

    EXPECT_FALSE(progress->ShowFileName("C:\\data\\A1LOG.txt"));
    EXPECT_EQ(WindowText(progress->Label1()), "A1LOG.txt");
    EXPECT_EQ(OuterSize(progress->Handle()).cx, 249);

    const std::string name = "Sample_with_a_rather_long_name_from_the_night_run_2024LOG.txt";
    EXPECT_TRUE(progress->ShowFileName("C:\\data\\" + name));
    EXPECT_EQ(WindowText(progress->Label1()), name);
    RECT label;
    GetWindowRect(progress->Label1(), &label);
    RECT client;
    GetClientRect(progress->Handle(), &client);
    EXPECT_EQ(client.right, (label.right - label.left) + 16);
    RECT bar;
    GetWindowRect(progress->ProgressBar1(), &bar);
    EXPECT_EQ(bar.right - bar.left, client.right - 16);

    EXPECT_FALSE(progress->ShowFileName("B.txt"));
    EXPECT_EQ(OuterSize(progress->Handle()).cx, 249);
    progress->Close();
    EXPECT_EQ(GetWindow(frame.MDIClient(), GW_CHILD), nullptr);
}

} // namespace

// The overview window under Wine: opened with F2 from the tree in the main
// window, one frame per present chamber that follows the measurements fed
// through the instrument's IOverviewWindow (as the event handler and the
// watchdog do), the fixed client width, the information button, and closing.
#include "app/main/InfoWin_win.h"
#include "app/main/MainForm_win.h"
#include "app/overview/OvVWin_win.h"
#include "app/settings/PreferencesValues_.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr uint16_t kIdle = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;
constexpr uint16_t Progress(int P) {
    return static_cast<uint16_t>(P << 8);
}

// Width and height of Wnd's client area.
using TSize = std::pair<int, int>;
TSize ClientSizeOf(HWND Wnd) {
    RECT r;
    GetClientRect(Wnd, &r);
    return {r.right, r.bottom};
}

// Wnd's bounds in its parent's client coordinates.
RECT BoundsOf(HWND Wnd) {
    RECT r;
    GetWindowRect(Wnd, &r);
    MapWindowPoints(nullptr, GetParent(Wnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Another document window.
class TDocument : public TForm {
public:
    explicit TDocument(HWND Client) {
        TFormArgs args;
        args.ClassName = "TTestDocument";
        args.Caption = "Document";
        args.FormStyle = TFormStyle::MDIChild;
        args.Style = WS_CHILD | WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        args.ClientWidth = 200;
        args.ClientHeight = 100;
        args.Parent = Client;
        CreateForm(args);
    }
};

class OvVWinTest : public testing::Test {
protected:
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TFakeLinkApi api;
    std::unique_ptr<TMainForm> form;
    TTreeNode* instrument = nullptr;

    void SetUp() override { Open(false); }
    void TearDown() override {
        // The windows go while the tree they show still exists.
        if (form && form->Handle())
            DestroyWindow(form->Handle());
        PumpMessages(); // and the main window's WM_QUIT
    }

    void Open(bool ExtendedMode) {
        registry.Put(kRegEnvironment, kQuorModeValue, TRegValue::Dword(ExtendedMode));
        form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
        form->SetShowOverview(OverviewCommand(*form));
        ShowWindow(form->Handle(), SW_SHOW);
        TInstrumentData d;
        d.Kind = nkSerialInstrument;
        d.InterfaceIndex = 2;
        SetFieldText(d.DevId, "ZEPHORA");
        d.Units = {0, 0, 0};
        instrument = Tree().AddChild(Tree().Root(), "COM3 0012345", d);
    }
    TTreeModel& Tree() { return form->Tree(); }

    TTreeNode* AddChamber(int N) {
        TChamberData d;
        d.Kind = N == 0 ? nkZephoraChamber0 : nkZephoraChamber;
        d.Chamber = N;
        d.Stab = {7412, 2498, 3600};
        return Tree().AddChild(instrument, "Chamber " + std::to_string(N) + " - 0012345", d);
    }
    // A chamber's live values as a measurement event leaves them in the tree.
    void Measure(TTreeNode* Chamber, int16_t Humidity, uint16_t Status, uint32_t Elapsed = 754) {
        ChamberData(Chamber)->Live.Meas = {Humidity, 2500, 0, Elapsed, Status};
    }
    // What the event handler and the watchdog do next.
    void Refresh() {
        if (IOverviewWindow* w = InstrumentData(instrument)->OverviewWindow)
            w->UpdateOverview();
        PumpMessages();
    }

    // F2, as the message loop translates it.
    void PressF2() {
        MSG msg{form->TreeView1(), WM_KEYDOWN, VK_F2, 1, 0, {}};
        ASSERT_TRUE(form->TranslateShortCut(msg));
        PumpMessages();
    }
    TMDIChildOvV* Overview() {
        return static_cast<TMDIChildOvV*>(InstrumentData(instrument)->OverviewWindow);
    }
    TMDIChildOvV* OpenOverview() {
        Tree().Select(instrument);
        PressF2();
        return Overview();
    }
    std::vector<HWND> FrameWindows(HWND Overview) {
        std::vector<HWND> frames;
        for (HWND w = FindWindowExA(Overview, nullptr, "TOvVFrame", nullptr); w;
             w = FindWindowExA(Overview, w, "TOvVFrame", nullptr))
            frames.push_back(w);
        return frames;
    }
    static std::string Text(TOvVFrame* Frame, TOvVControl Control) {
        return WindowText(Frame->Item(Control));
    }
    static bool Visible(TOvVFrame* Frame, TOvVControl Control) {
        return IsWindowVisible(Frame->Item(Control));
    }
};

TEST_F(OvVWinTest, F2OpensOneOverviewPerInstrumentWaitingForData) {
    TTreeNode* chamber = AddChamber(3);
    TMDIChildOvV* ovv = OpenOverview();
    ASSERT_NE(ovv, nullptr);
    const HWND wnd = ovv->Handle();
    EXPECT_EQ(FindWindowExA(form->MDIClient(), nullptr, "TMDIChildOvV", "COM3 - Overview"), wnd);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(ClientSizeOf(wnd), (TSize{585, 33}));
    EXPECT_EQ(WindowText(ovv->Label1()), "Waiting for data from COM3...");
    EXPECT_TRUE(IsWindowVisible(ovv->Label1()));
    EXPECT_FALSE(IsWindowVisible(ovv->Label2()));
    EXPECT_FALSE(IsWindowVisible(ovv->Label3()));
    // The only document: Close All is off.
    EXPECT_FALSE(form->Actions().Find(TMainForm::kAcCloseAll)->Enabled);

    // Again, from one of its chambers: the same window, in its normal state.
    ShowWindow(wnd, SW_MINIMIZE);
    Tree().Select(chamber);
    PressF2();
    EXPECT_EQ(Overview(), ovv);
    EXPECT_FALSE(IsIconic(wnd));
    EXPECT_EQ(FindWindowExA(form->MDIClient(), wnd, "TMDIChildOvV", nullptr), nullptr);

    // Brought back in front of another document, it selects its instrument.
    TDocument other(form->MDIClient());
    ASSERT_NE(GetWindow(form->MDIClient(), GW_CHILD), wnd);
    Tree().Select(chamber);
    ovv->Show();
    EXPECT_EQ(GetWindow(form->MDIClient(), GW_CHILD), wnd);
    EXPECT_EQ(Tree().Selected(), instrument);
}

TEST_F(OvVWinTest, FramesAppearAndFollowTheMeasurements) {
    TTreeNode* c0 = AddChamber(0);
    TTreeNode* c3 = AddChamber(3);
    TTreeNode* c5 = AddChamber(5);
    TMDIChildOvV* ovv = OpenOverview();
    ASSERT_NE(ovv, nullptr);
    const HWND wnd = ovv->Handle();
    using C = TOvVControl;

    Measure(c0, 7531, kIdle);
    Measure(c3, 7531, kIdle | csAnalysing | Progress(20));
    Measure(c5, 7531, kIdle | csStable | Progress(63));
    Refresh();
    ASSERT_EQ(FrameWindows(wnd).size(), 3u);
    EXPECT_EQ(ClientSizeOf(wnd), (TSize{585, 33 + 3 * 59}));
    EXPECT_FALSE(IsWindowVisible(ovv->Label1()));
    EXPECT_TRUE(IsWindowVisible(ovv->Label2()));
    EXPECT_TRUE(IsWindowVisible(ovv->Label3()));
    const int tops[] = {33, 92, 151};
    const int chambers[] = {0, 3, 5};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(chambers[i]);
        TOvVFrame* f = ovv->Frame(chambers[i]);
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE(IsWindowVisible(f->Handle()));
        EXPECT_EQ(BoundsOf(f->Handle()).top, tops[i]);
        EXPECT_EQ(BoundsOf(f->Handle()).left, 0);
        EXPECT_EQ(ClientSizeOf(f->Handle()), (TSize{578, 55}));
        EXPECT_EQ(WindowText(f->Handle()), "Chamber " + std::to_string(chambers[i]) + " - 0012345");
        EXPECT_EQ(Text(f, C::EditAlignActHum), "0.753");
        EXPECT_EQ(Text(f, C::EditAlignActTemp), "25.0");
        EXPECT_EQ(Text(f, C::LabelActH), "aw:");
        EXPECT_EQ(GetWindowLongPtrA(f->Item(C::EditAlignActHum), GWL_STYLE) &
                      (ES_READONLY | ES_RIGHT),
                  ES_READONLY | ES_RIGHT);
    }
    // Idle: no time, no progress, no stable values.
    TOvVFrame* f0 = ovv->Frame(0);
    EXPECT_EQ(Text(f0, C::EditAlignActTime), "");
    EXPECT_FALSE(Visible(f0, C::StableIndicator));
    EXPECT_FALSE(Visible(f0, C::EditAlignStbHum));
    EXPECT_EQ(f0->Brush(C::ShapeAnalyzing), kClBtnFace);
    // Analysing with progress 20.
    TOvVFrame* f3 = ovv->Frame(3);
    EXPECT_EQ(f3->Brush(C::ShapeAnalyzing), kAnalysingLampColor);
    EXPECT_EQ(f3->Brush(C::ShapeStable), kClBtnFace);
    EXPECT_EQ(Text(f3, C::EditAlignActTime), "00:12:34");
    EXPECT_TRUE(Visible(f3, C::StableIndicator));
    EXPECT_TRUE(IsWindowVisible(f3->LabelStableInd()));
    EXPECT_EQ(SendMessageA(f3->Item(C::StableIndicator), PBM_GETPOS, 0, 0), 20);
    EXPECT_FALSE(Visible(f3, C::EditAlignStbHum));
    // Stable: green lamp, silver box with the stable values.
    TOvVFrame* f5 = ovv->Frame(5);
    EXPECT_EQ(f5->Brush(C::ShapeStable), kStableLampColor);
    EXPECT_EQ(f5->Brush(C::ShapeStableVal), kClSilver);
    EXPECT_EQ(f5->Pen(C::ShapeStableVal), kClBlack);
    EXPECT_FALSE(Visible(f5, C::StableIndicator));
    EXPECT_FALSE(IsWindowVisible(f5->LabelStableInd()));
    EXPECT_TRUE(Visible(f5, C::EditAlignStbHum));
    EXPECT_EQ(Text(f5, C::EditAlignStbHum), "0.741");
    EXPECT_EQ(Text(f5, C::EditAlignStbTemp), "25.0");
    EXPECT_EQ(Text(f5, C::EditAlignStbTime), "01:00:00");
    // The lamp as painted.
    UpdateWindow(f5->Handle());
    {
        TWindowDC dc(f5->Handle());
        EXPECT_EQ(GetPixel(dc.Get(), 14, 41), RGB(0, 255, 0));
    }

    // The next measurement: the values follow, the frames stay.
    const HWND edit = f0->Item(C::EditAlignActHum);
    Measure(c0, 7600, kIdle | csAnalysing | Progress(5), 755);
    Measure(c3, 7531, kIdle | csStable | Progress(63));
    Refresh();
    EXPECT_EQ(ovv->Frame(0), f0);
    EXPECT_EQ(f0->Item(C::EditAlignActHum), edit);
    EXPECT_EQ(Text(f0, C::EditAlignActHum), "0.760");
    EXPECT_EQ(Text(f0, C::EditAlignActTime), "00:12:35");
    EXPECT_EQ(SendMessageA(f0->Item(C::StableIndicator), PBM_GETPOS, 0, 0), 5);
    EXPECT_TRUE(Visible(f3, C::EditAlignStbHum));
    EXPECT_FALSE(Visible(f3, C::StableIndicator));

    // Chamber 3 leaves: its frame goes, chamber 5 moves up, the window shrinks.
    Tree().Delete(c3);
    Refresh();
    EXPECT_EQ(FrameWindows(wnd).size(), 2u);
    EXPECT_EQ(ovv->Frame(3), nullptr);
    EXPECT_EQ(BoundsOf(ovv->Frame(5)->Handle()).top, 92);
    EXPECT_EQ(ClientSizeOf(wnd).second, 33 + 2 * 59);

    // The watchdog: every chamber reads absent.
    ChamberData(c0)->Live = {};
    ChamberData(c5)->Live = {};
    Refresh();
    EXPECT_TRUE(FrameWindows(wnd).empty());
    EXPECT_EQ(ClientSizeOf(wnd), (TSize{585, 33}));
    EXPECT_EQ(WindowText(ovv->Label1()), "No data from any chamber on COM3!");
    EXPECT_TRUE(IsWindowVisible(ovv->Label1()));
    EXPECT_FALSE(IsWindowVisible(ovv->Label2()));
}

TEST_F(OvVWinTest, TheWidthSnapsBackTo585) {
    TTreeNode* c1 = AddChamber(1);
    TMDIChildOvV* ovv = OpenOverview();
    ASSERT_NE(ovv, nullptr);
    const HWND wnd = ovv->Handle();
    Measure(c1, 7531, kIdle);
    Refresh();
    RECT before;
    GetWindowRect(wnd, &before);
    const int width = before.right - before.left;
    const int height = before.bottom - before.top;

    struct Case {
        const char* name;
        int width;
        int height;
    } cases[] = {
        {"wider", width + 120, height},
        {"narrower", width - 200, height},
        {"taller than its frames", width, height + 100},
        {"lower", width + 50, height - 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MoveWindow(wnd, 10, 10, c.width, c.height, TRUE);
        PumpMessages();
        const TSize client = ClientSizeOf(wnd);
        EXPECT_EQ(client.first, 585);
        EXPECT_LE(client.second, 33 + 59);
        MoveWindow(wnd, 10, 10, width, height, TRUE);
    }

    // A thinner border widens the client area: the window takes back 585.
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    SetWindowLongPtrA(wnd, GWL_STYLE, (style & ~LONG_PTR{WS_THICKFRAME}) | WS_BORDER);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    PumpMessages();
    EXPECT_EQ(ClientSizeOf(wnd).first, 585);
    MoveWindow(wnd, 10, 10, width + 120, height, TRUE);
    EXPECT_EQ(ClientSizeOf(wnd).first, 585);
}

TEST_F(OvVWinTest, FramesThatComeWhileMinimisedAreThereWhenRestored) {
    TTreeNode* c2 = AddChamber(2);
    TTreeNode* c4 = AddChamber(4);
    TMDIChildOvV* ovv = OpenOverview();
    ASSERT_NE(ovv, nullptr);
    const HWND wnd = ovv->Handle();
    ShowWindow(wnd, SW_MINIMIZE);
    PumpMessages();
    RECT icon;
    GetWindowRect(wnd, &icon);
    // An icon, not held at the window's width.
    EXPECT_LT(icon.right - icon.left, 585);
    Measure(c2, 7531, kIdle);
    Measure(c4, 7531, kIdle);
    Refresh();
    // The icon keeps its size.
    RECT now;
    GetWindowRect(wnd, &now);
    EXPECT_EQ(now.right - now.left, icon.right - icon.left);
    EXPECT_TRUE(IsIconic(wnd));
    ovv->Show();
    PumpMessages();
    EXPECT_FALSE(IsIconic(wnd));
    EXPECT_EQ(ClientSizeOf(wnd), (TSize{585, 33 + 2 * 59}));
}

TEST_F(OvVWinTest, TheExtendedDisplayModeWidensTheEdits) {
    TearDown();
    Open(true);
    TTreeNode* c1 = AddChamber(1);
    TMDIChildOvV* ovv = OpenOverview();
    ASSERT_NE(ovv, nullptr);
    Measure(c1, 7531, kIdle | csStable);
    Refresh();
    TOvVFrame* f = ovv->Frame(1);
    ASSERT_NE(f, nullptr);
    using C = TOvVControl;
    struct Case {
        C edit;
        C unit;
        int width;
    } cases[] = {
        {C::EditAlignActHum, C::LabelActHum, 57},
        {C::EditAlignActTemp, C::LabelActTemp, 34},
        {C::EditAlignStbHum, C::LabelStbHum, 57},
        {C::EditAlignStbTemp, C::LabelStbTemp, 34},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.edit));
        const RECT edit = BoundsOf(f->Item(c.edit));
        EXPECT_EQ(edit.right - edit.left, c.width);
        EXPECT_EQ(BoundsOf(f->Item(c.unit)).left, edit.left + c.width);
    }
    EXPECT_EQ(Text(f, C::EditAlignActHum), "0.7531");
    EXPECT_EQ(Text(f, C::EditAlignActTemp), "25.00");
}

TEST_F(OvVWinTest, TheInfoButtonShowsItsChamber) {
    TInfoWin info(form->Handle(), Tree(), form->TreeView1());
    form->SetInfoWin(&info);
    TTreeNode* c3 = AddChamber(3);
    TTreeNode* c5 = AddChamber(5);
    TMDIChildOvV* ovv = OpenOverview();
    ASSERT_NE(ovv, nullptr);
    Measure(c3, 7531, kIdle);
    Measure(c5, 7531, kIdle);
    Refresh();
    std::string chamber;
    TWindowActor actor("TInfoWin", "Chamber Info", [&](HWND W) {
        chamber = WindowText(info.LabeledEditChamber());
        ClickButton(W, "&Cancel");
    });
    SendMessageA(ovv->Frame(3)->SpeedButton1(), BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_TRUE(actor.Join());
    EXPECT_EQ(chamber, "3");
    EXPECT_EQ(info.Ctl().Node(), c3);
    form->SetInfoWin(nullptr);
}

TEST_F(OvVWinTest, ClosedByTheUserOrWithItsInstrument) {
    AddChamber(1);
    // The user closes it: the record lets go, F2 opens a new one.
    TMDIChildOvV* ovv = OpenOverview();
    ASSERT_NE(ovv, nullptr);
    HWND wnd = ovv->Handle();
    SendMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(InstrumentData(instrument)->OverviewWindow, nullptr);
    ovv = OpenOverview();
    ASSERT_NE(ovv, nullptr);
    wnd = ovv->Handle();
    EXPECT_TRUE(IsWindow(wnd));

    // Disconnecting closes it through the record, then deletes the node.
    InstrumentData(instrument)->OverviewWindow->Close();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(InstrumentData(instrument)->OverviewWindow, nullptr);
    Tree().Delete(instrument);
    PumpMessages();
    EXPECT_EQ(FindWindowExA(form->MDIClient(), nullptr, "TMDIChildOvV", nullptr), nullptr);
}

} // namespace

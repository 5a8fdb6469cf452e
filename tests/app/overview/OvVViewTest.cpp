// The overview's logic on a small tree (the computer, an instrument on COM3 and
// its chambers) against a view that records what it is told: frames per present
// chamber in tree order, the window's height and texts, lamps, values, stable
// values or progress, the widths of the extended display mode, and that an
// update sets only what changed.
#include "app/overview/OvVView_.h"
#include "app/tree/TreeNodes_.h"

#include "tests/app/support/FakeRecordWindow.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr uint16_t kIdle = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;
constexpr uint16_t Progress(int32_t P) {
    return static_cast<uint16_t>(P << 8);
}

const char* const kControlNames[] = {
    "GroupBox1",        "ShapeAnalyzing", "ShapeStable",      "LabelActH",
    "EditAlignActHum",  "LabelActHum",    "EditAlignActTemp", "LabelActTemp",
    "EditAlignActTime", "LabelStbH",      "EditAlignStbHum",  "LabelStbHum",
    "EditAlignStbTemp", "LabelStbTemp",   "EditAlignStbTime", "ShapeStableVal",
    "StableIndicator",
};

std::string Name(TOvVControl Control) {
    return kControlNames[static_cast<int>(Control)];
}

// What one frame shows, as the view was told.
struct TShownFrame {
    int32_t top = -1;
    std::map<TOvVControl, std::string> texts;
    std::map<TOvVControl, int32_t> widths;
    std::map<TOvVControl, std::pair<uint32_t, uint32_t>> colors;
    int32_t progress = 0;
    bool progressVisible = false;
    bool stableVisible = false;
};

class TRecordingView : public IOvVView {
public:
    std::vector<std::string> calls;
    std::map<int32_t, TShownFrame> frames;
    int32_t clientHeight = kOvVTitleHeight;
    std::string label1;
    bool label1Visible = true;

    void CreateFrame(int32_t Chamber, const TOvVFrameState& State) override {
        calls.push_back("CreateFrame " + std::to_string(Chamber));
        TShownFrame& f = frames[Chamber] = TShownFrame{};
        const auto column = [&f](const TOvVValues& V, TOvVControl HumName, TOvVControl Hum,
                                 TOvVControl HumUnit, TOvVControl Temp, TOvVControl TempUnit,
                                 TOvVControl Time) {
            f.texts[HumName] = V.HumName;
            f.texts[Hum] = V.Hum;
            f.texts[HumUnit] = V.HumUnit;
            f.texts[Temp] = V.Temp;
            f.texts[TempUnit] = V.TempUnit;
            f.texts[Time] = V.Time;
            f.widths[Hum] = V.HumWidth;
            f.widths[Temp] = V.TempWidth;
        };
        using C = TOvVControl;
        f.texts[C::GroupBox1] = State.Caption;
        column(State.Actual, C::LabelActH, C::EditAlignActHum, C::LabelActHum, C::EditAlignActTemp,
               C::LabelActTemp, C::EditAlignActTime);
        column(State.StableValues, C::LabelStbH, C::EditAlignStbHum, C::LabelStbHum,
               C::EditAlignStbTemp, C::LabelStbTemp, C::EditAlignStbTime);
        f.colors[C::ShapeAnalyzing] = {State.AnalysingLamp, kClBlack};
        f.colors[C::ShapeStable] = {State.StableLamp, kClBlack};
        f.colors[C::ShapeStableVal] = {State.StableBox, State.StableBoxPen};
        f.progress = State.Progress;
        f.progressVisible = State.ProgressVisible();
        f.stableVisible = State.Stable;
    }
    void FreeFrame(int32_t Chamber) override {
        calls.push_back("FreeFrame " + std::to_string(Chamber));
        frames.erase(Chamber);
    }
    void PlaceFrame(int32_t Chamber, int32_t Top) override {
        calls.push_back("PlaceFrame " + std::to_string(Chamber) + " " + std::to_string(Top));
        frames.at(Chamber).top = Top;
    }
    void SetClientHeight(int32_t Height) override {
        calls.push_back("SetClientHeight " + std::to_string(Height));
        clientHeight = Height;
    }
    void SetLabel1(const std::string& Text) override {
        calls.push_back("SetLabel1 " + Text);
        label1 = Text;
    }
    void SetLabel1Visible(bool Visible) override {
        calls.push_back("SetLabel1Visible " + std::to_string(Visible));
        label1Visible = Visible;
    }
    void SetText(int32_t Chamber, TOvVControl Control, const std::string& Text) override {
        calls.push_back("SetText " + std::to_string(Chamber) + " " + Name(Control) + " " + Text);
        frames.at(Chamber).texts[Control] = Text;
    }
    void SetWidth(int32_t Chamber, TOvVControl Edit, int32_t Width) override {
        calls.push_back("SetWidth " + std::to_string(Chamber) + " " + Name(Edit) + " " +
                        std::to_string(Width));
        frames.at(Chamber).widths[Edit] = Width;
    }
    void SetColor(int32_t Chamber, TOvVControl Shape, uint32_t Brush, uint32_t Pen) override {
        calls.push_back("SetColor " + std::to_string(Chamber) + " " + Name(Shape));
        frames.at(Chamber).colors[Shape] = {Brush, Pen};
    }
    void SetProgress(int32_t Chamber, int32_t Position) override {
        calls.push_back("SetProgress " + std::to_string(Chamber) + " " + std::to_string(Position));
        frames.at(Chamber).progress = Position;
    }
    void SetProgressVisible(int32_t Chamber, bool Visible) override {
        calls.push_back("SetProgressVisible " + std::to_string(Chamber) + " " +
                        std::to_string(Visible));
        frames.at(Chamber).progressVisible = Visible;
    }
    void SetStableValuesVisible(int32_t Chamber, bool Visible) override {
        calls.push_back("SetStableValuesVisible " + std::to_string(Chamber) + " " +
                        std::to_string(Visible));
        frames.at(Chamber).stableVisible = Visible;
    }

    std::set<int32_t> FrameSet() const {
        std::set<int32_t> s;
        for (const auto& [chamber, frame] : frames)
            s.insert(chamber);
        return s;
    }
    std::string Text(int32_t Chamber, TOvVControl Control) const {
        return frames.at(Chamber).texts.at(Control);
    }
};

class TOverview : public IOverviewWindow {
public:
    int shown = 0;
    void Show() override { ++shown; }
    void Close() override {}
    void UpdateOverview() override {}
};

class OvVTest : public testing::Test {
protected:
    TTreeModel tree;
    TTreeNode* root = CreateRootNode(tree, "LAB-PC", "anna");
    TTreeNode* instrument = tree.AddChild(root, "COM3 0012345", Instrument());
    TRecordingView view;
    TOvVCtl ctl{view, tree, *instrument, "COM3", false};

    static TInstrumentData Instrument() {
        TInstrumentData d;
        d.InterfaceIndex = 2;
        d.DevId[0] = 'Z';
        d.Units = {0, 0, 0}; // aw, degrees C
        return d;
    }
    TTreeNode* AddChamber(int32_t N, uint16_t Status) {
        TChamberData d;
        d.Kind = N == 0 ? nkZephoraChamber0 : nkZephoraChamber;
        d.Chamber = N;
        d.Live.Meas = {7531, 2500, 0, 754, Status};
        d.Stab = {7412, 2498, 3600};
        return tree.AddChild(instrument, "Chamber " + std::to_string(N) + " - 0012345", d);
    }
    static void SetStatus(TTreeNode* Chamber, uint16_t Status) {
        ChamberData(Chamber)->Live.Meas.Status = Status;
    }
    // The calls of the next update only.
    std::vector<std::string> Update() {
        view.calls.clear();
        ctl.UpdateOverview();
        return view.calls;
    }
};

TEST_F(OvVTest, WaitsForDataUntilAChamberIsPresent) {
    EXPECT_EQ(ctl.Caption(), "COM3 - Overview");
    EXPECT_EQ(ctl.Label1(), "Waiting for data from COM3...");
    // An absent chamber kept by its record window adds no frame: nothing changes.
    TFakeRecordWindow window;
    ChamberData(AddChamber(2, 0))->RecordWindow = &window;
    EXPECT_TRUE(Update().empty());
    EXPECT_EQ(ctl.Label1(), "Waiting for data from COM3...");
}

TEST_F(OvVTest, PresentChambersGetFramesStackedInChamberOrder) {
    AddChamber(5, kIdle);
    AddChamber(0, kIdle);
    TFakeRecordWindow window;
    ChamberData(AddChamber(7, 0))->RecordWindow = &window; // absent
    AddChamber(3, kIdle);
    Update();
    EXPECT_EQ(view.FrameSet(), (std::set<int32_t>{0, 3, 5}));
    EXPECT_EQ(view.frames[0].top, 33);
    EXPECT_EQ(view.frames[3].top, 33 + 59);
    EXPECT_EQ(view.frames[5].top, 33 + 2 * 59);
    EXPECT_EQ(view.clientHeight, 33 + 3 * 59);
    EXPECT_EQ(view.label1, "No data from any chamber on COM3!");
    EXPECT_FALSE(view.label1Visible);
    EXPECT_EQ(view.Text(3, TOvVControl::GroupBox1), "Chamber 3 - 0012345");
    EXPECT_FALSE(ctl.HasFrame(7));
}

TEST_F(OvVTest, AChamberThatLeavesGivesUpItsFrameAndTheOthersMoveUp) {
    struct Case {
        const char* name;
        bool deleteNode; // else absent, kept by its record window
    } cases[] = {{"absent", false}, {"node deleted", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTreeModel t;
        TTreeNode* inst = t.AddChild(nullptr, "COM3 0012345", Instrument());
        TRecordingView v;
        TOvVCtl overview{v, t, *inst, "COM3", false};
        TTreeNode* chambers[3];
        for (int i = 0; i < 3; ++i) {
            TChamberData d;
            d.Kind = nkZephoraChamber;
            d.Chamber = i * 2 + 1; // 1, 3, 5
            d.Live.Meas.Status = kIdle;
            chambers[i] = t.AddChild(inst, "Chamber " + std::to_string(d.Chamber), d);
        }
        overview.UpdateOverview();
        if (c.deleteNode)
            t.Delete(chambers[1]);
        else
            SetStatus(chambers[1], 0);
        v.calls.clear();
        overview.UpdateOverview();
        EXPECT_EQ(v.FrameSet(), (std::set<int32_t>{1, 5}));
        EXPECT_EQ(v.frames[5].top, 33 + 59);
        EXPECT_EQ(v.clientHeight, 33 + 2 * 59);
        // Frame 1 stays where it is; the texts are not set again.
        EXPECT_EQ(v.calls, (std::vector<std::string>{"FreeFrame 3", "PlaceFrame 5 92",
                                                     "SetClientHeight 151"}));
    }
}

TEST_F(OvVTest, NoChamberLeftShowsNoDataAndHidesTheTitles) {
    TTreeNode* a = AddChamber(0, kIdle);
    TTreeNode* b = AddChamber(4, kIdle);
    TFakeRecordWindow window;
    ChamberData(b)->RecordWindow = &window;
    Update();
    ASSERT_FALSE(view.label1Visible);
    // The watchdog: chambers without a window are deleted, the others read absent.
    tree.Delete(a);
    ChamberData(b)->Live = {};
    Update();
    EXPECT_TRUE(view.frames.empty());
    EXPECT_EQ(view.clientHeight, 33);
    EXPECT_TRUE(view.label1Visible);
    EXPECT_EQ(view.label1, "No data from any chamber on COM3!");
    EXPECT_EQ(ctl.Label1(), "No data from any chamber on COM3!");
}

TEST_F(OvVTest, LampsValuesAndProgressFollowTheStatus) {
    struct Case {
        const char* name;
        uint16_t status;
        uint32_t analysing;
        uint32_t stableLamp;
        std::string time;
        std::string hum;
        bool stable;
        int32_t progress;
        bool progressVisible;
    } cases[] = {
        {"idle", kIdle, kClBtnFace, kClBtnFace, "", "0.753", false, 0, false},
        {"analysing with progress 20", kIdle | csAnalysing | Progress(20), kAnalysingLampColor,
         kClBtnFace, "00:12:34", "0.753", false, 20, true},
        {"analysing, no progress yet", kIdle | csAnalysing, kAnalysingLampColor, kClBtnFace,
         "00:12:34", "0.753", false, 0, false},
        {"stable", kIdle | csStable | Progress(63), kClBtnFace, kStableLampColor, "00:12:34",
         "0.753", true, 0, false},
        {"analysing and stable", kIdle | csAnalysing | csStable | Progress(63), kAnalysingLampColor,
         kStableLampColor, "00:12:34", "0.753", true, 0, false},
        {"progress bits while idle", kIdle | Progress(20), kClBtnFace, kClBtnFace, "", "0.753",
         false, 0, false},
        {"sensor off", csPresent, kClBtnFace, kClBtnFace, "", "off", false, 0, false},
    };
    using C = TOvVControl;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTreeModel t;
        TTreeNode* inst = t.AddChild(nullptr, "COM3 0012345", Instrument());
        TChamberData d;
        d.Kind = nkZephoraChamber;
        d.Chamber = 2;
        d.Live.Meas = {7531, 2500, 0, 754, c.status};
        d.Stab = {7412, 2498, 3600};
        t.AddChild(inst, "Chamber 2", d);
        TRecordingView v;
        TOvVCtl overview{v, t, *inst, "COM3", false};
        overview.UpdateOverview();
        const TShownFrame& f = v.frames.at(2);
        EXPECT_EQ(f.colors.at(C::ShapeAnalyzing).first, c.analysing);
        EXPECT_EQ(f.colors.at(C::ShapeStable).first, c.stableLamp);
        EXPECT_EQ(f.texts.at(C::EditAlignActTime), c.time);
        EXPECT_EQ(f.texts.at(C::EditAlignActHum), c.hum);
        EXPECT_EQ(f.texts.at(C::LabelActH), "aw:");
        EXPECT_EQ(f.stableVisible, c.stable);
        EXPECT_EQ(f.progressVisible, c.progressVisible);
        if (c.progressVisible) {
            EXPECT_EQ(f.progress, c.progress);
        }
        const std::pair<uint32_t, uint32_t> box =
            c.stable ? std::pair{kClSilver, kClBlack} : std::pair{kClBtnFace, kClSilver};
        EXPECT_EQ(f.colors.at(C::ShapeStableVal), box);
        if (c.stable) {
            EXPECT_EQ(f.texts.at(C::EditAlignStbHum), "0.741");
            EXPECT_EQ(f.texts.at(C::EditAlignStbTemp), "25.0");
            EXPECT_EQ(f.texts.at(C::EditAlignStbTime), "01:00:00");
            EXPECT_EQ(f.texts.at(C::LabelStbH), "aw:");
            EXPECT_EQ(f.texts.at(C::LabelStbTemp), "\xB0\x43");
        }
    }
}

TEST_F(OvVTest, StableValuesAndProgressTakeTurns) {
    TTreeNode* chamber = AddChamber(1, kIdle | csAnalysing | Progress(20));
    Update();
    SetStatus(chamber, kIdle | csStable | Progress(63));
    EXPECT_EQ(Update(), (std::vector<std::string>{
                            "SetColor 1 ShapeAnalyzing", "SetColor 1 ShapeStable",
                            "SetText 1 LabelStbH aw:", "SetText 1 EditAlignStbHum 0.741",
                            "SetText 1 LabelStbHum  ", "SetText 1 EditAlignStbTemp 25.0",
                            "SetText 1 LabelStbTemp \xB0\x43",
                            "SetText 1 EditAlignStbTime 01:00:00", "SetColor 1 ShapeStableVal",
                            "SetProgressVisible 1 0", "SetStableValuesVisible 1 1"}));
    // Analysing again: the hidden stable values are left as they are.
    SetStatus(chamber, kIdle | csAnalysing | Progress(30));
    EXPECT_EQ(Update(),
              (std::vector<std::string>{"SetColor 1 ShapeAnalyzing", "SetColor 1 ShapeStable",
                                        "SetColor 1 ShapeStableVal", "SetProgress 1 30",
                                        "SetProgressVisible 1 1", "SetStableValuesVisible 1 0"}));
}

TEST_F(OvVTest, WidthsDecimalsAndUnitsOfTheDisplayModes) {
    struct Case {
        const char* name;
        bool extended;
        TDevUnits units;
        int32_t humWidth;
        int32_t tempWidth;
        std::string humName;
        std::string hum;
        std::string humUnit;
        std::string temp;
        std::string stableHum;
    } cases[] = {
        {"aw", false, {0, 0, 0}, 47, 24, "aw:", "0.753", " ", "25.0", "0.741"},
        {"%RH", false, {1, 0, 0}, 37, 24, "Hum:", "75.3", "%RH", "25.0", "74.1"},
        {"extended aw", true, {0, 0, 0}, 57, 34, "aw:", "0.7531", " ", "25.00", "0.7412"},
        {"extended %RH", true, {1, 0, 0}, 47, 34, "Hum:", "75.31", "%RH", "25.00", "74.12"},
        {"degrees F", false, {0, 1, 0}, 47, 24, "aw:", "0.753", " ", "77.0", "0.741"},
    };
    using C = TOvVControl;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TInstrumentData i = Instrument();
        i.Units = c.units;
        TTreeModel t;
        TTreeNode* inst = t.AddChild(nullptr, "COM3 0012345", i);
        TChamberData d;
        d.Kind = nkZephoraChamber;
        d.Chamber = 1;
        d.Live.Meas = {7531, 2500, 0, 754, kIdle | csStable};
        d.Stab = {7412, 2498, 3600};
        t.AddChild(inst, "Chamber 1", d);
        TRecordingView v;
        TOvVCtl overview{v, t, *inst, "COM3", c.extended};
        overview.UpdateOverview();
        const TShownFrame& f = v.frames.at(1);
        for (const auto& [hum, temp] : {std::pair{C::EditAlignActHum, C::EditAlignActTemp},
                                        std::pair{C::EditAlignStbHum, C::EditAlignStbTemp}}) {
            EXPECT_EQ(f.widths.at(hum), c.humWidth) << Name(hum);
            EXPECT_EQ(f.widths.at(temp), c.tempWidth) << Name(temp);
        }
        EXPECT_EQ(f.texts.at(C::LabelActH), c.humName);
        EXPECT_EQ(f.texts.at(C::LabelStbH), c.humName);
        EXPECT_EQ(f.texts.at(C::EditAlignActHum), c.hum);
        EXPECT_EQ(f.texts.at(C::LabelActHum), c.humUnit);
        EXPECT_EQ(f.texts.at(C::EditAlignActTemp), c.temp);
        EXPECT_EQ(f.texts.at(C::EditAlignStbHum), c.stableHum);
    }
}

TEST_F(OvVTest, AnUpdateSetsOnlyWhatChanged) {
    TTreeNode* chamber = AddChamber(0, kIdle | csAnalysing | Progress(20));
    AddChamber(3, kIdle);
    Update();
    EXPECT_TRUE(Update().empty());

    TChamberMeas& meas = ChamberData(chamber)->Live.Meas;
    meas.Elapsed = 755;
    EXPECT_EQ(Update(), std::vector<std::string>{"SetText 0 EditAlignActTime 00:12:35"});
    meas.Humidity = 7600;
    EXPECT_EQ(Update(), std::vector<std::string>{"SetText 0 EditAlignActHum 0.760"});
    meas.Status = kIdle | csAnalysing | Progress(21);
    EXPECT_EQ(Update(), std::vector<std::string>{"SetProgress 0 21"});
    tree.SetText(chamber, "(0) Sample A");
    EXPECT_EQ(Update(), std::vector<std::string>{"SetText 0 GroupBox1 (0) Sample A"});
    // The instrument's humidity unit changes (a refresh read it again).
    InstrumentData(instrument)->Units.HumidityMode = 1;
    EXPECT_EQ(Update(), (std::vector<std::string>{
                            "SetText 0 LabelActH Hum:", "SetWidth 0 EditAlignActHum 37",
                            "SetText 0 EditAlignActHum 76.0", "SetText 0 LabelActHum %RH",
                            "SetText 3 LabelActH Hum:", "SetWidth 3 EditAlignActHum 37",
                            "SetText 3 EditAlignActHum 75.3", "SetText 3 LabelActHum %RH"}));
}

// The seconds are unsigned; past 2^31 they must not turn into negative hours.
TEST_F(OvVTest, TimesBeyondTheSignedRangeReadAsDashes) {
    TTreeNode* chamber = AddChamber(1, kIdle | csStable);
    ChamberData(chamber)->Live.Meas.Elapsed = 0xFFFFFFFF;
    ChamberData(chamber)->Stab.Seconds = 0x80000000;
    Update();
    EXPECT_EQ(view.Text(1, TOvVControl::EditAlignActTime), "--:--:--");
    EXPECT_EQ(view.Text(1, TOvVControl::EditAlignStbTime), "--:--:--");
}

TEST_F(OvVTest, AChamberNumberOutsideZeroToNineGetsNoFrame) {
    AddChamber(10, kIdle);
    AddChamber(-1, kIdle);
    EXPECT_TRUE(Update().empty());
    EXPECT_EQ(ctl.ChamberNode(10), nullptr);
}

TEST_F(OvVTest, TheInfoButtonFindsItsChamberOnlyWhileItIsInTheTree) {
    TTreeNode* chamber = AddChamber(3, kIdle);
    Update();
    EXPECT_EQ(ctl.ChamberNode(3), chamber);
    EXPECT_EQ(ctl.ChamberNode(4), nullptr);
    // Between the watchdog's deletion and the next update the frame still exists.
    tree.Delete(chamber);
    EXPECT_TRUE(ctl.HasFrame(3));
    EXPECT_EQ(ctl.ChamberNode(3), nullptr);
}

TEST_F(OvVTest, ActivationSelectsTheInstrumentAndClosingLetsGoOfTheRecord) {
    ctl.FormActivate();
    EXPECT_EQ(tree.Selected(), instrument);

    TOverview mine;
    TOverview other;
    InstrumentData(instrument)->OverviewWindow = &other;
    ctl.FormClose(mine);
    EXPECT_EQ(InstrumentData(instrument)->OverviewWindow, &other);
    InstrumentData(instrument)->OverviewWindow = &mine;
    ctl.FormClose(mine);
    EXPECT_EQ(InstrumentData(instrument)->OverviewWindow, nullptr);
}

TEST_F(OvVTest, ShowOverviewOpensOneWindowPerInstrument) {
    TTreeNode* chamber = AddChamber(3, kIdle);
    TTreeNode* usb = tree.AddChild(root, "USB1 0000042", [] {
        TInstrumentData d;
        d.Kind = nkUsbInstrument;
        d.InterfaceIndex = 256;
        return d;
    }());
    TScriptedBoxes boxes;
    TTreeNode* records = CreateRecNode(tree, boxes, "r.zqr", "C:\\r.zqr", true, 0);
    std::vector<TOverview> windows(4);
    std::vector<const TTreeNode*> created;
    const TCreateOverview create = [&](TTreeNode& Node) -> IOverviewWindow* {
        created.push_back(&Node);
        return &windows[created.size() - 1];
    };
    struct Case {
        const char* name;
        TTreeNode* selected;
        std::vector<const TTreeNode*> created; // in all so far
    } cases[] = {
        {"nothing selected", nullptr, {}},
        {"the computer", root, {}},
        {"a record file", records, {}},
        {"a chamber: its instrument", chamber, {instrument}},
        {"the same instrument again: shown", instrument, {instrument}},
        {"a USB instrument", usb, {instrument, usb}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree.Select(c.selected);
        ShowOverview(tree, create);
        EXPECT_EQ(created, c.created);
    }
    EXPECT_EQ(InstrumentData(instrument)->OverviewWindow, &windows[0]);
    EXPECT_EQ(windows[0].shown, 1);
    EXPECT_EQ(InstrumentData(usb)->OverviewWindow, &windows[1]);
}

TEST_F(OvVTest, AWindowThatCannotBeMadeLeavesTheRecordWithout) {
    tree.Select(instrument);
    ShowOverview(tree, [](TTreeNode&) -> IOverviewWindow* { return nullptr; });
    EXPECT_EQ(InstrumentData(instrument)->OverviewWindow, nullptr);
}

} // namespace

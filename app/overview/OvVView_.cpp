#include "app/overview/OvVView_.h"

#include "app/base/Tools_.h"
#include "app/tree/NodeUnits_.h"
#include "app/tree/TreeNodes_.h"
#include "app/values/MeasValues_.h"

#include <limits>
#include <utility>

namespace {

constexpr uint8_t kRelHumidity = 1;
// A reading whose values are valid: its texts are plain numbers.
constexpr uint16_t kValidReading = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;

int32_t HumEditWidth(uint8_t Mode, bool ExtendedMode) {
    if (Mode == kRelHumidity)
        return ExtendedMode ? 47 : 37;
    return ExtendedMode ? 57 : 47;
}

int32_t TempEditWidth(bool ExtendedMode) {
    return ExtendedMode ? 34 : 24;
}

// Seconds beyond 32 bits read as the largest count ("--:--:--").
std::string TimeText(uint32_t Seconds) {
    constexpr uint32_t kMax = std::numeric_limits<int32_t>::max();
    return SecsToHMS(static_cast<int32_t>(Seconds < kMax ? Seconds : kMax));
}

TOvVValues Values(uint8_t Mode, uint8_t Unit, bool ExtendedMode, std::string Hum, std::string Temp,
                  std::string Time) {
    TOvVValues v;
    v.HumName = HumNameText(Mode) + ":";
    v.Hum = std::move(Hum);
    v.HumUnit = HumUnitText(Mode);
    v.HumWidth = HumEditWidth(Mode, ExtendedMode);
    v.Temp = std::move(Temp);
    v.TempUnit = TempUnitText(Unit);
    v.TempWidth = TempEditWidth(ExtendedMode);
    v.Time = std::move(Time);
    return v;
}

// The controls of one column of values.
struct TOvVColumn {
    TOvVControl HumName, Hum, HumUnit, Temp, TempUnit, Time;
};
constexpr TOvVColumn kActualColumn{TOvVControl::LabelActH,    TOvVControl::EditAlignActHum,
                                   TOvVControl::LabelActHum,  TOvVControl::EditAlignActTemp,
                                   TOvVControl::LabelActTemp, TOvVControl::EditAlignActTime};
constexpr TOvVColumn kStableColumn{TOvVControl::LabelStbH,    TOvVControl::EditAlignStbHum,
                                   TOvVControl::LabelStbHum,  TOvVControl::EditAlignStbTemp,
                                   TOvVControl::LabelStbTemp, TOvVControl::EditAlignStbTime};

void ShowValues(IOvVView& View, int32_t Chamber, const TOvVColumn& Column, const TOvVValues& Shown,
                const TOvVValues& Next) {
    const auto text = [&](TOvVControl Control, const std::string& Old, const std::string& New) {
        if (Old != New)
            View.SetText(Chamber, Control, New);
    };
    const auto width = [&](TOvVControl Control, int32_t Old, int32_t New) {
        if (Old != New)
            View.SetWidth(Chamber, Control, New);
    };
    text(Column.HumName, Shown.HumName, Next.HumName);
    width(Column.Hum, Shown.HumWidth, Next.HumWidth);
    text(Column.Hum, Shown.Hum, Next.Hum);
    text(Column.HumUnit, Shown.HumUnit, Next.HumUnit);
    width(Column.Temp, Shown.TempWidth, Next.TempWidth);
    text(Column.Temp, Shown.Temp, Next.Temp);
    text(Column.TempUnit, Shown.TempUnit, Next.TempUnit);
    text(Column.Time, Shown.Time, Next.Time);
}

// The chamber nodes in tree order, the first of each number. A number outside
// 0..9 has no frame to show it in.
template <class F>
void ForEachChamber(const TTreeNode& Instrument, F&& Visit) {
    std::array<bool, kOvVChambers> seen{};
    for (int32_t i = 0; i < Instrument.Count(); ++i) {
        TTreeNode* node = Instrument.Item(i);
        const TChamberData* chamber = ChamberData(node);
        if (!chamber || chamber->Chamber < 0 || chamber->Chamber >= kOvVChambers ||
            seen[chamber->Chamber])
            continue;
        seen[chamber->Chamber] = true;
        Visit(*node, *chamber);
    }
}

} // namespace

int32_t OvVFrameTop(int32_t N) {
    return kOvVTitleHeight + N * (kOvVFrameHeight + kOvVFrameGap);
}

int32_t OvVClientHeight(int32_t FrameCount) {
    return OvVFrameTop(FrameCount);
}

TOvVFrameState OvVFrameState(const TTreeNode& ChamberNode, bool ExtendedMode) {
    TOvVFrameState s;
    s.Caption = ChamberNode.Text();
    const TChamberData* chamber = ChamberData(&ChamberNode);
    if (!chamber)
        return s;
    const uint8_t mode = NodeHumMode(&ChamberNode);
    const uint8_t unit = NodeTempUnit(&ChamberNode);
    const uint16_t status = chamber->Live.Meas.Status;
    const bool running = status & (csAnalysing | csStable);
    s.Actual = Values(mode, unit, ExtendedMode, NodeHumText(mode, ChamberNode.Data, ExtendedMode),
                      NodeTempText(unit, ChamberNode.Data, ExtendedMode),
                      running ? TimeText(chamber->Live.Meas.Elapsed) : std::string());
    if (status & csAnalysing)
        s.AnalysingLamp = kAnalysingLampColor;
    s.Stable = status & csStable;
    if (s.Stable) {
        const TStab& stab = chamber->Stab;
        s.StableLamp = kStableLampColor;
        s.StableValues = Values(mode, unit, ExtendedMode,
                                HumValueText(mode, kValidReading, stab.Humidity, ExtendedMode),
                                TempValueText(unit, kValidReading, stab.Temperature, ExtendedMode),
                                TimeText(stab.Seconds));
        s.StableBox = kClSilver;
        s.StableBoxPen = kClBlack;
    } else {
        s.Progress = StatusProgress(status);
    }
    return s;
}

// --- TOvVCtl ---

TOvVCtl::TOvVCtl(IOvVView& View, TTreeModel& Tree, TTreeNode& InstrumentNode,
                 std::string InterfaceName, bool ExtendedMode)
    : FView(View), FTree(Tree), FInstrument(InstrumentNode),
      FInterfaceName(std::move(InterfaceName)), FExtendedMode(ExtendedMode),
      FLabel1(Format(sWaitingForData, FInterfaceName.c_str())) {}

std::string TOvVCtl::Caption() const {
    return Format(sOverviewCaption, FInterfaceName.c_str());
}

bool TOvVCtl::HasFrame(int32_t Chamber) const {
    return Chamber >= 0 && Chamber < kOvVChambers && FFrames[Chamber].has_value();
}

TTreeNode* TOvVCtl::ChamberNode(int32_t Chamber) const {
    TTreeNode* found = nullptr;
    ForEachChamber(FInstrument, [&](TTreeNode& Node, const TChamberData& Data) {
        if (Data.Chamber == Chamber)
            found = &Node;
    });
    return found;
}

void TOvVCtl::CreateFrame(int32_t Chamber, const TTreeNode& Node) {
    TFrame frame;
    frame.State.Caption = Node.Text();
    FView.CreateFrame(Chamber, frame.State);
    FFrames[Chamber] = std::move(frame);
}

void TOvVCtl::FreeFrame(int32_t Chamber) {
    FView.FreeFrame(Chamber);
    FFrames[Chamber].reset();
}

void TOvVCtl::BuildFrames() {
    std::array<bool, kOvVChambers> seen{};
    bool changed = false;
    ForEachChamber(FInstrument, [&](const TTreeNode& Node, const TChamberData& Data) {
        const int32_t n = Data.Chamber;
        seen[n] = true;
        const bool present = Data.Live.Meas.Status & csPresent;
        if (present && !FFrames[n]) {
            CreateFrame(n, Node);
            changed = true;
        } else if (!present && FFrames[n]) {
            FreeFrame(n);
            changed = true;
        }
    });
    for (int32_t n = 0; n < kOvVChambers; ++n) {
        if (FFrames[n] && !seen[n]) {
            FreeFrame(n);
            changed = true;
        }
    }
    if (changed)
        Layout();
    // A renamed chamber shows its new name.
    ForEachChamber(FInstrument, [&](const TTreeNode& Node, const TChamberData& Data) {
        std::optional<TFrame>& frame = FFrames[Data.Chamber];
        if (frame && frame->State.Caption != Node.Text()) {
            frame->State.Caption = Node.Text();
            FView.SetText(Data.Chamber, TOvVControl::GroupBox1, Node.Text());
        }
    });
}

void TOvVCtl::Layout() {
    const std::string noData = Format(sNoDataFromAnyChamber, FInterfaceName.c_str());
    if (FLabel1 != noData) {
        FLabel1 = noData;
        FView.SetLabel1(FLabel1);
    }
    int32_t placed = 0;
    ForEachChamber(FInstrument, [&](const TTreeNode&, const TChamberData& Data) {
        std::optional<TFrame>& frame = FFrames[Data.Chamber];
        if (!frame)
            return;
        const int32_t top = OvVFrameTop(placed++);
        if (frame->Top != top) {
            frame->Top = top;
            FView.PlaceFrame(Data.Chamber, top);
        }
    });
    const int32_t height = OvVClientHeight(placed);
    FView.SetClientHeight(height);
    const bool label1Visible = height <= kOvVTitleHeight;
    if (label1Visible != FLabel1Visible) {
        FLabel1Visible = label1Visible;
        FView.SetLabel1Visible(label1Visible);
    }
}

void TOvVCtl::UpdateOverview() {
    BuildFrames();
    ForEachChamber(FInstrument, [&](const TTreeNode& Node, const TChamberData& Data) {
        if (FFrames[Data.Chamber])
            ShowState(Data.Chamber, OvVFrameState(Node, FExtendedMode));
    });
}

void TOvVCtl::ShowState(int32_t Chamber, TOvVFrameState Next) {
    TOvVFrameState& shown = FFrames[Chamber]->State;
    // Hidden parts keep what they showed.
    if (Next.Stable)
        Next.Progress = shown.Progress;
    else
        Next.StableValues = shown.StableValues;
    if (Next == shown)
        return;

    if (Next.Caption != shown.Caption)
        FView.SetText(Chamber, TOvVControl::GroupBox1, Next.Caption);
    ShowValues(FView, Chamber, kActualColumn, shown.Actual, Next.Actual);
    if (Next.AnalysingLamp != shown.AnalysingLamp)
        FView.SetColor(Chamber, TOvVControl::ShapeAnalyzing, Next.AnalysingLamp, kClBlack);
    if (Next.StableLamp != shown.StableLamp)
        FView.SetColor(Chamber, TOvVControl::ShapeStable, Next.StableLamp, kClBlack);
    ShowValues(FView, Chamber, kStableColumn, shown.StableValues, Next.StableValues);
    if (Next.StableBox != shown.StableBox || Next.StableBoxPen != shown.StableBoxPen)
        FView.SetColor(Chamber, TOvVControl::ShapeStableVal, Next.StableBox, Next.StableBoxPen);
    if (Next.Progress != shown.Progress)
        FView.SetProgress(Chamber, Next.Progress);
    if (Next.ProgressVisible() != shown.ProgressVisible())
        FView.SetProgressVisible(Chamber, Next.ProgressVisible());
    if (Next.Stable != shown.Stable)
        FView.SetStableValuesVisible(Chamber, Next.Stable);
    shown = std::move(Next);
}

void TOvVCtl::FormActivate() {
    FTree.Select(&FInstrument);
}

void TOvVCtl::FormClose(const IOverviewWindow& Window) {
    TInstrumentData* instrument = InstrumentData(&FInstrument);
    if (instrument && instrument->OverviewWindow == &Window)
        instrument->OverviewWindow = nullptr;
}

// --- AcShowOverviewExecute ---

void ShowOverview(TTreeModel& Tree, const TCreateOverview& Create) {
    TTreeNode* node = Tree.Selected();
    if (node && ChamberData(node))
        node = node->Parent();
    TInstrumentData* instrument = InstrumentData(node);
    if (!instrument)
        return;
    if (instrument->OverviewWindow) {
        instrument->OverviewWindow->Show();
        return;
    }
    instrument->OverviewWindow = Create(*node);
}

// The overview window's logic: one frame per present chamber of an instrument,
// in tree order, stacked below a title row in a window of fixed client width.
// Each frame shows the chamber's actual values, its analysing and stable lamps,
// and either the stable values or the stability progress. TOvVCtl keeps what
// the view shows and tells it only what changed, so a measurement event does
// not repaint what stayed the same. The view is TMDIChildOvV (OvVWin_win.h).
#pragma once

#include "app/tree/TreeModel_.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

inline constexpr char sOverviewCaption[] = "%s - Overview";
inline constexpr char sWaitingForData[] = "Waiting for data from %s...";
inline constexpr char sNoDataFromAnyChamber[] = "No data from any chamber on %s!";

inline constexpr int32_t kOvVClientWidth = 585;
inline constexpr int32_t kOvVTitleHeight = 33; // the client height without frames
inline constexpr int32_t kOvVFrameWidth = 578;
inline constexpr int32_t kOvVFrameHeight = 55;
inline constexpr int32_t kOvVFrameGap = 4;
inline constexpr int32_t kOvVChambers = 10; // chamber numbers 0..9

// Top of the frame at 0-based place N; the client height with N frames.
int32_t OvVFrameTop(int32_t N);
int32_t OvVClientHeight(int32_t FrameCount);

// Colours as $00BBGGRR; kClBtnFace stands for the platform's button-face colour.
inline constexpr uint32_t kClBtnFace = 0xFF00000F;
inline constexpr uint32_t kClBlack = 0x000000;
inline constexpr uint32_t kClWhite = 0xFFFFFF;
inline constexpr uint32_t kClSilver = 0xC0C0C0;
inline constexpr uint32_t kAnalysingLampColor = 0x00F1FF; // yellow
inline constexpr uint32_t kStableLampColor = 0x00FF00;    // green

// The controls of a frame whose content changes.
enum class TOvVControl {
    GroupBox1, // its caption: the chamber node's text
    ShapeAnalyzing,
    ShapeStable,
    LabelActH,
    EditAlignActHum,
    LabelActHum,
    EditAlignActTemp,
    LabelActTemp,
    EditAlignActTime,
    LabelStbH,
    EditAlignStbHum,
    LabelStbHum,
    EditAlignStbTemp,
    LabelStbTemp,
    EditAlignStbTime,
    ShapeStableVal,
    StableIndicator,
};

// One column of values: the actual ones or the stable ones.
struct TOvVValues {
    std::string HumName; // "aw:", "Hum:"
    std::string Hum;
    std::string HumUnit;
    int32_t HumWidth = 47;
    std::string Temp;
    std::string TempUnit;
    int32_t TempWidth = 24;
    std::string Time;
    bool operator==(const TOvVValues&) const = default;
};

// What a frame shows; a new frame shows these defaults with its caption.
struct TOvVFrameState {
    std::string Caption;
    uint32_t AnalysingLamp = kClBtnFace;
    uint32_t StableLamp = kClBtnFace;
    TOvVValues Actual;
    bool Stable = false;     // the stable values shown, else the progress
    TOvVValues StableValues; // left as they were while not stable
    uint32_t StableBox = kClBtnFace;
    uint32_t StableBoxPen = kClSilver;
    int32_t Progress = 0; // 0..63; left as it was while stable
    bool ProgressVisible() const { return !Stable && Progress > 0; }
    bool operator==(const TOvVFrameState&) const = default;
};

// The frame of a chamber node as its live values, stability values and units
// ask; the stable values only while the chamber is stable, the progress only
// while it is not.
TOvVFrameState OvVFrameState(const TTreeNode& ChamberNode, bool ExtendedMode);

class IOvVView {
public:
    // A hidden frame for Chamber showing State.
    virtual void CreateFrame(int32_t Chamber, const TOvVFrameState& State) = 0;
    virtual void FreeFrame(int32_t Chamber) = 0;
    // Moves the frame to Top (left 0) and shows it.
    virtual void PlaceFrame(int32_t Chamber, int32_t Top) = 0;
    // After frames came or went: the client height, which is also the window's
    // largest height; the window stays within the document area.
    virtual void SetClientHeight(int32_t Height) = 0;
    virtual void SetLabel1(const std::string& Text) = 0;
    // Label1 shown and the column titles hidden, or the other way round.
    virtual void SetLabel1Visible(bool Visible) = 0;

    virtual void SetText(int32_t Chamber, TOvVControl Control, const std::string& Text) = 0;
    // The edit's width; the unit label right of it moves to its right edge.
    virtual void SetWidth(int32_t Chamber, TOvVControl Edit, int32_t Width) = 0;
    virtual void SetColor(int32_t Chamber, TOvVControl Shape, uint32_t Brush, uint32_t Pen) = 0;
    virtual void SetProgress(int32_t Chamber, int32_t Position) = 0;
    // The progress bar and its label LabelStableInd.
    virtual void SetProgressVisible(int32_t Chamber, bool Visible) = 0;
    // The stable column's labels and edits.
    virtual void SetStableValuesVisible(int32_t Chamber, bool Visible) = 0;

protected:
    ~IOvVView() = default;
};

// The overview of one instrument node. The window closes before its instrument
// node goes (the node is then not touched again); chamber nodes may go at any
// time and are looked up by number.
class TOvVCtl {
public:
    TOvVCtl(IOvVView& View, TTreeModel& Tree, TTreeNode& InstrumentNode, std::string InterfaceName,
            bool ExtendedMode);

    // The window's caption, "COM3 - Overview".
    std::string Caption() const;
    // What the window shows before the first update: Label1 visible with this
    // text, the client height kOvVTitleHeight.
    const std::string& Label1() const { return FLabel1; }
    TTreeNode& InstrumentNode() const { return FInstrument; }

    // Frames for the present chambers, freed for the others; after a change
    // they are stacked in tree order and the window fits them.
    void BuildFrames();
    // BuildFrames, then every frame shows its chamber's values.
    void UpdateOverview();
    bool HasFrame(int32_t Chamber) const;
    // The node of a frame's chamber, null when it has left the tree.
    TTreeNode* ChamberNode(int32_t Chamber) const;

    // The window became active: its instrument is selected in the tree.
    void FormActivate();
    // The window closes: the instrument record lets go of Window.
    void FormClose(const IOverviewWindow& Window);

private:
    struct TFrame {
        int32_t Top = -1; // not placed yet
        TOvVFrameState State;
    };

    void CreateFrame(int32_t Chamber, const TTreeNode& Node);
    void FreeFrame(int32_t Chamber);
    void Layout();
    void ShowState(int32_t Chamber, TOvVFrameState Next);

    IOvVView& FView;
    TTreeModel& FTree;
    TTreeNode& FInstrument;
    std::string FInterfaceName;
    bool FExtendedMode;
    std::array<std::optional<TFrame>, kOvVChambers> FFrames;
    std::string FLabel1;
    bool FLabel1Visible = true;
};

// AcShowOverviewExecute: for the selected instrument, or the instrument of the
// selected chamber, shows its overview window, or has Create make one and
// stores it in the instrument record. Other selections: nothing.
using TCreateOverview = std::function<IOverviewWindow*(TTreeNode& InstrumentNode)>;
void ShowOverview(TTreeModel& Tree, const TCreateOverview& Create);

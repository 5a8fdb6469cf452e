// The graph views of a record window: the time window with its edits, page
// box, scroll buttons, End, Auto Range Time and zoom; the y ranges of the
// three series (manual limits, Auto Range Y, Auto Offset); and the window's
// graph settings. The window's tool bar shows what TRecView holds and forwards
// the user's actions to it.
//
// Every action runs Auto Offset, the list refresh and the repaint once at its
// end, however many setter calls it nests.
#pragma once

#include "app/graph/LineGraph_.h"
#include "app/record/GraphSettings_.h"
#include "app/record/OffsetFit_.h"
#include "app/record/RecGraphValues_.h"
#include "app/record/Recorder_.h"
#include "app/record/SeriesDialogs_.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The pages of the page box: text and seconds.
struct TTimePage {
    const char* Text;
    int32_t Seconds;
};
inline constexpr std::size_t kTimePageCount = 14;
extern const TTimePage kTimePages[kTimePageCount];

// Seconds an up-down button moves its bound.
inline constexpr int32_t kTimeIncrement = 360;

// Entry 0 of the closed page box: the span and a twelfth of it per division.
std::string PageText(int32_t Seconds, int32_t XDivisions);
// A bound in minutes with one decimal and "." as separator.
std::string MinutesText(int32_t Seconds);
// Minutes typed into a time edit, "." or "," as separator: the seconds of the
// minutes rounded to one decimal, within 0 .. 2^31 - 1, halves to even. False
// for a text that is no number.
bool ParseMinutes(const std::string& Text, int32_t& Seconds);
// The key filter of the time edits: digits, Backspace and one separator pass
// ("," becomes "."); false when Key is dropped.
bool FilterTimeKey(const std::string& Text, char& Key);

enum class TScroll { QuarterBack, QuarterForward, HalfBack, HalfForward };

class IRecViewHost {
public:
    // The tool bar shows the model's state anew: edits, page box, buttons.
    virtual void ViewChanged() = 0;
    // The zoom switch changed: the cursor of the graph.
    virtual void ZoomChanged() = 0;
    // The list's out-of-span shading.
    virtual void RefreshList() = 0;
    virtual void RepaintGraph() = 0;
    // The window's three unit overrides (humidity, temperature, date format)
    // := Choices, its units updated (calling UnitsChanged) and, for a live
    // window, the main window's refresh.
    virtual void ApplyUnitChoices(const std::array<int32_t, 3>& Choices) = 0;

protected:
    ~IRecViewHost() = default;
};

class TRecView {
public:
    // The raw manual limits of a series and its offset span.
    struct TLimits {
        int32_t YMin = 0;
        int32_t YMax = 0;
        int32_t Range = 0;
    };

    TRecView(IRecViewHost& Host, TLineGraph& Graph, TRecorder& Rec);
    TRecView(const TRecView&) = delete;
    TRecView& operator=(const TRecView&) = delete;

    // State shown by the tool bar.
    bool AutoX() const { return FAutoX; }
    bool AutoY() const { return FAutoY; }
    bool AutoOffset() const { return FAutoOffset; }
    bool End() const { return FEnd; }
    bool Zoom() const { return FZoom; }
    bool ShowSampleCount() const { return FGraph.ShowSampleCount(); }
    const std::string& MinText() const { return FMinText; }
    const std::string& MaxText() const { return FMaxText; }
    const std::vector<std::string>& PageItems() const { return FPageItems; }
    int PageIndex() const { return FPageIndex; }
    bool PageOpen() const { return FPageOpen; }
    // End, Home, scrolling, the edits, up-downs and page box.
    bool TimeControlsEnabled() const { return !(FRec.Live && FAutoX); }
    const TLimits& Limits(std::size_t Serie) const { return FLimits[Serie]; }

    // --- time window
    void SetMinTime(int64_t Seconds);
    void SetMaxTime(int64_t Seconds);
    int32_t GetPageSeconds() const;
    // Leaving a time edit; Enter in it releases Auto Range Time first.
    void ApplyTimeEdit(bool MaxEdit, const std::string& Text);
    void TimeEditEnter(bool MaxEdit, const std::string& Text);
    void UpDown(bool MaxEdit, bool Up);
    void PageDropDown();
    // Chosen: the page picked (0 .. 13) or -1.
    void PageCloseUp(int Chosen);
    void Scroll(TScroll Kind);
    void Home();
    // The End button: in a live window it is a check button, Down its new state.
    void EndButton(bool Down);
    // The list selected a sample: End goes up.
    void ReleaseEnd();
    void AutoXButton(bool Down);
    void ZoomButton(bool Down);
    void MouseDown(bool Left, int32_t X);
    // The sample under the last mouse-down, or -1 right of the last one.
    int64_t PickSample() const;

    // --- y ranges
    void AutoYButton(bool Down);
    void AutoOffsetButton(bool Down);
    void ShowSampleCountButton(bool Down);
    // The window's units changed.
    void UnitsChanged(uint8_t HumMode, uint8_t TempUnit, bool ExtendedMode);
    // The series dialog's values.
    TSeriesEdit SeriesEdit(const std::array<int32_t, 3>& UnitChoices, uint8_t DateFormat) const;
    void ApplySeriesProps(const TSeriesEdit& Edit);

    // --- samples
    // After each new live sample: End, Auto Range Time, Auto Range Y, Auto
    // Offset and the repaint.
    void SampleAdded();
    // The samples were replaced (loaded, restored, cleared).
    void DataReplaced();

    // --- settings
    TGraphSettings GetGraphSettings() const;
    void SetGraphSettings(const TGraphSettings& S, bool RestoreStats);
    // The preferences' graph defaults on a new window (the units and the
    // sample-rate box are the window's).
    void SetDefaultSettings(const TGraphDefaults& D);

private:
    // Runs the offset, list refresh and repaint once when the outermost ends.
    class TAction {
    public:
        explicit TAction(TRecView& View) : FView(View) { ++FView.FDepth; }
        ~TAction();
        TAction(const TAction&) = delete;
        TAction& operator=(const TAction&) = delete;

    private:
        TRecView& FView;
    };

    int64_t LastSampleTime() const;
    void SetPageEntry();
    void EndClick();
    void AutoXExecute(bool FromZoom);
    void AutoXNewSample();
    void ZoomInExecute(bool FromAction);
    void SetTime(int64_t Min, int64_t Max);

    double Limit(std::size_t Serie, int32_t Raw) const;
    double SpanOf(std::size_t Serie) const;
    int32_t Decimals(std::size_t Serie) const;
    void ManualLimits();
    void AutoYClick();
    void AutoOffsetExecute();
    void RunAutoOffset();
    void SetSeries(std::size_t Serie, const TSeriesSettings& S, bool Visible);

    IRecViewHost& FHost;
    TLineGraph& FGraph;
    TRecorder& FRec;
    TOffsetFit FFit;
    std::array<TLimits, 3> FLimits;
    uint8_t FHumMode = 0;
    uint8_t FTempUnit = 0;
    bool FExtended = false;

    bool FAutoX = false;
    bool FAutoY = false;
    bool FAutoOffset = false;
    bool FEnd = false;
    bool FZoom = false;
    int32_t FStoredMin = 0;
    int32_t FStoredMax = 720;
    std::string FMinText;
    std::string FMaxText;
    std::vector<std::string> FPageItems;
    int FPageIndex = -1;
    bool FPageOpen = false;
    int32_t FMouseX = 0;

    int FDepth = 0;
    bool FOffsetPending = false;
    bool FListPending = false;
    bool FRepaintPending = false;
};

// TLineGraph: the time-series chart of the record windows and graph pages. It
// holds no samples: it knows their count, the sample interval and the visible
// time window, and asks its owner through OnGetValues for the values of every
// pixel column it draws (LineGraphDraw_.cpp). Times are whole seconds from the
// start of the data; sample n stands at n x SampleInterval.
//
// The panel's client area holds the drawing field inside the margins of Frame;
// the field is a rectangle of the panel, laid out by each panel paint.
#pragma once

#include "app/graph/GraphCanvas_.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Bits of TLineSerie::LineOptions and TCondition::ConditionOptions.
enum TLineOption : uint8_t { loNoL = 0x01 };      // no line into this column
enum TConditionOption : uint8_t { coNoC = 0x01 }; // the band does not continue here

// Bits of TLineGraph::AnnotationFlags.
enum TAnnotationFlag : uint8_t { afNames = 0x01, afValues = 0x02 };

struct TGraphPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TGraphPoint&) const = default;
};

// Default colours of series and conditions by index mod 4.
TColor DefaultItemColor(size_t Index);

struct TLineSerie {
    explicit TLineSerie(size_t Index) : Color(DefaultItemColor(Index)) {}
    // Copies the settings, not the column values nor LineOptions.
    void Assign(const TLineSerie& Source);

    TColor Color;
    // The current column's values in display units, written by OnGetValues.
    double FirstVal = 0;
    double LastVal = 0;
    double MaxVal = 0;
    double MinVal = 0;
    // Shown between the grid lines YDivisions (MinY) and 3 (MaxY).
    double MaxY = 100.0;
    double MinY = 0.0;
    uint8_t LineOptions = 0;
    // The last point of the previous column within one series pass.
    TGraphPoint PrevPoint{-1, 0};
    uint8_t Precision = 1; // decimals of labels and annotations, 0..10
    std::string MeasUnit;
    bool Visible = true;
    std::string SeriesName;
};

struct TCondition {
    explicit TCondition(size_t Index) : Color(DefaultItemColor(Index)) {}
    // Copies Color, Text and Visible.
    void Assign(const TCondition& Source);

    TColor Color;
    int32_t TextLeft = -1; // x where the current band began; -1 while inactive
    std::string Text;
    bool Visible = false; // the condition holds in the current column
    bool WasActive = false;
    uint8_t ConditionOptions = 0;
    int32_t Row = -1;     // band row held while active
    bool RowUsed = false; // band row of this index is held by some condition
};

// A collection whose items take their default colour from their index.
template <class TItem>
class TGraphItems {
public:
    size_t Count() const { return FItems.size(); }
    TItem& GetItem(size_t Index) { return FItems.at(Index); }
    const TItem& GetItem(size_t Index) const { return FItems.at(Index); }
    TItem& operator[](size_t Index) { return FItems[Index]; }
    const TItem& operator[](size_t Index) const { return FItems[Index]; }
    // The collection's plain add: the item keeps its defaults.
    TItem& AddItem() { return FItems.emplace_back(FItems.size()); }
    void Clear() { FItems.clear(); }
    // Recreates the items as copies of Source's (item Assign).
    void Assign(const TGraphItems& Source) {
        FItems.clear();
        for (const TItem& item : Source.FItems)
            AddItem().Assign(item);
    }

private:
    std::vector<TItem> FItems;
};

class TLineSeries : public TGraphItems<TLineSerie> {
public:
    // A new series, invisible until shown.
    TLineSerie& Add();
    // The number of samples the series draw from (indexes 0 .. PointCount - 1);
    // 0 empties the graph. Not copied by Assign.
    int64_t PointCount = 0;
};

class TConditions : public TGraphItems<TCondition> {
public:
    TCondition& Add() { return AddItem(); }
};

// The four margins between the panel's client area and the drawing field.
class TSizeFrame {
public:
    // ClientSize: the owner's client width and height, the bounds of the margins.
    explicit TSizeFrame(std::function<TGraphPoint()> ClientSize)
        : FClientSize(std::move(ClientSize)) {}
    TSizeFrame(const TSizeFrame&) = delete;
    TSizeFrame& operator=(const TSizeFrame&) = delete;

    int32_t Left() const { return FSizes[0]; }
    int32_t Top() const { return FSizes[1]; }
    int32_t Right() const { return FSizes[2]; }
    int32_t Bottom() const { return FSizes[3]; }
    // Index 0..3: left, top, right, bottom; clamped to the client area less the
    // opposite margin. Nothing happens for the value already held or another index.
    void SetFrameSize(int32_t Index, int32_t Value);
    // Copies the margins into Dest unclamped, then Dest's Changed.
    void AssignTo(TSizeFrame& Dest) const;
    void Changed();

    std::function<void()> OnChange;

private:
    std::function<TGraphPoint()> FClientSize;
    int32_t FSizes[4] = {0, 0, 0, 0};
};

// One pixel column asked of OnGetValues.
struct TGraphColumn {
    int64_t First = 0; // in: first sample of the column
    int64_t Last = 0;  // in: last sample, First <= Last <= PointCount - 1
    uint8_t Flags = 0; // out: bit 0 draws a full-height mark line
    TColor MarkColor = 0;
};
inline constexpr uint8_t kColumnMarkLine = 0x01;

class TLineGraph {
public:
    using TGetValues = std::function<void(TLineGraph& Sender, TGraphColumn& Column)>;

    TLineGraph();
    TLineGraph(const TLineGraph&) = delete;
    TLineGraph& operator=(const TLineGraph&) = delete;

    // Setters that invalidate the graph.
    int32_t MinTime() const { return FMinTime; }
    int32_t MaxTime() const { return FMaxTime; }
    void SetMinTime(int32_t Seconds);
    void SetMaxTime(int32_t Seconds);
    int32_t GetXDivisions() const { return FXDivisions; }
    int32_t GetYDivisions() const { return FYDivisions; }
    void SetXDivisions(int32_t Divisions);
    void SetYDivisions(int32_t Divisions);
    bool ShowSampleCount() const { return FShowSampleCount; }
    void SetShowSampleCount(bool Show);
    void SetFrame(const TSizeFrame& Source) { Source.AssignTo(Frame); }
    void SetSeries(const TLineSeries& Source) { Series.Assign(Source); }
    void SetConditions(const TConditions& Source) { Conditions.Assign(Source); }

    // The panel's client size, set by the window that shows the graph.
    void SetClientSize(int32_t Width, int32_t Height);
    int32_t ClientWidth() const { return FClientWidth; }
    int32_t ClientHeight() const { return FClientHeight; }
    // The drawing field in client pixels, as the last panel paint laid it out.
    const TRect& FieldRect() const { return FField; }
    int32_t FieldWidth() const { return FField.Right - FField.Left; }
    int32_t FieldHeight() const { return FField.Bottom - FField.Top; }

    // The time span in view and the sample interval as the geometry takes
    // them: at least one second each.
    int64_t TimeSpan() const;
    int32_t Interval() const;

    // Geometry of the current field.
    double GetSecPerPixel() const;
    void CalcXGrid();
    void CalcYGrid();
    int32_t SampleToX(int64_t N, double Spp) const;
    double UnitsPerPixel(size_t Serie) const;
    int32_t ValueToY(size_t Serie, double Upp, double Value) const;
    int32_t ZoomMarkerX(double Spp) const;
    // True when OnGetValues is assigned and was called.
    bool DoGetValues(TGraphColumn& Column);

    // Painting (LineGraphDraw_.cpp): the panel with the field's background,
    // then the field's own layers in order. LayoutField places the field as the
    // panel paint does, without drawing.
    void LayoutField(TGraphCanvas& Canvas);
    static void FillAround(TGraphCanvas& Canvas, const TRect& Panel, const TRect& Field);
    void Paint(TGraphCanvas& Canvas, int32_t BevelWidth);
    void DrawFieldPaint(TGraphCanvas& Canvas);
    void DrawGrid(TGraphCanvas& Canvas);
    void DrawSeries(TGraphCanvas& Canvas);
    void DrawAnnotations(TGraphCanvas& Canvas);
    void DrawTimeLabels(TGraphCanvas& Canvas);
    void DrawYLabels(TGraphCanvas& Canvas);
    void DrawZoomMarker(TGraphCanvas& Canvas);
    // Whether sample N, with N < PointCount, is drawn on the field as the last
    // paint laid it out: a new sample right of what the series pass reaches
    // leaves every pixel as it was.
    bool SampleDrawn(int64_t N) const;
    static void LineToIncl(TGraphCanvas& Canvas, int32_t X, int32_t Y);

    TSizeFrame Frame;
    std::vector<int32_t> XGrid;
    std::vector<int32_t> YGrid;
    TColor GridColor = 0xC0C0C0;
    TGetValues OnGetValues;
    int32_t SampleInterval = 2;
    std::vector<std::string> SampleCountLabels;
    TLineSeries Series;
    TConditions Conditions;
    TColor TimeLabelColor = 0x000000;
    double ZoomMarker = -1.0; // seconds; below 0 no marker
    TColor MarkerColor = 0xFF00FF;
    TColor GraphColor = kClWindow;
    int32_t TimeLabelStep = 2;
    int32_t YLabelColumnStep = 2;
    uint8_t AnnotationFlags = 0;
    int32_t AnnotationStep = 2;
    int32_t YLabelColumnStart = 1;
    int32_t AnnotationStart = 1;
    // Called whenever the graph needs repainting.
    std::function<void()> OnInvalidate;

private:
    void Invalidate();
    // The first sample right of column X, which starts at First: the smallest
    // m > First with SampleToX(m) > X, or PointCount.
    int64_t ColumnEnd(int64_t First, int32_t X, double Spp) const;
    // The first sample the series pass draws, and the x it stops before.
    int64_t FirstDrawn() const;
    double DrawLimit(double Spp) const;
    // The series pass asks for every column's values first, then draws them:
    // the values of millions of samples and the pixels of a large field do not
    // crowd each other out of the caches column by column.
    struct TPassColumn {
        int32_t X = 0;
        uint8_t Flags = 0;
        TColor MarkColor = 0;
    };
    struct TPassSerie {
        double FirstVal, LastVal, MaxVal, MinVal;
        uint8_t LineOptions;
    };
    struct TPassCondition {
        bool Visible;
        uint8_t ConditionOptions;
    };
    void AskColumns(double Spp);
    void RestoreColumn(size_t Index);
    void DrawConditions(TGraphCanvas& Canvas, int32_t X, int32_t PrevX, int32_t RowH);
    void DrawSerieColumns(TGraphCanvas& Canvas, int32_t X, double Spp,
                          const std::vector<double>& Upp);

    int32_t FMinTime = 0;
    int32_t FMaxTime = 24;
    int32_t FXDivisions = 11;
    int32_t FYDivisions = 13;
    bool FShowSampleCount = false;
    int32_t FClientWidth = 100;
    int32_t FClientHeight = 100;
    TRect FField{0, 0, 99, 99};
    std::vector<TPassColumn> FPassColumns;
    std::vector<TPassSerie> FPassSeries;         // per column, a run of Series.Count()
    std::vector<TPassCondition> FPassConditions; // per column, a run of Conditions.Count()
};

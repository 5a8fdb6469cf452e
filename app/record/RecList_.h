// The sample list of a record window: which image a row shows, how it is
// coloured, the selection shared by list and graph, and where the graph moves
// to show a selected sample.
#pragma once

#include "app/graph/LineGraph_.h"
#include "app/tree/TreeTypes_.h"
#include "app/values/RecordData_.h"

#include <cstdint>
#include <utility>
#include <vector>

inline constexpr TColor kClHighlightText = kClSystem | 14;
inline constexpr TColor kOpenRowFont = 0x808080;
inline constexpr TColor kOutsideRowBrush = 0xF0F0F0;

// One of the imRow images of the tree's list, -1 for none.
int RowImage(const std::vector<TSample>& Samples, std::size_t Row);

// The graph's visible time span, in seconds from the first sample.
struct TTimeSpan {
    int32_t MinTime = 0;
    int32_t MaxTime = 0;
    int32_t SampleInterval = 1;
};

// Whether Row lies in the visible span. An interval below 1 (read from a file)
// counts as 1.
bool RowVisible(const TTimeSpan& Span, int64_t Row);

// The rows from First to Last that are shaded differently under span A and
// span B: the first and the last of them, or {0, -1} when there is none.
std::pair<int64_t, int64_t> ShadingChanged(const TTimeSpan& A, const TTimeSpan& B, int64_t First,
                                           int64_t Last);

// The visible span moved so that Row is in its middle, its width kept, and
// within what the graph's 32-bit times hold.
TTimeSpan CentreOn(const TTimeSpan& Span, int64_t Row);

struct TRowColors {
    TColor Font;
    TColor Brush;
    bool OwnBrush = false; // false: the list's own background
};

// Font: the colour the column is written in (black, or its series' colour).
TRowColors RowColors(const std::vector<TSample>& Samples, std::size_t Row, bool Selected,
                     const TTimeSpan& Span, TColor Font);

class TSampleSelection {
public:
    int64_t Anchor() const { return FAnchor; }
    int64_t End() const { return FEnd; }
    bool Empty() const { return FAnchor < 0; }
    bool Contains(int64_t Row) const;
    // With Shift the end moves (and the anchor too when there is none).
    void Select(int64_t Index, bool Shift);
    void Clear() { FAnchor = FEnd = -1; }

private:
    int64_t FAnchor = -1;
    int64_t FEnd = -1;
};

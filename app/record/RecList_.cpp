#include "app/record/RecList_.h"

#include <algorithm>

int RowImage(const std::vector<TSample>& Samples, std::size_t Row) {
    if (Row >= Samples.size())
        return -1;
    const TSample& s = Samples[Row];
    int image = -1;
    if (s.Mark & smBlockStart)
        image = imRowBlockStart;
    if (s.Mark & smStopped)
        image = imRowStop;
    if (s.Mark & smInterrupted)
        image = imRowMark;
    if (Row > 0) {
        const TChamberStatus rising = s.Meas.Status & ~Samples[Row - 1].Meas.Status;
        if (rising & csAnalysing)
            image = imRowAnalysing;
        if (rising & csStable)
            image = imRowStable;
    }
    return image;
}

bool RowVisible(const TTimeSpan& Span, int64_t Row) {
    const double interval = std::max(Span.SampleInterval, 1);
    const double row = static_cast<double>(Row);
    return row >= Span.MinTime / interval && row <= Span.MaxTime / interval;
}

std::pair<int64_t, int64_t> ShadingChanged(const TTimeSpan& A, const TTimeSpan& B, int64_t First,
                                           int64_t Last) {
    std::pair<int64_t, int64_t> changed{0, -1};
    for (int64_t row = First; row <= Last; ++row) {
        if (RowVisible(A, row) == RowVisible(B, row))
            continue;
        if (changed.second < changed.first)
            changed.first = row;
        changed.second = row;
    }
    return changed;
}

TTimeSpan CentreOn(const TTimeSpan& Span, int64_t Row) {
    const int64_t width = int64_t{Span.MaxTime} - Span.MinTime;
    const int64_t min = Row * std::max(Span.SampleInterval, 1) - width / 2;
    TTimeSpan moved = Span;
    moved.MinTime = static_cast<int32_t>(std::clamp<int64_t>(min, INT32_MIN, INT32_MAX - width));
    moved.MaxTime = static_cast<int32_t>(moved.MinTime + width);
    return moved;
}

TRowColors RowColors(const std::vector<TSample>& Samples, std::size_t Row, bool Selected,
                     const TTimeSpan& Span, TColor Font) {
    if (Selected)
        return {kClHighlightText, kClHighlight, true};
    TRowColors colors{Font, 0, false};
    if (Row < Samples.size() && (Samples[Row].Meas.Status & csOpen))
        colors.Font = kOpenRowFont;
    if (!RowVisible(Span, static_cast<int64_t>(Row))) {
        colors.Brush = kOutsideRowBrush;
        colors.OwnBrush = true;
    }
    return colors;
}

bool TSampleSelection::Contains(int64_t Row) const {
    return FAnchor >= 0 && Row >= std::min(FAnchor, FEnd) && Row <= std::max(FAnchor, FEnd);
}

void TSampleSelection::Select(int64_t Index, bool Shift) {
    if (Shift) {
        FEnd = Index;
        if (FAnchor < 0)
            FAnchor = Index;
    } else {
        FAnchor = FEnd = Index;
    }
}

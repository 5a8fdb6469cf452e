// Auto Offset of a record window's series: a y range of fixed height slides in
// whole steps so that the visible samples, taken in order, stay inside it.
//
// The pass over the visible samples starts from the range the series shows, so
// each new sample would walk every visible sample again. TOffsetFit gives the
// same result without that walk: samples inside the range leave it unchanged,
// so it jumps from one sample outside to the next through per-block extremes,
// and once its path meets the path of the previous pass (same range after the
// same sample) it takes that path's end instead of walking it again.
#pragma once

#include "app/values/RecordData_.h"

#include <cstdint>
#include <deque>
#include <vector>

// MinY and MaxY of a series, in display units.
struct TYRange {
    double Min = 0;
    double Max = 0;
    bool operator==(const TYRange&) const = default;
};

// One step for one value V: the range of height Span moves in steps of
// Span / (Divisions - 3), keeping about a step between V and the nearer edge
// when V lay outside. Span > 0 and Divisions > 3.
void FitSeriesOffset(TYRange& R, double V, double Span, int32_t Divisions);

// How a series' raw words become display values (non-decreasing in the word).
struct TSeriesConversion {
    size_t Serie = 0; // 0 humidity, 1 temperature (absolute), 2 D value
    uint8_t Unit = 0; // humidity mode or temperature unit
    bool ExtendedMode = false;
    double Value(int32_t Raw) const;
    int32_t Raw(const TSample& S) const;
    bool operator==(const TSeriesConversion&) const = default;
};

class TOffsetFit {
public:
    explicit TOffsetFit(const std::vector<TSample>& Samples);
    TOffsetFit(const TOffsetFit&) = delete;
    TOffsetFit& operator=(const TOffsetFit&) = delete;

    // After the samples were replaced; appended samples are followed on their own.
    void Reset();

    // R := the range after FitSeriesOffset for the samples First .. Last in
    // order, starting from R. 0 <= First <= Last < sample count.
    void Fit(const TSeriesConversion& Conv, double Span, int32_t Divisions, int64_t First,
             int64_t Last, TYRange& R);

private:
    static constexpr int64_t kBlock = 64;
    static constexpr size_t kLevels = 3;

    struct TExtremes {
        int16_t Min[3] = {INT16_MAX, INT16_MAX, INT16_MAX};
        int16_t Max[3] = {INT16_MIN, INT16_MIN, INT16_MIN};
    };
    // The range after sample Index, where the pass changed it.
    struct TStep {
        int64_t Index;
        TYRange After;
    };
    // The previous pass of one series.
    struct TPath {
        bool Valid = false;
        TSeriesConversion Conv;
        double Span = 0;
        int32_t Divisions = 0;
        int64_t First = 0;
        int64_t Last = -1;
        TYRange Start;
        std::deque<TStep> Steps;
    };
    // Walks the previous path in order of the sample index.
    class TPathCursor {
    public:
        explicit TPathCursor(const TPath* Path) : FPath(Path) {}
        // The range of the path after sample Index, moving forward only.
        const TYRange& At(int64_t Index);
        // Whether the path holds R after some sample of From .. To (ascending);
        // the first such sample in Where.
        bool Holds(const TYRange& R, int64_t From, int64_t To, int64_t& Where);

    private:
        const TPath* FPath;
        size_t FNext = 0;
    };

    void Summarise();
    double Value(const TSeriesConversion& Conv, int64_t I) const;
    // The first sample of From .. To outside R, or To + 1.
    int64_t NextOutside(const TSeriesConversion& Conv, const TYRange& R, int64_t From,
                        int64_t To) const;

    const std::vector<TSample>& FSamples;
    std::vector<TExtremes> FLevels[kLevels];
    int64_t FSummarised = 0;
    TPath FPaths[3];
};

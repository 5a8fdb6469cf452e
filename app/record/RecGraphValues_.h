// The values a record window's line graph asks for each pixel column: per
// series the first, last, largest and smallest value of the column's samples,
// the conditions of its last sample, the line breaks, and the colour of the
// mark line of the last sample that asks for one (block start and stop, marks,
// condition edges, the selection).
//
// A full view of millions of samples asks about every sample once per repaint;
// the extremes and the last sample that asks for a mark line are therefore kept
// per chunk of 16 samples, per chunk of 16 such chunks, and so on, so a column
// costs one pass over a few chunks of each size, not its samples. The summaries follow
// appended samples on their own; after the samples were replaced (loaded,
// restored, cleared) call Reset.
#pragma once

#include "app/graph/LineGraph_.h"
#include "app/values/RecordData_.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Condition indexes in the graph of a record window.
enum TRecCondition : size_t {
    rcAnalyzing,
    rcStable,
    rcOpen,
    rcHumFail,
    rcTempFail,
    kRecConditionCount
};
// Their captions, in index order.
inline constexpr const char* kRecConditionTexts[kRecConditionCount] = {
    "Analyzing", "Stable", "Open", "Hum. Fail", "Temp. Fail"};
// Whether Condition holds for a sample of this status.
constexpr bool ConditionHolds(TChamberStatus Status, size_t Condition) {
    switch (Condition) {
    case rcAnalyzing:
        return (Status & csAnalysing) != 0;
    case rcStable:
        return (Status & csStable) != 0;
    case rcOpen:
        return (Status & csOpen) != 0;
    case rcHumFail:
        return !(Status & csHumidityValid);
    case rcTempFail:
        return !(Status & csTemperatureValid);
    default:
        return false;
    }
}
// Series indexes.
enum TRecSerie : size_t { rsHumidity, rsTemperature, rsDValue, kRecSerieCount };

// Mark-line colours.
inline constexpr TColor kStopLineColor = 0x000000;
inline constexpr TColor kStartLineColor = 0x0000FF;
inline constexpr TColor kMarkLineColor = 0x000000;
inline constexpr TColor kAnalysingLineColor = 0x00F1FF;
inline constexpr TColor kStableLineColor = 0x00FF00;
inline constexpr TColor kOpenLineColor = 0x808080;

class TRecGraphValues {
public:
    // Samples in a chunk of the finest summary level; each level's chunks hold
    // kChunk chunks of the level below.
    static constexpr int kChunkBits = 4;
    static constexpr int64_t kChunk = int64_t{1} << kChunkBits;
    static constexpr size_t kLevels = 4;

    explicit TRecGraphValues(const std::vector<TSample>& Samples);
    TRecGraphValues(const TRecGraphValues&) = delete;
    TRecGraphValues& operator=(const TRecGraphValues&) = delete;

    // The window's units, as its cached copies hold them.
    uint8_t HumMode = 0;
    uint8_t TempUnit = 0;
    bool ExtendedMode = false;
    // The sample selection, both -1 when nothing is selected.
    int64_t SelAnchor = -1;
    int64_t SelEnd = -1;

    void Reset();

    // The graph's OnGetValues: fills Sender's series and conditions and the
    // column's mark line for the samples Column.First .. Column.Last.
    void LineGraphGetValues(TLineGraph& Sender, TGraphColumn& Column);

private:
    // Per series the smallest and largest raw value; a fourth lane, of no
    // meaning, pads each array to a size merged in one instruction. Defined
    // here to be inlined: a full view merges dozens of them a column.
    struct TExtremes {
        static constexpr size_t kLanes = 4;
        int16_t Min[kLanes] = {INT16_MAX, INT16_MAX, INT16_MAX, INT16_MAX};
        int16_t Max[kLanes] = {INT16_MIN, INT16_MIN, INT16_MIN, INT16_MIN};
        void Include(const TSample& S) {
            const int16_t raw[kLanes] = {S.Meas.Humidity, S.Meas.Temperature, S.Meas.Third, 0};
            for (size_t s = 0; s < kLanes; ++s) {
                Min[s] = std::min(Min[s], raw[s]);
                Max[s] = std::max(Max[s], raw[s]);
            }
        }
        void Include(const TExtremes& E) {
            for (size_t s = 0; s < kLanes; ++s) {
                Min[s] = std::min(Min[s], E.Min[s]);
                Max[s] = std::max(Max[s], E.Max[s]);
            }
        }
    };
    struct TChunk {
        TExtremes Extremes;
        // The last sample of it that asks for a mark line, counted from the
        // chunk's first; -1 when none.
        int32_t LastRequest = -1;
    };
    // The extremes of a range of samples and its last sample that asks for a
    // mark line before the selection is considered (-1 when none).
    struct TSummary {
        TExtremes Extremes;
        int64_t LastRequest = -1;
        void Include(int64_t Start, const TChunk& Chunk) {
            Extremes.Include(Chunk.Extremes);
            if (Chunk.LastRequest >= 0)
                LastRequest = std::max(LastRequest, Start + Chunk.LastRequest);
        }
    };

    // Samples in a chunk of Level: a power of two, so that chunk bounds are masks.
    static constexpr int64_t LevelSize(size_t Level) {
        return int64_t{1} << (kChunkBits * static_cast<int>(Level + 1));
    }

    // Summarises the chunks that lie wholly before the last sample: the last
    // sample may still receive its stop mark.
    void Summarise();
    TSummary Summary(int64_t First, int64_t Last) const;
    void IncludeSamples(TSummary& Summary, int64_t From, int64_t To) const;
    TChamberStatus Rising(int64_t I) const;
    bool Requests(int64_t I) const;
    TColor RequestColor(int64_t I) const;

    const std::vector<TSample>& FSamples;
    std::vector<TChunk> FLevels[kLevels];
    // Samples before this one lie in summarised chunks of every level that fit.
    int64_t FSummarised = 0;
};

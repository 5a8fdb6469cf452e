#include "app/record/RecGraphValues_.h"

#include "app/values/MeasValues_.h"

#include <algorithm>

namespace {

constexpr uint8_t kMarkBits = smBlockStart | smStopped | smInterrupted;
constexpr TChamberStatus kEdgeBits = csAnalysing | csStable | csOpen;

int16_t Raw(const TSample& S, size_t Serie) {
    switch (Serie) {
    case rsHumidity:
        return S.Meas.Humidity;
    case rsTemperature:
        return S.Meas.Temperature;
    default:
        return S.Meas.Third;
    }
}

} // namespace

TRecGraphValues::TRecGraphValues(const std::vector<TSample>& Samples) : FSamples(Samples) {}

void TRecGraphValues::Reset() {
    for (std::vector<TChunk>& level : FLevels)
        level.clear();
    FSummarised = 0;
}

void TRecGraphValues::Summarise() {
    const int64_t summable = std::max<int64_t>(0, static_cast<int64_t>(FSamples.size()) - 1);
    for (size_t l = 0; l < kLevels; ++l) {
        std::vector<TChunk>& level = FLevels[l];
        const int64_t complete = summable / LevelSize(l);
        if (static_cast<int64_t>(level.size()) > complete)
            level.resize(static_cast<size_t>(complete));
        const int64_t partSize = l == 0 ? 1 : LevelSize(l - 1);
        for (int64_t k = static_cast<int64_t>(level.size()); k < complete; ++k) {
            TChunk chunk;
            for (int64_t j = 0; j < kChunk; ++j) {
                const int64_t part = k * kChunk + j;
                int32_t request = -1;
                if (l == 0) {
                    chunk.Extremes.Include(FSamples[static_cast<size_t>(part)]);
                    request = Requests(part) ? 0 : -1;
                } else {
                    const TChunk& below = FLevels[l - 1][static_cast<size_t>(part)];
                    chunk.Extremes.Include(below.Extremes);
                    request = below.LastRequest;
                }
                if (request >= 0)
                    chunk.LastRequest = static_cast<int32_t>(j * partSize) + request;
            }
            level.push_back(chunk);
        }
    }
    FSummarised = summable;
}

// The extremes of samples From .. To - 1 and, searched from the end, the last
// of them that asks for a mark line: only the last one counts.
void TRecGraphValues::IncludeSamples(TSummary& Summary, int64_t From, int64_t To) const {
    for (int64_t i = From; i < To; ++i)
        Summary.Extremes.Include(FSamples[static_cast<size_t>(i)]);
    for (int64_t i = To - 1; i >= From && i > Summary.LastRequest; --i) {
        if (Requests(i)) {
            Summary.LastRequest = i;
            break;
        }
    }
}

// The range shrinks from both ends, through ever larger chunks as its ends
// reach their bounds; the samples past the summaries are taken one by one.
TRecGraphValues::TSummary TRecGraphValues::Summary(int64_t First, int64_t Last) const {
    TSummary summary;
    int64_t lo = First;
    int64_t hi = std::min(Last + 1, std::max(First, FSummarised));
    IncludeSamples(summary, hi, Last + 1);
    const auto aligned = [](int64_t I, int64_t Size) { return (I & (Size - 1)) == 0; };
    const int64_t headEnd = std::min(hi, (lo + kChunk - 1) & ~(kChunk - 1));
    IncludeSamples(summary, lo, headEnd);
    lo = headEnd;
    const int64_t tailStart = std::max(lo, hi & ~(kChunk - 1));
    IncludeSamples(summary, tailStart, hi);
    hi = tailStart;
    for (size_t l = 0; l < kLevels && lo < hi; ++l) {
        const std::vector<TChunk>& level = FLevels[l];
        const int64_t size = LevelSize(l);
        const int bits = kChunkBits * static_cast<int>(l + 1);
        const bool top = l + 1 == kLevels;
        while (lo < hi && (top || !aligned(lo, size * kChunk))) {
            summary.Include(lo, level[static_cast<size_t>(lo >> bits)]);
            lo += size;
        }
        while (lo < hi && !aligned(hi, size * kChunk)) {
            hi -= size;
            summary.Include(hi, level[static_cast<size_t>(hi >> bits)]);
        }
    }
    return summary;
}

TChamberStatus TRecGraphValues::Rising(int64_t I) const {
    if (I == 0)
        return 0;
    return FSamples[static_cast<size_t>(I)].Meas.Status &
           ~FSamples[static_cast<size_t>(I - 1)].Meas.Status & kEdgeBits;
}

bool TRecGraphValues::Requests(int64_t I) const {
    return (FSamples[static_cast<size_t>(I)].Mark & kMarkBits) || Rising(I);
}

// A sample's requests come in the order stop, start, mark, then the analysing,
// stable and open edges; the last one gives the colour.
TColor TRecGraphValues::RequestColor(int64_t I) const {
    const TChamberStatus rising = Rising(I);
    if (rising & csOpen)
        return kOpenLineColor;
    if (rising & csStable)
        return kStableLineColor;
    if (rising & csAnalysing)
        return kAnalysingLineColor;
    const uint8_t mark = FSamples[static_cast<size_t>(I)].Mark;
    if (mark & smInterrupted)
        return kMarkLineColor;
    if (mark & smBlockStart)
        return kStartLineColor;
    return kStopLineColor;
}

void TRecGraphValues::LineGraphGetValues(TLineGraph& Sender, TGraphColumn& Column) {
    Column.Flags = 0;
    const size_t series = std::min<size_t>(kRecSerieCount, Sender.Series.Count());
    const size_t conditions = std::min<size_t>(kRecConditionCount, Sender.Conditions.Count());
    for (size_t s = 0; s < series; ++s)
        Sender.Series[s].LineOptions = 0;
    for (size_t c = 0; c < conditions; ++c)
        Sender.Conditions[c].ConditionOptions = 0;
    const int64_t first = Column.First;
    const int64_t last = Column.Last;
    if (first < 0 || last < first || last >= static_cast<int64_t>(FSamples.size()))
        return;
    Summarise();

    const TSample& firstSample = FSamples[static_cast<size_t>(first)];
    const TSample& lastSample = FSamples[static_cast<size_t>(last)];
    const TSummary summary = Summary(first, last);
    const TExtremes& extremes = summary.Extremes;
    for (size_t s = 0; s < series; ++s) {
        auto value = [&](int16_t R) {
            switch (s) {
            case rsHumidity:
                return HumToReal(HumMode, R, ExtendedMode);
            case rsTemperature:
                return TempToReal(TempUnit, R, false, ExtendedMode);
            default:
                return DValueToReal(R);
            }
        };
        TLineSerie& serie = Sender.Series[s];
        serie.FirstVal = value(Raw(firstSample, s));
        serie.MaxVal = value(extremes.Max[s]);
        serie.MinVal = value(extremes.Min[s]);
        serie.LastVal = value(Raw(lastSample, s));
    }

    const TChamberStatus status = lastSample.Meas.Status;
    for (size_t c = 0; c < conditions; ++c)
        Sender.Conditions[c].Visible = ConditionHolds(status, c);

    // The selection is the last request of its sample.
    const int64_t selLo = std::max(std::min(SelAnchor, SelEnd), first);
    const int64_t selHi = std::min(std::max(SelAnchor, SelEnd), last);
    const int64_t selected = selLo <= selHi ? selHi : -1;
    const int64_t request = summary.LastRequest;
    if (selected >= 0 && selected >= request) {
        Column.Flags = kColumnMarkLine;
        Column.MarkColor = kClHighlight;
    } else if (request >= 0) {
        Column.Flags = kColumnMarkLine;
        Column.MarkColor = RequestColor(request);
    }

    if (lastSample.Mark & (smBlockStart | smInterrupted)) {
        for (size_t s = 0; s < series; ++s)
            Sender.Series[s].LineOptions = loNoL;
        for (size_t c = 0; c < conditions; ++c)
            Sender.Conditions[c].ConditionOptions = coNoC;
        return;
    }
    if (series > rsHumidity && !(status & csHumidityValid))
        Sender.Series[rsHumidity].LineOptions = loNoL;
    if (series > rsTemperature && !(status & csTemperatureValid))
        Sender.Series[rsTemperature].LineOptions = loNoL;
}

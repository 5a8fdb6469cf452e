#include "app/record/RecGraphValues_.h"

#include "app/values/MeasValues_.h"

#include <algorithm>
#include <bit>

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

void TRecGraphValues::TExtremes::Include(const TSample& S) {
    for (size_t s = 0; s < kRecSerieCount; ++s) {
        Min[s] = std::min(Min[s], Raw(S, s));
        Max[s] = std::max(Max[s], Raw(S, s));
    }
}

void TRecGraphValues::TExtremes::Include(const TExtremes& E) {
    for (size_t s = 0; s < kRecSerieCount; ++s) {
        Min[s] = std::min(Min[s], E.Min[s]);
        Max[s] = std::max(Max[s], E.Max[s]);
    }
}

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
        for (int64_t k = static_cast<int64_t>(level.size()); k < complete; ++k) {
            TChunk chunk;
            for (int64_t j = k * kChunk; j < (k + 1) * kChunk; ++j) {
                if (l == 0) {
                    chunk.Extremes.Include(FSamples[static_cast<size_t>(j)]);
                    chunk.Requests = chunk.Requests || Requests(j);
                } else {
                    const TChunk& part = FLevels[l - 1][static_cast<size_t>(j)];
                    chunk.Extremes.Include(part.Extremes);
                    chunk.Requests = chunk.Requests || part.Requests;
                }
            }
            level.push_back(chunk);
        }
    }
    FSummarised = summable;
}

// The range shrinks from both ends, through ever larger chunks as its ends
// reach their bounds; the samples past the summaries are taken one by one.
TRecGraphValues::TExtremes TRecGraphValues::Extremes(int64_t First, int64_t Last) const {
    TExtremes extremes;
    int64_t lo = First;
    int64_t hi = std::min(Last + 1, std::max(First, FSummarised));
    for (int64_t i = hi; i <= Last; ++i)
        extremes.Include(FSamples[static_cast<size_t>(i)]);
    const auto aligned = [](int64_t I, int64_t Size) { return (I & (Size - 1)) == 0; };
    while (lo < hi && !aligned(lo, kChunk))
        extremes.Include(FSamples[static_cast<size_t>(lo++)]);
    while (lo < hi && !aligned(hi, kChunk))
        extremes.Include(FSamples[static_cast<size_t>(--hi)]);
    for (size_t l = 0; l < kLevels && lo < hi; ++l) {
        const std::vector<TChunk>& level = FLevels[l];
        const int64_t size = LevelSize(l);
        const int bits = kChunkBits * static_cast<int>(l + 1);
        const bool top = l + 1 == kLevels;
        while (lo < hi && (top || !aligned(lo, size * kChunk))) {
            extremes.Include(level[static_cast<size_t>(lo >> bits)].Extremes);
            lo += size;
        }
        while (lo < hi && !aligned(hi, size * kChunk)) {
            extremes.Include(level[static_cast<size_t>((hi >> bits) - 1)].Extremes);
            hi -= size;
        }
    }
    return extremes;
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

// Backwards over the largest chunks without a request: the largest that ends
// at a sample is told by the bits of its end; a chunk with a request is
// searched through its smaller chunks.
int64_t TRecGraphValues::LastRequest(int64_t First, int64_t Last) const {
    for (int64_t i = Last; i >= First;) {
        const int64_t end = i + 1;
        int level = -1;
        if (end <= FSummarised) {
            const int aligned = std::countr_zero(static_cast<uint64_t>(end)) / kChunkBits;
            const int fits = (std::bit_width(static_cast<uint64_t>(end - First)) - 1) / kChunkBits;
            level = std::min({aligned, fits, static_cast<int>(kLevels)}) - 1;
        }
        for (; level >= 0; --level) {
            const size_t k = static_cast<size_t>((end >> (kChunkBits * (level + 1))) - 1);
            if (!FLevels[level][k].Requests)
                break;
        }
        if (level >= 0) {
            i -= LevelSize(static_cast<size_t>(level));
            continue;
        }
        if (Requests(i))
            return i;
        --i;
    }
    return -1;
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
    const TExtremes extremes = Extremes(first, last);
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
    const int64_t request = LastRequest(first, last);
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

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

TRecGraphValues::TRecGraphValues(const std::vector<TSample>& Samples) : FSamples(Samples) {
    FLevelSize[0] = kChunk;
    for (size_t l = 1; l < kLevels; ++l)
        FLevelSize[l] = FLevelSize[l - 1] * kChunk;
}

void TRecGraphValues::Reset() {
    for (std::vector<TChunk>& level : FLevels)
        level.clear();
}

void TRecGraphValues::Summarise() {
    const int64_t summable = std::max<int64_t>(0, static_cast<int64_t>(FSamples.size()) - 1);
    for (size_t l = 0; l < kLevels; ++l) {
        std::vector<TChunk>& level = FLevels[l];
        const int64_t complete = summable / FLevelSize[l];
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
}

const TRecGraphValues::TChunk* TRecGraphValues::ChunkAt(size_t Level, int64_t I, int64_t First,
                                                        int64_t Last, bool Forward) const {
    const int64_t size = FLevelSize[Level];
    const int64_t start = Forward ? I : I - size + 1;
    if (start % size != 0 || start < First || start + size - 1 > Last)
        return nullptr;
    const auto k = static_cast<size_t>(start / size);
    return k < FLevels[Level].size() ? &FLevels[Level][k] : nullptr;
}

TRecGraphValues::TExtremes TRecGraphValues::Extremes(int64_t First, int64_t Last) const {
    TExtremes extremes;
    for (int64_t i = First; i <= Last;) {
        size_t l = kLevels;
        while (l > 0 && !ChunkAt(l - 1, i, First, Last, true))
            --l;
        if (l == 0) {
            extremes.Include(FSamples[static_cast<size_t>(i)]);
            ++i;
        } else {
            extremes.Include(ChunkAt(l - 1, i, First, Last, true)->Extremes);
            i += FLevelSize[l - 1];
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

// Backwards over the largest chunks without a request; a chunk with one is
// searched through its smaller chunks.
int64_t TRecGraphValues::LastRequest(int64_t First, int64_t Last) const {
    for (int64_t i = Last; i >= First;) {
        int64_t skip = 0;
        for (size_t l = kLevels; l > 0 && skip == 0; --l) {
            const TChunk* chunk = ChunkAt(l - 1, i, First, Last, false);
            if (chunk && !chunk->Requests)
                skip = FLevelSize[l - 1];
        }
        if (skip > 0) {
            i -= skip;
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

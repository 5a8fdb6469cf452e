#include "app/record/OffsetFit_.h"

#include "app/base/Tools_.h"
#include "app/values/MeasValues_.h"

#include <algorithm>

void FitSeriesOffset(TYRange& R, double V, double Span, int32_t Divisions) {
    const double step = Span / (Divisions - 3);
    R.Min = RoundToStep(R.Min, step);
    R.Max = R.Min + Span;
    if (R.Max < V) {
        R.Max = RoundToStep(V + step, step);
        R.Min = R.Max - Span;
    }
    if (R.Min > V) {
        R.Min = RoundToStep(V - step, step);
        R.Max = R.Min + Span;
    }
}

double TSeriesConversion::Value(int32_t Raw) const {
    switch (Serie) {
    case 0:
        return HumToReal(Unit, Raw, ExtendedMode);
    case 1:
        return TempToReal(Unit, Raw, false, ExtendedMode);
    default:
        return DValueToReal(Raw);
    }
}

int32_t TSeriesConversion::Raw(const TSample& S) const {
    switch (Serie) {
    case 0:
        return S.Meas.Humidity;
    case 1:
        return S.Meas.Temperature;
    default:
        return S.Meas.Third;
    }
}

const TYRange& TOffsetFit::TPathCursor::At(int64_t Index) {
    while (FNext < FPath->Steps.size() && FPath->Steps[FNext].Index <= Index)
        ++FNext;
    return FNext == 0 ? FPath->Start : FPath->Steps[FNext - 1].After;
}

bool TOffsetFit::TPathCursor::Holds(const TYRange& R, int64_t From, int64_t To, int64_t& Where) {
    if (!FPath)
        return false;
    From = std::max(From, FPath->First - 1);
    To = std::min(To, FPath->Last);
    if (From > To)
        return false;
    if (At(From) == R) {
        Where = From;
        return true;
    }
    for (; FNext < FPath->Steps.size() && FPath->Steps[FNext].Index <= To; ++FNext) {
        if (FPath->Steps[FNext].After == R) {
            Where = FPath->Steps[FNext].Index;
            ++FNext;
            return true;
        }
    }
    return false;
}

TOffsetFit::TOffsetFit(const std::vector<TSample>& Samples) : FSamples(Samples) {}

void TOffsetFit::Reset() {
    for (auto& level : FLevels)
        level.clear();
    FSummarised = 0;
    for (TPath& p : FPaths)
        p.Valid = false;
}

void TOffsetFit::Summarise() {
    const auto count = static_cast<int64_t>(FSamples.size());
    for (; FSummarised < count; ++FSummarised) {
        const TSample& s = FSamples[static_cast<size_t>(FSummarised)];
        const int16_t raw[3] = {s.Meas.Humidity, s.Meas.Temperature, s.Meas.Third};
        int64_t size = kBlock;
        for (auto& level : FLevels) {
            const auto block = static_cast<size_t>(FSummarised / size);
            if (block == level.size())
                level.emplace_back();
            TExtremes& e = level[block];
            for (size_t i = 0; i < 3; ++i) {
                e.Min[i] = std::min(e.Min[i], raw[i]);
                e.Max[i] = std::max(e.Max[i], raw[i]);
            }
            size *= kBlock;
        }
    }
}

double TOffsetFit::Value(const TSeriesConversion& Conv, int64_t I) const {
    return Conv.Value(Conv.Raw(FSamples[static_cast<size_t>(I)]));
}

int64_t TOffsetFit::NextOutside(const TSeriesConversion& Conv, const TYRange& R, int64_t From,
                                int64_t To) const {
    auto outside = [&](int32_t Lo, int32_t Hi) {
        return Conv.Value(Hi) > R.Max || Conv.Value(Lo) < R.Min;
    };
    int64_t i = From;
    while (i <= To) {
        // The largest block that starts here, ends by To and lies wholly inside.
        bool skipped = false;
        int64_t size = kBlock;
        for (size_t l = 0; l < kLevels; ++l)
            size *= kBlock;
        for (size_t l = kLevels; l-- > 0 && !skipped;) {
            size /= kBlock;
            if (i % size != 0 || i + size - 1 > To)
                continue;
            const TExtremes& e = FLevels[l][static_cast<size_t>(i / size)];
            if (outside(e.Min[Conv.Serie], e.Max[Conv.Serie]))
                continue;
            i += size;
            skipped = true;
        }
        if (skipped)
            continue;
        const int32_t raw = Conv.Raw(FSamples[static_cast<size_t>(i)]);
        if (outside(raw, raw))
            return i;
        ++i;
    }
    return To + 1;
}

void TOffsetFit::Fit(const TSeriesConversion& Conv, double Span, int32_t Divisions, int64_t First,
                     int64_t Last, TYRange& R) {
    Summarise();
    TPath& old = FPaths[Conv.Serie];
    const bool reuse =
        old.Valid && old.Conv == Conv && old.Span == Span && old.Divisions == Divisions;
    TPathCursor cursor(reuse ? &old : nullptr);
    const double step = Span / (Divisions - 3);
    // A range that only values outside it can move.
    auto settled = [&](const TYRange& X) {
        return RoundToStep(X.Min, step) == X.Min && X.Min + Span == X.Max;
    };

    const TYRange start = R;
    std::vector<TStep> walked;
    bool merged = false;
    int64_t i = First;
    // Where the previous path held R too, the rest of it is this pass's rest.
    auto merge = [&](int64_t From, int64_t To) {
        int64_t where = 0;
        if (merged || !cursor.Holds(R, From, To, where))
            return false;
        const int64_t end = std::min(Last, old.Last);
        while (!old.Steps.empty() && old.Steps.front().Index <= where)
            old.Steps.pop_front();
        while (!old.Steps.empty() && old.Steps.back().Index > end)
            old.Steps.pop_back();
        if (!old.Steps.empty())
            R = old.Steps.back().After;
        old.Steps.insert(old.Steps.begin(), walked.begin(), walked.end());
        merged = true;
        i = end + 1;
        return true;
    };
    auto stepAt = [&](int64_t I) {
        const TYRange before = R;
        FitSeriesOffset(R, Value(Conv, I), Span, Divisions);
        if (R == before)
            return;
        if (merged)
            old.Steps.push_back({I, R});
        else
            walked.push_back({I, R});
    };

    merge(First - 1, First - 1);
    while (i <= Last) {
        if (!settled(R)) {
            stepAt(i);
            if (!merge(i, i))
                ++i;
            continue;
        }
        const int64_t next = NextOutside(Conv, R, i, Last);
        if (merge(i, next - 1))
            continue;
        if (next > Last)
            break;
        stepAt(next);
        if (!merge(next, next))
            i = next + 1;
    }

    if (!merged)
        old.Steps.assign(walked.begin(), walked.end());
    old.Valid = true;
    old.Conv = Conv;
    old.Span = Span;
    old.Divisions = Divisions;
    old.First = First;
    old.Last = Last;
    old.Start = start;
}

#include "app/record/SampleRate_.h"

#include "app/base/Tools_.h"

std::string SampleRateText(int32_t Seconds) {
    return SecsToMS(Seconds) + " min";
}

TSampleRateBox::TSampleRateBox() {
    for (int32_t s : kSampleRates)
        FItems.push_back(SampleRateText(s));
}

void TSampleRateBox::SetItemIndex(int Index) {
    if (Index >= 0 && Index < static_cast<int>(FItems.size()))
        FItemIndex = Index;
}

int32_t TSampleRateBox::GetSampleRate(const std::vector<TSample>& Samples) const {
    if (!ShowsCustom())
        return kSampleRates[FItemIndex];
    const int32_t fallback = FGraphInterval >= 1 ? FGraphInterval : 1;
    if (Samples.size() < 3)
        return fallback;
    // Signed: equal stamps or a midnight between two samples give no interval.
    const auto gap = [&](std::size_t i) {
        return int64_t{Samples[i + 1].Stamp.Seconds} - int64_t{Samples[i].Stamp.Seconds};
    };
    for (std::size_t i : {std::size_t{0}, std::size_t{1}})
        if (const int64_t d = gap(i); d >= 1 && d <= INT32_MAX)
            return static_cast<int32_t>(d);
    return fallback;
}

void TSampleRateBox::SetSampleRate(int32_t Interval) {
    FGraphInterval = Interval;
    for (int i = 0; i < kFixedSampleRates; ++i)
        if (kSampleRates[i] == Interval) {
            FItemIndex = i;
            return;
        }
    DropCustom();
    FItems.push_back(SampleRateText(Interval));
    FItemIndex = kFixedSampleRates;
}

void TSampleRateBox::DropCustom() {
    FItems.resize(kFixedSampleRates);
    if (FItemIndex >= kFixedSampleRates)
        FItemIndex = kFixedSampleRates - 1;
}

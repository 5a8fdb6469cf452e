// The sample-rate box of a record window: eight fixed intervals and at most one
// further entry for an interval not among them (data loaded from a file).
#pragma once

#include "app/values/RecordData_.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t kSampleRates[] = {1, 2, 10, 30, 60, 120, 300, 600};
inline constexpr int kFixedSampleRates = 8;
inline constexpr int kDefaultSampleRateIndex = 2;

class TSampleRateBox {
public:
    TSampleRateBox();

    const std::vector<std::string>& Items() const { return FItems; }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Index);
    bool ShowsCustom() const { return FItemIndex >= kFixedSampleRates; }

    // The graph's sample interval, which the box keeps in step.
    int32_t GraphInterval() const { return FGraphInterval; }

    // Seconds between samples. The custom entry reads them from the samples and
    // falls back to the graph's interval; never below 1, so a recording never
    // samples every event by accident.
    int32_t GetSampleRate(const std::vector<TSample>& Samples) const;
    // Selects Interval's entry, or makes it the custom entry.
    void SetSampleRate(int32_t Interval);
    // Drops the custom entry; the selection stays where it is.
    void DropCustom();

private:
    std::vector<std::string> FItems;
    int FItemIndex = kDefaultSampleRateIndex;
    int32_t FGraphInterval = kSampleRates[kDefaultSampleRateIndex];
};

// The box's text for Seconds: "00:10 min".
std::string SampleRateText(int32_t Seconds);

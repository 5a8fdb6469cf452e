// A record window for model tests: its states are plain fields, Show and Close
// are counted; Show raises while failShow is set.
#pragma once

#include "app/tree/TreeTypes_.h"

#include <stdexcept>

class TFakeRecordWindow : public IRecordWindow {
public:
    void Show() override {
        ++shown;
        if (failShow)
            throw std::runtime_error("cannot show");
    }
    void Close() override { ++closed; }
    bool Recording() const override { return recording; }
    bool Modified() const override { return modified; }
    bool HasSamples() const override { return hasSamples; }
    TUnitOverrides UnitOverrides() const override { return overrides; }
    void AddLiveSample() override {}
    void ShowActualValues() override {}
    void UpdateUnits() override {}

    bool recording = false;
    bool modified = false;
    bool hasSamples = false;
    bool failShow = false;
    TUnitOverrides overrides;
    int shown = 0;
    int closed = 0;
};

// A record window for model tests: its states are plain fields, Show and Close
// are counted.
#pragma once

#include "app/tree/TreeTypes_.h"

class TFakeRecordWindow : public IRecordWindow {
public:
    void Show() override { ++shown; }
    void Close() override { ++closed; }
    bool Recording() const override { return recording; }
    bool Modified() const override { return modified; }
    TUnitOverrides UnitOverrides() const override { return overrides; }

    bool recording = false;
    bool modified = false;
    TUnitOverrides overrides;
    int shown = 0;
    int closed = 0;
};

// What a record window hands to the series properties dialog (and the units
// dialog behind it) and takes back from it. The dialogs live with the settings;
// the window reaches them through ISeriesDialogs.
#pragma once

#include "app/settings/PreferencesGraph_.h"

#include <array>
#include <cstdint>

struct TSeriesEdit {
    // Humidity, temperature, D value.
    std::array<TSeriesSettings, 3> Series = {};
    // The window's units in force: humidity mode, temperature unit, date format.
    std::array<uint8_t, 3> Units = {};
    // The window's unit overrides in the same order; kFromInstrument or a code.
    std::array<int32_t, 3> UnitChoices = {kFromInstrument, kFromInstrument, kFromInstrument};
    bool AutoOffset = false;
};

// The record window the dialogs act on.
class ISeriesWindow {
public:
    // The dialog's values, on OK and at the dialog's own apply step.
    virtual void ApplySeriesProps(const TSeriesEdit& Edit) = 0;
    // The units dialog's apply step: the window's three unit overrides
    // (humidity, temperature, date format) := Choices, its units updated and,
    // for a live window, the main window's refresh.
    virtual void ApplyUnitChoices(const std::array<int32_t, 3>& Choices) = 0;
    // The units it shows now: humidity mode, temperature unit, date format.
    virtual std::array<uint8_t, 3> UnitsInForce() const = 0;
    // Its three unit overrides now, in the same order.
    virtual std::array<int32_t, 3> UnitChoices() const = 0;
    // The dialog cancelled: the window's view as it is now, applied again.
    virtual void RestoreSeriesView() = 0;

protected:
    ~ISeriesWindow() = default;
};

class ISeriesDialogs {
public:
    // Shows the series properties dialog modally with Edit for Window.
    virtual void ShowSeriesProperties(const TSeriesEdit& Edit, ISeriesWindow& Window) = 0;

protected:
    ~ISeriesDialogs() = default;
};

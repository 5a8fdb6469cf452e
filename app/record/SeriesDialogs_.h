// What a record window hands to the series properties dialog (and the units
// dialog behind it) and takes back from it. The dialogs live with the settings;
// the window reaches them through ISeriesDialogs.
#pragma once

#include "app/settings/PreferencesGraph_.h"

#include <array>
#include <cstdint>
#include <functional>

struct TSeriesEdit {
    // Humidity, temperature, D value.
    std::array<TSeriesSettings, 3> Series = {};
    // The window's units in force: humidity mode, temperature unit, date format.
    std::array<uint8_t, 3> Units = {};
    // The window's unit overrides in the same order; kFromInstrument or a code.
    std::array<int32_t, 3> UnitChoices = {kFromInstrument, kFromInstrument, kFromInstrument};
    bool AutoOffset = false;
};

class ISeriesDialogs {
public:
    // Shows the series properties dialog modally with Edit; Apply takes the
    // dialog's values on OK and at the dialog's own apply step.
    virtual void ShowSeriesProperties(const TSeriesEdit& Edit,
                                      const std::function<void(const TSeriesEdit&)>& Apply) = 0;

protected:
    ~ISeriesDialogs() = default;
};

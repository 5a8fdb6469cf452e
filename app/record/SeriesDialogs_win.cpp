#include "app/record/SeriesDialogs_win.h"

namespace {

TSeriesValues ValuesOf(const TSeriesSettings& S) {
    return {S.Visible != 0, S.Color, S.YMin, S.YMax, S.Range};
}

TSeriesSettings SettingsOf(const TSeriesValues& V) {
    TSeriesSettings s = {};
    s.Visible = V.Visible ? 1 : 0;
    s.Color = V.Color;
    s.YMin = V.YMin;
    s.YMax = V.YMax;
    s.Range = V.Range;
    return s;
}

TUnitChoices UnitChoicesOf(const std::array<int32_t, 3>& C) {
    return {C[0], C[1], C[2]};
}

std::array<int32_t, 3> ArrayOf(const TUnitChoices& C) {
    return {C.Hum, C.Temp, C.Date};
}

// The window as the dialog's target.
class TWindowTarget : public ISeriesTarget {
public:
    explicit TWindowTarget(ISeriesWindow& Window) : FWindow(Window) {}

    TUnitChoices UnitOverrides() override { return UnitChoicesOf(FWindow.UnitChoices()); }
    TResolvedUnits UnitSettings() override {
        const std::array<uint8_t, 3> u = FWindow.UnitsInForce();
        return {u[0], u[1], u[2]};
    }
    void ApplySeriesProps(const TSeriesDialogResult& Result) override {
        TSeriesEdit e;
        for (std::size_t s = 0; s < e.Series.size(); ++s)
            e.Series[s] = SettingsOf(Result.Series[s]);
        e.Units = FWindow.UnitsInForce();
        e.UnitChoices = ArrayOf(Result.Units);
        e.AutoOffset = Result.AutoOffset;
        FWindow.ApplySeriesProps(e);
    }
    void RestoreSeriesView() override { FWindow.RestoreSeriesView(); }
    void ApplyUnitChoices(const TUnitChoices& Choices) override {
        FWindow.ApplyUnitChoices(ArrayOf(Choices));
    }

private:
    ISeriesWindow& FWindow;
};

} // namespace

void TSeriesDialogs::ShowSeriesProperties(const TSeriesEdit& Edit, ISeriesWindow& Window) {
    TWindowTarget target(Window);
    std::array<TSeriesValues, kSeriesCount> series;
    for (std::size_t s = 0; s < series.size(); ++s)
        series[s] = ValuesOf(Edit.Series[s]);
    FForm.ExecuteFor(target, series, UnitChoicesOf(Edit.UnitChoices), Edit.AutoOffset);
}

// The series properties dialog and the units dialog behind it, single
// instances of the settings, as record windows reach them.
#pragma once

#include "app/record/SeriesDialogs_.h"
#include "app/settings/SeriesPropForm_win.h"

class TSeriesDialogs : public ISeriesDialogs {
public:
    explicit TSeriesDialogs(TSetSeriesPropForm& Form) : FForm(Form) {}

    void ShowSeriesProperties(const TSeriesEdit& Edit, ISeriesWindow& Window) override;

private:
    TSetSeriesPropForm& FForm;
};

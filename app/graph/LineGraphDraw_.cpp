// How a TLineGraph paints itself: the panel around the field, then on the field
// the grid, the series pass over the pixel columns, annotations, time and y
// labels and the zoom marker. Every routine restores the canvas state it changes.
#include "app/graph/LineGraph_.h"

#include <algorithm>
#include <cmath>

namespace {

// A number with Decimals decimals (halves away from zero) in the locale's format.
std::string FloatText(int32_t Decimals, double Value) {
    const int32_t decimals = std::clamp(Decimals, 0, 10);
    std::string text = Format("%.*f", decimals, RoundDecimals(decimals, Value) + 0.0);
    std::replace(text.begin(), text.end(), '.', DecimalSeparator());
    return text;
}

std::string TimeLabelText(double Seconds) {
    if (Seconds >= 86400)
        return FloatText(1, Seconds / 24 / 60 / 60) + "[day]";
    if (Seconds >= 3600)
        return FloatText(1, Seconds / 60 / 60) + "[h]";
    if (Seconds >= 60)
        return FloatText(1, Seconds / 60) + "[min]";
    return FloatText(1, Seconds) + "[sec]";
}

TRect Grown(const TRect& R, int32_t By) {
    return {R.Left - By, R.Top - By, R.Right + By, R.Bottom + By};
}

} // namespace

void TLineGraph::LineToIncl(TGraphCanvas& Canvas, int32_t X, int32_t Y) {
    Canvas.LineTo(X, Y);
    Canvas.SetPixel(X, Y, Canvas.State.PenColor);
}

// The field follows the panel as if anchored to all four sides; in sample-count
// mode it moves in where a label would not fit the margins.
void TLineGraph::LayoutField(TGraphCanvas& Canvas) {
    int32_t left = Frame.Left();
    int32_t width = FClientWidth - Frame.Right() - Frame.Left() - 1;
    int32_t height = FClientHeight - Frame.Top() - Frame.Bottom() - 1;
    SampleCountLabels.assign(static_cast<size_t>(FXDivisions + 2), std::string());
    if (FShowSampleCount) {
        for (size_t a = 0; a < SampleCountLabels.size(); ++a) {
            const double t =
                static_cast<double>(TimeSpan()) * static_cast<double>(a) / (FXDivisions + 1) +
                FMinTime;
            SampleCountLabels[a] = FloatText(0, t / Interval());
        }
        const int32_t firstHalf = Canvas.TextWidth(SampleCountLabels.front()) / 2;
        if (firstHalf > Frame.Left())
            left = firstHalf + 2;
        const int32_t lastHalf = Canvas.TextWidth(SampleCountLabels.back()) / 2;
        if (lastHalf > Frame.Right())
            width = FClientWidth - (lastHalf + left + 2);
        const int32_t textHeight = Canvas.TextHeight(SampleCountLabels.front());
        if (textHeight + 6 > Frame.Bottom())
            height = FClientHeight - (textHeight + Frame.Top() + 6);
    }
    // The field keeps a size of at least 10 x 10 pixels.
    width = std::max(10, width);
    height = std::max(10, height);
    FField = {left, Frame.Top(), left + width, Frame.Top() + height};
}

void TLineGraph::Paint(TGraphCanvas& Canvas, int32_t BevelWidth) {
    TKeepCanvasState keep(Canvas);
    const TRect client{0, 0, FClientWidth, FClientHeight};
    Canvas.SetField(client);
    // Outer bevel raised, inner lowered.
    Canvas.Frame3D(client, kClLight, kClShadow, BevelWidth);
    Canvas.State.BrushColor = kClPanel;
    Canvas.State.BrushClear = false;
    LayoutField(Canvas);
    FillAround(Canvas, Grown(client, -BevelWidth), FField);
    Canvas.Frame3D(Grown(FField, BevelWidth), kClShadow, kClLight, BevelWidth);
    Canvas.State.BrushColor = GraphColor;
    Canvas.FillRect(FField);
    Canvas.State.BrushColor = kClPanel;
    CalcXGrid();
    CalcYGrid();
    if (!FShowSampleCount)
        return;
    Canvas.State.PenColor = Canvas.State.FontColor;
    Canvas.State.Transparent = true;
    const int32_t y0 = FField.Top + FieldHeight() + BevelWidth;
    const int32_t x0 = FField.Left + BevelWidth - 1;
    for (size_t a = 0; a < XGrid.size(); ++a) {
        const int32_t x = XGrid[a] + x0;
        Canvas.MoveTo(x, y0);
        LineToIncl(Canvas, x, y0 + 4);
        const std::string& label = SampleCountLabels[a];
        Canvas.WriteText(x - Canvas.TextWidth(label) / 2, y0 + 4, label);
    }
}

// The panel inside its bevel but for the field, which is filled on its own:
// a field of a million pixels is not filled twice.
void TLineGraph::FillAround(TGraphCanvas& Canvas, const TRect& Panel, const TRect& Field) {
    const TRect inner{std::clamp(Field.Left, Panel.Left, Panel.Right),
                      std::clamp(Field.Top, Panel.Top, Panel.Bottom),
                      std::clamp(Field.Right, Panel.Left, Panel.Right),
                      std::clamp(Field.Bottom, Panel.Top, Panel.Bottom)};
    if (inner.Left >= inner.Right || inner.Top >= inner.Bottom) {
        Canvas.FillRect(Panel);
        return;
    }
    const TRect parts[] = {{Panel.Left, Panel.Top, Panel.Right, inner.Top},
                           {Panel.Left, inner.Top, inner.Left, inner.Bottom},
                           {inner.Right, inner.Top, Panel.Right, inner.Bottom},
                           {Panel.Left, inner.Bottom, Panel.Right, Panel.Bottom}};
    for (const TRect& part : parts)
        if (part.Left < part.Right && part.Top < part.Bottom)
            Canvas.FillRect(part);
}

void TLineGraph::DrawFieldPaint(TGraphCanvas& Canvas) {
    Canvas.SetField(FField);
    DrawGrid(Canvas);
    DrawSeries(Canvas);
    DrawAnnotations(Canvas);
    DrawTimeLabels(Canvas);
    DrawYLabels(Canvas);
    DrawZoomMarker(Canvas);
}

void TLineGraph::DrawGrid(TGraphCanvas& Canvas) {
    TKeepCanvasState keep(Canvas);
    Canvas.State.PenColor = GridColor;
    for (int32_t i = 1; i <= FXDivisions; ++i) {
        Canvas.MoveTo(XGrid[i], 0);
        LineToIncl(Canvas, XGrid[i], FieldHeight() - 1);
    }
    for (int32_t i = 1; i <= FYDivisions; ++i) {
        Canvas.MoveTo(0, YGrid[i]);
        LineToIncl(Canvas, FieldWidth() - 1, YGrid[i]);
    }
}

void TLineGraph::DrawSeries(TGraphCanvas& Canvas) {
    const int64_t count = Series.PointCount;
    if (count <= 0)
        return;
    TKeepCanvasState keep(Canvas);
    const int32_t rowH = std::abs(Canvas.FontHeight());
    const double spp = GetSecPerPixel();
    std::vector<double> upp(Series.Count());
    for (size_t s = 0; s < upp.size(); ++s)
        upp[s] = UnitsPerPixel(s);
    for (size_t c = 0; c < Conditions.Count(); ++c) {
        TCondition& cond = Conditions[c];
        cond.Visible = false;
        cond.WasActive = false;
        cond.TextLeft = -1;
        cond.Row = -1;
        cond.RowUsed = false;
    }
    for (size_t s = 0; s < Series.Count(); ++s)
        Series[s].PrevPoint.X = -1;
    AskColumns(spp);
    int32_t prevX = 0;
    for (size_t i = 0; i < FPassColumns.size(); ++i) {
        RestoreColumn(i);
        const TPassColumn& column = FPassColumns[i];
        const int32_t x = column.X;
        if (column.Flags & kColumnMarkLine) {
            Canvas.State.PenColor = column.MarkColor;
            Canvas.MoveTo(x, 0);
            Canvas.LineTo(x, FieldHeight());
        }
        DrawConditions(Canvas, x, prevX, rowH);
        DrawSerieColumns(Canvas, x, spp, upp);
        prevX = x;
    }
}

void TLineGraph::AskColumns(double Spp) {
    FPassColumns.clear();
    FPassSeries.clear();
    FPassConditions.clear();
    const int64_t count = Series.PointCount;
    const double limit = DrawLimit(Spp);
    int64_t n = FirstDrawn();
    int32_t nextX = -2147483647;
    TGraphColumn column;
    while (nextX < limit && n <= count - 1) {
        const int32_t x = SampleToX(n, Spp);
        column.First = n;
        n = ColumnEnd(n, x, Spp);
        nextX = SampleToX(n, Spp);
        column.Last = n - 1;
        DoGetValues(column);
        FPassColumns.push_back({x, column.Flags, column.MarkColor});
        for (size_t s = 0; s < Series.Count(); ++s) {
            const TLineSerie& serie = Series[s];
            FPassSeries.push_back(
                {serie.FirstVal, serie.LastVal, serie.MaxVal, serie.MinVal, serie.LineOptions});
        }
        for (size_t c = 0; c < Conditions.Count(); ++c)
            FPassConditions.push_back({Conditions[c].Visible, Conditions[c].ConditionOptions});
    }
}

// Series and conditions as OnGetValues left them for column Index.
void TLineGraph::RestoreColumn(size_t Index) {
    for (size_t s = 0; s < Series.Count(); ++s) {
        const TPassSerie& values = FPassSeries[Index * Series.Count() + s];
        TLineSerie& serie = Series[s];
        serie.FirstVal = values.FirstVal;
        serie.LastVal = values.LastVal;
        serie.MaxVal = values.MaxVal;
        serie.MinVal = values.MinVal;
        serie.LineOptions = values.LineOptions;
    }
    for (size_t c = 0; c < Conditions.Count(); ++c) {
        const TPassCondition& values = FPassConditions[Index * Conditions.Count() + c];
        Conditions[c].Visible = values.Visible;
        Conditions[c].ConditionOptions = values.ConditionOptions;
    }
}

int64_t TLineGraph::FirstDrawn() const {
    // A window that starts before the data starts at its first sample.
    return std::max<int64_t>(0, FMinTime / Interval());
}

double TLineGraph::DrawLimit(double Spp) const {
    // One sample step past the right edge, so that lines leave the field.
    return std::trunc(Interval() / Spp) + FieldWidth() + 2;
}

// The pass draws the columns from the first drawn sample's while each starts
// left of the limit; a column holds the samples of one x.
bool TLineGraph::SampleDrawn(int64_t N) const {
    const int64_t first = FirstDrawn();
    if (N < first)
        return false;
    const double spp = GetSecPerPixel();
    const int32_t x = SampleToX(N, spp);
    return x == SampleToX(first, spp) || x < DrawLimit(spp);
}

void TLineGraph::DrawConditions(TGraphCanvas& Canvas, int32_t X, int32_t PrevX, int32_t RowH) {
    for (size_t c = 0; c < Conditions.Count(); ++c) {
        TCondition& cond = Conditions[c];
        if (cond.Visible && cond.WasActive) {
            Canvas.State.BrushColor = cond.Color;
            Canvas.State.BrushClear = false;
            if (!(cond.ConditionOptions & coNoC))
                Canvas.FillRect({PrevX, cond.Row * RowH, X + 1, cond.Row * RowH + RowH});
        } else if (cond.Visible) {
            cond.TextLeft = std::max(0, X + 1);
        } else {
            cond.TextLeft = -1;
            if (cond.Row >= 0) {
                Conditions[static_cast<size_t>(cond.Row)].RowUsed = false;
                cond.Row = -1;
            }
        }
        if (cond.TextLeft >= 0 && cond.Row >= 0) {
            Canvas.State.BrushClear = true;
            const int32_t top = cond.Row * RowH;
            Canvas.TextRect({cond.TextLeft, top, X, top + Canvas.TextHeight("[")}, cond.TextLeft,
                            top - 1, cond.Text);
        }
        cond.WasActive = cond.Visible;
    }
    for (size_t c = 0; c < Conditions.Count(); ++c) {
        TCondition& cond = Conditions[c];
        if (cond.TextLeft < 0 || cond.Row != -1)
            continue;
        for (size_t r = 0; r < Conditions.Count(); ++r) {
            if (!Conditions[r].RowUsed) {
                cond.Row = static_cast<int32_t>(r);
                Conditions[r].RowUsed = true;
                break;
            }
        }
    }
}

void TLineGraph::DrawSerieColumns(TGraphCanvas& Canvas, int32_t X, double Spp,
                                  const std::vector<double>& Upp) {
    for (size_t s = 0; s < Series.Count(); ++s) {
        TLineSerie& serie = Series[s];
        if (!serie.Visible) {
            serie.PrevPoint.X = X;
            continue;
        }
        Canvas.State.PenColor = serie.Color;
        auto y = [&](double Value) { return ValueToY(s, Upp[s], Value); };
        const int32_t lastY = y(serie.LastVal);
        const bool draw = X >= 0 && !(serie.LineOptions & loNoL);
        if (draw && Spp > Interval()) {
            Canvas.MoveTo(X, y(serie.MaxVal));
            LineToIncl(Canvas, X, y(serie.MinVal));
            Canvas.MoveTo(serie.PrevPoint.X, serie.PrevPoint.Y);
            LineToIncl(Canvas, X, y(serie.FirstVal));
        } else if (draw) {
            Canvas.MoveTo(serie.PrevPoint.X, serie.PrevPoint.Y);
            LineToIncl(Canvas, X, lastY);
        }
        serie.PrevPoint = {X, lastY};
    }
}

void TLineGraph::DrawAnnotations(TGraphCanvas& Canvas) {
    if (Series.PointCount <= 0 || !(AnnotationFlags & (afNames | afValues)))
        return;
    TKeepCanvasState keep(Canvas);
    std::vector<double> upp(Series.Count());
    for (size_t s = 0; s < upp.size(); ++s)
        upp[s] = UnitsPerPixel(s);
    Canvas.State.FontSize = static_cast<int32_t>(Canvas.State.FontSize * 0.7);
    const double spp = GetSecPerPixel();
    for (int32_t k = AnnotationStart; k < FXDivisions + 1; k += std::max(1, AnnotationStep)) {
        if (k < 0)
            continue;
        const int64_t n = static_cast<int64_t>(
            RoundDecimals(0, (spp * XGrid[static_cast<size_t>(k)] + FMinTime) / Interval()));
        if (n >= Series.PointCount)
            break;
        if (n < 0)
            continue;
        TGraphColumn column;
        column.First = n;
        column.Last = n;
        DoGetValues(column);
        for (size_t s = 0; s < Series.Count(); ++s) {
            const TLineSerie& serie = Series[s];
            if (!serie.Visible)
                continue;
            Canvas.State.Transparent = true;
            Canvas.State.FontColor = serie.Color;
            const int32_t px = SampleToX(n, spp);
            const int32_t py = ValueToY(s, upp[s], serie.FirstVal);
            const std::string value = FloatText(serie.Precision, serie.FirstVal) + serie.MeasUnit;
            const bool names = AnnotationFlags & afNames;
            const bool values = AnnotationFlags & afValues;
            Canvas.WriteText(px, py,
                             !values ? serie.SeriesName
                             : names ? serie.SeriesName + ": " + value
                                     : value);
            if (values) {
                Canvas.State.BrushColor = serie.Color;
                Canvas.State.BrushClear = false;
                Canvas.State.PenColor = serie.Color;
                Canvas.Ellipse({px - 3, py - 3, px + 3, py + 3});
            }
        }
    }
}

void TLineGraph::DrawTimeLabels(TGraphCanvas& Canvas) {
    TKeepCanvasState keep(Canvas);
    Canvas.State.FontColor = TimeLabelColor;
    Canvas.State.BrushColor = GridColor;
    Canvas.State.BrushClear = false;
    Canvas.State.Transparent = false;
    const int32_t y = FieldHeight() - Canvas.TextHeight("[") - 2;
    const int32_t step = std::max(1, TimeLabelStep);
    for (int32_t i = 0; i <= FXDivisions / step; ++i) {
        const double t =
            i == 0 ? FMinTime
                   : static_cast<double>(TimeSpan()) / (FXDivisions + 1) * i * step + FMinTime;
        Canvas.WriteText(i == 0 ? 0 : XGrid[static_cast<size_t>(i * step)] + 1, y,
                         TimeLabelText(t));
    }
}

void TLineGraph::DrawYLabels(TGraphCanvas& Canvas) {
    for (size_t s = 0; s < Series.Count(); ++s) {
        const TLineSerie& serie = Series[s];
        const int64_t column =
            int64_t{YLabelColumnStep} * static_cast<int64_t>(s) + YLabelColumnStart;
        if (!serie.Visible || column < 0 || column >= static_cast<int64_t>(XGrid.size()))
            continue;
        TKeepCanvasState keep(Canvas);
        Canvas.State.Transparent = true;
        Canvas.State.FontColor = serie.Color;
        const int32_t cx = XGrid[static_cast<size_t>(column)] + 2;
        for (int32_t i = FYDivisions; i >= 2; i -= 2) {
            const double v =
                (serie.MaxY - serie.MinY) / (FYDivisions - 3) * (FYDivisions - i) + serie.MinY;
            const std::string text = FloatText(serie.Precision, v);
            Canvas.WriteText(cx, YGrid[i] - Canvas.TextHeight(text), text);
        }
        Canvas.WriteText(cx, YGrid[2] - Canvas.TextHeight(serie.MeasUnit),
                         serie.SeriesName + serie.MeasUnit);
    }
}

void TLineGraph::DrawZoomMarker(TGraphCanvas& Canvas) {
    if (ZoomMarker < 0)
        return;
    TKeepCanvasState keep(Canvas);
    Canvas.State.PenColor = MarkerColor;
    const int32_t x = ZoomMarkerX(GetSecPerPixel());
    Canvas.MoveTo(x, 0);
    Canvas.LineTo(x, FieldHeight());
}

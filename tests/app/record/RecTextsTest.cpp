#include "app/record/RecList_.h"
#include "app/record/RecTexts_.h"

#include "app/base/Tools_.h"
#include "app/tree/TreeModel_.h"
#include "app/values/MeasValues_.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TSample Sample(uint16_t Block, uint8_t Mark = 0, TChamberStatus Status = csPresent) {
    TSample s = {};
    s.Stamp = {10, 12, 2026, 3600};
    s.Block = Block;
    s.Mark = Mark;
    s.Meas.Status = Status;
    return s;
}

constexpr TChamberStatus kSensing = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;

TRecording TwoBlocks() {
    TRecording r;
    TRecBlockHeader h = {};
    h.Count = 2;
    std::strcpy(h.DevUser, "anna");
    AppendBlock(r, h);
    h.Count = 1;
    h.DevUser[0] = 0;
    AppendBlock(r, h);
    r.Samples = {Sample(1), Sample(1), Sample(2)};
    return r;
}

TEST(RecTexts, Caption) {
    TScriptedBoxes boxes;
    TTreeModel tree;
    TInstrumentData instrument;
    instrument.InterfaceIndex = 2;
    TTreeNode* inst = tree.AddChild(nullptr, "COM3 0000042", instrument);
    TChamberData chamber;
    chamber.Kind = nkZephoraChamber;
    TTreeNode* node = tree.AddChild(inst, "* Lab 2", chamber);
    EXPECT_EQ(BuildCaption(boxes, *node), "* Lab 2 - COM3");
    node->As<TChamberData>()->RecordFileName = "C:\\data\\lab.zqr";
    EXPECT_EQ(BuildCaption(boxes, *node), "* Lab 2 - COM3 [lab.zqr]");
    TTreeNode* file = tree.AddChild(nullptr, "lab.zqr", TRecData{});
    EXPECT_EQ(BuildCaption(boxes, *file), "lab.zqr");
    EXPECT_EQ(BuildCaption(boxes, *inst), "");
}

TEST(RecTexts, StatusPanels) {
    const TRecording r = TwoBlocks();
    std::array<std::string, 4> p = {"a", "b", "c", "User: old"};
    StatusPanels(r, 1, p);
    EXPECT_EQ(p, (std::array<std::string, 4>{"Samples: total: 3 / selected record: 2",
                                             "Record: 01 of 02", "Samplenumber: 1", "User: anna"}));
    StatusPanels(r, 2, p); // a block without user keeps panel 4
    EXPECT_EQ(p[1], "Record: 02 of 02");
    EXPECT_EQ(p[3], "User: anna");
    StatusPanels(r, -1, p);
    EXPECT_EQ(p, (std::array<std::string, 4>{"Samples: total: 3", "", "", ""}));
    std::array<std::string, 4> kept = {"x", "y", "z", "w"};
    StatusPanels(TRecording{}, -1, kept);
    EXPECT_EQ(kept[0], "x");
}

// Mended: a block number from a file indexed the headers unchecked.
TEST(RecTexts, BlockNumbersFromAFileAreChecked) {
    TRecording r = TwoBlocks();
    r.Samples[2].Block = 7;
    r.Samples[1].Block = 0;
    EXPECT_EQ(BlockOf(r, r.Samples[2]), nullptr);
    EXPECT_EQ(BlockOf(r, r.Samples[1]), nullptr);
    EXPECT_EQ(BlockOf(r, r.Samples[0]), &r.Headers[0]);
    std::array<std::string, 4> p;
    StatusPanels(r, 2, p);
    EXPECT_EQ(p[0], "Samples: total: 3 / selected record: 0");
    TSample relative = r.Samples[2];
    relative.Stamp = {0, 0, 0, 61};
    EXPECT_EQ(SampleTimeCaption(r, relative, 0).substr(0, 9), "0000  /  ");
    r.Headers[1].InstrSampleNo = 42;
    relative.Block = 2;
    EXPECT_EQ(SampleTimeCaption(r, relative, 0).substr(0, 9), "0042  /  ");
}

TEST(RecTexts, Statistics) {
    TRecStatistics s;
    s.Min[0] = 4000;
    s.Mean[0] = 4500.5; // to the nearest integer, halves to even: 4500
    s.Max[0] = 5000;
    s.Min[1] = -1250;
    s.Mean[1] = 2501.5; // 2502
    s.Max[1] = 3000;
    const auto hum = [](int32_t Raw) {
        return Format("%4.*f", HumDecimals(0, false), HumToReal(0, Raw, false));
    };
    const auto temp = [](int32_t Raw) {
        return Format("%4.*f", TempDecimals(0, false), TempToReal(0, Raw, false, false));
    };
    EXPECT_EQ(StatisticsTexts(s, 0, 0, false),
              (std::array<std::string, 6>{hum(4000), hum(4500), hum(5000), temp(-1250), temp(2502),
                                          temp(3000)}));
}

TEST(RecTexts, ColumnsAreSizedToTheLastRowOrToAStandIn) {
    const TListUnits aw{0, 0, 0, false};
    const TListUnits rh{1, 1, 0, true};
    TRecording empty;
    TRecording rows = TwoBlocks();
    rows.Samples.back().Meas = {4000, 2500, 123, 0, kSensing};
    struct Case {
        const char* name;
        const TRecording* data;
        TListUnits units;
        int column;
        std::string text;
    } cases[] = {
        {"time, no rows", &empty, aw, 1, "00.00.0000 00:00:00"},
        {"aw, no rows", &empty, aw, 2, "1.000"},
        {"degrees C, no rows", &empty, aw, 3, "100.0"},
        {"D value, no rows", &empty, aw, 4, "100.0"},
        {"%RH extended, no rows", &empty, rh, 2, Format("%.*f", HumDecimals(1, true), 100.0)},
        {"degrees F extended, no rows", &empty, rh, 3,
         Format("%.*f", TempDecimals(1, true), TempToReal(1, 10000, false, true))},
        {"the last row's time", &rows, aw, 1, "10.12.2026 01:00:00"},
        {"the last row's humidity", &rows, aw, 2, "0.400"},
        {"the last row's temperature", &rows, rh, 3, TempValueText(1, kSensing, 2500, true)},
        {"the last row's D value", &rows, aw, 4, DValueText(kSensing, 123)},
        {"column 0 has no text", &rows, aw, 0, ""},
        {"nor a column past the last", &empty, aw, 5, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ColumnWidthText(*c.data, c.column, c.units), c.text);
    }
}

TEST(RecList, RowImages) {
    struct Case {
        const char* what;
        std::vector<TSample> samples;
        std::size_t row;
        int image;
    } cases[] = {
        {"block start", {Sample(1, smBlockStart)}, 0, imRowBlockStart},
        {"start and stop", {Sample(1, smBlockStart | smStopped)}, 0, imRowStop},
        {"mark", {Sample(1, smInterrupted)}, 0, imRowMark},
        {"sample 0 shows no edge", {Sample(1, 0, csPresent | csAnalysing)}, 0, -1},
        {"block start and analysing edge",
         {Sample(1), Sample(1, smBlockStart, csPresent | csAnalysing)},
         1,
         imRowAnalysing},
        {"stable edge", {Sample(1), Sample(1, 0, csPresent | csStable)}, 1, imRowStable},
        {"stable already", {Sample(1, 0, csStable), Sample(1, 0, csStable)}, 1, -1},
        {"past the end", {Sample(1)}, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(RowImage(c.samples, c.row), c.image);
    }
}

TEST(RecList, ColorsAndShading) {
    const std::vector<TSample> s = {Sample(1), Sample(1, 0, csPresent | csOpen), Sample(1)};
    const TTimeSpan span{0, 10, 10}; // rows 0 and 1 visible
    EXPECT_EQ(RowColors(s, 0, true, span, 0x123456).Brush, kClHighlight);
    EXPECT_EQ(RowColors(s, 0, false, span, 0x123456).Font, 0x123456u);
    EXPECT_FALSE(RowColors(s, 0, false, span, 0).OwnBrush);
    EXPECT_EQ(RowColors(s, 1, false, span, 0).Font, kOpenRowFont);
    EXPECT_EQ(RowColors(s, 2, false, span, 0).Brush, kOutsideRowBrush);
    // Mended: an interval of 0 from a file divided by zero.
    EXPECT_TRUE(RowVisible({0, 10, 0}, 10));
    EXPECT_FALSE(RowVisible({0, 10, 0}, 11));
}

// A span that moves or changes its interval shades anew only the rows that
// cross its edges, among those asked.
TEST(RecList, RowsWhoseShadingChanged) {
    using TRange = std::pair<int64_t, int64_t>;
    const struct {
        TTimeSpan A, B;
        int64_t First, Last;
        TRange Changed;
    } cases[] = {
        {{0, 720, 1}, {0, 720, 1}, 0, 1000, {0, -1}},
        {{0, 720, 1}, {1, 721, 1}, 0, 1000, {0, 721}},
        {{0, 720, 1}, {1, 721, 1}, 100, 700, {0, -1}}, // rows in view stay inside
        {{0, 720, 1}, {1, 721, 1}, 650, 730, {721, 721}},
        {{100, 200, 10}, {100, 200, 1}, 0, 300, {10, 200}},
        {{0, 10, 0}, {0, 10, 1}, 0, 20, {0, -1}}, // an interval of 0 counts as 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.B.MinTime << ".." << c.B.MaxTime << " rows " << c.First
                                        << ".." << c.Last);
        EXPECT_EQ(ShadingChanged(c.A, c.B, c.First, c.Last), c.Changed);
    }
}

// Mended: index x interval was computed in 32 bits.
TEST(RecList, CentringKeepsTheSpanWithin32Bits) {
    const TTimeSpan span{0, 3600, 10};
    const TTimeSpan a = CentreOn(span, 1000);
    EXPECT_EQ(a.MinTime, 10000 - 1800);
    EXPECT_EQ(a.MaxTime, 10000 + 1800);
    const TTimeSpan far = CentreOn({0, 3600, 1000}, 3000000);
    EXPECT_EQ(far.MaxTime, INT32_MAX);
    EXPECT_EQ(far.MinTime, INT32_MAX - 3600);
    const TTimeSpan big = CentreOn({0, 3600, 600}, 3000000); // 1.8e9: fits
    EXPECT_EQ(big.MinTime, 1800000000 - 1800);
}

TEST(RecList, Selection) {
    TSampleSelection sel;
    sel.Select(10, true); // Shift without a selection
    EXPECT_EQ(sel.Anchor(), 10);
    EXPECT_EQ(sel.End(), 10);
    sel.Select(4, true);
    EXPECT_TRUE(sel.Contains(4));
    EXPECT_TRUE(sel.Contains(10));
    EXPECT_FALSE(sel.Contains(11));
    EXPECT_FALSE(sel.Contains(3));
    sel.Select(7, false);
    EXPECT_EQ(sel.Anchor(), 7);
    EXPECT_EQ(sel.End(), 7);
    sel.Clear();
    EXPECT_TRUE(sel.Empty());
    EXPECT_FALSE(sel.Contains(-1));
}

} // namespace

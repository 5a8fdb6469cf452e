// The units and live value texts of tree nodes: a record window's choices over
// the units of the instrument or record file.
#include "app/tree/NodeUnits_.h"

#include "app/tree/TreeNodes_.h"
#include "app/values/MeasValues_.h"

#include "tests/app/support/FakeRecordWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint16_t kOn = csPresent | csSensorOn;
constexpr uint16_t kAllValid = kOn | csHumidityValid | csTemperatureValid;

TEST(ValueTexts, NodeTextsOnlyForChambers) {
    TChamberData chamber;
    chamber.Kind = nkKivanterChamber;
    chamber.Live.Meas.Humidity = 7531;
    chamber.Live.Meas.Temperature = 2500;
    chamber.Live.Meas.Status = kOn | csTemperatureValid;
    EXPECT_EQ(NodeHumText(1, chamber, false), "Err");
    EXPECT_EQ(NodeTempText(1, chamber, false), "77.0");
    chamber.Live.Meas.Status = kAllValid;
    EXPECT_EQ(NodeHumText(1, chamber, true), "75.31");

    TChamberData unknownKind = chamber;
    unknownKind.Kind = 0;
    const TNodeData others[] = {TNodeData(), TPCData{},   TInstrumentData{},
                                TRecData{},  TProtData{}, unknownKind};
    for (const TNodeData& d : others) {
        SCOPED_TRACE(NodeKind(d));
        EXPECT_EQ(NodeHumText(0, d, false), "---");
        EXPECT_EQ(NodeTempText(0, d, false), "---");
    }
}

// An instrument with units %RH, F, YYYY.MM.DD and one chamber; a record file
// with aw, C, MM.DD.YYYY; both with a record window whose choices the cases set.
class NodeUnits : public testing::Test {
protected:
    TTreeModel model;
    TTreeNode* root = model.AddChild(nullptr, "PC", TPCData{});
    TTreeNode* instrument = nullptr;
    TTreeNode* chamber = nullptr;
    TTreeNode* records = model.AddChild(root, "Records", TRecNodeData{});
    TTreeNode* file = nullptr;
    TFakeRecordWindow chamberWindow, fileWindow;

    void SetUp() override {
        TInstrumentData d;
        d.Units = {1, 1, 2};
        instrument = model.AddChild(root, "COM1 0000001", d);
        TChamberData c;
        c.Kind = nkZephoraChamber0;
        chamber = model.AddChild(instrument, "Chamber 0", c);
        TRecData r;
        r.Units = {0, 0, 1};
        r.RecordWindow = &fileWindow;
        file = model.AddChild(records, "run", r);
    }

    static std::string Units(const TTreeNode* Node) {
        return std::to_string(NodeHumMode(Node)) + " " + std::to_string(NodeTempUnit(Node)) + " " +
               std::to_string(NodeDateFmt(Node));
    }
};

TEST_F(NodeUnits, WindowChoiceElseInstrumentOrFile) {
    EXPECT_EQ(Units(chamber), "1 1 2");
    ChamberData(chamber)->RecordWindow = &chamberWindow;

    struct Case {
        const char* what;
        TUnitOverrides chosen;
        const char* chamberUnits;
        const char* fileUnits;
    } cases[] = {
        {"all from instrument", {-1, -1, -1}, "1 1 2", "0 0 1"},
        {"humidity chosen", {0, -1, -1}, "0 1 2", "0 0 1"},
        {"temperature chosen", {-1, 0, -1}, "1 0 2", "0 0 1"},
        {"date format chosen", {-1, -1, 0}, "1 1 0", "0 0 0"},
        {"all chosen", {1, 1, 2}, "1 1 2", "1 1 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        chamberWindow.overrides = c.chosen;
        fileWindow.overrides = c.chosen;
        EXPECT_EQ(Units(chamber), c.chamberUnits);
        EXPECT_EQ(Units(file), c.fileUnits);
    }
    EXPECT_EQ(NodeDValueMode(chamber), 0);
}

TEST_F(NodeUnits, NodesWithoutMeasurementsHaveNoUnit) {
    for (const TTreeNode* n : {root, instrument, records, static_cast<TTreeNode*>(nullptr)}) {
        SCOPED_TRACE(n ? n->Text() : "none");
        EXPECT_EQ(Units(n), "255 255 255");
        EXPECT_EQ(NodeDValueMode(n), 0);
    }
    // A chamber record outside an instrument: no units to take over.
    TChamberData c;
    c.Kind = nkZephoraChamber;
    EXPECT_EQ(Units(model.AddChild(records, "stray", c)), "255 255 255");
}

} // namespace

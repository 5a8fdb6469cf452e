// The tree as command surface on a small tree: a serial and a USB instrument
// with a chamber each, a record file and two protocols. Which commands a
// selection enables, what it shows, what a double click opens, and which nodes
// can be renamed in place.
#include "app/main/TreeCommands_.h"

#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeRecordWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using enum TTreeCommand;
using TCommands = std::map<TTreeCommand, bool>;

class TFakeProtocolWindow : public IProtocolWindow {
public:
    void Show() override {}
    void Close() override {}
};

class TFakeOverview : public IOverviewWindow {
public:
    void Show() override {}
    void Close() override {}
    void UpdateOverview() override {}
};

TInstrumentData Instrument(int32_t Kind, int32_t Index, const char* DevId) {
    TInstrumentData d;
    d.Kind = Kind;
    d.InterfaceIndex = Index;
    SetFieldText(d.DevId, DevId);
    return d;
}

TChamberData Chamber(int32_t Kind, int32_t Number, const char* Name) {
    TChamberData d;
    d.Kind = Kind;
    d.Chamber = Number;
    SetFieldText(d.Name, Name);
    return d;
}

class TreeCommandsTest : public testing::Test {
protected:
    TTreeModel tree;
    TTreeNode* root = CreateRootNode(tree, "LAB-PC", "anna");
    TTreeNode* serial =
        tree.AddChild(root, "COM3 0012345", Instrument(nkSerialInstrument, 2, "ZEPHORA"));
    TTreeNode* serialChamber =
        tree.AddChild(serial, "(1) Bench", Chamber(nkZephoraChamber, 1, "Bench"));
    TTreeNode* usb =
        tree.AddChild(root, "USB1 0054321", Instrument(nkUsbInstrument, 256, "ZEPHORAN"));
    TTreeNode* usbChamber =
        tree.AddChild(usb, "Chamber 0 - 0054321", Chamber(nkZephoraNChamber, 0, ""));
    TTreeNode* records = tree.AddChild(root, sRecords, TRecNodeData{});
    TTreeNode* record = tree.AddChild(records, "run.zqr", TRecData{});
    TTreeNode* protocols = tree.AddChild(root, sProtocols, TProtNodeData{});
    TTreeNode* unsavedProtocol = tree.AddChild(protocols, "* Actual Protocol", TProtData{});
    TTreeNode* savedProtocol = tree.AddChild(protocols, "p.zqp", SavedProtocol());
    TTreeNode* bare = tree.AddChild(root, "no record", TNodeData{});

    static TProtData SavedProtocol() {
        TProtData d;
        d.FileName = "C:\\p.zqp";
        return d;
    }
};

// Every command the table and the windows decide, for a node without windows.
TCommands Expect(bool CloseComOn, bool Overview, bool Document, bool ChamberOnly, bool InfoOn,
                 bool SaveOn = false) {
    return {{CloseCom, CloseComOn}, {ShowOverview, Overview}, {Print, Document},
            {PageSetup, Document},  {PrintSetup, Document},   {ShowRec, ChamberOnly},
            {Info1, ChamberOnly},   {Info, InfoOn},           {Save, SaveOn},
            {SaveAs, SaveOn},       {PrintPreview, false}};
}

TEST_F(TreeCommandsTest, TheNodesKindEnablesItsCommands) {
    struct Case {
        const char* what;
        TTreeNode* node;
        TCommands commands;
    } cases[] = {
        {"serial instrument", serial, Expect(true, true, false, false, true)},
        {"chamber of a serial instrument", serialChamber, Expect(true, true, true, true, true)},
        // A USB link closes only through the watchdog, a tree-file load or the end.
        {"USB instrument", usb, Expect(false, true, false, false, true)},
        {"chamber of a USB instrument", usbChamber, Expect(false, true, true, true, true)},
        {"record file without a window", record, Expect(false, false, true, false, false, true)},
        {"unsaved protocol", unsavedProtocol, Expect(false, false, true, false, false, true)},
        {"saved protocol", savedProtocol, Expect(false, false, true, false, false, false)},
        {"computer", root, Expect(false, false, false, false, false)},
        {"Records folder", records, Expect(false, false, false, false, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TreeSelection(c.node).Commands, c.commands);
    }
}

TEST_F(TreeCommandsTest, NoNodeOrNoRecordDisablesWhatWouldActOnIt) {
    const TCommands off = {{CloseCom, false}, {ShowOverview, false}, {EditProt, false},
                           {Print, false},    {SaveAs, false},       {Save, false},
                           {ShowRec, false},  {PageSetup, false},    {PrintSetup, false}};
    for (TTreeNode* node : {static_cast<TTreeNode*>(nullptr), bare}) {
        const TTreeSelection s = TreeSelection(node);
        EXPECT_EQ(s.Commands, off);
        EXPECT_FALSE(s.DevicePanel);
        EXPECT_EQ(s.Show, nullptr);
        EXPECT_EQ(s.InfoNode, nullptr);
    }
}

TEST_F(TreeCommandsTest, AChamberWindowEnablesSaveOnlyWithSamples) {
    TFakeRecordWindow window;
    ChamberData(usbChamber)->RecordWindow = &window;
    for (bool samples : {false, true}) {
        SCOPED_TRACE(samples);
        window.hasSamples = samples;
        const TTreeSelection s = TreeSelection(usbChamber);
        EXPECT_EQ(s.Commands.at(Save), samples);
        EXPECT_EQ(s.Commands.at(SaveAs), samples);
        EXPECT_TRUE(s.Commands.at(PrintPreview));
        EXPECT_EQ(s.Show, &window);
        EXPECT_EQ(s.InfoNode, usbChamber);
    }
}

TEST_F(TreeCommandsTest, ASelectionShowsTheNodesWindowAndTheDeviceId) {
    TFakeOverview overview;
    InstrumentData(usb)->OverviewWindow = &overview;
    TFakeProtocolWindow protocolWindow;
    savedProtocol->As<TProtData>()->ProtocolWindow = &protocolWindow;
    TFakeRecordWindow recordWindow;
    record->As<TRecData>()->RecordWindow = &recordWindow;

    const TTreeSelection instrument = TreeSelection(usb);
    EXPECT_EQ(instrument.DevicePanel, "ZEPHORAN");
    EXPECT_EQ(instrument.Show, &overview);
    EXPECT_EQ(instrument.InfoNode, nullptr);
    EXPECT_EQ(TreeSelection(savedProtocol).Show, &protocolWindow);
    const TTreeSelection file = TreeSelection(record);
    EXPECT_EQ(file.Show, &recordWindow);
    EXPECT_TRUE(file.Commands.at(PrintPreview));
    // Only an instrument changes the panel.
    EXPECT_FALSE(TreeSelection(serialChamber).DevicePanel);
}

TEST_F(TreeCommandsTest, DoubleClickOpensTheNodesWindow) {
    EXPECT_EQ(TreeOpenTarget(serial), TTreeOpen::Overview);
    EXPECT_EQ(TreeOpenTarget(usb), TTreeOpen::Overview);
    EXPECT_EQ(TreeOpenTarget(usbChamber), TTreeOpen::Recorder);
    EXPECT_EQ(TreeOpenTarget(unsavedProtocol), TTreeOpen::Protocol);
    for (TTreeNode* node : {root, records, record, protocols, bare})
        EXPECT_EQ(TreeOpenTarget(node), TTreeOpen::Nothing) << node->Text();
    EXPECT_EQ(TreeOpenTarget(nullptr), TTreeOpen::Nothing);
}

TEST_F(TreeCommandsTest, OnlyChambersAreRenamedInPlaceFromTheirStoredName) {
    EXPECT_TRUE(CanEditNode(serialChamber));
    EXPECT_EQ(EditNodeText(serialChamber), "Bench");
    for (TTreeNode* node : {root, serial, record, unsavedProtocol, bare})
        EXPECT_FALSE(CanEditNode(node)) << node->Text();

    // The tree keeps what the renaming decided: 40 characters, the chamber number in front.
    EXPECT_EQ(RenameEditedNode(tree, serialChamber, std::string(45, 'x')),
              "(1) " + std::string(40, 'x'));
    EXPECT_EQ(FieldText(ChamberData(serialChamber)->Name), std::string(40, 'x'));
}

} // namespace

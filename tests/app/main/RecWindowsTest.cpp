// Opening record windows from the tree through a fake factory: the Recorder
// command, CreateRecWindow's rollback when a step fails, and a record file
// dropped onto a chamber.
#include "app/main/RecWindows_.h"

#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeRecWindowFactory.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using TLog = std::vector<std::string>;

class RecWindowsTest : public testing::Test {
protected:
    TTreeModel tree;
    TScriptedBoxes boxes;
    TFakeRecWindowFactory factory;
    TRecWindows windows{tree, boxes, [] { return std::string("C:\\tmp\\"); }};
    TTreeNode* root = CreateRootNode(tree, "LAB-PC", "anna");
    TTreeNode* instrument = tree.AddChild(root, "COM3 0012345", TInstrumentData{});
    TTreeNode* chamber = tree.AddChild(instrument, "(1) Bench", Chamber());
    TTreeNode* records = tree.AddChild(root, sRecords, TRecNodeData{});
    TTreeNode* record = tree.AddChild(records, "run.zqr", Record("0012345"));

    void SetUp() override { windows.SetFactory(&factory); }

    static TChamberData Chamber() {
        TChamberData d;
        d.Kind = nkZephoraChamber;
        d.Chamber = 1;
        SetFieldText(d.SerialPart, "0012345");
        return d;
    }
    static TRecData Record(const char* Instrument) {
        TRecData d;
        d.FileName = "C:\\data\\run.zqr";
        SetFieldText(d.InstrumentId, Instrument);
        return d;
    }
    IRecordWindow* ChamberWindow() { return ChamberData(chamber)->RecordWindow; }
};

TEST_F(RecWindowsTest, RecorderOpensALiveWindowWithItsTempFiles) {
    tree.Select(chamber);
    windows.AcShowRecExecute();
    EXPECT_EQ(factory.log, (TLog{"Create live (1) Bench", "SetDefaultSettings", "BuildCaption",
                                 "SetCaption Bench - Chamber 1", "OpenTempFiles C:\\tmp\\"}));
    ASSERT_EQ(factory.windows.size(), 1u);
    EXPECT_EQ(ChamberWindow(), factory.windows[0].get());
    EXPECT_TRUE(boxes.Shown.empty());

    // Again: the window comes to the front, no second one.
    windows.AcShowRecExecute();
    EXPECT_EQ(factory.windows.size(), 1u);
    EXPECT_EQ(factory.windows[0]->shown, 1);
}

TEST_F(RecWindowsTest, RecorderDoesNothingOffAChamber) {
    for (TTreeNode* node : {static_cast<TTreeNode*>(nullptr), root, instrument, record}) {
        tree.Select(node);
        windows.AcShowRecExecute();
    }
    EXPECT_TRUE(factory.log.empty());
}

TEST_F(RecWindowsTest, AFailedStepFreesTheWindowAndShowsTheError) {
    struct Case {
        const char* failAt;
        std::string message;
    } cases[] = {
        {"SetDefaultSettings", "failed: SetDefaultSettings"},
        {"BuildCaption", "failed: BuildCaption"},
        {"SetCaption", "failed: SetCaption Bench - Chamber 1"},
        {"OpenTempFiles", "Cannot creating a temporary file in C:\\tmp\\!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failAt);
        factory.failAt = c.failAt;
        factory.freed = 0;
        boxes.Shown.clear();
        tree.Select(chamber);
        windows.AcShowRecExecute();
        EXPECT_EQ(ChamberWindow(), nullptr);
        EXPECT_EQ(factory.freed, 1);
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0].Msg, c.message);
        EXPECT_EQ(boxes.Shown[0].DlgType, mtError);
    }
}

TEST_F(RecWindowsTest, AStoredRecordTakesItsNodeTextAndPassesItsErrorOn) {
    IRecordWindow& window = windows.CreateRecWindow(*record, false);
    EXPECT_EQ(record->As<TRecData>()->RecordWindow, &window);
    EXPECT_EQ(factory.log,
              (TLog{"Create stored run.zqr", "SetDefaultSettings", "SetCaption run.zqr"}));

    record->As<TRecData>()->RecordWindow = nullptr;
    factory.failAt = "SetCaption";
    EXPECT_THROW(windows.CreateRecWindow(*record, false), std::runtime_error);
    EXPECT_EQ(record->As<TRecData>()->RecordWindow, nullptr);
    EXPECT_EQ(factory.freed, 1);
}

TEST_F(RecWindowsTest, AWindowThatFailsToShowTakesItsNodeWithIt) {
    TFakeRecordWindow broken;
    broken.failShow = true;
    ChamberData(chamber)->RecordWindow = &broken;
    tree.Select(chamber);
    windows.AcShowRecExecute();
    EXPECT_EQ(instrument->Count(), 0);
    EXPECT_TRUE(factory.log.empty());
}

TEST_F(RecWindowsTest, ADroppedRecordGoesOnInTheChambersNewWindow) {
    TFakeRecordWindow recordWindow;
    record->As<TRecData>()->RecordWindow = &recordWindow;
    windows.AssignRecordFile(*chamber, *record);
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_EQ(factory.log,
              (TLog{"Create live (1) Bench", "SetDefaultSettings", "BuildCaption",
                    "SetCaption Bench - Chamber 1", "OpenTempFiles C:\\tmp\\",
                    "LoadRecordFile C:\\data\\run.zqr", "Activate", "SetDataReplaced"}));
    EXPECT_EQ(recordWindow.closed, 1);
    EXPECT_EQ(tree.Selected(), chamber);
}

TEST_F(RecWindowsTest, ARecordOfAnotherInstrumentIsAssignedOnlyAfterYes) {
    record->As<TRecData>()->InstrumentId[0] = '9';
    for (int32_t answer : {int32_t{mrNo}, int32_t{mrYes}}) {
        SCOPED_TRACE(answer);
        boxes.Shown.clear();
        boxes.Script = {{answer}};
        windows.AssignRecordFile(*chamber, *record);
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0].Msg, sOtherInstrument);
        // No is the default answer.
        const TMsgDlgRequest& asked = boxes.Shown[0];
        ASSERT_GE(asked.DefaultButton, 0);
        EXPECT_EQ(asked.Buttons[static_cast<std::size_t>(asked.DefaultButton)].Kind, mbNo);
        EXPECT_EQ(ChamberWindow() != nullptr, answer == mrYes);
    }
}

TEST_F(RecWindowsTest, AChamberWindowThatStaysOpenKeepsTheRecordWhereItIs) {
    TFakeRecordWindow kept; // its Close refuses: the reference stays
    ChamberData(chamber)->RecordWindow = &kept;
    windows.AssignRecordFile(*chamber, *record);
    EXPECT_EQ(kept.closed, 1);
    EXPECT_EQ(ChamberWindow(), &kept);
    EXPECT_TRUE(factory.log.empty());
}

} // namespace

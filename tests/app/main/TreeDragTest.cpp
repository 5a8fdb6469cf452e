// Dragging a record file in the tree: which presses arm a drag, the 3-pixel
// threshold from where the mouse first moved, which nodes take the drop and
// the 14-pixel scroll margins.
#include "app/main/TreeDrag_.h"

#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeRecordWindow.h"

#include <gtest/gtest.h>

namespace {

class TreeDragTest : public testing::Test {
protected:
    TTreeModel tree;
    TTreeNode* root = CreateRootNode(tree, "LAB-PC", "anna");
    TTreeNode* instrument = tree.AddChild(root, "COM3 0012345", TInstrumentData{});
    TTreeNode* chamber = tree.AddChild(instrument, "(1) Bench", Chamber());
    TTreeNode* records = tree.AddChild(root, sRecords, TRecNodeData{});
    TTreeNode* record = tree.AddChild(records, "run.zqr", TRecData{});
    TTreeDrag drag;

    static TChamberData Chamber() {
        TChamberData d;
        d.Kind = nkZephoraChamber;
        return d;
    }
};

TEST_F(TreeDragTest, OnlyALeftPressOnASavedRecordFileArms) {
    TFakeRecordWindow window;
    struct Case {
        const char* what;
        TTreeNode* node;
        bool left;
        bool unsaved; // the record file's window holds unsaved data
        bool armed;
    } cases[] = {
        {"record file", record, true, false, true},
        {"right button", record, false, false, false},
        {"unsaved data", record, true, true, false},
        {"chamber", chamber, true, false, false},
        {"instrument", instrument, true, false, false},
        {"nowhere", nullptr, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.modified = c.unsaved;
        record->As<TRecData>()->RecordWindow = &window;
        drag.MouseDown(c.node, c.left);
        EXPECT_EQ(drag.Armed(), c.armed);
        drag.MouseUp();
        EXPECT_FALSE(drag.Armed());
    }
}

TEST_F(TreeDragTest, AMoveOfMoreThanThreePixelsFromTheFirstMoveStartsTheDrag) {
    struct Case {
        int x, y;
        bool starts;
    } moves[] = {
        {50, 50, false}, // the first move only marks where the mouse was
        {53, 47, false}, // 3 pixels each way: not yet
        {54, 50, true},  // 4 pixels across
    };
    drag.MouseDown(record, true);
    for (const Case& m : moves) {
        SCOPED_TRACE(testing::Message() << m.x << "," << m.y);
        EXPECT_EQ(drag.MouseMove(m.x, m.y, true), m.starts);
    }

    drag.MouseDown(record, true);
    EXPECT_FALSE(drag.MouseMove(10, 10, true));
    EXPECT_TRUE(drag.MouseMove(10, 14, true)) << "4 pixels down";
    EXPECT_FALSE(drag.MouseMove(100, 100, false)) << "the button is up";
}

TEST_F(TreeDragTest, APressWithoutDragLeavesNoStartPointForTheNext) {
    drag.MouseDown(record, true);
    EXPECT_FALSE(drag.MouseMove(10, 10, true));
    drag.MouseUp();
    drag.MouseDown(record, true);
    EXPECT_FALSE(drag.MouseMove(200, 200, true));
    EXPECT_FALSE(drag.MouseMove(201, 201, true));
}

TEST_F(TreeDragTest, OnlyAChamberTakesTheDrop) {
    EXPECT_TRUE(AcceptsDrop(chamber));
    for (TTreeNode* node : {root, instrument, records, record, static_cast<TTreeNode*>(nullptr)})
        EXPECT_FALSE(AcceptsDrop(node));
}

TEST_F(TreeDragTest, TheTreeScrollsNearItsEdges) {
    struct Case {
        int y;
        TDragScroll scroll;
    } cases[] = {
        {0, TDragScroll::LineUp}, {13, TDragScroll::LineUp},    {14, TDragScroll::None},
        {185, TDragScroll::None}, {186, TDragScroll::LineDown}, {199, TDragScroll::LineDown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DragScroll(c.y, 200), c.scroll) << c.y;
}

} // namespace

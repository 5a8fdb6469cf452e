// Protocol nodes under the Protocols folder.
#include "app/protocol/ProtTree_.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ProtTreeTest : public testing::Test {
protected:
    TTreeModel tree;
    TScriptedBoxes boxes;
    void SetUp() override { CreateRootNode(tree, "PC", "user"); }
};

TEST_F(ProtTreeTest, TheFolderComesWithTheFirstProtocolAndGoesWithTheLast) {
    TTreeNode* a = AddProtTree(tree, boxes, 3, 4, "* Actual Protocol", "", nullptr);
    ASSERT_NE(a, nullptr);
    TTreeNode* folder = tree.ProtocolsFolder();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->Parent(), tree.Root());
    EXPECT_EQ(folder->Text(), "Protocols");
    EXPECT_EQ(folder->ImageIndex(), imProtocolsFolder);
    EXPECT_TRUE(folder->Expanded());
    EXPECT_EQ(a->Parent(), folder);
    EXPECT_EQ(a->ImageIndex(), imProtocol);
    const TProtData* prot = a->As<TProtData>();
    ASSERT_NE(prot, nullptr);
    EXPECT_EQ(prot->Kind, nkProtocol);
    EXPECT_EQ(prot->InterfaceIndex, 2);
    EXPECT_EQ(prot->Chamber, 4);

    TTreeNode* b = AddProtTree(tree, boxes, 0, 255, "* Actual Protocol", "", nullptr);
    EXPECT_EQ(b->Text(), "* Actual Protocol - 1");
    EXPECT_EQ(b->As<TProtData>()->InterfaceIndex, 255);
    DeleteTreeNode(tree, a);
    EXPECT_EQ(tree.ProtocolsFolder(), folder);
    DeleteTreeNode(tree, b);
    EXPECT_EQ(tree.ProtocolsFolder(), nullptr);
    EXPECT_EQ(tree.Root()->Count(), 0);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(ProtTreeTest, NamesAreMadeUniqueAndFreedNamesReused) {
    TTreeNode* p = AddProtTree(tree, boxes, 0, 0, "P", "", nullptr);
    TTreeNode* p1 = AddProtTree(tree, boxes, 0, 0, "P", "", nullptr);
    TTreeNode* p2 = AddProtTree(tree, boxes, 0, 0, "P", "", nullptr);
    EXPECT_EQ(p->Text(), "P");
    EXPECT_EQ(p1->Text(), "P - 1");
    EXPECT_EQ(p2->Text(), "P - 2");
    DeleteTreeNode(tree, p1);
    EXPECT_EQ(AddProtTree(tree, boxes, 0, 0, "P", "", nullptr)->Text(), "P - 1");
    EXPECT_EQ(AddProtTree(tree, boxes, 0, 0, "p", "", nullptr)->Text(), "p");
}

// Tells of a failure while the tree is being changed.
class FailingObserver : public ITreeObserver {
public:
    void NodeAdded(TTreeNode&) override {}
    void NodeChanged(TTreeNode& Node) override {
        if (Node.Kind() == nkProtocol)
            throw std::runtime_error("no images");
    }
    void NodeMoved(TTreeNode&) override {}
    void NodeDeleting(TTreeNode&) override {}
    void NodeExpanded(TTreeNode&) override {}
    void SelectionChanged(TTreeNode*) override {}
};

TEST_F(ProtTreeTest, ANodeThatCannotBeCompletedIsRemovedWithItsRecord) {
    FailingObserver failing;
    tree.Attach(failing);
    EXPECT_EQ(AddProtTree(tree, boxes, 0, 0, "P", "", nullptr), nullptr);
    tree.Detach(failing);
    // No node is left whose record was freed; the folder it made went with it.
    EXPECT_EQ(tree.ProtocolsFolder(), nullptr);
    EXPECT_EQ(tree.Root()->Count(), 0);
    EXPECT_EQ(AddProtTree(tree, boxes, 0, 0, "P", "", nullptr)->Text(), "P");
}

TEST(ProtTree, WithoutARootThereIsNoFolder) {
    TTreeModel tree;
    TScriptedBoxes boxes;
    EXPECT_EQ(AddProtTree(tree, boxes, 0, 0, "P", "", nullptr), nullptr);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Msg, "Error in AddProtTree. Node not found");
}

} // namespace

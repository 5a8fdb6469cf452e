// The tree model: the sort order of siblings, the changes it reports to its
// views, the selection and the main window's node references when nodes go.
#include "app/tree/TreeModel_.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what the model reports, one text per call.
class TRecorder : public ITreeObserver {
public:
    std::vector<std::string> calls;

    void NodeAdded(TTreeNode& N) override { calls.push_back("added " + N.Text()); }
    void NodeChanged(TTreeNode& N) override { calls.push_back("changed " + N.Text()); }
    void NodeMoved(TTreeNode& N) override { calls.push_back("moved " + N.Text()); }
    void NodeDeleting(TTreeNode& N) override { calls.push_back("deleting " + N.Text()); }
    void NodeExpanded(TTreeNode& N) override {
        calls.push_back((N.Expanded() ? "expanded " : "collapsed ") + N.Text());
    }
    void SelectionChanged(TTreeNode* N) override {
        calls.push_back("selected " + (N ? N->Text() : std::string("none")));
    }
};

std::vector<std::string> ChildTexts(const TTreeModel& Model, const TTreeNode* Parent) {
    std::vector<std::string> out;
    const int32_t n = Parent ? Parent->Count() : Model.Count();
    for (int32_t i = 0; i < n; ++i)
        out.push_back((Parent ? Parent->Item(i) : Model.Item(i))->Text());
    return out;
}

TChamberData Chamber(int32_t Number) {
    TChamberData c;
    c.Kind = Number == 0 ? nkZephoraChamber0 : nkZephoraChamber;
    c.Chamber = Number;
    return c;
}

TEST(DefaultCompareText, LettersWithoutCaseFirstThenLowerBeforeUpper) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"a", "B", -1},
        {"B", "a", 1},
        {"a", "A", -1},
        {"A", "a", 1},
        {"abc", "abd", -1},
        {"ab", "abc", -1},
        {"Records", "records", 1},
        {"COM10 1", "COM3 1", -1},
        {"x", "x", 0},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " | " + c.b);
        const int r = DefaultCompareText(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign);
    }
}

TEST(TreeModelOrder, SiblingsByTextChambersByNumber) {
    TTreeModel model;
    TTreeNode* root = model.AddChild(nullptr, "PC [u]", TPCData{});
    for (const char* text :
         {"USB1 0000001", "Records", "COM3 0000042", "Protocols", "COM10 0000001"})
        model.AddChild(root, text, TInstrumentData{});
    EXPECT_EQ(ChildTexts(model, root),
              (std::vector<std::string>{"COM10 0000001", "COM3 0000042", "Protocols", "Records",
                                        "USB1 0000001"}));

    TTreeNode* instrument = root->Item(1);
    // Texts that sort the other way round: the number decides.
    model.AddChild(instrument, "A", Chamber(5));
    model.AddChild(instrument, "Z", Chamber(0));
    model.AddChild(instrument, "M", Chamber(2));
    EXPECT_EQ(ChildTexts(model, instrument), (std::vector<std::string>{"Z", "M", "A"}));
}

TEST(TreeModelOrder, EqualNodesKeepTheirOrder) {
    TTreeModel model;
    TTreeNode* first = model.AddChild(nullptr, "P", TProtData{});
    TTreeNode* second = model.AddChild(nullptr, "P", TProtData{});
    model.AddChild(nullptr, "A", TProtData{});
    EXPECT_EQ(model.Item(1), first);
    EXPECT_EQ(model.Item(2), second);
}

TEST(TreeModelOrder, ANewTextMovesTheNodeToItsPlace) {
    TTreeModel model;
    TTreeNode* root = model.AddChild(nullptr, "PC", TPCData{});
    TTreeNode* a = model.AddChild(root, "Alpha", TProtData{});
    model.AddChild(root, "Beta", TProtData{});
    model.AddChild(root, "Gamma", TProtData{});
    TTreeNode* instrument = model.AddChild(root, "Instr", TInstrumentData{});
    TTreeNode* c1 = model.AddChild(instrument, "Chamber 1", Chamber(1));
    model.AddChild(instrument, "Chamber 2", Chamber(2));

    TRecorder rec;
    model.Attach(rec);
    model.SetText(a, "Zeta");
    EXPECT_EQ(ChildTexts(model, root),
              (std::vector<std::string>{"Beta", "Gamma", "Instr", "Zeta"}));
    // A renamed chamber stays where its number puts it.
    model.SetText(c1, "(1) Zzz");
    EXPECT_EQ(ChildTexts(model, instrument), (std::vector<std::string>{"(1) Zzz", "Chamber 2"}));
    // The same text again changes nothing.
    model.SetText(c1, "(1) Zzz");
    EXPECT_EQ(rec.calls,
              (std::vector<std::string>{"changed Zeta", "moved Zeta", "changed (1) Zzz"}));
}

TEST(TreeModelNavigation, GetNextWalksInDisplayOrderAndIndexOfCounts) {
    TTreeModel model;
    TTreeNode* root = model.AddChild(nullptr, "R", TPCData{});
    TTreeNode* a = model.AddChild(root, "A", TInstrumentData{});
    model.AddChild(a, "a0", Chamber(0));
    model.AddChild(a, "a1", Chamber(1));
    model.AddChild(root, "B", TRecNodeData{});
    model.AddChild(nullptr, "S", TPCData{});

    std::vector<std::string> order;
    for (TTreeNode* n = model.GetNext(nullptr); n; n = model.GetNext(n))
        order.push_back(n->Text());
    EXPECT_EQ(order, (std::vector<std::string>{"R", "A", "a0", "a1", "B", "S"}));
    EXPECT_EQ(model.IndexOf(a->Item(1)), 1);
    EXPECT_EQ(model.IndexOf(model.Item(1)), 1);
    EXPECT_TRUE(a->Item(1)->IsWithin(root));
    EXPECT_FALSE(root->IsWithin(a));
}

TEST(TreeModelChanges, EachChangeIsReportedOnce) {
    TTreeModel model;
    TRecorder rec;
    model.Attach(rec);
    TTreeNode* root = model.AddChild(nullptr, "R", TPCData{});
    EXPECT_EQ(root->ImageIndex(), 0);
    EXPECT_EQ(root->StateIndex(), imNone);
    model.SetNodeImages(root, 3, 4, 12);
    model.SetNodeImages(nullptr, 1, 1, 1);
    // Without children nothing expands.
    model.Expand(root, false);
    TTreeNode* a = model.AddChild(root, "A", TInstrumentData{});
    model.AddChild(a, "a0", Chamber(0));
    model.Expand(root, true);
    model.Expand(root, true);
    model.Collapse(a);
    model.Collapse(a);
    model.Select(a);
    model.Select(a);
    model.Detach(rec);
    model.Select(root);

    EXPECT_EQ(rec.calls,
              (std::vector<std::string>{"added R", "changed R", "added A", "added a0", "expanded R",
                                        "expanded A", "collapsed A", "selected A"}));
    EXPECT_EQ(root->ImageIndex(), 3);
    EXPECT_EQ(root->SelectedIndex(), 4);
    EXPECT_EQ(root->StateIndex(), 12);
}

class TreeModelDelete : public testing::Test {
protected:
    TTreeModel model;
    TRecorder rec;
    TTreeNode* root = model.AddChild(nullptr, "R", TPCData{});
    TTreeNode* records = model.AddChild(root, "Records", TRecNodeData{});
    TTreeNode* file = model.AddChild(records, "file", TRecData{});
    TTreeNode* protocols = model.AddChild(root, "Protocols", TProtNodeData{});

    void SetUp() override {
        model.SetRoot(root);
        model.SetRecordsFolder(records);
        model.SetProtocolsFolder(protocols);
        model.Expand(records, false);
        model.Attach(rec);
    }
};

TEST_F(TreeModelDelete, TheSubtreeGoesAndReferencesIntoItAreCleared) {
    model.Select(file);
    model.Delete(records);
    EXPECT_EQ(rec.calls,
              (std::vector<std::string>{"selected file", "deleting Records", "selected none"}));
    EXPECT_EQ(ChildTexts(model, root), std::vector<std::string>{"Protocols"});
    EXPECT_EQ(model.RecordsFolder(), nullptr);
    EXPECT_EQ(model.ProtocolsFolder(), protocols);
    EXPECT_EQ(model.Root(), root);
    EXPECT_EQ(model.Selected(), nullptr);

    model.Delete(root);
    EXPECT_EQ(model.Count(), 0);
    EXPECT_EQ(model.Root(), nullptr);
    EXPECT_EQ(model.ProtocolsFolder(), nullptr);
}

TEST_F(TreeModelDelete, ASelectionOutsideStaysAndAnEmptiedParentIsCollapsed) {
    model.Select(protocols);
    model.Delete(file);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"selected Protocols", "deleting file"}));
    EXPECT_EQ(model.Selected(), protocols);
    EXPECT_FALSE(records->Expanded());
    model.Delete(nullptr);
    EXPECT_EQ(rec.calls.size(), 2u);
}

} // namespace

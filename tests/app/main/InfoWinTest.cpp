// Renaming a chamber and the chamber information dialog's logic on a small tree:
// the computer, an instrument and its chamber 3.
#include "app/main/InfoWin_.h"
#include "app/tree/TreeNodes_.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TRecWindow : public IRecordWindow {
public:
    bool modified = false;
    void Show() override {}
    void Close() override {}
    bool Recording() const override { return false; }
    bool Modified() const override { return modified; }
    bool HasSamples() const override { return false; }
    TUnitOverrides UnitOverrides() const override { return {}; }
    void AddLiveSample() override {}
    void ShowActualValues() override {}
    void UpdateUnits() override {}
};

class ChamberTest : public testing::Test {
protected:
    TTreeModel tree;
    TTreeNode* root = CreateRootNode(tree, "LAB-PC", "anna");
    TTreeNode* instrument = tree.AddChild(root, "COM3 0012345", Instrument());
    TTreeNode* chamber = tree.AddChild(instrument, "Chamber 3 - 0012345", Chamber3());

    static TInstrumentData Instrument() {
        TInstrumentData d;
        d.InterfaceIndex = 2;
        d.SerialNumber = 12345;
        return d;
    }
    static TChamberData Chamber3() {
        TChamberData d;
        d.Kind = nkZephoraChamber;
        d.Chamber = 3;
        SetFieldText(d.SWVers, "V1.02");
        SetFieldText(d.IdPart, "ZEPHORA");
        SetFieldText(d.SerialPart, "0012345");
        SetFieldText(d.Name, "Chamber 3 - 0012345");
        d.InfoText = "first\r\nsecond";
        return d;
    }
    std::string StoredName() { return FieldText(ChamberData(chamber)->Name); }
};

TEST_F(ChamberTest, RenameStoresTheNameAndShowsItWithTheChamberNumber) {
    const std::string fifty(50, 'x');
    struct Case {
        const char* name;
        std::string newName;
        std::string stored;
        std::string text;
    } cases[] = {
        {"plain name", "Sample A", "Sample A", "(3) Sample A"},
        {"already numbered", "(3) Sample A", "(3) Sample A", "(3) Sample A"},
        {"another chamber's number", "(4) Sample A", "(4) Sample A", "(3) (4) Sample A"},
        {"number without blank", "(3)Sample", "(3)Sample", "(3) (3)Sample"},
        {"empty", "", "Chamber 3 - 0012345", "Chamber 3 - 0012345"},
        {"the default typed", "Chamber 3 - 0012345", "Chamber 3 - 0012345", "Chamber 3 - 0012345"},
        {"another serial's default", "Chamber 3 - 0099999", "Chamber 3 - 0099999",
         "(3) Chamber 3 - 0099999"},
        {"leading star", "*Sample", "_Sample", "(3) _Sample"},
        {"star inside", "Sam*ple", "Sam*ple", "(3) Sam*ple"},
        {"50 characters", fifty, std::string(40, 'x'), "(3) " + std::string(40, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string shown = "before";
        RenameChamber(tree, chamber, c.newName, shown);
        EXPECT_EQ(StoredName(), c.stored);
        EXPECT_EQ(chamber->Text(), c.text);
        EXPECT_EQ(shown, c.text);
    }
}

TEST_F(ChamberTest, ARecordWindowWithUnsavedSamplesKeepsTheUnsavedMark) {
    TRecWindow window;
    ChamberData(chamber)->RecordWindow = &window;
    struct Case {
        bool modified;
        const char* text;
    } cases[] = {{true, "* (3) Oven"}, {false, "(3) Oven"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        window.modified = c.modified;
        std::string shown;
        RenameChamber(tree, chamber, "Oven", shown);
        EXPECT_EQ(chamber->Text(), c.text);
        EXPECT_EQ(shown, "(3) Oven");
        EXPECT_EQ(StoredName(), "Oven");
    }
}

TEST_F(ChamberTest, OnlyChamberNodesTakeAName) {
    for (TTreeNode* node : {root, instrument, static_cast<TTreeNode*>(nullptr)}) {
        SCOPED_TRACE(node ? node->Text() : "no node");
        const std::string before = node ? node->Text() : "";
        std::string shown = "before";
        RenameChamber(tree, node, "Oven", shown);
        EXPECT_EQ(shown, "");
        if (node) {
            EXPECT_EQ(node->Text(), before);
        }
    }
    EXPECT_EQ(StoredName(), "Chamber 3 - 0012345");
}

class TShownTexts : public IInfoWinView {
public:
    std::vector<TChamberInfoTexts> shown;
    void ShowChamber(const TChamberInfoTexts& T) override { shown.push_back(T); }
};

TEST_F(ChamberTest, DialogShowsTheChamberAndStartsUnchanged) {
    TInfoWinCtl info(tree);
    TShownTexts view;
    info.FormShow(view);
    EXPECT_TRUE(view.shown.empty());

    info.SetNode(chamber);
    info.NameChanged();
    info.FormShow(view);
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0], (TChamberInfoTexts{"ZEPHORA", "3", "V1.02", "0012345",
                                                "Chamber 3 - 0012345", "first\r\nsecond"}));
    EXPECT_FALSE(info.Changed());
}

TEST_F(ChamberTest, OkStoresTheNotesAndRenamesOnlyAfterAChangeOfTheName) {
    struct Case {
        const char* name;
        bool changed;
        std::string stored;
        std::string text;
    } cases[] = {
        {"name untouched", false, "Chamber 3 - 0012345", "Chamber 3 - 0012345"},
        {"name changed", true, "Oven", "(3) Oven"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree.SetText(chamber, "Chamber 3 - 0012345");
        SetFieldText(ChamberData(chamber)->Name, "Chamber 3 - 0012345");
        TInfoWinCtl info(tree);
        TShownTexts view;
        info.SetNode(chamber);
        info.FormShow(view);
        if (c.changed)
            info.NameChanged();
        info.ButtonOKClick("Oven", "new notes");
        EXPECT_EQ(StoredName(), c.stored);
        EXPECT_EQ(chamber->Text(), c.text);
        EXPECT_EQ(ChamberData(chamber)->InfoText, "new notes");
    }
}

// The dialog is modal, but the watchdog and the events go on meanwhile: its chamber
// may leave the tree (its instrument lost or disconnected) before OK is pressed.
TEST_F(ChamberTest, OkAfterTheChamberLeftTheTreeWritesNothing) {
    TInfoWinCtl info(tree);
    TShownTexts view;
    info.SetNode(chamber);
    info.FormShow(view);
    info.NameChanged();

    tree.Delete(tree.AddChild(root, "Records", TRecNodeData{}));
    EXPECT_EQ(info.Node(), chamber);

    tree.Delete(instrument);
    EXPECT_EQ(info.Node(), nullptr);
    info.ButtonOKClick("Oven", "notes");
    info.FormShow(view);
    EXPECT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(tree.GetNext(root), nullptr);
}

} // namespace

// LoadFile by extension and Save / Save As of records and protocols, over a
// fake host and fake record windows.
#include "app/documents/Documents_.h"

#include "app/protocol/ProtTree_.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeRecWindowFactory.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class FakeProtocolWindow : public IProtocolWindow {
public:
    void Show() override {}
    void Close() override {}
};

class FakeDocumentsHost : public IDocumentsHost {
public:
    std::set<std::string> files;
    std::vector<std::string> log;
    bool loadSucceeds = true;
    bool dataReplaced = false;
    bool addRecTree = false;
    bool closing = false;
    bool saveFails = false;
    // The dialog's answer: empty cancels, otherwise the name chosen.
    std::string chosen;
    std::string proposed; // what the dialog was given
    std::string caption;

    bool FileExists(const std::string& FileName) override { return files.count(FileName) != 0; }
    std::string FullPathName(const std::string& FileName) override {
        return FileName.find('\\') == std::string::npos ? "C:\\cwd\\" + FileName : FileName;
    }
    double FileAge(const std::string&) override { return 7; }
    void OpenProtocolFile(const std::string& FileName) override {
        log.push_back("protocol " + FileName);
    }
    void LoadTreeFile(const std::string& FileName) override { log.push_back("tree " + FileName); }
    bool LoadRecordFile(IRecordWindow&, const std::string& FileName) override {
        log.push_back("record " + FileName);
        return loadSucceeds;
    }
    void Activate(IRecordWindow&) override { log.push_back("activate"); }
    bool SaveRecordDialog(std::string& FileName) override {
        proposed = FileName;
        log.push_back("dialog " + FileName);
        if (chosen.empty())
            return false;
        FileName = chosen;
        return true;
    }
    std::string Caption(IRecordWindow&) override { return caption; }
    void SaveRecordFile(IRecordWindow&, const std::string& FileName) override {
        if (saveFails)
            throw std::runtime_error("Cannot save the file " + FileName + "!");
        log.push_back("save " + FileName);
        files.insert(FileName);
    }
    bool DataReplaced(IRecordWindow&) override { return dataReplaced; }
    bool SaveProtocolAs(IProtocolWindow&) override {
        log.push_back("protocol save as");
        return true;
    }
    bool AddRecTree() override { return addRecTree; }
    bool MainClosing() override { return closing; }
};

class DocumentsTest : public testing::Test {
protected:
    TTreeModel tree;
    TScriptedBoxes boxes;
    TRecWindows recWindows{tree, boxes, [] { return std::string("C:\\tmp\\"); }};
    TFakeRecWindowFactory factory;
    FakeDocumentsHost host;
    TDocuments docs{tree, boxes, recWindows, host};

    void SetUp() override {
        CreateRootNode(tree, "PC", "anna");
        recWindows.SetFactory(&factory);
    }

    // A chamber on COM1 with an open window of factory's making.
    TTreeNode* ChamberWithWindow(const std::string& RecordFileName) {
        TInstrumentData d;
        TTreeNode* instrument = FindOrAddNode(tree, tree.Root(), true, d);
        TChamberData c;
        c.Kind = nkZephoraChamber0;
        c.RecordFileName = RecordFileName;
        TTreeNode* chamber = FindOrAddNode(tree, instrument, true, c);
        ChamberData(chamber)->RecordWindow = &window;
        return chamber;
    }
    TFakeRecordWindow window;
};

TEST_F(DocumentsTest, LoadFileChoosesByTheExtensionCaseSensitively) {
    const struct {
        const char* File;
        std::vector<std::string> Log;
    } cases[] = {
        {"C:\\d\\p.zqp", {"protocol C:\\d\\p.zqp"}},
        {"C:\\d\\lab.zqd", {"tree C:\\d\\lab.zqd"}},
        {"lab.zqd", {"tree C:\\cwd\\lab.zqd"}},
        {"C:\\d\\r.ZQR", {}},
        {"C:\\d\\r.zqr.txt", {}},
        {"C:\\d.zqr\\r", {}},
        {"C:\\d\\missing.zqp", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        host.log.clear();
        if (std::string(c.File).find("missing") == std::string::npos)
            host.files.insert(c.File);
        docs.LoadFile(c.File);
        EXPECT_EQ(host.log, c.Log);
    }
    EXPECT_EQ(tree.RecordsFolder(), nullptr);
}

TEST_F(DocumentsTest, ARecordFileOpenTwiceHasOneNodeAndWindow) {
    host.files = {"C:\\d\\run.zqr"};
    docs.LoadFile("C:\\d\\run.zqr");
    docs.LoadFile("C:\\d\\run.zqr");
    ASSERT_NE(tree.RecordsFolder(), nullptr);
    ASSERT_EQ(tree.RecordsFolder()->Count(), 1);
    const TTreeNode* node = tree.RecordsFolder()->Item(0);
    EXPECT_EQ(node->Text(), "run");
    EXPECT_EQ(node->As<TRecData>()->FileName, "C:\\d\\run.zqr");
    EXPECT_EQ(node->As<TRecData>()->FileAge, 7);
    ASSERT_EQ(factory.windows.size(), 1u);
    EXPECT_EQ(factory.windows[0]->shown, 1) << "the open window comes to the front";
    EXPECT_EQ(host.log, (std::vector<std::string>{"record C:\\d\\run.zqr", "activate"}));
}

TEST_F(DocumentsTest, ARejectedRecordFileClosesItsWindow) {
    host.files = {"C:\\d\\bad.zqr"};
    host.loadSucceeds = false;
    docs.LoadFile("C:\\d\\bad.zqr");
    ASSERT_EQ(factory.windows.size(), 1u);
    EXPECT_EQ(factory.windows[0]->closed, 1);
    EXPECT_EQ(host.log, std::vector<std::string>{"record C:\\d\\bad.zqr"});
}

TEST_F(DocumentsTest, AWindowThatCannotBeMadeTakesItsNodeAndFolder) {
    host.files = {"C:\\d\\run.zqr"};
    factory.failAt = "SetCaption";
    docs.LoadFile("C:\\d\\run.zqr");
    EXPECT_EQ(tree.RecordsFolder(), nullptr);
    EXPECT_EQ(tree.Root()->Count(), 0);
    ASSERT_EQ(boxes.Shown.size(), 1u);
}

TEST_F(DocumentsTest, SaveOfAChamberGoesToItsFileUnlessItsDataWereReplaced) {
    for (const bool replaced : {false, true}) {
        SCOPED_TRACE(replaced ? "data replaced" : "same data");
        host.log.clear();
        host.dataReplaced = replaced;
        host.chosen = "C:\\d\\new.zqr";
        TTreeNode* chamber = ChamberWithWindow("C:\\d\\old.zqr");
        EXPECT_TRUE(docs.Save(chamber));
        const std::vector<std::string> expected =
            replaced ? std::vector<std::string>{"dialog C:\\d\\old.zqr", "save C:\\d\\new.zqr"}
                     : std::vector<std::string>{"save C:\\d\\old.zqr"};
        EXPECT_EQ(host.log, expected);
        EXPECT_EQ(ChamberData(chamber)->RecordFileName,
                  replaced ? "C:\\d\\new.zqr" : "C:\\d\\old.zqr");
    }
}

TEST_F(DocumentsTest, SaveAsProposesTheCaptionWithoutMarkAndForbiddenCharacters) {
    TTreeNode* chamber = ChamberWithWindow("");
    host.caption = "* a/b:c";
    EXPECT_FALSE(docs.Save(chamber)) << "cancelled";
    EXPECT_EQ(host.proposed, "a_b_c");
    EXPECT_EQ(host.log, std::vector<std::string>{"dialog a_b_c"});
    EXPECT_EQ(ChamberData(chamber)->RecordFileName, "");
}

TEST_F(DocumentsTest, AFailedSaveIsShownAndNamesNoFile) {
    TTreeNode* chamber = ChamberWithWindow("");
    host.chosen = "C:\\d\\new.zqr";
    host.saveFails = true;
    EXPECT_FALSE(docs.SaveAs(chamber));
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Msg, "Cannot save the file C:\\d\\new.zqr!");
    EXPECT_EQ(ChamberData(chamber)->RecordFileName, "");
}

TEST_F(DocumentsTest, SaveAsOfAChamberAddsTheFileUnderRecordsUnlessClosing) {
    for (const bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "closing" : "open");
        host.addRecTree = true;
        host.closing = closing;
        host.chosen = closing ? "C:\\d\\b.zqr" : "C:\\d\\a.zqr";
        EXPECT_TRUE(docs.SaveAs(ChamberWithWindow("")));
    }
    ASSERT_NE(tree.RecordsFolder(), nullptr);
    ASSERT_EQ(tree.RecordsFolder()->Count(), 1);
    EXPECT_EQ(tree.RecordsFolder()->Item(0)->As<TRecData>()->FileName, "C:\\d\\a.zqr");
}

TEST_F(DocumentsTest, AnImportedLogIsNeverSavedOverItsSource) {
    TTreeNode* node = CreateRecNode(tree, boxes, "* LOG", "C:\\morlisk\\LOG.txt", false, 0);
    node->As<TRecData>()->RecordWindow = &window;
    host.caption = "* LOG";
    host.chosen = "C:\\d\\log.zqr";
    EXPECT_TRUE(docs.Save(node));
    EXPECT_EQ(host.log, (std::vector<std::string>{"dialog LOG", "save C:\\d\\log.zqr"}));
    EXPECT_EQ(node->As<TRecData>()->FileName, "C:\\d\\log.zqr");
    EXPECT_EQ(node->Text(), "log");
    // Named now: the next Save writes there without asking.
    host.log.clear();
    EXPECT_TRUE(docs.Save(node));
    EXPECT_EQ(host.log, std::vector<std::string>{"save C:\\d\\log.zqr"});
}

TEST_F(DocumentsTest, SaveOfAModifiedLoadedRecordAsksForAName) {
    TTreeNode* node = CreateRecNode(tree, boxes, "run", "C:\\d\\run.zqr", false, 0);
    node->As<TRecData>()->RecordWindow = &window;
    window.modified = true;
    host.caption = "run";
    host.chosen = "C:\\d\\run2.zqr";
    EXPECT_TRUE(docs.Save(node));
    EXPECT_EQ(host.log, (std::vector<std::string>{"dialog run", "save C:\\d\\run2.zqr"}));
    EXPECT_EQ(node->As<TRecData>()->FileName, "C:\\d\\run2.zqr");
}

TEST_F(DocumentsTest, AProtocolIsSavedUnderAChosenName) {
    FakeProtocolWindow protocol;
    TTreeNode* node = AddProtTree(tree, boxes, 0, 255, "P", "", &protocol);
    EXPECT_TRUE(docs.Save(node));
    EXPECT_EQ(host.log, std::vector<std::string>{"protocol save as"});
    EXPECT_FALSE(docs.Save(tree.Root()));
}

} // namespace

namespace {

TEST(OpenDialog, SelectedFilesAreFullNamesInDialogOrder) {
    const struct {
        const char* Name;
        std::string Buffer;
        std::vector<std::string> Files;
    } cases[] = {
        {"one file", std::string("C:\\d\\a.zqr\0\0", 12), {"C:\\d\\a.zqr"}},
        {"three in a folder",
         std::string("C:\\d\0b.zqp\0a.zqr\0t.zqd\0\0", 24),
         {"C:\\d\\b.zqp", "C:\\d\\a.zqr", "C:\\d\\t.zqd"}},
        {"in the root folder",
         std::string("C:\\\0a.zqr\0b.zqr\0\0", 17),
         {"C:\\a.zqr", "C:\\b.zqr"}},
        {"nothing", std::string("\0\0", 2), {}},
        {"no NUL at the end", std::string("C:\\d\0a.zqr\0b.zq", 15), {"C:\\d\\a.zqr"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(SelectedFiles(c.Buffer.data(), c.Buffer.size()), c.Files);
    }
}

} // namespace

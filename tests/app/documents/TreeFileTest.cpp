// The tree file: what the writer puts in it, its replacement of an older file
// whole or not at all, and the loader's steps over a fake host.
#include "app/documents/TreeFile_.h"

#include "app/protocol/ProtTree_.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/record/MemFiles.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

TTreeNode* AddInstrument(TTreeModel& Tree, int32_t InterfaceIndex, const std::string& Text) {
    TInstrumentData d;
    d.Kind = InterfaceIndex < 256 ? nkSerialInstrument : nkUsbInstrument;
    d.InterfaceIndex = InterfaceIndex;
    TTreeNode* node = FindOrAddNode(Tree, Tree.Root(), true, d);
    Tree.SetText(node, Text);
    return node;
}

TTreeNode* AddChamber(TTreeModel& Tree, TTreeNode* Instrument, int32_t Number,
                      const std::string& Serial) {
    TChamberData c;
    c.Kind = ChamberKindOf("ZEPHORA", Number);
    c.Chamber = Number;
    SetFieldText(c.SerialPart, Serial);
    TTreeNode* node = FindOrAddNode(Tree, Instrument, true, c);
    Tree.SetText(node, DefaultChamberName(Number, Serial));
    return node;
}

class TreeFileWriter : public testing::Test {
protected:
    TTreeModel tree;
    TScriptedBoxes boxes;
    void SetUp() override { CreateRootNode(tree, "PC", "anna"); }
};

TEST_F(TreeFileWriter, GoldenFileOfInstrumentsChambersAndOpenDocuments) {
    TTreeNode* com3 = AddInstrument(tree, 2, "COM3 0000042");
    TTreeNode* oven = AddChamber(tree, com3, 0, "0012345");
    SetFieldText(ChamberData(oven)->Name, "Oven");
    ChamberData(oven)->InfoText = "shelf 2\r\ncheck daily\r\n";
    AddChamber(tree, com3, 1, "0012346");
    AddInstrument(tree, 256, "USB1 0000500");
    CreateRecNode(tree, boxes, "run", "C:\\data\\run.zqr", false, 0);
    CreateRecNode(tree, boxes, "* LOG", "C:\\morlisk\\LOG.txt", false, 0);
    AddProtTree(tree, boxes, 3, 0, "Cal", "C:\\data\\cal.zqp", nullptr);
    AddProtTree(tree, boxes, 3, 0, "* Actual Protocol", "", nullptr);

    EXPECT_EQ(BuildTreeFile(tree).Text(), "[Coms]\r\n0=2\r\n1=256\r\nCount=2\r\n"
                                          "[Instruments]\r\n0=0012345\r\n1=0012346\r\nCount=2\r\n"
                                          "[0012345]\r\nName=Oven\r\nCount=2\r\n"
                                          "0=shelf 2\r\n1=check daily\r\n"
                                          "[0012346]\r\nName=\r\nCount=0\r\n"
                                          "[Files]\r\n0=C:\\data\\cal.zqp\r\n"
                                          "1=C:\\data\\run.zqr\r\nCount=2\r\n");
}

TEST_F(TreeFileWriter, AnEmptyTreeWritesTheCountsAlone) {
    EXPECT_EQ(BuildTreeFile(tree).Text(),
              "[Coms]\r\nCount=0\r\n[Files]\r\nCount=0\r\n[Instruments]\r\nCount=0\r\n");
}

TEST_F(TreeFileWriter, TwoChambersWithOneSerialShareTheSectionOfTheLater) {
    TTreeNode* com1 = AddInstrument(tree, 0, "COM1 0000001");
    SetFieldText(ChamberData(AddChamber(tree, com1, 0, "77"))->Name, "First");
    SetFieldText(ChamberData(AddChamber(tree, com1, 1, "77"))->Name, "Second");
    const TIniFile ini = BuildTreeFile(tree);
    EXPECT_EQ(ini.ReadInteger("Instruments", "Count", -1), 2);
    EXPECT_EQ(ini.ReadString("77", "Name", ""), "Second");
}

TEST(TreeFileWrite, ReplacesAnOlderFileWholeOrNotAtAll) {
    const std::string name = "C:\\t\\lab.zqd";
    const std::string older = "[Coms]\r\nCount=0\r\n[Foreign]\r\nx=1\r\n";
    const std::string text = "[Coms]\r\nCount=1\r\n0=2\r\n";
    const struct {
        const char* Fault;
        bool ReplaceFails;
        int64_t WriteBudget;
        bool Locked;
    } cases[] = {
        {"none", false, -1, false},
        {"disk full", false, 5, false},
        {"replace refused", true, -1, false},
        {"sibling locked", false, -1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Fault);
        TMemFileSystem fs;
        fs[name].assign(older.begin(), older.end());
        fs.Files[name].Durable = fs.Files[name].Data;
        fs.ReplaceFails = c.ReplaceFails;
        fs.WriteBudget = c.WriteBudget;
        if (c.Locked)
            fs.Locked.insert(name + ".saving~");
        const std::string message = WriteTreeFile(fs, name, text);
        const bool ok = std::string(c.Fault) == "none";
        EXPECT_EQ(message, ok ? "" : "Cannot save the tree file C:\\t\\lab.zqd!");
        const std::vector<uint8_t>& now = fs.Files[name].Data;
        EXPECT_EQ(std::string(now.begin(), now.end()), ok ? text : older);
        EXPECT_EQ(fs.Files.count(name + ".saving~"), 0u);
        if (ok) {
            fs.PowerLoss();
            const std::vector<uint8_t>& durable = fs.Files[name].Data;
            EXPECT_EQ(std::string(durable.begin(), durable.end()), text)
                << "flushed before replacing";
        }
    }
}

TEST(TreeFileRead, AMissingFileReadsAsEmpty) {
    TMemFileSystem fs;
    const TIniFile ini = ReadTreeFile(fs, "C:\\none.zqd");
    EXPECT_EQ(ini.Text(), "");
}

// The main window around the loader: instruments that connect put their nodes
// in the tree, every step is logged.
class FakeTreeHost : public ITreeFileHost {
public:
    explicit FakeTreeHost(TTreeModel& Tree) : tree(Tree) {}

    TTreeModel& tree;
    std::vector<std::string> log;
    bool refuseClose = false;
    bool keepInstruments = false;
    std::vector<TReopenAnswer> answers; // for failing ports, in order
    std::vector<int32_t> failing;       // ports whose reopen fails
    std::string caption = "Tessaly MC";

    bool CloseChildWindows() override {
        log.push_back("close windows");
        return !refuseClose;
    }
    void DisconnectAll() override {
        log.push_back("disconnect");
        if (keepInstruments)
            return;
        while (tree.Root()->Count() > 0)
            FreeAndDeleteNode(tree, tree.Root()->Item(0));
    }
    void ScanUsbDevices() override { log.push_back("usb scan"); }
    TReopenAnswer ReopenComPort(int32_t Port) override {
        log.push_back("reopen " + std::to_string(Port));
        if (std::find(failing.begin(), failing.end(), Port) == failing.end()) {
            AddChamber(tree, AddInstrument(tree, Port - 1, "COM" + std::to_string(Port)), 0,
                       "S" + std::to_string(Port));
            return TReopenAnswer::Next;
        }
        if (answers.empty())
            return TReopenAnswer::Stop;
        const TReopenAnswer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void LoadFile(const std::string& FileName) override { log.push_back("load " + FileName); }
    void SetCaption(const std::string& Caption) override { caption = Caption; }
};

class TreeFileLoader : public testing::Test {
protected:
    TTreeModel tree;
    FakeTreeHost host{tree};
    void SetUp() override { CreateRootNode(tree, "PC", "anna"); }
    bool Load(const std::string& Text) {
        return LoadTreeFile(tree, host, TIniFile::Parse(Text), "C:\\t\\lab.zqd");
    }
    std::vector<std::string> Reopened() const {
        std::vector<std::string> r;
        for (const std::string& s : host.log)
            if (s.rfind("reopen", 0) == 0)
                r.push_back(s);
        return r;
    }
};

TEST_F(TreeFileLoader, OnlySerialEntriesAreReopenedAndCountsAreBoundedByTheKeys) {
    const struct {
        const char* Name;
        const char* Coms;
        std::vector<std::string> Reopened;
    } cases[] = {
        {"serial, USB, negative, beyond USB, no number, missing",
         "Count=7\r\n0=2\r\n1=256\r\n2=-1\r\n3=600\r\n4=x\r\n6=5\r\n",
         {"reopen 3", "reopen 6"}},
        {"COM256 is a port like any other",
         "Count=2\r\n0=255\r\n1=4\r\n",
         {"reopen 256", "reopen 5"}},
        {"a count far above its keys",
         "Count=2147483647\r\n0=1\r\n1=2\r\n",
         {"reopen 2", "reopen 3"}},
        {"a negative count", "Count=-5\r\n0=1\r\n", {}},
        {"no section", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        host.log.clear();
        ASSERT_TRUE(Load(std::string(*c.Coms ? "[Coms]\r\n" : "") + c.Coms));
        EXPECT_EQ(Reopened(), c.Reopened);
    }
}

TEST_F(TreeFileLoader, RetryTriesTheSamePortIgnoreGoesOnAbortStopsTheSerialEntries) {
    host.failing = {3, 4};
    host.answers = {TReopenAnswer::Retry, TReopenAnswer::Retry, TReopenAnswer::Next,
                    TReopenAnswer::Stop};
    ASSERT_TRUE(Load("[Coms]\r\nCount=4\r\n0=2\r\n1=3\r\n2=4\r\n3=1\r\n"
                     "[Files]\r\nCount=1\r\n0=C:\\d\\a.zqr\r\n"));
    EXPECT_EQ(Reopened(),
              (std::vector<std::string>{"reopen 3", "reopen 3", "reopen 3", "reopen 4"}));
    EXPECT_EQ(host.log.back(), "load C:\\d\\a.zqr") << "Abort ends the ports, not the load";
    EXPECT_EQ(host.caption, "Tessaly MC [C:\\t\\lab.zqd]");
}

TEST_F(TreeFileLoader, ChambersGetTheirNamesAndInfoLinesFilesOpenInOrder) {
    ASSERT_TRUE(Load("[Coms]\r\nCount=2\r\n0=2\r\n1=6\r\n"
                     "[Instruments]\r\nCount=3\r\n0=S3\r\n1=S7\r\n2=unknown\r\n"
                     "[S3]\r\nName=Oven\r\nCount=2\r\n0=shelf 2\r\n1=daily\r\n"
                     "[S7]\r\nName=\r\nCount=2147483647\r\n0=only\r\n"
                     "[unknown]\r\nName=Lost\r\n"
                     "[Files]\r\nCount=2\r\n0=C:\\d\\b.zqp\r\n1=C:\\d\\a.zqr\r\n"));
    const TChamberData* s3 = ChamberData(tree.Root()->Item(0)->Item(0));
    const TChamberData* s7 = ChamberData(tree.Root()->Item(1)->Item(0));
    ASSERT_TRUE(s3 && s7);
    EXPECT_EQ(FieldText(s3->Name), "Oven");
    EXPECT_EQ(tree.Root()->Item(0)->Item(0)->Text(), "(0) Oven");
    EXPECT_EQ(s3->InfoText, "shelf 2\r\ndaily\r\n");
    EXPECT_EQ(tree.Root()->Item(1)->Item(0)->Text(), "Chamber 0 - S7");
    // Three keys in the section: a count beyond them reads the missing ones empty.
    EXPECT_EQ(s7->InfoText, "only\r\n\r\n\r\n");
    const std::vector<std::string> tail(host.log.end() - 2, host.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"load C:\\d\\b.zqp", "load C:\\d\\a.zqr"}));
    EXPECT_EQ(tree.Root()->As<TPCData>()->TreeFileName, "C:\\t\\lab.zqd");
}

TEST_F(TreeFileLoader, ARefusedCloseOrAnInstrumentLeftChangesNothing) {
    for (const bool refuse : {true, false}) {
        SCOPED_TRACE(refuse ? "a window refused to close" : "an instrument stayed");
        host.refuseClose = refuse;
        host.keepInstruments = !refuse;
        host.log.clear();
        AddInstrument(tree, 0, "COM1 0000001");
        EXPECT_FALSE(Load("[Coms]\r\nCount=1\r\n0=2\r\n[Files]\r\nCount=1\r\n0=a.zqr\r\n"));
        const std::vector<std::string> expected =
            refuse ? std::vector<std::string>{"close windows"}
                   : std::vector<std::string>{"close windows", "disconnect"};
        EXPECT_EQ(host.log, expected);
        EXPECT_EQ(host.caption, "Tessaly MC");
        EXPECT_EQ(tree.Root()->As<TPCData>()->TreeFileName, "");
    }
}

TEST_F(TreeFileLoader, WhatTheWriterWritesTheLoaderReadsBack) {
    TTreeNode* com3 = AddInstrument(tree, 2, "COM3 0000042");
    TTreeNode* chamber = AddChamber(tree, com3, 0, "S3");
    SetFieldText(ChamberData(chamber)->Name, "Oven");
    ChamberData(chamber)->InfoText = "a\r\nb\r\n";
    const std::string text = BuildTreeFile(tree).Text();
    ASSERT_TRUE(Load(text));
    EXPECT_EQ(Reopened(), std::vector<std::string>{"reopen 3"});
    const TChamberData* back = ChamberData(tree.Root()->Item(0)->Item(0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(FieldText(back->Name), "Oven");
    EXPECT_EQ(back->InfoText, "a\r\nb\r\n");
}

} // namespace

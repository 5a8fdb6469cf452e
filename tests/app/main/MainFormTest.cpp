// The main window's start-up and shutdown against a recording host: the order of
// the first activation, the command-line file, the screen-resolution notice, the
// closing of child windows and documents, and the end.
#include "app/main/MainForm_.h"

#include "app/main/OneInst.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records every call in order; child windows are names, "!" in front marks one
// that refuses to close.
class TRecordingHost : public IMainFormHost {
public:
    std::vector<std::string> calls;
    std::set<std::string> files;
    bool autoConnect = true;
    int ppi = 96;
    std::deque<std::string> children;
    std::function<void(const std::string&)> onLoad;
    std::function<void()> onClose;           // runs while a child window closes
    std::function<void()> onCloseInterfaces; // runs while the links close

    bool FileExists(const std::string& F) override { return files.count(F) != 0; }
    void LoadFile(const std::string& F) override {
        calls.push_back("LoadFile " + F);
        if (onLoad)
            onLoad(F);
    }
    bool AutoConnect() override { return autoConnect; }
    int PixelsPerInch() override { return ppi; }
    void StoreOpenPorts() override { calls.push_back("StoreOpenPorts"); }
    void ReconnectOpenPorts() override { calls.push_back("ReconnectOpenPorts"); }
    void ScanUsbDevices(bool DoInit) override {
        calls.push_back(DoInit ? "ScanUsbDevices init" : "ScanUsbDevices");
    }
    void CloseAllInterfaces() override {
        calls.push_back("CloseAllInterfaces");
        if (onCloseInterfaces)
            onCloseInterfaces();
    }
    int MDIChildCount() override { return static_cast<int>(children.size()); }
    void CloseFirstMDIChild() override {
        calls.push_back("Close " + children.front());
        if (onClose)
            onClose();
        if (children.front()[0] != '!')
            children.pop_front();
    }
    void ProcessMessages() override { calls.push_back("ProcessMessages"); }
};

// The window of a protocol or record file: closing it removes its node, and the
// folder with its last child, as the document windows do; "!" refuses.
class TDocWindow : public IProtocolWindow, public IRecordWindow {
public:
    TDocWindow(TTreeModel& Tree, TTreeNode* Node, std::vector<std::string>& Log,
               std::function<void()> OnClose)
        : FTree(Tree), FNode(Node), FLog(Log), FOnClose(std::move(OnClose)) {}
    void Show() override {}
    void Close() override {
        FLog.push_back("Close " + FNode->Text());
        if (FOnClose)
            FOnClose();
        if (FNode->Text()[0] == '!')
            return;
        TTreeNode* folder = FNode->Parent();
        FTree.Delete(FNode);
        if (folder->Count() == 0)
            FTree.Delete(folder);
    }
    bool Recording() const override { return false; }
    bool Modified() const override { return false; }
    bool HasSamples() const override { return false; }
    TUnitOverrides UnitOverrides() const override { return {}; }
    void AddLiveSample() override {}
    void ShowActualValues() override {}
    void UpdateUnits() override {}

private:
    TTreeModel& FTree;
    TTreeNode* FNode;
    std::vector<std::string>& FLog;
    std::function<void()> FOnClose;
};

// Protocols and record files under their folders of Tree, each with a window
// (but Windowless) that logs its close into Log.
class TDocuments {
public:
    TDocuments(TTreeModel& Tree, std::vector<std::string>& Log) : FTree(Tree), FLog(Log) {}

    void Add(const std::vector<std::string>& Protocols, const std::vector<std::string>& Records,
             const std::string& Windowless = {}, const std::function<void()>& OnClose = {}) {
        for (const std::string& name : Protocols) {
            if (!FTree.ProtocolsFolder())
                FTree.SetProtocolsFolder(
                    FTree.AddChild(FTree.Root(), "Protocols", TProtNodeData{}));
            TTreeNode* node = FTree.AddChild(FTree.ProtocolsFolder(), name, TProtData{});
            if (name != Windowless)
                node->As<TProtData>()->ProtocolWindow = Window(node, OnClose);
        }
        for (const std::string& name : Records) {
            if (!FTree.RecordsFolder())
                FTree.SetRecordsFolder(FTree.AddChild(FTree.Root(), "Records", TRecNodeData{}));
            TTreeNode* node = FTree.AddChild(FTree.RecordsFolder(), name, TRecData{});
            if (name != Windowless)
                node->As<TRecData>()->RecordWindow = Window(node, OnClose);
        }
    }

private:
    TDocWindow* Window(TTreeNode* Node, const std::function<void()>& OnClose) {
        FWindows.push_back(std::make_unique<TDocWindow>(FTree, Node, FLog, OnClose));
        return FWindows.back().get();
    }

    TTreeModel& FTree;
    std::vector<std::string>& FLog;
    std::vector<std::unique_ptr<TDocWindow>> FWindows;
};

using Calls = std::vector<std::string>;

class MainFormCtlTest : public testing::Test {
protected:
    TRecordingHost host;
    TTreeModel tree;
    TScriptedBoxes boxes;
    TMemRegistry registry;

    TMainFormCtl Create(std::vector<std::string> Args = {}) {
        TMainFormCtl ctl(host, tree, boxes, registry, std::move(Args));
        ctl.FormCreate("LAB-PC", std::string("anna\0", 5));
        return ctl;
    }
};

TEST_F(MainFormCtlTest, CreationMakesTheComputerNodeAndWaitsForTheFirstActivation) {
    TMainFormCtl ctl = Create();
    ASSERT_EQ(tree.Count(), 1);
    EXPECT_EQ(tree.Root(), tree.Item(0));
    EXPECT_EQ(tree.Root()->Text(), "LAB-PC [anna]");
    EXPECT_EQ(tree.Root()->Kind(), nkRoot);
    EXPECT_EQ(tree.Root()->ImageIndex(), imRoot);
    EXPECT_TRUE(ctl.FirstActivation());
    EXPECT_FALSE(ctl.Closing());
    EXPECT_FALSE(ctl.ExtendedMode());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(MainFormCtlTest, FirstActivationOpensTheFileThenReconnectsThenScansOnce) {
    host.files = {"C:\\data\\a.zqr"};
    TMainFormCtl ctl = Create({"C:\\data\\a.zqr", "C:\\data\\b.zqr"});
    EXPECT_TRUE(ctl.FirstActivation());
    ctl.FormActivate();
    EXPECT_EQ(host.calls,
              (Calls{"LoadFile C:\\data\\a.zqr", "ReconnectOpenPorts", "ScanUsbDevices"}));
    EXPECT_FALSE(ctl.FirstActivation());

    host.calls.clear();
    ctl.FormActivate();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(MainFormCtlTest, WithoutAutoConnectTheStoredPortsStayClosed) {
    host.autoConnect = false;
    TMainFormCtl ctl = Create();
    ctl.FormActivate();
    EXPECT_EQ(host.calls, Calls{"ScanUsbDevices"});
}

TEST_F(MainFormCtlTest, ScreenResolutionNoticeOnlyAwayFrom96DpiUntilTicked) {
    struct Case {
        int ppi;
        std::optional<bool> stored; // "dontshowmeagain" before
        bool tick;                  // the user ticks the check box
        bool shown;
        bool after;
    } cases[] = {
        {96, true, false, false, false},         {96, std::nullopt, false, false, false},
        {120, std::nullopt, false, true, false}, {120, false, true, true, true},
        {120, true, false, false, true},         {144, false, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ppi << " dpi, tick " << c.tick);
        TMemRegistry reg;
        TScriptedBoxes shown;
        if (c.stored)
            reg.Put(kRegEnvironment, kDontShowMeAgain.Name, TRegValue::Dword(*c.stored));
        shown.Script.push_back({mrOk, c.tick});
        host.ppi = c.ppi;
        TTreeModel model;
        TMainFormCtl ctl(host, model, shown, reg, {});
        ctl.FormCreate("PC", "user");
        ctl.FormActivate();
        ASSERT_EQ(shown.Shown.size(), c.shown ? 1u : 0u);
        if (c.shown) {
            EXPECT_EQ(shown.Shown[0].Msg, sDpiNotice);
            EXPECT_EQ(shown.Shown[0].DlgType, mtInformation);
            EXPECT_EQ(shown.Shown[0].CheckBox, "Don't show this message again.");
        }
        EXPECT_EQ(reg.Get(kRegEnvironment, kDontShowMeAgain.Name), TRegValue::Dword(c.after));
    }
}

// A box that closes activates the main window again: that must not run the first
// activation a second time (the file opened twice, the ports reconnected twice).
TEST_F(MainFormCtlTest, ActivationFromABoxOfTheFirstActivationDoesNotRunItAgain) {
    // Every box that closes, and the file that opens, activate the window again.
    class TReactivatingBoxes : public IMessageBoxes {
    public:
        TMainFormCtl* ctl = nullptr;
        int shown = 0;
        TMsgDlgAnswer ShowDialog(const TMsgDlgRequest&) override {
            ++shown;
            ctl->FormActivate();
            return {mrOk, false};
        }
    } reactivating;
    host.files = {"p.zqp"};
    host.ppi = 120;
    TMainFormCtl ctl(host, tree, reactivating, registry, {"p.zqp"});
    ctl.FormCreate("PC", "user");
    reactivating.ctl = &ctl;
    int loads = 0;
    host.onLoad = [&](const std::string&) {
        if (++loads == 1)
            ctl.FormActivate();
    };
    ctl.FormActivate();
    EXPECT_EQ(reactivating.shown, 1);
    EXPECT_EQ(host.calls, (Calls{"LoadFile p.zqp", "ReconnectOpenPorts", "ScanUsbDevices"}));
    EXPECT_FALSE(ctl.FirstActivation());
}

TEST_F(MainFormCtlTest, AnErrorInTheFirstActivationEndsItForGood) {
    host.files = {"bad.zqr"};
    host.onLoad = [](const std::string&) { throw std::runtime_error("Cannot open document!"); };
    TMainFormCtl ctl = Create({"bad.zqr"});
    EXPECT_THROW(ctl.FormActivate(), std::runtime_error);
    EXPECT_FALSE(ctl.FirstActivation());
    host.calls.clear();
    ctl.FormActivate();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(MainFormCtlTest, CommandLineFileOpensTheFirstExistingArgumentOnly) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        Calls loads;
        bool firstActivationAfter;
    } cases[] = {
        {"no argument", {}, {}, true},
        {"missing file", {"gone.zqr"}, {}, true},
        {"record", {"a.zqr"}, {"LoadFile a.zqr"}, true},
        {"protocol", {"p.zqp"}, {"LoadFile p.zqp"}, true},
        {"tree file", {"t.zqd"}, {"LoadFile t.zqd"}, false},
        {"tree file, other case", {"T.ZQD"}, {"LoadFile T.ZQD"}, true},
        {"a folder named like a tree file", {"dir.zqd\\x.zqr"}, {"LoadFile dir.zqd\\x.zqr"}, true},
        {"unknown extension", {"notes.txt"}, {"LoadFile notes.txt"}, true},
        {"second argument ignored", {"gone.zqr", "a.zqr"}, {}, true},
        {"two files", {"a.zqr", "p.zqp"}, {"LoadFile a.zqr"}, true},
    };
    host.files = {"a.zqr", "p.zqp", "t.zqd", "T.ZQD", "dir.zqd\\x.zqr", "notes.txt"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        TTreeModel model;
        TMainFormCtl ctl(host, model, boxes, registry, {});
        ctl.FormCreate("PC", "user");
        const std::vector<uint8_t> block = PackCmdLine(c.args);
        ctl.OpenCommandLineFile(block.data(), block.size());
        EXPECT_EQ(host.calls, c.loads);
        EXPECT_EQ(ctl.FirstActivation(), c.firstActivationAfter);
    }
}

TEST_F(MainFormCtlTest, ATreeFileOnTheCommandLineLoadsDuringTheFirstActivation) {
    host.files = {"t.zqd"};
    TMainFormCtl ctl = Create({"t.zqd"});
    ctl.FormActivate();
    EXPECT_EQ(host.calls, (Calls{"LoadFile t.zqd", "ReconnectOpenPorts", "ScanUsbDevices"}));
}

TEST_F(MainFormCtlTest, ClosingStoresThePortsThenClosesEveryChildWithTheAnswersCleared) {
    TMainFormCtl ctl = Create();
    host.children = {"rec 1", "rec 2", "prot"};
    ctl.NoToAllProt = ctl.NoToAllRec = ctl.NoToAllRecFile = ctl.YesToAllStop = true;
    std::vector<bool> closingSeen;
    // The first window's question is answered "yes to all".
    host.onClose = [&] {
        closingSeen.push_back(ctl.Closing());
        EXPECT_FALSE(ctl.NoToAllProt || ctl.NoToAllRec || ctl.NoToAllRecFile);
        ctl.YesToAllStop = true;
    };
    EXPECT_TRUE(ctl.FormClose(true));
    EXPECT_EQ(host.calls, (Calls{"StoreOpenPorts", "Close rec 1", "ProcessMessages", "Close rec 2",
                                 "ProcessMessages", "Close prot", "ProcessMessages"}));
    EXPECT_EQ(closingSeen, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(ctl.Closing());
    EXPECT_TRUE(ctl.YesToAllStop);
}

TEST_F(MainFormCtlTest, AWindowThatRefusesKeepsTheProgramRunning) {
    TMainFormCtl ctl = Create();
    host.children = {"rec 1", "!rec 2", "prot"};
    EXPECT_FALSE(ctl.FormClose(true));
    EXPECT_EQ(host.calls, (Calls{"StoreOpenPorts", "Close rec 1", "ProcessMessages", "Close !rec 2",
                                 "ProcessMessages"}));
    EXPECT_EQ(host.children, (std::deque<std::string>{"!rec 2", "prot"}));
    EXPECT_FALSE(ctl.Closing());
}

TEST_F(MainFormCtlTest, ClosingFlagIsClearedWhenAWindowFails) {
    TMainFormCtl ctl = Create();
    host.children = {"rec"};
    host.onClose = [] { throw std::runtime_error("boom"); };
    EXPECT_THROW(ctl.FormClose(true), std::runtime_error);
    EXPECT_FALSE(ctl.Closing());
}

TEST_F(MainFormCtlTest, CloseAllClosesProtocolsThenRecordFilesAndLeavesOtherWindows) {
    struct Case {
        const char* name;
        std::vector<std::string> protocols;
        std::vector<std::string> records;
        std::string windowless;
        Calls calls;
        std::vector<std::string> left; // documents left, in tree order
    } cases[] = {
        {"all close",
         {"p1", "p2"},
         {"r1"},
         "",
         {"StoreOpenPorts", "Close p1", "Close p2", "Close r1"},
         {}},
        {"a protocol refuses",
         {"!p1", "p2"},
         {"r1", "r2"},
         "",
         {"StoreOpenPorts", "Close !p1", "Close r1", "Close r2"},
         {"!p1", "p2"}},
        {"a record without a window stops the records",
         {"p1"},
         {"r1", "r2"},
         "r1",
         {"StoreOpenPorts", "Close p1"},
         {"r1", "r2"}},
        {"nothing open", {}, {}, "", {"StoreOpenPorts"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        host.children = {"chamber window", "overview"};
        TTreeModel model;
        TMainFormCtl ctl(host, model, boxes, registry, {});
        ctl.FormCreate("PC", "user");
        std::vector<bool> closingSeen;
        TDocuments docs(model, host.calls);
        docs.Add(c.protocols, c.records, c.windowless,
                 [&] { closingSeen.push_back(ctl.Closing()); });
        ctl.AcCloseAllExecute();
        EXPECT_EQ(host.calls, c.calls);
        EXPECT_EQ(host.children.size(), 2u);
        EXPECT_EQ(closingSeen, std::vector<bool>(c.calls.size() - 1, true));
        EXPECT_FALSE(ctl.Closing());
        std::vector<std::string> left;
        for (TTreeNode* n = model.GetNext(model.Root()); n; n = model.GetNext(n))
            if (n->Kind() == nkProtocol || n->Kind() == nkRecordFile)
                left.push_back(n->Text());
        EXPECT_EQ(left, c.left);
    }
}

TEST_F(MainFormCtlTest, DestroyClosesTheLinksBeforeTheRecordsGo) {
    TMainFormCtl ctl = Create();
    TDocuments docs(tree, host.calls);
    docs.Add({"p1"}, {"r1"});
    bool recordsThere = false;
    host.onCloseInterfaces = [&] { recordsThere = tree.Root()->Kind() == nkRoot; };
    ctl.FormDestroy();
    EXPECT_EQ(host.calls, Calls{"CloseAllInterfaces"});
    EXPECT_TRUE(recordsThere);
    int nodes = 0;
    for (TTreeNode* n = tree.GetNext(nullptr); n; n = tree.GetNext(n)) {
        SCOPED_TRACE(n->Text());
        EXPECT_EQ(n->Kind(), -1);
        ++nodes;
    }
    EXPECT_EQ(nodes, 5);
}

TEST(QuorMode, ReadsAStoredNonZeroIntegerAndWritesNothingBack) {
    struct Case {
        const char* name;
        std::optional<TRegValue> stored;
        bool failOpen;
        bool mode;
    } cases[] = {
        {"missing", std::nullopt, false, false},
        {"1", TRegValue::Dword(1), false, true},
        {"0", TRegValue::Dword(0), false, false},
        {"256", TRegValue::Dword(256), false, true},
        {"a text", TRegValue::Str("1"), false, false},
        {"bytes", TRegValue::Bin("\1\0\0\0", 4), false, false},
        {"key cannot be opened", TRegValue::Dword(1), true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TMemRegistry reg;
        if (c.stored)
            reg.Put(kRegEnvironment, kQuorModeValue, *c.stored);
        reg.FailOpen = c.failOpen;
        EXPECT_EQ(ReadQuorMode(reg), c.mode);
        EXPECT_EQ(reg.Writes, 0);
    }
}

TEST(ExtractFileExt, TheLastDotAfterTheLastFolder) {
    struct Case {
        const char* name;
        const char* ext;
    } cases[] = {
        {"C:\\data\\a.zqr", ".zqr"}, {"a.tar.zqd", ".zqd"},
        {"C:\\dir.zqd\\file", ""},   {"noext", ""},
        {"trailing.", "."},          {"Z:/tmp/x.ZQD", ".ZQD"},
        {"C:.zqp", ".zqp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExtractFileExt(c.name), c.ext);
    }
}

} // namespace

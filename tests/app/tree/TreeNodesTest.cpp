// The tree's routines on the model: finding and adding nodes, record-file
// nodes, the counters of the close questions, freeing and deleting.
#include "app/tree/TreeNodes_.h"

#include "tests/app/support/FakeRecordWindow.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A root with a serial instrument on COM3 (two chambers) and a USB instrument.
class TreeFixture : public testing::Test {
public:
    TTreeModel model;
    TScriptedBoxes boxes;
    TTreeNode* root = CreateRootNode(model, "LAB-PC", "anna");
    TTreeNode* com3 = nullptr;
    TTreeNode* usb = nullptr;
    TFakeRecordWindow w1, w2, w3;

    void SetUp() override {
        TInstrumentData serial;
        serial.InterfaceIndex = 2;
        serial.SerialNumber = 42;
        com3 = FindOrAddNode(model, root, true, serial);
        model.SetText(com3, "COM3 0000042");
        TInstrumentData u;
        u.Kind = nkUsbInstrument;
        u.InterfaceIndex = 257;
        u.SerialNumber = 500;
        u.UsbProductId = 0x3E9B;
        usb = FindOrAddNode(model, root, true, u);
        model.SetText(usb, "USB2 0000500");
        AddChamber(com3, 0);
        AddChamber(com3, 2);
        AddChamber(usb, 1);
    }

    TTreeNode* AddChamber(TTreeNode* Instrument, int32_t Number) {
        TChamberData c;
        c.Kind = ChamberKindOf("ZEPHORA", Number);
        c.Chamber = Number;
        return FindOrAddNode(model, Instrument, true, c);
    }
};

TEST_F(TreeFixture, TheRootNode) {
    EXPECT_EQ(model.Root(), root);
    EXPECT_EQ(root->Text(), "LAB-PC [anna]");
    EXPECT_EQ(root->Kind(), nkRoot);
    EXPECT_EQ(root->ImageIndex(), imRoot);
    EXPECT_EQ(root->SelectedIndex(), imRoot);
}

TEST_F(TreeFixture, FindOrAddNodeMatchesByKindAndIdentity) {
    auto instrument = [](int32_t Kind, int32_t Interface, int32_t Serial, uint16_t Pid) {
        TInstrumentData d;
        d.Kind = Kind;
        d.InterfaceIndex = Interface;
        d.SerialNumber = Serial;
        d.UsbProductId = Pid;
        return d;
    };
    auto chamber = [](int32_t Kind, int32_t Number) {
        TChamberData c;
        c.Kind = Kind;
        c.Chamber = Number;
        return c;
    };
    struct Case {
        const char* what;
        TTreeNode* TreeFixture::*parent;
        TNodeData probe;
        TTreeNode* TreeFixture::*found; // null member: none
    } cases[] = {
        {"serial by interface", &TreeFixture::root, instrument(0, 2, 0, 0), &TreeFixture::com3},
        {"serial, the serial number plays no part", &TreeFixture::root, instrument(0, 2, 77, 0),
         &TreeFixture::com3},
        {"serial on another port", &TreeFixture::root, instrument(0, 3, 42, 0), nullptr},
        {"USB by serial and product id, new interface", &TreeFixture::root,
         instrument(10, 300, 500, 0x3E9B), &TreeFixture::usb},
        {"USB serial with another product id", &TreeFixture::root, instrument(10, 257, 500, 0x1234),
         nullptr},
        {"USB without serial: by interface", &TreeFixture::root, instrument(10, 257, 0, 0),
         &TreeFixture::usb},
        {"USB without serial, other interface", &TreeFixture::root, instrument(10, 258, 0, 0x3E9B),
         nullptr},
        {"kind decides: serial probe on the USB interface", &TreeFixture::root,
         instrument(0, 257, 0, 0), nullptr},
        {"folders never match", &TreeFixture::root, TPCData{}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FindOrAddNode(model, this->*c.parent, false, c.probe),
                  c.found ? this->*c.found : nullptr);
    }

    TTreeNode* chamber2 = com3->Item(1);
    EXPECT_EQ(FindOrAddNode(model, com3, false, chamber(2, 2)), chamber2);
    EXPECT_EQ(FindOrAddNode(model, com3, false, chamber(2, 3)), nullptr);
    EXPECT_EQ(FindOrAddNode(model, com3, false, chamber(9, 2)), nullptr);
    EXPECT_EQ(FindOrAddNode(model, com3, false, chamber(1, 0)), com3->Item(0));
}

TEST_F(TreeFixture, AddingNeverSearches) {
    TInstrumentData same;
    same.InterfaceIndex = 2;
    same.SerialNumber = 99;
    TTreeNode* added = FindOrAddNode(model, root, true, same);
    EXPECT_NE(added, com3);
    EXPECT_EQ(added->Text(), "");
    EXPECT_EQ(added->Parent(), root);
    ASSERT_NE(InstrumentData(added), nullptr);
    EXPECT_EQ(InstrumentData(added)->SerialNumber, 99);
    EXPECT_EQ(root->Count(), 3);
}

TEST_F(TreeFixture, UsbPortOfSerialGivesTheKnownKeyOr256) {
    EXPECT_EQ(UsbPortOfSerial(model, 500, 0x3E9B), 258);
    EXPECT_EQ(UsbPortOfSerial(model, 500, 0x3E9C), 256);
    EXPECT_EQ(UsbPortOfSerial(model, 501, 0x3E9B), 256);
}

TEST_F(TreeFixture, RecordNodesUnderARecordsFolderMadeOnFirstUse) {
    EXPECT_EQ(model.RecordsFolder(), nullptr);
    TTreeNode* a = CreateRecNode(model, boxes, "run1", "C:\\data\\run1.zqr", false, 1234.0);
    ASSERT_NE(a, nullptr);
    TTreeNode* folder = model.RecordsFolder();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->Parent(), root);
    EXPECT_EQ(folder->Text(), "Records");
    EXPECT_EQ(folder->Kind(), nkRecordsFolder);
    EXPECT_EQ(folder->ImageIndex(), imRecordsFolder);
    EXPECT_EQ(folder->SelectedIndex(), imRecordsFolder);
    EXPECT_TRUE(folder->Expanded());
    EXPECT_EQ(a->Parent(), folder);
    EXPECT_EQ(a->Text(), "run1");
    EXPECT_EQ(a->ImageIndex(), imRecordFile);
    EXPECT_EQ(a->SelectedIndex(), imRecordFile);
    const TRecData* rec = a->As<TRecData>();
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->FileName, "C:\\data\\run1.zqr");
    EXPECT_EQ(rec->FileAge, 1234.0);
    EXPECT_EQ(FieldText(rec->InstrumentId), "");
    EXPECT_EQ(rec->RecordWindow, nullptr);

    // The same file again shows its window and adds nothing.
    a->As<TRecData>()->RecordWindow = &w1;
    EXPECT_EQ(CreateRecNode(model, boxes, "run1", "C:\\data\\run1.zqr", false, 1.0), nullptr);
    EXPECT_EQ(w1.shown, 1);
    EXPECT_EQ(folder->Count(), 1);
    // The comparison is exact; the log import may add the same file again.
    EXPECT_NE(CreateRecNode(model, boxes, "run1", "C:\\data\\RUN1.zqr", false, 1.0), nullptr);
    EXPECT_NE(CreateRecNode(model, boxes, "run1", "C:\\data\\run1.zqr", true, 1.0), nullptr);
    EXPECT_EQ(folder->Count(), 3);
    EXPECT_EQ(model.RecordsFolder(), folder);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST(CreateRecNode, WithoutARootAnErrorBoxAndNoNode) {
    TTreeModel model;
    TScriptedBoxes boxes;
    EXPECT_EQ(CreateRecNode(model, boxes, "a", "a.zqr", false, 0), nullptr);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Msg, "Error in CreateRecNode. Node not found");
    EXPECT_EQ(boxes.Shown[0].DlgType, mtError);
    EXPECT_EQ(model.Count(), 0);
}

TEST_F(TreeFixture, CountersOfUnsavedAndRecordingWindows) {
    EXPECT_EQ(GetUnsavedProtCount(model), 0);
    EXPECT_EQ(GetUnsavedRecCount(model), 0);
    EXPECT_EQ(GetRecordingCount(model), 0);
    EXPECT_EQ(GetUnsavedRecFileCount(model), 0);

    ChamberData(com3->Item(0))->RecordWindow = &w1;
    ChamberData(com3->Item(1))->RecordWindow = &w2;
    ChamberData(usb->Item(0))->RecordWindow = &w3;
    w1.recording = true;
    w1.modified = true;
    w2.modified = true;
    w3.recording = true;

    TFakeRecordWindow fileWindow, cleanWindow;
    fileWindow.modified = true;
    fileWindow.recording = true; // a stored record never records; it counts only as unsaved
    CreateRecNode(model, boxes, "a", "a.zqr", false, 0)->As<TRecData>()->RecordWindow = &fileWindow;
    CreateRecNode(model, boxes, "b", "b.zqr", false, 0)->As<TRecData>()->RecordWindow =
        &cleanWindow;
    CreateRecNode(model, boxes, "c", "c.zqr", false, 0);

    TTreeNode* protocols = model.AddChild(root, "Protocols", TProtNodeData{});
    model.SetProtocolsFolder(protocols);
    TProtData saved;
    saved.FileName = "p.zqp";
    model.AddChild(protocols, "P", saved);
    model.AddChild(protocols, "* Q", TProtData{});
    model.AddChild(protocols, "* R", TProtData{});

    EXPECT_EQ(GetUnsavedProtCount(model), 2);
    EXPECT_EQ(GetUnsavedRecCount(model), 2);
    EXPECT_EQ(GetRecordingCount(model), 2);
    EXPECT_EQ(GetUnsavedRecFileCount(model), 1);
}

TEST_F(TreeFixture, RecordingStateImageOfAChamberFollowsRecordAndStop) {
    struct Case {
        const char* name;
        uint16_t status;
        int32_t before;
        bool recording;
        int32_t state;
    } cases[] = {
        {"record, present", csPresent | csSensorOn, imNone, true, imRecording},
        {"record, absent", csSensorOn, imNone, true, imRecordingAbsent},
        {"record, never measured", 0, imNone, true, imRecordingAbsent},
        {"stop, present", csPresent, imRecording, false, imNone},
        {"stop, absent", 0, imRecordingAbsent, false, imNone},
    };
    TTreeNode* chamber = com3->Item(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChamberData(chamber)->Live.Meas.Status = c.status;
        model.SetNodeImages(chamber, 3, 5, c.before);
        ShowRecordingState(model, chamber, c.recording);
        EXPECT_EQ(chamber->StateIndex(), c.state);
        EXPECT_EQ(chamber->ImageIndex(), 3) << "the images stay";
        EXPECT_EQ(chamber->SelectedIndex(), 5);
    }

    model.SetNodeImages(com3, imSerialInstrument, imSerialInstrument, imNone);
    ShowRecordingState(model, com3, true);
    EXPECT_EQ(com3->StateIndex(), imNone) << "only chambers";
    ShowRecordingState(model, nullptr, true);
}

TEST_F(TreeFixture, FreeingRecordsAndDeletingNodes) {
    FreeNodeData(com3);
    EXPECT_EQ(com3->Kind(), -1);
    EXPECT_EQ(com3->Item(0)->Kind(), -1);
    EXPECT_EQ(com3->Item(1)->Kind(), -1);
    EXPECT_EQ(usb->Kind(), nkUsbInstrument);
    EXPECT_EQ(com3->Count(), 2);
    EXPECT_EQ(InstrumentData(com3), nullptr);
    EXPECT_EQ(ChamberData(com3->Item(0)), nullptr);

    CreateRecNode(model, boxes, "a", "a.zqr", false, 0);
    FreeAndDeleteNode(model, model.RecordsFolder());
    EXPECT_EQ(model.RecordsFolder(), nullptr);
    FreeAndDeleteNode(model, usb->Item(0));
    EXPECT_EQ(usb->Count(), 0);
    // The folder is made again on the next use.
    EXPECT_NE(CreateRecNode(model, boxes, "a", "a.zqr", false, 0), nullptr);
    EXPECT_NE(model.RecordsFolder(), nullptr);
}

TEST_F(TreeFixture, DeleteTreeNodeTakesAnEmptyFolderButStopsThere) {
    TTreeNode* a = CreateRecNode(model, boxes, "a", "a.zqr", false, 0);
    TTreeNode* b = CreateRecNode(model, boxes, "b", "b.zqr", false, 0);
    TTreeNode* folder = model.RecordsFolder();
    DeleteTreeNode(model, a);
    EXPECT_EQ(model.RecordsFolder(), folder);
    DeleteTreeNode(model, b);
    EXPECT_EQ(model.RecordsFolder(), nullptr);
    EXPECT_EQ(model.Root(), root);
    EXPECT_EQ(root->Count(), 2) << "the instruments stay";

    // A node whose parent is no folder leaves the parent, even without children.
    DeleteTreeNode(model, usb->Item(0));
    EXPECT_EQ(usb->Count(), 0);
    EXPECT_EQ(root->Count(), 2);
    // The root's last child gone, the root stays.
    while (root->Count() > 1)
        DeleteTreeNode(model, root->Item(0));
    DeleteTreeNode(model, root->Item(0));
    EXPECT_EQ(model.Root(), root);
    EXPECT_EQ(model.Count(), 1);
}

} // namespace

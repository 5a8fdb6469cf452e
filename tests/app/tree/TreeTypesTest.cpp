// The tree's records and routines: interface indexes and names, node texts and
// images, the id/serial split, finding and adding nodes, record-file nodes, the
// counters of the close questions and the protocol head's bytes.
#include "app/tree/TreeModel_.h"
#include "app/tree/TreeTypes_.h"

#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/FakeRecordWindow.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(InterfaceIndex, KindAndNameOfEveryRange) {
    struct Case {
        int32_t index;
        int32_t kind;
        const char* name;
    } cases[] = {
        {0, nkSerialInstrument, "COM1"},     {2, nkSerialInstrument, "COM3"},
        {255, nkSerialInstrument, "COM256"}, {256, nkUsbInstrument, "USB1"},
        {257, nkUsbInstrument, "USB2"},      {511, nkUsbInstrument, "USB256"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        TScriptedBoxes boxes;
        EXPECT_TRUE(IsValidInterfaceIndex(c.index));
        EXPECT_EQ(GetNodeTypeFromCom(boxes, c.index), c.kind);
        EXPECT_EQ(GetInterfaceNameFromCom(boxes, c.index), c.name);
        EXPECT_TRUE(boxes.Shown.empty());
    }
    TScriptedBoxes boxes;
    EXPECT_EQ(GetInterfaceNameFromCom(boxes, -1), "");
    for (int32_t bad : {-1, 512, -2147483647 - 1, 2147483647})
        EXPECT_FALSE(IsValidInterfaceIndex(bad)) << bad;
}

// Prints the box it is shown: the parent sees it on the child's stderr.
struct PrintingBoxes : IMessageBoxes {
    TMsgDlgAnswer ShowDialog(const TMsgDlgRequest& R) override {
        std::fprintf(stderr, "[%s]", R.Msg.c_str());
        return {mrOk, false};
    }
};

TEST(InterfaceIndexDeathTest, AnIndexOutsideTheRangesEndsTheProgram) {
    struct Case {
        int32_t index;
        bool name; // GetInterfaceNameFromCom, else GetNodeTypeFromCom
        const char* message;
    } cases[] = {
        {512, false, "Invalid Comport in GetNodeTypeFromCom!"},
        {-1, false, "Invalid Comport in GetNodeTypeFromCom!"},
        {512, true, "Invalid Comport in GetInterfaceNameFromCom!"},
        {-2, true, "Invalid Comport in GetInterfaceNameFromCom!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message + std::to_string(c.index));
        EXPECT_EXIT(
            {
                PrintingBoxes boxes;
                if (c.name)
                    GetInterfaceNameFromCom(boxes, c.index);
                else
                    GetNodeTypeFromCom(boxes, c.index);
            },
            testing::ExitedWithCode(0), std::string("Fatal Error:\r") + c.message + "\\]");
    }
}

TEST(NodeTexts, RootInstrumentChamberAndUnsavedMark) {
    TScriptedBoxes boxes;
    EXPECT_EQ(RootText("LAB-PC", "anna"), "LAB-PC [anna]");
    EXPECT_EQ(InstrumentText(boxes, 2, 42), "COM3 0000042");
    EXPECT_EQ(InstrumentText(boxes, 256, 1234567), "USB1 1234567");
    EXPECT_EQ(InstrumentText(boxes, 300, 12345678), "USB45 12345678");
    EXPECT_EQ(DefaultChamberName(3, "0012345"), "Chamber 3 - 0012345");

    struct Case {
        const char* text;
        const char* expected;
    } marks[] = {
        {"* Actual Protocol", "Actual Protocol"},
        {"Actual Protocol", "Actual Protocol"},
        {"a * b", "a * b"},
        {"*x", ""},
        {"*", ""},
        {"", ""},
    };
    for (const auto& c : marks) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RemoveUnsavedMark(c.text), c.expected);
    }
}

TEST(NodeImages, ChambersInstrumentsAndRecordingState) {
    struct Case {
        int32_t kind;
        int32_t present;
        int32_t absent;
    } chambers[] = {
        {nkZephoraChamber0, 2, 4},
        {nkZephoraChamber, 3, 5},
        {nkKivanterChamber0, 16, 18},
        {nkKivanterChamber, 17, 19},
        {nkZephoraNChamber, 23, 24},
        {0, 20, 20},
        {nkRoot, 20, 20},
    };
    for (const auto& c : chambers) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(ChamberImage(c.kind, true), c.present);
        EXPECT_EQ(ChamberImage(c.kind, false), c.absent);
    }
    EXPECT_EQ(InstrumentImage(nkSerialInstrument, true), 1);
    EXPECT_EQ(InstrumentImage(nkSerialInstrument, false), 13);
    EXPECT_EQ(InstrumentImage(nkUsbInstrument, true), 21);
    EXPECT_EQ(InstrumentImage(nkUsbInstrument, false), 22);
    EXPECT_EQ(RecordingStateImage(true, true), 12);
    EXPECT_EQ(RecordingStateImage(true, false), 10);
    EXPECT_EQ(RecordingStateImage(false, true), -1);
    EXPECT_EQ(RecordingStateImage(false, false), -1);
}

TEST(NodeKinds, ChamberKindFollowsTheDeviceId) {
    struct Case {
        const char* devId;
        int32_t chamber0;
        int32_t chamber5;
    } cases[] = {
        {"ZEPHORA", 1, 2}, {"KIVANTER", 8, 9}, {"ZEPHORAN", 11, 11}, {"zephora", 0, 0}, {"", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.devId);
        EXPECT_EQ(ChamberKindOf(c.devId, 0), c.chamber0);
        EXPECT_EQ(ChamberKindOf(c.devId, 5), c.chamber5);
    }
    for (int32_t k = -1; k <= 12; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(IsChamberKind(k), k == 1 || k == 2 || k == 8 || k == 9 || k == 11);
        EXPECT_EQ(IsInstrumentKind(k), k == 0 || k == 10);
    }
    EXPECT_EQ(NodeKind(TNodeData()), -1);
    EXPECT_EQ(NodeKind(TPCData{}), nkRoot);
    EXPECT_EQ(NodeKind(TRecNodeData{}), nkRecordsFolder);
    EXPECT_EQ(NodeKind(TRecData{}), nkRecordFile);
    EXPECT_EQ(NodeKind(TProtNodeData{}), nkProtocolsFolder);
    EXPECT_EQ(NodeKind(TProtData{}), nkProtocol);
}

TEST(IdSerialText, SplitAtTheFirstBlank) {
    struct Case {
        const char* text; // up to 21 characters, no terminator at 21
        const char* id;
        const char* serial;
    } cases[] = {
        {"ZEPHORA 12345", "ZEPHORA", "12345"},
        {"12345", "", "12345"},
        {"  12345 ", "", "12345"},
        {"KIV   0012345  ", "KIV", "0012345"},
        {"A B C", "A", "B C"},
        {"", "", ""},
        {"X ", "X", ""},
        // A full field without a terminator: read within it, stored terminated.
        {"123456789012345678901", "", "12345678901234567890"},
        {"ID 345678901234567890Z", "ID", "34567890123456789"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char idSerial[21];
        std::memset(idSerial, 0, sizeof idSerial);
        std::memcpy(idSerial, c.text, std::min<std::size_t>(std::strlen(c.text), 21));
        // Outputs pre-filled, with a guard byte behind each: the whole field is
        // written and nothing beyond it.
        struct {
            char field[21];
            char guard;
        } serial, id;
        std::memset(&serial, 0x7F, sizeof serial);
        std::memset(&id, 0x7F, sizeof id);
        SerialPart(idSerial, serial.field);
        IdPart(idSerial, id.field);
        EXPECT_STREQ(serial.field, c.serial);
        EXPECT_STREQ(id.field, c.id);
        EXPECT_EQ(serial.guard, 0x7F);
        EXPECT_EQ(id.guard, 0x7F);
        EXPECT_EQ(serial.field[20], '\0');
    }
}

TEST(FieldTexts, ReadWithinTheFieldAndStoreTerminated) {
    char name[41];
    SetFieldText(name, std::string(50, 'n'));
    EXPECT_EQ(FieldText(name), std::string(40, 'n'));
    SetFieldText(name, "Oven");
    EXPECT_EQ(FieldText(name), "Oven");
    EXPECT_EQ(name[40], '\0');
    char full[3] = {'a', 'b', 'c'};
    EXPECT_EQ(FieldText(full), "abc");
}

TEST(ProtocolHead, TheFirst66BytesAsTheProtocolFileHoldsThem) {
    TProtData prot;
    prot.InterfaceIndex = 0x02;
    prot.Chamber = 7;
    prot.FileName = "x.zqp";
    uint8_t bytes[66];
    std::memcpy(bytes, &static_cast<const TProtHead&>(prot), sizeof bytes);
    uint8_t expected[66] = {6, 0, 0, 0, 0x02, 7};
    EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0);
}

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

// A library that reports a path longer than the buffer it was given.
class TOverlongPathApi : public TFakeLinkApi {
public:
    TLinkResult GetDevicePath(TDevIndex, char* Buf, int32_t* Size) override {
        std::memset(Buf, 'x', static_cast<std::size_t>(*Size));
        *Size = 100000;
        return 0;
    }
    uint16_t GetPIDFromDevicePath(const char* Path) override {
        pathLength = std::strlen(Path);
        return 7;
    }
    std::size_t pathLength = 0;
};

TEST(UsbProductId, FromTheDevicePathOfAUsbLinkOnly) {
    TFakeLinkApi api;
    api.OpenLink(257,
                 "\\\\?\\usb#vid_1234&pid_3e9b#1234567#{ab245463-f67a-40ec-b096-2a37f30793c5}");
    api.OpenLink(3);
    EXPECT_EQ(UsbProductId(api, 257), 0x3E9B);
    EXPECT_EQ(api.CallsOf("GetDevicePath").size(), 1u);
    // A serial link has no path (259), an unknown key none either (256).
    EXPECT_EQ(UsbProductId(api, 3), 0);
    EXPECT_EQ(UsbProductId(api, 300), 0);
    EXPECT_EQ(api.CallsOf("GetPIDFromDevicePath").size(), 1u);

    // The path ends within the buffer whatever length comes back.
    TOverlongPathApi overlong;
    EXPECT_EQ(UsbProductId(overlong, 257), 7);
    EXPECT_EQ(overlong.pathLength, 256u);
}

} // namespace

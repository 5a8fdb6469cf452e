// The tree's records: interface indexes and names, node texts and images, the
// id/serial split and the protocol head's bytes.
#include "app/tree/TreeTypes_.h"

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
        // Only the mark the program adds: a name of the user's own that starts
        // with "*" keeps it.
        {"*x", "*x"},
        {"**Lab 2", "**Lab 2"},
        {"* *Lab 2", "*Lab 2"},
        {"*", "*"},
        {"", ""},
    };
    for (const auto& c : marks) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RemoveUnsavedMark(c.text), c.expected);
    }
}

TEST(NodeTexts, ProposedFileNameHasNoMarkAndNoCharacterAFileNameForbids) {
    struct Case {
        const char* caption;
        const char* expected;
    } cases[] = {
        {"* a/b:c", "a_b_c"},
        {"\"q\" *<>?\\|", "_q_ ______"},
        {"*x", "_x"},
        {"Chamber 1 - 0012345", "Chamber 1 - 0012345"},
        {"tab\there", "tab\there"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(ProposedFileName(c.caption), c.expected);
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

} // namespace

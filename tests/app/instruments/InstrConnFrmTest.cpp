// The connect dialog's port list: splitting, port numbers, order, and which
// ports are offered.
#include "app/instruments/InstrConnFrm_.h"

#include "tests/app/support/FakeLinkApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(SplitTab, TakesTheTextBeforeTheFirstTab) {
    struct Case {
        const char* line;
        const char* head;
        const char* rest;
    } cases[] = {
        {"COM1\tCommunications Port\tACPI", "COM1", "Communications Port\tACPI"},
        {"\tx", "", "x"},
        {"COM1\t", "COM1", ""},
        {"COM1", "COM1", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = c.line;
        std::string head = "old";
        SplitTab(line, head);
        EXPECT_EQ(head, c.head);
        EXPECT_EQ(line, c.rest);
    }
}

TEST(PortFromItem, ReadsTheNumberBetweenTheNameAndTheFirstBlank) {
    struct Case {
        const char* item;
        int32_t port;
    } cases[] = {
        {"COM1 Communications Port", 1},
        {"COM10 USB Serial Port (COM10)", 10},
        {"COM256 ", 256},
        {"COM7", 0},       // no blank
        {"COM Port", 0},   // nothing between
        {"COMx1 Port", 0}, // no number
        {"CNCA0 com0com", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(PortFromItem(c.item), c.port);
    }
}

// Port lines of every shape the comparison distinguishes.
const Lines kSorted = {
    "COM1\tCommunications Port",
    "COM2\tCommunications Port",
    "COM2\tz second line of port 2",
    "COM10\tUSB Serial Port",
    "COM99\tx",
    "COM100\tUSB Serial Port",
    "COM256",
    "CNCA0\tcom0com",
    "COM\tno number",
    "COM3x\tno number",
    "LPT1\tprinter",
};

TEST(ComPortCompare, OrdersByPortNumberThenByText) {
    Lines lines = kSorted;
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(lines.begin(), lines.end(), random);
        std::sort(lines.begin(), lines.end(), [](const std::string& A, const std::string& B) {
            return ComPortCompare(A, B) < 0;
        });
        EXPECT_EQ(lines, kSorted);
    }
}

// A comparison that makes COM100 equal to COM2 and to COM10 while COM2 comes
// before COM10 orders nothing, and sorting with it is undefined.
TEST(ComPortCompare, IsAStrictWeakOrderingWithThreeDigitPorts) {
    for (const std::string& a : kSorted) {
        EXPECT_EQ(ComPortCompare(a, a), 0) << a;
        for (const std::string& b : kSorted) {
            EXPECT_EQ(ComPortCompare(a, b), -ComPortCompare(b, a)) << a << " | " << b;
            for (const std::string& c : kSorted) {
                if (ComPortCompare(a, b) < 0 && ComPortCompare(b, c) < 0) {
                    EXPECT_LT(ComPortCompare(a, c), 0) << a << " | " << b << " | " << c;
                }
            }
        }
    }
    EXPECT_LT(ComPortCompare("COM10\tx", "COM100\tx"), 0);
    EXPECT_LT(ComPortCompare("COM2\tx", "COM100\tx"), 0);
}

class FillComListTest : public testing::Test {
protected:
    TFakeLinkApi api;
};

TEST_F(FillComListTest, OffersTheFreePortsInPortOrder) {
    api.ComInfoText = "COM10\tUSB Serial Port\tFTDIBUS\tUSB Serial Port (COM10)\r\n"
                      "COM2\tCommunications Port\tACPI\tCommunications Port (COM2)\r\n"
                      "COM3\tCommunications Port\tACPI\tCommunications Port (COM3)\r\n"
                      "COM1\tCommunications Port\tACPI\tCommunications Port (COM1)";
    api.HeldPorts = {3};
    EXPECT_EQ(FillComList(api), (Lines{"COM1 Communications Port", "COM2 Communications Port",
                                       "COM10 USB Serial Port"}));
    EXPECT_EQ(api.Calls, (Lines{"GetCOMInfoList(65536)", "IsComAvailable(1)", "IsComAvailable(2)",
                                "IsComAvailable(3)", "IsComAvailable(10)"}));
}

TEST_F(FillComListTest, APortThisProgramHoldsIsNotOffered) {
    api.ComInfoText = "COM1\tCommunications Port\r\nCOM4\tUSB Serial Port";
    api.OpenLink(4);
    EXPECT_EQ(FillComList(api), Lines{"COM1 Communications Port"});
}

TEST_F(FillComListTest, AFailedListOffersNothing) {
    for (TLinkResult code : {errDevDetail, errEmptyPath, errListFull}) {
        SCOPED_TRACE(code);
        api.ComInfoText = "COM1\tCommunications Port";
        api.Script("GetCOMInfoList", {code});
        api.Calls.clear();
        EXPECT_TRUE(FillComList(api).empty());
        EXPECT_EQ(api.Calls, Lines{"GetCOMInfoList(65536)"});
    }
    api.ComInfoText = std::string(70000, 'C');
    EXPECT_TRUE(FillComList(api).empty()) << "a list beyond 64 KB";
}

TEST_F(FillComListTest, LinesOfAnyBreakAndShape) {
    api.ComInfoText = "COM5\tA\nCOM6\rCOM7\tB\tC\r\n\r\nCOM8\tD\r\n";
    EXPECT_EQ(FillComList(api), (Lines{"COM5 A", "COM6 ", "COM7 B", "COM8 D"}));
}

// A port the library cannot open a link on must not be offered: COM300 would
// fail with a parameter error and be named USB44 in the message.
TEST_F(FillComListTest, PortsOutside1To256AreNotOffered) {
    api.ComInfoText = "COM0\ta\r\nCOM256\tb\r\nCOM257\tc\r\nCOM300\td\r\nCNCA0\te";
    EXPECT_EQ(FillComList(api), Lines{"COM256 b"});
    EXPECT_EQ(api.CallsOf("IsComAvailable"), Lines{"IsComAvailable(256)"});
}

} // namespace

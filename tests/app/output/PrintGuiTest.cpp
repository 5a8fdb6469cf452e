// Printing through the platform's spooler under Wine: a protocol of three
// pages and a graph page go to the default printer (a PDF printer of the test
// set-up); check-pdfs.sh reads the PDFs back. The titles printed are written to
// print_titles.txt for it. Without a default printer the tests are skipped.
#include "app/output/Print_win.h"
#include "app/protocol/RichText_win.h"
#include "app/settings/PrinterSetup_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (printer.DefaultDevice().empty())
            GTEST_SKIP() << "no default printer (the test set-up makes a PDF printer)";
        LoadLibraryA("riched20.dll");
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        richEdit = CreateRichEdit(parent, 100, WS_CHILD | ES_MULTILINE);
        ASSERT_TRUE(richEdit);
    }
    void TearDown() override {
        if (parent)
            DestroyWindow(parent);
    }
    // The title with a stamp of this run, so older PDFs never count.
    static std::string Title(const std::string& Name) {
        return Name + "-" + std::to_string(GetTickCount());
    }
    static void Note(const std::string& Line) {
        std::ofstream("print_titles.txt", std::ios::app) << Line << "\n";
    }
    void SetText(const std::string& Text) {
        SendMessageA(richEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    }
    void SetSize(int32_t From, int32_t To, int32_t Points) {
        SendMessageA(richEdit, EM_SETSEL, From, To);
        CHARFORMAT2A format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_SIZE;
        format.yHeight = Points * 20;
        SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    int32_t SizeAt(int32_t At) {
        SendMessageA(richEdit, EM_SETSEL, At, At + 1);
        CHARFORMAT2A format{};
        format.cbSize = sizeof format;
        SendMessageA(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format.yHeight / 20;
    }

    TWinPrinter printer;
    HWND parent = nullptr;
    HWND richEdit = nullptr;
    const TRect page{1417, 1417, 11899 - 1417, 16838 - 1417};
};

TEST_F(PrintTest, ProtocolOfThreePagesKeepsEveryCharacter) {
    // 150 lines of 12 points, about 56 a page: three pages.
    std::string text;
    for (int i = 1; i <= 150; ++i)
        text += "Line " + std::to_string(1000 + i) + " end.\r\n";
    SetText(text);
    SetSize(0, -1, 12);
    TPrintDevice device(printer);
    const std::vector<TTextPage> pages =
        RichTextPages(richEdit, device.DC(), device.Metrics(), page);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[1].First, pages[0].Next);
    EXPECT_EQ(pages[2].First, pages[1].Next);

    const std::string title = Title("TessProt");
    PrintRichText(richEdit, device, page, title);
    Note("protocol " + title);
}

TEST_F(PrintTest, EmptyProtocolPrintsOnePageWithItsHeader) {
    SetText("");
    TPrintDevice device(printer);
    const std::string title = Title("TessEmpty");
    PrintRichText(richEdit, device, page, title);
    Note("empty " + title);
}

TEST_F(PrintTest, MarginsThatLeaveNoPageAreRefusedBeforeAJobBegins) {
    SetText("x");
    TPrintDevice device(printer);
    const std::string title = Title("TessNoRoom");
    EXPECT_THROW(PrintRichText(richEdit, device, {9000, 9000, 8000, 8000}, title), ETextPages);
    Note("none " + title);
}

TEST_F(PrintTest, JobThatFailsIsAborted) {
    TPrintDevice device(printer);
    const std::string title = Title("TessAborted");
    EXPECT_THROW(
        {
            TPrintJob job(device, title);
            throw std::runtime_error("drawing failed");
        },
        std::runtime_error);
    // The spooler takes the next job.
    TPrintDevice again(printer);
    const std::string next = Title("TessAfterAbort");
    {
        TPrintJob job(again, next);
        TextOutA(again.DC(), 300, 300, "after", 5);
        job.End();
    }
    Note("none " + title);
    Note("page " + next);
}

TEST_F(PrintTest, PrintingWithTheTextSizeLeavesMixedSizesAsTheyWere) {
    SetText("small LARGE");
    SetSize(0, 6, 8);
    SetSize(6, -1, 14);
    bool enabledWhilePrinting = true;
    EXPECT_THROW(WithTextSize(richEdit, 12,
                              [&] {
                                  EXPECT_EQ(SizeAt(0), 12);
                                  EXPECT_EQ(SizeAt(8), 12);
                                  enabledWhilePrinting = IsWindowEnabled(richEdit);
                                  throw std::runtime_error("printer gone");
                              }),
                 std::runtime_error);
    EXPECT_FALSE(enabledWhilePrinting);
    EXPECT_TRUE(IsWindowEnabled(richEdit));
    EXPECT_EQ(SizeAt(0), 8);
    EXPECT_EQ(SizeAt(8), 14);
}

TEST_F(PrintTest, GraphPageOnOnePage) {
    TRecording data;
    TLineGraph graph;
    graph.Series.Add().SeriesName = "Humidity";
    const TGraphPageSource source{
        "* Chamber 3", 0, "C:\\data\\run.zqr", data, graph, LocaleDateText(), LocaleTimeText()};
    TPrintDevice device(printer);
    const std::string title = Title("TessGraph");
    PrintGraph(source, device, page, title, PrintPageFlags(true, false));
    Note("graph " + title);
}

} // namespace

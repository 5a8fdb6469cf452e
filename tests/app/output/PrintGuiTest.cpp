// Printing through the platform's spooler under Wine: a protocol of three
// pages and a graph page go to the default printer (a PDF printer of the test
// set-up), and a record window's Print button prints that window; check-pdfs.sh
// reads the PDFs back. The titles printed are written to print_titles.txt for
// it. Without a default printer the tests are skipped.
#include "app/main/MainForm_win.h"
#include "app/output/Print_win.h"
#include "app/output/RecordCommands_win.h"
#include "app/protocol/RichText_win.h"
#include "app/record/RecWinFactory_win.h"
#include "app/settings/Preferences_win.h"
#include "app/settings/PrinterSetup_win.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/FakePrinter.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/RecordedWindows_win.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
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
    void Note(const std::string& Line) const {
        std::ofstream(notes, std::ios::app) << Line << "\n";
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
    // In the folder the test starts in, where check-pdfs.sh looks.
    const std::filesystem::path notes = std::filesystem::current_path() / "print_titles.txt";
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

// The record windows' Print button in the main window with its print
// commands; the windows' temporary files go to a folder of the test's own.
class RecordPrintTest : public PrintTest {
protected:
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TFakeLinkApi api;
    TMemSetupFiles setupFiles;
    TWinPrefPlatform prefPlatform;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TRecWinFactory> factory;
    std::unique_ptr<TPreferences> prefs;
    std::unique_ptr<TProtocols> protocols;
    std::unique_ptr<TPrintCommands> print;
    std::unique_ptr<TExportWin> exportWin;
    std::unique_ptr<TCsvExportCommand> csv;
    std::unique_ptr<TRecordCommands> commands;
    TTreeNode* instrument = nullptr;
    std::filesystem::path home;

    void SetUp() override {
        PrintTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        home = std::filesystem::current_path();
        EnterFreshFolder("record_print");
        form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
        factory = std::make_unique<TRecWinFactory>(*form, [] { return false; });
        form->SetRecWindowFactory(factory.get());
        prefs = std::make_unique<TPreferences>(registry, boxes, prefPlatform, printer, setupFiles);
        protocols = std::make_unique<TProtocols>(*form);
        print = std::make_unique<TPrintCommands>(*form, *protocols, *prefs, printer, setupFiles,
                                                 registry);
        exportWin = std::make_unique<TExportWin>(form->Handle(), registry, boxes);
        csv = std::make_unique<TCsvExportCommand>(*form, *exportWin);
        commands = std::make_unique<TRecordCommands>(*print, *csv);
        factory->SetRecordCommands(commands.get());
        ShowWindow(form->Handle(), SW_SHOW);
        instrument = AddSerialInstrument(*form);
        // The graph printer of the work: the default one.
        ASSERT_TRUE(TPrinterSetup(printer, setupFiles, boxes)
                        .SaveSetup(prefs->TempFileDir + kPrintGraphTmp));
    }
    void TearDown() override {
        if (form && form->Handle())
            DestroyWindow(form->Handle());
        PumpMessages();
        if (!home.empty())
            std::filesystem::current_path(home);
        PrintTest::TearDown();
    }
};

TEST_F(RecordPrintTest, PrintButtonPrintsItsOwnWindowWhateverTheTreeSelects) {
    TTreeNode* first = nullptr;
    TTreeNode* second = nullptr;
    TMDIChildRec* firstWindow = OpenChamberWindow(*form, instrument, 1, "Chamber 1", first);
    ASSERT_NE(firstWindow, nullptr);
    RecordSamples(*firstWindow, *first, 5000, 2);
    // The second chamber is named after the job, so that its PDF is found.
    const std::string title = Title("TessRecord");
    TMDIChildRec* secondWindow = OpenChamberWindow(*form, instrument, 2, title, second);
    ASSERT_NE(secondWindow, nullptr);
    RecordSamples(*secondWindow, *second, 7000, 3);
    form->Tree().Select(first);

    const HWND button = GetDlgItem(secondWindow->Handle(), IMdiHost::kAcPrint);
    ASSERT_TRUE(button);
    SendMessageA(button, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_TRUE(boxes.Shown.empty());
    Note("record " + title);
}

} // namespace

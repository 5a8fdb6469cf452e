// The CSV and graph exports under Wine: a record window records in the main
// window, the main window's "Export" shows the export window on it, the window
// is driven by its controls and the file it writes is compared with the
// expected one; "Export &Graph" saves the page of the selected node's window.
// The record windows' own buttons export themselves, whatever the tree selects.
#include "app/main/MainForm_win.h"
#include "app/output/CsvCommand_win.h"
#include "app/output/PrintCommands_win.h"
#include "app/output/RecordCommands_win.h"
#include "app/record/RecWin_win.h"
#include "app/record/RecWinFactory_win.h"
#include "app/settings/Preferences_win.h"
#include "app/settings/PreferencesValues_.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/FakePrinter.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/MetafileTexts_win.h"
#include "tests/app/support/RecordedWindows_win.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string ReadFile(const std::filesystem::path& Path) {
    std::ifstream in(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Click(HWND Form, int Id) {
    SendMessageA(GetDlgItem(Form, Id), BM_CLICK, 0, 0);
}

class ExportWinTest : public testing::Test {
protected:
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TFakeLinkApi api;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TRecWinFactory> factory;
    std::unique_ptr<TExportWin> exportWin;
    std::unique_ptr<TCsvExportCommand> command;
    TTreeNode* instrument = nullptr;
    TTreeNode* chamber = nullptr;
    TMDIChildRec* window = nullptr;
    std::filesystem::path dir;
    std::vector<std::string> proposed; // names the save dialog was offered

    void SetUp() override {
        dir = EnterFreshFolder(std::string("export_gui_") +
                               testing::UnitTest::GetInstance()->current_test_info()->name());
        form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
        factory = std::make_unique<TRecWinFactory>(*form, [] { return false; });
        form->SetRecWindowFactory(factory.get());
        exportWin = std::make_unique<TExportWin>(form->Handle(), registry, boxes);
        command = std::make_unique<TCsvExportCommand>(*form, *exportWin);
        ShowWindow(form->Handle(), SW_SHOW);
        instrument = AddSerialInstrument(*form);
        window = OpenChamber(chamber, 1);
        ASSERT_NE(window, nullptr);
        RecordSamples(*window, *chamber, 5000, 5);
        ASSERT_EQ(window->Recorder().Data().Samples.size(), 5u);
        command->ExportWin().SaveDialog = [this](std::string& Name) {
            proposed.push_back(Name);
            Name = (dir / "run.csv").string();
            return true;
        };
    }
    void TearDown() override {
        if (form && form->Handle())
            DestroyWindow(form->Handle());
        PumpMessages();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }

    TMDIChildRec* OpenChamber(TTreeNode*& Node, uint8_t Number) {
        return OpenChamberWindow(*form, instrument, Number, "Chamber " + std::to_string(Number),
                                 Node);
    }

    // The main window's Export with Action run on the export window once it shows.
    bool ExportWith(std::function<void(HWND)> Action) {
        return ExportWith(
            [this] {
                form->Tree().Select(chamber);
                form->Actions().Execute(TCsvExportCommand::kAcExport);
            },
            std::move(Action));
    }
    // The same with the export window shown by Start.
    static bool ExportWith(const std::function<void()>& Start, std::function<void(HWND)> Action) {
        TWindowActor actor("TExportWin", "Export", std::move(Action));
        Start();
        return actor.Join();
    }
};

TEST_F(ExportWinTest, ExportsTheSelectionOfARecordedWindow) {
    window->SelectSample(3, false);
    window->SelectSample(1, true);
    ChamberData(chamber)->RecordFileName = "C:\\data\\run.zqr";
    HWND shown = nullptr;
    std::string rows, readings, cell;
    ASSERT_TRUE(ExportWith([&](HWND Form) {
        shown = Form;
        TExportWin& w = command->ExportWin();
        rows = w.PanelText(0);
        readings = w.PanelText(1);
        cell = w.StringGridPreview().Data().Cell(2, 2);
        Click(Form, TExportWin::kCheckBoxRowPrgInfo);
        Click(Form, TExportWin::kButton1);
    }));
    EXPECT_FALSE(IsWindowVisible(shown));
    EXPECT_EQ(proposed, std::vector<std::string>{"C:\\data\\run.csv"});
    // Before Program Info was chosen: the titles and samples 1 to 3.
    EXPECT_EQ(rows, "Rows in the file to be written:4");
    EXPECT_EQ(readings, "Reading to be exported:3");
    EXPECT_EQ(cell, "0.510");
    EXPECT_EQ(ReadFile(dir / "run.csv"), "\"Tessaly MC V2.31 \",,\r\n"
                                         ",,\r\n"
                                         "\"Date / Time\",\"aw [ ]\",\"T [\xB0"
                                         "C]\"\r\n"
                                         "\"10.12.2026 12:00:01\",\"0.510\",\"25.0\"\r\n"
                                         "\"10.12.2026 12:00:02\",\"0.520\",\"25.0\"\r\n"
                                         "\"10.12.2026 12:00:03\",\"0.530\",\"25.0\"\r\n");
    EXPECT_EQ(registry.Get(kRegCsvExport, "CSV_C_PROGI"), TRegValue::Dword(1));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(ExportWinTest, AveragesWithNBroughtIntoRangeAndStoresTheChoice) {
    bool editEnabledBefore = true, userInfoEnabled = true;
    ASSERT_TRUE(ExportWith([&](HWND Form) {
        editEnabledBefore = IsWindowEnabled(GetDlgItem(Form, TExportWin::kLabeledEdit1));
        userInfoEnabled = IsWindowEnabled(GetDlgItem(Form, TExportWin::kCheckBoxUserinfo));
        Click(Form, TExportWin::kRadioButtonDRAv);
        HWND edit = GetDlgItem(Form, TExportWin::kLabeledEdit1);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0"));
        SendMessageA(Form, WM_COMMAND, MAKEWPARAM(TExportWin::kLabeledEdit1, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(edit));
        Click(Form, TExportWin::kButton1);
    }));
    EXPECT_FALSE(editEnabledBefore);
    EXPECT_FALSE(userInfoEnabled);
    // Nothing selected: all five samples, in groups of 2, 2 and 1.
    EXPECT_EQ(ReadFile(dir / "run.csv"), "\"Date / Time\",\"aw [ ]\",\"T [\xB0"
                                         "C]\"\r\n"
                                         "\"10.12.2026 12:00:00\",\"0.505\",\"25.0\"\r\n"
                                         "\"10.12.2026 12:00:02\",\"0.525\",\"25.0\"\r\n"
                                         "\"10.12.2026 12:00:04\",\"0.540\",\"25.0\"\r\n");
    EXPECT_EQ(registry.Get(kRegCsvExport, "CSV_AVER"), TRegValue::Dword(1));
    EXPECT_EQ(registry.Get(kRegCsvExport, "CSV_NOR"), TRegValue::Dword(0));
    EXPECT_EQ(registry.Get(kRegCsvExport, "CSV_N"), TRegValue::Dword(2));
}

TEST_F(ExportWinTest, AFileThatCannotBeWrittenKeepsTheWindowOpen) {
    command->ExportWin().SaveDialog = [this](std::string& Name) {
        Name = (dir / "missing" / "run.csv").string();
        return true;
    };
    bool openAfterError = false;
    ASSERT_TRUE(ExportWith([&](HWND Form) {
        Click(Form, TExportWin::kButton1);
        openAfterError = IsWindowVisible(Form);
        Click(Form, TExportWin::kButton2);
    }));
    EXPECT_TRUE(openAfterError);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_NE(boxes.Shown[0].Msg.find("Cannot save the file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

// Cancels the graph export window should it show while a command runs.
bool gGraphExportShown = false;

void CALLBACK CancelGraphExport(HWND, UINT, UINT_PTR, DWORD) {
    const HWND wnd = FindWindowA("TGraphExportWin", "GraphExportWin");
    if (wnd && IsWindowVisible(wnd)) {
        gGraphExportShown = true;
        Click(wnd, TGraphExportWin::kButtonCancel);
    }
}

bool Mentions(const std::vector<std::string>& Texts, const std::string& Part) {
    for (const std::string& t : Texts)
        if (t.find(Part) != std::string::npos)
            return true;
    return false;
}

// The print commands of the main window without a default printer: "Export
// &Graph" only.
class ExportGraphTest : public ExportWinTest {
protected:
    TFakePrinter printer;
    TMemSetupFiles setupFiles;
    TWinPrefPlatform prefPlatform;
    std::unique_ptr<TPreferences> prefs;
    std::unique_ptr<TProtocols> protocols;
    std::unique_ptr<TPrintCommands> print;
    std::unique_ptr<TGraphExportWin> graphExport;

    void SetUp() override {
        ExportWinTest::SetUp();
        if (HasFatalFailure())
            return;
        prefs = std::make_unique<TPreferences>(registry, boxes, prefPlatform, printer, setupFiles);
        protocols = std::make_unique<TProtocols>(*form);
        print = std::make_unique<TPrintCommands>(*form, *protocols, *prefs, printer, setupFiles,
                                                 registry);
        graphExport = std::make_unique<TGraphExportWin>(form->Handle(), registry, boxes);
        graphExport->SetSaveDialog([this](std::string& Name) {
            Name = (dir / "graph.emf").string();
            return true;
        });
        print->SetExportWin(*graphExport);
    }

    // "Export &Graph" with Node selected, its page saved; the texts of the file.
    std::vector<std::string> ExportGraphOf(TTreeNode* Node) {
        return SavedGraph([this, Node] {
            form->Tree().Select(Node);
            form->Actions().Execute(TPrintCommands::kAcExpGrph);
        });
    }
    // The same with the graph export window shown by Start.
    std::vector<std::string> SavedGraph(const std::function<void()>& Start) {
        TWindowActor actor("TGraphExportWin", "GraphExportWin",
                           [](HWND Form) { Click(Form, TGraphExportWin::kButtonSave); });
        Start();
        EXPECT_TRUE(actor.Join());
        const std::string file = (dir / "graph.emf").string();
        const TEnhMetafile emf(GetEnhMetaFileA(file.c_str()));
        EXPECT_TRUE(emf);
        std::vector<std::string> texts =
            emf ? MetafileTexts(emf.Get()) : std::vector<std::string>{};
        std::filesystem::remove(file);
        return texts;
    }
};

TEST_F(ExportGraphTest, ExportsTheSelectedNodesWindowAndNothingOnceItClosed) {
    TTreeNode* second = nullptr;
    TMDIChildRec* secondWindow = OpenChamber(second, 2);
    ASSERT_NE(secondWindow, nullptr);

    auto texts = ExportGraphOf(second);
    EXPECT_TRUE(Mentions(texts, "Chamber 2"));
    EXPECT_FALSE(Mentions(texts, "Chamber 1"));
    texts = ExportGraphOf(chamber);
    EXPECT_TRUE(Mentions(texts, "Chamber 1"));
    EXPECT_FALSE(Mentions(texts, "Chamber 2"));

    const HWND closed = secondWindow->Handle();
    SendMessageA(closed, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(closed));
    EXPECT_EQ(ChamberData(second)->RecordWindow, nullptr);
    // Its node selected again, the command finds no window to export.
    gGraphExportShown = false;
    form->Tree().Select(second);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, CancelGraphExport);
    form->Actions().Execute(TPrintCommands::kAcExpGrph);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(gGraphExportShown);
    EXPECT_TRUE(boxes.Shown.empty());
}

// The record windows' own Print, Export and Export Graph buttons, the second
// chamber's window made once they have their commands; the tree selects the
// first chamber.
class RecordButtonsTest : public ExportGraphTest {
protected:
    std::unique_ptr<TRecordCommands> commands;
    TTreeNode* second = nullptr;
    TMDIChildRec* secondWindow = nullptr;

    void SetUp() override {
        ExportGraphTest::SetUp();
        if (HasFatalFailure())
            return;
        commands = std::make_unique<TRecordCommands>(*print, *command);
        factory->SetRecordCommands(commands.get());
        secondWindow = OpenChamber(second, 2);
        ASSERT_NE(secondWindow, nullptr);
        RecordSamples(*secondWindow, *second, 7000, 3);
        form->Tree().Select(chamber);
    }
};

TEST_F(RecordButtonsTest, ButtonsStandBeforeTheGraphBarAndComeWithTheirCommands) {
    const HWND exportGraph = GetDlgItem(secondWindow->Handle(), IMdiHost::kAcExpGrph);
    ASSERT_TRUE(exportGraph);
    RECT button, bar;
    GetWindowRect(exportGraph, &button);
    GetWindowRect(secondWindow->GraphBar().Control(TRecGraphBar::kEditMin), &bar);
    EXPECT_LT(button.right, bar.left);
    EXPECT_TRUE(GetDlgItem(secondWindow->Handle(), IMdiHost::kAcExport));
    // Without a default printer there is no Print.
    EXPECT_FALSE(GetDlgItem(secondWindow->Handle(), IMdiHost::kAcPrint));
    // Made before the commands were given.
    EXPECT_FALSE(GetDlgItem(window->Handle(), IMdiHost::kAcExport));
}

TEST_F(RecordButtonsTest, ExportGraphExportsItsOwnWindow) {
    const auto texts = SavedGraph([this] { Click(secondWindow->Handle(), IMdiHost::kAcExpGrph); });
    EXPECT_TRUE(Mentions(texts, "Chamber 2"));
    EXPECT_FALSE(Mentions(texts, "Chamber 1"));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(RecordButtonsTest, ExportExportsItsOwnWindowAndNoneThatClosed) {
    ChamberData(chamber)->RecordFileName = "C:\\data\\run.zqr";
    ChamberData(second)->RecordFileName = "C:\\data\\second.zqr";
    const auto save = [](HWND Form) { Click(Form, TExportWin::kButton1); };
    ASSERT_TRUE(ExportWith([this] { Click(secondWindow->Handle(), IMdiHost::kAcExport); }, save));
    EXPECT_EQ(proposed, std::vector<std::string>{"C:\\data\\second.csv"});
    EXPECT_EQ(ReadFile(dir / "run.csv"), "\"Date / Time\",\"aw [ ]\",\"T [\xB0"
                                         "C]\"\r\n"
                                         "\"10.12.2026 12:00:00\",\"0.700\",\"25.0\"\r\n"
                                         "\"10.12.2026 12:00:01\",\"0.710\",\"25.0\"\r\n"
                                         "\"10.12.2026 12:00:02\",\"0.720\",\"25.0\"\r\n");

    // Closed, the window is exported no more: the main window's Export takes
    // the first chamber's five samples.
    secondWindow->Recorder().SetModified(false);
    const HWND closed = secondWindow->Handle();
    SendMessageA(closed, WM_CLOSE, 0, 0);
    PumpMessages();
    ASSERT_FALSE(IsWindow(closed));
    ASSERT_TRUE(ExportWith(save));
    EXPECT_EQ(proposed.back(), "C:\\data\\run.csv");
    EXPECT_EQ(ReadFile(dir / "run.csv").find("0.7"), std::string::npos);
    EXPECT_NE(ReadFile(dir / "run.csv").find("\"0.540\""), std::string::npos);
    EXPECT_TRUE(boxes.Shown.empty());
}

} // namespace

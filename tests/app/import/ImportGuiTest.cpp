// Imports under Wine, in the main window: Morlisk logs and protocols dropped on
// the tree as the shell drops them (a drop handle of our own making), with
// Shift or Ctrl held, joined logs of which one fails, a name longer than the old
// fixed buffer, the Import command, and the graph defaults an imported record
// shows.
#include "app/base/Tools_.h"
#include "app/import/Import_win.h"
#include "app/import/MKLog_.h"
#include "app/import/MKProt_.h"
#include "app/main/MainForm_win.h"
#include "app/protocol/Protocols_win.h"
#include "app/record/RecWin_win.h"
#include "app/record/RecWinFactory_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// A log of Count samples Step seconds apart, in aw and degrees C.
std::string LogText(int Count, int Step) {
    std::string text = "Morlisk log\r\nInstrument\tMK-Lab 7\t0012345\r\nSoftware\tV1.07\r\n"
                       "Sensor\tS-aw\t4711\r\nSample_nr\t#42\r\n"
                       "Time abs.\tTime rel.\taw\t\xB0"
                       "C\tDntX\tFlags\r\n";
    for (int i = 0; i < Count; ++i)
        text += Format("%s\t0:00:00\t0.75%02d\t24.80\t12.5\t1\r\n",
                       SecsToHMS(36000 + i * Step).c_str(), i % 100);
    return text;
}

// One intact protocol.
std::string ProtocolText() {
    TLines lines = {std::string(40, '*'), "Morlisk protocol", "aw        0.7512", "Operator ......",
                    "SIG:"};
    lines.back() += ProtSignature(lines, 4);
    lines.insert(lines.end(), {"----", "", ""});
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A drop handle as the shell makes it: DROPFILES, then the names, each ended
// by NUL, and one more NUL. DragFinish frees it.
HDROP MakeDrop(const std::vector<std::string>& Names) {
    std::string list;
    for (const std::string& name : Names)
        list += name + '\0';
    list += '\0';
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class ImportGuiTest : public testing::Test {
protected:
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TFakeLinkApi api;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TRecWinFactory> factory;
    std::unique_ptr<TProtocols> protocols;
    std::unique_ptr<TImporter> importer;
    std::filesystem::path dir;
    // The preferences' graph defaults, handed to the windows and the import.
    TGraphDefaults defaults = {};

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              (std::string("import_gui_") +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        std::error_code e;
        std::filesystem::remove_all(dir, e);
        std::filesystem::create_directories(dir);
        form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
        SetFactoryGraphDefaults(defaults);
        const auto graphDefaults = [this] { return defaults; };
        factory = std::make_unique<TRecWinFactory>(
            *form, [] { return false; }, graphDefaults);
        form->SetRecWindowFactory(factory.get());
        protocols = std::make_unique<TProtocols>(*form);
        importer = std::make_unique<TImporter>(*form, *protocols, graphDefaults);
        form->OnDropFiles = [this](HDROP Drop) { importer->DropFiles(Drop); };
        form->OnImport = [this] { importer->Import1Execute(); };
        ShowWindow(form->Handle(), SW_SHOW);
    }
    void TearDown() override {
        // Imported records are unsaved: closing them asks.
        boxes.Script.assign(16, {mrNo, false});
        DestroyWindow(form->Handle());
        PumpMessages();
    }

    std::string Write(const std::string& Name, const std::string& Text) {
        const std::filesystem::path path = dir / Name;
        std::ofstream(path, std::ios::binary) << Text;
        return path.string();
    }
    void Drop(const std::vector<std::string>& Names) {
        SendMessageA(form->TreeView1(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(Names)), 0);
        PumpMessages();
    }
    TTreeNode* Child(TTreeNode* Folder, const std::string& Text) {
        for (int32_t i = 0; Folder && i < Folder->Count(); ++i)
            if (Folder->Item(i)->Text() == Text)
                return Folder->Item(i);
        return nullptr;
    }
    TMDIChildRec* RecordWindow(const std::string& Text) {
        TTreeNode* node = Child(form->Tree().RecordsFolder(), Text);
        const TRecData* record = node ? node->As<TRecData>() : nullptr;
        return record ? dynamic_cast<TMDIChildRec*>(record->RecordWindow) : nullptr;
    }
    // Closes every imported record without saving it.
    void CloseRecords() {
        while (TTreeNode* records = form->Tree().RecordsFolder()) {
            const int32_t before = records->Count();
            auto* window =
                dynamic_cast<TMDIChildRec*>(records->Item(0)->As<TRecData>()->RecordWindow);
            ASSERT_TRUE(window);
            boxes.Script.push_back({mrNo, false});
            window->Close();
            PumpMessages();
            ASSERT_TRUE(!form->Tree().RecordsFolder() ||
                        form->Tree().RecordsFolder()->Count() < before);
        }
        boxes.Script.clear();
        boxes.Shown.clear();
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const TMsgDlgRequest& r : boxes.Shown)
            texts.push_back(r.Msg);
        return texts;
    }
};

TEST_F(ImportGuiTest, ADroppedLogAndProtocolOpenTheirWindows) {
    const std::string log = Write("a_LOG.txt", LogText(3, 10));
    const std::string prot = Write("p_PRO.txt", ProtocolText());
    const std::string tree = Write("t.zqd", "");
    Drop({prot, tree, log});
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));

    TMDIChildRec* window = RecordWindow("* a_LOG");
    ASSERT_TRUE(window);
    const TRecording& data = window->Recorder().Data();
    ASSERT_EQ(data.Samples.size(), 3u);
    ASSERT_EQ(data.Headers.size(), 1u);
    EXPECT_STREQ(data.Headers[0].DevId, "MORLISK");
    EXPECT_EQ(+data.Headers[0].Interval, 10u);
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(SendMessageA(window->ListView1(), LVM_GETITEMCOUNT, 0, 0), 3);
    char title[64] = {};
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    SendMessageA(window->ListView1(), LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(title, "Sample Nr. / Time");
    EXPECT_FALSE(FindWindowExA(form->MDIClient(), nullptr, "TProgressForm", nullptr))
        << "the progress window closes after the file";

    TTreeNode* node = Child(form->Tree().ProtocolsFolder(), "* p_PRO");
    ASSERT_TRUE(node);
    const auto* protocol = node->As<TProtData>();
    ASSERT_TRUE(protocol && protocol->ProtocolWindow);
    const auto* protWindow = dynamic_cast<TMDIChildProt*>(protocol->ProtocolWindow);
    ASSERT_TRUE(protWindow);
    EXPECT_NE(WindowText(protWindow->RichEdit1()).find("aw        0.7512"), std::string::npos);
}

TEST_F(ImportGuiTest, AFailingSecondOfThreeJoinedLogsEndsTheRun) {
    const struct {
        const char* Name;
        std::string Second; // the text of b_LOG.txt
        const char* Error;
        // Only a log refused as a whole lets go of the record's modified flag;
        // after other errors closing the record asks whether to save it.
        bool AsksToSave;
    } cases[] = {
        {"another interval", LogText(5, 60), sOtherSampleRate, false},
        {"no header", "Time abs.\taw\r\n", sNoExpectedData, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        boxes.Shown.clear();
        const std::string a = Write("a_LOG.txt", LogText(5, 10));
        const std::string b = Write("b_LOG.txt", c.Second);
        const std::string third = Write("c_LOG.txt", LogText(5, 10));
        boxes.Script.push_back({mrNo, false}); // join them
        boxes.Script.push_back({mrNo, false}); // do not save
        Drop({third, b, a});
        boxes.Script.clear();
        const std::vector<std::string> shown = Messages();
        ASSERT_EQ(shown.size(), c.AsksToSave ? 3u : 2u);
        EXPECT_EQ(shown.front(), sAskIndividualLogs);
        EXPECT_EQ(shown.back(), Format(c.Error, b.c_str()));
        if (c.AsksToSave) {
            EXPECT_TRUE(shown[1].starts_with("Do you want to save the imported data"));
        }
        // The joined record went with its window and node; the third log never came.
        TTreeNode* records = form->Tree().RecordsFolder();
        EXPECT_EQ(records ? records->Count() : 0, 0);
        EXPECT_FALSE(FindWindowExA(form->MDIClient(), nullptr, "TMDIChildRec", nullptr));
        EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    }
}

TEST_F(ImportGuiTest, JoinedLogsMakeOneRecordWithABlockEach) {
    const std::string a = Write("a_LOG.txt", LogText(100, 10));
    const std::string b = Write("b_LOG.txt", LogText(50, 10));
    boxes.Script.push_back({mrNo, false});
    Drop({b, a});
    TMDIChildRec* window = RecordWindow("* a_LOG");
    ASSERT_TRUE(window);
    EXPECT_FALSE(RecordWindow("* b_LOG"));
    const TRecording& data = window->Recorder().Data();
    ASSERT_EQ(data.Headers.size(), 2u);
    EXPECT_EQ(data.Samples.size(), 150u);
    EXPECT_EQ(+data.Headers[1].Count, 50u);
}

// The drop reads Shift and Ctrl as they are while it is handled.
TEST_F(ImportGuiTest, KeysHeldOnADropDecideWhetherLogsJoin) {
    const struct {
        const char* Name;
        std::vector<BYTE> Keys;
        bool Asks; // answered No: joined
        bool Joined;
    } cases[] = {
        {"no key", {}, true, true},
        {"Shift", {VK_SHIFT}, false, true},
        {"Shift and Ctrl", {VK_SHIFT, VK_CONTROL}, false, true},
        {"Ctrl", {VK_CONTROL}, false, false},
    };
    const std::string a = Write("a_LOG.txt", LogText(4, 10));
    const std::string b = Write("b_LOG.txt", LogText(3, 10));
    BYTE none[256] = {};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        BYTE keys[256] = {};
        for (BYTE key : c.Keys)
            keys[key] = 0x80;
        ASSERT_TRUE(SetKeyboardState(keys));
        boxes.Script.push_back({mrNo, false});
        Drop({b, a});
        SetKeyboardState(none);
        boxes.Script.clear();
        EXPECT_EQ(Messages(), c.Asks ? std::vector<std::string>{sAskIndividualLogs}
                                     : std::vector<std::string>{});
        TMDIChildRec* first = RecordWindow("* a_LOG");
        ASSERT_TRUE(first);
        EXPECT_EQ(first->Recorder().Data().Samples.size(), c.Joined ? 7u : 4u);
        EXPECT_EQ(first->Recorder().Data().Headers.size(), c.Joined ? 2u : 1u);
        EXPECT_EQ(RecordWindow("* b_LOG") != nullptr, !c.Joined);
        CloseRecords();
    }
}

// The graph defaults an imported record's window shows: the modes, the time
// window and the series, over the statistics of the imported samples.
TEST_F(ImportGuiTest, AnImportedLogShowsTheGraphDefaults) {
    const struct {
        const char* Name;
        bool AutoX;
        std::pair<int32_t, int32_t> Shown;
    } cases[] = {
        {"the defaults' time window", false, {60, 1200}},
        {"Auto Range Time: the whole record", true, {0, 990}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        SetFactoryGraphDefaults(defaults);
        defaults.AutoX = c.AutoX;
        defaults.AutoY = 1;
        defaults.ShowSampleCount = 1;
        defaults.MinTime = 60;
        defaults.MaxTime = 1200;
        defaults.Humidity.Color = 0x00AA00;
        defaults.Temperature.Visible = 0;
        Drop({Write("a_LOG.txt", LogText(100, 10))});
        TMDIChildRec* w = RecordWindow("* a_LOG");
        ASSERT_TRUE(w);
        const TLineGraph& graph = w->Graph();
        EXPECT_EQ(std::make_pair(graph.MinTime(), graph.MaxTime()), c.Shown);
        TRecGraphBar& bar = w->GraphBar();
        EXPECT_EQ(SendMessageA(bar.Control(TRecGraphBar::kAutoX), BM_GETCHECK, 0, 0) == BST_CHECKED,
                  c.AutoX);
        EXPECT_EQ(SendMessageA(bar.Control(TRecGraphBar::kAutoY), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageA(bar.Control(TRecGraphBar::kShowSC), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_TRUE(graph.ShowSampleCount());
        EXPECT_EQ(graph.Series[0].Color, 0x00AA00u);
        EXPECT_FALSE(graph.Series[1].Visible);
        // Auto Range Y over the statistics of the 100 samples (0.750 .. 0.760
        // aw): narrower than the smallest span of 0.1 aw, centred on them.
        EXPECT_EQ(w->Recorder().Statistics().Count, 101);
        EXPECT_NEAR(graph.Series[0].MaxY - graph.Series[0].MinY, 0.1, 1e-9);
        EXPECT_NEAR(graph.Series[0].MinY + graph.Series[0].MaxY, 2 * 0.755, 1e-9);
        EXPECT_EQ(WindowText(w->StatisticsEdit(0)), "0.750");
        EXPECT_EQ(WindowText(w->StatisticsEdit(2)), "0.760");
        CloseRecords();
    }
}

TEST_F(ImportGuiTest, LongDroppedNamesAreNotCut) {
    // Longer than the 248 characters the old fixed buffer kept, within MAX_PATH.
    const std::string stem(255 - 9 - dir.string().size(), 'l');
    const std::string log = Write(stem + "_LOG.txt", LogText(2, 10));
    ASSERT_EQ(log.size(), 255u);
    const HDROP drop = MakeDrop({log});
    EXPECT_EQ(DroppedFileNames(drop), std::vector<std::string>{log});
    DragFinish(drop);
    Drop({log});
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_TRUE(RecordWindow("* " + stem + "_LOG"));
}

TEST_F(ImportGuiTest, TheImportCommandAsksAndImportsEachLogOnYes) {
    const TAction* action = form->Actions().Find(TMainForm::kImport1);
    ASSERT_TRUE(action);
    EXPECT_EQ(action->Caption, "I&mport...");
    EXPECT_EQ(ShortCutToText(action->ShortCut), "Ctrl+M");
    const std::vector<std::string> chosen = {Write("b_LOG.txt", LogText(2, 10)),
                                             Write("a_LOG.txt", LogText(2, 30))};
    importer->SetOpenDialog([&chosen](std::vector<std::string>& Names) {
        Names = chosen;
        return true;
    });
    boxes.Script.push_back({mrYes, false}); // one record each
    form->Actions().Execute(TMainForm::kImport1);
    EXPECT_EQ(Messages(), std::vector<std::string>{sAskIndividualLogs});
    EXPECT_TRUE(RecordWindow("* a_LOG"));
    EXPECT_TRUE(RecordWindow("* b_LOG"));
}

} // namespace

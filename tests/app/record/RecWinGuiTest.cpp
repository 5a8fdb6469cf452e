// The record window under Wine, in the main window: Record, events fed as the
// main window's event handling feeds them, the list, status bar and temporary
// files following; Stop; closing with its questions; a recording left by a
// crash coming back.
#include "app/main/MainForm_win.h"
#include "app/record/RecWin_win.h"
#include "app/record/RecWinFactory_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint16_t kMeasuring = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;

std::string ItemText(HWND List, int Item, int SubItem) {
    char text[260] = {};
    LVITEMA item = {};
    item.iSubItem = SubItem;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List, LVM_GETITEMTEXTA, static_cast<WPARAM>(Item),
                 reinterpret_cast<LPARAM>(&item));
    return text;
}

std::string PanelText(HWND StatusBar, int Panel) {
    char text[260] = {};
    SendMessageA(StatusBar, SB_GETTEXTA, static_cast<WPARAM>(Panel),
                 reinterpret_cast<LPARAM>(text));
    return text;
}

class RecWinTest : public testing::Test {
protected:
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TFakeLinkApi api;
    std::unique_ptr<TMainForm> form;
    TTreeNode* instrument = nullptr;
    TTreeNode* chamber = nullptr;
    bool autoRestore = true;
    std::unique_ptr<TRecWinFactory> factory;
    uint32_t second = 12 * 3600;

    void SetUp() override {
        // Without preferences the temporary files go to the current folder.
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() /
            (std::string("recwin_gui_") +
             testing::UnitTest::GetInstance()->current_test_info()->name());
        std::error_code e;
        std::filesystem::remove_all(dir, e);
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
        factory = std::make_unique<TRecWinFactory>(*form, [this] { return autoRestore; });
        form->SetRecWindowFactory(factory.get());
        ShowWindow(form->Handle(), SW_SHOW);
        TInstrumentData d;
        d.Kind = nkSerialInstrument;
        d.InterfaceIndex = 2;
        d.SerialNumber = 12345;
        SetFieldText(d.DevId, "ZEPHORA");
        instrument = form->Tree().AddChild(form->Tree().Root(), "COM3 0012345", d);
        TChamberData c;
        c.Kind = nkZephoraChamber;
        c.Chamber = 1;
        SetFieldText(c.Name, "Chamber 1 - 0012345");
        chamber = form->Tree().AddChild(instrument, "Chamber 1 - 0012345", c);
    }
    void TearDown() override {
        if (form && form->Handle())
            DestroyWindow(form->Handle());
        PumpMessages();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }

    // The Recorder command on the chamber, as a double click runs it.
    TMDIChildRec* Open() {
        form->Tree().Select(chamber);
        form->AcShowRecExecute();
        PumpMessages();
        return dynamic_cast<TMDIChildRec*>(ChamberData(chamber)->RecordWindow);
    }
    // One measurement event: the tree's live values, then the window, as the
    // event handling does.
    void Event(TMDIChildRec& Window, int16_t Humidity = 5000) {
        TChamberData* c = ChamberData(chamber);
        c->Live.Stamp = {10, 12, 2026, second++};
        c->Live.Meas = {Humidity, 2500, 100, 0, kMeasuring};
        if (Window.Recording())
            Window.AddLiveSample();
        else
            Window.ShowActualValues();
        PumpMessages();
    }
    void SelectRate(TMDIChildRec& Window, int Index) {
        SendMessageA(Window.ComboBoxSampleRate(), CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
        SendMessageA(Window.Handle(), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(Window.ComboBoxSampleRate()), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Window.ComboBoxSampleRate()));
    }
    std::string FileName(const char* Suffix) {
        return std::string("cZEPHORA#0x0000_12345_1") + Suffix;
    }
    uintmax_t FileSize(const char* Suffix) {
        std::error_code e;
        return std::filesystem::file_size(FileName(Suffix), e);
    }
};

TEST_F(RecWinTest, RecordFifteenEventsThenStop) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ChamberData(chamber)->RecordWindow, w);
    EXPECT_EQ(WindowText(w->Handle()), "Chamber 1 - 0012345 - COM3");
    EXPECT_EQ(SendMessageA(w->ComboBoxSampleRate(), CB_GETCURSEL, 0, 0), 2);
    SelectRate(*w, 0);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_TRUE(w->Recording());
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_FALSE(IsWindowEnabled(w->ComboBoxSampleRate()));
    for (int i = 0; i < 15; ++i)
        Event(*w, static_cast<int16_t>(5000 + i));
    EXPECT_EQ(SendMessageA(w->ListView1(), LVM_GETITEMCOUNT, 0, 0), 15);
    EXPECT_EQ(ItemText(w->ListView1(), 0, 1), "10.12.2026 12:00:00");
    EXPECT_FALSE(ItemText(w->ListView1(), 14, 2).empty());
    EXPECT_EQ(PanelText(w->StatusBar1(), 1), "Samples: total: 15");
    EXPECT_EQ(FileSize("~.tmp"), 15u * 23);
    EXPECT_EQ(FileSize("h~.tmp"), 435u);
    EXPECT_EQ(chamber->Text(), "* Chamber 1 - 0012345");

    SendMessageA(w->ButtonStop(), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_FALSE(w->Recording());
    EXPECT_EQ(w->Recorder().Data().Samples.back().Mark, smStopped);
    EXPECT_TRUE(IsWindowEnabled(w->ComboBoxSampleRate()));
    Event(*w);
    EXPECT_EQ(SendMessageA(w->ListView1(), LVM_GETITEMCOUNT, 0, 0), 15);
}

TEST_F(RecWinTest, SelectingARowShowsItsBlockInTheStatusBar) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    SelectRate(*w, 0);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    for (int i = 0; i < 3; ++i)
        Event(*w);
    LVITEMA item = {};
    item.state = item.stateMask = LVIS_SELECTED;
    SendMessageA(w->ListView1(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    PumpMessages();
    EXPECT_EQ(w->Selection().Anchor(), 1);
    EXPECT_EQ(PanelText(w->StatusBar1(), 1), "Samples: total: 3 / selected record: 3");
    EXPECT_EQ(PanelText(w->StatusBar1(), 2), "Record: 01 of 01");
    EXPECT_EQ(PanelText(w->StatusBar1(), 3), "Samplenumber: 1");
    // The list's own selection is cleared: the window draws it.
    EXPECT_EQ(SendMessageA(w->ListView1(), LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(RecWinTest, ClosingARecordingWindowStopsThenFreesItsFiles) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    Event(*w);
    boxes.Script = {{mrCancel}};
    w->Close();
    PumpMessages();
    ASSERT_EQ(ChamberData(chamber)->RecordWindow, w);
    EXPECT_TRUE(w->Recording());

    boxes.Script = {{mrYes}, {mrNo}};
    w->Close();
    PumpMessages();
    ASSERT_EQ(boxes.Shown.size(), 3u);
    EXPECT_EQ(boxes.Shown[1].Msg,
              "Chamber 1 - 0012345 is recording.\r\rStop recording and close the recorder?");
    EXPECT_EQ(boxes.Shown[2].Msg,
              "Chamber 1 - 0012345 contains unsaved data.\r\rDo you want to save the data?");
    EXPECT_EQ(ChamberData(chamber)->RecordWindow, nullptr);
    EXPECT_EQ(chamber->Text(), "Chamber 1 - 0012345");
    EXPECT_FALSE(std::filesystem::exists(FileName("~.tmp")));
    EXPECT_FALSE(std::filesystem::exists(FileName("h~.tmp")));
}

TEST_F(RecWinTest, ARecordingLeftByACrashComesBack) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    SelectRate(*w, 0);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    for (int i = 0; i < 4; ++i)
        Event(*w);
    // The files as the crash leaves them; the window's own close would delete them.
    const std::filesystem::path keep = "kept";
    std::filesystem::create_directories(keep);
    for (const char* s : {"~.tmp", "h~.tmp", "c~.tmp"})
        std::filesystem::copy_file(FileName(s), keep / s);
    boxes.Script = {{mrYes}, {mrNo}};
    w->Close();
    PumpMessages();
    for (const char* s : {"~.tmp", "h~.tmp", "c~.tmp"})
        std::filesystem::copy_file(keep / s, FileName(s),
                                   std::filesystem::copy_options::overwrite_existing);

    TMDIChildRec* again = Open();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->Recording());
    ASSERT_EQ(again->Recorder().Data().Samples.size(), 4u);
    EXPECT_EQ(again->Recorder().Data().Headers.size(), 2u);
    EXPECT_EQ(SendMessageA(again->ListView1(), LVM_GETITEMCOUNT, 0, 0), 4);
    Event(*again);
    EXPECT_EQ(again->Recorder().Data().Samples.back().Mark, smInterrupted);
}

} // namespace

// The record window under Wine, in the main window: Record, events fed as the
// main window's event handling feeds them, the list, status bar and temporary
// files following; Stop; closing with its questions; a recording left by a
// crash coming back; the graph tool bar, its shortcuts and Auto Scroll.
#include "app/base/Tools_win.h"
#include "app/main/InfoWin_.h"
#include "app/main/MainForm_win.h"
#include "app/record/RecWin_win.h"
#include "app/record/RecWinFactory_win.h"
#include "app/tree/TreeNodes_.h"
#include "common/WinRes_win.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/RecordedWindows_win.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
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
    // The preferences' graph defaults that new windows take.
    TGraphDefaults defaults = {};
    std::unique_ptr<TRecWinFactory> factory;
    uint32_t second = 12 * 3600;

    void SetUp() override {
        // Without preferences the temporary files go to the current folder.
        EnterFreshFolder(std::string("recwin_gui_") +
                         testing::UnitTest::GetInstance()->current_test_info()->name());
        form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
        SetFactoryGraphDefaults(defaults);
        factory = std::make_unique<TRecWinFactory>(
            *form, [this] { return autoRestore; }, [this] { return defaults; });
        form->SetRecWindowFactory(factory.get());
        ShowWindow(form->Handle(), SW_SHOW);
        instrument = AddSerialInstrument(*form);
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
    void Event(TMDIChildRec& Window, int16_t Humidity = 5000, uint16_t Status = kMeasuring) {
        TChamberData* c = ChamberData(chamber);
        c->Live.Stamp = {10, 12, 2026, second++};
        c->Live.Meas = {Humidity, 2500, 100, 0, Status};
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

int ItemImage(HWND List, int Item) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = Item;
    item.iImage = 99;
    SendMessageA(List, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

TEST_F(RecWinTest, RowsShowTheirImagesFromTheTreesImageList) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    HWND list = w->ListView1();
    ASSERT_NE(form->TreeImages(), nullptr);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
              form->TreeImages());
    SelectRate(*w, 0);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    Event(*w);
    Event(*w, 5000, kMeasuring | csAnalysing);
    Event(*w, 5000, kMeasuring | csAnalysing);
    Event(*w, 5000, kMeasuring | csAnalysing | csStable);
    second += 10; // an interruption: the next event is not sampled, the one after is marked
    Event(*w, 5000, kMeasuring | csAnalysing | csStable);
    Event(*w, 5000, kMeasuring | csAnalysing | csStable);
    Event(*w, 5000, kMeasuring | csAnalysing | csStable);
    SendMessageA(w->ButtonStop(), BM_CLICK, 0, 0);
    PumpMessages();
    const int images[] = {imRowBlockStart, imRowAnalysing, -1, imRowStable, imRowMark, imRowStop};
    const int rows = static_cast<int>(std::size(images));
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), rows);
    for (int i = 0; i < rows; ++i)
        EXPECT_EQ(ItemImage(list, i), images[i]) << "row " << i;

    // The list shares the tree's images: they outlive it.
    boxes.Script = {{mrNo}};
    w->Close();
    PumpMessages();
    ASSERT_EQ(ChamberData(chamber)->RecordWindow, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(form->TreeImages()), kTreeImageCount);
}

// Each value column fits its caption and the texts of its rows.
void ExpectColumnsFit(HWND List, int Rows) {
    for (int c = 1; c <= 3; ++c) {
        SCOPED_TRACE(c);
        const auto width = [List](const std::string& Text) {
            return SendMessageA(List, LVM_GETSTRINGWIDTHA, 0,
                                reinterpret_cast<LPARAM>(Text.c_str()));
        };
        LRESULT needed = width(ListColumnText(List, c));
        for (int i = 0; i < Rows; ++i)
            needed = std::max(needed, width(ItemText(List, i, c)));
        EXPECT_GE(SendMessageA(List, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0), needed + 15);
    }
}

TEST_F(RecWinTest, ColumnsAreAsWideAsTheirCaptionsAndValues) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    SelectRate(*w, 0);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    Event(*w, 5000);
    Event(*w, 9999);
    ExpectColumnsFit(w->ListView1(), 2);
    // Other units: sized anew to the last row, wider than any value so far.
    Event(*w, -32000);
    defaults.HumChoice = 1;
    w->SetDefaultSettings(defaults);
    PumpMessages();
    ExpectColumnsFit(w->ListView1(), 3);
}

TEST_F(RecWinTest, TheChambersStateImageShowsWhileItsWindowRecords) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    Event(*w);
    EXPECT_EQ(chamber->StateIndex(), imNone);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(chamber->StateIndex(), imRecording);
    SendMessageA(w->ButtonStop(), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(chamber->StateIndex(), imNone);
    w->Close();
    PumpMessages();
    ASSERT_EQ(ChamberData(chamber)->RecordWindow, nullptr);

    // The chamber's last values say it is gone.
    ChamberData(chamber)->Live.Meas.Status = 0;
    w = Open();
    ASSERT_NE(w, nullptr);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(chamber->StateIndex(), imRecordingAbsent);
    boxes.Script = {{mrYes}};
    w->Close();
    PumpMessages();
    ASSERT_EQ(ChamberData(chamber)->RecordWindow, nullptr);
    EXPECT_EQ(chamber->StateIndex(), imNone);
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

TEST_F(RecWinTest, ARecordingLeftByACrashComesBackWithItsChamberInfo) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    TChamberData* c = ChamberData(chamber);
    SetFieldText(c->SerialPart, "0012345");
    c->RecordFileName = "C:\\records\\oven.zqr";
    c->InfoText = "shelf 2";
    std::string shown;
    RenameChamber(form->Tree(), chamber, "Oven", shown);
    SelectRate(*w, 0);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    for (int i = 0; i < 4; ++i)
        Event(*w);
    EXPECT_EQ(WindowText(w->Handle()), "* (1) Oven - COM3 [oven.zqr]");
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

    // Meanwhile the chamber was made anew, as after a restart.
    RenameChamber(form->Tree(), chamber, "", shown);
    c->InfoText.clear();
    ASSERT_EQ(chamber->Text(), "Chamber 1 - 0012345");

    TMDIChildRec* again = Open();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->Recording());
    ASSERT_EQ(again->Recorder().Data().Samples.size(), 4u);
    EXPECT_EQ(again->Recorder().Data().Headers.size(), 2u);
    EXPECT_EQ(SendMessageA(again->ListView1(), LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(FieldText(c->Name), "Oven");
    EXPECT_EQ(c->InfoText, "shelf 2");
    EXPECT_EQ(c->RecordFileName, "C:\\records\\oven.zqr");
    EXPECT_EQ(chamber->Text(), "* (1) Oven");
    EXPECT_EQ(WindowText(again->Handle()), "* (1) Oven - COM3 [oven.zqr]");
    EXPECT_EQ(FieldText(again->Recorder().Data().Headers.back().Name), "Oven")
        << "the resumed block takes the restored name";
    EXPECT_EQ(chamber->StateIndex(), imRecording);
    Event(*again);
    EXPECT_EQ(again->Recorder().Data().Samples.back().Mark, smInterrupted);
}

// --- the graph tool bar

void Click(HWND Button) {
    SendMessageA(Button, BM_CLICK, 0, 0);
    PumpMessages();
}

void Type(HWND Edit, const char* Keys) {
    SetFocus(Edit);
    for (const char* k = Keys; *k; ++k)
        SendMessageA(Edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*k)), 0);
    PumpMessages();
}

TEST_F(RecWinTest, GraphToolBarShowsAndMovesTheTimeWindow) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    TRecGraphBar& bar = w->GraphBar();
    EXPECT_EQ(WindowText(bar.Control(TRecGraphBar::kEditMin)), "0.0");
    EXPECT_EQ(WindowText(bar.Control(TRecGraphBar::kEditMax)), "12.0");
    HWND page = bar.Control(TRecGraphBar::kPageBox);
    EXPECT_EQ(SendMessageA(page, CB_GETCOUNT, 0, 0), 15);

    // "1,25" typed: the comma turns into a point; Enter takes 1.3 minutes.
    SendMessageA(bar.Control(TRecGraphBar::kEditMin), EM_SETSEL, 0, -1);
    Type(bar.Control(TRecGraphBar::kEditMin), "1,2x5");
    EXPECT_EQ(WindowText(bar.Control(TRecGraphBar::kEditMin)), "1.25");
    Type(bar.Control(TRecGraphBar::kEditMin), "\r");
    EXPECT_EQ(w->Graph().MinTime(), 78);
    EXPECT_EQ(WindowText(bar.Control(TRecGraphBar::kEditMin)), "1.3");

    // The page box: open, choose one hour, closed again with the span on top.
    SendMessageA(page, CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    EXPECT_EQ(SendMessageA(page, CB_GETCOUNT, 0, 0), 14);
    SendMessageA(page, CB_SETCURSEL, 3, 0);
    SendMessageA(page, CB_SHOWDROPDOWN, FALSE, 0);
    PumpMessages();
    EXPECT_EQ(w->Graph().MaxTime(), 78 + 3600);
    EXPECT_EQ(SendMessageA(page, CB_GETCOUNT, 0, 0), 15);

    Click(bar.Control(TRecGraphBar::kHome));
    EXPECT_EQ(w->Graph().MinTime(), 0);
    EXPECT_EQ(w->Graph().MaxTime(), 3600);
    Click(bar.Control(TRecGraphBar::kLittleFwd));
    EXPECT_EQ(w->Graph().MinTime(), 900);

    // The up-down above the maximum: six minutes more, its own position kept.
    NMUPDOWN ud = {};
    ud.hdr.hwndFrom = bar.Control(TRecGraphBar::kUpDownMax);
    ud.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(ud.hdr.hwndFrom));
    ud.hdr.code = UDN_DELTAPOS;
    ud.iDelta = 1;
    EXPECT_EQ(SendMessageA(w->Handle(), WM_NOTIFY, ud.hdr.idFrom, reinterpret_cast<LPARAM>(&ud)),
              1);
    EXPECT_EQ(w->Graph().MaxTime(), 4500 + 360);

    // Auto Range Time in a live window disables the time controls.
    Click(bar.Control(TRecGraphBar::kAutoX));
    EXPECT_TRUE(w->View().AutoX());
    EXPECT_EQ(SendMessageA(bar.Control(TRecGraphBar::kAutoX), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(bar.Control(TRecGraphBar::kEditMin)));
    EXPECT_FALSE(IsWindowEnabled(bar.Control(TRecGraphBar::kHome)));
    Click(bar.Control(TRecGraphBar::kAutoX));
    EXPECT_EQ(w->Graph().MinTime(), 900);
    EXPECT_TRUE(IsWindowEnabled(bar.Control(TRecGraphBar::kEditMin)));
    // No series dialogs yet: the button is off.
    EXPECT_FALSE(IsWindowEnabled(bar.Control(TRecGraphBar::kProp)));
}

TEST_F(RecWinTest, ClicksIntoTheGraphPickAndZoom) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    SelectRate(*w, 0);
    Click(w->ButtonRecord());
    for (int i = 0; i < 30; ++i)
        Event(*w);
    UpdateWindow(w->GraphPanel());
    const TRect field = w->Graph().FieldRect();
    ASSERT_GT(field.Right - field.Left, 50);
    auto press = [&](UINT Down, UINT Up, int X) {
        const LPARAM at = MAKELPARAM(field.Left + X, field.Top + 10);
        SendMessageA(w->GraphPanel(), Down, Down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, at);
        SendMessageA(w->GraphPanel(), Up, 0, at);
        PumpMessages();
    };
    // 0 .. 720 s over the field: a pixel is more than a second.
    const double spp = w->Graph().GetSecPerPixel();
    const int x = static_cast<int>(10 / spp);
    press(WM_LBUTTONDOWN, WM_LBUTTONUP, x);
    EXPECT_EQ(w->Selection().Anchor(), w->View().PickSample());
    EXPECT_GE(w->Selection().Anchor(), 9);
    press(WM_LBUTTONDOWN, WM_LBUTTONUP, field.Right - field.Left - 2);
    EXPECT_EQ(w->Selection().Anchor(), -1);

    TRecGraphBar& bar = w->GraphBar();
    Click(bar.Control(TRecGraphBar::kZoom));
    EXPECT_NE(bar.GraphCursor(), LoadCursor(nullptr, IDC_CROSS));
    press(WM_LBUTTONDOWN, WM_LBUTTONUP, 20);
    EXPECT_GE(w->Graph().ZoomMarker, 0);
    press(WM_LBUTTONDOWN, WM_LBUTTONUP, 60);
    EXPECT_LT(w->Graph().ZoomMarker, 0);
    EXPECT_NEAR(w->Graph().MinTime(), spp * 21, 1);
    EXPECT_NEAR(w->Graph().MaxTime(), spp * 60, 1);
    Click(bar.Control(TRecGraphBar::kZoom));
    EXPECT_EQ(bar.GraphCursor(), LoadCursor(nullptr, IDC_CROSS));
}

// Counts the series dialogs a window asks for.
class TCountingSeriesDialogs : public ISeriesDialogs {
public:
    void ShowSeriesProperties(const TSeriesEdit&, ISeriesWindow&) override { ++Shown; }
    int Shown = 0;
};

// Ctrl+T, Ctrl+I, Ctrl+F and Ctrl+Y reach the window through the program's
// message loop, whichever of its controls has the focus.
TEST_F(RecWinTest, ShortcutsWorkWhicheverControlHasTheFocus) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    TCountingSeriesDialogs dialogs;
    w->SetSeriesDialogs(&dialogs);
    TRecGraphBar& bar = w->GraphBar();
    ASSERT_TRUE(TMainForm::ForceForeground(form->Handle()));
    // Types Key with Modifiers held on the keyboard, into Focus, and runs what
    // comes through the program's message loop.
    auto press = [&](HWND Focus, WPARAM Key, std::vector<WORD> Modifiers) {
        SetFocus(Focus);
        ASSERT_EQ(FocusOf(w->Handle()), Focus);
        std::vector<INPUT> input;
        auto key = [&input](WORD Key, DWORD Flags) {
            INPUT i = {};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = Key;
            i.ki.dwFlags = Flags;
            input.push_back(i);
        };
        for (WORD m : Modifiers)
            key(m, 0);
        key(static_cast<WORD>(Key), 0);
        key(static_cast<WORD>(Key), KEYEVENTF_KEYUP);
        for (WORD m : Modifiers)
            key(m, KEYEVENTF_KEYUP);
        ASSERT_EQ(SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)),
                  input.size());
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!form->TranslateShortCut(msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
    };
    const struct {
        WPARAM Key;
        TRecGraphBar::TControl Button; // its click undoes the key
        std::function<bool()> Done;
    } keys[] = {
        {'T', TRecGraphBar::kAutoX, [&] { return w->View().AutoX(); }},
        {'I', TRecGraphBar::kZoom, [&] { return w->View().Zoom(); }},
        {'F', TRecGraphBar::kAutoOffset, [&] { return w->View().AutoOffset(); }},
        {'Y', TRecGraphBar::kProp, [&] { return dialogs.Shown > 0; }},
    };
    const struct {
        const char* Name;
        HWND Control;
    } focused[] = {
        {"list", w->ListView1()},
        {"graph", w->GraphPanel()},
        {"minimum edit", bar.Control(TRecGraphBar::kEditMin)},
        {"maximum edit", bar.Control(TRecGraphBar::kEditMax)},
        {"page box", bar.Control(TRecGraphBar::kPageBox)},
        {"sample-rate box", w->ComboBoxSampleRate()},
    };
    for (const auto& f : focused) {
        const std::string text = WindowText(f.Control);
        for (const auto& k : keys) {
            SCOPED_TRACE(std::string(f.Name) + " Ctrl+" + static_cast<char>(k.Key));
            press(f.Control, k.Key, {VK_SHIFT, VK_CONTROL});
            press(f.Control, k.Key, {});
            EXPECT_FALSE(k.Done()) << "only Ctrl alone makes the shortcut";
            press(f.Control, k.Key, {VK_CONTROL});
            EXPECT_TRUE(k.Done());
            if (k.Button == TRecGraphBar::kProp)
                dialogs.Shown = 0;
            else
                Click(bar.Control(k.Button));
            EXPECT_FALSE(k.Done());
        }
        EXPECT_EQ(WindowText(f.Control), text) << "the keys never reach the control";
    }
}

// Auto Scroll starts as the graph defaults say; while it is down the list
// follows new samples, until the list is scrolled by hand or a sample is
// picked in the graph.
TEST_F(RecWinTest, AutoScrollFollowsNewSamplesUntilTheListIsScrolledByHand) {
    for (uint8_t down : {0, 1}) {
        SCOPED_TRACE(+down);
        defaults.AutoScroll = down;
        TMDIChildRec* w = Open();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->AutoScroll().Down(), down != 0);
        EXPECT_TRUE(IsWindowEnabled(w->AutoScroll().Button()));
        boxes.Script = {{mrYes}, {mrNo}};
        w->Close();
        PumpMessages();
        ASSERT_EQ(ChamberData(chamber)->RecordWindow, nullptr);
    }
    defaults.AutoScroll = 0;
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    HWND list = w->ListView1();
    auto lastRowShown = [list] {
        const LRESULT last = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) - 1;
        const LRESULT top = SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
        return top > 0 && last < top + SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    };
    SelectRate(*w, 0);
    Click(w->ButtonRecord());
    for (int i = 0; i < 60; ++i)
        Event(*w);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);

    Click(w->AutoScroll().Button());
    EXPECT_TRUE(w->AutoScroll().Down());
    EXPECT_TRUE(lastRowShown()) << "the click shows the last sample";
    for (int i = 0; i < 30; ++i)
        Event(*w);
    EXPECT_TRUE(lastRowShown());

    SendMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_FALSE(w->AutoScroll().Down());
    const LRESULT top = SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    Event(*w);
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), top);

    Click(w->AutoScroll().Button());
    SendMessageA(list, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_FALSE(w->AutoScroll().Down());

    Click(w->AutoScroll().Button());
    UpdateWindow(w->GraphPanel());
    const TRect field = w->Graph().FieldRect();
    const LPARAM at = MAKELPARAM(field.Left + 5, field.Top + 10);
    SendMessageA(w->GraphPanel(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(w->GraphPanel(), WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_GE(w->Selection().Anchor(), 0);
    EXPECT_FALSE(w->AutoScroll().Down()) << "picking a sample releases it";
}

// The list window as it is on the screen, frame and scroll bars included.
std::vector<uint32_t> ScreenPixels(HWND Window) {
    RECT r;
    GetWindowRect(Window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const TScoped<HDC, DeleteDC> memory(CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    const TScoped<HBITMAP, DeleteObject> bitmap(
        CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TSelectObject select(memory.Get(), bitmap.Get());
    const HDC screen = GetWindowDC(Window);
    BitBlt(memory.Get(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ReleaseDC(Window, screen);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    return {first, first + static_cast<size_t>(width) * static_cast<size_t>(height)};
}

// A new sample draws on the list only what changed, and the list then looks
// as a full repaint draws it: the new row, the rows scrolled in while Auto
// Scroll is down, the scroll bar as it comes and moves, a selection made just
// before the sample, and with End down the rows leaving a short span.
TEST_F(RecWinTest, ANewSampleLeavesTheListAsAFullRepaintDrawsIt) {
    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    HWND list = w->ListView1();
    SelectRate(*w, 0);
    Click(w->ButtonRecord());
    const LRESULT page = SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    ASSERT_GT(page, 2);
    const struct { bool Follow, End; } passes[] = {{false, false}, {true, false}, {true, true}};
    for (const auto& pass : passes) {
        if (w->AutoScroll().Down() != pass.Follow)
            Click(w->AutoScroll().Button());
        if (pass.End) {
            w->View().SetMinTime(0);
            w->View().SetMaxTime(18);
            w->View().EndButton(true);
        }
        for (LRESULT i = 0; i < page + 3; ++i) {
            if (i == page)
                w->SelectSample(SendMessageA(list, LVM_GETTOPINDEX, 0, 0) + 1, false);
            Event(*w);
            const std::vector<uint32_t> shown = ScreenPixels(list);
            RedrawWindow(list, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            ASSERT_EQ(shown, ScreenPixels(list))
                << (pass.Follow ? "following, " : "") << (pass.End ? "End, " : "")
                << w->Recorder().Data().Samples.size() << " samples";
        }
    }
    EXPECT_GT(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
    EXPECT_GT(w->Graph().MinTime(), 0);
}

// A stored record takes no new samples: its Auto Scroll button is off.
// A new window activates before its node refers to it, so the tree's selection
// cannot have enabled them: the window does, and its first sample.
TEST_F(RecWinTest, TheActiveWindowEnablesItsCommands) {
    const int samplesOnly[] = {IMdiHost::kFileSaveAs1, IMdiHost::kFileSave1, IMdiHost::kAcExport,
                               IMdiHost::kAcExpGrph};
    for (int id : samplesOnly)
        if (!form->Actions().Find(id))
            form->Actions().Add({id, "command", {}, false, false, [] {}});
    form->Actions().Add({IMdiHost::kPrintPreview1, "Print Pre&view", {}, false, false, [] {}});
    const auto enabled = [this](int Id) { return form->Actions().Find(Id)->Enabled; };

    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(enabled(IMdiHost::kPrintPreview1));
    for (int id : samplesOnly)
        EXPECT_FALSE(enabled(id)) << id << " without samples";

    SelectRate(*w, 0);
    SendMessageA(w->ButtonRecord(), BM_CLICK, 0, 0);
    PumpMessages();
    Event(*w);
    for (int id : samplesOnly)
        EXPECT_TRUE(enabled(id)) << id << " with a sample";
}

TEST_F(RecWinTest, AStoredRecordsAutoScrollIsDisabled) {
    defaults.AutoScroll = 1;
    TTreeNode* node = CreateRecNode(form->Tree(), boxes, "* stored", "stored.zqr", true, 0);
    ASSERT_NE(node, nullptr);
    auto& w = dynamic_cast<TMDIChildRec&>(form->RecWindows().CreateRecWindow(*node, false));
    EXPECT_FALSE(IsWindowEnabled(w.AutoScroll().Button()));
}

// A record file's view settings come back with it: time window, modes,
// series and statistics.
TEST_F(RecWinTest, ARecordFileBringsItsGraphSettings) {
    TRecordFileData d;
    TRecBlockHeader h = {};
    h.Interval = 10;
    h.Count = 200;
    AppendBlock(d, h);
    TSample sample = {};
    sample.Block = 1;
    d.Samples.assign(200, sample);
    TGraphSettings s;
    s.MinTime = 600;
    s.MaxTime = 1800;
    s.ShowSampleCount = true;
    s.Statistics.Min[0] = 4321;
    s.Statistics.Count = 201;
    s.Humidity = {1, 0x00FF00, 0, 10000, 1000, {}};
    s.Temperature = {1, 0x0000FF, 0, 5000, 1000, {}};
    d.View = PackViewSettings(s);
    TWinFileSystem files;
    ASSERT_EQ(SaveRecordFile(files, "view.zqr", d), "");

    TMDIChildRec* w = Open();
    ASSERT_NE(w, nullptr);
    w->LoadRecordFile("view.zqr");
    PumpMessages();
    EXPECT_EQ(w->Graph().MinTime(), 600);
    EXPECT_EQ(w->Graph().MaxTime(), 1800);
    EXPECT_TRUE(w->Graph().ShowSampleCount());
    EXPECT_EQ(w->Graph().Series[0].Color, 0x00FF00u);
    EXPECT_EQ(w->Recorder().Statistics().Min[0], 4321);
    EXPECT_EQ(WindowText(w->GraphBar().Control(TRecGraphBar::kEditMin)), "10.0");
}

} // namespace

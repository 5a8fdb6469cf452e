// The series properties and units dialogs on record windows under Wine, and
// the preferences' "Apply to Recorders" and "Apply to Records" reaching the
// open record windows: the dialogs are driven by their controls from a thread
// of the test while they run modally; the windows are read by their controls.
#include "app/base/Tools_win.h"
#include "app/main/MainForm_win.h"
#include "app/main/PrefHost_win.h"
#include "app/record/RecWin_win.h"
#include "app/record/RecWinFactory_win.h"
#include "app/record/SeriesDialogs_win.h"
#include "app/settings/Preferences_win.h"
#include "app/settings/PreferencesForm_win.h"
#include "app/settings/SeriesPropForm_win.h"
#include "app/settings/UnitsForm_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/FakePrinter.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/RecordedWindows_win.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint16_t kMeasuring = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;

int CurSel(HWND Combo) {
    return static_cast<int>(SendMessageA(Combo, CB_GETCURSEL, 0, 0));
}

void SetText(HWND Wnd, const char* Text) {
    SendMessageA(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text));
}

// Enter typed into a control, as the keyboard gives it.
void Enter(HWND Wnd) {
    SendMessageA(Wnd, WM_CHAR, VK_RETURN, 0);
}

const char kTempC[] = "T[\xB0"
                      "C]";
const char kTempF[] = "T[\xB0"
                      "F]";

// The main window with one instrument of two chambers, the record windows'
// factory, the held preferences (no default printer) and the single dialogs
// wired as the program wires them.
class SeriesDialogsTest : public testing::Test {
protected:
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TFakeLinkApi api;
    TWinPrefPlatform platform;
    TFakePrinter printer;
    TMemSetupFiles setupFiles;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TPreferences> prefs;
    std::unique_ptr<TPrefHost> prefHost;
    std::unique_ptr<TPreferencesForm> prefForm;
    std::unique_ptr<TSetSeriesPropForm> seriesForm;
    std::unique_ptr<TSetUnitsForm> unitsForm;
    std::unique_ptr<TSeriesDialogs> dialogs;
    std::unique_ptr<TRecWinFactory> factory;
    TTreeNode* instrument = nullptr;
    TTreeNode* chambers[2] = {};
    uint32_t second = 12 * 3600;
    bool programTempExisted = false;

    void SetUp() override {
        EnterFreshFolder(std::string("series_gui_") +
                         testing::UnitTest::GetInstance()->current_test_info()->name());
        programTempExisted = platform.DirectoryExists(platform.ProgramDir() + "Temp\\");
        form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
        prefs = std::make_unique<TPreferences>(registry, boxes, platform, printer, setupFiles);
        prefs->Load();
        prefHost = std::make_unique<TPrefHost>(*form);
        prefForm = std::make_unique<TPreferencesForm>(form->Handle(), *prefs, *prefHost);
        seriesForm = std::make_unique<TSetSeriesPropForm>(form->Handle(), false, *prefs);
        unitsForm = std::make_unique<TSetUnitsForm>(form->Handle());
        prefForm->SetSeriesForm(seriesForm.get());
        seriesForm->SetUnitsForm(unitsForm.get());
        dialogs = std::make_unique<TSeriesDialogs>(*seriesForm);
        factory = std::make_unique<TRecWinFactory>(
            *form, [] { return false; }, [this] { return prefs->GraphDefaults; });
        factory->SetSeriesDialogs(dialogs.get());
        form->SetRecWindowFactory(factory.get());
        prefHost->SetApplyToWindow(
            [this](IRecordWindow& W, const TGraphDefaults& D, bool Recorder) {
                factory->ApplyStandardSettings(W, D, Recorder);
            });
        ShowWindow(form->Handle(), SW_SHOW);
        instrument = AddSerialInstrument(*form);
        for (int i = 0; i < 2; ++i) {
            TChamberData c;
            c.Kind = nkZephoraChamber;
            c.Chamber = i + 1;
            const std::string name = "Chamber " + std::to_string(i + 1) + " - 0012345";
            SetFieldText(c.Name, name);
            chambers[i] = form->Tree().AddChild(instrument, name, c);
        }
    }
    void TearDown() override {
        if (form && form->Handle())
            DestroyWindow(form->Handle());
        PumpMessages();
        if (!programTempExisted)
            RemoveDirectoryA((platform.ProgramDir() + "Temp\\").c_str());
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }

    TMDIChildRec* Open(TTreeNode* Node) {
        form->Tree().Select(Node);
        form->AcShowRecExecute();
        PumpMessages();
        return dynamic_cast<TMDIChildRec*>(ChamberData(Node)->RecordWindow);
    }
    // A loaded record's node in the Records folder with its window.
    TMDIChildRec* OpenRecordNode() {
        TTreeModel& tree = form->Tree();
        if (!tree.RecordsFolder())
            tree.SetRecordsFolder(tree.AddChild(tree.Root(), "Records", TRecNodeData{}));
        TTreeNode* node = tree.AddChild(tree.RecordsFolder(), "stored", TRecData{});
        IRecordWindow& w = form->RecWindows().CreateRecWindow(*node, false);
        PumpMessages();
        return dynamic_cast<TMDIChildRec*>(&w);
    }
    void Event(TMDIChildRec& Window, int Chamber) {
        TChamberData* c = ChamberData(chambers[Chamber]);
        c->Live.Stamp = {10, 12, 2026, second++};
        c->Live.Meas = {5000, 2500, 100, 0, kMeasuring};
        if (Window.Recording())
            Window.AddLiveSample();
        PumpMessages();
    }
    HWND SeriesButton(TMDIChildRec& Window) {
        return Window.GraphBar().Control(TRecGraphBar::kProp);
    }
    // Runs the series dialog from the window's button; Act drives it.
    bool RunSeriesDialog(TMDIChildRec& Window, std::function<void(HWND)> Act) {
        TWindowActor actor("TSetSeriesPropForm", sSeriesDialogCaption, std::move(Act));
        // The dialog runs modally inside the click.
        SendMessageA(SeriesButton(Window), BM_CLICK, 0, 0);
        const bool found = actor.Join();
        PumpMessages();
        return found;
    }
};

TEST_F(SeriesDialogsTest, SeriesButtonOpensTheDialogAndItsOkAppliesToTheWindow) {
    TMDIChildRec* w = Open(chambers[0]);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(IsWindowEnabled(SeriesButton(*w)));
    EXPECT_EQ(ListColumnText(w->ListView1(), 3), kTempC);
    std::string shownMax;
    bool applyShown = false;
    ASSERT_TRUE(RunSeriesDialog(*w, [&](HWND S) {
        applyShown = IsWindowVisible(seriesForm->ButtonApply());
        shownMax = WindowText(seriesForm->Edit(siHumidity, TLimitEdit::Max));
        const HWND max = seriesForm->Edit(siHumidity, TLimitEdit::Max);
        SetText(max, "0.800");
        Enter(max);
        SendMessageA(seriesForm->CheckBoxShow(siTemperature), BM_CLICK, 0, 0);
        TWindowActor unitsActor("TSetUnitsForm", "Enter units", [&](HWND U) {
            SendMessageA(unitsForm->ComboBox(ulTemperature), CB_SETCURSEL, 2, 0);
            ClickButton(U, "&OK");
        });
        PostMessageA(seriesForm->ButtonUnits(), BM_CLICK, 0, 0);
        EXPECT_TRUE(unitsActor.Join());
        Sleep(200);
        ClickButton(S, "&OK");
    }));
    EXPECT_TRUE(applyShown);
    // The window's own limits in its units: the factory's 0 .. 1 aw.
    EXPECT_EQ(shownMax, "1.000");
    EXPECT_EQ(w->View().Limits(rsHumidity).YMax, 8000);
    EXPECT_DOUBLE_EQ(w->Graph().Series[rsHumidity].MaxY, 0.8);
    EXPECT_FALSE(w->Graph().Series[rsTemperature].Visible);
    EXPECT_EQ(w->UnitOverrides().TempUnit, 1);
    EXPECT_EQ(ListColumnText(w->ListView1(), 3), kTempF);
    // The preferences keep their own block.
    EXPECT_EQ(int32_t{prefs->GraphDefaults.TempChoice}, kFromInstrument);
}

// Apply with degrees F shows them at once; the cancelled units dialog leaves
// the confirmed choice, which the series OK puts back.
TEST_F(SeriesDialogsTest, UnitsAppliedThenCancelledReturnToTheConfirmedChoice) {
    TMDIChildRec* w = Open(chambers[0]);
    ASSERT_NE(w, nullptr);
    std::string afterApply;
    ASSERT_TRUE(RunSeriesDialog(*w, [&](HWND S) {
        TWindowActor unitsActor("TSetUnitsForm", "Enter units", [&](HWND U) {
            SendMessageA(unitsForm->ComboBox(ulTemperature), CB_SETCURSEL, 2, 0);
            ClickButton(U, "&Apply");
            afterApply = ListColumnText(w->ListView1(), 3);
            ClickButton(U, "&Cancel");
        });
        PostMessageA(seriesForm->ButtonUnits(), BM_CLICK, 0, 0);
        EXPECT_TRUE(unitsActor.Join());
        Sleep(200);
        ClickButton(S, "&OK");
    }));
    EXPECT_EQ(afterApply, kTempF);
    EXPECT_EQ(ListColumnText(w->ListView1(), 3), kTempC);
    EXPECT_EQ(w->UnitOverrides().TempUnit, kFromInstrument);
}

TEST_F(SeriesDialogsTest, CancelLeavesTheWindowAsItWas) {
    TMDIChildRec* w = Open(chambers[0]);
    ASSERT_NE(w, nullptr);
    const int32_t before = w->View().Limits(rsHumidity).YMax;
    ASSERT_TRUE(RunSeriesDialog(*w, [&](HWND S) {
        const HWND max = seriesForm->Edit(siHumidity, TLimitEdit::Max);
        SetText(max, "0.500");
        Enter(max);
        ClickButton(S, "&Cancel");
    }));
    EXPECT_EQ(w->View().Limits(rsHumidity).YMax, before);
}

// A recording window takes the graph settings, auto scroll and units but keeps
// its sample rate; a chamber window that does not record takes the rate too; a loaded
// record's window is left to "Apply to Records", which gives it the same
// graph settings and units.
TEST_F(SeriesDialogsTest, ApplyToRecordersAndToRecords) {
    TMDIChildRec* recording = Open(chambers[0]);
    TMDIChildRec* idle = Open(chambers[1]);
    TMDIChildRec* stored = OpenRecordNode();
    ASSERT_NE(recording, nullptr);
    ASSERT_NE(idle, nullptr);
    ASSERT_NE(stored, nullptr);
    SendMessageA(recording->ButtonRecord(), BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_TRUE(recording->Recording());
    Event(*recording, 0);
    Event(*recording, 0);
    const TRecStatistics stats = recording->Recorder().Statistics();
    const int rate = CurSel(recording->ComboBoxSampleRate());
    const int newRate = rate == 0 ? 1 : 0;
    const bool autoScroll = !recording->AutoScroll().Down();
    const bool storedAutoScroll = stored->AutoScroll().Down();

    prefs->GraphDefaults.SampleRateIndex = newRate;
    prefs->GraphDefaults.TempChoice = 1;
    prefs->GraphDefaults.Humidity.YMax = 7000;
    prefs->GraphDefaults.ShowSampleCount = 1;
    prefs->GraphDefaults.AutoScroll = autoScroll ? 1 : 0;
    const auto apply = [&](int Button) {
        TWindowActor actor("TPreferences", "Preferences", [&](HWND P) {
            SendMessageA(prefForm->Control(Button), BM_CLICK, 0, 0);
            ClickButton(P, "Cancel");
        });
        prefForm->Execute();
        EXPECT_TRUE(actor.Join());
        PumpMessages();
    };
    apply(TPreferencesForm::kButtonApplRcrdr);

    for (TMDIChildRec* w : {recording, idle}) {
        EXPECT_EQ(w->View().Limits(rsHumidity).YMax, 7000);
        EXPECT_TRUE(w->View().ShowSampleCount());
        EXPECT_EQ(w->UnitOverrides().TempUnit, 1);
        EXPECT_EQ(ListColumnText(w->ListView1(), 3), kTempF);
        EXPECT_EQ(w->AutoScroll().Down(), autoScroll);
    }
    EXPECT_TRUE(recording->Recording());
    EXPECT_EQ(CurSel(recording->ComboBoxSampleRate()), rate);
    EXPECT_EQ(CurSel(idle->ComboBoxSampleRate()), newRate);
    // Its statistics are the window's own still.
    EXPECT_EQ(recording->Recorder().Statistics().Count, stats.Count);
    EXPECT_EQ(recording->Recorder().Statistics().Max[rsHumidity], stats.Max[rsHumidity]);
    EXPECT_NE(stored->View().Limits(rsHumidity).YMax, 7000);
    EXPECT_EQ(ListColumnText(stored->ListView1(), 3), kTempC);

    apply(TPreferencesForm::kButtonApplRcrds);
    EXPECT_EQ(stored->View().Limits(rsHumidity).YMax, 7000);
    EXPECT_EQ(stored->UnitOverrides().TempUnit, 1);
    EXPECT_EQ(ListColumnText(stored->ListView1(), 3), kTempF);
    EXPECT_EQ(CurSel(idle->ComboBoxSampleRate()), newRate);
    EXPECT_EQ(stored->AutoScroll().Down(), storedAutoScroll);
}

} // namespace

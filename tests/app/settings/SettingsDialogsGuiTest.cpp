// The preferences, series properties and units dialogs under Wine + Xvfb,
// driven by their controls from a thread of the test while the dialog runs
// modally; what they store is read back with `reg query`.
#include "app/base/Registry_win.h"
#include "app/base/Tools_.h"
#include "app/settings/Preferences_win.h"
#include "app/settings/PreferencesForm_win.h"
#include "app/settings/SeriesPropForm_win.h"
#include "app/settings/UnitsForm_win.h"

#include "tests/app/support/FakePrinter.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kRoot = "\\Software\\Meridane\\TessalyMC\\";
const char kTestPath[] = "Software\\Meridane\\TessalyMC\\dialogtest";

// The program's keys moved under a test key, so the program's own settings stay.
class TTestKeyRegistry : public IRegistryStore {
public:
    std::unique_ptr<IRegistryKey> OpenKey(const std::string& Key) override {
        return FRegistry.OpenKey("\\" + std::string(kTestPath) + "\\" + Key.substr(kRoot.size()));
    }

private:
    TWinRegistry FRegistry;
};

// The data `reg query` prints for a value of the test key: "0x1", a hex string
// of bytes, or a text; empty when there is no such value.
std::string RegQuery(const std::string& SubKey, const std::string& Name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    char file[MAX_PATH];
    GetTempFileNameA(dir, "reg", 0, file);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    const HANDLE out = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                   CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    std::string command = "reg.exe query \"HKEY_CURRENT_USER\\" + std::string(kTestPath) + "\\" +
                          SubKey + "\" /v " + Name;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 20000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(out);
    std::ifstream in(file);
    std::string line;
    std::string data;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, type;
        words >> name >> type;
        if (name == Name && type.rfind("REG_", 0) == 0) {
            std::getline(words >> std::ws, data);
            while (!data.empty() && (data.back() == '\r' || data.back() == ' '))
                data.pop_back();
        }
    }
    in.close();
    DeleteFileA(file);
    return data;
}

std::string Hex(const void* Data, std::size_t Size) {
    std::string hex;
    for (std::size_t i = 0; i < Size; ++i)
        hex += Format("%02X", static_cast<const uint8_t*>(Data)[i]);
    return hex;
}

std::string StoredGraphDefaults() {
    return RegQuery("graphs", "settings");
}

std::string HexOf(const TGraphDefaults& D) {
    return Hex(&D, sizeof D);
}

TGraphDefaults Factory() {
    TGraphDefaults d{};
    SetFactoryGraphDefaults(d);
    return d;
}

void SetText(HWND Wnd, const char* Text) {
    SendMessageA(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text));
}

// Enter typed into a control, as the keyboard gives it.
void Enter(HWND Wnd) {
    SendMessageA(Wnd, WM_CHAR, VK_RETURN, 0);
}

void Click(HWND Wnd) {
    SendMessageA(Wnd, BM_CLICK, 0, 0);
}

class TFakeHost : public IPreferencesHost {
public:
    void ShowSettingsPanels(const std::array<std::string, 3>& Texts) override { Panels = Texts; }
    void HidePrintActions() override { PrintHidden = true; }
    bool HasRecordsFolder() override { return true; }
    int CountRecorderWindows() override { return 1; }
    void ApplyToRecorders(const TGraphDefaults& D) override { Recorders.push_back(D); }
    void ApplyToRecords(const TGraphDefaults& D) override { Records.push_back(D); }
    bool RunPrintSetup(HWND, TPrintKind, bool, TPageMargins&) override { return false; }

    std::array<std::string, 3> Panels;
    bool PrintHidden = false;
    std::vector<TGraphDefaults> Recorders;
    std::vector<TGraphDefaults> Records;
};

class TFakeTarget : public ISeriesTarget {
public:
    TUnitChoices UnitOverrides() override { return Overrides; }
    TResolvedUnits UnitSettings() override { return Units; }
    void ApplySeriesProps(const TSeriesDialogResult& R) override { Applied.push_back(R); }
    void RestoreSeriesView() override { ++Restored; }
    void ApplyUnitChoices(const TUnitChoices& C) override {
        Overrides = C;
        Units.TempUnit = C.Temp == kFromInstrument ? 0 : static_cast<uint8_t>(C.Temp);
    }

    TUnitChoices Overrides;
    TResolvedUnits Units{1, 0, 0};
    std::vector<TSeriesDialogResult> Applied;
    int Restored = 0;
};

// Loaded preferences under the test key (no default printer) and the three
// dialogs; the program folder's "Temp\" goes again when the test made it.
class SettingsDialogs : public testing::Test {
protected:
    SettingsDialogs() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestPath);
        programTempExisted = platform.DirectoryExists(platform.ProgramDir() + "Temp\\");
        prefs.Load();
        form = std::make_unique<TPreferencesForm>(nullptr, prefs, host);
        form->SetSeriesForm(&series);
        series.SetUnitsForm(&units);
    }
    ~SettingsDialogs() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestPath);
        if (!programTempExisted)
            RemoveDirectoryA((platform.ProgramDir() + "Temp\\").c_str());
        SetDecimalSeparator('.');
    }

    HWND PrefControl(int Id) const { return form->Control(Id); }

    TTestKeyRegistry registry;
    TScriptedBoxes boxes;
    TWinPrefPlatform platform;
    TFakePrinter printer;
    TMemSetupFiles files;
    bool programTempExisted = false;
    TPreferences prefs{registry, boxes, platform, printer, files};
    TFakeHost host;
    // Made after loading, as the program makes it.
    std::unique_ptr<TPreferencesForm> form;
    TSetSeriesPropForm series{nullptr, false, prefs};
    TSetUnitsForm units{nullptr};
};

int CurSel(HWND Combo) {
    return static_cast<int>(SendMessageA(Combo, CB_GETCURSEL, 0, 0));
}

TEST_F(SettingsDialogs, UnitsDialogShowsAndConfirmsChoices) {
    std::vector<TUnitChoices> applied;
    int shown[3] = {};
    {
        // A window without overrides: Apply with degrees F, then Cancel.
        TWindowActor actor("TSetUnitsForm", "Enter units", [&](HWND W) {
            for (int l = 0; l < kUnitListCount; ++l)
                shown[l] = CurSel(units.ComboBox(static_cast<TUnitList>(l)));
            SendMessageA(units.ComboBox(ulTemperature), CB_SETCURSEL, 2, 0);
            EXPECT_TRUE(ClickButton(W, "&Apply"));
            ClickButton(W, "&Cancel");
        });
        EXPECT_EQ(units.Execute({}, [&](const TUnitChoices& C) { applied.push_back(C); }),
                  mrCancel);
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(shown[0], 0);
    EXPECT_EQ(shown[1], 0);
    EXPECT_EQ(shown[2], 0);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], (TUnitChoices{kFromInstrument, 1, kFromInstrument}));
    EXPECT_EQ(units.Confirmed(), TUnitChoices{});

    // From the preferences: no Apply; choices out of the lists show clamped.
    bool applyShown = true;
    {
        TWindowActor actor("TSetUnitsForm", "Enter units", [&](HWND W) {
            applyShown = IsWindowVisible(units.ButtonApply());
            for (int l = 0; l < kUnitListCount; ++l)
                shown[l] = CurSel(units.ComboBox(static_cast<TUnitList>(l)));
            SendMessageA(units.ComboBox(ulHumidity), CB_SETCURSEL, 2, 0);
            ClickButton(W, "&OK");
        });
        EXPECT_EQ(units.Execute({-2, 5, 7}, nullptr), mrOk);
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_FALSE(applyShown);
    EXPECT_EQ(shown[0], 0);
    EXPECT_EQ(shown[1], 2);
    EXPECT_EQ(shown[2], 3);
    EXPECT_EQ(units.Confirmed(), (TUnitChoices{1, 1, 2}));
}

TEST_F(SettingsDialogs, SeriesDialogOfARecordWindowAppliesToItAndStoresNothing) {
    TFakeTarget target;
    // Held in memory only; a store would show it.
    prefs.GraphDefaults.MaxTime = 999;
    std::string minAfterMax;
    bool applyShown = false;
    {
        TWindowActor actor("TSetSeriesPropForm", sSeriesDialogCaption, [&](HWND W) {
            applyShown = IsWindowVisible(series.ButtonApply());
            const HWND min = series.Edit(siHumidity, TLimitEdit::Min);
            const HWND max = series.Edit(siHumidity, TLimitEdit::Max);
            SetText(min, "20.0");
            Enter(min);
            SetText(max, "20.5");
            Enter(max);
            minAfterMax = WindowText(min);
            ClickButton(W, "&OK");
        });
        EXPECT_TRUE(series.ExecuteFor(target, SeriesOf(Factory()), {}, false));
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_TRUE(applyShown);
    EXPECT_EQ(minAfterMax, "19.5");
    ASSERT_EQ(target.Applied.size(), 1u);
    EXPECT_EQ(target.Applied[0].Series[siHumidity].YMin, 1950);
    EXPECT_EQ(target.Applied[0].Series[siHumidity].YMax, 2050);
    EXPECT_EQ(StoredGraphDefaults(), HexOf(Factory()));

    // Cancel puts the window's view back and applies nothing.
    {
        TWindowActor actor("TSetSeriesPropForm", sSeriesDialogCaption,
                           [&](HWND W) { ClickButton(W, "&Cancel"); });
        EXPECT_FALSE(series.ExecuteFor(target, SeriesOf(Factory()), {}, false));
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(target.Restored, 1);
    EXPECT_EQ(target.Applied.size(), 1u);
}

// Apply with degrees F changes the window at once; the series OK then applies
// the confirmed choices, which the cancelled units dialog left as they were.
TEST_F(SettingsDialogs, UnitsAppliedThenCancelledFromARecordWindow) {
    TFakeTarget target;
    std::string tempCaption;
    {
        TWindowActor actor("TSetSeriesPropForm", sSeriesDialogCaption, [&](HWND W) {
            TWindowActor unitsActor("TSetUnitsForm", "Enter units", [&](HWND U) {
                SendMessageA(units.ComboBox(ulTemperature), CB_SETCURSEL, 2, 0);
                ClickButton(U, "&Apply");
                ClickButton(U, "&Cancel");
            });
            PostMessageA(series.ButtonUnits(), BM_CLICK, 0, 0);
            EXPECT_TRUE(unitsActor.Join());
            Sleep(200);
            tempCaption = WindowText(series.GroupBox(siTemperature));
            ClickButton(W, "&OK");
        });
        EXPECT_TRUE(series.ExecuteFor(target, SeriesOf(Factory()), {}, false));
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(tempCaption, "T [\xB0"
                           "F] - serie &1");
    ASSERT_EQ(target.Applied.size(), 1u);
    EXPECT_EQ(target.Applied[0].Units, TUnitChoices{});
}

// From the preferences the series OK stores the held block as it is; units
// confirmed there change the held block in memory and reach the registry with
// a store, not at once.
TEST_F(SettingsDialogs, SeriesDialogOfThePreferences) {
    bool applyShown = true;
    {
        TWindowActor actor("TSetSeriesPropForm", sSeriesDialogCaption, [&](HWND W) {
            applyShown = IsWindowVisible(series.ButtonApply());
            TWindowActor unitsActor("TSetUnitsForm", "Enter units", [&](HWND U) {
                SendMessageA(units.ComboBox(ulTemperature), CB_SETCURSEL, 2, 0);
                ClickButton(U, "&OK");
            });
            PostMessageA(series.ButtonUnits(), BM_CLICK, 0, 0);
            EXPECT_TRUE(unitsActor.Join());
            Sleep(200);
            ClickButton(W, "&Cancel");
        });
        series.PrepareForPreferences(false);
        EXPECT_EQ(series.ExecuteForPreferences(), mrCancel);
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_FALSE(applyShown);
    EXPECT_EQ(int32_t{prefs.GraphDefaults.TempChoice}, 1);
    EXPECT_EQ(prefs.GraphDefaults.TempUnit, 1);
    EXPECT_EQ(StoredGraphDefaults(), HexOf(Factory()));

    prefs.GraphDefaults.MaxTime = 999;
    {
        TWindowActor actor("TSetSeriesPropForm", sSeriesDialogCaption,
                           [&](HWND W) { ClickButton(W, "&OK"); });
        series.PrepareForPreferences(false);
        EXPECT_EQ(series.ExecuteForPreferences(), mrOk);
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(StoredGraphDefaults(), HexOf(prefs.GraphDefaults));
}

TEST_F(SettingsDialogs, PreferencesOkStoresTheControls) {
    EXPECT_TRUE(host.PrintHidden);
    EXPECT_EQ(RegQuery("environment", "autorest"), "0x1");
    {
        TWindowActor actor("TPreferences", "Preferences", [&](HWND W) {
            Click(PrefControl(TPreferencesForm::kCheckBoxAutoRestore));
            const HWND max = PrefControl(TPreferencesForm::kEditAlignMax);
            SetText(max, "60");
            Enter(max);
            ClickButton(W, "OK");
        });
        EXPECT_EQ(form->Execute(), mrOk);
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(RegQuery("environment", "autorest"), "0x0");
    EXPECT_EQ(int32_t{prefs.GraphDefaults.MaxTime}, 3600);
    EXPECT_EQ(StoredGraphDefaults(), HexOf(prefs.GraphDefaults));
    EXPECT_EQ(host.Panels, (std::array<std::string, 3>{"", "Auto Connect", ""}));
}

TEST_F(SettingsDialogs, PreferencesCancelStoresNothing) {
    {
        TWindowActor actor("TPreferences", "Preferences", [&](HWND W) {
            Click(PrefControl(TPreferencesForm::kCheckBoxKeepCom));
            ClickButton(W, "Cancel");
        });
        EXPECT_EQ(form->Execute(), mrCancel);
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(RegQuery("environment", "autoconn"), "0x1");
    EXPECT_TRUE(prefs.AutoConnect);
}

// "Set Default" changes the held block at once; only OK stores it.
TEST_F(SettingsDialogs, SetDefaultThenCancelOrOk) {
    prefs.GraphDefaults.MaxTime = 1800;
    prefs.Store();
    const std::string stored = StoredGraphDefaults();
    ASSERT_EQ(stored, HexOf(prefs.GraphDefaults));
    for (const char* button : {"Cancel", "OK"}) {
        SCOPED_TRACE(button);
        std::string maxShown;
        TWindowActor actor("TPreferences", "Preferences", [&](HWND W) {
            Click(PrefControl(TPreferencesForm::kButtonSetDefault));
            maxShown = WindowText(PrefControl(TPreferencesForm::kEditAlignMax));
            ClickButton(W, button);
        });
        form->Execute();
        EXPECT_TRUE(actor.Join());
        EXPECT_EQ(maxShown, "12.0");
        EXPECT_EQ(HexOf(prefs.GraphDefaults), HexOf(Factory()));
        EXPECT_EQ(StoredGraphDefaults(),
                  std::strcmp(button, "OK") == 0 ? HexOf(Factory()) : stored);
    }
}

// Values typed into the series dialog and then cancelled stay out of what the
// Apply buttons give the windows.
TEST_F(SettingsDialogs, ApplyToRecordersTakesTheHeldSeries) {
    {
        TWindowActor actor("TPreferences", "Preferences", [&](HWND W) {
            TWindowActor seriesActor("TSetSeriesPropForm", sSeriesDialogCaption, [&](HWND S) {
                const HWND max = series.Edit(siHumidity, TLimitEdit::Max);
                SetText(max, "0.5");
                Enter(max);
                ClickButton(S, "&Cancel");
            });
            PostMessageA(PrefControl(TPreferencesForm::kToolButtonProp), BM_CLICK, 0, 0);
            EXPECT_TRUE(seriesActor.Join());
            Sleep(200);
            Click(PrefControl(TPreferencesForm::kToolButtonAutoX));
            Click(PrefControl(TPreferencesForm::kButtonApplRcrdr));
            Click(PrefControl(TPreferencesForm::kButtonApplRcrds));
            ClickButton(W, "Cancel");
        });
        form->Execute();
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(series.Model().Series[siHumidity].YMax, 5000);
    ASSERT_EQ(host.Recorders.size(), 1u);
    ASSERT_EQ(host.Records.size(), 1u);
    EXPECT_EQ(int32_t{host.Recorders[0].Humidity.YMax}, 10000);
    EXPECT_EQ(host.Recorders[0].AutoX, 1);
    EXPECT_EQ(HexOf(host.Records[0]), HexOf(host.Recorders[0]));
    EXPECT_EQ(prefs.GraphDefaults.AutoX, 0);
}

TEST_F(SettingsDialogs, TheTimeRangeByItsControls) {
    prefs.GraphDefaults.MaxTime = 3600;
    std::string afterEnter, afterUpDown, afterPage, pageEntry;
    int entries = 0;
    {
        TWindowActor actor("TPreferences", "Preferences", [&](HWND W) {
            const HWND page = PrefControl(TPreferencesForm::kComboBoxTimePage);
            entries = static_cast<int>(SendMessageA(page, CB_GETCOUNT, 0, 0));
            // Enter in the page box keeps the hour shown.
            Enter(page);
            afterEnter = WindowText(PrefControl(TPreferencesForm::kEditAlignMax));
            // Down on the maximum at 5 minutes keeps 18 s.
            SetText(PrefControl(TPreferencesForm::kEditAlignMax), "5");
            Enter(PrefControl(TPreferencesForm::kEditAlignMax));
            NMUPDOWN n{};
            n.hdr.hwndFrom = PrefControl(TPreferencesForm::kUpDownMax);
            n.hdr.idFrom = TPreferencesForm::kUpDownMax;
            n.hdr.code = UDN_DELTAPOS;
            n.iDelta = -1;
            SendMessageA(W, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
            afterUpDown = WindowText(PrefControl(TPreferencesForm::kEditAlignMax));
            // One hour per page from a minimum of 10 minutes.
            SetText(PrefControl(TPreferencesForm::kEditAlignMin), "10");
            Enter(PrefControl(TPreferencesForm::kEditAlignMin));
            SendMessageA(page, CB_SHOWDROPDOWN, TRUE, 0);
            SendMessageA(page, CB_SETCURSEL, 3, 0);
            SendMessageA(page, CB_SHOWDROPDOWN, FALSE, 0);
            afterPage = WindowText(PrefControl(TPreferencesForm::kEditAlignMax));
            char text[256] = {};
            SendMessageA(page, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
            pageEntry = text;
            ClickButton(W, "OK");
        });
        form->Execute();
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(entries, 15);
    EXPECT_EQ(afterEnter, "60.0");
    EXPECT_EQ(afterUpDown, "0.3");
    EXPECT_EQ(afterPage, "70.0");
    EXPECT_EQ(pageEntry, PageText(3600));
    EXPECT_EQ(int32_t{prefs.GraphDefaults.MinTime}, 600);
    EXPECT_EQ(int32_t{prefs.GraphDefaults.MaxTime}, 4200);
}

// The user's locale writes "," for decimals: both separators are read.
TEST_F(SettingsDialogs, TimesUnderACommaLocale) {
    SetDecimalSeparator(',');
    std::string shown;
    {
        TWindowActor actor("TPreferences", "Preferences", [&](HWND W) {
            const HWND min = PrefControl(TPreferencesForm::kEditAlignMin);
            SetText(min, "1,25");
            Enter(min);
            shown = WindowText(min);
            const HWND max = PrefControl(TPreferencesForm::kEditAlignMax);
            SetText(max, "30.5");
            Enter(max);
            ClickButton(W, "OK");
        });
        form->Execute();
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(shown, "1.3");
    EXPECT_EQ(int32_t{prefs.GraphDefaults.MinTime}, 78);
    EXPECT_EQ(int32_t{prefs.GraphDefaults.MaxTime}, 1830);
}

// An emptied edit is no folder: it shows and stores the program's "Temp\".
TEST_F(SettingsDialogs, EmptiedTemporaryDirectory) {
    std::string shown;
    {
        TWindowActor actor("TPreferences", "Preferences", [&](HWND W) {
            const HWND edit = PrefControl(TPreferencesForm::kLabeledEditTempFile);
            SetText(edit, "");
            SendMessageA(edit, WM_KILLFOCUS, 0, 0);
            shown = WindowText(edit);
            ClickButton(W, "OK");
        });
        form->Execute();
        EXPECT_TRUE(actor.Join());
    }
    EXPECT_EQ(shown, prefs.DefaultTempDir());
    EXPECT_EQ(RegQuery("environment", "tempfiledir"), prefs.DefaultTempDir());
    EXPECT_TRUE(boxes.Shown.empty());
}

} // namespace

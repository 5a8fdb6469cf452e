// The platform parts of the preferences under Wine: folders and the locale, the
// held values through the registry backend (under a test key), and the printer
// object of a machine without printers.
#include "app/base/Registry_win.h"
#include "app/settings/Preferences_win.h"
#include "app/settings/PreferencesValues_.h"
#include "app/settings/PrinterSetup_win.h"

#include "tests/app/support/FakePrinter.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

const std::string kRoot = "\\Software\\Meridane\\TessalyMC\\";
const char kTestPath[] = "Software\\Meridane\\TessalyMC\\preftest";

// The program's keys moved under a test key, so the program's own settings stay.
class TTestKeyRegistry : public IRegistryStore {
public:
    std::unique_ptr<IRegistryKey> OpenKey(const std::string& Key) override {
        EXPECT_EQ(Key.rfind(kRoot, 0), 0u) << Key;
        return FRegistry.OpenKey("\\" + std::string(kTestPath) + "\\" + Key.substr(kRoot.size()));
    }

private:
    TWinRegistry FRegistry;
};

// Runs a clean-up however the scope ends.
class TScopeExit {
public:
    explicit TScopeExit(std::function<void()> Run) : FRun(std::move(Run)) {}
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;
    ~TScopeExit() { FRun(); }

private:
    std::function<void()> FRun;
};

struct Stored {
    DWORD type = REG_NONE;
    Bytes data;
    bool operator==(const Stored&) const = default;
};

void PrintTo(const Stored& S, std::ostream* Os) {
    *Os << "type " << S.type << ", " << S.data.size() << " bytes";
}

Stored Get(const std::string& SubKey, const char* Name) {
    const std::string path = std::string(kTestPath) + "\\" + SubKey;
    Stored s;
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), Name, RRF_RT_ANY, &s.type, nullptr, &size) !=
        ERROR_SUCCESS)
        return {};
    s.data.resize(size);
    RegGetValueA(HKEY_CURRENT_USER, path.c_str(), Name, RRF_RT_ANY, &s.type, s.data.data(), &size);
    s.data.resize(size);
    return s;
}

Stored Dword(uint32_t V) {
    Stored s{REG_DWORD, Bytes(4)};
    std::memcpy(s.data.data(), &V, 4);
    return s;
}

Stored Sz(const std::string& S) {
    Bytes b(S.begin(), S.end());
    b.push_back(0);
    return {REG_SZ, b};
}

Texts Messages(const TScriptedBoxes& Boxes) {
    Texts texts;
    for (const TMsgDlgRequest& r : Boxes.Shown)
        texts.push_back(r.Caption + ": " + r.Msg);
    return texts;
}

// A device mode of Size bytes whose own sizes are the public part and Extra.
Bytes DeviceMode(WORD Extra, std::size_t Size) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmDriverExtra = Extra;
    mode.dmFields = DM_ORIENTATION;
    mode.dmOrientation = DMORIENT_PORTRAIT;
    Bytes b(Size, 0);
    std::memcpy(b.data(), &mode, std::min(sizeof mode, Size));
    return b;
}

// Loading creates the program folder's "Temp\" when it is missing; it goes
// again afterwards.
class PreferencesWinTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestPath);
        programTempExisted = platform.DirectoryExists(programTemp);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestPath);
        if (!programTempExisted)
            RemoveDirectoryA(programTemp.c_str());
    }

    TTestKeyRegistry registry;
    TScriptedBoxes boxes;
    TWinPrefPlatform platform;
    const std::string programTemp = platform.ProgramDir() + "Temp\\";
    bool programTempExisted = false;
};

TEST_F(PreferencesWinTest, HeldValuesStoredWithTheRegistrysTypesAndLoadedAgain) {
    TFakePrinter printer; // a default printer, so AutoPrint is stored too
    printer.ProfileDevice = "Office PDF,winspool,Ne00:";
    printer.Current = {"Office PDF", "winspool", "Ne00:", Bytes(48, 1)};
    printer.Installed = {{"Office PDF", 48}};
    TMemSetupFiles files;
    const std::string temp = platform.SystemTempDir();

    TPreferences prefs(registry, boxes, platform, printer, files);
    prefs.Load();
    prefs.TextSize = 12;
    prefs.AutoPrint = true;
    prefs.KeepWindow = true;
    prefs.AutoConnect = false;
    prefs.AddRecTree = false;
    prefs.AutoRestore = false;
    prefs.TempFileDir = temp.substr(0, temp.size() - 1);
    prefs.GraphDefaults.SampleRateIndex = 6;
    prefs.GraphDefaults.Humidity.Color = 0x00123456;
    prefs.Store();
    prefs.GraphMargins = {1000, 1100, 1200, 1300, true};
    prefs.StorePageMargins(TPrintKind::Graph);

    EXPECT_EQ(Get("printprot", "textsize"), Dword(12));
    EXPECT_EQ(Get("printprot", "autoprint"), Dword(1));
    EXPECT_EQ(Get("printprot", "keepwindow"), Dword(1));
    EXPECT_EQ(Get("environment", "autoconn"), Dword(0));
    EXPECT_EQ(Get("environment", "autorest"), Dword(0));
    EXPECT_EQ(Get("environment", "addrectree"), Dword(0));
    EXPECT_EQ(Get("environment", "tempfiledir"), Sz(temp));
    Bytes block(372);
    std::memcpy(block.data(), &prefs.GraphDefaults, 372);
    EXPECT_EQ(Get("graphs", "settings"), (Stored{REG_BINARY, block}));
    EXPECT_EQ(Get("printgraph\\margins", "left"), Dword(1000));
    EXPECT_EQ(Get("printgraph\\margins", "bottom"), Dword(1300));
    EXPECT_EQ(Get("printgraph\\margins", "inchunit"), Dword(1));
    EXPECT_EQ(Get("environment", "quormode"), Stored{});

    TPreferences next(registry, boxes, platform, printer, files);
    next.Load();
    EXPECT_EQ(next.TextSize, 12);
    EXPECT_TRUE(next.AutoPrint);
    EXPECT_FALSE(next.AutoRestore);
    EXPECT_EQ(next.TempFileDir, temp);
    EXPECT_EQ(std::memcmp(&next.GraphDefaults, block.data(), 372), 0);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(PreferencesWinTest, FoldersOfThePlatform) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string program = platform.ProgramDir();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '\\');
    EXPECT_EQ(std::string(self).rfind(program, 0), 0u);
    EXPECT_EQ(std::string(self).find('\\', program.size()), std::string::npos);
    EXPECT_FALSE(platform.DirectoryExists(self)); // a file

    const std::string temp = platform.SystemTempDir();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(platform.DirectoryExists(temp));

    const std::string dir = temp + "h9_prefs_" + std::to_string(GetCurrentProcessId());
    RemoveDirectoryA(dir.c_str());
    EXPECT_FALSE(platform.DirectoryExists(dir));
    EXPECT_TRUE(platform.CreateDir(dir + "\\"));
    EXPECT_TRUE(platform.DirectoryExists(dir));
    EXPECT_TRUE(platform.DirectoryExists(dir + "\\"));
    EXPECT_FALSE(platform.CreateDir(dir + "\\a\\b")); // one level only
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));
}

TEST_F(PreferencesWinTest, MissingTempFolderBecomesTheProgramFoldersTemp) {
    TFakePrinter printer;
    TMemSetupFiles files;
    TPreferences prefs(registry, boxes, platform, printer, files);
    std::string dir = "Z:\\h9 no such folder\\";
    prefs.CheckTempDir(dir, true);
    EXPECT_EQ(dir, programTemp);
    EXPECT_TRUE(platform.DirectoryExists(programTemp));
    EXPECT_EQ(Messages(boxes),
              Texts{"Error: Temporary directory not exist!\r\nTemporary directory set to: " +
                    programTemp});
}

// The user's measurement system, switched for the test and put back.
TEST_F(PreferencesWinTest, MarginsFollowTheMeasurementSystemOfTheUserLocale) {
    // The user's own entry, or none (the locale's default).
    const char* international = "Control Panel\\International";
    char saved[8] = {};
    DWORD size = sizeof saved;
    const bool hadEntry = RegGetValueA(HKEY_CURRENT_USER, international, "iMeasure", RRF_RT_REG_SZ,
                                       nullptr, saved, &size) == ERROR_SUCCESS;
    const TScopeExit restore([&] {
        if (hadEntry)
            SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, international, "iMeasure");
    });
    TFakePrinter printer;
    TMemSetupFiles files;
    TPreferences prefs(registry, boxes, platform, printer, files);
    struct Case {
        const char* measure;
        TPageMargins shown;
    } cases[] = {
        {"1", {984, 984, 984, 984, true}},
        {"0", {2500, 2500, 2500, 2500, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.measure);
        ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, c.measure));
        EXPECT_EQ(platform.IsInchLocale(), c.measure[0] == '1');
        EXPECT_EQ(prefs.LoadPageMargins(TPrintKind::Protocol), c.shown);
    }
}

TEST(DeviceModeFits, OnlyWholeDeviceModes) {
    const std::size_t size = sizeof(DEVMODEA);
    struct Case {
        const char* what;
        Bytes block;
        bool fits;
    } cases[] = {
        {"public part only", DeviceMode(0, size), true},
        {"with its private part", DeviceMode(16, size + 16), true},
        {"private part cut", DeviceMode(16, size + 15), false},
        {"public part cut", DeviceMode(0, size - 1), false},
        {"zero sizes", Bytes(size, 0), false},
        {"shorter than the fixed fields", DeviceMode(0, 40), false},
        {"empty", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DeviceModeFits(c.block.data(), c.block.size()), c.fits);
    }
}

// This Wine has no printer: the profile names none.
class NoPrinterTest : public PreferencesWinTest {
protected:
    void SetUp() override {
        PreferencesWinTest::SetUp();
        if (!printer.DefaultDevice().empty())
            GTEST_SKIP() << "a default printer is installed";
    }

    TWinPrinter printer;
    TDiskSetupFiles files;
    std::string file = platform.SystemTempDir() + "h9_PrintGraph.tmp";
};

TEST_F(NoPrinterTest, PrintingIsHiddenAndAutoPrintOffForTheRun) {
    ASSERT_TRUE(RegWriteBool(registry, kRoot + "printprot", "autoprint", true));
    TPreferences prefs(registry, boxes, platform, printer, files);
    prefs.Load();
    EXPECT_FALSE(prefs.PrinterSetup);
    EXPECT_FALSE(prefs.AutoPrint);
    EXPECT_EQ(Get("printprot", "autoprint"), Dword(1));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(NoPrinterTest, NoCurrentPrinterAndNothingToSaveOrLoad) {
    TPrinterConfig config{"x", "y", "z", {1}};
    EXPECT_FALSE(printer.CurrentPrinter(config));
    EXPECT_EQ(config, TPrinterConfig{});
    EXPECT_EQ(printer.FullDeviceModeSize("Office PDF"), 0);

    DeleteFileA(file.c_str());
    TPrinterSetup setup(printer, files, boxes);
    EXPECT_FALSE(setup.SaveSetup(file));
    EXPECT_FALSE(files.Exists(file));
    LoadGraphSetup(printer, files, boxes, file);
    EXPECT_EQ(Messages(boxes), (Texts{"Error: Cannot save printer configuration.",
                                      "Error: There is no default printer currently selected."}));
}

// The profile names a default printer that is not installed, as after its
// removal; the entry is put back afterwards.
class GhostPrinterTest : public NoPrinterTest {
protected:
    void SetUp() override {
        NoPrinterTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(WriteProfileStringA("Windows", "device", kGhost));
    }
    void TearDown() override {
        WriteProfileStringA("Windows", "device", nullptr);
        DeleteFileA(file.c_str());
        NoPrinterTest::TearDown();
    }

    static constexpr char kGhost[] = "Ghost Laser,winspool,LPT1:";
    const TPrinterConfig ghost{"Ghost Laser", "winspool",
                               "LPT1:", DeviceMode(8, sizeof(DEVMODEA) + 8)};
};

TEST_F(GhostPrinterTest, DefaultPrinterOfTheProfileWithoutADeviceMode) {
    EXPECT_EQ(printer.DefaultDevice(), kGhost);
    TPrinterConfig config;
    EXPECT_TRUE(printer.CurrentPrinter(config));
    EXPECT_EQ(config, (TPrinterConfig{"Ghost Laser", "winspool", "LPT1:", {}}));
    EXPECT_EQ(printer.FullDeviceModeSize("Ghost Laser"), 0);

    TPrinterSetup setup(printer, files, boxes);
    EXPECT_FALSE(setup.SaveSetup(file));
    EXPECT_FALSE(files.Exists(file));
    EXPECT_EQ(Messages(boxes), Texts{"Error: Cannot save printer configuration."});
}

TEST_F(GhostPrinterTest, SetupOfAPrinterThatCannotBeUsedFallsBackToTheDefault) {
    ASSERT_TRUE(files.Write(file, EncodePrinterSetup(ghost, sizeof(DEVMODEA) + 8)));
    TPrinterSetup setup(printer, files, boxes);
    EXPECT_FALSE(setup.LoadSetup(file));
    LoadGraphSetup(printer, files, boxes, file);
    EXPECT_EQ(Messages(boxes),
              Texts{"Error: Cannot load Graph-Printer configuration.\rPrinter set to default. "
                    "If exists."});
    TPrinterConfig config;
    printer.CurrentPrinter(config);
    EXPECT_EQ(config, (TPrinterConfig{"Ghost Laser", "winspool", "LPT1:", {}}));
}

// The printer object keeps the selected printer and its block even when no
// device context can be made; orientation is set in that block.
TEST_F(GhostPrinterTest, SelectedDeviceModeTakesTheOrientation) {
    Bytes cut = ghost.DeviceMode;
    cut.pop_back();
    EXPECT_FALSE(printer.SelectPrinter({"Other", "winspool", "LPT2:", cut}));
    TPrinterConfig config;
    printer.CurrentPrinter(config);
    EXPECT_EQ(config.Device, "Ghost Laser"); // a device mode that is not whole is refused

    EXPECT_FALSE(printer.SelectPrinter(ghost));
    printer.CurrentPrinter(config);
    EXPECT_EQ(config, ghost);
    printer.SetOrientation(TOrientation::Landscape);
    printer.CurrentPrinter(config);
    DEVMODEA mode;
    std::memcpy(&mode, config.DeviceMode.data(), sizeof mode);
    EXPECT_EQ(mode.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_NE(mode.dmFields & DM_ORIENTATION, 0u);
    EXPECT_EQ(config.DeviceMode.size(), ghost.DeviceMode.size());
}

} // namespace

#include "app/settings/Preferences_.h"
#include "app/settings/PreferencesValues_.h"

#include "tests/app/support/FakePrinter.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

const std::string kRoot = "\\Software\\Meridane\\TessalyMC\\";
const std::string kProgTemp = "C:\\Prog\\Temp\\";
const std::string kSystemTemp = "C:\\Users\\lab\\AppData\\Local\\Temp\\";

std::string NoBackslash(std::string Dir) {
    if (!Dir.empty() && Dir.back() == '\\')
        Dir.pop_back();
    return Dir;
}

// Folders by name, with or without their trailing backslash, as the platform sees them.
class TFakePlatform : public IPrefPlatform {
public:
    std::string ProgramDir() override { return "C:\\Prog\\"; }
    bool DirectoryExists(const std::string& Dir) override {
        return !Dir.empty() && Dirs.count(NoBackslash(Dir)) != 0;
    }
    bool CreateDir(const std::string& Dir) override {
        Created.push_back(Dir);
        if (CanCreate)
            Dirs.insert(NoBackslash(Dir));
        return CanCreate;
    }
    std::string SystemTempDir() override { return kSystemTemp; }
    bool IsInchLocale() override { return Inch; }

    std::set<std::string> Dirs;
    bool CanCreate = true;
    bool Inch = false;
    Texts Created;
};

TGraphDefaults Factory() {
    TGraphDefaults d{};
    SetFactoryGraphDefaults(d);
    return d;
}

Bytes BytesOf(const TGraphDefaults& D) {
    Bytes b(sizeof D);
    std::memcpy(b.data(), &D, sizeof D);
    return b;
}

TRegValue Dword(int32_t V) {
    return TRegValue::Dword(static_cast<uint32_t>(V));
}

class PreferencesTest : public testing::Test {
protected:
    void WithPrinter() {
        printer.ProfileDevice = "Office PDF,winspool,Ne00:";
        printer.Default = office;
        printer.Current = office;
        printer.Installed = {{"Office PDF", 48}, {"Plotter", 40}};
    }

    Texts Messages() const {
        Texts texts;
        for (const TMsgDlgRequest& r : boxes.Shown)
            texts.push_back(r.Caption + ": " + r.Msg);
        return texts;
    }

    const TPrinterConfig office{"Office PDF", "winspool", "Ne00:", Bytes(48, 0x11)};
    TMemRegistry registry;
    TScriptedBoxes boxes;
    TFakePlatform platform;
    TFakePrinter printer;
    TMemSetupFiles files;
    TPreferences prefs{registry, boxes, platform, printer, files};
};

TEST_F(PreferencesTest, FirstStartWithAnEmptyKeyHoldsAndCreatesTheDefaults) {
    prefs.Load();

    EXPECT_EQ(prefs.TextSize, 10);
    EXPECT_FALSE(prefs.AutoPrint);
    EXPECT_FALSE(prefs.KeepWindow);
    EXPECT_TRUE(prefs.AutoConnect);
    EXPECT_TRUE(prefs.AddRecTree);
    EXPECT_TRUE(prefs.AutoRestore);
    EXPECT_EQ(prefs.TempFileDir, kProgTemp);
    EXPECT_EQ(platform.Created, Texts{kProgTemp});
    EXPECT_EQ(BytesOf(prefs.GraphDefaults), BytesOf(Factory()));
    EXPECT_FALSE(prefs.PrinterSetup); // no default printer here
    EXPECT_TRUE(boxes.Shown.empty());

    const struct {
        std::string key;
        const char* name;
        TRegValue value;
    } stored[] = {
        {kRoot + "printprot", "textsize", Dword(10)},
        {kRoot + "printprot", "autoprint", Dword(0)},
        {kRoot + "printprot", "keepwindow", Dword(0)},
        {kRoot + "environment", "autoconn", Dword(1)},
        {kRoot + "environment", "autorest", Dword(1)},
        {kRoot + "environment", "addrectree", Dword(1)},
        {kRoot + "environment", "tempfiledir", TRegValue::Str(kProgTemp)},
        {kRoot + "graphs", "settings", TRegValue::Bin(BytesOf(Factory()).data(), 372)},
    };
    for (const auto& s : stored) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(registry.Get(s.key, s.name), s.value);
    }
    EXPECT_EQ(registry.Writes, 8);
}

TEST_F(PreferencesTest, FirstStartWithAPrinterWritesTheSetupFilesAndMargins) {
    WithPrinter();
    platform.Inch = true;
    prefs.Load();

    ASSERT_TRUE(prefs.PrinterSetup);
    EXPECT_EQ(printer.Calls, (Texts{"portrait", "landscape"}));
    for (const char* name :
         {"PrintProt.cfg", "PrintProt.tmp", "PrintGraph.cfg", "PrintGraph.tmp"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(files.Files.count(kProgTemp + name), 1u);
        EXPECT_EQ(DecodePrinterSetup(files.Files[kProgTemp + name]), office);
    }
    // 2500 hundredths of a millimetre shown in thousandths of an inch.
    const TPageMargins inch{984, 984, 984, 984, true};
    EXPECT_EQ(prefs.ProtMargins, inch);
    EXPECT_EQ(prefs.GraphMargins, inch);
    for (const std::string& key : {kRoot + "printprot\\margins", kRoot + "printgraph\\margins"}) {
        SCOPED_TRACE(key);
        for (const char* side : {"left", "top", "right", "bottom"})
            EXPECT_EQ(registry.Get(key, side), Dword(2500));
        EXPECT_EQ(registry.Get(key, "inchunit"), Dword(0));
    }
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(PreferencesTest, StoredValuesComeBackAtTheNextStart) {
    WithPrinter();
    platform.Dirs.insert("D:\\work");
    prefs.Load();
    prefs.TextSize = 14;
    prefs.AutoPrint = true;
    prefs.KeepWindow = true;
    prefs.AutoConnect = false;
    prefs.AddRecTree = false;
    prefs.AutoRestore = false;
    prefs.TempFileDir = "D:\\work";
    prefs.GraphDefaults.SampleRateIndex = 5;
    prefs.GraphDefaults.HumChoice = 1;
    prefs.GraphDefaults.DValue.Unused[0] = 0x77;
    prefs.Store();
    EXPECT_EQ(prefs.TempFileDir, "D:\\work\\");
    EXPECT_EQ(registry.Get(kRoot + "environment", "tempfiledir"), TRegValue::Str("D:\\work\\"));

    TPreferences next(registry, boxes, platform, printer, files);
    next.Load();
    EXPECT_EQ(next.TextSize, 14);
    EXPECT_TRUE(next.AutoPrint);
    EXPECT_TRUE(next.KeepWindow);
    EXPECT_FALSE(next.AutoConnect);
    EXPECT_FALSE(next.AddRecTree);
    EXPECT_FALSE(next.AutoRestore);
    EXPECT_EQ(next.TempFileDir, "D:\\work\\");
    EXPECT_EQ(BytesOf(next.GraphDefaults), BytesOf(prefs.GraphDefaults));
    EXPECT_TRUE(boxes.Shown.empty());
}

// A text size out of range is held as stored (its users clamp it); graph
// defaults that would index past the rate table or leave no span are not.
TEST_F(PreferencesTest, OutOfRangeValuesAreHeldUnlessUnsafe) {
    registry.Put(kRoot + "printprot", "textsize", Dword(40));
    TGraphDefaults stored = Factory();
    stored.SampleRateIndex = 9;
    stored.MaxTime = -5;
    stored.Temperature.Range = 0;
    registry.Put(kRoot + "graphs", "settings", TRegValue::Bin(&stored, 372));
    const std::string margins = kRoot + "printprot\\margins";
    registry.Put(margins, "left", Dword(2000000));
    prefs.Load();
    EXPECT_EQ(prefs.TextSize, 40);
    EXPECT_EQ(BytesOf(prefs.GraphDefaults), BytesOf(Factory()));
    // A margin far beyond any page is shown and used clamped, and stays stored.
    EXPECT_EQ(prefs.LoadPageMargins(TPrintKind::Protocol).Left, 100000);
    EXPECT_EQ(registry.Get(margins, "left"), Dword(2000000));
}

TEST_F(PreferencesTest, CheckTempDir) {
    struct Case {
        const char* what;
        std::string dir;
        bool programTempExists;
        bool canCreate;
        bool showMessage;
        std::string result;
        Texts created;
        Texts messages;
    } cases[] = {
        {"existing, backslash added", "D:\\data", false, true, true, "D:\\data\\", {}, {}},
        {"existing with backslash", "D:\\data\\", false, true, true, "D:\\data\\", {}, {}},
        {"missing, silently", "E:\\gone\\", true, true, false, kProgTemp, {}, {}},
        {"missing, with the message",
         "E:\\gone\\",
         true,
         true,
         true,
         kProgTemp,
         {},
         {"Error: Temporary directory not exist!\r\nTemporary directory set to: " + kProgTemp}},
        {"empty, program folder's Temp created",
         "",
         false,
         true,
         false,
         kProgTemp,
         {kProgTemp},
         {}},
        // The program folder may be read-only: the platform's folder is used, and said so
        // even at start.
        {"program Temp cannot be created",
         "E:\\gone\\",
         false,
         false,
         false,
         kSystemTemp,
         {kProgTemp},
         {"Error: Temporary directory " + kProgTemp +
          " cannot be created!\r\nTemporary directory set to: " + kSystemTemp}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform.Dirs = {"D:\\data"};
        if (c.programTempExists)
            platform.Dirs.insert(NoBackslash(kProgTemp));
        platform.CanCreate = c.canCreate;
        platform.Created.clear();
        boxes.Shown.clear();
        std::string dir = c.dir;
        prefs.CheckTempDir(dir, c.showMessage);
        EXPECT_EQ(dir, c.result);
        EXPECT_EQ(platform.Created, c.created);
        EXPECT_EQ(Messages(), c.messages);
    }
}

TEST_F(PreferencesTest, DeletedTempFolderIsReplacedSilentlyAtStartAndStoredWithTheMessage) {
    registry.Put(kRoot + "environment", "tempfiledir", TRegValue::Str("E:\\gone\\"));
    platform.Dirs.insert(NoBackslash(kProgTemp));
    prefs.Load();
    EXPECT_EQ(prefs.TempFileDir, kProgTemp);
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_EQ(registry.Get(kRoot + "environment", "tempfiledir"), TRegValue::Str("E:\\gone\\"));

    // The dialog's pending folder, deleted too.
    prefs.TempFileDir = "E:\\gone\\";
    prefs.Store();
    EXPECT_EQ(
        Messages(),
        Texts{"Error: Temporary directory not exist!\r\nTemporary directory set to: " + kProgTemp});
    EXPECT_EQ(registry.Get(kRoot + "environment", "tempfiledir"), TRegValue::Str(kProgTemp));
}

TEST_F(PreferencesTest, WithoutADefaultPrinterAutoPrintIsOffForTheRunOnly) {
    registry.Put(kRoot + "printprot", "autoprint", Dword(1));
    prefs.Load();
    EXPECT_FALSE(prefs.PrinterSetup);
    EXPECT_FALSE(prefs.AutoPrint);
    EXPECT_TRUE(files.Files.empty());
    EXPECT_TRUE(printer.Calls.empty());

    // Accepting the preferences (printing hidden) keeps the stored choice.
    prefs.Store();
    EXPECT_EQ(registry.Get(kRoot + "printprot", "autoprint"), Dword(1));
}

TEST_F(PreferencesTest, StandardPrinterSetupsAtStart) {
    const TPrinterConfig plotter{"Plotter", "winspool", "LPT1:", Bytes(40, 0x22)};
    Bytes old(104, 0);
    std::memcpy(old.data(), "Plotter", 7);
    old[100] = 2;
    old.push_back(1);
    old.push_back(2);
    Bytes oldModeSaved(40, 0);
    oldModeSaved[0] = 1;
    oldModeSaved[1] = 2;
    struct Case {
        const char* what;
        std::optional<Bytes> protCfg;
        Texts calls;
        Texts messages;
        TPrinterConfig saved; // what PrintProt.cfg and PrintProt.tmp hold afterwards
    } cases[] = {
        {"no file: portrait", std::nullopt, {"portrait", "landscape"}, {}, office},
        {"standard printer",
         EncodePrinterSetup(plotter, 40),
         {"select Plotter", "landscape"},
         {},
         plotter},
        {"old layout",
         old,
         {"select Plotter", "landscape"},
         {},
         // Saved again with the device mode size the driver gives.
         {"Plotter", "", "", oldModeSaved}},
        {"unreadable file",
         Bytes(10, 0),
         {"default", "landscape"},
         {"Error: Cannot load Protocol-Printer configuration.\rPrinter set to default. If "
          "exists."},
         office},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WithPrinter();
        printer.Calls.clear();
        boxes.Shown.clear();
        files.Files.clear();
        platform.Dirs = {NoBackslash(kProgTemp)};
        if (c.protCfg)
            files.Files[kProgTemp + "PrintProt.cfg"] = *c.protCfg;
        TPreferences p(registry, boxes, platform, printer, files);
        p.Load();
        EXPECT_EQ(printer.Calls, c.calls);
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(DecodePrinterSetup(files.Files[kProgTemp + "PrintProt.cfg"]), c.saved);
        EXPECT_EQ(DecodePrinterSetup(files.Files[kProgTemp + "PrintProt.tmp"]), c.saved);
    }
}

TEST_F(PreferencesTest, PageMarginsInTheUnitOfTheLocale) {
    struct Case {
        const char* what;
        int32_t stored;
        bool storedInch;
        bool inchLocale;
        TPageMargins shown;
    } cases[] = {
        {"metric stored, metric locale", 2500, false, false, {2500, 2500, 2500, 2500, false}},
        {"metric stored, inch locale", 2500, false, true, {984, 984, 984, 984, true}},
        {"inch stored, metric locale", 1000, true, false, {2540, 2540, 2540, 2540, false}},
        {"inch stored, inch locale", 1000, true, true, {1000, 1000, 1000, 1000, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string key = kRoot + "printgraph\\margins";
        for (const char* side : {"left", "top", "right", "bottom"})
            registry.Put(key, side, Dword(c.stored));
        registry.Put(key, "inchunit", Dword(c.storedInch));
        platform.Inch = c.inchLocale;
        EXPECT_EQ(prefs.LoadPageMargins(TPrintKind::Graph), c.shown);
    }
}

TEST_F(PreferencesTest, AcceptedMarginsAreStoredWithTheirUnit) {
    platform.Inch = true;
    prefs.Margins(TPrintKind::Protocol) = prefs.LoadPageMargins(TPrintKind::Protocol);
    prefs.StorePageMargins(TPrintKind::Protocol);
    const std::string key = kRoot + "printprot\\margins";
    for (const char* side : {"left", "top", "right", "bottom"})
        EXPECT_EQ(registry.Get(key, side), Dword(984));
    EXPECT_EQ(registry.Get(key, "inchunit"), Dword(1));

    prefs.GraphMargins = {100, 200, 300, 400, false};
    prefs.StorePageMargins(TPrintKind::Graph);
    EXPECT_EQ(prefs.LoadPageMargins(TPrintKind::Graph), (TPageMargins{39, 79, 118, 157, true}));
}

} // namespace

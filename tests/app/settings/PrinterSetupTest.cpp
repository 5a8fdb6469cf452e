#include "app/settings/PrinterSetup_.h"

#include "tests/app/support/FakePrinter.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Calls = std::vector<std::string>;

Bytes Seq(std::size_t N, uint8_t First) {
    Bytes b(N);
    for (std::size_t i = 0; i < N; ++i)
        b[i] = static_cast<uint8_t>(First + i);
    return b;
}

const std::string kLoadGraphMsg =
    "Cannot load Graph-Printer configuration.\rPrinter set to default. If exists.";
const std::string kLoadProtMsg =
    "Cannot load Protocol-Printer configuration.\rPrinter set to default. If exists.";

class PrinterSetupTest : public testing::Test {
protected:
    void SetUp() override {
        printer.ProfileDevice = "Office PDF,winspool,Ne00:";
        printer.Default = office;
        printer.Current = office;
        printer.Installed = {{"Office PDF", 48}, {"Plotter", 40}};
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const TMsgDlgRequest& r : boxes.Shown) {
            EXPECT_EQ(r.Caption, "Error");
            texts.push_back(r.Msg);
        }
        return texts;
    }

    const TPrinterConfig office{"Office PDF", "winspool", "Ne00:", Seq(48, 1)};
    const TPrinterConfig plotter{"Plotter", "winspool", "LPT1:", Seq(40, 100)};
    TFakePrinter printer;
    TMemSetupFiles files;
    TScriptedBoxes boxes;
    TPrinterSetup setup{printer, files, boxes};
};

TEST_F(PrinterSetupTest, SavedFileHoldsTheCurrentPrinterWithTheDriversDeviceModeSize) {
    printer.Current = plotter;
    printer.Installed["Plotter"] = 64; // the driver's full size is larger than the held block
    ASSERT_TRUE(setup.SaveSetup("T\\PrintGraph.cfg"));
    const Bytes& file = files.Files.at("T\\PrintGraph.cfg");
    EXPECT_EQ(file.size(), 776u + 64u);
    const auto back = DecodePrinterSetup(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Device, "Plotter");
    EXPECT_EQ(back->Port, "LPT1:");
    Bytes mode = plotter.DeviceMode;
    mode.resize(64, 0);
    EXPECT_EQ(back->DeviceMode, mode);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(PrinterSetupTest, SaveAndLoadRestoreThePrinter) {
    printer.Current = plotter;
    ASSERT_TRUE(setup.SaveSetup("T\\PrintProt.tmp"));
    printer.Current = office;
    EXPECT_TRUE(setup.LoadSetup("T\\PrintProt.tmp"));
    EXPECT_EQ(printer.Current, plotter);
}

TEST_F(PrinterSetupTest, SaveFailuresAreReported) {
    struct Case {
        const char* what;
        std::string current;
        bool failWrites;
    } cases[] = {
        {"printer cannot be opened", "Gone", false},
        {"no current printer", "", false},
        {"file cannot be written", "Office PDF", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.Shown.clear();
        files.Files.clear();
        printer.Current = office;
        printer.Current.Device = c.current;
        files.FailWrites = c.failWrites;
        EXPECT_FALSE(setup.SaveSetup("T\\PrintProt.cfg"));
        EXPECT_EQ(Messages(), (std::vector<std::string>{"Cannot save printer configuration."}));
        EXPECT_TRUE(files.Files.empty());
    }
}

TEST_F(PrinterSetupTest, LoadSetupSelectsThePrinterOfAWholeFile) {
    const Bytes good = EncodePrinterSetup(plotter, 40);
    Bytes cut = good;
    cut.pop_back();
    const Bytes gone = EncodePrinterSetup({"Gone", "winspool", "X:", Seq(40, 1)}, 40);
    struct Case {
        const char* what;
        std::optional<Bytes> file;
        bool unreadable;
        bool ok;
        Calls calls;
    } cases[] = {
        {"whole file", good, false, true, {"select Plotter"}},
        {"missing file", std::nullopt, false, false, {}},
        {"unreadable file", good, true, false, {}},
        {"device mode cut short", cut, false, false, {}},
        {"printer no longer installed", gone, false, false, {"select Gone"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        printer.Calls.clear();
        files.Files.clear();
        files.Unreadable.clear();
        if (c.file)
            files.Files["T\\PrintGraph.tmp"] = *c.file;
        if (c.unreadable)
            files.Unreadable.insert("T\\PrintGraph.tmp");
        EXPECT_EQ(setup.LoadSetup("T\\PrintGraph.tmp"), c.ok);
        EXPECT_EQ(printer.Calls, c.calls);
        EXPECT_TRUE(boxes.Shown.empty());
    }
}

TEST_F(PrinterSetupTest, OldLayoutIsReadOnlyByLoadSetupOld) {
    Bytes old(104, 0);
    old[0] = 'P';
    old[33] = 'D';
    old[66] = 'X';
    old[100] = 4;
    const Bytes mode = {9, 8, 7, 6};
    old.insert(old.end(), mode.begin(), mode.end());
    files.Files["T\\PrintProt.cfg"] = old;
    printer.Installed["P"] = 4;

    EXPECT_FALSE(setup.LoadSetup("T\\PrintProt.cfg"));
    EXPECT_TRUE(printer.Calls.empty());
    EXPECT_TRUE(setup.LoadSetupOld("T\\PrintProt.cfg"));
    EXPECT_EQ(printer.Current, (TPrinterConfig{"P", "D", "X", mode}));

    // A missing file is nothing to load.
    printer.Calls.clear();
    EXPECT_TRUE(setup.LoadSetupOld("T\\PrintGraph.cfg"));
    EXPECT_TRUE(printer.Calls.empty());
}

// Free functions: they run without a setup object, which exists only with a default printer.
TEST_F(PrinterSetupTest, GraphAndProtocolSetupsReportAndFallBackToTheDefault) {
    const Bytes good = EncodePrinterSetup(plotter, 40);
    const Bytes gone = EncodePrinterSetup({"Gone", "winspool", "X:", Seq(40, 1)}, 40);
    struct Case {
        const char* what;
        bool graph;
        std::string profile;
        std::optional<Bytes> file;
        std::vector<std::string> messages;
        Calls calls;
    } cases[] = {
        {"graph setup loaded", true, "Office PDF,winspool,Ne00:", good, {}, {"select Plotter"}},
        {"graph printer gone",
         true,
         "Office PDF,winspool,Ne00:",
         gone,
         {kLoadGraphMsg},
         {"select Gone", "default"}},
        {"protocol file missing",
         false,
         "Office PDF,winspool,Ne00:",
         std::nullopt,
         {kLoadProtMsg},
         {"default"}},
        {"no default printer",
         false,
         "",
         good,
         {"There is no default printer currently selected."},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.Shown.clear();
        printer.Calls.clear();
        printer.ProfileDevice = c.profile;
        files.Files.clear();
        if (c.file)
            files.Files["T\\Print.tmp"] = *c.file;
        if (c.graph)
            LoadGraphSetup(printer, files, boxes, "T\\Print.tmp");
        else
            LoadProtSetup(printer, files, boxes, "T\\Print.tmp");
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(printer.Calls, c.calls);
    }
}

} // namespace

#include "app/settings/PrinterSetupCodec_.h"
#include "app/settings/PrinterSetupFiles_.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Seq(std::size_t N, uint8_t First) {
    Bytes b(N);
    for (std::size_t i = 0; i < N; ++i)
        b[i] = static_cast<uint8_t>(First + i);
    return b;
}

void Put(Bytes& B, std::size_t At, const std::string& Text) {
    std::memcpy(B.data() + At, Text.data(), Text.size());
}

void PutInt(Bytes& B, std::size_t At, int32_t V) {
    for (int i = 0; i < 4; ++i)
        B[At + static_cast<std::size_t>(i)] =
            static_cast<uint8_t>(static_cast<uint32_t>(V) >> (8 * i));
}

// A file in the current layout, built by offsets.
Bytes CurrentFile(const std::string& Device, const std::string& Driver, const std::string& Port,
                  int32_t Size, const Bytes& Mode) {
    Bytes b(776, 0);
    Put(b, 0, Device);
    Put(b, 257, Driver);
    Put(b, 514, Port);
    PutInt(b, 772, Size);
    b.insert(b.end(), Mode.begin(), Mode.end());
    return b;
}

Bytes OldFile(const std::string& Device, const std::string& Driver, const std::string& Port,
              int32_t Size, const Bytes& Mode) {
    Bytes b(104, 0);
    Put(b, 0, Device);
    Put(b, 33, Driver);
    Put(b, 66, Port);
    PutInt(b, 100, Size);
    b.insert(b.end(), Mode.begin(), Mode.end());
    return b;
}

TEST(PrinterSetupFile, GoldenBytesOfTheCurrentLayout) {
    const TPrinterConfig config{"Office PDF", "winspool", "Ne00:", Seq(6, 1)};
    const Bytes file = EncodePrinterSetup(config, 6);
    ASSERT_EQ(file.size(), 776u + 6u);
    EXPECT_EQ(file, CurrentFile("Office PDF", "winspool", "Ne00:", 6, Seq(6, 1)));
    EXPECT_EQ(Bytes(file.begin() + 772, file.begin() + 776), (Bytes{6, 0, 0, 0}));
}

TEST(PrinterSetupFile, RoundTrip) {
    const TPrinterConfig cases[] = {
        {"Office PDF", "winspool", "Ne00:", Seq(220, 3)},
        {"", "", "", {}},
        {std::string(256, 'd'), std::string(256, 'r'), std::string(256, 'p'), Seq(1, 9)},
    };
    for (const TPrinterConfig& c : cases) {
        SCOPED_TRACE(c.Device.substr(0, 10));
        const auto back =
            DecodePrinterSetup(EncodePrinterSetup(c, static_cast<int32_t>(c.DeviceMode.size())));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, c);
    }
}

TEST(PrinterSetupFile, NamesAreCutToKeepTheirTerminator) {
    const TPrinterConfig config{std::string(300, 'd'), "drv", "port", {}};
    const Bytes file = EncodePrinterSetup(config, 0);
    EXPECT_EQ(file[255], 'd');
    EXPECT_EQ(file[256], 0);
    EXPECT_EQ(Bytes(file.begin() + 257, file.begin() + 261), (Bytes{'d', 'r', 'v', 0}));
    const auto back = DecodePrinterSetup(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Device, std::string(256, 'd'));
}

// The size the driver gives decides the length of the file; the printer
// object's block may be shorter (never read beyond it: the rest is zeros) or
// longer (cut).
TEST(PrinterSetupFile, SavedDeviceModeHasTheDriversSize) {
    struct Case {
        const char* what;
        std::size_t block;
        int32_t size;
        Bytes stored;
    } cases[] = {
        {"block as large", 8, 8, Seq(8, 1)},
        {"block smaller", 3, 8, {1, 2, 3, 0, 0, 0, 0, 0}},
        {"no block", 0, 4, {0, 0, 0, 0}},
        {"block larger", 8, 5, Seq(5, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Exactly the block's bytes on the heap, so a read beyond it is seen by the sanitizers.
        const TPrinterConfig config{"P", "D", "X", Seq(c.block, 1)};
        const Bytes file = EncodePrinterSetup(config, c.size);
        EXPECT_EQ(file, CurrentFile("P", "D", "X", c.size, c.stored));
    }
}

// The size in the header must fit in the file.
TEST(PrinterSetupFile, DeviceModeSizeIsCheckedAgainstTheFile) {
    struct Case {
        const char* what;
        Bytes file;
        bool ok;
        std::size_t mode;
    } cases[] = {
        {"exact", CurrentFile("P", "D", "X", 10, Seq(10, 1)), true, 10},
        {"empty device mode", CurrentFile("P", "D", "X", 0, {}), true, 0},
        {"trailing bytes ignored", CurrentFile("P", "D", "X", 4, Seq(10, 1)), true, 4},
        {"one byte short", CurrentFile("P", "D", "X", 11, Seq(10, 1)), false, 0},
        {"huge size", CurrentFile("P", "D", "X", 0x7FFFFFFF, Seq(10, 1)), false, 0},
        {"negative size", CurrentFile("P", "D", "X", -1, Seq(10, 1)), false, 0},
        {"header cut", Bytes(775, 0), false, 0},
        {"empty file", {}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto config = DecodePrinterSetup(c.file);
        ASSERT_EQ(config.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(config->Device, "P");
            EXPECT_EQ(config->DeviceMode, Seq(c.mode, 1));
        }
    }
}

TEST(PrinterSetupFile, OldLayoutWithShortNames) {
    const Bytes file = OldFile("Laser 4", "winspool", "LPT1:", 5, Seq(5, 7));
    const auto config = DecodePrinterSetupOld(file);
    ASSERT_TRUE(config);
    EXPECT_EQ(*config, (TPrinterConfig{"Laser 4", "winspool", "LPT1:", Seq(5, 7)}));
    // Too short for the current layout.
    EXPECT_FALSE(DecodePrinterSetup(file));

    // A name filling its field without a terminator ends with the field.
    Bytes full = OldFile(std::string(33, 'n'), "d", "p", 0, {});
    EXPECT_EQ(DecodePrinterSetupOld(full)->Device, std::string(33, 'n'));
    EXPECT_FALSE(DecodePrinterSetupOld(OldFile("P", "D", "X", 6, Seq(5, 7))));
}

class DiskSetupFiles : public testing::Test {
protected:
    TDiskSetupFiles files;
    std::string name = testing::TempDir() + "h9_setup_" +
                       testing::UnitTest::GetInstance()->current_test_info()->name() + ".cfg";
    void TearDown() override { std::remove(name.c_str()); }
};

TEST_F(DiskSetupFiles, WrittenFilesReadBackWhole) {
    EXPECT_FALSE(files.Exists(name));
    EXPECT_FALSE(files.Read(name));
    const Bytes file = CurrentFile("P", "D", "X", 9000, Seq(9000, 1));
    ASSERT_TRUE(files.Write(name, file));
    EXPECT_TRUE(files.Exists(name));
    EXPECT_EQ(files.Read(name), file);
    // Replaced, not appended to.
    ASSERT_TRUE(files.Write(name, Seq(3, 1)));
    EXPECT_EQ(files.Read(name), Seq(3, 1));
}

TEST_F(DiskSetupFiles, WriteIntoAMissingFolderFails) {
    const std::string missing = testing::TempDir() + "h9_no_such_folder/PrintProt.cfg";
    EXPECT_FALSE(files.Write(missing, Seq(3, 1)));
    EXPECT_FALSE(files.Exists(missing));
}

} // namespace

// The Win32 backends under Wine: registry values as the platform stores them,
// read back through the plain registry API; names; file versions.
#include "app/base/About_win.h"
#include "app/base/Registry_win.h"
#include "app/base/Tools_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kKey = "\\Software\\Meridane\\TessalyMC\\apptest";
const char kPath[] = "Software\\Meridane\\TessalyMC\\apptest";

struct Stored {
    DWORD type = REG_NONE;
    Bytes data;
    bool operator==(const Stored&) const = default;
};

void PrintTo(const Stored& S, std::ostream* Os) {
    *Os << "type " << S.type << ", " << S.data.size() << " bytes";
}

Stored Dword(uint32_t V) {
    return {REG_DWORD,
            {static_cast<uint8_t>(V), static_cast<uint8_t>(V >> 8), static_cast<uint8_t>(V >> 16),
             static_cast<uint8_t>(V >> 24)}};
}

Stored Sz(const std::string& S) {
    Bytes b(S.begin(), S.end());
    b.push_back(0);
    return {REG_SZ, b};
}

Bytes Seq(std::size_t N, uint8_t First) {
    Bytes b(N);
    for (std::size_t i = 0; i < N; ++i)
        b[i] = static_cast<uint8_t>(First + i);
    return b;
}

class WinRegistryTest : public testing::Test {
protected:
    TWinRegistry registry;

    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kPath); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kPath); }

    static void Put(const char* Name, const Stored& S) {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kPath, Name, S.type, S.data.data(),
                                  static_cast<DWORD>(S.data.size())),
                  ERROR_SUCCESS);
    }

    static Stored Get(const char* Name, const char* Path = kPath) {
        Stored s;
        DWORD size = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, Path, Name, RRF_RT_ANY | RRF_NOEXPAND, &s.type, nullptr,
                         &size) != ERROR_SUCCESS)
            return {};
        s.data.resize(size);
        RegGetValueA(HKEY_CURRENT_USER, Path, Name, RRF_RT_ANY | RRF_NOEXPAND, &s.type,
                     s.data.data(), &size);
        s.data.resize(size);
        return s;
    }
};

TEST_F(WinRegistryTest, ReadersWriteTheirDefaultsBackWithThePlatformsTypes) {
    EXPECT_EQ(RegReadInt(registry, kKey, "textsize", 10), 10);
    EXPECT_EQ(Get("textsize"), Dword(10));
    EXPECT_TRUE(RegReadBool(registry, kKey, "autoconn", true));
    EXPECT_EQ(Get("autoconn"), Dword(1));
    std::string dir;
    RegReadStr(registry, kKey, "tempfiledir", "C:\\Temp\\", dir);
    EXPECT_EQ(dir, "C:\\Temp\\");
    EXPECT_EQ(Get("tempfiledir"), Sz("C:\\Temp\\"));
    Bytes block = Seq(32, 0xA0);
    EXPECT_FALSE(RegReadBin(registry, kKey, "openedcom", block.data(), 32));
    EXPECT_EQ(Get("openedcom"), (Stored{REG_BINARY, Seq(32, 0xA0)}));
}

TEST_F(WinRegistryTest, StoredValuesOfEveryTypeAsTheReadersTakeThem) {
    Put("int", Dword(0xFFFFFFFE));
    Put("intAsText", Sz("12"));
    Put("emptyText", Sz(""));
    Put("expandText", {REG_EXPAND_SZ, Sz("%TEMP%\\x").data});
    Put("short", {REG_BINARY, Seq(10, 1)});
    Put("long", {REG_BINARY, Seq(40, 1)});
    Put("multi", {REG_MULTI_SZ, {'a', 0, 'b', 0, 0}});

    EXPECT_EQ(RegReadInt(registry, kKey, "int", 10), -2);
    EXPECT_EQ(RegReadInt(registry, kKey, "intAsText", 10), 10);
    EXPECT_EQ(Get("intAsText"), Dword(10));

    std::string text;
    RegReadStr(registry, kKey, "emptyText", "def", text);
    EXPECT_EQ(text, "def");
    EXPECT_EQ(Get("emptyText"), Sz("def"));
    RegReadStr(registry, kKey, "expandText", "def", text);
    EXPECT_EQ(text, "%TEMP%\\x");

    Bytes block = Seq(32, 0xA0);
    EXPECT_TRUE(RegReadBin(registry, kKey, "short", block.data(), 32));
    Bytes expected = Seq(32, 0xA0);
    std::memcpy(expected.data(), Seq(10, 1).data(), 10);
    EXPECT_EQ(block, expected);
    EXPECT_EQ(Get("short"), (Stored{REG_BINARY, Seq(10, 1)}));

    block = Seq(32, 0xA0);
    EXPECT_FALSE(RegReadBin(registry, kKey, "long", block.data(), 32));
    EXPECT_EQ(Get("long"), (Stored{REG_BINARY, Seq(32, 0xA0)}));

    EXPECT_TRUE(RegReadBin(registry, kKey, "multi", block.data(), 32));
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 5), (Bytes{'a', 0, 'b', 0, 0}));
}

TEST_F(WinRegistryTest, WritersCreateMissingKeysAndKeepAnsiTexts) {
    const std::string margins = kKey + "\\printprot\\margins";
    EXPECT_TRUE(RegWriteInt(registry, margins, "left", 2500));
    EXPECT_EQ(Get("left", "Software\\Meridane\\TessalyMC\\apptest\\printprot\\margins"),
              Dword(2500));
    EXPECT_TRUE(RegWriteStr(registry, kKey, "user", "J\xFCrgen"));
    std::string user;
    RegReadStr(registry, kKey, "user", "def", user);
    EXPECT_EQ(user, "J\xFCrgen");
    EXPECT_TRUE(RegWriteBool(registry, kKey, "flag", true));
    EXPECT_EQ(Get("flag"), Dword(1));
    const Bytes block = Seq(3, 7);
    EXPECT_TRUE(RegWriteBin(registry, kKey, "block", block.data(), 3));
    EXPECT_EQ(Get("block"), (Stored{REG_BINARY, block}));
}

TEST(PlatformNames, UserNameEndsWithTheTerminatorComputerNameDoesNot) {
    char user[256];
    DWORD n = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &n));
    EXPECT_EQ(GetUserNameStr(), std::string(user, n));
    EXPECT_EQ(GetUserNameStr().back(), '\0');

    char computer[MAX_COMPUTERNAME_LENGTH + 1];
    n = sizeof computer;
    ASSERT_TRUE(GetComputerNameA(computer, &n));
    EXPECT_EQ(GetComputerNameStr(), std::string(computer, n));
}

TEST(FileVersion, ReadsTheStringTableOrGivesAnEmptyText) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    struct Case {
        std::string file;
        const char* version;
    } cases[] = {
        {"app_version_probe.dll", "3.4.5.6"}, // found beside the program
        {"NoSuchLibrary.dll", ""},
        {self, ""}, // a file without a version resource
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(GetFileVersionText(c.file), c.version);
    }
}

} // namespace

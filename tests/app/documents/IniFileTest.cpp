// The profile text of the tree file: reading as the platform's profile
// functions read, writing one line per key.
#include "app/documents/IniFile_.h"

#include <gtest/gtest.h>

namespace {

TEST(IniFile, ReadsAsTheProfileFunctionsRead) {
    const TIniFile ini = TIniFile::Parse("orphan=1\r\n"
                                         "[Coms]\r\n"
                                         "Count=2\n"
                                         "  0 =  7  \r\n"
                                         "; a comment=x\r\n"
                                         "no equals sign\r\n"
                                         "0=8\r\n"
                                         "[coms]\r\n"
                                         "1=9\r\n"
                                         "[0012345]\r"
                                         "Name=Oven = hot\r\n"
                                         "[Empty]");
    EXPECT_EQ(ini.ReadInteger("COMS", "count", -1), 2);
    EXPECT_EQ(ini.ReadInteger("Coms", "0", -1), 7) << "blanks dropped, the first of two keys";
    EXPECT_EQ(ini.ReadInteger("Coms", "1", -1), -1) << "a second section of the same name";
    EXPECT_EQ(ini.ReadString("Coms", "; a comment", "-"), "-");
    EXPECT_EQ(ini.ReadString("0012345", "Name", ""), "Oven = hot");
    EXPECT_EQ(ini.ReadString("", "orphan", "-"), "-");
    EXPECT_EQ(ini.KeyCount("Coms"), 2);
    EXPECT_EQ(ini.KeyCount("Empty"), 0);
    EXPECT_EQ(ini.KeyCount("Missing"), 0);
}

TEST(IniFile, IntegersAreDecimal32BitNumbersOrTheDefault) {
    const struct {
        const char* Value;
        int32_t Expected;
    } cases[] = {
        {"0", 0},
        {"255", 255},
        {"-1", -1},
        {"+12", 12},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", 99},
        {"12abc", 99},
        {"0x10", 99},
        {"", 99},
        {"+-3", 99},
        {"1 2", 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value);
        TIniFile ini;
        ini.WriteString("S", "K", c.Value);
        EXPECT_EQ(ini.ReadInteger("S", "K", 99), c.Expected);
    }
}

TEST(IniFile, WritesSectionsInTheOrderFirstWrittenAndOneLinePerKey) {
    TIniFile ini;
    ini.WriteInteger("Coms", "0", 2);
    ini.WriteString("Files", "0", "C:\\data\\a.zqr");
    ini.WriteInteger("coms", "count", 1);
    ini.WriteString("Coms", "0", "3");
    ini.WriteString("0012345", "0", "line\r\nbreak\rin\nit");
    EXPECT_EQ(ini.Text(), "[Coms]\r\n0=3\r\ncount=1\r\n"
                          "[Files]\r\n0=C:\\data\\a.zqr\r\n"
                          "[0012345]\r\n0=line  break in it\r\n");
    const TIniFile back = TIniFile::Parse(ini.Text());
    EXPECT_EQ(back.Text(), ini.Text());
}

} // namespace

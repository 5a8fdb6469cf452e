#include "app/base/About_.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

TEST(AboutTexts, ProgramTextFramesTheLinesWithTitleAndVersion) {
    const std::string text = AboutProgramText();
    EXPECT_EQ(text.rfind("Tessaly MC\r\n\r\nData Recording Program\r\nwith graphical analysis\r\n"
                         "\r\n",
                         0),
              0u);
    EXPECT_EQ(text.substr(text.size() - 8), "\r\nV2.31 ");
}

TEST(AboutTexts, OneVersionLinePerLibraryEmptyWithoutAResource) {
    const std::map<std::string, std::string> versions = {{"QuorxComDll.dll", "1.0.0.0"}};
    const auto versionOf = [&](const std::string& N) {
        const auto v = versions.find(N);
        return v == versions.end() ? std::string() : v->second;
    };
    EXPECT_EQ(AboutVersionText({"QuorxComDll.dll", "Proflink.dll"}, versionOf),
              "QuorxComDll.dll: 1.0.0.0\r\nProflink.dll: ");
    EXPECT_EQ(AboutVersionText({}, versionOf), "");
}

TEST(AboutTexts, RxQueueLine) {
    EXPECT_EQ(RxQueueText(0), "RxQueue: 0");
    EXPECT_EQ(RxQueueText(128790), "RxQueue: 128790");
}

} // namespace

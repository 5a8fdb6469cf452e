// The portable half of the single instance: the packed command line that a
// second start hands over, and the wait for the running instance's answer.
#include "app/main/OneInst.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes B(const std::string& S) {
    return Bytes(S.begin(), S.end());
}

TEST(PackCmdLine, EachArgumentNulTerminatedInAZeroFilledBlockOfTheDescribedSize) {
    using namespace std::string_literals;
    struct Case {
        std::vector<std::string> args;
        Bytes block;
    } cases[] = {
        {{}, B("\0\0\0"s)},
        {{"a.zqr"}, B("a.zqr\0\0\0"s)},
        {{"ab", "c"}, B("ab\0c\0\0\0"s)},
        {{"C:\\x y\\rec.zqr", "-v", "z"}, B("C:\\x y\\rec.zqr\0-v\0z\0\0\0"s)},
        // An empty first argument still takes its place.
        {{"", "x"}, B("\0x\0\0\0"s)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        EXPECT_EQ(PackCmdLine(c.args), c.block);
    }
}

TEST(UnpackCmdLine, GivesTheTextsUpToTheFirstEmptyOne) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> texts;
    } cases[] = {
        {{}, {}},
        {{"a.zqr"}, {"a.zqr"}},
        {{"first.zqd", "second.zqr"}, {"first.zqd", "second.zqr"}},
        {{"", "x"}, {}},
        {{"a", "", "c"}, {"a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        const Bytes block = PackCmdLine(c.args);
        EXPECT_EQ(UnpackCmdLine(block.data(), block.size()), c.texts);
    }
}

// The block is another process's data: the size it states is the limit, not a
// double NUL that may never come. Each block lives in a buffer of exactly its
// size, so a read past it shows under the address sanitizer.
TEST(UnpackCmdLine, ReadsNothingPastTheBlockSizeAndDropsAnUnterminatedText) {
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string data;
        std::size_t size;
        std::vector<std::string> texts;
    } cases[] = {
        {"no NUL at all", "abcdef"s, 6, {}},
        {"last text cut by the size", "abc\0def"s, 7, {"abc"}},
        {"size ends inside the second text", "abc\0def\0\0\0"s, 6, {"abc"}},
        {"size ends after the second NUL", "abc\0def\0"s, 8, {"abc", "def"}},
        {"single NUL", "\0"s, 1, {}},
        {"size 0", "abc\0"s, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<char> exact(c.data.begin(), c.data.begin() + static_cast<long>(c.size));
        EXPECT_EQ(UnpackCmdLine(exact.data(), exact.size()), c.texts);
    }
    EXPECT_TRUE(UnpackCmdLine(nullptr, 16).empty());
}

TEST(TickWait, ExpiresAfterTheDurationAndStartsAgainWhenTheCounterWraps) {
    struct Step {
        uint32_t now;
        bool expired;
    };
    struct Case {
        const char* name;
        uint32_t start;
        std::vector<Step> steps;
    } cases[] = {
        {"plain", 1000, {{1000, false}, {5999, false}, {6000, true}}},
        {"near the top", 0xFFFF0000u, {{0xFFFF0000u + 4999, false}, {0xFFFF0000u + 5000, true}}},
        // Below the start: wrapped; the 5 s run from the low value.
        {"wrapped", 0xFFFFF000u, {{0x10, false}, {0x10 + 4999, false}, {0x10 + 5000, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTickWait wait(c.start, kForwardTimeoutMs);
        for (const Step& s : c.steps) {
            SCOPED_TRACE(s.now);
            EXPECT_EQ(wait.Expired(s.now), s.expired);
        }
    }
}

} // namespace

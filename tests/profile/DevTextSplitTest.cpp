#include "profile/DevTextSplit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// The reply bytes of these texts, each followed by its NUL.
std::string Reply(const Texts& texts) {
    std::string r;
    for (const auto& t : texts)
        r += t + '\0';
    return r;
}

// The 210 bytes a split of these texts should leave: each text NUL-padded to
// 21, and ended within them (a text of 21 characters was left unterminated).
std::string Slots(const Texts& texts) {
    std::string r(sizeof(TDevTextAll), '\0');
    for (std::size_t j = 0; j < texts.size(); ++j)
        r.replace(21 * j, std::min<std::size_t>(texts[j].size(), 20), texts[j], 0, 20);
    return r;
}

TLinkResult Split(const std::string& reply, TDevTextAll& all) {
    std::memset(&all, 0xAA, sizeof all);
    return Proflink::SplitDevTexts(reinterpret_cast<const std::uint8_t*>(reply.data()),
                                   static_cast<std::int32_t>(reply.size()), all);
}

std::string Bytes(const TDevTextAll& all) {
    return std::string(reinterpret_cast<const char*>(&all), sizeof all);
}

TEST(DevTextSplit, RepliesAndTheirTexts) {
    const Texts tenV1(10, "V1");
    const Texts mixed = {"",  "A", std::string(20, 'x'), "1.04", "", "B2.1", "  ",
                         "z", "",  std::string(19, 'y')};
    const Texts nine(9, "V1");
    const std::string longText(21, 'L');
    const struct {
        const char* name;
        std::string reply;
        TLinkResult result;
        Texts texts;
    } cases[] = {
        {"ten texts of V1", Reply(tenV1), 0, tenV1},
        {"ten texts of 0 to 20 characters", Reply(mixed), 0, mixed},
        {"ten empty texts", std::string(10, '\0'), 0, Texts(10, "")},
        {"nine texts", Reply(nine), errAnswer, nine},
        {"a first text of 21 characters", Reply({longText, "V1"}), errAnswer, {longText}},
        {"a last text of 21 characters", Reply(nine) + longText + '\0', errAnswer,
         [&] {
             Texts t = nine;
             t.push_back(longText);
             return t;
         }()},
        {"surplus bytes after ten texts", Reply(tenV1) + "xx", errAnswer, tenV1},
        {"a surplus NUL after ten texts", Reply(tenV1) + '\0', errAnswer, tenV1},
        {"last text without its NUL", Reply(nine) + "V1", errAnswer,
         [&] {
             Texts t = nine;
             t.push_back("V1");
             return t;
         }()},
        {"empty reply", "", errAnswer, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TDevTextAll all;
        EXPECT_EQ(Split(c.reply, all), c.result);
        EXPECT_EQ(Bytes(all), Slots(c.texts));
    }
}

TEST(DevTextSplit, ThirtyByteReplyFillsEveryTwentyFirstByte) {
    TDevTextAll all;
    ASSERT_EQ(Split(Reply(Texts(10, "V1")), all), 0);
    for (int j = 0; j < 10; ++j) {
        SCOPED_TRACE(j);
        const auto* raw = reinterpret_cast<const char*>(&all);
        EXPECT_EQ(raw[21 * j], 'V');
        EXPECT_EQ(raw[21 * j + 1], '1');
        EXPECT_EQ(raw[21 * j + 2], '\0');
    }
}

// The caller's bytes behind each short text stayed in Buf, so a whole text slot
// copied elsewhere (a record's block header) carried them along.
TEST(DevTextSplit, StaleCallerBytesAfterEachTextNul) {
    TDevTextAll all;
    ASSERT_EQ(Split(Reply(Texts(10, "V1")), all), 0);
    for (const TDevText& t : all.Text)
        EXPECT_EQ(std::string(t.Text, sizeof t.Text), std::string("V1") + std::string(19, '\0'));
}

} // namespace

#include "app/output/TextLayout_.h"
#include "app/output/TextPages_.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every character 10 wide, in one font 8 + 2 high.
TLayoutText Text(const std::u16string& Chars) {
    TLayoutText t;
    t.Chars = Chars;
    t.Advances.assign(Chars.size(), 10);
    t.Fonts = {{0, 8, 2}};
    return t;
}

// The line's characters as drawn.
std::string Drawn(const TLayoutText& Text, const TTextLine& Line) {
    std::string s;
    for (const TTextPiece& p : Line.Pieces)
        for (int32_t i = p.First; i < p.Next; ++i)
            s += static_cast<char>(Text.Chars[i]);
    return s;
}

TEST(TextLayout, LinesBreakAtSpacesAndEndsOfParagraphs) {
    struct TCase {
        const char* Name;
        std::u16string Chars;
        int32_t Width;
        std::vector<std::string> Lines;
        std::vector<int32_t> Nexts;
    };
    const TCase cases[] = {
        {"fits to the last pixel", u"aaa bbb ccc", 70, {"aaa bbb", "ccc"}, {8, 11}},
        {"a word one pixel too wide", u"aaa bbb ccc", 65, {"aaa", "bbb", "ccc"}, {4, 8, 11}},
        {"spaces hang over the edge", u"aaa      bbb", 40, {"aaa", "bbb"}, {9, 12}},
        {"a word wider than the line is cut", u"abcdefgh", 35, {"abc", "def", "gh"}, {3, 6, 8}},
        {"the line narrower than a character", u"ab", 5, {"a", "b"}, {1, 2}},
        {"empty paragraphs are lines", u"ab\r\rcd\r", 100, {"ab", "", "cd"}, {3, 4, 7}},
        {"line breaks inside a paragraph", u"ab\vcd\nef", 100, {"ab", "cd", "ef"}, {3, 6, 8}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TLayoutText text = Text(c.Chars);
        const TLaidPage page = LayOutPage(text, 0, c.Width, 1000);
        std::vector<std::string> lines;
        std::vector<int32_t> nexts;
        for (const TTextLine& line : page.Lines) {
            lines.push_back(Drawn(text, line));
            nexts.push_back(line.Next);
        }
        EXPECT_EQ(lines, c.Lines);
        EXPECT_EQ(nexts, c.Nexts);
        EXPECT_EQ(page.Next, static_cast<int32_t>(c.Chars.size()));
    }
}

TEST(TextLayout, AlignmentAndTabsPlaceThePieces) {
    struct TCase {
        const char* Name;
        std::u16string Chars;
        TLineAlign Align;
        std::vector<TTextPiece> Pieces;
    };
    const TCase cases[] = {
        {"left", u"abc", TLineAlign::Left, {{0, 3, 0, 0}}},
        {"right, trailing spaces not counted", u"abc  \r", TLineAlign::Right, {{0, 3, 70, 0}}},
        {"centred", u"abc", TLineAlign::Centre, {{0, 3, 35, 0}}},
        {"a tab reaches the next stop", u"a\tb", TLineAlign::Left, {{0, 1, 0, 0}, {2, 3, 40, 0}}},
        {"a tab past a stop", u"abcde\tf", TLineAlign::Left, {{0, 5, 0, 0}, {6, 7, 80, 0}}},
        {"a right-aligned tab", u"a\tb", TLineAlign::Right, {{0, 1, 50, 0}, {2, 3, 90, 0}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLayoutText text = Text(c.Chars);
        text.TabStop = 40;
        text.Aligns = {{0, c.Align}};
        const TLaidPage page = LayOutPage(text, 0, 100, 1000);
        ASSERT_EQ(page.Lines.size(), 1u);
        EXPECT_EQ(page.Lines[0].Pieces, c.Pieces);
    }
}

TEST(TextLayout, EachParagraphKeepsItsAlignment) {
    TLayoutText text = Text(u"ab\rcd\ref");
    text.Aligns = {{0, TLineAlign::Left}, {3, TLineAlign::Right}, {6, TLineAlign::Centre}};
    const TLaidPage page = LayOutPage(text, 0, 100, 1000);
    ASSERT_EQ(page.Lines.size(), 3u);
    EXPECT_EQ(page.Lines[0].Pieces[0].X, 0);
    EXPECT_EQ(page.Lines[1].Pieces[0].X, 80);
    EXPECT_EQ(page.Lines[2].Pieces[0].X, 40);
}

TEST(TextLayout, FontsSplitPiecesAndTheTallestSetsTheLine) {
    TLayoutText text = Text(u"aaBBaa\r\rb");
    // The second paragraph mark is in a large font: its empty line is as high.
    text.Fonts = {{0, 8, 2}, {2, 16, 4}, {4, 8, 2}, {7, 30, 6}, {8, 8, 2}};
    const TLaidPage page = LayOutPage(text, 0, 100, 1000);
    ASSERT_EQ(page.Lines.size(), 3u);
    const TTextLine& mixed = page.Lines[0];
    EXPECT_EQ(mixed.Ascent, 16);
    EXPECT_EQ(mixed.Height, 20);
    EXPECT_EQ(mixed.Pieces, (std::vector<TTextPiece>{{0, 2, 0, 0}, {2, 4, 20, 1}, {4, 6, 40, 2}}));
    EXPECT_EQ(page.Lines[1].Top, 20);
    EXPECT_EQ(page.Lines[1].Height, 36);
    EXPECT_TRUE(page.Lines[1].Pieces.empty());
    EXPECT_EQ(page.Lines[2].Top, 56);
    EXPECT_EQ(page.Lines[2].Height, 10);
    EXPECT_EQ(page.Bottom, 66);
}

TEST(TextLayout, PagesTakeTheWholeLinesThatFit) {
    const TLayoutText text = Text(u"a1\ra2\ra3\ra4\ra5\r");
    struct TCase {
        const char* Name;
        int32_t Start;
        int32_t Height;
        size_t Lines;
        int32_t Next;
        int32_t Bottom;
    };
    const TCase cases[] = {
        {"three and a half lines of room", 0, 35, 3, 9, 30},
        {"from a later line", 9, 35, 2, 15, 20},
        {"a line taller than the page", 3, 9, 0, 3, 0},
        {"at the end", 15, 35, 0, 15, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TLaidPage page = LayOutPage(text, c.Start, 100, c.Height);
        EXPECT_EQ(page.Lines.size(), c.Lines);
        EXPECT_EQ(page.Next, c.Next);
        EXPECT_EQ(page.Bottom, c.Bottom);
        if (!page.Lines.empty()) {
            EXPECT_EQ(page.Lines[0].First, c.Start);
        }
    }
}

TEST(TextLayout, PaginatedProtocolKeepsEveryCharacterOnItsPages) {
    std::u16string chars;
    for (int i = 0; i < 150; ++i)
        chars += u"Line 1001 end.\r";
    const TLayoutText text = Text(chars);
    const auto length = static_cast<int32_t>(chars.size());
    // 56 lines a page.
    const auto pages = PaginateText(length, {0, 0, 200, 565}, [&](int32_t Start, TRect& Rect) {
        const TLaidPage page = LayOutPage(text, Start, Rect.Right, Rect.Bottom);
        Rect.Bottom = page.Bottom;
        return page.Next;
    });
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].Next, 56 * 15);
    EXPECT_EQ(pages[0].Rect.Bottom, 560);
    EXPECT_EQ(pages[1].First, pages[0].Next);
    EXPECT_EQ(pages[2].First, pages[1].Next);
    EXPECT_EQ(pages[2].Next, length);
    EXPECT_EQ(pages[2].Rect.Bottom, 380);
    // Word wrap narrower than a line still covers every character once.
    const auto narrow = PaginateText(length, {0, 0, 60, 565}, [&](int32_t Start, TRect& Rect) {
        const TLaidPage page = LayOutPage(text, Start, Rect.Right, Rect.Bottom);
        Rect.Bottom = page.Bottom;
        return page.Next;
    });
    EXPECT_EQ(narrow.size(), 9u);
    EXPECT_EQ(narrow.back().Next, length);
}

} // namespace

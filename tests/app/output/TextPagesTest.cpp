#include "app/output/TextPages_.h"

#include <gtest/gtest.h>

namespace {

const TRect kText{0, 0, 9000, 13000};

// A formatter that fits PerPage characters on a page and answers the next
// page's start, and logs the starts it was asked for.
struct TFixedPages {
    int32_t Length;
    int32_t PerPage;
    std::vector<int32_t> Starts;

    int32_t operator()(int32_t Start, TRect& Rect) {
        Starts.push_back(Start);
        Rect.Bottom = 100 + Start; // the part used, kept per page
        return Start + PerPage;
    }
};

TEST(TextPages, ThreePagesCoverTheTextWithoutGapsAndNumberThemselves) {
    TFixedPages format{250, 100, {}};
    const auto pages = PaginateText(250, kText, std::ref(format));
    ASSERT_EQ(pages.size(), 3u);
    // Each page renders up to the next page's first character, which is not its own.
    EXPECT_EQ(pages[0], (TTextPage{0, 100, {0, 0, 9000, 100}}));
    EXPECT_EQ(pages[1], (TTextPage{100, 200, {0, 0, 9000, 200}}));
    EXPECT_EQ(pages[2], (TTextPage{200, 300, {0, 0, 9000, 300}}));
    EXPECT_EQ(format.Starts, (std::vector<int32_t>{0, 100, 200}));
    EXPECT_EQ(PageNumberText(0, 3), "1/3");
    EXPECT_EQ(PageNumberText(2, 3), "3/3");
}

TEST(TextPages, EmptyTextIsOnePage) {
    const auto pages = PaginateText(0, kText, [](int32_t, TRect&) { return 0; });
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].First, 0);
    EXPECT_EQ(pages[0].Next, 0);
    EXPECT_EQ(PageNumberText(0, 1), "1/1");
}

TEST(TextPages, EndOfTextAnsweredAsMinusOneEndsAtTheTextLength) {
    const auto pages =
        PaginateText(150, kText, [](int32_t Start, TRect&) { return Start == 0 ? 100 : -1; });
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].First, 100);
    EXPECT_EQ(pages[1].Next, 150);
}

TEST(TextPages, PageWithoutProgressStopsWithAnErrorInsteadOfLoopingForEver) {
    // A line taller than the page: the formatter places nothing on page 2.
    int calls = 0;
    const auto stuck = [&](int32_t Start, TRect&) {
        ++calls;
        return Start == 0 ? 100 : Start;
    };
    EXPECT_THROW(PaginateText(250, kText, stuck), ETextPages);
    EXPECT_EQ(calls, 2);
    // Going backwards is no progress either.
    EXPECT_THROW(PaginateText(250, kText, [](int32_t, TRect&) { return 0; }), ETextPages);
}

TEST(TextPages, MarginsThatLeaveNoPageAreRefused) {
    int calls = 0;
    const auto never = [&](int32_t, TRect&) { return ++calls, -1; };
    for (const TRect& r : {TRect{0, 0, 0, 13000}, TRect{0, 0, 9000, -20}, TRect{0, 0, -5, -5}}) {
        EXPECT_THROW(PaginateText(10, r, never), ETextPages);
    }
    EXPECT_EQ(calls, 0);
}

} // namespace

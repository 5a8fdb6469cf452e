#include "app/output/PageMetrics_.h"

#include <gtest/gtest.h>

namespace {

TEST(PageMetrics, MarginUnitsBecomeTwips) {
    EXPECT_EQ(MarginTwips(1000, true), 1440);
    EXPECT_EQ(MarginTwips(2540, false), 1440);
    EXPECT_EQ(MarginTwips(2500, false), 1417); // 1417.3
    EXPECT_EQ(MarginTwips(0, true), 0);
}

TEST(PageMetrics, PageRectIsTheA4PaperLessItsMargins) {
    const TPrinterMetrics a4{4960, 7016, 600, 600, 0, 0};
    const TRect page = PageRectOf({2500, 2500, 2500, 2500, false}, a4);
    EXPECT_EQ(page, (TRect{1417, 1417, 10487, 16838 - 1417}));
    EXPECT_EQ(PaperTwips(a4), (TRect{0, 0, 11904, 16838}));
    // The paper rounds to the nearest twip, as the platform's MulDiv does.
    EXPECT_EQ(PaperTwips({2479, 3508, 300, 300, 0, 0}), (TRect{0, 0, 11899, 16838}));
}

TEST(PageMetrics, HeaderStands300TwipsInOrTwiceTheOffset) {
    const struct {
        int32_t Offset;
        int32_t Dpi;
        int32_t Header; // from the printable area's edge
    } cases[] = {
        {60, 600, 65},   // 0.1 inch: 125 from the paper's edge, 300 twips
        {0, 600, 125},   //
        {300, 600, 300}, // 0.5 inch: twice the offset from the paper's edge
        {125, 600, 125}, // the printable area begins at the header: twice in
        {25, 300, 38},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Offset << " at " << c.Dpi);
        EXPECT_EQ(HeaderOffset(c.Offset, c.Dpi), c.Header);
    }
}

TEST(PageMetrics, PreviewBoxKeepsThePapersAspect) {
    const struct {
        int32_t ClientW, ClientH, PaperW, PaperH, Top, Reserve;
        TRect Box;
    } cases[] = {
        // The window as it opens on portrait A4 at 600 dpi.
        {521, 417, 4960, 7016, 48, 64, {136, 48, 136 + 249, 48 + 353}},
        // Narrow: the width less 32, the height by the aspect.
        {132, 417, 4960, 7016, 64, 80, {16, 64, 116, 64 + 141}},
        // Landscape in a tall window.
        {521, 800, 7016, 4960, 64, 80, {16, 64, 505, 64 + 345}},
        // Smaller than the reserves: an empty box, no negative sizes.
        {20, 30, 4960, 7016, 64, 80, {10, 64, 10, 64}},
        // Without a printer the paper has no size: no division by zero.
        {521, 417, 0, 0, 48, 64, {260, 48, 260, 48}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ClientW << "x" << c.ClientH);
        EXPECT_EQ(PreviewBox(c.ClientW, c.ClientH, c.PaperW, c.PaperH, c.Top, c.Reserve), c.Box);
    }
}

} // namespace

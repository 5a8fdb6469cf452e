#include "app/base/Tools_.h"
#include "app/settings/PrefTimeRange_.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TTimeRangeModel Shown(int32_t Min, int32_t Max) {
    TTimeRangeModel m;
    m.Show(Min, Max);
    return m;
}

void ExpectRange(const TTimeRangeModel& M, const char* MinText, const char* MaxText) {
    EXPECT_EQ(M.MinText(), MinText);
    EXPECT_EQ(M.MaxText(), MaxText);
    ASSERT_EQ(M.PageItems().size(), 15u);
    EXPECT_EQ(M.PageItems()[0], PageText(M.MaxSeconds() - M.MinSeconds()));
    EXPECT_EQ(M.PageIndex(), 0);
}

TEST(PrefTimeRange, ShowsTheStoredTimesAndTheSpanBeforeThePages) {
    const TTimeRangeModel m = Shown(0, 720);
    ExpectRange(m, "0.0", "12.0");
    EXPECT_EQ(m.PageItems()[0], "0d 00h 12' 00\"/Page, 0d 00h 01' 0.0\"/Div");
    EXPECT_EQ(m.PageItems()[1], "6 min/Page, 30 s/Div");
    EXPECT_EQ(m.PageItems()[14], "28 days/Page, 56 hours/Div");
}

// Enter in the page box right after showing keeps the span: with the span as
// its only entry it would take the table's first page (6 minutes).
TEST(PrefTimeRange, EnterInThePageBoxKeepsTheSpanShown) {
    TTimeRangeModel m = Shown(600, 4200);
    m.PageCloseUp();
    ExpectRange(m, "10.0", "70.0");
}

TEST(PrefTimeRange, EditsKeepAtLeast18SecondsAndTheirBounds) {
    struct Case {
        const char* name;
        int32_t min, max;
        bool autoX;
        bool isMax;
        bool enter;
        const char* text;
        const char* minText;
        const char* maxText;
        bool autoXAfter;
    } cases[] = {
        {"maximum 0.1 and Enter", 0, 720, false, true, true, "0.1", "0.0", "0.3", false},
        {"minimum 5 and Enter releases AutoX first", 0, 720, true, false, true, "5", "5.0", "12.0",
         false},
        {"minimum 5 left with AutoX down stays 0", 0, 720, true, false, false, "5", "0.0", "12.0",
         true},
        {"minimum above the maximum pushes it up", 0, 720, false, false, true, "20", "20.0", "20.3",
         false},
        {"maximum below the minimum pulls it down", 600, 720, false, true, true, "5", "4.7", "5.0",
         false},
        {"negative minimum", 60, 720, false, false, true, "-5", "0.0", "12.0", false},
        {"a maximum without number takes the held one", 0, 720, false, true, false, "abc", "0.0",
         "12.0", false},
        {"an empty minimum takes the held one", 120, 720, false, false, false, "", "2.0", "12.0",
         false},
        {"minimum near the top of 32 bits", 0, 720, false, false, true, "99999999999", "35791393.8",
         "35791394.1", false},
        {"maximum beyond 32 bits", 0, 720, false, true, true, "99999999999", "0.0", "35791394.1",
         false},
        {"1,25 rounds to 1.3 minutes", 0, 720, false, false, true, "1,25", "1.3", "12.0", false},
        {"1.25 rounds to 1.3 minutes", 0, 720, false, false, true, "1.25", "1.3", "12.0", false},
    };
    for (char separator : {'.', ','}) {
        SetDecimalSeparator(separator);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", locale separator " + separator);
            TTimeRangeModel m = Shown(c.min, c.max);
            m.AutoX = c.autoX;
            m.End = true;
            if (c.enter)
                m.EditEnter(c.isMax, c.text);
            else
                m.EditExit(c.isMax, c.text);
            ExpectRange(m, c.minText, c.maxText);
            EXPECT_EQ(m.AutoX, c.autoXAfter);
            EXPECT_FALSE(m.End);
        }
    }
    SetDecimalSeparator('.');
}

TEST(PrefTimeRange, UpDownsStepSixMinutes) {
    struct Case {
        const char* name;
        int32_t min, max;
        bool isMax;
        bool up;
        const char* minText;
        const char* maxText;
    } cases[] = {
        {"maximum up", 0, 720, true, true, "0.0", "18.0"},
        {"maximum down at 300 keeps 18 s", 0, 300, true, false, "0.0", "0.3"},
        {"minimum down below six minutes", 120, 720, false, false, "0.0", "12.0"},
        {"minimum up past the maximum", 600, 720, false, true, "16.0", "16.3"},
        {"maximum up at the top of 32 bits", 0, 2147483600, true, true, "0.0", "35791394.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTimeRangeModel m = Shown(c.min, c.max);
        m.AutoX = true;
        m.UpDown(c.isMax, c.isMax ? m.MaxText() : m.MinText(), c.up);
        ExpectRange(m, c.minText, c.maxText);
        EXPECT_FALSE(m.AutoX);
    }
}

TEST(PrefTimeRange, UpDownOnAnEditWithoutNumberRaisesAndChangesNothing) {
    TTimeRangeModel m = Shown(0, 720);
    m.AutoX = true;
    EXPECT_THROW(m.UpDown(true, "x", true), EConvertError);
    ExpectRange(m, "0.0", "12.0");
    EXPECT_TRUE(m.AutoX);
}

TEST(PrefTimeRange, ChoosingAPageMovesTheMaximum) {
    TTimeRangeModel m = Shown(600, 1320);
    m.AutoX = true;
    m.PageDropDown();
    ASSERT_EQ(m.PageItems().size(), 14u);
    m.PageSelect(3); // 1 hour/Page
    m.PageCloseUp();
    ExpectRange(m, "10.0", "70.0");
    EXPECT_EQ(m.PageItems()[0], PageText(3600));
    EXPECT_FALSE(m.AutoX);

    // Closed without a choice: nothing moves.
    m.AutoX = true;
    m.PageDropDown();
    m.PageCloseUp();
    ExpectRange(m, "10.0", "70.0");
    EXPECT_TRUE(m.AutoX);
}

TEST(PrefTimeRange, TheSpanEntryFollowsTheEdits) {
    TTimeRangeModel m = Shown(0, 720);
    m.EditEnter(true, "60");
    EXPECT_EQ(m.PageItems()[0], PageText(3600));
    // Enter in the page box now keeps one hour.
    m.PageCloseUp();
    ExpectRange(m, "0.0", "60.0");
}

} // namespace

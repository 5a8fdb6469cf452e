#include "app/settings/EditNumber_.h"
#include "app/settings/PrefDialog_.h"
#include "app/settings/UnitChoices_.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(EditKeys, OnlyDigitsOneSeparatorAndALeadingMinus) {
    struct Case {
        const char* text;
        std::size_t caret;
        char key;
        bool allowMinus;
        char taken;
    } cases[] = {
        {"12", 2, '5', false, '5'},
        {"12", 2, kKeyBackspace, false, kKeyBackspace},
        {"12", 2, kKeyEnter, false, kKeyEnter},
        {"12", 2, ',', false, '.'},
        {"12", 2, '.', false, '.'},
        {"1.2", 3, ',', false, 0},
        {"1.2", 3, '.', false, 0},
        {"12", 0, '-', false, 0},
        {"12", 0, '-', true, '-'},
        {"12", 1, '-', true, 0},
        {"-12", 0, '-', true, 0},
        {"12", 2, 'e', true, 0},
        {"12", 2, ' ', true, 0},
        {"12", 2, '+', true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " key " + std::to_string(c.key));
        EXPECT_EQ(FilterNumberKey(c.text, c.caret, c.key, c.allowMinus), c.taken);
    }
}

TEST(UnitChoices, IndexesClampChoicesToTheList) {
    struct Case {
        TUnitList list;
        int32_t choice;
        int index;
    } cases[] = {
        {ulHumidity, -2, 0}, {ulHumidity, -1, 0}, {ulHumidity, 0, 1},
        {ulHumidity, 1, 2},  {ulHumidity, 2, 2},  {ulTemperature, 7, 2},
        {ulDate, 2, 3},      {ulDate, 3, 3},      {ulDate, -1000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.list) + " " + std::to_string(c.choice));
        EXPECT_EQ(ChoiceToIndex(c.list, c.choice), c.index);
        EXPECT_LT(static_cast<std::size_t>(c.index), UnitListEntries(c.list).size());
    }
    EXPECT_EQ(IndexToChoice(ulHumidity, -1), kFromInstrument); // no selection
    EXPECT_EQ(IndexToChoice(ulHumidity, 0), kFromInstrument);
    EXPECT_EQ(IndexToChoice(ulTemperature, 2), 1);
    EXPECT_EQ(IndexToChoice(ulDate, 3), 2);
}

TEST(UnitChoices, ListTexts) {
    EXPECT_EQ(UnitListEntries(ulHumidity),
              (std::vector<std::string>{"From instrument", "aw [ ]", "Hum [%RH]"}));
    EXPECT_EQ(UnitListEntries(ulTemperature), (std::vector<std::string>{"From instrument",
                                                                        "T [\xB0"
                                                                        "C]",
                                                                        "T [\xB0"
                                                                        "F]"}));
    EXPECT_EQ(UnitListEntries(ulDate), (std::vector<std::string>{"From instrument", "DD.MM.YYYY",
                                                                 "MM.DD.YYYY", "YYYY.MM.DD"}));
}

TEST(UnitChoices, ConfirmedChoicesResolveOverThePreviousUnits) {
    TGraphDefaults d{};
    SetFactoryGraphDefaults(d);
    d.HumMode = 1;
    SetUnitChoices(d, {kFromInstrument, 1, 2});
    EXPECT_EQ(ChoicesOf(d), (TUnitChoices{kFromInstrument, 1, 2}));
    EXPECT_EQ(ResolvedUnitsOf(d), (TResolvedUnits{1, 1, 2}));
    EXPECT_EQ(d.HumMode, 1);
    EXPECT_EQ(d.TempUnit, 1);
    EXPECT_EQ(d.DateFormat, 2);
    // Back to the instrument: the resolved units stay as they were.
    SetUnitChoices(d, {});
    EXPECT_EQ(ResolvedUnitsOf(d), (TResolvedUnits{1, 1, 2}));
}

// The Apply buttons take the series and units last confirmed (held), not the
// series dialog's values, which keep what was typed before a Cancel.
TEST(PrefDialog, ApplyDefaultsTakeTheHeldSeriesAndThePageControls) {
    TGraphDefaults held{};
    SetFactoryGraphDefaults(held);
    held.Temperature.YMax = 3000;
    SetUnitChoices(held, {1, kFromInstrument, 0});
    const TGraphDefaults before = held;
    const TGraphControls controls{5, true, false, true, true, false, true, 60, 3660};

    const TGraphDefaults d = ApplyDefaults(held, controls);
    EXPECT_EQ(std::memcmp(&held, &before, sizeof held), 0);
    TGraphDefaults expected = held;
    expected.SampleRateIndex = 5;
    expected.AutoScroll = 1;
    expected.End = 0;
    expected.ShowSampleCount = 1;
    expected.AutoX = 1;
    expected.AutoY = 0;
    expected.AutoOffset = 1;
    expected.MinTime = 60;
    expected.MaxTime = 3660;
    EXPECT_EQ(std::memcmp(&d, &expected, sizeof d), 0);
}

TEST(PrefDialog, SeriesValuesRoundTripThroughTheBlockAndKeepItsUnusedBytes) {
    TGraphDefaults d{};
    SetFactoryGraphDefaults(d);
    d.DValue.Unused[5] = 0x5A;
    auto series = SeriesOf(d);
    series[siDValue] = {false, 0x123456, 10, 20, 30};
    SeriesToGraphDefaults(series, d);
    EXPECT_EQ(SeriesOf(d), series);
    EXPECT_EQ(d.DValue.Unused[5], 0x5A);
    EXPECT_EQ(int32_t{d.Humidity.YMax}, 10000); // a copy: the field is packed
}

// An emptied edit is no folder: it would read as "\", the root of the drive.
TEST(PrefDialog, TemporaryDirectoryEdit) {
    TTempDirEdit e;
    e.Show("C:\\Data\\Temp\\");
    EXPECT_EQ(e.Pending(), "C:\\Data\\Temp\\");
    e.Exit("", "C:\\Prog\\Temp\\");
    EXPECT_EQ(e.Pending(), "C:\\Prog\\Temp\\");
    e.Exit("D:\\Rec", "C:\\Prog\\Temp\\");
    EXPECT_EQ(e.Pending(), "D:\\Rec\\");
    e.BrowseConfirmed("E:\\Chosen");
    EXPECT_EQ(e.Pending(), "E:\\Chosen\\");
}

TEST(PrefDialog, ListsAndPanels) {
    const auto rates = SampleRateEntries();
    ASSERT_EQ(rates.size(), 8u);
    EXPECT_EQ(rates.front(), "00:01 min");
    EXPECT_EQ(rates[2], "00:10 min");
    EXPECT_EQ(rates.back(), "10:00 min");
    const auto sizes = TextSizeEntries();
    ASSERT_EQ(sizes.size(), 11u);
    EXPECT_EQ(sizes.front(), "6");
    EXPECT_EQ(sizes.back(), "16");
    // A stored size outside the list shows its nearest entry.
    for (auto [size, index] : {std::pair{5, 0}, {6, 0}, {10, 4}, {16, 10}, {400, 10}})
        EXPECT_EQ(TextSizeIndex(size), index) << size;
    EXPECT_EQ(TextSizeOfIndex(TextSizeIndex(12)), 12);
    EXPECT_EQ(SettingsPanelTexts(true, false, true),
              (std::array<std::string, 3>{"Auto Print", "", "Auto Restore"}));
    EXPECT_EQ(SettingsPanelTexts(false, true, false),
              (std::array<std::string, 3>{"", "Auto Connect", ""}));
}

} // namespace

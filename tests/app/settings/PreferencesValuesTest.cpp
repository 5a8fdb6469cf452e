#include "app/settings/PreferencesValues_.h"

#include "tests/app/support/MemRegistry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kRoot = "\\Software\\Meridane\\TessalyMC\\";

// The values that their own windows read and write (not held by the
// preferences): each is created with its default the first time it is read.
TEST(RegistryValues, WindowValuesReadTheirDefaultsAndCreateThem) {
    struct Case {
        const TBoolValue& value;
        std::string key;
        const char* name;
        bool def;
    } cases[] = {
        {kDontShowMeAgain, kRoot + "environment", "dontshowmeagain", false},
        {kCsvNor, kRoot + "csvExport", "CSV_NOR", true},
        {kCsvAver, kRoot + "csvExport", "CSV_AVER", false},
        {kCsvSkip, kRoot + "csvExport", "CSV_SKIP", false},
        {kCsvColRec, kRoot + "csvExport", "CSV_C_REC", false},
        {kCsvColDateTime, kRoot + "csvExport", "CSV_C_DT", true},
        {kCsvColAw, kRoot + "csvExport", "CSV_C_AW", true},
        {kCsvColTemp, kRoot + "csvExport", "CSV_C_TEMP", true},
        {kCsvColCond, kRoot + "csvExport", "CSV_C_COND", false},
        {kCsvProgInfo, kRoot + "csvExport", "CSV_C_PROGI", false},
        {kCsvRedMethod, kRoot + "csvExport", "CSV_R_REDMETH", false},
        {kCsvRecInfo, kRoot + "csvExport", "CSV_R_RECI", false},
        {kCsvUserInfo, kRoot + "csvExport", "CSV_R_USERI", false},
        {kCsvColTitles, kRoot + "csvExport", "CSV_R_COLTIT", true},
        {kEmfNumVal, kRoot + "emfExport", "NumVal", false},
        {kEmfSerNam, kRoot + "emfExport", "SerNam", true},
        {kEmfTitel, kRoot + "emfExport", "Titel", true},
        {kEmfScale, kRoot + "emfExport", "Scale", true},
        {kPrvNumVal, kRoot + "printprv", "NumVal", false},
        {kPrvSerNam, kRoot + "printprv", "SerNam", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + "\\" + c.name);
        TMemRegistry registry;
        EXPECT_EQ(ReadValue(registry, c.value), c.def);
        EXPECT_EQ(registry.Get(c.key, c.name), TRegValue::Dword(c.def ? 1 : 0));
        // The stored value wins from then on.
        WriteValue(registry, c.value, !c.def);
        EXPECT_EQ(ReadValue(registry, c.value), !c.def);
    }

    TMemRegistry registry;
    EXPECT_EQ(ReadValue(registry, kCsvN), 2);
    EXPECT_EQ(registry.Get(kRoot + "csvExport", "CSV_N"), TRegValue::Dword(2));
}

// A stored integer outside its range is kept as it is, in memory and in the
// registry; it is clamped where it is used.
TEST(RegistryValues, IntegersOutsideTheirRangeAreKeptAndClampedWhenUsed) {
    struct Case {
        const TIntValue& value;
        int32_t stored;
        int32_t clamped;
    } cases[] = {
        {kTextSize, 5, 6},
        {kTextSize, 6, 6},
        {kTextSize, 16, 16},
        {kTextSize, 17, 16},
        {kTextSize, -10, 6},
        {kCsvN, 0, 2},
        {kCsvN, 1000, 1000},
        {kCsvN, 1001, 1000},
        {kProtMarginValues.Left, -1, 0},
        {kProtMarginValues.Top, 0, 0},
        {kGraphMarginValues.Right, 100000, 100000},
        {kGraphMarginValues.Left, 2147483647, 100000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.value.Name) + " " + std::to_string(c.stored));
        TMemRegistry registry;
        registry.Put(c.value.Key, c.value.Name, TRegValue::Dword(static_cast<uint32_t>(c.stored)));
        EXPECT_EQ(ReadValue(registry, c.value), c.stored);
        EXPECT_EQ(ClampValue(c.value, c.stored), c.clamped);
        EXPECT_EQ(registry.Get(c.value.Key, c.value.Name),
                  TRegValue::Dword(static_cast<uint32_t>(c.stored)));
    }
}

TEST(RegistryValues, WriteFailuresAreIgnored) {
    TMemRegistry registry;
    registry.FailWrites = true;
    WriteValue(registry, kTextSize, 12);
    WriteValue(registry, kAutoPrint, true);
    EXPECT_EQ(registry.Writes, 2);
    EXPECT_EQ(ReadValue(registry, kTextSize), 10);
}

} // namespace

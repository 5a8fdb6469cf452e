#include "app/settings/PreferencesGraph_.h"
#include "app/settings/PreferencesValues_.h"

#include "tests/app/support/MemRegistry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const char* Text) {
    Bytes b;
    unsigned v = 0;
    int n = 0;
    while (std::sscanf(Text, " %2x%n", &v, &n) == 1) {
        b.push_back(static_cast<uint8_t>(v));
        Text += n;
    }
    return b;
}

Bytes BytesOf(const TGraphDefaults& D) {
    Bytes b(sizeof D);
    std::memcpy(b.data(), &D, sizeof D);
    return b;
}

TGraphDefaults BlockOf(const Bytes& B) {
    TGraphDefaults d;
    std::memcpy(&d, B.data(), sizeof d);
    return d;
}

// The factory block with its unused series bytes set to Fill.
Bytes FactoryBytes(uint8_t Fill) {
    Bytes b(372, Fill);
    const auto put = [&](std::size_t At, const char* Text) {
        const Bytes part = Hex(Text);
        std::copy(part.begin(), part.end(), b.begin() + static_cast<std::ptrdiff_t>(At));
    };
    //          visible colour      y min       y max       range
    put(0, "01 0000ff00 00000000 10270000 e8030000");   // humidity: blue, 0..10000
    put(113, "01 ff000000 00000000 88130000 e8030000"); // temperature: red, 0..5000
    put(226, "01 ff00ff00 00000000 10270000 e8030000"); // D value: fuchsia, 0..10000
    // rate index, six flags, min and max time, resolved units, unit choices
    put(339, "02000000 000000000000 00000000 d0020000 000000 ffffffff ffffffff ffffffff");
    return b;
}

const std::string kGraphs = "\\Software\\Meridane\\TessalyMC\\graphs";

TEST(GraphDefaults, FactoryValuesAsTheirGoldenBytesLeavingUnusedBytes) {
    Bytes block(372, 0xA5);
    TGraphDefaults d = BlockOf(block);
    SetFactoryGraphDefaults(d);
    EXPECT_EQ(BytesOf(d), FactoryBytes(0xA5));
}

// The stored value "settings" read over the factory block.
TEST(GraphDefaults, ReadBackOfTheStoredBlock) {
    Bytes humidity17 = Hex("00 11223300 64000000 c8000000 2c010000"); // 100..200, range 300
    Bytes expected17 = FactoryBytes(0);
    std::copy(humidity17.begin(), humidity17.end(), expected17.begin());
    Bytes zeroRange = FactoryBytes(0);
    zeroRange[113 + 13] = 0; // temperature range 0
    zeroRange[113 + 14] = 0;
    Bytes badRate = FactoryBytes(0);
    badRate[339] = 9;

    struct Case {
        const char* what;
        TRegValue stored;
        bool read;
        Bytes held;
        TRegValue after; // what the registry holds afterwards
    } cases[] = {
        {"missing", {}, false, FactoryBytes(0), TRegValue::Bin(FactoryBytes(0).data(), 372)},
        {"17 bytes: the humidity series' used fields", TRegValue::Bin(humidity17.data(), 17), true,
         expected17, TRegValue::Bin(humidity17.data(), 17)},
        {"400 bytes", TRegValue::Bin(Bytes(400, 7).data(), 400), false, FactoryBytes(0),
         TRegValue::Bin(FactoryBytes(0).data(), 372)},
        {"a number", TRegValue::Dword(5), false, FactoryBytes(0),
         TRegValue::Bin(FactoryBytes(0).data(), 372)},
        // Repairs are made in memory; the registry keeps its value until the next store.
        {"range 0", TRegValue::Bin(zeroRange.data(), 372), true, FactoryBytes(0),
         TRegValue::Bin(zeroRange.data(), 372)},
        {"sample-rate index 9", TRegValue::Bin(badRate.data(), 372), true, FactoryBytes(0),
         TRegValue::Bin(badRate.data(), 372)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemRegistry registry;
        if (c.stored.Kind != TRegKind::Missing)
            registry.Put(kGraphs, "settings", c.stored);
        TGraphDefaults d{};
        SetFactoryGraphDefaults(d);
        EXPECT_EQ(ReadGraphDefaults(registry, d), c.read);
        EXPECT_EQ(BytesOf(d), c.held);
        EXPECT_EQ(registry.Get(kGraphs, "settings"), c.after);
    }
}

TEST(GraphDefaults, WrittenByteForByteWithTheUnusedBytesAsHeld) {
    TMemRegistry registry;
    TGraphDefaults d = BlockOf(Bytes(372, 0x5A));
    SetFactoryGraphDefaults(d);
    d.AutoX = 1;
    WriteGraphDefaults(registry, d);
    EXPECT_EQ(registry.Get(kGraphs, "settings"), TRegValue::Bin(&d, 372));
}

// A stored block may hold anything: each field out of range falls back to its
// factory value (the sample-rate index indexes a table of intervals, the y
// limits span the graph's scale), every other field stays as read.
TEST(GraphDefaults, OutOfRangeFieldsFallBackToTheirFactoryValues) {
    using Edit = std::function<void(TGraphDefaults&)>;
    const Edit same = [](TGraphDefaults&) {};
    struct Case {
        const char* what;
        Edit stored;
        Edit held; // applied to the factory block: what the check keeps
    } cases[] = {
        {"rate index -1", [](auto& d) { d.SampleRateIndex = -1; }, same},
        {"rate index 8", [](auto& d) { d.SampleRateIndex = 8; }, same},
        {"rate index 7", [](auto& d) { d.SampleRateIndex = 7; },
         [](auto& d) { d.SampleRateIndex = 7; }},
        {"min time -1", [](auto& d) { d.MinTime = -1; }, same},
        {"window of 17 s",
         [](auto& d) {
             d.MinTime = 100;
             d.MaxTime = 117;
         },
         same},
        {"window of 18 s",
         [](auto& d) {
             d.MinTime = 100;
             d.MaxTime = 118;
         },
         [](auto& d) {
             d.MinTime = 100;
             d.MaxTime = 118;
         }},
        {"highest window",
         [](auto& d) {
             d.MinTime = 2147483629;
             d.MaxTime = 2147483647;
         },
         [](auto& d) {
             d.MinTime = 2147483629;
             d.MaxTime = 2147483647;
         }},
        {"min time past the highest window", [](auto& d) { d.MinTime = 2147483630; }, same},
        {"humidity mode 2", [](auto& d) { d.HumMode = 2; }, same},
        {"humidity mode 1", [](auto& d) { d.HumMode = 1; }, [](auto& d) { d.HumMode = 1; }},
        {"temperature unit 255", [](auto& d) { d.TempUnit = 255; }, same},
        {"date format 3", [](auto& d) { d.DateFormat = 3; }, same},
        {"date format 2", [](auto& d) { d.DateFormat = 2; }, [](auto& d) { d.DateFormat = 2; }},
        {"humidity choice -2", [](auto& d) { d.HumChoice = -2; }, same},
        {"humidity choice 2", [](auto& d) { d.HumChoice = 2; }, same},
        {"temperature choice 1", [](auto& d) { d.TempChoice = 1; },
         [](auto& d) { d.TempChoice = 1; }},
        {"date choice 3", [](auto& d) { d.DateChoice = 3; }, same},
        {"date choice 2", [](auto& d) { d.DateChoice = 2; }, [](auto& d) { d.DateChoice = 2; }},
        {"temperature from -40 to 120 degrees",
         [](auto& d) {
             d.Temperature.YMin = -4000;
             d.Temperature.YMax = 12000;
         },
         [](auto& d) {
             d.Temperature.YMin = -4000;
             d.Temperature.YMax = 12000;
         }},
        {"temperature below -40 degrees", [](auto& d) { d.Temperature.YMin = -4001; }, same},
        {"humidity above 10000", [](auto& d) { d.Humidity.YMax = 10001; }, same},
        {"D value minimum equal to maximum", [](auto& d) { d.DValue.YMin = 10000; }, same},
        {"humidity limits reversed",
         [](auto& d) {
             d.Humidity.YMin = 600;
             d.Humidity.YMax = 500;
         },
         same},
        {"negative range", [](auto& d) { d.Humidity.Range = -5; }, same},
        {"range wider than the series", [](auto& d) { d.DValue.Range = 10001; }, same},
        {"temperature range of the whole scale", [](auto& d) { d.Temperature.Range = 16000; },
         [](auto& d) { d.Temperature.Range = 16000; }},
        {"Booleans other than 0 and 1, colours and unused bytes stay",
         [](auto& d) {
             d.AutoY = 2;
             d.Humidity.Visible = 0x80;
             d.Temperature.Color = -1;
             d.DValue.Unused[95] = 0x42;
         },
         [](auto& d) {
             d.AutoY = 2;
             d.Humidity.Visible = 0x80;
             d.Temperature.Color = -1;
             d.DValue.Unused[95] = 0x42;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TGraphDefaults d = BlockOf(FactoryBytes(0));
        c.stored(d);
        RepairSeriesRanges(d);
        CheckGraphDefaults(d);
        TGraphDefaults expected = BlockOf(FactoryBytes(0));
        c.held(expected);
        EXPECT_EQ(BytesOf(d), BytesOf(expected));
    }
}

} // namespace

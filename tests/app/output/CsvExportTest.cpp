// The CSV export natively: range and reduction, averages, quoting, the header
// part and preview grid, whole files as written, the registry values.
#include "app/base/Tools_.h"
#include "app/output/CsvSettings_.h"
#include "app/output/CsvWriter_.h"
#include "app/settings/PreferencesValues_.h"
#include "app/values/MeasValues_.h"
#include "tests/app/record/MemFiles.h"
#include "tests/app/support/MemRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint16_t kValid = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;

TSample Sample(uint32_t Seconds, int16_t Hum, int16_t Temp = 2500, uint16_t Status = kValid,
               uint16_t Block = 1) {
    TSample s{};
    s.Stamp = {1, 1, 2026, Seconds};
    s.Meas.Humidity = Hum;
    s.Meas.Temperature = Temp;
    s.Meas.Status = Status;
    s.Block = Block;
    return s;
}

TRecBlockHeader Block(uint16_t Number, uint32_t Count, const char* DevId = "ZEPHORA") {
    TRecBlockHeader h{};
    h.Block = Number;
    h.Count = Count;
    h.Interval = 10;
    std::strcpy(h.Name, "Ch 1");
    std::strcpy(h.SWVers, "V2.10");
    std::strcpy(h.SerialPart, "123");
    std::strcpy(h.DevId, DevId);
    std::strcpy(h.OSUser, "anna");
    std::strcpy(h.DevUser, "op,1");
    return h;
}

// Samples 0 .. Count - 1, ten seconds apart, humidity 10 %RH times the index.
TRecording Record(int Count) {
    TRecording r;
    r.Headers.push_back(Block(1, static_cast<uint32_t>(Count)));
    for (int i = 0; i < Count; ++i)
        r.Samples.push_back(Sample(static_cast<uint32_t>(10 * i), static_cast<int16_t>(1000 * i)));
    return r;
}

TCsvSource Source(const TRecording& Data) {
    TCsvSource s;
    s.Data = &Data;
    s.HumMode = 1; // %RH
    s.TempUnit = 0;
    s.SampleInterval = 10;
    return s;
}

TCsvChoice NoHeader() {
    TCsvChoice c;
    c.RowColTitles = false;
    c.ColDateTime = false;
    c.ColTemp = false;
    return c;
}

TCsvFileArgs Args(const TCsvPreview& Preview, const TCsvSource& Source, const TCsvChoice& Choice) {
    TCsvFileArgs args;
    args.Preview = &Preview;
    args.Source = Source;
    args.Choice = Choice;
    return args;
}

// The file as written, and what ExportToFile said.
struct TWritten {
    std::string Text;
    std::string Error;
};

TWritten Export(const TCsvSource& Source, const TCsvChoice& Choice,
                TCodePageConversion Convert = {}) {
    TCsvPreview preview;
    preview.Build(Source, Choice);
    TMemFileSystem fs;
    TCsvFileArgs args = Args(preview, Source, Choice);
    args.Convert = std::move(Convert);
    TWritten w;
    w.Error = ExportToFile(fs, "out.csv", args);
    if (fs.Exists("out.csv"))
        w.Text.assign(fs["out.csv"].begin(), fs["out.csv"].end());
    return w;
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = Text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(Text.substr(at, end - at));
    EXPECT_EQ(at, Text.size()) << "text after the last CR LF";
    return lines;
}

TEST(CsvRange, ReductionAndRangeChooseTheExportedSamples) {
    struct Case {
        const char* name;
        TCsvReduction reduction;
        int32_t n;
        int64_t anchor, end;
        bool selection;
        std::vector<std::string> lines; // humidity of each data line
    };
    const std::vector<std::string> all = {"\"0.0\"",  "\"10.0\"", "\"20.0\"", "\"30.0\"",
                                          "\"40.0\"", "\"50.0\"", "\"60.0\"", "\"70.0\"",
                                          "\"80.0\"", "\"90.0\""};
    const Case cases[] = {
        {"no reduction", TCsvReduction::None, 3, -1, -1, false, all},
        {"every 3rd",
         TCsvReduction::EveryNth,
         3,
         -1,
         -1,
         false,
         {"\"0.0\"", "\"30.0\"", "\"60.0\"", "\"90.0\""}},
        // Groups of 3, 3, 3 and 1: the last line is sample 9 alone.
        {"average of 3",
         TCsvReduction::Average,
         3,
         -1,
         -1,
         false,
         {"\"10.0\"", "\"40.0\"", "\"70.0\"", "\"90.0\""}},
        {"reversed selection",
         TCsvReduction::EveryNth,
         3,
         8,
         2,
         true,
         {"\"20.0\"", "\"50.0\"", "\"80.0\""}},
        // The last group ends with the selection: samples 6 and 7, not 8.
        {"average within the selection",
         TCsvReduction::Average,
         3,
         7,
         0,
         true,
         {"\"10.0\"", "\"40.0\"", "\"65.0\""}},
        {"selection not chosen", TCsvReduction::None, 3, 2, 4, false, all},
        {"n of 0 taken as 2",
         TCsvReduction::EveryNth,
         0,
         -1,
         -1,
         false,
         {"\"0.0\"", "\"20.0\"", "\"40.0\"", "\"60.0\"", "\"80.0\""}},
        {"n above 1000 taken as 1000", TCsvReduction::Average, 5000, -1, -1, false, {"\"45.0\""}},
    };
    const TRecording r = Record(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCsvSource source = Source(r);
        source.SelAnchor = c.anchor;
        source.SelEnd = c.end;
        TCsvChoice choice = NoHeader();
        choice.Reduction = c.reduction;
        choice.N = c.n;
        choice.Selection = c.selection;
        const TWritten w = Export(source, choice);
        ASSERT_EQ(w.Error, "");
        std::vector<std::string> lines = Lines(w.Text);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "");
        lines.erase(lines.begin());
        EXPECT_EQ(lines, c.lines);
        TCsvPreview preview;
        preview.Build(source, choice);
        const TCsvCounts counts = CsvCounts(preview, source, choice);
        EXPECT_EQ(counts.Readings, static_cast<int64_t>(c.lines.size()));
        EXPECT_EQ(counts.Rows, static_cast<int64_t>(c.lines.size()) + 1);
    }
}

TEST(CsvRange, SelectionIsOfferedOnlyForMoreThanOneSample) {
    const TRecording r = Record(10);
    TCsvSource s = Source(r);
    EXPECT_FALSE(SelectionOffered(s));
    s.SelAnchor = s.SelEnd = 4;
    EXPECT_FALSE(SelectionOffered(s));
    const TCsvRange one = ExportRange(s, true);
    EXPECT_EQ(one.First, 0);
    EXPECT_EQ(one.Last, 9);
    s.SelEnd = 5;
    EXPECT_TRUE(SelectionOffered(s));
    EXPECT_EQ(ExportRange(s, true).Count(), 2);
    // An empty record exports nothing.
    const TRecording empty;
    EXPECT_EQ(ReadingCount(ExportRange(Source(empty), false), TCsvChoice()), 0);
}

TEST(TruncatedMean, ValidValuesOfTheGroupWithinTheRange) {
    constexpr uint16_t noHum = kValid & ~csHumidityValid;
    struct Case {
        const char* name;
        std::vector<TSample> samples;
        int64_t first;
        int32_t n;
        int64_t last;
        int32_t raw;
        uint16_t status;
    };
    const Case cases[] = {
        {"truncates", {Sample(0, 7501), Sample(1, 7502)}, 0, 2, 1, 7501, kValid},
        {"toward zero", {Sample(0, -7501), Sample(1, -7502)}, 0, 2, 1, -7501, kValid},
        {"mixed signs", {Sample(0, -3), Sample(1, 1)}, 0, 2, 1, -1, kValid},
        {"stops at the last sample", {Sample(0, 10), Sample(1, 20)}, 1, 3, 1, 20, kValid},
        {"stops at the range", {Sample(0, 10), Sample(1, 20), Sample(2, 90)}, 0, 3, 1, 15, kValid},
        {"leaves invalid values out",
         {Sample(0, 10), Sample(1, 30000, 2500, noHum), Sample(2, 20)},
         0,
         3,
         2,
         15,
         kValid},
        {"judged by the first valid sample",
         {Sample(0, 999, 2500, noHum), Sample(1, 40)},
         0,
         2,
         1,
         40,
         kValid},
        {"no valid value keeps the first status",
         {Sample(0, 5, 2500, noHum), Sample(1, 7, 2500, csPresent)},
         0,
         2,
         1,
         5,
         noHum},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TCsvMean m = TruncatedMean(c.samples, c.first, c.n, c.last, TCsvQuantity::Humidity);
        EXPECT_EQ(m.Raw, c.raw);
        EXPECT_EQ(m.Status, c.status);
    }
}

TEST(CsvDataLine, AnAverageWithoutValidValuesReadsAsItsStatus) {
    TRecording r = Record(4);
    r.Samples[2].Meas.Status = kValid & ~csHumidityValid;
    r.Samples[3].Meas.Status = kValid & ~csHumidityValid;
    TCsvChoice c = NoHeader();
    c.Reduction = TCsvReduction::Average;
    c.N = 2;
    const TCsvSource s = Source(r);
    TCsvLines lines(s, c, {0, 3});
    EXPECT_EQ(lines.DataFields(0), std::vector<std::string>{"5.0"});
    EXPECT_EQ(lines.DataFields(2), std::vector<std::string>{"Err"});
}

TEST(CsvDataLine, FieldsInFileOrderEachQuoted) {
    TRecording r = Record(1);
    r.Samples[0].Block = 3;
    r.Samples[0].Meas.Status = csPresent | csSensorOn | csAnalysing | csOpen | csTemperatureValid;
    TCsvChoice c;
    c.ColRecord = c.ColCond = true;
    std::string line;
    TCsvLines(Source(r), c, {0, 0}).DataLine(line, 0);
    EXPECT_EQ(line, "\"3\",\"01.01.2026 00:00:00\",\"Err\",\"25.0\",\"1\",\"0\",\"1\",\"1\",\"0\"");
    TCsvChoice none = NoHeader();
    none.ColHum = false;
    line.clear();
    TCsvLines(Source(r), none, {0, 0}).DataLine(line, 0);
    EXPECT_EQ(line, "");
}

TEST(CsvDataLine, KeptTextsAgreeWithTheTextsFormedAnew) {
    TRecording r;
    r.Headers.push_back(Block(1, 0));
    const TMeasStamp stamps[] = {
        {1, 1, 2026, 0},      {1, 1, 2026, 59},    {1, 1, 2026, 60},    {1, 1, 2026, 3599},
        {1, 1, 2026, 3600},   {1, 1, 2026, 86399}, {2, 1, 2026, 86399}, {2, 1, 2026, 5},
        {0, 0, 0, 61},        {0, 0, 0, 359999},   {0, 0, 0, 360000},   {1, 1, 2026, 359940},
        {1, 1, 2026, 360001}, {31, 12, 1999, 121}, {31, 12, 1999, 121},
    };
    const int16_t values[] = {0, 1, -1, 7501, -7501, INT16_MAX, INT16_MIN, 1, 0};
    const uint16_t statuses[] = {kValid, kValid & ~csHumidityValid, csPresent, 0};
    std::size_t i = 0;
    for (const TMeasStamp& stamp : stamps)
        for (const int16_t v : values) {
            TSample s = Sample(0, v, static_cast<int16_t>(-v), statuses[i++ % 4]);
            s.Stamp = stamp;
            r.Samples.push_back(s);
        }
    for (const uint8_t dateFmt : {0, 1, 2, 3}) {
        SCOPED_TRACE(static_cast<int>(dateFmt));
        TCsvSource source = Source(r);
        source.DateFmt = dateFmt;
        source.ExtendedMode = dateFmt == 1;
        TCsvChoice choice;
        TCsvLines lines(source, choice, ExportRange(source, false));
        for (std::size_t k = 0; k < r.Samples.size(); ++k) {
            const TSample& s = r.Samples[k];
            std::string time;
            SampleTimeText(dateFmt, s.Stamp, time);
            const std::vector<std::string> expected = {
                time, HumValueText(1, s.Meas.Status, s.Meas.Humidity, source.ExtendedMode),
                TempValueText(0, s.Meas.Status, s.Meas.Temperature, source.ExtendedMode)};
            EXPECT_EQ(lines.DataFields(static_cast<int64_t>(k)), expected) << k;
        }
    }
}

TEST(CsvQuoting, DataFieldsAlwaysHeaderCellsOnlyWhenNeeded) {
    struct Case {
        std::string text, data, header;
    };
    const Case cases[] = {
        {"", "\"\"", ""},
        {"abc", "\"abc\"", "abc"},
        {"a b", "\"a b\"", "\"a b\""},
        {"a,b", "\"a,b\"", "\"a,b\""},
        {"a\"b", "\"a\"\"b\"", "\"a\"\"b\""},
        {"a\tb", "\"a\tb\"", "\"a\tb\""},
        {"\xB0"
         "C",
         "\"\xB0"
         "C\"",
         "\xB0"
         "C"},
        {"12.5", "\"12.5\"", "12.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string data;
        AppendQuoted(data, c.text);
        EXPECT_EQ(data, c.data);
        EXPECT_EQ(CommaTextCell(c.text), c.header);
    }
}

TEST(CsvFile, HeaderLayoutsAsWholeFiles) {
    struct Case {
        const char* name;
        bool progInfo, titles;
        std::string file;
    };
    const std::string data = "\"01.01.2026 00:00:00\",\"0.0\",\"25.0\"\r\n"
                             "\"01.01.2026 00:00:10\",\"10.0\",\"25.0\"\r\n";
    const std::string titles = "\"Date / Time\",\"Hum [%RH]\",\"T [\xB0"
                               "C]\"\r\n";
    const Case cases[] = {
        {"titles", false, true, titles + data},
        {"no titles", false, false, ",,\r\n" + data},
        {"program info and titles", true, true,
         "\"Tessaly MC V2.31 \",,\r\n,,\r\n" + titles + data},
    };
    const TRecording r = Record(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCsvChoice choice;
        choice.RowProgInfo = c.progInfo;
        choice.RowColTitles = c.titles;
        const TWritten w = Export(Source(r), choice);
        EXPECT_EQ(w.Error, "");
        EXPECT_EQ(w.Text, c.file);
    }
}

TEST(CsvFile, ReductionAndRecordsInfoAsAWholeFile) {
    TRecording r = Record(3);
    r.Headers = {Block(1, 2), Block(2, 1)};
    r.Samples[2].Block = 2;
    TCsvChoice c;
    c.ColHum = c.ColTemp = false;
    c.RowRedMethod = c.RowRecInfo = true;
    c.Reduction = TCsvReduction::Average;
    c.N = 3;
    const TWritten w = Export(Source(r), c);
    EXPECT_EQ(w.Error, "");
    EXPECT_EQ(w.Text, "\"Reduction Method:\",\"Average of n readings\",3,,,,\r\n"
                      ",,,,,,\r\n"
                      "\"Samplerate: [s]\",10,,,,,\r\n"
                      "Record,Start,Stop,\"Chamber Name\",\"SW Version\",Serialnumber,Samples\r\n"
                      "1,\"01.01.2026 00:00:00\",\"01.01.2026 00:00:10\",\"Ch 1\",V2.10,123,2\r\n"
                      "2,\"01.01.2026 00:00:20\",\"01.01.2026 00:00:20\",\"Ch 1\",V2.10,123,1\r\n"
                      ",,,,,,\r\n"
                      "\"Date / Time\",,,,,,\r\n"
                      "\"01.01.2026 00:00:00\"\r\n");
}

TEST(CsvPreview, SampleNrColumnOnlyWithInstrumentLogBlocks) {
    struct Case {
        const char* devId;
        std::vector<std::string> titles, block;
    };
    const Case cases[] = {
        {"ZEPHORA",
         {"Record", "Start", "Stop", "Chamber Name", "SW Version", "Serialnumber", "Samples",
          "PC User", "Instrument User"},
         {"1", "01.01.2026 00:00:00", "01.01.2026 00:00:00", "Ch 1", "V2.10", "123", "1", "anna",
          "op,1"}},
        {"MORLISK",
         {"Record", "Sample Nr.", "Start", "Stop", "Chamber Name", "SW Version", "Serialnumber",
          "Samples", "PC User", "Instrument User"},
         {"1", "0007", "01.01.2026 00:00:00", "01.01.2026 00:00:00", "Ch 1", "V2.10", "123", "1",
          "anna", "op,1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.devId);
        TRecording r = Record(1);
        r.Headers[0] = Block(1, 1, c.devId);
        r.Headers[0].InstrSampleNo = 7;
        TCsvChoice choice;
        choice.RowRecInfo = choice.RowUserInfo = true;
        TCsvPreview p;
        p.Build(Source(r), choice);
        const TStringGridData& g = p.Grid();
        for (std::size_t i = 0; i < c.titles.size(); ++i) {
            EXPECT_EQ(g.Cell(static_cast<int32_t>(i) + 1, 2), c.titles[i]) << i;
            EXPECT_EQ(g.Cell(static_cast<int32_t>(i) + 1, 3), c.block[i]) << i;
        }
        EXPECT_EQ(g.ColCount(), static_cast<int32_t>(c.titles.size()) + 1);
    }
}

TEST(CsvPreview, BlockCountsThatDisagreeWithTheSamplesLeaveTimesEmpty) {
    TRecording r = Record(3);
    r.Headers = {Block(1, 2), Block(2, 5), Block(3, 0)};
    TCsvChoice c;
    c.RowRecInfo = true;
    TCsvPreview p;
    p.Build(Source(r), c);
    const TStringGridData& g = p.Grid();
    // Block 2 starts at sample 2 and claims to end at 6.
    EXPECT_EQ(g.Cell(2, 4), "01.01.2026 00:00:20");
    EXPECT_EQ(g.Cell(3, 4), "");
    EXPECT_EQ(g.Cell(2, 5), "");
    EXPECT_EQ(g.Cell(3, 5), "");
    EXPECT_EQ(g.Cell(7, 5), "0");
}

TEST(CsvPreview, ShowsTheFirstFiftyRowsNumberedUnderColumnLetters) {
    const TRecording r = Record(200);
    TCsvChoice c;
    c.RowProgInfo = true;
    TCsvPreview p;
    p.Build(Source(r), c);
    const TStringGridData& g = p.Grid();
    EXPECT_EQ(p.HeaderRows(), 4);
    EXPECT_EQ(g.RowCount(), kCsvPreviewRows);
    EXPECT_EQ(g.ColCount(), 4);
    for (int32_t col = 1; col < 4; ++col)
        EXPECT_EQ(g.Cell(col, 0), std::string(1, static_cast<char>('A' + col - 1)));
    for (int32_t row = 1; row < g.RowCount(); ++row)
        EXPECT_EQ(g.Cell(0, row), std::to_string(row));
    EXPECT_EQ(g.Cell(2, 4), "0.0");
    EXPECT_EQ(g.Cell(1, 50), "01.01.2026 00:07:40");
    EXPECT_EQ(CsvCounts(p, Source(r), c).Rows, 203);

    // Rebuilt without data columns: the header alone, the old cells gone.
    c.ColDateTime = c.ColHum = c.ColTemp = false;
    p.Build(Source(r), c);
    EXPECT_EQ(p.Grid().RowCount(), 3);
    EXPECT_EQ(p.Grid().ColCount(), 2);
    EXPECT_EQ(p.Grid().Cell(1, 2), "");
}

TEST(CsvPreview, AColumnBeyondTheLastLabelsOnlyTheNewLast) {
    TCsvPreview p;
    p.AddCell(4, "x", true);
    EXPECT_EQ(p.Grid().ColCount(), 5);
    EXPECT_EQ(p.Grid().Cell(4, 0), "D");
    EXPECT_EQ(p.Grid().Cell(3, 0), "");
    EXPECT_EQ(p.Grid().Cell(0, 2), "2");
    EXPECT_EQ(p.HeaderLine(2), ",,,x");
}

TEST(CsvFile, TheCodePageConversionSeesEveryLine) {
    const TRecording r = Record(1);
    const TWritten w = Export(Source(r), TCsvChoice(), [](std::string& Lines) {
        for (char& c : Lines)
            if (c == '\xB0')
                c = '*';
    });
    EXPECT_EQ(w.Text, "\"Date / Time\",\"Hum [%RH]\",\"T [*C]\"\r\n"
                      "\"01.01.2026 00:00:00\",\"0.0\",\"25.0\"\r\n");
}

TEST(CsvFile, AFailedWriteKeepsThePreviousFile) {
    const TRecording r = Record(50000);
    TCsvPreview preview;
    const TCsvSource source = Source(r);
    preview.Build(source, TCsvChoice());
    TMemFileSystem fs;
    fs["out.csv"] = {'o', 'l', 'd'};
    fs.WriteBudget = 100000;
    const TCsvFileArgs args = Args(preview, source, TCsvChoice());
    EXPECT_EQ(ExportToFile(fs, "out.csv", args),
              "Cannot save the file out.csv! The previous file is unchanged.");
    EXPECT_EQ(fs["out.csv"], (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(fs.Files.size(), 1u);
}

TEST(CsvFile, TheProgressMovesOnlyWhenItsPositionChanges) {
    const TRecording r = Record(20000);
    TCsvSource source = Source(r);
    source.SelAnchor = 100;
    source.SelEnd = 19999;
    TCsvChoice c;
    c.Selection = true;
    TCsvPreview preview;
    preview.Build(source, c);
    TMemFileSystem fs;
    std::vector<int64_t> told;
    TCsvFileArgs args = Args(preview, source, c);
    args.ProgressSteps = 200;
    args.Progress = [&told](int64_t Next) { told.push_back(Next); };
    ASSERT_EQ(ExportToFile(fs, "out.csv", args), "");
    ASSERT_EQ(told.size(), 200u);
    EXPECT_EQ(told.front(), 100);
    for (std::size_t i = 1; i < told.size(); ++i)
        EXPECT_GT(told[i], told[i - 1]);
}

TEST(CsvSettings, DefaultsRoundTripAndNInRange) {
    TMemRegistry reg;
    const TCsvChoice d = LoadCsvChoice(reg);
    EXPECT_EQ(d.Reduction, TCsvReduction::None);
    EXPECT_EQ(d.N, 2);
    EXPECT_TRUE(d.ColDateTime && d.ColHum && d.ColTemp && d.RowColTitles);
    EXPECT_FALSE(d.ColRecord || d.ColCond || d.RowProgInfo || d.RowRedMethod || d.RowRecInfo ||
                 d.RowUserInfo);
    EXPECT_EQ(reg.Get(kRegCsvExport, "CSV_N"), TRegValue::Dword(2));

    TCsvChoice c;
    c.Reduction = TCsvReduction::EveryNth;
    c.N = 17;
    c.ColRecord = c.RowUserInfo = true;
    c.ColHum = false;
    StoreCsvChoice(reg, c);
    const TCsvChoice back = LoadCsvChoice(reg);
    EXPECT_EQ(back.Reduction, TCsvReduction::EveryNth);
    EXPECT_EQ(back.N, 17);
    EXPECT_TRUE(back.ColRecord && back.RowUserInfo);
    EXPECT_FALSE(back.ColHum);
    EXPECT_EQ(reg.Get(kRegCsvExport, "CSV_NOR"), TRegValue::Dword(0));

    for (const uint32_t stored : {0u, 1u, 1001u, 0xFFFFFFFFu}) {
        reg.Put(kRegCsvExport, "CSV_N", TRegValue::Dword(stored));
        const int32_t n = LoadCsvChoice(reg).N;
        EXPECT_TRUE(n >= kCsvMinN && n <= kCsvMaxN) << stored;
    }
}

} // namespace

// The Morlisk log: header lines, column titles, samples, intervals and joined logs.
#include "app/import/MKLog_.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_.h"
#include "tests/app/record/MemFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kFile = "C:\\logs\\run_LOG.txt";

// Header lines of a log (five, so the title line is the sixth), optionally with
// one value replaced.
TLines HeaderLines(const std::string& Name = "", const std::string& Value = "") {
    TLines lines = {"Instrument\tMK-Lab 7\t0012345", "Software\tV1.07", "Sensor\tS-aw\t4711",
                    "Sample_nr\t#42", "Comment\tnone"};
    for (std::string& line : lines)
        if (!Name.empty() && line.starts_with(Name + "\t"))
            line = Value.empty() ? "Removed" : Name + "\t" + Value;
    return lines;
}

const std::string kAwTitles = "Time abs.\tTime rel.\taw\t\xB0"
                              "C\tDntX\tFlags";
const std::string kRhTitles = "Time abs.\tTime rel.\t%RH\t\xB0"
                              "F\tDntX\tFlags";

// A log with the given title line and data lines.
TLines Log(const std::string& Titles, const std::vector<std::string>& Data) {
    TLines lines = HeaderLines();
    lines.push_back(Titles);
    lines.insert(lines.end(), Data.begin(), Data.end());
    return lines;
}

// Data lines for the aw titles from Start seconds on, Step apart.
std::vector<std::string> AwData(int Count, int Start, int Step, const std::string& Flags = "1") {
    std::vector<std::string> data;
    for (int i = 0; i < Count; ++i)
        data.push_back(SecsToHMS(Start + i * Step) + "\t0:00:00\t0.7512\t24.80\t12.5\t" + Flags);
    return data;
}

class TProgressLog : public ILogProgress {
public:
    void Start(const std::string& FileName, int32_t Max) override {
        Name = FileName;
        this->Max = Max;
    }
    void Position(int32_t Position) override { Positions.push_back(Position); }
    std::string Name;
    int32_t Max = -1;
    std::vector<int32_t> Positions;
};

// A record being imported into, as the record window holds it.
class ImportTest : public testing::Test {
protected:
    // Imports Lines as the record's next block with the log's own units.
    void Import(const TLines& Lines, const std::string& Name = kFile) {
        TMKLogHeader header;
        GetMKLogHeaderInfo(Lines, header, Name);
        AddLogBlockHeader(Data, header, "tester");
        TLogRead read;
        read.TitleLine = FindTitleLine(Lines, Name);
        read.Columns = BuildColumns(Lines[static_cast<std::size_t>(read.TitleLine)]);
        read.HumMode = LogHumMode(read.Columns);
        read.TempUnit = LogTempUnit(read.Columns);
        ImportLogSamples(Data, Stats, Lines, read, Name, Progress);
    }
    std::string ImportError(const TLines& Lines, const std::string& Name = kFile) {
        try {
            Import(Lines, Name);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }

    TRecording Data;
    TRecStatistics Stats;
    TProgressLog Progress;
};

TEST(MKLogHeader, ValuesAreSplitAndCopied) {
    TMKLogHeader h;
    std::memset(&h, 0x55, sizeof h);
    GetMKLogHeaderInfo(HeaderLines(), h, kFile);
    EXPECT_STREQ(h.InstrName, "MK-Lab 7");
    EXPECT_STREQ(h.InstrSerial, "0012345");
    EXPECT_STREQ(h.SWVers, "V1.07");
    EXPECT_STREQ(h.Sensor1, "S-aw");
    EXPECT_STREQ(h.Sensor2, "4711");
    EXPECT_EQ(h.SampleNr, 42);
}

TEST(MKLogHeader, NamesIgnoreCaseAndTheFirstMatchCounts) {
    TLines lines = HeaderLines();
    lines[0] = "INSTRUMENT\tno serial tab";
    lines.push_back("Instrument\tlater\t999");
    TMKLogHeader h;
    GetMKLogHeaderInfo(lines, h, kFile);
    // Without a TAB in the value the whole value is the serial.
    EXPECT_STREQ(h.InstrName, "");
    EXPECT_STREQ(h.InstrSerial, "no serial tab");
}

TEST(MKLogHeader, LongTextsFillTheFieldWithoutTerminator) {
    TMKLogHeader h;
    GetMKLogHeaderInfo(HeaderLines("Software", std::string(30, 'v')), h, kFile);
    EXPECT_EQ(std::string(h.SWVers, sizeof h.SWVers), std::string(21, 'v'));
    EXPECT_STREQ(h.Sensor1, "S-aw"); // the next field is untouched
}

TEST(MKLogHeader, MissingOrBadValuesRaise) {
    const std::string noData = Format(sNoExpectedData, kFile.c_str());
    const struct {
        const char* Name;
        const char* Value; // "" removes the line
        std::string Error;
    } cases[] = {
        {"Instrument", "", noData},
        {"Software", "", noData},
        {"Sensor", "", noData},
        {"Sample_nr", "", noData},
        {"Sample_nr", "#", Format(sInvalidInteger, "")},
        {"Sample_nr", "#4x", Format(sInvalidInteger, "4x")},
        // The block header keeps 16 bits: a number above them is refused, not wrapped.
        {"Sample_nr", "#32768", Format(sInvalidInteger, "32768")},
        {"Sample_nr", "#-32769", Format(sInvalidInteger, "-32769")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + " " + c.Value);
        TMKLogHeader h;
        try {
            GetMKLogHeaderInfo(HeaderLines(c.Name, c.Value), h, kFile);
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            EXPECT_EQ(e.what(), c.Error);
        }
    }
    // An empty value counts as missing.
    TLines lines = HeaderLines();
    lines[1] = "Software\t";
    TMKLogHeader h;
    EXPECT_THROW(GetMKLogHeaderInfo(lines, h, kFile), std::runtime_error);
    GetMKLogHeaderInfo(HeaderLines("Sample_nr", "#32767"), h, kFile);
    EXPECT_EQ(h.SampleNr, 32767);
}

TEST(MKLogHeader, BlockHeaderOfTheLog) {
    TMKLogHeader h;
    GetMKLogHeaderInfo(HeaderLines("Sample_nr", "#-2"), h, kFile);
    TRecording data;
    EXPECT_EQ(AddLogBlockHeader(data, h, "tester"), 1);
    EXPECT_EQ(AddLogBlockHeader(data, h, "tester"), 2);
    const TRecBlockHeader b = data.Headers[1];
    EXPECT_EQ(+b.Block, 2);
    EXPECT_EQ(+b.Interface, 0);
    EXPECT_EQ(+b.Chamber, 0);
    EXPECT_STREQ(b.SWVers, "V1.07");
    EXPECT_STREQ(b.SerialPart, "0012345");
    EXPECT_STREQ(b.Name, "MK-Lab 7");
    EXPECT_STREQ(b.DevUser, "---");
    EXPECT_STREQ(b.OSUser, "tester");
    EXPECT_STREQ(b.DevId, "MORLISK");
    EXPECT_EQ(+b.InstrSampleNo, 0xFFFE);
    EXPECT_EQ(+b.Interval, 0u);
    EXPECT_EQ(+b.Count, 0u);
}

TEST(MKLogColumns, IndexesAreTheTabsBeforeTheFirstOccurrence) {
    const struct {
        std::string Titles;
        int Title;
        int Column;
    } cases[] = {
        {kAwTitles, CTaw, 2},
        {kAwTitles, CTC, 3},
        {kAwTitles, CTDntX, 4},
        {kAwTitles, CTFlags, 5},
        {kAwTitles, CTRH, -1},
        {kAwTitles, CTF, -1},
        // "aw" inside an earlier "aw nc" takes that column; so does "°C" inside "°Cch".
        {"Time abs.\taw nc\taw", CTaw, 1},
        {"Time abs.\taw nc\taw", CTawnc, 1},
        {"Time abs.\t\xB0"
         "Cch\t\xB0"
         "C",
         CTC, 1},
        {"Time abs.\t%RH nc\t%RH", CTRH, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Titles + " / " + colinfos[static_cast<std::size_t>(c.Title)]);
        EXPECT_EQ(BuildColumns(c.Titles)[static_cast<std::size_t>(c.Title)], c.Column);
    }
}

TEST(MKLogColumns, UnitsFollowTheColumns) {
    EXPECT_EQ(LogHumMode(BuildColumns(kAwTitles)), 0);
    EXPECT_EQ(LogTempUnit(BuildColumns(kAwTitles)), 0);
    EXPECT_EQ(LogHumMode(BuildColumns(kRhTitles)), 1);
    EXPECT_EQ(LogTempUnit(BuildColumns(kRhTitles)), 1);
}

TEST(MKLogColumns, TheTitleLineIsLookedForFromTheSixthLine) {
    TLines lines = Log(kAwTitles, {});
    EXPECT_EQ(FindTitleLine(lines, kFile), 5);
    lines[0] = "Instrument\tTime abs.";
    EXPECT_EQ(FindTitleLine(lines, kFile), 5);
    const std::string none = Format(sNoColumnTitles, kFile.c_str());
    lines.pop_back();
    lines[4] = kAwTitles; // the fifth line is too early
    try {
        FindTitleLine(lines, kFile);
        ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(e.what(), none);
    }
}

TEST_F(ImportTest, AwAndDegreesCSamples) {
    Import(Log(kAwTitles, {"10:00:00\t0:00:00\t0.7512\t24.80\t12.5\t1",
                           "10:00:10\t0:00:10\t0.7498\t-3.25\t-0.4\t1"}));
    ASSERT_EQ(Data.Samples.size(), 2u);
    const TSample s = Data.Samples[1];
    EXPECT_EQ(+s.Stamp.Day, 0);
    EXPECT_EQ(+s.Stamp.Year, 0);
    EXPECT_EQ(+s.Stamp.Seconds, 36010u);
    EXPECT_EQ(int{s.Meas.Humidity}, 7498);
    EXPECT_EQ(int{s.Meas.Temperature}, -325);
    EXPECT_EQ(int{s.Meas.Third}, -4);
    EXPECT_EQ(+s.Meas.Elapsed, 0u);
    EXPECT_EQ(+s.Block, 1);
    EXPECT_EQ(+Data.Headers[0].Interval, 10u);
    EXPECT_EQ(+Data.Headers[0].Count, 2u);
    EXPECT_EQ(Stats.Count, 3); // the next measurement to enter
    EXPECT_EQ(Stats.Min[0], 7498);
    EXPECT_EQ(Stats.Max[1], 2480);
}

TEST_F(ImportTest, RelativeHumidityAndDegreesFSamples) {
    Import(Log(kRhTitles, {"23:59:58\t0:00:00\t45.55\t77.0\t1.0\t1"}));
    const TSample s = Data.Samples[0];
    EXPECT_EQ(int{s.Meas.Humidity}, 4555);
    EXPECT_EQ(int{s.Meas.Temperature}, 2500); // 25 °C
    EXPECT_EQ(+s.Stamp.Seconds, 86398u);
}

TEST_F(ImportTest, TheWindowsUnitsChooseTheColumns) {
    // The record window shows %RH and °F although the log has aw and °C columns too.
    const TLines lines = Log("Time abs.\taw\t%RH\t\xB0"
                             "C\t\xB0"
                             "F",
                             {"1:00:00\t0.5\t50.25\t20.0\t50.0"});
    TMKLogHeader h;
    GetMKLogHeaderInfo(lines, h, kFile);
    AddLogBlockHeader(Data, h, "");
    TLogRead read;
    read.TitleLine = 5;
    read.Columns = BuildColumns(lines[5]);
    read.HumMode = 1;
    read.TempUnit = 1;
    ImportLogSamples(Data, Stats, lines, read, kFile, Progress);
    EXPECT_EQ(int{Data.Samples[0].Meas.Humidity}, 5025);
    EXPECT_EQ(int{Data.Samples[0].Meas.Temperature}, 1000);
    read.HumMode = 0;
    read.TempUnit = 0;
    ImportLogSamples(Data, Stats, lines, read, kFile, Progress);
    EXPECT_EQ(int{Data.Samples[1].Meas.Humidity}, 5000);
    EXPECT_EQ(int{Data.Samples[1].Meas.Temperature}, 2000);
}

TEST_F(ImportTest, AwNcBeforeAwGivesTheHumidity) {
    Import(Log("Time abs.\taw nc\taw\t\xB0"
               "C",
               {"0:00:01\t0.6000\t0.7000\t25.0"}));
    EXPECT_EQ(int{Data.Samples[0].Meas.Humidity}, 6000);
}

TEST_F(ImportTest, FlagsGiveStatusAndMarks) {
    const struct {
        const char* Flags;
        uint16_t Status;
        uint8_t Mark;
    } cases[] = {
        {"0", 0x8040, 0},          {"1", 0x8070, 0},
        {"6", 0x8043, 0},          {"8", 0x8048, 0},
        {"16", 0x8040, 0},         {"32", 0x8040, smBlockStart},
        {"64", 0x8040, smStopped}, {"96", 0x8040, smBlockStart},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Flags);
        TRecording data;
        TMKLogHeader h;
        const TLines lines = Log(kAwTitles, AwData(1, 0, 1, c.Flags));
        GetMKLogHeaderInfo(lines, h, kFile);
        AddLogBlockHeader(data, h, "");
        TLogRead read;
        read.TitleLine = 5;
        read.Columns = BuildColumns(kAwTitles);
        ImportLogSamples(data, Stats, lines, read, kFile, Progress);
        EXPECT_EQ(+data.Samples[0].Meas.Status, c.Status);
        EXPECT_EQ(+data.Samples[0].Mark, c.Mark);
    }
}

TEST_F(ImportTest, ABlockStartStopsThePreviousSampleAlsoAcrossLogs) {
    Import(Log(kAwTitles, {"0:00:00\t\t0.5\t20\t1\t33", "0:00:02\t\t0.5\t20\t1\t33"}));
    EXPECT_EQ(+Data.Samples[0].Mark, smStopped); // its block start replaced by exactly 2
    EXPECT_EQ(+Data.Samples[1].Mark, smBlockStart);
    Import(Log(kAwTitles, {"0:01:00\t\t0.5\t20\t1\t33", "0:01:02\t\t0.5\t20\t1\t1"}));
    EXPECT_EQ(+Data.Samples[1].Mark, smStopped);
    EXPECT_EQ(+Data.Samples[2].Mark, smBlockStart);
    EXPECT_EQ(+Data.Samples[2].Block, 2);
}

TEST_F(ImportTest, MissingColumnsAndFieldsReadAsZero) {
    // No "DntX" and no "aw" column (index -1), and a line shorter than the titles.
    Import(Log("Time abs.\t\xB0"
               "C\tFlags",
               {"0:00:05\t21.5", "0:00:07\t21.5\t1"}));
    const TSample s = Data.Samples[0];
    EXPECT_EQ(int{s.Meas.Humidity}, 0);
    EXPECT_EQ(int{s.Meas.Third}, 0);
    EXPECT_EQ(int{s.Meas.Temperature}, 2150);
    EXPECT_EQ(+s.Meas.Status, 0x8040);
    EXPECT_EQ(+Data.Samples[1].Meas.Status, 0x8070);
}

TEST_F(ImportTest, AFlagsTitleInTheFirstColumnIsNotRead) {
    Import(Log("Flags\tTime abs.\taw", {"1\t0:00:01\t0.5"}));
    EXPECT_EQ(+Data.Samples[0].Meas.Status, 0x8040);
}

TEST_F(ImportTest, BadFieldsFailTheFileWithTheConversionMessage) {
    const struct {
        std::string Line;
        std::string Error;
    } cases[] = {
        {"0:00:00\t\t0.5\t20.0\t\t1", Format(sConversionError, "", sFloatKind)},
        {"0:00:00\t\t0,5\t20.0\t1\t1", Format(sConversionError, "0,5", sFloatKind)},
        {"0:00:00\t\tx\t20.0\t1\t1", Format(sConversionError, "x", sFloatKind)},
        {"0:00:00\t\t0.5\t20.0\t1\tF", Format(sConversionError, "F", sIntegerKind)},
        {"0:0x\t\t0.5\t20.0\t1\t1", Format(sConversionError, "", sIntegerKind)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Line);
        Data = {};
        EXPECT_EQ(ImportError(Log(kAwTitles, {c.Line})), c.Error);
    }
}

TEST_F(ImportTest, PointIsTheSeparatorWhateverTheLocaleSays) {
    SetDecimalSeparator(',');
    Import(Log(kAwTitles, AwData(1, 0, 1)));
    EXPECT_EQ(int{Data.Samples[0].Meas.Humidity}, 7512);
    EXPECT_EQ(DecimalSeparator(), ',');
    Data = {};
    EXPECT_NE(ImportError(Log(kAwTitles, {"0:00:00\t\t0.5\t20\t1,5\t1"})), "");
    EXPECT_EQ(DecimalSeparator(), ',');
    SetDecimalSeparator('.');
}

TEST_F(ImportTest, BlankLinesAfterTheDataAreSkipped) {
    TLines lines = Log(kAwTitles, AwData(3, 0, 10));
    lines.insert(lines.begin() + 7, "");
    lines.push_back("");
    lines.push_back("  \t ");
    Import(lines);
    EXPECT_EQ(Data.Samples.size(), 3u);
    EXPECT_EQ(+Data.Headers[0].Count, 3u);
    EXPECT_EQ(+Data.Headers[0].Interval, 10u);
}

TEST_F(ImportTest, IntervalOfTheFirstTwoSamples) {
    const struct {
        std::vector<std::string> Data;
        uint32_t Interval; // 0: refused
    } cases[] = {
        {AwData(1, 100, 0), 2},
        {AwData(5, 100, 60), 60},
        // Equal times, a midnight crossing, missing times: no interval of a
        // sample rate, refused rather than stored as 0 or a wrapped value.
        {AwData(3, 100, 0), 0},
        {{"23:59:59\t\t0.5\t20\t1\t1", "0:00:09\t\t0.5\t20\t1\t1"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Data[0]);
        Data = {};
        if (c.Interval == 0) {
            EXPECT_EQ(ImportError(Log(kAwTitles, c.Data)),
                      Format(sInvalidSampleRate, kFile.c_str()));
            continue;
        }
        Import(Log(kAwTitles, c.Data));
        EXPECT_EQ(+Data.Headers[0].Interval, c.Interval);
    }
    // Times in a column that the data lines do not reach count as 0.
    Data = {};
    EXPECT_EQ(ImportError(Log("aw\tTime abs.", {"0.5", "0.5"})),
              Format(sInvalidSampleRate, kFile.c_str()));
}

TEST_F(ImportTest, ALogWithoutDataIsRejected) {
    const std::string error = Format(sNoDatapoints, kFile.c_str());
    EXPECT_EQ(ImportError(Log(kAwTitles, {})), error);
    Data = {};
    EXPECT_EQ(ImportError(Log(kAwTitles, {"", " "})), error);
    Data = {};
    EXPECT_THROW(Import(Log(kAwTitles, {})), ELogRejected);
}

TEST_F(ImportTest, JoinedLogsAppendOneBlockEach) {
    Import(Log(kAwTitles, AwData(100, 0, 10)), "a_LOG.txt");
    Import(Log(kAwTitles, AwData(50, 5000, 10)), "b_LOG.txt");
    ASSERT_EQ(Data.Headers.size(), 2u);
    EXPECT_EQ(Data.Samples.size(), 150u);
    EXPECT_EQ(+Data.Headers[0].Count, 100u);
    EXPECT_EQ(+Data.Headers[1].Count, 50u);
    EXPECT_EQ(+Data.Headers[1].Interval, 10u);
    EXPECT_EQ(+Data.Samples[99].Block, 1);
    EXPECT_EQ(+Data.Samples[100].Block, 2);
    // A joined log with one line takes the first block's interval.
    Import(Log(kAwTitles, AwData(1, 9000, 0)), "c_LOG.txt");
    EXPECT_EQ(+Data.Headers[2].Interval, 10u);
    EXPECT_EQ(Data.Samples.size(), 151u);
}

TEST_F(ImportTest, AJoinedLogWithAnotherIntervalFails) {
    Import(Log(kAwTitles, AwData(3, 0, 10)), "a_LOG.txt");
    try {
        Import(Log(kAwTitles, AwData(3, 100, 60)), "b_LOG.txt");
        ADD_FAILURE() << "no error";
    } catch (const ELogRejected& e) {
        EXPECT_EQ(std::string(e.what()), Format(sOtherSampleRate, "b_LOG.txt"));
    }
}

TEST_F(ImportTest, ProgressMovesOnlyWhenTheBarDoes) {
    Import(Log(kAwTitles, AwData(3, 0, 10)));
    EXPECT_EQ(Progress.Name, kFile);
    EXPECT_EQ(Progress.Max, 3);
    EXPECT_EQ(Progress.Positions, (std::vector<int32_t>{0, 1, 2}));
    Progress = {};
    Import(Log(kAwTitles, AwData(20000, 0, 10))); // joined: positions go on from 3
    EXPECT_EQ(Progress.Max, 20003);
    ASSERT_FALSE(Progress.Positions.empty());
    EXPECT_EQ(Progress.Positions.front(), 3);
    EXPECT_LE(Progress.Positions.size(), static_cast<std::size_t>(kProgressSteps));
    for (std::size_t i = 1; i < Progress.Positions.size(); ++i)
        EXPECT_LT(Progress.Positions[i - 1], Progress.Positions[i]);
}

TEST(TextLines, FilesAreReadWholeOrNotAtAll) {
    TMemFileSystem files;
    const std::string text = "Instrument\tMK\r\nSoftware\tV1\n";
    files["a_LOG.txt"].assign(text.begin(), text.end());
    EXPECT_EQ(LoadTextLines(files, "a_LOG.txt"), (TLines{"Instrument\tMK", "Software\tV1"}));
    const struct {
        const char* Name;
        const char* Error;
    } cases[] = {{"missing_LOG.txt", sCannotOpenFile}, {"locked_LOG.txt", sCannotOpenFile}};
    files["locked_LOG.txt"];
    files.Locked.insert("locked_LOG.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            LoadTextLines(files, c.Name);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), Format(c.Error, c.Name));
        }
    }
}

TEST(TextLines, LfAndCrLfEndLines) {
    EXPECT_EQ(SplitTextLines("a\r\nb\nc"), (TLines{"a", "b", "c"}));
    EXPECT_EQ(SplitTextLines("a\n\nb\r\n"), (TLines{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("a\rb\r\r\n"), (TLines{"a\rb\r"}));
    EXPECT_EQ(SplitTextLines(""), TLines{});
}

} // namespace

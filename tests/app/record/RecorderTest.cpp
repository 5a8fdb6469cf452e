#include "app/record/Recorder_.h"

#include "app/base/LittleEndian_.h"
#include "MemFiles.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <stdexcept>

namespace {

class TFakeView : public IRecorderView {
public:
    TRecordAnswer AskOverwriteAppend(const std::string& Text, bool AppendEnabled) override {
        Asked.push_back(Text);
        AppendOffered.push_back(AppendEnabled);
        if (OnAsk)
            OnAsk();
        if (Answers.empty())
            return TRecordAnswer::Cancel;
        const TRecordAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    std::string NodeText() override { return Node; }
    void FillBlockHeader(TRecBlockHeader& Header) override {
        Header.Interface = 3;
        Header.Chamber = 1;
        std::strcpy(Header.Name, "Lab 2");
        std::strcpy(Header.DevUser, "anna");
        if (OnFill)
            OnFill();
    }
    TChamberInfoTemp ChamberInfo() override {
        TChamberInfoTemp info;
        info.RecordFileName = "C:\\rec.zqr";
        return info;
    }
    void UpdateUnits() override { ++Units; }
    void SampleAdded() override {
        ++Added;
        if (OnSample)
            OnSample();
    }
    void LastSampleChanged() override { ++LastChanged; }
    void DataCleared() override { ++Cleared; }
    void StatisticsChanged() override { ++StatsShown; }
    void ButtonsChanged() override {}
    void RecordingChanged() override {}
    void MarkUnsaved() override { ++Marked; }
    uint64_t NowMs() override { return Now; }

    std::string Node = "* Lab 2";
    std::deque<TRecordAnswer> Answers;
    std::vector<std::string> Asked;
    std::vector<bool> AppendOffered;
    std::function<void()> OnAsk, OnFill, OnSample;
    int Units = 0, Added = 0, LastChanged = 0, Cleared = 0, StatsShown = 0, Marked = 0;
    uint64_t Now = 0;
};

class TInfoLog : public IInfoBox {
public:
    void ShowInfo(const std::string& Text) override { Shown.push_back(Text); }
    std::vector<std::string> Shown;
};

// 12:00:00 on 10.12.2026 plus Second.
TChamberLive Event(int32_t Second, int16_t Humidity = 5000,
                   TChamberStatus Status = csPresent | csSensorOn) {
    TChamberLive live = {};
    live.Stamp = {10, 12, 2026, static_cast<uint32_t>(12 * 3600 + Second)};
    live.Meas.Humidity = Humidity;
    live.Meas.Temperature = 2500;
    live.Meas.Third = 100;
    live.Meas.Status = Status;
    return live;
}

class RecorderTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Files.Open(Names), TTempFiles::TOpenResult::Created); }

    // Events one second apart, stamped First, First + 1, ...
    void Feed(int32_t First, int Count) {
        for (int i = 0; i < Count; ++i)
            Rec.AddLiveSample(Event(First + i));
    }
    std::vector<uint8_t>& SampleFile() { return Fs[Names.Samples]; }
    std::vector<uint8_t>& BlockFile() { return Fs[Names.Blocks]; }
    uint32_t FileCount(std::size_t Block) {
        return GetU32(BlockFile().data() + Block * kBlockHeaderSize + kBlockCountOffset);
    }
    // Seconds after 12:00:00 and marks of the samples.
    std::vector<std::pair<int, int>> Taken() {
        std::vector<std::pair<int, int>> t;
        for (const TSample& s : Rec.Data().Samples)
            t.emplace_back(static_cast<int>(s.Stamp.Seconds) - 12 * 3600, s.Mark);
        return t;
    }

    TMemFileSystem Fs;
    TTempFiles Files{Fs};
    TTempFileNames Names = TempFileNames("T/", "cZEPHORA#0x0000", 42, 1);
    TScriptedBoxes Boxes;
    TInfoLog Info;
    TFakeView View;
    TRecorder Rec{View, Files, Boxes, Info, "C:\\Temp\\"};
};

TEST_F(RecorderTest, IntervalCountsEventsAndTheFileFollows) {
    ASSERT_EQ(Rec.SampleRateBox().ItemIndex(), 2); // 10 s
    Rec.Record();
    EXPECT_TRUE(View.Asked.empty()); // an empty window asks nothing
    ASSERT_TRUE(Rec.Recording());
    for (int i = 0; i < 25; ++i) {
        Rec.AddLiveSample(Event(i));
        ASSERT_EQ(SampleFile().size(), Rec.Data().Samples.size() * kSampleSize);
        ASSERT_EQ(FileCount(0), Rec.Data().Samples.size());
    }
    EXPECT_EQ(Taken(), (std::vector<std::pair<int, int>>{{0, 1}, {10, 0}, {20, 0}}));
    EXPECT_EQ(BlockFile().size(), kBlockHeaderSize);
    // + compares a copy: a packed field is no place for a reference.
    EXPECT_EQ(+Rec.Data().Headers[0].Block, 1);
    EXPECT_EQ(+Rec.Data().Headers[0].Interval, 10u);
    EXPECT_EQ(std::string(Rec.Data().Headers[0].Name), "Lab 2");
    EXPECT_EQ(View.Added, 3);
    EXPECT_TRUE(Rec.Modified());
    EXPECT_EQ(View.Marked, 3);
    EXPECT_EQ(View.Units, 25);
}

TEST_F(RecorderTest, GapsAndAbsentChambers) {
    const TChamberStatus absent = csSensorOn;
    struct Ev {
        int32_t second;
        TChamberStatus status = csPresent | csSensorOn;
        bool badDate = false;
    };
    struct Case {
        const char* what;
        int rateIndex;
        std::vector<Ev> events;
        std::vector<std::pair<int, int>> taken;
    } cases[] = {
        {"3 s is no interruption", 0, {{0}, {3}, {6}}, {{0, 1}, {3, 0}, {6, 0}}},
        {"5 s gap: the next event at once, then the countdown from it",
         2,
         {{0}, {5}, {6}, {7}, {8}, {9}, {10}, {11}, {12}, {13}, {14}, {15}, {16}},
         {{0, 1}, {6, 4}, {16, 0}}},
        {"a step back of 4 s", 2, {{10}, {6}, {7}}, {{10, 1}, {7, 4}}},
        {"absent chamber", 2, {{0}, {1, absent}, {2, absent}, {3}, {4}}, {{0, 1}, {3, 4}}},
        {"invalid date", 2, {{0}, {1, csPresent, true}, {2}, {3}}, {{0, 1}, {3, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRecorder rec{View, Files, Boxes, Info, "T/"};
        rec.SampleRateBox().SetItemIndex(c.rateIndex);
        rec.Record();
        for (const Ev& e : c.events) {
            TChamberLive live = Event(e.second, 5000, e.status);
            if (e.badDate)
                live.Stamp.Month = 13;
            rec.AddLiveSample(live);
        }
        std::vector<std::pair<int, int>> taken;
        for (const TSample& s : rec.Data().Samples)
            taken.emplace_back(static_cast<int>(s.Stamp.Seconds) - 12 * 3600, s.Mark);
        EXPECT_EQ(taken, c.taken);
    }
}

TEST_F(RecorderTest, AppendKeepsTheIntervalOfTheBlockBefore) {
    Rec.Record();
    Feed(0, 3);
    Rec.Stop();
    Rec.SampleRateBox().SetItemIndex(0); // 1 s, changed after Stop
    View.Answers = {TRecordAnswer::Append};
    Rec.Record();
    ASSERT_EQ(View.Asked.size(), 1u);
    EXPECT_EQ(View.Asked[0], "Lab 2 allready contains data!");
    EXPECT_TRUE(View.AppendOffered[0]);
    ASSERT_EQ(Rec.Data().Headers.size(), 2u);
    EXPECT_EQ(+Rec.Data().Headers[1].Block, 2);
    EXPECT_EQ(+Rec.Data().Headers[1].Interval, 10u);
    EXPECT_EQ(Rec.SampleRateBox().ItemIndex(), 2);
    Feed(100, 11);
    EXPECT_EQ(+Rec.Data().Headers[1].Count, 2u);
    EXPECT_EQ(+Rec.Data().Samples[1].Mark, smBlockStart);
    EXPECT_EQ(+Rec.Data().Samples[1].Block, 2);
    EXPECT_EQ(BlockFile().size(), 2 * kBlockHeaderSize);
    EXPECT_EQ(FileCount(1), 2u);
}

TEST_F(RecorderTest, OverwriteTruncatesBothFilesAndStartsAtBlockOne) {
    Rec.Record();
    Feed(0, 11);
    Rec.Stop();
    View.Answers = {TRecordAnswer::Append};
    Rec.Record();
    Feed(50, 1);
    Rec.Stop();
    ASSERT_EQ(Rec.Data().Headers.size(), 2u);

    View.Answers = {TRecordAnswer::Overwrite};
    Boxes.Script = {{mrOk}};
    Rec.Record();
    ASSERT_EQ(Boxes.Shown.size(), 1u);
    EXPECT_EQ(Boxes.Shown[0].Msg,
              "Lab 2 contains unsaved data.\r\rDo you really want to overwrite?");
    EXPECT_EQ(Boxes.Shown[0].Position, poScreenCenter);
    ASSERT_EQ(Rec.Data().Headers.size(), 1u);
    EXPECT_EQ(+Rec.Data().Headers[0].Block, 1);
    EXPECT_TRUE(Rec.Data().Samples.empty());
    EXPECT_EQ(SampleFile().size(), 0u);
    EXPECT_EQ(BlockFile().size(), kBlockHeaderSize);
    EXPECT_TRUE(Rec.DataReplaced());
    Feed(200, 1);
    EXPECT_EQ(Taken(), (std::vector<std::pair<int, int>>{{200, 1}}));
    EXPECT_EQ(SampleFile().size(), kSampleSize);
}

TEST_F(RecorderTest, RecordWhileRecordingOffersOverwriteOrCancel) {
    Rec.Record();
    Feed(0, 2);
    View.Answers = {TRecordAnswer::Cancel};
    Rec.Record();
    EXPECT_FALSE(View.AppendOffered.at(0));
    EXPECT_TRUE(Rec.Recording());
    EXPECT_TRUE(Rec.Buttons().RecordChecked);
    EXPECT_EQ(Rec.Data().Samples.size(), 1u);

    View.Answers = {TRecordAnswer::Overwrite};
    Boxes.Script = {{mrCancel}};
    Rec.Record();
    EXPECT_TRUE(Rec.Recording());
    EXPECT_EQ(Rec.Data().Samples.size(), 1u);

    View.Answers = {TRecordAnswer::Overwrite};
    Boxes.Script = {{mrOk}};
    Rec.Record();
    EXPECT_TRUE(Rec.Recording());
    EXPECT_EQ(Rec.Data().Headers.size(), 1u);
    Feed(10, 1);
    EXPECT_EQ(Taken(), (std::vector<std::pair<int, int>>{{10, 1}}));
}

TEST_F(RecorderTest, CancelOnAStoppedWindowResetsTheButtons) {
    Rec.Record();
    Feed(0, 1);
    Rec.Stop();
    View.Answers = {TRecordAnswer::Cancel};
    Rec.Record();
    EXPECT_FALSE(Rec.Recording());
    EXPECT_FALSE(Rec.Buttons().RecordChecked);
    EXPECT_TRUE(Rec.Buttons().SampleRateEnabled);
    EXPECT_EQ(Rec.Data().Headers.size(), 1u);
}

TEST_F(RecorderTest, OverwriteKeepsALoadedCustomInterval) {
    TRecording loaded;
    TRecBlockHeader h = {};
    h.Interval = 7;
    h.Count = 3;
    AppendBlock(loaded, h);
    for (int i = 0; i < 3; ++i) {
        TSample s = {};
        s.Stamp = Event(i * 7).Stamp;
        s.Block = 1;
        loaded.Samples.push_back(s);
    }
    Rec.SetData(loaded, false);
    ASSERT_EQ(Rec.SampleRateBox().ItemIndex(), kFixedSampleRates);
    EXPECT_EQ(Rec.SampleRateBox().Items().back(), "00:07 min");

    View.Answers = {TRecordAnswer::Overwrite};
    Boxes.Script = {{mrOk}};
    Rec.Record();
    ASSERT_EQ(Rec.Data().Headers.size(), 1u);
    EXPECT_EQ(+Rec.Data().Headers[0].Interval, 7u);
    EXPECT_EQ(Rec.SampleRateBox().ItemIndex(), kFixedSampleRates);
}

TEST_F(RecorderTest, StopMarksTheLastSampleInMemoryAndFile) {
    Rec.Record();
    Feed(0, 11);
    Rec.Stop();
    EXPECT_FALSE(Rec.Recording());
    EXPECT_EQ(+Rec.Data().Samples.back().Mark, smStopped);
    EXPECT_EQ(SampleFile()[kSampleSize + 20], smStopped);
    EXPECT_EQ(SampleFile()[20], smBlockStart);
    EXPECT_EQ(View.LastChanged, 1);
    // The first event after Record is sampled at once.
    View.Answers = {TRecordAnswer::Append};
    Rec.Record();
    Feed(30, 1);
    EXPECT_EQ(Rec.Data().Samples.size(), 3u);
}

TEST_F(RecorderTest, StopWithoutSamplesWritesNothing) {
    Rec.Record();
    const auto before = Fs.Files;
    const int flushes = Fs.Flushes;
    Rec.Stop();
    EXPECT_EQ(Fs.Files.at(Names.Samples).Data, before.at(Names.Samples).Data);
    EXPECT_EQ(Fs.Files.at(Names.Blocks).Data, before.at(Names.Blocks).Data);
    EXPECT_EQ(Fs.Flushes, flushes);
    EXPECT_EQ(View.LastChanged, 0);
}

TEST_F(RecorderTest, StatisticsCoverEveryEventAcrossBlocks) {
    Rec.SampleRateBox().SetItemIndex(1); // 2 s
    Rec.Record();
    Rec.AddLiveSample(Event(0, 4000));
    Rec.AddLiveSample(Event(1, 6000)); // not sampled, still counted
    Rec.Stop();
    View.Answers = {TRecordAnswer::Append};
    Rec.Record();
    Rec.AddLiveSample(Event(10, 8000));
    Rec.AddLiveSample(Event(11, 0, csSensorOn)); // absent: not counted
    const TRecStatistics& s = Rec.Statistics();
    EXPECT_EQ(s.Count, 4);
    EXPECT_EQ(s.Min[0], 4000);
    EXPECT_EQ(s.Max[0], 8000);
    EXPECT_DOUBLE_EQ(s.Mean[0], 6000.0);
    EXPECT_EQ(s.Min[1], 2500);
    EXPECT_DOUBLE_EQ(s.Mean[2], 100.0);
    EXPECT_EQ(View.StatsShown, 3);
    Rec.ClearData();
    EXPECT_EQ(Rec.Statistics().Count, 1);
    EXPECT_TRUE(Rec.Empty());
}

TEST_F(RecorderTest, ShortWriteIsShownAndRecordingGoesOn) {
    Rec.Record();
    Fs.WriteBudget = 0;
    Feed(0, 1);
    ASSERT_EQ(Info.Shown.size(), 1u);
    EXPECT_EQ(Info.Shown[0], "Cannot write into the temporary file in directory C:\\Temp\\!");
    EXPECT_TRUE(Rec.Recording());
    EXPECT_EQ(Rec.Data().Samples.size(), 1u);
}

TEST_F(RecorderTest, ResumeAppendsABlockWhoseFirstSampleIsMarked) {
    Rec.Record();
    Feed(0, 11);
    TRecording restored = Rec.Data(); // as a crash left it: not stopped
    TRecorder rec{View, Files, Boxes, Info, "T/"};
    rec.SetData(restored, true);
    rec.Resume();
    EXPECT_TRUE(View.Asked.empty());
    ASSERT_EQ(rec.Data().Headers.size(), 2u);
    EXPECT_EQ(+rec.Data().Headers[1].Interval, 10u);
    rec.AddLiveSample(Event(500));
    EXPECT_EQ(+rec.Data().Samples.back().Mark, smInterrupted);
    EXPECT_EQ(+rec.Data().Samples.back().Block, 2);
}

// Mended: an exception went on into the link library's timer callback without
// the recording being ended.
TEST_F(RecorderTest, ExceptionStopsTheRecordingAndIsPassedOn) {
    Rec.Record();
    Feed(0, 1);
    View.OnSample = [] { throw std::runtime_error("out of memory"); };
    EXPECT_THROW(Feed(1, 10), std::runtime_error);
    EXPECT_FALSE(Rec.Recording());
    EXPECT_FALSE(Rec.Buttons().RecordChecked);
    ASSERT_EQ(Rec.Data().Samples.size(), 2u);
    EXPECT_EQ(+Rec.Data().Samples.back().Mark, smStopped);
    EXPECT_EQ(SampleFile()[kSampleSize + 20], smStopped);
    EXPECT_NO_THROW(Feed(11, 20)); // stopped: no more samples, nothing thrown
}

// Mended: an event that arrives while a box of Record or of an event is open
// (the library's timer runs in its modal loop) indexed an empty header array
// after Overwrite had cleared the data.
TEST_F(RecorderTest, EventsDuringModalBoxesAreIgnored) {
    Rec.Record();
    Feed(0, 1);
    int nested = 0;
    int unitsBefore = 0;
    const auto event = [&] {
        ++nested;
        unitsBefore = View.Units;
        Rec.AddLiveSample(Event(1));
    };
    View.OnAsk = event; // the recording still runs: the event counts
    View.Answers = {TRecordAnswer::Overwrite};
    Boxes.Script = {{mrOk}};
    View.OnFill = [&] {
        event();
        EXPECT_EQ(View.Units, unitsBefore) << "an event entered the cleared data";
    };
    Rec.Record();
    EXPECT_EQ(nested, 2);
    EXPECT_TRUE(Rec.Data().Samples.empty());
    ASSERT_EQ(Rec.Data().Headers.size(), 1u);
    EXPECT_EQ(+Rec.Data().Headers[0].Count, 0u);

    View.OnSample = event;
    Feed(2, 1);
    EXPECT_EQ(nested, 3);
    EXPECT_EQ(Taken(), (std::vector<std::pair<int, int>>{{2, 1}}));
    EXPECT_EQ(+Rec.Data().Headers[0].Count, 1u);
}

// Mended: the custom interval came out 0 or wrapped for equal or falling
// stamps, and the recording then took every event.
TEST(SampleRateBox, CustomIntervalIsAtLeastOneSecond) {
    const auto samples = [](std::vector<uint32_t> Seconds) {
        std::vector<TSample> s;
        for (uint32_t sec : Seconds) {
            TSample x = {};
            x.Stamp.Seconds = sec;
            s.push_back(x);
        }
        return s;
    };
    struct Case {
        const char* what;
        std::vector<uint32_t> seconds;
        int32_t graphInterval;
        int32_t expected;
    } cases[] = {
        {"from samples 1 and 2", {100, 160, 220}, 7, 60},
        {"midnight between 1 and 2", {86390, 10, 70}, 7, 60},
        {"equal stamps", {100, 100, 100}, 7, 7},
        {"falling stamps", {300, 200, 100}, 7, 7},
        {"fewer than three samples", {100, 160}, 7, 7},
        {"graph interval 0 from a file", {100, 100, 100}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSampleRateBox box;
        box.SetSampleRate(c.graphInterval); // not in the table: the custom entry
        ASSERT_TRUE(box.ShowsCustom());
        EXPECT_EQ(box.GetSampleRate(samples(c.seconds)), c.expected);
    }
}

} // namespace

#include "app/record/TempRestore_.h"

#include "app/base/LittleEndian_.h"
#include "app/tree/TreeNodes_.h"
#include "MemFiles.h"
#include "tests/app/support/FakeRecordWindow.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

TEST(TempFileNames, KeyAndNames) {
    char zephora[21] = "ZEPHORA";
    char full[21];
    std::memset(full, 'K', sizeof full); // no terminator
    struct Case {
        const char* what;
        const char (*devId)[21];
        uint16_t pid;
        int32_t interfaceIndex;
        const char* key;
    };
    const Case cases[] = {
        {"serial link", &zephora, 0, 3, "cZEPHORA#0x0000"},
        {"last serial index", &zephora, 0, 255, "cZEPHORA#0x0000"},
        {"USB link", &zephora, 0x3e9b, 256, "ZEPHORA#0x3E9B"},
        {"other product", &zephora, 0x3e9c, 256, "ZEPHORA#0x3E9C"},
        {"id filling its field", &full, 1, 300, "KKKKKKKKKKKKKKKKKKKKK#0x0001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DeviceKey(*c.devId, c.pid, c.interfaceIndex), c.key);
    }
    const TTempFileNames n = TempFileNames("C:\\Temp\\", "cZEPHORA#0x0000", 2000300, 5);
    EXPECT_EQ(n.Samples, "C:\\Temp\\cZEPHORA#0x0000_2000300_5~.tmp");
    EXPECT_EQ(n.Blocks, "C:\\Temp\\cZEPHORA#0x0000_2000300_5h~.tmp");
    EXPECT_EQ(n.ChamberInfo, "C:\\Temp\\cZEPHORA#0x0000_2000300_5c~.tmp");
}

TChamberInfoTemp Info(const std::string& FileName) {
    TChamberInfoTemp i;
    i.RecordFileName = FileName;
    i.InfoText = "line 1\r\nline 2";
    std::memcpy(i.Name, "Sample A", 8);
    return i;
}

TEST(ChamberInfoTemp, LayoutAndLengthChecks) {
    const std::vector<uint8_t> b = EncodeChamberInfo(Info("C:\\r.zqr"));
    ASSERT_EQ(b.size(), 8u + 8 + 14 + 41);
    EXPECT_EQ(GetU32(b.data()), 8u);
    EXPECT_EQ(GetU32(b.data() + 4), 14u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "C:\\r.zqr");
    EXPECT_EQ(b[8 + 8 + 14], 'S');

    const auto back = DecodeChamberInfo(b.data(), b.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->RecordFileName, "C:\\r.zqr");
    EXPECT_EQ(back->InfoText, "line 1\r\nline 2");
    EXPECT_STREQ(back->Name, "Sample A");

    struct Case {
        const char* what;
        uint32_t l1, l2;
        std::size_t size;
    };
    const Case bad[] = {
        {"one byte short", 8, 14, b.size() - 1},
        {"one byte long", 8, 14, b.size() + 1},
        // 0xFFFFFFF8 + 0x20 wraps to 0x18 in 32 bits: the size would "match".
        {"lengths that wrap", 0xFFFFFFF8u, 0x20, 8 + 0x18 + 41},
        {"huge lengths", 0xFFFFFFFFu, 0xFFFFFFFFu, b.size()},
        {"shorter than the lengths", 0, 0, 20},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> f(c.size, 0);
        PutU32(f.data(), c.l1);
        if (f.size() >= 8)
            PutU32(f.data() + 4, c.l2);
        EXPECT_FALSE(DecodeChamberInfo(f.data(), f.size()));
    }
}

TSample S(uint16_t Block, uint8_t Mark = 0) {
    TSample s{};
    s.Stamp = {1, 2, 2026, 100};
    s.Meas.Humidity = static_cast<int16_t>(Block * 100);
    s.Mark = Mark;
    s.Block = Block;
    return s;
}

TRecBlockHeader H(uint16_t Block, uint32_t Count) {
    TRecBlockHeader h{};
    h.Block = Block;
    h.Interval = 1;
    h.Count = Count;
    std::memcpy(h.Name, "Chamber 1", 9);
    return h;
}

// The shapes a crash or a fault can leave in the files, checked and rescued.
struct TShape {
    const char* what;
    TRecording data;
    bool consistent;
};

std::vector<TShape> Shapes() {
    return {
        {"nothing", {}, true},
        {"one header, no samples", {{H(1, 0)}, {}}, true},
        {"two blocks", {{H(1, 2), H(2, 1)}, {S(1, 1), S(1), S(2, 1)}}, true},
        {"empty block in the middle", {{H(1, 1), H(2, 0), H(3, 1)}, {S(1, 1), S(3, 1)}}, true},
        {"empty block at the end", {{H(1, 2), H(2, 0)}, {S(1, 1), S(1)}}, true},
        {"last count one short", {{H(1, 2), H(2, 1)}, {S(1, 1), S(1), S(2, 1), S(2)}}, false},
        {"a count beyond the samples", {{H(1, 3)}, {S(1, 1), S(1)}}, false},
        {"samples without a header", {{}, {S(1, 1)}}, false},
        {"a sample of a missing block", {{H(1, 1)}, {S(1, 1), S(2, 1)}}, false},
        {"a wrong block number", {{H(1, 2)}, {S(1, 1), S(2)}}, false},
        {"a header numbered wrong", {{H(1, 1), H(3, 1)}, {S(1, 1), S(2, 1)}}, false},
        {"a sample back in an earlier block",
         {{H(1, 1), H(2, 2)}, {S(1, 1), S(2, 1), S(1)}},
         false},
        {"block number 0", {{H(1, 2)}, {S(0), S(1)}}, false},
    };
}

TEST(CheckTempData, ShapesOfTheFiles) {
    for (const TShape& s : Shapes()) {
        SCOPED_TRACE(s.what);
        EXPECT_EQ(CheckTempData(s.data), s.consistent);
    }
}

TEST(RescueTempData, KeepsEverySampleAndMakesTheDataConsistent) {
    for (const TShape& s : Shapes()) {
        SCOPED_TRACE(s.what);
        TRecording d = s.data;
        RescueTempData(d);
        EXPECT_TRUE(CheckTempData(d));
        ASSERT_EQ(d.Samples.size(), s.data.Samples.size());
        // + compares a copy: a packed field is no place for a reference.
        for (std::size_t i = 0; i < d.Samples.size(); ++i)
            EXPECT_EQ(+d.Samples[i].Meas.Humidity, +s.data.Samples[i].Meas.Humidity);
        EXPECT_GE(d.Headers.size(), s.data.Headers.size());
        // memcmp wants real blocks even for no bytes.
        if (s.consistent && !d.Headers.empty()) {
            EXPECT_EQ(std::memcmp(d.Headers.data(), s.data.Headers.data(),
                                  d.Headers.size() * kBlockHeaderSize),
                      0);
        }
    }
}

TEST(RescueTempData, AMissingHeaderIsMadeFromTheOneBefore) {
    struct Case {
        const char* what;
        uint16_t secondBlock;
    };
    // A lost header, and a wild number that must not make thousands of blocks.
    const Case cases[] = {{"next block", 2}, {"block far beyond", 60000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRecording d{{H(1, 1)}, {S(1, 1), S(c.secondBlock, 1), S(c.secondBlock)}};
        RescueTempData(d);
        ASSERT_EQ(d.Headers.size(), 2u);
        EXPECT_EQ(+d.Headers[1].Block, 2);
        EXPECT_EQ(+d.Headers[1].Count, 2u);
        EXPECT_STREQ(d.Headers[1].Name, "Chamber 1");
    }
}

class TInfoRecorder : public IInfoBox {
public:
    void ShowInfo(const std::string& Text) override { Shown.push_back(Text); }
    std::vector<std::string> Shown;
};

// A chamber window's temporary files over files in memory, opened and restored
// the way a new window does.
class TempFilesFixture : public ::testing::Test {
protected:
    TTempRestoreRequest Request(bool AutoRestore) {
        TTempRestoreRequest r;
        r.Names = names;
        r.InterfaceName = "COM3";
        r.Chamber = 2;
        r.AutoRestore = AutoRestore;
        return r;
    }
    TTempRestoreOutcome Reopen(bool AutoRestore) {
        files = std::make_unique<TTempFiles>(fs);
        return OpenTempFiles(*files, Request(AutoRestore), boxes, info);
    }
    // A recording of Blocks blocks of PerBlock samples, mirrored sample by sample.
    TRecording Record(int Blocks, int PerBlock, uint64_t StepMs = 1000) {
        TRecording d;
        for (int b = 1; b <= Blocks; ++b) {
            EXPECT_TRUE(AppendBlock(d, H(0, 0)));
            EXPECT_TRUE(files->Append(d, now));
            for (int i = 0; i < PerBlock; ++i) {
                d.Samples.push_back(S(static_cast<uint16_t>(b), i == 0 ? smBlockStart : 0));
                ++d.Headers.back().Count;
                now += StepMs;
                EXPECT_TRUE(files->Append(d, now));
            }
        }
        return d;
    }
    std::vector<uint8_t>& Bytes(const std::string& Name) { return fs[Name]; }

    TMemFileSystem fs;
    TTempFileNames names = TempFileNames("T\\", "cZ#0x0000", 7, 2);
    std::unique_ptr<TTempFiles> files;
    TScriptedBoxes boxes;
    TInfoRecorder info;
    uint64_t now = 0;
};

TEST_F(TempFilesFixture, FreshFilesAreCreatedEmpty) {
    fs[names.Blocks] = std::vector<uint8_t>(435, 1); // stale, without a sample file
    const TTempRestoreOutcome r = Reopen(false);
    EXPECT_EQ(r.Kind, TTempRestoreOutcome::TKind::Fresh);
    EXPECT_TRUE(files->IsOpen());
    EXPECT_TRUE(Bytes(names.Samples).empty());
    EXPECT_TRUE(Bytes(names.Blocks).empty());
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(TempFilesFixture, SamplesAndCountsLandAtTheirOffsets) {
    Reopen(false);
    const TRecording d = Record(2, 2);
    ASSERT_EQ(Bytes(names.Samples).size(), 4 * kSampleSize);
    ASSERT_EQ(Bytes(names.Blocks).size(), 2 * kBlockHeaderSize);
    EXPECT_EQ(GetU32(Bytes(names.Blocks).data() + 50), 2u);
    EXPECT_EQ(GetU32(Bytes(names.Blocks).data() + 435 + 50), 2u);
    EXPECT_EQ(GetU16(Bytes(names.Samples).data() + 3 * 23 + 21), 2);
}

TEST_F(TempFilesFixture, QuestionThenRestoreMarksTheDataModified) {
    Reopen(false);
    const TRecording d = Record(1, 3);
    boxes.Script = {{mrYes}};
    const TTempRestoreOutcome r = Reopen(false);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Msg, "A temporary file exists for COM3 Chamber2. Try to Restore?");
    EXPECT_EQ(boxes.Shown[0].DlgType, mtWarning);
    EXPECT_EQ(r.Kind, TTempRestoreOutcome::TKind::Restored);
    EXPECT_EQ(r.Data.Samples.size(), 3u);
    EXPECT_TRUE(r.Modified) << "closing the window must not drop the restored samples silently";
    EXPECT_FALSE(r.ResumeRecording) << "only an automatic restore resumes";
    EXPECT_TRUE(info.Shown.empty());
}

TEST_F(TempFilesFixture, RestoreOfOnlyAHeaderIsNotModified) {
    Reopen(false);
    Record(1, 0);
    const TTempRestoreOutcome r = Reopen(true);
    EXPECT_EQ(r.Kind, TTempRestoreOutcome::TKind::Restored);
    EXPECT_EQ(r.Data.Headers.size(), 1u);
    EXPECT_FALSE(r.Modified);
    EXPECT_FALSE(r.ResumeRecording);
}

TEST_F(TempFilesFixture, DecliningTheRestoreStartsEmpty) {
    Reopen(false);
    Record(1, 3);
    files->WriteChamberInfo(Info("C:\\old.zqr"));
    boxes.Script = {{mrNo}};
    const TTempRestoreOutcome r = Reopen(false);
    EXPECT_EQ(r.Kind, TTempRestoreOutcome::TKind::Fresh);
    EXPECT_TRUE(Bytes(names.Samples).empty());
    EXPECT_TRUE(Bytes(names.Blocks).empty());
    EXPECT_TRUE(Bytes(names.ChamberInfo).empty());
}

TEST_F(TempFilesFixture, AutomaticRestoreResumesOnlyAnUnstoppedRecording) {
    for (const bool stopped : {false, true}) {
        SCOPED_TRACE(stopped ? "stopped" : "not stopped");
        fs.Files.clear();
        Reopen(true);
        TRecording d = Record(1, 2);
        if (stopped) {
            d.Samples.back().Mark |= smStopped;
            ASSERT_TRUE(files->Stop(d));
        }
        info.Shown.clear();
        const TTempRestoreOutcome r = Reopen(true);
        EXPECT_TRUE(boxes.Shown.empty()) << "no question";
        EXPECT_EQ(info.Shown,
                  std::vector<std::string>{"Temporary data has been restored automatically!"});
        EXPECT_EQ(r.ResumeRecording, !stopped);
        EXPECT_EQ(r.Data.Samples.back().Mark & smStopped, stopped ? smStopped : 0);
    }
}

// The program dies before each write of a recording in turn; the next window
// restores every sample whose write was done, and the data are consistent.
TEST_F(TempFilesFixture, CrashBeforeEachWriteLosesOnlyTheSampleBeingWritten) {
    for (int64_t writes = 0; writes < 14; ++writes) {
        SCOPED_TRACE(writes);
        fs.Files.clear();
        Reopen(false);
        fs.WritesBeforeCrash = writes;
        std::size_t samplesWritten = 0;
        try {
            TRecording d;
            for (uint16_t b = 1; b <= 2; ++b) {
                AppendBlock(d, H(0, 0));
                files->Append(d, now);
                for (int i = 0; i < 3; ++i) {
                    d.Samples.push_back(S(b, i == 0 ? smBlockStart : 0));
                    ++d.Headers.back().Count;
                    files->Append(d, now += 1000);
                    samplesWritten = d.Samples.size();
                }
            }
        } catch (const TSimulatedCrash&) {
        }
        fs.WritesBeforeCrash = -1;
        boxes.Script = {{mrYes}};
        const TTempRestoreOutcome r = Reopen(true);
        ASSERT_EQ(r.Kind, TTempRestoreOutcome::TKind::Restored);
        EXPECT_GE(r.Data.Samples.size(), samplesWritten);
        EXPECT_LE(r.Data.Samples.size(), samplesWritten + 1);
        EXPECT_TRUE(CheckTempData(r.Data));
        // What the restore settled on is in the files too.
        TRecording again;
        ASSERT_TRUE(files->ReadData(again));
        EXPECT_TRUE(CheckTempData(again));
        EXPECT_EQ(again.Samples.size(), r.Data.Samples.size());
    }
}

TEST_F(TempFilesFixture, CrashBetweenSampleAndCountAsksAndKeepsAllSamples) {
    Reopen(false);
    TRecording d = Record(1, 2);
    fs.WritesBeforeCrash = 1; // the sample is written, its count is not
    d.Samples.push_back(S(1));
    ++d.Headers.back().Count;
    EXPECT_THROW(files->Append(d, now), TSimulatedCrash);
    fs.WritesBeforeCrash = -1;

    boxes.Script = {{mrYes}, {mrYes}};
    const TTempRestoreOutcome r = Reopen(false);
    ASSERT_EQ(boxes.Shown.size(), 2u);
    EXPECT_EQ(boxes.Shown[1].Msg,
              "Temporary files contains inconsistent data!\rTry to rescue data?");
    EXPECT_EQ(boxes.Shown[1].DlgType, mtConfirmation);
    EXPECT_EQ(r.Kind, TTempRestoreOutcome::TKind::Restored);
    ASSERT_EQ(r.Data.Samples.size(), 3u);
    EXPECT_EQ(+r.Data.Headers[0].Count, 3u);
    EXPECT_EQ(GetU32(Bytes(names.Blocks).data() + 50), 3u) << "the rescue rewrote the files";
}

TEST_F(TempFilesFixture, DeclinedRescueClearsDataAndTheRecordFileName) {
    Reopen(false);
    Record(1, 2);
    files->WriteChamberInfo(Info("C:\\saved.zqr"));
    Bytes(names.Blocks)[0] = 9; // header number wrong
    boxes.Script = {{mrYes}, {mrNo}};
    const TTempRestoreOutcome r = Reopen(false);
    EXPECT_EQ(r.Kind, TTempRestoreOutcome::TKind::Discarded);
    EXPECT_TRUE(r.Data.Samples.empty());
    ASSERT_TRUE(r.ChamberInfo);
    EXPECT_EQ(r.ChamberInfo->RecordFileName, "");
    EXPECT_STREQ(r.ChamberInfo->Name, "Sample A") << "the rest of the chamber info stays";
    EXPECT_TRUE(Bytes(names.Samples).empty());
    const auto onDisk = files->ReadChamberInfo();
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(onDisk->RecordFileName, "");
}

TEST_F(TempFilesFixture, OverwriteForgetsTheSavedFileSoACrashCannotSaveOverIt) {
    Reopen(false);
    Record(1, 2);
    files->WriteChamberInfo(Info("C:\\saved.zqr"));
    ASSERT_TRUE(files->Clear(Info("C:\\saved.zqr")));
    EXPECT_TRUE(Bytes(names.Samples).empty());
    EXPECT_TRUE(Bytes(names.Blocks).empty());
    const TTempRestoreOutcome r = Reopen(true);
    ASSERT_TRUE(r.ChamberInfo);
    EXPECT_EQ(r.ChamberInfo->RecordFileName, "");
    EXPECT_EQ(r.ChamberInfo->InfoText, "line 1\r\nline 2");
}

TEST_F(TempFilesFixture, PartialTrailingSampleIsCutSoLaterSamplesStayAligned) {
    Reopen(false);
    TRecording d = Record(1, 2);
    Bytes(names.Samples).resize(2 * 23 + 4); // a sample cut short by the crash
    Bytes(names.Blocks).resize(435 + 7);
    const TTempRestoreOutcome r = Reopen(true);
    ASSERT_EQ(r.Data.Samples.size(), 2u);
    EXPECT_EQ(Bytes(names.Samples).size(), 2 * 23u);
    EXPECT_EQ(Bytes(names.Blocks).size(), 435u);

    d = r.Data;
    d.Samples.push_back(S(1));
    ++d.Headers.back().Count;
    ASSERT_TRUE(files->Append(d, now));
    EXPECT_EQ(Bytes(names.Samples).size(), 3 * 23u);
    EXPECT_EQ(GetU16(Bytes(names.Samples).data() + 2 * 23 + 21), 1);
}

TEST_F(TempFilesFixture, ShortWritesAreCaughtUpAtTheirPlace) {
    struct Case {
        const char* what;
        int64_t budget;
        TFileError error;
    };
    const Case cases[] = {
        {"short write", 10, TFileError::Io},
        {"disk full", 0, TFileError::DiskFull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs.Files.clear();
        Reopen(false);
        TRecording d = Record(1, 2);
        fs.WriteBudget = c.budget;
        fs.BudgetError = c.error;
        d.Samples.push_back(S(1));
        ++d.Headers.back().Count;
        EXPECT_FALSE(files->Append(d, now));
        EXPECT_EQ(Bytes(names.Samples).size() % 23, 0u) << "never a partial record";

        fs.WriteBudget = -1;
        d.Samples.push_back(S(1));
        ++d.Headers.back().Count;
        ASSERT_TRUE(files->Append(d, now));
        TRecording back;
        ASSERT_TRUE(files->ReadData(back));
        EXPECT_EQ(back.Samples.size(), 4u);
        EXPECT_TRUE(CheckTempData(back));
    }
}

TEST_F(TempFilesFixture, PowerLossKeepsWhatTheFlushRulesPutOnDisk) {
    Reopen(false);
    TRecording d;
    AppendBlock(d, H(0, 0));
    ASSERT_TRUE(files->Append(d, now)); // a block opens: flushed
    for (int i = 0; i < 12; ++i) {      // 12 s of samples: one flush after 10 s
        d.Samples.push_back(S(1, i == 0 ? smBlockStart : 0));
        ++d.Headers.back().Count;
        ASSERT_TRUE(files->Append(d, now += 1000));
    }
    fs.PowerLoss();
    TRecording back;
    ASSERT_TRUE(files->ReadData(back));
    EXPECT_EQ(back.Headers.size(), 1u);
    EXPECT_GE(back.Samples.size(), 10u);

    Reopen(false);
    d = Record(1, 3);
    d.Samples.back().Mark |= smStopped;
    ASSERT_TRUE(files->Stop(d));
    fs.PowerLoss();
    ASSERT_TRUE(files->ReadData(back));
    ASSERT_EQ(back.Samples.size(), 3u) << "Stop flushes";
    EXPECT_EQ(back.Samples.back().Mark & smStopped, smStopped);
}

TEST_F(TempFilesFixture, LockedFilesAreKeptAndReported) {
    Reopen(false);
    Record(1, 2);
    const std::vector<uint8_t> samples = Bytes(names.Samples);
    for (const std::string* locked : {&names.Samples, &names.Blocks}) {
        SCOPED_TRACE(*locked);
        fs.Locked = {*locked};
        boxes.Shown.clear();
        boxes.Script = {{mrYes}};
        const TTempRestoreOutcome r = Reopen(true);
        EXPECT_EQ(r.Kind, TTempRestoreOutcome::TKind::NoTempFiles);
        EXPECT_FALSE(files->IsOpen());
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0].DlgType, mtError);
        EXPECT_NE(boxes.Shown[0].Msg.find(names.Samples), std::string::npos);
        EXPECT_EQ(Bytes(names.Samples), samples) << "crash data are never wiped";
        EXPECT_TRUE(files->Append(TRecording{}, 0)) << "recording goes on without temp files";
    }
}

TEST_F(TempFilesFixture, CannotCreateIsReported) {
    fs.Locked = {names.ChamberInfo};
    EXPECT_EQ(Reopen(false).Kind, TTempRestoreOutcome::TKind::CannotCreate);
}

TEST_F(TempFilesFixture, HugeChamberInfoLengthsChangeNothing) {
    Reopen(false);
    Record(1, 1);
    std::vector<uint8_t>& c = Bytes(names.ChamberInfo);
    c.assign(8 + 41, 0);
    PutU32(c.data(), 0xFFFFFFF0u);
    PutU32(c.data() + 4, 0x10);
    const TTempRestoreOutcome r = Reopen(true);
    EXPECT_EQ(r.Kind, TTempRestoreOutcome::TKind::Restored);
    EXPECT_FALSE(r.ChamberInfo);
}

TEST_F(TempFilesFixture, DeleteRemovesTheFilesAndNamesThoseThatStay) {
    Reopen(false);
    Record(1, 1);
    fs.Locked = {names.Blocks};
    EXPECT_EQ(files->Delete(), std::vector<std::string>{names.Blocks});
    EXPECT_FALSE(fs.Exists(names.Samples));
    EXPECT_FALSE(fs.Exists(names.ChamberInfo));
}

TEST_F(TempFilesFixture, RewriteMirrorsLoadedData) {
    Reopen(false);
    Record(2, 2);
    TRecording loaded{{H(1, 1)}, {S(1, 1)}};
    ASSERT_TRUE(files->Rewrite(loaded));
    EXPECT_EQ(Bytes(names.Samples).size(), 23u);
    EXPECT_EQ(Bytes(names.Blocks).size(), 435u);
}

TEST(RestoreChamberInfo, TheFilesInfoGoesBackOntoTheChamberAndItsNameIsAppliedAgain) {
    TChamberInfoTemp unnamed = Info("C:\\r\\old.zqr");
    unnamed.Name[0] = 0;
    struct Case {
        const char* name;
        std::optional<TChamberInfoTemp> info;
        bool unsaved;
        const char* storedName;
        const char* text;
        const char* fileName;
        const char* infoText;
    } cases[] = {
        {"info read", Info("C:\\r\\old.zqr"), false, "Sample A", "(1) Sample A", "C:\\r\\old.zqr",
         "line 1\r\nline 2"},
        {"restored samples unsaved", Info(""), true, "Sample A", "* (1) Sample A", "",
         "line 1\r\nline 2"},
        {"nothing read", std::nullopt, false, "Oven", "(1) Oven", "C:\\kept.zqr", "notes"},
        {"no name in the file", unnamed, false, "Chamber 1 - 0012345", "Chamber 1 - 0012345",
         "C:\\r\\old.zqr", "line 1\r\nline 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTreeModel tree;
        TTreeNode* root = CreateRootNode(tree, "LAB-PC", "anna");
        TTreeNode* instrument = tree.AddChild(root, "COM3 0012345", TInstrumentData{});
        TChamberData d;
        d.Kind = nkZephoraChamber;
        d.Chamber = 1;
        SetFieldText(d.SerialPart, "0012345");
        SetFieldText(d.Name, "Oven");
        d.RecordFileName = "C:\\kept.zqr";
        d.InfoText = "notes";
        TFakeRecordWindow window;
        window.modified = c.unsaved;
        d.RecordWindow = &window;
        TTreeNode* chamber = tree.AddChild(instrument, "Chamber 1 - 0012345", d);

        RestoreChamberInfo(tree, chamber, c.info);
        const TChamberData& after = *ChamberData(chamber);
        EXPECT_EQ(FieldText(after.Name), c.storedName);
        EXPECT_EQ(chamber->Text(), c.text);
        EXPECT_EQ(after.RecordFileName, c.fileName);
        EXPECT_EQ(after.InfoText, c.infoText);
    }
}

} // namespace

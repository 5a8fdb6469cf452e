#include "app/record/RecordFile_.h"

#include "app/base/LittleEndian_.h"
#include "link/core/QuorxComTools.h"
#include "MemFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

const std::string kFile = "rec.zqr";

TSample Sample(uint16_t Block, uint8_t Mark, int16_t Humidity) {
    TSample s{};
    s.Stamp = {10, 3, 2026, 3600};
    s.Meas = {Humidity, 2500, 120, 77, 0x8071};
    s.Mark = Mark;
    s.Block = Block;
    return s;
}

TRecBlockHeader Header(uint16_t Block, uint32_t Count) {
    TRecBlockHeader h{};
    h.Block = Block;
    h.Interface = 2;
    h.Chamber = 3;
    std::memcpy(h.SWVers, "V2.10", 5);
    std::memcpy(h.SerialPart, "2000303", 7);
    h.Interval = 10;
    h.Count = Count;
    std::memcpy(h.Name, "Chamber 3", 9);
    std::memcpy(h.DevUser, "---", 3);
    std::memcpy(h.OSUser, "lab", 3);
    std::memcpy(h.DevId, "ZEPHORA", 7);
    return h;
}

TRecordFileData OneBlockTwoSamples() {
    TRecordFileData d;
    d.Units = {1, 0, 2};
    d.View.AutoX = 1;
    d.View.End = 1;
    d.View.MinTime = -5;
    d.View.MaxTime = 3600;
    d.View.Humidity = {7400, 7450.5, 7500};
    d.View.StatCount = 3;
    d.View.AutoOffset = 1;
    d.View.HumiditySeries = {1, 0x0000FF, 0, 10000, 1000, {}};
    d.HumOverride = 0;
    d.Headers = {Header(1, 2)};
    d.Samples = {Sample(1, smBlockStart, 7400), Sample(1, smStopped, 7500)};
    return d;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& B, std::size_t At, std::size_t N) {
    return {B.begin() + At, B.begin() + At + N};
}

// Renews both checks after a test changed bytes of a current-layout file.
void Reseal(std::vector<uint8_t>& F) {
    const uint16_t header = Checksum16(F.data() + 4, 1580);
    PutU16(F.data() + 2, header);
    PutU16(F.data(), Checksum16Cont(header, F.data() + kRecFileHeaderSize,
                                    static_cast<int>(F.size() - kRecFileHeaderSize)));
}

TEST(RecordFileSave, OneBlockTwoSamplesGoldenLayout) {
    TMemFileSystem fs;
    ASSERT_EQ(SaveRecordFile(fs, kFile, OneBlockTwoSamples()), "");
    const std::vector<uint8_t>& f = fs[kFile];
    ASSERT_EQ(f.size(), 1584u + 435 + 2 * 23);

    struct Field {
        const char* what;
        std::size_t at;
        std::vector<uint8_t> bytes;
    };
    const Field fields[] = {
        {"flag, version, size", 4, {1, 0, 1, 0, 0x30, 0x06, 0, 0}},
        {"blocks, samples, units", 12, {1, 0, 2, 0, 0, 0, 1, 0, 2}},
        {"buttons, times", 21, {1, 0, 0, 1, 0xFB, 0xFF, 0xFF, 0xFF, 0x10, 0x0E, 0, 0}},
        {"humidity min", 33, {0xE8, 0x1C, 0, 0}},
        {"humidity mean", 37, {0, 0, 0, 0, 0x80, 0x1A, 0xBD, 0x40}},
        {"statistics count", 81, {3, 0, 0, 0}},
        {"auto offset", 185, {1}},
        {"humidity series",
         21 + 1390,
         {1, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x27, 0, 0, 0xE8, 3, 0, 0}},
        {"overrides", 1524, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"header tail", 1536, std::vector<uint8_t>(48, 0)},
        {"block header start", 1584, {1, 0, 2, 3, 'V', '2', '.', '1', '0', 0}},
        {"first sample mark and block", 1584 + 435 + 20, {1, 1, 0}},
        {"second sample mark and block", 1584 + 435 + 43, {2, 1, 0}},
    };
    for (const Field& fl : fields) {
        SCOPED_TRACE(fl.what);
        EXPECT_EQ(Slice(f, fl.at, fl.bytes.size()), fl.bytes);
    }
    const uint16_t header = Checksum16(f.data() + 4, 1580);
    EXPECT_EQ(GetU16(f.data() + 2), header);
    EXPECT_EQ(GetU16(f.data()), Checksum16Cont(header, f.data() + 1584, 435 + 46));
    EXPECT_EQ(GetU16(f.data()), 0x5015);
    EXPECT_EQ(fs.Files.size(), 1u) << "no sibling file left behind";
}

TEST(RecordFileSave, EmptyWindowFileCheckIsItsHeaderCheck) {
    TMemFileSystem fs;
    TRecordFileData empty;
    ASSERT_EQ(SaveRecordFile(fs, kFile, empty), "");
    const std::vector<uint8_t>& f = fs[kFile];
    ASSERT_EQ(f.size(), 1584u);
    EXPECT_EQ(GetU16(f.data()), GetU16(f.data() + 2));
    EXPECT_EQ(GetU16(f.data() + 2), Checksum16(f.data() + 4, 1580));
}

TEST(RecordFileLoad, ReadsBackWhatWasSaved) {
    TMemFileSystem fs;
    const TRecordFileData saved = OneBlockTwoSamples();
    ASSERT_EQ(SaveRecordFile(fs, kFile, saved), "");
    TRecordFileData back;
    const TLoadOutcome r = LoadRecordFile(fs, kFile, back);
    ASSERT_EQ(r.Result, TLoadResult::Ok) << r.Message;
    EXPECT_TRUE(back.SettingsPresent);
    EXPECT_EQ(back.Units.DateFormat, 2);
    EXPECT_EQ(back.View.MinTime, -5);
    EXPECT_EQ(back.View.Humidity.Mean, 7450.5);
    EXPECT_EQ(back.View.HumiditySeries.Range, 1000);
    EXPECT_EQ(back.HumOverride, 0);
    EXPECT_EQ(back.TempOverride, -1);
    ASSERT_EQ(back.Headers.size(), 1u);
    EXPECT_EQ(std::memcmp(&back.Headers[0], &saved.Headers[0], kBlockHeaderSize), 0);
    ASSERT_EQ(back.Samples.size(), 2u);
    EXPECT_EQ(std::memcmp(back.Samples.data(), saved.Samples.data(), 2 * kSampleSize), 0);
}

// Samples are read, checked and decoded in chunks on several threads and put
// together in file order: a record that goes round the ring of chunks more
// than once comes back whole, and a read failing halfway, damage in the last
// sample or the halves exchanged (a power of two samples each, so no chunk
// straddles them) end the load without a sample.
TEST(RecordFileLoad, LongRecordIsReadAndCheckedToItsLastSample) {
    constexpr uint32_t kHalf = 1 << 18;
    constexpr uint32_t kSamples = 2 * kHalf + 7;
    TRecordFileData saved;
    saved.Headers = {Header(1, kSamples)};
    for (uint32_t i = 0; i < kSamples; ++i) {
        saved.Samples.push_back(Sample(1, 0, static_cast<int16_t>(i)));
        saved.Samples.back().Meas.Elapsed = i;
    }
    TMemFileSystem fs;
    ASSERT_EQ(SaveRecordFile(fs, kFile, saved), "");
    TRecordFileData back;
    ASSERT_EQ(LoadRecordFile(fs, kFile, back).Result, TLoadResult::Ok);
    ASSERT_EQ(back.Samples.size(), kSamples);
    EXPECT_EQ(std::memcmp(back.Samples.data(), saved.Samples.data(), kSamples * kSampleSize), 0);

    const std::vector<uint8_t> good = fs[kFile];
    const std::size_t samplesAt = kRecFileHeaderSize + kBlockHeaderSize;
    using TDamage = void (*)(TMemFileSystem&);
    const struct {
        const char* what;
        TDamage damage;
    } cases[] = {
        {"a read failing halfway",
         [](TMemFileSystem& f) { f.ReadableBytes = f[kFile].size() / 2; }},
        {"the last byte flipped", [](TMemFileSystem& f) { f[kFile].back() ^= 0x01; }},
        {"the halves exchanged",
         [](TMemFileSystem& f) {
             const auto first = f[kFile].begin() + samplesAt;
             std::swap_ranges(first, first + kHalf * kSampleSize, first + kHalf * kSampleSize);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs[kFile] = good;
        fs.ReadableBytes = UINT64_MAX;
        c.damage(fs);
        EXPECT_EQ(LoadRecordFile(fs, kFile, back).Result, TLoadResult::CannotOpen);
        EXPECT_TRUE(back.Samples.empty());
    }
}

TEST(RecordFileLoad, NoSettingsFlagGivesNoOverrides) {
    TMemFileSystem fs;
    ASSERT_EQ(SaveRecordFile(fs, kFile, OneBlockTwoSamples()), "");
    PutU16(fs[kFile].data() + 4, 0);
    Reseal(fs[kFile]);
    TRecordFileData back;
    ASSERT_EQ(LoadRecordFile(fs, kFile, back).Result, TLoadResult::Ok);
    EXPECT_FALSE(back.SettingsPresent);
    EXPECT_EQ(back.HumOverride, -1);
    EXPECT_EQ(back.View.StatCount, 0);
}

// Each damage and the answer it must get; the damaged file never loads.
TEST(RecordFileLoad, DamagedFilesAreRefusedWithTheirMessage) {
    using TDamage = void (*)(std::vector<uint8_t>&);
    struct Case {
        const char* what;
        TDamage damage;
        TLoadResult result;
    };
    const Case cases[] = {
        {"a flipped sample byte", [](std::vector<uint8_t>& f) { f[1584 + 435 + 9] ^= 0x01; },
         TLoadResult::CannotOpen},
        {"a wrong header check", [](std::vector<uint8_t>& f) { f[2] ^= 0x40; },
         TLoadResult::CannotOpen},
        {"version 2 with good checks",
         [](std::vector<uint8_t>& f) {
             PutU16(f.data() + 6, 2);
             Reseal(f);
         },
         TLoadResult::NewerVersion},
        {"a wrong header size with good checks",
         [](std::vector<uint8_t>& f) {
             PutU32(f.data() + 8, 1600);
             Reseal(f);
         },
         TLoadResult::CannotOpen},
        {"a truncated file", [](std::vector<uint8_t>& f) { f.resize(f.size() - 1); },
         TLoadResult::CannotOpen},
        {"a file cut inside its header", [](std::vector<uint8_t>& f) { f.resize(100); },
         TLoadResult::CannotOpen},
        {"an empty file", [](std::vector<uint8_t>& f) { f.clear(); }, TLoadResult::CannotOpen},
        {"a file of another kind", [](std::vector<uint8_t>& f) { f.assign(4000, 'x'); },
         TLoadResult::CannotOpen},
        // 23 x count wraps in 32 bits to a size the file could have.
        {"a sample count that wraps",
         [](std::vector<uint8_t>& f) {
             PutU32(f.data() + 14, 0x0B21642D);
             Reseal(f);
         },
         TLoadResult::CannotOpen},
        {"the most samples a header can name",
         [](std::vector<uint8_t>& f) {
             PutU32(f.data() + 14, 0xFFFFFFFF);
             Reseal(f);
         },
         TLoadResult::CannotOpen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemFileSystem fs;
        ASSERT_EQ(SaveRecordFile(fs, kFile, OneBlockTwoSamples()), "");
        c.damage(fs[kFile]);
        TRecordFileData back;
        const TLoadOutcome r = LoadRecordFile(fs, kFile, back);
        EXPECT_EQ(r.Result, c.result);
        const std::string want =
            c.result == TLoadResult::NewerVersion
                ? "A newer version of Tessaly MC is required to open the file rec.zqr!"
                : "Cannot open document! rec.zqr";
        EXPECT_EQ(r.Message, want);
        EXPECT_TRUE(back.Samples.empty());
    }
}

TEST(RecordFileLoad, MissingFileCannotBeOpened) {
    TMemFileSystem fs;
    TRecordFileData back;
    EXPECT_EQ(LoadRecordFile(fs, "none.zqr", back).Message, "Cannot open document! none.zqr");
}

// Builds a file of the older layout: 1607-byte header, 155-byte block headers.
std::vector<uint8_t> OldFile(const std::vector<TRecBlockHeader>& Headers,
                             const std::vector<TSample>& Samples, uint16_t Flag) {
    std::vector<uint8_t> f(kOldRecFileHeaderSize, 0);
    PutU16(f.data() + 2, Flag);
    PutU16(f.data() + 4, 1);
    PutU32(f.data() + 6, kOldRecFileHeaderSize);
    PutU16(f.data() + 10, static_cast<uint16_t>(Headers.size()));
    PutU32(f.data() + 12, static_cast<uint32_t>(Samples.size()));
    f[16] = 1;
    for (const TRecBlockHeader& h : Headers) {
        uint8_t b[kBlockHeaderSize];
        PutBlockHeader(b, h);
        f.insert(f.end(), b, b + 95);
        f.insert(f.end(), 60, 0xEE); // not taken over
    }
    for (const TSample& s : Samples) {
        uint8_t b[kSampleSize];
        PutSample(b, s);
        f.insert(f.end(), b, b + kSampleSize);
    }
    PutU16(f.data(), Checksum16(f.data() + 2, static_cast<int>(f.size() - 2)));
    return f;
}

void ExpectConvertedHeaders(const TRecordFileData& Back) {
    ASSERT_EQ(Back.Headers.size(), 2u);
    for (uint16_t i = 0; i < 2; ++i) {
        const TRecBlockHeader& h = Back.Headers[i];
        // + compares a copy: a packed field is no place for a reference.
        EXPECT_EQ(+h.Block, i + 1);
        EXPECT_EQ(+h.Count, 1u);
        EXPECT_STREQ(h.Name, "Chamber 3");
        EXPECT_STREQ(h.DevUser, "---");
        EXPECT_STREQ(h.OSUser, "---");
        EXPECT_EQ(h.DevId[0], 0);
    }
    ASSERT_EQ(Back.Samples.size(), 2u);
    EXPECT_EQ(+Back.Samples[1].Meas.Humidity, 7600);
    EXPECT_EQ(Back.Units.HumidityMode, 1);
    EXPECT_FALSE(Back.SettingsPresent);
    EXPECT_EQ(Back.HumOverride, -1);
}

TEST(RecordFileLoad, OlderLayoutLoadsWithConvertedHeaders) {
    TMemFileSystem fs;
    fs[kFile] = OldFile({Header(1, 1), Header(2, 1)},
                        {Sample(1, smBlockStart, 7500), Sample(2, smBlockStart, 7600)}, 1);
    TRecordFileData back;
    const TLoadOutcome r = LoadRecordFile(fs, kFile, back);
    ASSERT_EQ(r.Result, TLoadResult::Ok) << r.Message;
    ExpectConvertedHeaders(back);
}

// An older file whose first bytes also pass the current layout's header check
// must still be read as the older layout.
TEST(RecordFileLoad, OlderLayoutPassingTheCurrentHeaderCheckStillLoads) {
    const std::vector<TRecBlockHeader> headers = {Header(1, 1), Header(2, 1)};
    const std::vector<TSample> samples = {Sample(1, smBlockStart, 7500),
                                          Sample(2, smBlockStart, 7600)};
    std::vector<uint8_t> f = OldFile(headers, samples, 0);
    // The older flag field sits where the current layout keeps its header check.
    const uint16_t flag = Checksum16(f.data() + 4, 1580);
    f = OldFile(headers, samples, flag);
    ASSERT_EQ(GetU16(f.data() + 2), Checksum16(f.data() + 4, 1580));

    TMemFileSystem fs;
    fs[kFile] = f;
    TRecordFileData back;
    const TLoadOutcome r = LoadRecordFile(fs, kFile, back);
    ASSERT_EQ(r.Result, TLoadResult::Ok) << r.Message;
    ExpectConvertedHeaders(back);
}

TEST(RecordFileLoad, OlderLayoutWithABadCheckIsRefused) {
    TMemFileSystem fs;
    fs[kFile] = OldFile({Header(1, 1)}, {Sample(1, smBlockStart, 7500)}, 1);
    fs[kFile].back() ^= 0x80;
    TRecordFileData back;
    EXPECT_EQ(LoadRecordFile(fs, kFile, back).Result, TLoadResult::CannotOpen);
}

// A save that fails at any point leaves the earlier file byte for byte.
TEST(RecordFileSave, FailedSaveKeepsThePreviousFile) {
    struct Case {
        const char* what;
        int64_t budget; // bytes the disk still takes
        TFileError error;
        bool replaceFails;
    };
    const Case cases[] = {
        {"a short write inside the header", 700, TFileError::Io, false},
        {"disk full inside the samples", 1584 + 435 + 30, TFileError::DiskFull, false},
        {"the replace fails", -1, TFileError::None, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemFileSystem fs;
        TRecordFileData first;
        first.Headers = {Header(1, 0)};
        ASSERT_EQ(SaveRecordFile(fs, kFile, first), "");
        const std::vector<uint8_t> good = fs[kFile];

        fs.WriteBudget = c.budget;
        fs.BudgetError = c.error;
        fs.ReplaceFails = c.replaceFails;
        const std::string message = SaveRecordFile(fs, kFile, OneBlockTwoSamples());
        EXPECT_EQ(message, "Cannot save the file rec.zqr! The previous file is unchanged.");
        EXPECT_EQ(fs[kFile], good);
        EXPECT_EQ(fs.Files.size(), 1u) << "the unfinished sibling is removed";
    }
}

TEST(RecordFileSave, CrashDuringSaveKeepsThePreviousFile) {
    TMemFileSystem fs;
    ASSERT_EQ(SaveRecordFile(fs, kFile, TRecordFileData{}), "");
    const std::vector<uint8_t> good = fs[kFile];
    for (int64_t writes = 0; writes < 4; ++writes) {
        SCOPED_TRACE(writes);
        fs.WritesBeforeCrash = writes;
        EXPECT_THROW(SaveRecordFile(fs, kFile, OneBlockTwoSamples()), TSimulatedCrash);
        fs.WritesBeforeCrash = -1;
        EXPECT_EQ(fs[kFile], good);
        TRecordFileData back;
        EXPECT_EQ(LoadRecordFile(fs, kFile, back).Result, TLoadResult::Ok);
    }
}

// Long records are written while their next samples are made: a failure in
// the middle of them still leaves the previous file as it was.
TEST(RecordFileSave, LongRecordFailingMidwayKeepsThePreviousFile) {
    constexpr uint32_t kSamples = 3 * (1 << 14) + 5;
    TRecordFileData saved;
    saved.Headers = {Header(1, kSamples)};
    saved.Samples.assign(kSamples, Sample(1, 0, 1234));
    const int64_t midway = kRecFileHeaderSize + kBlockHeaderSize + kSamples / 2 * kSampleSize;
    for (const bool crash : {false, true}) {
        SCOPED_TRACE(crash ? "a crash" : "disk full");
        TMemFileSystem fs;
        ASSERT_EQ(SaveRecordFile(fs, kFile, OneBlockTwoSamples()), "");
        const std::vector<uint8_t> good = fs[kFile];
        if (crash) {
            fs.WritesBeforeCrash = 4;
            EXPECT_THROW(SaveRecordFile(fs, kFile, saved), TSimulatedCrash);
            fs.WritesBeforeCrash = -1;
        } else {
            fs.WriteBudget = midway;
            fs.BudgetError = TFileError::DiskFull;
            EXPECT_EQ(SaveRecordFile(fs, kFile, saved),
                      "Cannot save the file rec.zqr! The previous file is unchanged.");
            EXPECT_EQ(fs.Files.size(), 1u) << "the unfinished sibling is removed";
        }
        EXPECT_EQ(fs[kFile], good);
    }
}

TEST(RecordFileSave, NewFileThatFailsSaysSoWithoutAPreviousFile) {
    TMemFileSystem fs;
    fs.WriteBudget = 10;
    EXPECT_EQ(SaveRecordFile(fs, kFile, OneBlockTwoSamples()), "Cannot save the file rec.zqr!");
    EXPECT_TRUE(fs.Files.empty());
}

} // namespace

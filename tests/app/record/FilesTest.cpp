// The platform's files behind the file interface: natively POSIX, under Wine Win32.
#include "app/record/RecordFile_.h"
#include "app/record/TempFiles_.h"
#ifdef _WIN32
#include "app/record/WinFiles_win.h"
using TPlatformFiles = TWinFileSystem;
#else
#include "app/record/PosixFiles_.h"
using TPlatformFiles = TPosixFileSystem;
#endif

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fsys = std::filesystem;

class FilesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fsys::temp_directory_path() /
              ("quorx-files-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fsys::remove_all(dir);
        fsys::create_directories(dir);
    }
    void TearDown() override { fsys::remove_all(dir); }
    std::string Path(const char* Name) { return (dir / Name).string(); }
    static std::vector<uint8_t> Contents(const std::string& Name) {
        std::ifstream in(Name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TPlatformFiles files;
    fsys::path dir;
};

TEST_F(FilesFixture, PositionedWritesReadsAndTruncate) {
    TFileError error;
    EXPECT_FALSE(files.Open(Path("a"), TOpenMode::OpenShared, error));
    EXPECT_EQ(error, TFileError::NotFound);
    auto f = files.Open(Path("a"), TOpenMode::CreateShared, error);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->WriteAt(4, "xy", 2), 2u);
    EXPECT_EQ(f->Size(), 6u);
    EXPECT_EQ(f->WriteAt(0, "abcd", 4), 4u);
    char buf[8] = {};
    EXPECT_EQ(f->ReadAt(2, buf, 8), 4u) << "reads stop at the end";
    EXPECT_EQ(std::string(buf, 4), "cdxy");
    EXPECT_TRUE(f->Truncate(3));
    EXPECT_TRUE(f->Flush());
    EXPECT_EQ(f->Size(), 3u);
    f.reset();
    EXPECT_TRUE(files.Exists(Path("a")));
    EXPECT_TRUE(files.Remove(Path("a")));
    EXPECT_FALSE(files.Exists(Path("a")));
}

TEST_F(FilesFixture, SaveReplacesAnEarlierFileAndLoadsBack) {
    const std::string name = Path("rec.zqr");
    std::ofstream(name, std::ios::binary) << "an earlier file";
    TRecordFileData d;
    d.Headers.resize(1);
    d.Headers[0].Block = 1;
    d.Headers[0].Count = 1;
    d.Samples.resize(1);
    d.Samples[0].Block = 1;
    d.Samples[0].Meas.Humidity = 4321;
    ASSERT_EQ(SaveRecordFile(files, name, d), "");
    EXPECT_EQ(Contents(name).size(), 1584u + 435 + 23);
    EXPECT_EQ(std::distance(fsys::directory_iterator(dir), fsys::directory_iterator()), 1)
        << "no sibling left";
    TRecordFileData back;
    ASSERT_EQ(LoadRecordFile(files, name, back).Result, TLoadResult::Ok);
    ASSERT_EQ(back.Samples.size(), 1u);
    EXPECT_EQ(back.Samples[0].Meas.Humidity, 4321);
}

// The samples of a long record are read in chunks from several threads at once
// through the one open file.
TEST_F(FilesFixture, LongRecordLoadsBackThroughReadsOnSeveralThreads) {
    const std::string name = Path("long.zqr");
    constexpr uint32_t kSamples = 300000;
    TRecordFileData d;
    d.Headers.resize(1);
    d.Headers[0].Block = 1;
    d.Headers[0].Count = kSamples;
    d.Samples.resize(kSamples);
    for (uint32_t i = 0; i < kSamples; ++i) {
        d.Samples[i].Block = 1;
        d.Samples[i].Meas.Elapsed = i;
    }
    ASSERT_EQ(SaveRecordFile(files, name, d), "");
    TRecordFileData back;
    ASSERT_EQ(LoadRecordFile(files, name, back).Result, TLoadResult::Ok);
    ASSERT_EQ(back.Samples.size(), kSamples);
    EXPECT_EQ(std::memcmp(back.Samples.data(), d.Samples.data(), kSamples * sizeof(TSample)), 0);
}

TEST_F(FilesFixture, SaveIntoAMissingFolderFailsWithoutAFile) {
    const std::string name = (dir / "missing" / "rec.zqr").string();
    EXPECT_EQ(SaveRecordFile(files, name, TRecordFileData{}), "Cannot save the file " + name + "!");
}

TEST_F(FilesFixture, TemporaryFilesRestoreFromDisk) {
    const TTempFileNames names = TempFileNames(Path(""), "cZ#0x0000", 1, 0);
    TRecording d;
    {
        TTempFiles t(files);
        ASSERT_EQ(t.Open(names), TTempFiles::TOpenResult::Created);
        TRecBlockHeader h{};
        AppendBlock(d, h);
        d.Samples.resize(2);
        d.Samples[0].Block = d.Samples[1].Block = 1;
        d.Headers[0].Count = 2;
        ASSERT_TRUE(t.Append(d, 0));
    }
    TTempFiles t(files);
    ASSERT_EQ(t.Open(names), TTempFiles::TOpenResult::EarlierData);
    TRecording back;
    ASSERT_TRUE(t.ReadData(back));
    EXPECT_EQ(back.Samples.size(), 2u);
    EXPECT_TRUE(CheckTempData(back));
    EXPECT_TRUE(t.Delete().empty());
    EXPECT_FALSE(files.Exists(names.Samples));
}

#ifdef _WIN32
TEST_F(FilesFixture, AFileHeldByAnotherIsDeniedNotMissing) {
    TFileError error;
    auto holder = files.Open(Path("held"), TOpenMode::CreateExclusive, error);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(files.Open(Path("held"), TOpenMode::OpenShared, error));
    EXPECT_EQ(error, TFileError::Denied);
}
#endif

} // namespace

#include "platform/files.h"
#include "platform/headless/stamped_files.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vz {
namespace {

namespace fs = std::filesystem;

class StdFiles : public ::testing::Test {
protected:
    StdFiles() { fs::create_directories(folder_); }
    ~StdFiles() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    std::string contents(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool put(const std::string& name, FileMode mode, std::initializer_list<const char*> lines) {
        auto file = files_.openFile(path(name), mode);
        bool ok = file != nullptr;
        for (const char* line : lines) {
            ok = ok && writeTextLine(*file, line);
        }
        return ok && closeFile(*file);
    }

    StdFileSystem files_;
    fs::path folder_ = fs::temp_directory_path() /
                       (std::string("vurezer_files_") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(StdFiles, ReadNeedsAFileAppendCreatesWriteEmpties) {
    EXPECT_EQ(files_.openFile(path("log.csv"), FileMode::Read), nullptr);
    EXPECT_FALSE(fs::exists(path("log.csv")));
    EXPECT_EQ(files_.openFile(folder_.string(), FileMode::Read), nullptr);
    EXPECT_EQ(files_.openFile("", FileMode::Write), nullptr);

    EXPECT_TRUE(put("log.csv", FileMode::Append, {"header"}));
    EXPECT_TRUE(put("log.csv", FileMode::Append, {"row"}));
    EXPECT_EQ(contents("log.csv"), "header\r\nrow\r\n");
    EXPECT_TRUE(put("log.csv", FileMode::Write, {"", "new"}));
    EXPECT_EQ(contents("log.csv"), "\r\nnew\r\n");
}

TEST_F(StdFiles, ReadsBytesWithLookAhead) {
    std::ofstream(path("data.csv"), std::ios::binary) << "a\xff";
    auto file = files_.openFile(path("data.csv"), FileMode::Read);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->peekByte(), 'a');
    for (const int expected : {int{'a'}, 255, -1, -1}) {
        EXPECT_EQ(file->readByte(), expected);
    }
    EXPECT_EQ(file->peekByte(), -1);
}

TEST_F(StdFiles, ReadsBlocksAfterLookAheadAndWritesLongTextsWhole) {
    const std::string big(200 * 1024 + 7, 'x');
    ASSERT_TRUE(put("big.csv", FileMode::Write, {"ab", big.c_str()}));
    EXPECT_EQ(contents("big.csv"), "ab\r\n" + big + "\r\n");

    auto file = files_.openFile(path("big.csv"), FileMode::Read);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->readByte(), 'a');
    std::string read(big.size() + 16, '\0');
    std::size_t count = 0;
    while (const std::size_t got = file->readBlock(read.data() + count, read.size() - count)) {
        count += got;
    }
    read.resize(count);
    EXPECT_EQ(read, "b\r\n" + big + "\r\n");
    EXPECT_EQ(file->readByte(), -1);
}

#ifndef _WIN32
// Opening a pipe that no program writes to used to wait for a writer,
// freezing the window; a device or a folder holds no prices either.
TEST_F(StdFiles, ReadingOpensOnlyRegularFilesAndNeverWaits) {
    const std::string pipe = path("GBPUSD_RT.csv");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    auto opening = std::async(std::launch::async,
                              [&] { return files_.openFile(pipe, FileMode::Read) == nullptr; });
    if (opening.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Let the stuck open finish before the test fails.
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        ::close(writer);
        FAIL() << "opening a pipe for reading waited for a writer";
    }
    EXPECT_TRUE(opening.get());
    EXPECT_EQ(files_.openFile("/dev/null", FileMode::Read), nullptr);
    EXPECT_EQ(files_.openFile(folder_.string(), FileMode::Append), nullptr);
    // With nobody reading, writing to the pipe fails at once instead of waiting.
    EXPECT_EQ(files_.openFile(pipe, FileMode::Append), nullptr);
}

#else
// A device or a folder holds no prices: neither opens as a data file.
TEST_F(StdFiles, ReadingOpensOnlyDiskFiles) {
    EXPECT_EQ(files_.openFile("NUL", FileMode::Read), nullptr);
    EXPECT_EQ(files_.openFile(folder_.string(), FileMode::Read), nullptr);
    EXPECT_EQ(files_.openFile(folder_.string(), FileMode::Append), nullptr);
    ASSERT_TRUE(put("EURUSD_RT.csv", FileMode::Write, {"1.08"}));
    EXPECT_NE(files_.openFile(path("EURUSD_RT.csv"), FileMode::Read), nullptr);
}
#endif

TEST_F(StdFiles, AFullDeviceIsReportedAsAFailure) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no full device on this system";
    }
    auto file = files_.openFile("/dev/full", FileMode::Write);
    ASSERT_NE(file, nullptr);
    writeTextLine(*file, std::string(1 << 16, 'x'));
    EXPECT_FALSE(closeFile(*file));
}

TEST_F(StdFiles, ModifiedTimeOfRegularFilesOnlyAndATestDoubleOverridesIt) {
    ASSERT_TRUE(put("EURUSD_RT.csv", FileMode::Write, {"1.08"}));
    // Whole seconds: Windows' C library sets no finer time than that.
    const auto written = std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now() -
                                                                  std::chrono::hours(5));
    fs::last_write_time(path("EURUSD_RT.csv"), written);
    const auto expected = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::file_clock::to_sys(written).time_since_epoch());
    EXPECT_EQ(files_.modifiedTime(path("EURUSD_RT.csv")), expected.count());
    fs::create_directories(folder_ / "folder");
    std::vector<const char*> others{"missing.csv", "folder", ""};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    others.push_back("pipe");
#endif
    for (const char* other : others) {
        EXPECT_EQ(files_.modifiedTime(other[0] == 0 ? "" : path(other)), std::nullopt) << other;
    }
    StampedFileSystem stamped(files_);
    stamped.setModifiedTime(path("missing.csv"), 42);
    stamped.setModifiedTime(path("EURUSD_RT.csv"), std::nullopt);
    EXPECT_EQ(stamped.modifiedTime(path("missing.csv")), 42);
    EXPECT_EQ(stamped.modifiedTime(path("EURUSD_RT.csv")), std::nullopt);
    stamped.clearModifiedTimes();
    EXPECT_EQ(stamped.modifiedTime(path("EURUSD_RT.csv")), expected.count());
    EXPECT_NE(stamped.openFile(path("EURUSD_RT.csv"), FileMode::Read), nullptr);
}

} // namespace
} // namespace vz

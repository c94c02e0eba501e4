#include "platform/files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace vz {
namespace {

namespace fs = std::filesystem;

class StdFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("vurezer_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static void writeRaw(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    StdFileSystem files_;
    fs::path folder_;
};

TEST_F(StdFiles, ReadFailsForAMissingFileWithoutCreatingIt) {
    const std::string missing = path("missing.csv");
    EXPECT_EQ(files_.openFile(missing, FileMode::Read), nullptr);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_FALSE(files_.exists(missing));
    EXPECT_EQ(files_.openFile(folder_.string(), FileMode::Read), nullptr);
    EXPECT_EQ(files_.openFile("", FileMode::Write), nullptr);
}

TEST_F(StdFiles, ReadsBytesWithLookAhead) {
    const std::string name = path("data.csv");
    writeRaw(name, std::string("a\r\n\xff", 4));
    auto file = files_.openFile(name, FileMode::Read);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(files_.exists(name));
    EXPECT_EQ(file->peekByte(), 'a');
    EXPECT_EQ(file->peekByte(), 'a');
    EXPECT_EQ(file->readByte(), 'a');
    EXPECT_EQ(file->readByte(), '\r');
    EXPECT_EQ(file->peekByte(), '\n');
    EXPECT_EQ(file->readByte(), '\n');
    EXPECT_EQ(file->readByte(), 255);
    EXPECT_EQ(file->peekByte(), -1);
    EXPECT_EQ(file->readByte(), -1);
    EXPECT_TRUE(closeFile(*file));
}

TEST_F(StdFiles, AppendCreatesAndThenAddsAtTheEnd) {
    const std::string name = path("log.csv");
    auto first = files_.openFile(name, FileMode::Append);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(writeTextLine(*first, "header"));
    EXPECT_TRUE(closeFile(*first));
    auto second = files_.openFile(name, FileMode::Append);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(writeTextLine(*second, "row"));
    EXPECT_TRUE(closeFile(*second));
    EXPECT_EQ(contents(name), "header\r\nrow\r\n");
}

TEST_F(StdFiles, WriteEmptiesAnExistingFile) {
    const std::string name = path("saved.txt");
    writeRaw(name, "old contents that are longer\r\n");
    auto file = files_.openFile(name, FileMode::Write);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(writeTextLine(*file, ""));
    EXPECT_TRUE(writeTextLine(*file, "new"));
    EXPECT_TRUE(closeFile(*file));
    EXPECT_EQ(contents(name), "\r\nnew\r\n");
}

TEST_F(StdFiles, AFullDeviceIsReportedAsAFailure) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no full device on this system";
    }
    auto file = files_.openFile("/dev/full", FileMode::Write);
    ASSERT_NE(file, nullptr);
    const std::string block(1 << 16, 'x');
    const bool wrote = writeTextLine(*file, block);
    const bool closed = closeFile(*file);
    EXPECT_FALSE(wrote && closed);
    EXPECT_FALSE(closed);
}

TEST(ExecutableFolder, EndsWithASeparatorAndHoldsTheProgram) {
    const std::string folder = executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::is_directory(folder));
}

} // namespace
} // namespace vz

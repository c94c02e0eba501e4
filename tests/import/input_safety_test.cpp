#include "tests/import/import_folders.h"

#include "tools/import/bar_reader.h"
#include "tools/import/importer.h"
#include "tools/import/packed_input.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <unistd.h>
#ifdef VUREZER_HAVE_ZIP
#include <zip.h>
#endif

namespace fs = std::filesystem;

namespace vz {
namespace {

using testing::readFile;

#ifdef VUREZER_HAVE_ZIP
// A zip as a download site packs it: the bars deflated, a report beside them.
void writeZip(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& files) {
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, text] : files) {
        zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

#endif

class InputSafety : public testing::ImportFolders {
protected:
    InputSafety() : ImportFolders("vurezer-safety-") {}

    // Two hourly bars for every pair, in `folder`, named like MetaTrader exports.
    void writeExports(const fs::path& folder, const std::string& lineEnd = "\r\n") const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            std::ofstream(folder / (testing::symbol(pair) + "_H1.csv"), std::ios::binary)
                << "2026.02.09,10:00,1,1,1,1.1,0" + lineEnd + "2026.02.09,11:00,1,1,1,1.2,0" +
                       lineEnd;
        }
    }
    ImportOutcome run(const fs::path& input, const fs::path& folder) const {
        ImportOptions options;
        options.inputs = {input.string()};
        options.folder = folder.string();
        return runImport(options);
    }
};

TEST_F(InputSafety, EveryLineEndCountsAndNoLineIsLost) {
    for (const std::string end : {"\r", "\n", "\r\n"}) {
        writeExports(in(), end);
        const ImportOutcome outcome = run(in(), root_ / "out");
        ASSERT_EQ(outcome.exitCode, 0) << outcome.errors.at(0);
        EXPECT_EQ(readFile(root_ / "out" / "EURUSD_H1.csv"),
                  "2026.02.09 11:00,1.20000\r\n2026.02.09 10:00,1.10000\r\n");
    }
    // Mixed ends within one file, and a last line without any.
    std::istringstream mixed("time,close\r2026-02-09 10:00,1.1\n2026-02-09 11:00,1.2\r\n"
                             "\r\n2026-02-09 12:00,1.3");
    EXPECT_EQ(readBars(mixed, "in.csv", InputFormat::Auto).bars.size(), 3U);
}

TEST_F(InputSafety, AnOverlongLineIsAnErrorNotAnAllocation) {
    std::istringstream longLine("time,close\n2026-02-09 10:00," +
                                std::string(MAX_LINE_CHARS * 4, '1') + "\n");
    const BarReadResult result = readBars(longLine, "in.csv", InputFormat::Auto);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(describe(*result.error),
              "in.csv:2: line longer than 4096 characters; not a bar file");
    std::istringstream atLimit("time,close\n2026-02-09 10:00,1.1" +
                               std::string(MAX_LINE_CHARS - 20, ' ') + "\n");
    EXPECT_FALSE(readBars(atLimit, "in.csv", InputFormat::Auto).error);
}

TEST_F(InputSafety, InputsInsideOrLinkedIntoTheTargetAreRefusedAndKept) {
    writeExports(in());
    const std::string before = readFile(in() / "EURUSD_H1.csv");
    // The same folder under another spelling.
    const ImportOutcome same = run(in(), root_ / "in" / ".." / "in");
    EXPECT_EQ(same.exitCode, 2);
    ASSERT_EQ(same.errors.size(), 1U);
    EXPECT_NE(same.errors[0].find("an input inside the target folder"), std::string::npos);
    EXPECT_EQ(readFile(in() / "EURUSD_H1.csv"), before);

    const fs::path out = root_ / "out";
    fs::create_directories(out);
    fs::create_hard_link(in() / "EURUSD_H1.csv", out / "EURUSD_H1.csv");
    const ImportOutcome linked = run(in(), out);
    EXPECT_EQ(linked.exitCode, 2);
    ASSERT_EQ(linked.errors.size(), 1U);
    EXPECT_NE(linked.errors[0].find("EURUSD_H1.csv: an input linked into the target folder"),
              std::string::npos);
    EXPECT_EQ(readFile(in() / "EURUSD_H1.csv"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), 1);
}

#ifndef _WIN32
TEST_F(InputSafety, APipeIsNeverOpened) {
    const fs::path pipe = in() / "EURUSD_H1.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const ImportOutcome named = run(pipe, root_ / "out");
    EXPECT_EQ(named.errors, std::vector<std::string>{pipe.string() + ": not a regular file"});
    writeExports(in() / ".."); // a folder holding the pipe: it is passed over
    fs::remove(root_ / "EURUSD_H1.csv");
    fs::copy_file(root_ / "GBPUSD_H1.csv", root_ / "EURUSD_H1.csv");
    const ImportOutcome folder = run(root_, root_ / "out");
    EXPECT_EQ(folder.exitCode, 0) << folder.errors.at(0);
}
#endif

#ifdef VUREZER_HAVE_ZIP
TEST_F(InputSafety, ZipDownloadsAreReadInPlaceAndOddArchivesNamed) {
    const std::string bars = "20260209 100000;1;1;1;1.1;0\n20260209 110000;1;1;1;1.2;0\n";
    const fs::path zip = root_ / "HISTDATA_COM_ASCII_EURUSD_M1_2026.zip";
    writeZip(zip, {{"DAT_ASCII_EURUSD_M1_2026.csv", bars}, {"DAT_ASCII_EURUSD_M1_2026.txt", "ok"}});
    EXPECT_EQ(readInputFile(zip).text, bars);
    InputText text(zip);
    const BarReadResult read = readBars(text.stream(), "z", InputFormat::Auto);
    EXPECT_FALSE(text.error());
    EXPECT_EQ(read.bars.size(), 2U);
    EXPECT_EQ(text.innerName(), "DAT_ASCII_EURUSD_M1_2026.csv");

    const std::string packed = readFile(zip);
    const std::vector<std::pair<std::string, const char*>> damaged = {
        {packed.substr(0, packed.size() / 2), "corrupt zip data"},
        {packed.substr(0, 40), "corrupt zip data"}};
    for (const auto& [data, expected] : damaged) {
        EXPECT_EQ(unpack(data).error.value_or("none").rfind(expected, 0), 0U)
            << unpack(data).error.value_or("none");
    }
    writeZip(zip, {{"a.csv", bars}, {"b.csv", bars}});
    EXPECT_EQ(readInputFile(zip).error,
              "the zip holds several files (a.csv, b.csv); unpack it and name the ones to read");
    writeZip(zip, {{"readme.txt", "no bars"}});
    EXPECT_EQ(readInputFile(zip).error, "the zip holds no bar file");
}
#else
// A build without the zip library names a zip as an input it cannot unpack.
TEST_F(InputSafety, ZipInputIsNamedAsUnpackableWithoutTheZipLibrary) {
    const fs::path zip = root_ / "HISTDATA_COM_ASCII_EURUSD_M1_2026.zip";
    std::ofstream(zip, std::ios::binary) << std::string("PK\x03\x04", 4) + std::string(60, '\0');
    const std::string error = readInputFile(zip).error.value_or("none");
    EXPECT_EQ(error.rfind("is a zip archive, which this build cannot unpack", 0), 0U) << error;
}
#endif

} // namespace
} // namespace vz

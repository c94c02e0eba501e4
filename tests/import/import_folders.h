#pragma once

#include "market/pairs.h"
#include "tools/import/clock_time.h"
#include "tools/import/importer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vz::testing {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether any of the texts contains `part`.
inline bool has(const std::vector<std::string>& texts, const std::string& part) {
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& text) {
        return text.find(part) != std::string::npos;
    });
}

// The minute of that UTC day and time.
inline Minute at(int year, int month, int day, int hour = 0, int minute = 0) {
    return daysFromCivil({year, month, day}) * MINUTES_PER_DAY + hour * 60 + minute;
}

inline std::string symbol(int pair) {
    return std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]);
}

// Each test gets an input and an output folder of its own, named after the
// test and the process so parallel runs never share one.
class ImportFolders : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("vurezer-import-" + std::string(test->test_suite_name()) + "-" + test->name() +
                 "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(in());
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::filesystem::path in() const { return root_ / "in"; }
    std::filesystem::path out() const { return root_ / "out"; }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(in() / name, std::ios::binary) << text;
    }

    // Imports the input folder, or the inputs given, into the output folder.
    ImportOutcome run(ImportOptions options = {}) const {
        if (options.inputs.empty()) {
            options.inputs = {in().string()};
        }
        options.folder = out().string();
        return runImport(options);
    }

    std::filesystem::path root_;
};

} // namespace vz::testing

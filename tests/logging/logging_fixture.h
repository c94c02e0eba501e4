#pragma once

#include "logging/event_log.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/host.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vz::testing {

// Real files with injectable faults, recording every open.
class FaultyFileSystem final : public FileSystem {
public:
    std::set<FileMode> refusedModes;
    bool failWrites = false;
    bool failClose = false;
    std::vector<FileMode> opened;

    std::unique_ptr<TextFile> openFile(const std::string& path, FileMode mode) override {
        opened.push_back(mode);
        if (refusedModes.count(mode) != 0) {
            return nullptr;
        }
        std::unique_ptr<TextFile> file = real_.openFile(path, mode);
        if (!file) {
            return nullptr;
        }
        return std::make_unique<FaultyFile>(std::move(file), failWrites, failClose);
    }
    bool exists(const std::string& path) override { return real_.exists(path); }

private:
    class FaultyFile final : public TextFile {
    public:
        FaultyFile(std::unique_ptr<TextFile> inner, bool failWrites, bool failClose)
            : inner_(std::move(inner)), failWrites_(failWrites), failClose_(failClose) {}
        int readByte() override { return inner_->readByte(); }
        int peekByte() override { return inner_->peekByte(); }
        bool write(std::string_view bytes) override {
            return failWrites_ ? false : inner_->write(bytes);
        }
        bool close() override { return inner_->close() && !failClose_; }

    private:
        std::unique_ptr<TextFile> inner_;
        bool failWrites_;
        bool failClose_;
    };

    StdFileSystem real_;
};

// A clock that hands out prepared readings in order, then repeats the last.
class SteppingClock final : public Clock {
public:
    explicit SteppingClock(std::deque<LocalTime> readings) : readings_(std::move(readings)) {}
    LocalTime now() override {
        const LocalTime reading = readings_.front();
        if (readings_.size() > 1) {
            readings_.pop_front();
        }
        return reading;
    }

private:
    std::deque<LocalTime> readings_;
};

class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (std::string("vurezer_logging_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    // With a trailing separator, as the program folder is given.
    std::string programFolder() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeWhole(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::vector<std::string> splitOn(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

// A main window holding only the event log list.
inline WindowHandle openLogWindow(HeadlessUi& ui, FileSystem& files, Clock& clock) {
    const WindowHandle main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
    ui.createControl(main, ControlKind::ReportList, "", 200, 244, 410, 228, STYLE_REPORT,
                     EVENT_LOG_LIST);
    Host columnsHost{ui, files, clock, {main, {}, {}}};
    addEventLogColumns(columnsHost);
    return main;
}

} // namespace vz::testing

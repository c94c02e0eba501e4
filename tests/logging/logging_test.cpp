#include "logging/active_logger.h"
#include "logging/event_log.h"
#include "platform/headless/headless_ui.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vz {
namespace {

using Texts = std::vector<std::string>;
using OptionalText = std::optional<std::string>;

// Fault bits: the first three refuse to open a file in that mode; SHORT_WRITE
// lets half of each write reach the real file, as a full disk does.
enum : int {
    NO_READ = 1,
    NO_WRITE = 2,
    NO_APPEND = 4,
    BAD_WRITE = 8,
    BAD_CLOSE = 16,
    SHORT_WRITE = 32
};

// Real files, unless a fault refuses the mode or hands out a file whose writes or close fail.
struct FaultyFileSystem final : FileSystem {
    struct BrokenFile final : TextFile {
        explicit BrokenFile(int active) : faults(active) {}
        int readByte() override { return -1; }
        int peekByte() override { return -1; }
        bool write(std::string_view) override { return (faults & BAD_WRITE) == 0; }
        bool close() override { return (faults & BAD_CLOSE) == 0; }
        int faults;
    };
    struct ShortFile final : TextFile {
        explicit ShortFile(std::unique_ptr<TextFile> file) : inner(std::move(file)) {}
        int readByte() override { return inner->readByte(); }
        int peekByte() override { return inner->peekByte(); }
        bool write(std::string_view bytes) override {
            inner->write(bytes.substr(0, bytes.size() / 2));
            return false;
        }
        bool close() override { return inner->close(); }
        std::unique_ptr<TextFile> inner;
    };
    std::unique_ptr<TextFile> openFile(const std::string& path, FileMode mode) override {
        const bool refused = (faults & (1 << static_cast<int>(mode))) != 0;
        if (refused) {
            return nullptr;
        }
        if ((faults & SHORT_WRITE) != 0 && mode != FileMode::Read) {
            std::unique_ptr<TextFile> file = real.openFile(path, mode);
            return file ? std::make_unique<ShortFile>(std::move(file)) : nullptr;
        }
        return faults >= BAD_WRITE && faults < SHORT_WRITE ? std::make_unique<BrokenFile>(faults)
                                                           : real.openFile(path, mode);
    }
    bool exists(const std::string& path) override { return real.exists(path); }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return real.replaceFile(from, to);
    }
    bool removeFile(const std::string& path) override { return real.removeFile(path); }
    int faults = 0;
    StdFileSystem real;
};

// Gives `first` once when set, then `later` on every call.
struct TestClock final : Clock {
    std::optional<LocalTime> first;
    LocalTime later{2026, 12, 6, 14, 30, 5};
    LocalTime now() override { return std::exchange(first, std::nullopt).value_or(later); }
};

// The whole file, or nullopt when it does not exist.
OptionalText readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? OptionalText(std::string{std::istreambuf_iterator<char>(in), {}}) : std::nullopt;
}

struct LoggingTest : ::testing::Test {
    HeadlessUi ui;
    FaultyFileSystem files;
    TestClock clock;
    Host host{ui, files, clock};
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vurezer_logging_" + std::to_string(::getpid()));

    void SetUp() override {
        std::filesystem::create_directories(folder);
        host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        ui.createControl(host.windows.main, ControlKind::ReportList, "", 200, 244, 410, 228,
                         STYLE_REPORT, EVENT_LOG_LIST);
        addEventLogColumns(host);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string programFolder() const { return folder.string() + "/"; }
    const ControlState& list() const { return *ui.control(host.windows.main, EVENT_LOG_LIST); }
    // "Caption: text" of every box from the given one on; only "Clear Log" asks Yes/No.
    Texts boxes(std::size_t from = 0) const {
        Texts shown;
        for (std::size_t i = from; i < ui.messageBoxes().size(); ++i) {
            const MessageBoxRecord& box = ui.messageBoxes()[i];
            const int style = box.caption == "Clear Log" ? MB_QUESTION_YES_NO : MB_INFORMATION;
            EXPECT_TRUE(box.style == style && box.owner == host.windows.main) << box.text;
            shown.push_back(box.caption + ": " + box.text);
        }
        return shown;
    }
};

TEST_F(LoggingTest, SaveWritesEveryRowNewestFirstUnchangedAndReplacesEarlierSave) {
    std::string newestFirst;
    for (int i = 0; i < 2500; ++i) {
        const std::string text = std::to_string(i) + ", a, b" + std::string(i % 300, 'x');
        addEventLogRow(host, text);
        newestFirst.insert(0, "12-06-2026,14:30:05," + text + "\r\n");
    }
    saveEventLog(host, programFolder());
    EXPECT_EQ(readWhole(folder / "12-06-2026_1430.txt"), newestFirst);

    ui.reportClear(host.windows.main, EVENT_LOG_LIST);
    saveEventLog(host, programFolder());
    EXPECT_EQ(readWhole(folder / "12-06-2026_1430.txt"), "");
    EXPECT_EQ(boxes(), Texts(2, "Complete: Log file creation complete."));
}

TEST_F(LoggingTest, FailedSaveLeavesNoCutOffLogAndKeepsAnEarlierCompleteOne) {
    addEventLogRow(host, "first");
    saveEventLog(host, programFolder());
    const OptionalText saved = readWhole(folder / "12-06-2026_1430.txt");
    addEventLogRow(host, "second");
    files.faults = SHORT_WRITE;
    saveEventLog(host, programFolder());
    EXPECT_EQ(readWhole(folder / "12-06-2026_1430.txt"), saved);
    std::filesystem::remove(folder / "12-06-2026_1430.txt");
    saveEventLog(host, programFolder());
    EXPECT_EQ(readWhole(folder / "12-06-2026_1430.txt"), std::nullopt);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 0);
    EXPECT_EQ(boxes(1), Texts(2, "Failed: File write failed."));
}

TEST_F(LoggingTest, RowsFromOneReadingSurviveFailedSavesAndDeclinedClear) {
    addEventLogRow(host, "Started VU Vurezer");
    clock.first = {2026, 12, 6, 23, 59, 59};
    clock.later = {2026, 12, 7, 0, 0, 0};
    addEventLogRow(host, "late");
    for (const int faults : {NO_WRITE, BAD_WRITE, BAD_CLOSE}) {
        files.faults = faults;
        saveEventLog(host, programFolder());
    }
    ui.queueMessageBoxAnswer(ANSWER_NO); // the next one gets the default Yes
    clearEventLog(host);
    EXPECT_EQ(list().rows, (std::vector<Texts>{{"12-06-2026", "23:59:59", "late"},
                                               {"12-06-2026", "14:30:05", "Started VU Vurezer"}}));
    clearEventLog(host);
    EXPECT_TRUE(list().rows.empty());
    Texts expected(3, "Failed: File write failed.");
    expected.resize(5, "Clear Log: Are you sure you want to clear your log?");
    EXPECT_EQ(boxes(), expected);
}

const ActiveLogSnapshot SAMPLE{{105.0F, 1.5F, 1.25F}, {0, 1}, {10, 9}, -3, 4, 7, "2026.12.04"};

TEST(ActiveLogTextTest, HeaderAndRowHave47MatchingFields) {
    std::string expected = "Time";
    for (const std::string_view pair : PAIR_TABLE) {
        const std::string symbol(pair);
        expected += "," + symbol + "," + symbol + "-Slot," + symbol + "-Pips";
    }
    EXPECT_EQ(activeLogHeader(), expected + ",Ref Bias,Buy Power,Sell Power,Ref Day");

    const std::string row = activeLogRow("14:30:00", SAMPLE, 4);
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 46) << row;
    EXPECT_TRUE(row.starts_with("14:30:00, 105, 0, 10, 1.5000, 1, 9, 1.2500, 0, 0,")) << row;
    EXPECT_TRUE(row.ends_with(", 0, -3, 4, 7,2026.12.04")) << row;
}

TEST_F(LoggingTest, DayFileGetsItsHeaderOnceIsNeverEmptiedAndFailuresAreReported) {
    int numberDecimals = 0;
    const auto dayFile = folder / "12-06-2026_AL.csv";
    const auto writeRow = [&] { writeActiveLogRow(host, programFolder(), SAMPLE, numberDecimals); };
    const auto line = [](const char* time) { return activeLogRow(time, SAMPLE, 4) + "\r\n"; };
    const std::string header = activeLogHeader() + "\r\n", old = "earlier rows\r\n";
    const std::string notAppended = "Failed: Active logger file could not be appended.";
    const Texts uncreatable = {"Failed: Active logger file could not be created.",
                               "Failed: Active File append failed."};
    const std::vector<std::tuple<const char*, OptionalText, int, OptionalText, Texts>> cases = {
        {"empty gets the header", "", 0, header + line("14:30:05"), {}},
        {"unreadable is appended", old, NO_READ, old + line("14:30:05"), {}},
        {"locked keeps its contents", old, NO_READ | NO_APPEND | NO_WRITE, old, {notAppended}},
        {"missing, uncreatable", {}, NO_APPEND | NO_WRITE, {}, uncreatable},
        {"header close fails", {}, BAD_CLOSE, {}, uncreatable},
        {"header cut short is emptied", {}, SHORT_WRITE, "", uncreatable},
        {"empty and header refused", "", NO_WRITE, "", uncreatable},
        {"row write fails", header, NO_READ | BAD_WRITE, header, {notAppended}},
    };
    std::size_t shown = 0;
    for (const auto& [what, before, faults, after, expectedBoxes] : cases) {
        std::filesystem::remove(dayFile);
        if (before) {
            std::ofstream(dayFile, std::ios::binary) << *before;
        }
        files.faults = faults;
        writeRow();
        EXPECT_EQ(readWhole(dayFile), after) << what;
        EXPECT_EQ(boxes(shown), expectedBoxes) << what;
        shown = ui.messageBoxes().size();
    }

    files.faults = 0;
    writeRow();
    EXPECT_EQ(numberDecimals, ACTIVE_LOG_DECIMALS);
    clock.first = {2026, 12, 6, 23, 59, 59};
    clock.later = {2026, 12, 7, 0, 0, 0};
    writeRow();
    writeRow();
    EXPECT_EQ(readWhole(dayFile), header + line("14:30:05") + line("23:59:59"));
    EXPECT_EQ(readWhole(folder / "12-07-2026_AL.csv"), header + line("00:00:00"));
    EXPECT_EQ(boxes(shown), Texts{});
}

} // namespace
} // namespace vz

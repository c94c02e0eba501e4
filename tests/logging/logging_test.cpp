#include "logging/active_logger.h"
#include "logging/event_log.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/text.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <numeric>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace vz {
namespace {

using Texts = std::vector<std::string>;

// Real files with injectable faults.
struct FaultyFileSystem final : FileSystem {
    std::set<FileMode> refused;
    bool failWrites = false;
    bool failClose = false;

    std::unique_ptr<TextFile> openFile(const std::string& path, FileMode mode) override {
        auto file = refused.count(mode) != 0 ? nullptr : real.openFile(path, mode);
        return file ? std::make_unique<FaultyFile>(std::move(file), *this) : nullptr;
    }
    bool exists(const std::string& path) override { return real.exists(path); }
    struct FaultyFile final : TextFile {
        FaultyFile(std::unique_ptr<TextFile> file, const FaultyFileSystem& owner)
            : inner(std::move(file)), faults(owner) {}
        int readByte() override { return inner->readByte(); }
        int peekByte() override { return inner->peekByte(); }
        bool write(std::string_view bytes) override {
            return !faults.failWrites && inner->write(bytes);
        }
        bool close() override { return inner->close() && !faults.failClose; }
        std::unique_ptr<TextFile> inner;
        const FaultyFileSystem& faults;
    };
    StdFileSystem real;
};

// Reads 23:59:59 first, then the next midnight on every later call.
struct MidnightClock final : Clock {
    int calls = 0;
    LocalTime now() override {
        return calls++ == 0 ? LocalTime{2026, 12, 6, 23, 59, 59} : LocalTime{2026, 12, 7, 0, 0, 0};
    }
};

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Texts splitOnComma(const std::string& text) {
    Texts parts;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = text.find(',', start);
        parts.push_back(text.substr(start, end - start));
    }
    return parts;
}

struct LoggingTest : ::testing::Test {
    HeadlessUi ui;
    FaultyFileSystem files;
    FixedClock clock{{2026, 12, 6, 14, 30, 5}};
    Host host{ui, files, clock};
    MidnightClock midnight;
    Host midnightHost{ui, files, midnight};
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("vurezer_logging_" + std::to_string(::getpid()) + "_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());

    void SetUp() override {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
        midnightHost.windows = host.windows;
        ui.createControl(host.windows.main, ControlKind::ReportList, "", 200, 244, 410, 228,
                         STYLE_REPORT, EVENT_LOG_LIST);
        addEventLogColumns(host);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string programFolder() const { return folder.string() + "/"; }
    const ControlState& list() const { return *ui.control(host.windows.main, EVENT_LOG_LIST); }
    // "Caption: text" of every box shown so far, all of the given style.
    Texts boxes(int style = MB_INFORMATION) const {
        Texts shown;
        for (const MessageBoxRecord& box : ui.messageBoxes()) {
            EXPECT_EQ(box.style, style);
            EXPECT_EQ(box.owner, host.windows.main);
            shown.push_back(box.caption + ": " + box.text);
        }
        return shown;
    }
};

using EventLogTest = LoggingTest;

TEST_F(EventLogTest, NewestRowOnTopWithDateAndTimeFromOneReading) {
    EXPECT_EQ(list().columns, (Texts{"Date", "Time", "Description"}));
    EXPECT_EQ(list().columnWidths, (std::vector<int>{75, 60, 265}));
    addEventLogRow(host, "Started VU Vurezer");
    addEventLogRow(midnightHost, "late");
    ASSERT_EQ(list().rows.size(), 2U);
    EXPECT_EQ(list().rows[0], (Texts{"12-06-2026", "23:59:59", "late"}));
    EXPECT_EQ(list().rows[1], (Texts{"12-06-2026", "14:30:05", "Started VU Vurezer"}));
}

TEST_F(EventLogTest, SaveWritesEveryRowNewestFirstUnchangedAndReplacesEarlierSave) {
    Texts lines;
    for (int i = 0; i < 2500; ++i) {
        const std::string text = i == 7   ? "a, b, c"
                                 : i == 8 ? std::string(300, 'x')
                                          : "row " + std::to_string(i);
        addEventLogRow(host, text);
        lines.push_back("12-06-2026,14:30:05," + text + "\r\n");
    }
    const std::string newestFirst = std::accumulate(lines.rbegin(), lines.rend(), std::string());
    saveEventLog(host, programFolder());
    const auto saved = folder / "12-06-2026_1430.txt";
    EXPECT_EQ(readWhole(saved), newestFirst);
    EXPECT_EQ(list().rows.size(), 2500U);

    ui.reportClear(host.windows.main, EVENT_LOG_LIST);
    saveEventLog(host, programFolder());
    EXPECT_EQ(readWhole(saved), "");
    EXPECT_EQ(boxes(), Texts(2, "Complete: Log file creation complete."));
}

TEST_F(EventLogTest, SaveFailuresAreReportedNeverAsSuccess) {
    addEventLogRow(host, "entry");
    files.refused = {FileMode::Write};
    saveEventLog(host, programFolder());
    files.refused.clear();
    files.failWrites = true;
    saveEventLog(host, programFolder());
    files.failWrites = false;
    files.failClose = true;
    saveEventLog(host, programFolder());
    EXPECT_EQ(boxes(), Texts(3, "Failed: File write failed."));
    EXPECT_EQ(list().rows.size(), 1U);
}

TEST_F(EventLogTest, ClearAsksAndOnlyYesEmpties) {
    addEventLogRow(host, "keep");
    ui.queueMessageBoxAnswer(ANSWER_NO);
    clearEventLog(host);
    EXPECT_EQ(list().rows.size(), 1U);
    ui.queueMessageBoxAnswer(ANSWER_YES);
    clearEventLog(host);
    EXPECT_TRUE(list().rows.empty());
    EXPECT_EQ(boxes(MB_QUESTION_YES_NO),
              Texts(2, "Clear Log: Are you sure you want to clear your log?"));
}

ActiveLogSnapshot sampleSnapshot() {
    ActiveLogSnapshot snapshot{
        .referenceBias = -3, .buyPower = 4, .sellPower = 7, .referenceDay = "2026.12.04"};
    snapshot.livePrices.fill(1.25F);
    std::iota(snapshot.pairSlot.begin(), snapshot.pairSlot.end(), 0);
    std::iota(snapshot.pairPips.rbegin(), snapshot.pairPips.rend(), -3); // 10 down to -3
    snapshot.livePrices[0] = 105.0F;
    snapshot.livePrices[1] = 1.5F;
    return snapshot;
}

TEST(ActiveLogTextTest, HeaderAndRowHave47MatchingFields) {
    std::string expected = "Time";
    for (const std::string_view symbol : PAIR_TABLE) {
        for (const std::string_view suffix : {"", "-Slot", "-Pips"}) {
            expected.append(",").append(symbol).append(suffix);
        }
    }
    expected += ",Ref Bias,Buy Power,Sell Power,Ref Day";
    EXPECT_EQ(activeLogHeader(), expected);
    EXPECT_EQ(expected.size(), 476U);
    EXPECT_EQ(splitOnComma(expected).size(), 47U);

    const auto fields = splitOnComma(activeLogRow("14:30:00", sampleSnapshot(), 4));
    ASSERT_EQ(fields.size(), 47U);
    EXPECT_EQ(std::vector(fields.begin(), fields.begin() + 8),
              (Texts{"14:30:00", " 105", " 0", " 10", " 1.5000", " 1", " 9", " 1.2500"}));
    EXPECT_EQ(std::vector(fields.end() - 5, fields.end()),
              (Texts{" -3", " -3", " 4", " 7", "2026.12.04"}));
}

struct ActiveLoggerTest : LoggingTest {
    int numberDecimals = DEFAULT_NUMBER_DECIMALS;
    ActiveLogSnapshot snapshot = sampleSnapshot();
    std::filesystem::path dayFile = folder / "12-06-2026_AL.csv";

    void writeRow(Host& through) {
        writeActiveLogRow(through, programFolder(), snapshot, numberDecimals);
    }
    std::string rowAt(const std::string& time) const {
        return activeLogRow(time, snapshot, ACTIVE_LOG_DECIMALS) + "\r\n";
    }
    std::string header() const { return activeLogHeader() + "\r\n"; }
    void writeDayFile(const std::string& bytes) const {
        std::ofstream(dayFile, std::ios::binary) << bytes;
    }
};

TEST_F(ActiveLoggerTest, HeaderOncePerDayAndMidnightRowStaysWithItsReading) {
    writeRow(host);
    EXPECT_EQ(numberDecimals, ACTIVE_LOG_DECIMALS);
    writeRow(midnightHost);
    EXPECT_EQ(readWhole(dayFile), header() + rowAt("14:30:05") + rowAt("23:59:59"));

    clock.set({2026, 12, 7, 0, 0, 30});
    writeRow(host);
    EXPECT_EQ(readWhole(folder / "12-07-2026_AL.csv"), header() + rowAt("00:00:30"));
    EXPECT_TRUE(ui.messageBoxes().empty());
}

TEST_F(ActiveLoggerTest, EmptyFileGetsTheHeaderOtherExistingFilesAreNeverEmptied) {
    writeDayFile("");
    writeRow(host);
    EXPECT_EQ(readWhole(dayFile), header() + rowAt("14:30:05"));

    writeDayFile("earlier rows\r\n");
    files.refused = {FileMode::Read};
    writeRow(host);
    EXPECT_EQ(readWhole(dayFile), "earlier rows\r\n" + rowAt("14:30:05"));

    files.refused = {FileMode::Read, FileMode::Append, FileMode::Write};
    writeRow(host);
    EXPECT_EQ(readWhole(dayFile), "earlier rows\r\n" + rowAt("14:30:05"));
    EXPECT_EQ(boxes(), Texts{"Failed: Active logger file could not be appended."});
}

TEST_F(ActiveLoggerTest, FailuresAreReported) {
    files.refused = {FileMode::Append, FileMode::Write};
    writeRow(host);
    EXPECT_FALSE(std::filesystem::exists(dayFile));
    files.refused.clear();
    files.failWrites = true;
    writeRow(host);
    files.failWrites = false;
    files.failClose = true;
    writeRow(host);
    EXPECT_EQ(boxes(), (Texts{"Failed: Active logger file could not be created.",
                              "Failed: Active File append failed.",
                              "Failed: Active logger file could not be appended.",
                              "Failed: Active logger file could not be appended."}));
}

} // namespace
} // namespace vz

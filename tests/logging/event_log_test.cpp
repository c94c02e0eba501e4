#include "logging_fixture.h"

#include "logging/event_log.h"

#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

using testing::FaultyFileSystem;
using testing::readWhole;
using testing::SteppingClock;
using testing::TempFolder;

class EventLogTest : public ::testing::Test {
protected:
    HeadlessUi ui;
    FaultyFileSystem files;
    FixedClock clock{{2026, 12, 6, 14, 30, 5}};
    Host host{ui, files, clock};
    TempFolder folder;

    void SetUp() override { host.windows.main = testing::openLogWindow(ui, files, clock); }

    const ControlState& list() const { return *ui.control(host.windows.main, EVENT_LOG_LIST); }
    std::string savedPath() const { return folder.file("12-06-2026_1430.txt"); }
    const MessageBoxRecord& lastBox() const { return ui.messageBoxes().back(); }
};

TEST_F(EventLogTest, ColumnsHaveTheirCaptionsAndWidths) {
    EXPECT_EQ(list().columns, (std::vector<std::string>{"Date", "Time", "Description"}));
    EXPECT_EQ(list().columnWidths, (std::vector<int>{75, 60, 265}));
}

TEST_F(EventLogTest, NewestRowGoesOnTopWithDateAndTime) {
    addEventLogRow(host, "Started VU Vurezer");
    clock.set({2027, 1, 2, 3, 4, 5});
    addEventLogRow(host, "second");
    ASSERT_EQ(list().rows.size(), 2U);
    EXPECT_EQ(list().rows[0], (std::vector<std::string>{"01-02-2027", "03:04:05", "second"}));
    EXPECT_EQ(list().rows[1],
              (std::vector<std::string>{"12-06-2026", "14:30:05", "Started VU Vurezer"}));
}

TEST_F(EventLogTest, RowAtMidnightTakesDateAndTimeFromOneReading) {
    SteppingClock stepping({{2026, 12, 6, 23, 59, 59}, {2026, 12, 7, 0, 0, 0}});
    Host steppingHost{ui, files, stepping, host.windows};
    addEventLogRow(steppingHost, "late");
    EXPECT_EQ(list().rows[0][0], "12-06-2026");
    EXPECT_EQ(list().rows[0][1], "23:59:59");
}

TEST_F(EventLogTest, SaveWritesEveryRowNewestFirstUnchanged) {
    addEventLogRow(host, "oldest");
    addEventLogRow(host, "a, b, c");
    const std::string longText(300, 'x');
    addEventLogRow(host, longText);
    saveEventLog(host, folder.programFolder());

    EXPECT_EQ(readWhole(savedPath()), "12-06-2026,14:30:05," + longText +
                                          "\r\n12-06-2026,14:30:05,a, b, c"
                                          "\r\n12-06-2026,14:30:05,oldest\r\n");
    EXPECT_EQ(lastBox().text, "Log file creation complete.");
    EXPECT_EQ(lastBox().caption, "Complete");
    EXPECT_EQ(lastBox().style, MB_INFORMATION);
    EXPECT_EQ(list().rows.size(), 3U);
}

TEST_F(EventLogTest, SaveKeepsRowsBeyondTheOldLimit) {
    for (int i = 0; i < 2500; ++i) {
        addEventLogRow(host, "row " + std::to_string(i));
    }
    saveEventLog(host, folder.programFolder());
    const auto lines = testing::splitOn(readWhole(savedPath()), "\r\n");
    ASSERT_EQ(lines.size(), 2501U); // the last split is the empty tail after CR LF
    EXPECT_EQ(lines.front(), "12-06-2026,14:30:05,row 2499");
    EXPECT_EQ(lines[2499], "12-06-2026,14:30:05,row 0");
}

TEST_F(EventLogTest, SaveOfEmptyListCreatesEmptyFileAndReplacesEarlierSave) {
    addEventLogRow(host, "first save");
    saveEventLog(host, folder.programFolder());
    ui.reportClear(host.windows.main, EVENT_LOG_LIST);
    saveEventLog(host, folder.programFolder());
    EXPECT_EQ(readWhole(savedPath()), "");
    EXPECT_EQ(lastBox().text, "Log file creation complete.");
}

TEST_F(EventLogTest, FailuresAreReportedInsteadOfSuccess) {
    addEventLogRow(host, "entry");
    const auto expectFailure = [&] {
        saveEventLog(host, folder.programFolder());
        EXPECT_EQ(lastBox().owner, host.windows.main);
        EXPECT_EQ(lastBox().text, "File write failed.");
        EXPECT_EQ(lastBox().caption, "Failed");
        EXPECT_EQ(lastBox().style, MB_INFORMATION);
    };

    files.refusedModes = {FileMode::Write};
    expectFailure();
    EXPECT_EQ(ui.messageBoxes().size(), 1U);

    files.refusedModes.clear();
    files.failWrites = true;
    expectFailure();

    files.failWrites = false;
    files.failClose = true;
    expectFailure();

    for (const MessageBoxRecord& box : ui.messageBoxes()) {
        EXPECT_NE(box.text, "Log file creation complete.");
    }
    EXPECT_EQ(list().rows.size(), 1U);
}

TEST_F(EventLogTest, ClearAsksAndOnlyYesEmpties) {
    addEventLogRow(host, "keep");
    ui.queueMessageBoxAnswer(ANSWER_NO);
    clearEventLog(host);
    EXPECT_EQ(list().rows.size(), 1U);
    EXPECT_EQ(lastBox().text, "Are you sure you want to clear your log?");
    EXPECT_EQ(lastBox().caption, "Clear Log");
    EXPECT_EQ(lastBox().style, MB_QUESTION_YES_NO);

    ui.queueMessageBoxAnswer(ANSWER_YES);
    clearEventLog(host);
    EXPECT_TRUE(list().rows.empty());
    addEventLogRow(host, "fresh");
    ASSERT_EQ(list().rows.size(), 1U);
    EXPECT_EQ(list().rows[0][2], "fresh");
}

} // namespace
} // namespace vz

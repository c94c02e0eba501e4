#include "logging_fixture.h"

#include "logging/active_logger.h"
#include "platform/text.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

using testing::FaultyFileSystem;
using testing::readWhole;
using testing::splitOn;
using testing::SteppingClock;
using testing::TempFolder;
using testing::writeWhole;

ActiveLogSnapshot sampleSnapshot() {
    ActiveLogSnapshot snapshot;
    for (int i = 0; i < PAIR_COUNT; ++i) {
        const auto index = static_cast<std::size_t>(i);
        snapshot.livePrices[index] = 1.25F;
        snapshot.pairSlot[index] = i;
        snapshot.pairPips[index] = 10 - i;
    }
    snapshot.livePrices[0] = 105.0F;
    snapshot.livePrices[1] = 1.5F;
    snapshot.referenceBias = -3;
    snapshot.buyPower = 4;
    snapshot.sellPower = 7;
    snapshot.referenceDay = "2026.12.04";
    return snapshot;
}

TEST(ActiveLogTextTest, HeaderHas476CharactersIn47Fields) {
    const std::string header = activeLogHeader();
    EXPECT_EQ(header.size(), 476U);
    const auto fields = splitOn(header, ",");
    ASSERT_EQ(fields.size(), 47U);
    EXPECT_EQ(fields[0], "Time");
    for (std::size_t pair = 0; pair < PAIR_COUNT; ++pair) {
        const std::string symbol(PAIR_TABLE[pair]);
        EXPECT_EQ(fields[1 + 3 * pair], symbol);
        EXPECT_EQ(fields[2 + 3 * pair], symbol + "-Slot");
        EXPECT_EQ(fields[3 + 3 * pair], symbol + "-Pips");
    }
    EXPECT_EQ(fields[43], "Ref Bias");
    EXPECT_EQ(fields[46], "Ref Day");
}

TEST(ActiveLogTextTest, RowMatchesHeaderFieldForField) {
    const auto fields = splitOn(activeLogRow("14:30:00", sampleSnapshot(), 4), ",");
    ASSERT_EQ(fields.size(), 47U);
    EXPECT_EQ(fields[0], "14:30:00");
    EXPECT_EQ(fields[1], " 105");
    EXPECT_EQ(fields[2], " 0");
    EXPECT_EQ(fields[3], " 10");
    EXPECT_EQ(fields[4], " 1.5000");
    EXPECT_EQ(fields[7], " 1.2500");
    EXPECT_EQ(fields[42], " -3"); // pips of the last pair
    EXPECT_EQ(fields[43], " -3");
    EXPECT_EQ(fields[44], " 4");
    EXPECT_EQ(fields[45], " 7");
    EXPECT_EQ(fields[46], "2026.12.04");
}

TEST(ActiveLogTextTest, FileNameIsTheDayOfTheReading) {
    EXPECT_EQ(activeLogFileName("dir/", {2026, 12, 6, 23, 59, 59}), "dir/12-06-2026_AL.csv");
}

class ActiveLoggerTest : public ::testing::Test {
protected:
    HeadlessUi ui;
    FaultyFileSystem files;
    FixedClock clock{{2026, 12, 6, 14, 30, 0}};
    Host host{ui, files, clock};
    TempFolder folder;
    int numberDecimals = DEFAULT_NUMBER_DECIMALS;
    ActiveLogSnapshot snapshot = sampleSnapshot();

    void SetUp() override {
        host.windows.main = ui.openWindow(0, 0, 800, 600, WINDOW_POPUP, "main", {});
    }

    void writeRow() { writeActiveLogRow(host, folder.programFolder(), snapshot, numberDecimals); }
    std::string dayFile() const { return folder.file("12-06-2026_AL.csv"); }
    std::string rowAt(const std::string& time) const {
        return activeLogRow(time, snapshot, ACTIVE_LOG_DECIMALS) + "\r\n";
    }
    std::string headerLine() const { return activeLogHeader() + "\r\n"; }

    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const MessageBoxRecord& box : ui.messageBoxes()) {
            EXPECT_EQ(box.caption, "Failed");
            EXPECT_EQ(box.style, MB_INFORMATION);
            EXPECT_EQ(box.owner, host.windows.main);
            texts.push_back(box.text);
        }
        return texts;
    }
    bool everOpenedForWriting() const {
        return std::count(files.opened.begin(), files.opened.end(), FileMode::Write) != 0;
    }
};

TEST_F(ActiveLoggerTest, FirstRowOfTheDayBringsTheHeaderLaterRowsOnlyAppend) {
    writeRow();
    EXPECT_EQ(numberDecimals, ACTIVE_LOG_DECIMALS);
    clock.advanceSeconds(60);
    writeRow();
    EXPECT_EQ(readWhole(dayFile()), headerLine() + rowAt("14:30:00") + rowAt("14:31:00"));
    EXPECT_TRUE(ui.messageBoxes().empty());

    clock.set({2026, 12, 7, 0, 0, 30});
    writeRow();
    EXPECT_EQ(readWhole(folder.file("12-07-2026_AL.csv")), headerLine() + rowAt("00:00:30"));
}

TEST_F(ActiveLoggerTest, RowAcrossMidnightStaysWithTheDayOfItsOneReading) {
    SteppingClock stepping({{2026, 12, 6, 23, 59, 59}, {2026, 12, 7, 0, 0, 0}});
    Host steppingHost{ui, files, stepping, host.windows};
    writeActiveLogRow(steppingHost, folder.programFolder(), snapshot, numberDecimals);
    EXPECT_EQ(readWhole(dayFile()), headerLine() + rowAt("23:59:59"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("12-07-2026_AL.csv")));
}

TEST_F(ActiveLoggerTest, DeletedOrEmptyFileGetsTheHeaderAgain) {
    writeRow();
    std::filesystem::remove(dayFile());
    writeRow();
    EXPECT_EQ(readWhole(dayFile()), headerLine() + rowAt("14:30:00"));

    writeWhole(dayFile(), "");
    writeRow();
    EXPECT_EQ(readWhole(dayFile()), headerLine() + rowAt("14:30:00"));
    EXPECT_FALSE(everOpenedForWriting());
}

TEST_F(ActiveLoggerTest, ExistingFileThatCannotBeReadIsAppendedNotEmptied) {
    writeWhole(dayFile(), "earlier rows\r\n");
    files.refusedModes = {FileMode::Read};
    writeRow();
    EXPECT_EQ(readWhole(dayFile()), "earlier rows\r\n" + rowAt("14:30:00"));
    EXPECT_FALSE(everOpenedForWriting());
    EXPECT_TRUE(ui.messageBoxes().empty());
}

TEST_F(ActiveLoggerTest, ExistingFileThatCannotBeAppendedIsKept) {
    writeWhole(dayFile(), "earlier rows\r\n");
    files.refusedModes = {FileMode::Read, FileMode::Append, FileMode::Write};
    writeRow();
    EXPECT_EQ(readWhole(dayFile()), "earlier rows\r\n");
    EXPECT_EQ(messages(), (std::vector<std::string>{"Active logger file could not be appended."}));
}

TEST_F(ActiveLoggerTest, MissingFileThatCannotBeCreatedShowsBothMessages) {
    files.refusedModes = {FileMode::Append, FileMode::Write};
    writeRow();
    EXPECT_FALSE(std::filesystem::exists(dayFile()));
    EXPECT_EQ(messages(), (std::vector<std::string>{"Active logger file could not be created.",
                                                    "Active File append failed."}));
}

TEST_F(ActiveLoggerTest, WriteOrCloseErrorsAreReported) {
    files.failWrites = true;
    writeRow();
    files.failWrites = false;
    files.failClose = true;
    writeRow();
    EXPECT_EQ(messages(), (std::vector<std::string>{"Active logger file could not be appended.",
                                                    "Active logger file could not be appended."}));
}

} // namespace
} // namespace vz

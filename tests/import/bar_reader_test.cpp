#include "tools/import/bar_reader.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vz {
namespace {

Minute utc(int year, int month, int day, int hour, int minute = 0) {
    return daysFromCivil({year, month, day}) * MINUTES_PER_DAY + hour * 60 + minute;
}

BarReadResult readText(const std::string& text, InputFormat format = InputFormat::Auto) {
    std::istringstream in(text);
    return readBars(in, "in.csv", format);
}

class LayoutDetection : public ::testing::Test {
protected:
    static void expectTwoBars(const BarReadResult& result, double secondClose) {
        ASSERT_FALSE(result.error) << describe(*result.error);
        ASSERT_EQ(result.bars.size(), 2U);
        EXPECT_EQ(result.bars[0].stamp, utc(2024, 1, 2, 13, 0));
        EXPECT_EQ(result.bars[1].stamp, utc(2024, 1, 2, 13, 15));
        EXPECT_DOUBLE_EQ(result.bars[1].close, secondClose);
    }
};

TEST_F(LayoutDetection, MetaTraderHistoryCentre) {
    expectTwoBars(readText("2024.01.02,13:00,1.1,1.2,1.0,1.15,120\r\n"
                           "2024.01.02,13:15,1.15,1.2,1.1,1.17,80\r\n"),
                  1.17);
}

TEST_F(LayoutDetection, MetaTraderTableWithTabsAndExtraColumns) {
    expectTwoBars(
        readText("<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>\t<VOL>\t<SPREAD>\n"
                 "2024.01.02\t13:00:00\t1.1\t1.2\t1.0\t1.15\t10\t0\t5\n"
                 "2024.01.02\t13:15:00\t1.1\t1.2\t1.0\t1.16\t10\t0\t5\n"),
        1.16);
}

TEST_F(LayoutDetection, AsciiOneMinute) {
    expectTwoBars(readText("20240102 130000;1.1;1.2;1.0;1.15;0\n"
                           "20240102 131500;1.1;1.2;1.0;1.18;0\n"),
                  1.18);
}

TEST_F(LayoutDetection, HeaderedTableWithOffsetsAndByteOrderMark) {
    const auto result = readText("\xEF\xBB\xBFTIME_UTC,Open,High,Low,CLOSE,Volume\n"
                                 "2024-01-02 13:00:00+00:00,1.1,1.2,1.0,1.15,264.2\n"
                                 "\n"
                                 "2024-01-02 13:15:00+00:00,1.1,1.2,1.0,1.19,66.5\n");
    expectTwoBars(result, 1.19);
    EXPECT_EQ(result.bars[0].offsetMinutes, 0);
}

TEST_F(LayoutDetection, SeparateDateAndTimeColumnsWithSemicolons) {
    expectTwoBars(readText("Date;Time;Close\n2024-01-02;13:00;1.1\n2024-01-02;13:15;1.12\n"), 1.12);
}

TEST_F(LayoutDetection, UnnamedStampColumnAndTwoCloseColumnsOfWhichOneIsFilled) {
    // Two downloads appended to one file: each row fills one set of columns.
    expectTwoBars(readText(",open,high,low,close,volume,Open,High,Low,Close,Volume\n"
                           "2024-01-02 13:00:00+00:00,1.1,1.2,1.0,1.15,0.0,,,,,\n"
                           "2024-01-02 13:15:00,,,,,,1.1,1.2,1.0,1.14,0\n"),
                  1.14);
}

TEST_F(LayoutDetection, ShortRowsOfAnotherDownloadStillCount) {
    expectTwoBars(readText(",open,high,low,close,volume,Open,High,Low,Close,Volume\n"
                           "2024-01-02 13:00:00,1.1,1.2,1.0,1.15,0\n"
                           "2024-01-02 13:15:00,1.1,1.2,1.0,1.13,0\n"),
                  1.13);
}

TEST_F(LayoutDetection, ForcedFormatOverridesDetection) {
    const auto result = readText("Date;Close\n", InputFormat::Ascii);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->line, 1);
}

class BadInput : public ::testing::Test {
protected:
    static void expectError(const std::string& text, int line, const std::string& fragment) {
        const auto result = readText(text);
        ASSERT_TRUE(result.error);
        EXPECT_TRUE(result.bars.empty());
        EXPECT_EQ(result.error->file, "in.csv");
        EXPECT_EQ(result.error->line, line);
        EXPECT_NE(result.error->message.find(fragment), std::string::npos) << result.error->message;
    }
};

TEST_F(BadInput, NamesTheLineOfABadPrice) {
    expectError("time,close\n2024-01-02 13:00,1.1\n\n2024-01-02 13:15,1,10\n"
                "2024-01-02 13:30,x\n",
                5, "bad close price \"x\"");
}

TEST_F(BadInput, NamesTheLineOfABadStamp) {
    expectError("2024.01.02,13:00,1,1,1,1.1,0\n2024.02.30,13:15,1,1,1,1.1,0\n", 2,
                "bad date or time");
}

TEST_F(BadInput, RowsWithoutAnyClose) {
    expectError("time,open,close\n2024-01-02 13:00,1.1\n", 2, "no close price");
    expectError("time,close\n2024-01-02 13:00,\n", 2, "no close price");
}

TEST_F(BadInput, HeadersThatNameNoUsableColumn) {
    expectError("Open,High,Low,Close\n", 1, "no date or time column");
    expectError("Time,Open,High,Low\n", 1, "no close column");
}

TEST_F(BadInput, BarsWithoutHeaderInAnUnknownLayout) {
    expectError("2024-01-02 13:00:00,1.1,1.2,1.0,1.15\n", 1, "no header line");
}

TEST_F(BadInput, EmptyHeaderOnlyAndCompressedFiles) {
    expectError("", 0, "holds no bars");
    expectError("time,close\r\n\r\n", 0, "holds no bars");
    expectError(std::string("\xFD"
                            "7zXZ\0\0garbage",
                            12),
                0, "compressed");
}

TEST(InputErrorText, NamesFileAndLine) {
    EXPECT_EQ(describe({"a.csv", 7, "bad"}), "a.csv:7: bad");
    EXPECT_EQ(describe({"a.csv", 0, "holds no bars"}), "a.csv: holds no bars");
}

} // namespace
} // namespace vz

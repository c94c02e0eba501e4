#include "market/data_files.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace vz {
namespace {

// Serves a fixed byte string, so line ends can be tested byte for byte.
class MemoryFile final : public TextFile {
public:
    explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
    int readByte() override {
        const int byte = peekByte();
        pos_ += byte >= 0 ? 1 : 0;
        return byte;
    }
    int peekByte() override {
        return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_]) : -1;
    }
    bool write(std::string_view) override { return false; }
    bool close() override { return true; }

private:
    std::string bytes_;
    std::size_t pos_ = 0;
};

std::vector<std::string> allLines(std::string bytes) {
    MemoryFile file(std::move(bytes));
    std::vector<std::string> lines;
    while (auto line = readTextLine(file)) {
        lines.push_back(*line);
    }
    return lines;
}

using Lines = std::vector<std::string>;

TEST(ReadTextLine, EachLineEndStyleEndsOneLine) {
    EXPECT_EQ(allLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(allLines("a\r\rb\n\n"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(allLines("a\n\r"), (Lines{"a", ""}));
}

TEST(ReadTextLine, TrailingLineEndGivesNoExtraLine) {
    EXPECT_EQ(allLines(""), Lines{});
    EXPECT_EQ(allLines("\r\n"), Lines{""});
    EXPECT_EQ(allLines("x\r\n"), Lines{"x"});
}

TEST(ReadTextLine, LongLineIsReadWhole) {
    const std::string longLine(5000, 'q');
    EXPECT_EQ(allLines(longLine + "\r\nnext"), (Lines{longLine, "next"}));
}

TEST(ParseNumber, StopsAtFirstCharacterThatDoesNotFit) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"499.99", 499.99}, {"1.5E2", 1.5},  {"+1", 0.0},    {"-1", -1.0}, {"  12.5,13", 12.5},
        {"\t 7", 7.0},      {"abc", 0.0},    {"1,25", 1.0},  {".5", 0.5},  {"-.25", -0.25},
        {"12.", 12.0},      {"12.x", 12.0},  {"1.2.3", 1.2}, {"", 0.0},    {"-", 0.0},
        {"- 1", 0.0},       {"007.50", 7.5}, {"1 2", 1.0},   {"--1", 0.0}, {".", 0.0}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(parseNumber(text), expected) << '"' << text << '"';
    }
}

TEST(ParseNumber, RoundsLongDigitStringsCorrectly) {
    EXPECT_EQ(parseNumber("1" + std::string(299, '0')), 1e299);
    EXPECT_EQ(parseNumber("0." + std::string(20, '0') + "1"), 1e-21);
    EXPECT_EQ(parseNumber("9007199254740993"), 9007199254740992.0);
}

TEST(ParseNumber, DigitStringsBeyondDoubleRangeSaturate) {
    const std::string huge(400, '9');
    EXPECT_EQ(parseNumber(huge), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseNumber("-" + huge + ".5"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_FALSE(acceptsLivePrice(parseNumber(huge)));
}

TEST(ParseHistoryLine, CutsLabelByPosition) {
    const HistoryBar daily = parseHistoryLine("2024.01.02,1.0950,1.0960", Timeframe::Daily);
    EXPECT_EQ(daily.text, "2024.01.02");
    EXPECT_EQ(daily.price, 1.095F);

    const HistoryBar hourly = parseHistoryLine("2024.01.02 04:00;150.25", Timeframe::OneHour);
    EXPECT_EQ(hourly.text, "2024.01.02 04:00");
    EXPECT_EQ(hourly.price, 150.25F);

    const HistoryBar shortDate = parseHistoryLine("24.01.02,1.0950", Timeframe::Daily);
    EXPECT_EQ(shortDate.text, "24.01.02,1");
    EXPECT_EQ(shortDate.price, 950.0F);
}

TEST(ParseHistoryLine, LinesWithoutRoomForAPriceGiveZero) {
    EXPECT_EQ(parseHistoryLine("2024.01.02,", Timeframe::Daily).price, 0.0F);
    EXPECT_EQ(parseHistoryLine("2024.01.02,", Timeframe::Daily).text, "2024.01.02");
    EXPECT_EQ(parseHistoryLine("2024.01.02 04:00,", Timeframe::FourHour).price, 0.0F);
    EXPECT_EQ(parseHistoryLine("abc", Timeframe::Daily).text, "abc");
    EXPECT_EQ(parseHistoryLine("", Timeframe::Daily).text, "");
    EXPECT_EQ(parseHistoryLine("Date,Open,High", Timeframe::Daily).price, 0.0F);
}

} // namespace
} // namespace vz

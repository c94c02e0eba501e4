#include "market/data_files.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace vz {
namespace {

constexpr Timeframe D1 = Timeframe::Daily, H1 = Timeframe::OneHour;

TEST(ParseNumber, StopsAtFirstCharacterThatDoesNotFitAndRoundsAnyLength) {
    const std::string nines(400, '9'), zeros(400, '0');
    const std::vector<std::pair<std::string, double>> cases = {
        {"499.99", 499.99},  {"1.5E2", 1.5}, {"+1", 0.0},    {"-.25", -0.25},
        {"  12.5,13", 12.5}, {"\t 7", 7.0},  {"12.x", 12.0}, {"1.2.3", 1.2},
        {"", 0.0},           {"- 1", 0.0},   {".", 0.0}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(parseNumber(text), expected) << '"' << text << '"';
    }
    // Digit strings too long for a fixed buffer still round correctly, or saturate.
    EXPECT_EQ(parseNumber("9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(parseNumber("1" + zeros.substr(101)), 1e299);
    EXPECT_EQ(parseNumber("0." + zeros.substr(380) + "1"), 1e-21);
    EXPECT_EQ(parseNumber("0." + zeros + "1"), 0.0);
    EXPECT_EQ(parseNumber(nines), HUGE_VAL);
    EXPECT_EQ(parseNumber("-" + nines + ".5"), -HUGE_VAL);
}

// Short numbers take a quicker path than long ones; both must give the
// correctly rounded value that strtod gives.
TEST(ParseNumber, EveryLengthRoundsLikeStrtod) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const int integerDigits = static_cast<int>(random() % 9);
        const int fractionDigits = static_cast<int>(random() % 12);
        std::string text = random() % 4 == 0 ? "-" : "";
        for (int d = 0; d < integerDigits + fractionDigits; ++d) {
            if (d == integerDigits) {
                text += '.';
            }
            text += static_cast<char>('0' + random() % 10);
        }
        if (integerDigits + fractionDigits == 0) {
            continue;
        }
        EXPECT_EQ(parseNumber(text), std::strtod(text.c_str(), nullptr)) << text;
    }
    for (const char* text : {"123456789012345", "1234567890123456", "0.000000000000001",
                             "9.99999999999999", "-0", "0.1", "0.3", "2.675"}) {
        EXPECT_EQ(parseNumber(text), std::strtod(text, nullptr)) << text;
    }
    EXPECT_TRUE(std::signbit(parseNumber("-0")));
}

TEST(ParseHistoryLine, CutsTheLabelByPosition) {
    const std::vector<std::tuple<std::string, Timeframe, std::string, float>> cases = {
        {"2024.01.02 04:00;150.25", H1, "2024.01.02 04:00", 150.25F},
        {"24.01.02,1.0950", D1, "24.01.02,1", 950.0F}, // a short date shifts the cut
        {"2024.01.02,", D1, "2024.01.02", 0.0F},
        {"Date,Open,High", D1, "Date,Open,", 0.0F}};
    for (const auto& [line, timeframe, text, price] : cases) {
        const HistoryBar bar = parseHistoryLine(line, timeframe);
        EXPECT_EQ(std::tie(bar.text, bar.price), std::tie(text, price)) << line;
    }
}

TEST(LastListedIndex, TheFirstZeroPriceInAnyPairDecides) {
    PriceHistory history;
    for (int bar = 0; bar < PAIR_COUNT * 100; ++bar) {
        history.bar(H1, bar / 100, bar % 100).price = 1.0F;
    }
    EXPECT_EQ(computeLastListedIndex(history, H1), 100);
    history.bar(H1, 13, 60).price = 0.0F;
    history.bar(H1, 2, 80).price = 0.0F;
    history.bar(H1, 0, 40).price = -1.0F;
    EXPECT_EQ(computeLastListedIndex(history, H1), 60);
    history.bar(H1, 5, 0).price = 0.0F;
    EXPECT_EQ(computeLastListedIndex(history, H1), 0);
}

} // namespace
} // namespace vz

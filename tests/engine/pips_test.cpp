#include "engine/pips.h"
#include "platform/palette.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace vz {
namespace {

constexpr int GBPUSD = 0;
constexpr int EURGBP = 1;
constexpr int GBPJPY = 2;
constexpr int EURJPY = 6;
constexpr int EURUSD = 7;
constexpr int USDJPY = 8;
constexpr std::int32_t INT_MAX32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t INT_MIN32 = std::numeric_limits<std::int32_t>::min();

TEST(PairPips, SecondHalfCountsAFallAsGain) {
    EXPECT_EQ(pairPipsSince(GBPUSD, 1.9900F, 1.9850F), 50);
    EXPECT_EQ(pairPipsSince(EURUSD, 1.4700F, 1.4750F), 50);
    EXPECT_EQ(pairPipsSince(USDJPY, 108.00F, 107.50F), -50);
}

TEST(PairPips, RoundsInsteadOfTruncating) {
    // The single-precision product is 298.9998, which truncation would make 298.
    EXPECT_EQ(pairPipsSince(EURJPY, 100.00F, 97.01F), 299);
}

TEST(PairPips, ExactHalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundToPips(2.5F), 2);
    EXPECT_EQ(roundToPips(3.5F), 4);
    EXPECT_EQ(roundToPips(-2.5F), -2);
    EXPECT_EQ(roundToPips(-3.5F), -4);
    EXPECT_EQ(roundToPips(0.5F), 0);
    EXPECT_EQ(roundToPips(2.4999998F), 2);
    EXPECT_EQ(roundToPips(-0.75F), -1);
}

TEST(PairPips, ProductIsRoundedToSinglePrecisionBeforeTheFinalRounding) {
    // In double precision these products lie just above the half and would
    // round up to 3; in single precision they are exactly 2.5.
    EXPECT_EQ(pairPipsSince(GBPJPY, 0.025F, 0.0F), 2);
    EXPECT_EQ(pairPipsSince(GBPUSD, 0.00025F, 0.0F), 2);
    EXPECT_EQ(pairPipsSince(GBPJPY, 0.035F, 0.0F), 4);
}

TEST(PairPips, HugeAndInvalidValuesSaturate) {
    EXPECT_EQ(roundToPips(1e20F), INT_MAX32);
    EXPECT_EQ(roundToPips(-1e20F), INT_MIN32);
    EXPECT_EQ(roundToPips(std::numeric_limits<float>::infinity()), INT_MAX32);
    EXPECT_EQ(roundToPips(-std::numeric_limits<float>::infinity()), INT_MIN32);
    EXPECT_EQ(roundToPips(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(roundToPips(2147483520.0F), 2147483520);
    EXPECT_EQ(roundToPips(-2147483648.0F), INT_MIN32);
    EXPECT_EQ(pairPipsSince(EURUSD, 1.0F, 99999999999.0F), INT_MAX32);
    EXPECT_EQ(pairPipsSince(GBPUSD, 1.0F, 99999999999.0F), INT_MIN32);
}

std::vector<std::string> symbolsOf(const SlotList& entries) {
    std::vector<std::string> symbols;
    for (const SlotEntry& entry : entries) {
        symbols.push_back(entry.symbol);
    }
    return symbols;
}

SlotList entriesWithPips(const std::vector<int>& pips) {
    SlotList entries = buildSlotEntries({}, {});
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].pips = pips[i];
    }
    return entries;
}

TEST(ExchangeSort, EqualPipsKeepThePairTableOrder) {
    SlotList entries = entriesWithPips(std::vector<int>(PAIR_COUNT, 0));
    exchangeSort(entries);
    const std::vector<std::string> expected(PAIR_TABLE.begin(), PAIR_TABLE.end());
    EXPECT_EQ(symbolsOf(entries), expected);
}

TEST(ExchangeSort, TiesLandWhereTheSwapsLeaveThem) {
    SlotList entries = entriesWithPips({10, 10, 20, -1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11});
    exchangeSort(entries);
    EXPECT_EQ(entries[0].symbol, "GBPJPY");
    EXPECT_EQ(entries[1].symbol, "EURGBP");
    EXPECT_EQ(entries[2].symbol, "GBPUSD");
    EXPECT_EQ(entries[2].colour, FIRST_GROUP_COLOUR);
    EXPECT_EQ(entries[13].symbol, "EURCHF");
    EXPECT_EQ(entries[13].colour, SECOND_GROUP_COLOUR);
}

TEST(Powers, SumsHalvesAndDerivesBiases) {
    const Powers powers =
        computePowers({10, 10, 10, 10, 0, 0, 0, -10, -10, -10, -10, -10, -10, -10});
    EXPECT_EQ(powers.buyPower, 40);
    EXPECT_EQ(powers.sellPower, -70);
    EXPECT_EQ(powers.referenceBias, 110);
    EXPECT_EQ(powers.basketBias, -30);
}

TEST(Powers, SaturateInsteadOfWrapping) {
    std::array<std::int32_t, PAIR_COUNT> pips{};
    pips[GBPUSD] = INT_MAX32;
    pips[EURGBP] = INT_MAX32;
    pips[EURUSD] = INT_MIN32;
    const Powers powers = computePowers(pips);
    EXPECT_EQ(powers.buyPower, INT_MAX32);
    EXPECT_EQ(powers.sellPower, INT_MIN32);
    EXPECT_EQ(powers.referenceBias, INT_MAX32);
    EXPECT_EQ(powers.basketBias, -1);
}

} // namespace
} // namespace vz

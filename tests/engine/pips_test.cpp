#include "engine_fixture.h"

namespace vz::testing {
namespace {

constexpr int GBPUSD = 0;
constexpr int GBPJPY = 2;
constexpr int EURJPY = 6;
constexpr int EURUSD = 7;
constexpr int USDJPY = 8;
constexpr float INF = std::numeric_limits<float>::infinity();
constexpr float NAN_F = std::numeric_limits<float>::quiet_NaN();

TEST(PairPips, CountsSecondHalfFallsAsGainsRoundingInSinglePrecision) {
    struct Case {
        int pair;
        float live, reference;
        std::int32_t expected;
    };
    const Case cases[] = {
        {GBPUSD, 1.9900F, 1.9850F, 50},
        {EURUSD, 1.4700F, 1.4750F, 50},
        {USDJPY, 108.00F, 107.50F, -50},
        {EURJPY, 100.00F, 97.01F, 299}, // 298.9998 in single precision: rounded, not truncated
        // Just above the half in double precision, exactly 2.5 / 3.5 in single.
        {GBPJPY, 0.025F, 0.0F, 2},
        {GBPUSD, 0.00025F, 0.0F, 2},
        {GBPJPY, 0.035F, 0.0F, 4},
        {EURUSD, 1.0F, 99999999999.0F, MOST},
        {GBPUSD, 1.0F, 99999999999.0F, LEAST}};
    for (const Case& c : cases) {
        EXPECT_EQ(pairPipsSince(c.pair, c.live, c.reference), c.expected)
            << c.pair << ": " << c.live << " vs " << c.reference;
    }
}

TEST(PairPips, RoundsHalvesToEvenAndSaturates) {
    // Pairwise: 2.4999998 would reach 3 through a float "+ 0.5"; 2147483520 is the
    // largest float below 2^31.
    const float values[] = {2.5F,  3.5F, -2.5F, 0.5F,          2.4999998F,    -0.75F,
                            1e20F, -INF, NAN_F, 2147483520.0F, -2147483648.0F};
    const std::int32_t rounded[] = {2, 4, -2, 0, 2, -1, MOST, LEAST, 0, 2147483520, LEAST};
    static_assert(std::size(values) == std::size(rounded));
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(roundToPips(values[i]), rounded[i]) << values[i];
    }
}

SlotList sorted(const Pips& pips) {
    SlotList entries = buildSlotEntries({}, {});
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].pips = pips[i];
    }
    exchangeSort(entries);
    return entries;
}

TEST(ExchangeSort, TiesLandWhereTheSwapsLeaveThem) {
    const SlotList equal = sorted(Pips(PAIR_COUNT, 0));
    for (std::size_t i = 0; i < equal.size(); ++i) {
        EXPECT_EQ(equal[i].symbol, PAIR_TABLE[i]);
    }
    const SlotList tied = sorted({10, 10, 20, -1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11});
    EXPECT_EQ(tied[0].symbol, "GBPJPY");
    EXPECT_EQ(tied[1].symbol, "EURGBP");
    EXPECT_EQ(tied[2].symbol, "GBPUSD");
    EXPECT_EQ(tied[2].colour, FIRST_GROUP_COLOUR);
    EXPECT_EQ(tied[13].symbol, "EURCHF");
    EXPECT_EQ(tied[13].colour, SECOND_GROUP_COLOUR);
}

TEST(Powers, SumsHalvesAndDerivesBiases) {
    const Powers powers =
        computePowers({10, 10, 10, 10, 0, 0, 0, -10, -10, -10, -10, -10, -10, -10});
    EXPECT_EQ(powers.buyPower, 40);
    EXPECT_EQ(powers.sellPower, -70);
    EXPECT_EQ(powers.referenceBias, 110);
    EXPECT_EQ(powers.basketBias, -30);
}

} // namespace
} // namespace vz::testing

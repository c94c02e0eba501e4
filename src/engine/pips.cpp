#include "engine/pips.h"

#include "platform/palette.h"

#include <cmath>
#include <limits>
#include <utility>

namespace vz {

namespace {

constexpr double INT32_LOW = static_cast<double>(std::numeric_limits<std::int32_t>::min());
constexpr double INT32_HIGH = static_cast<double>(std::numeric_limits<std::int32_t>::max());

} // namespace

// Ties to even without relying on the current rounding mode. Every float is
// exact as a double, so the fraction test below is exact too. The floor is
// taken by truncating to an integer, which costs much less than std::floor
// on the processors the program is built for.
std::int32_t roundToPips(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    const auto exact = static_cast<double>(value);
    if (exact <= INT32_LOW) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (exact >= INT32_HIGH) {
        return std::numeric_limits<std::int32_t>::max();
    }
    // Without branches: whether a price rounds up is a coin toss, and the
    // mispredictions cost more than the rest of the pips together.
    auto below = static_cast<std::int64_t>(exact);
    below -= static_cast<std::int64_t>(static_cast<double>(below) > exact);
    const double fraction = exact - static_cast<double>(below);
    const bool up = (fraction > 0.5) | ((fraction == 0.5) & ((below & 1) != 0));
    return static_cast<std::int32_t>(below + static_cast<std::int64_t>(up));
}

std::int32_t saturatedSum(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t pairPipsSince(int pair, float live, float reference) {
    // Each step is stored in a float so that it is rounded to single
    // precision exactly where the method's figures expect it.
    const float difference = inFirstHalf(pair) ? live - reference : reference - live;
    const float scaled = difference * static_cast<float>(pipFactor(pair));
    return roundToPips(scaled);
}

std::optional<std::array<float, PAIR_COUNT>> referencePrices(const PriceHistory& history,
                                                             Timeframe timeframe, int index) {
    if (index < 0 || index >= HISTORY_CAPACITY) {
        return std::nullopt;
    }
    std::array<float, PAIR_COUNT> prices{};
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        prices[static_cast<std::size_t>(pair)] = history.bar(timeframe, pair, index).price;
    }
    return prices;
}

SlotList buildSlotEntries(const std::array<float, PAIR_COUNT>& live,
                          const std::array<float, PAIR_COUNT>& reference) {
    SlotList entries;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto p = static_cast<std::size_t>(pair);
        entries[p].symbol = PAIR_TABLE[p];
        entries[p].pair = pair;
        entries[p].colour = inFirstHalf(pair) ? FIRST_GROUP_COLOUR : SECOND_GROUP_COLOUR;
        entries[p].pips = pairPipsSince(pair, live[p], reference[p]);
    }
    return entries;
}

// The swaps are made on one 64-bit key per entry, its pips above its
// position, and the entries are moved once at the end: the same order at a
// fifth of the cost of swapping whole entries. Entry i takes entry j's place
// when i's key is below j's key with the position bits cleared, which holds
// exactly when i has strictly fewer pips, whatever the positions.
void exchangeSort(SlotList& entries) {
    constexpr std::uint64_t PIPS_BITS = ~std::uint64_t{0xFFFFFFFF};
    std::array<std::int64_t, PAIR_COUNT> keys{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        keys[i] = static_cast<std::int64_t>(static_cast<std::uint64_t>(entries[i].pips) << 32U) |
                  static_cast<std::int64_t>(i);
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // Entry i only changes by these swaps, so it stays in a register
        // while j runs; the swaps are written without a branch, as which way
        // each goes is a coin toss.
        std::int64_t keyI = keys[i];
        for (std::size_t j = i + 1; j < keys.size(); ++j) {
            const std::int64_t keyJ = keys[j];
            const bool swap =
                keyI < static_cast<std::int64_t>(static_cast<std::uint64_t>(keyJ) & PIPS_BITS);
            keys[j] = swap ? keyI : keyJ;
            keyI = swap ? keyJ : keyI;
        }
        keys[i] = keyI;
    }
    const SlotList unsorted = entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = unsorted[static_cast<std::size_t>(keys[i] & 0xFF)];
    }
}

Powers computePowers(const std::array<std::int32_t, PAIR_COUNT>& pairPips) {
    std::int64_t buy = 0;
    std::int64_t sell = 0;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const std::int64_t pips = pairPips[static_cast<std::size_t>(pair)];
        (inFirstHalf(pair) ? buy : sell) += pips;
    }
    Powers powers;
    powers.buyPower = saturatedSum(buy);
    powers.sellPower = saturatedSum(sell);
    const std::int64_t buyPower = powers.buyPower;
    const std::int64_t sellPower = powers.sellPower;
    powers.referenceBias = saturatedSum(buyPower - sellPower);
    powers.basketBias = saturatedSum(buyPower + sellPower);
    return powers;
}

} // namespace vz

#pragma once

#include "market/market_data.h"
#include "market/pairs.h"
#include "platform/colour.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vz {

// Nearest integer, exact halves to the even neighbour, saturated to the
// 32-bit range; NaN gives 0.
std::int32_t roundToPips(float value);

// Sum of 32-bit pips computed wide and saturated to the 32-bit range.
std::int32_t saturatedSum(std::int64_t value);

// Pips of one pair since the reference price: first-half pairs count live
// minus reference, second-half pairs the reverse; difference and product are
// rounded to single precision before the final rounding.
std::int32_t pairPipsSince(int pair, float live, float reference);

// The price of every pair at record `index` of the timeframe, or nothing when
// the index lies outside the history.
std::optional<std::array<float, PAIR_COUNT>> referencePrices(const PriceHistory& history,
                                                             Timeframe timeframe, int index);

// A pair in the ranking. The symbol views the pair table, so entries copy
// and swap as plain values while they are sorted.
struct SlotEntry {
    std::string_view symbol;
    Colour colour = 0;
    std::int32_t pips = 0;
    int pair = 0;
};

using SlotList = std::array<SlotEntry, PAIR_COUNT>;

// Entries in pair-index order with their group colours and pips.
SlotList buildSlotEntries(const std::array<float, PAIR_COUNT>& live,
                          const std::array<float, PAIR_COUNT>& reference);

// Strongest first by the exchange sort: for i < j, swap when entry i has
// strictly fewer pips than entry j. Equal pips never swap, and the order this
// leaves among equals is the order traders see.
void exchangeSort(SlotList& entries);

struct Powers {
    std::int32_t buyPower = 0;
    std::int32_t sellPower = 0;
    std::int32_t referenceBias = 0;
    std::int32_t basketBias = 0;
};

// Powers of pips given in pair-index order.
Powers computePowers(const std::array<std::int32_t, PAIR_COUNT>& pairPips);

} // namespace vz

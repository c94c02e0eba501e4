#pragma once

#include <array>
#include <string_view>

namespace vz {

inline constexpr int PAIR_COUNT = 14;
inline constexpr int HALF_SIZE = 7;

// The pair index is the position in this table; every per-pair array uses it.
inline constexpr std::array<std::string_view, PAIR_COUNT> PAIR_TABLE = {
    "GBPUSD", "EURGBP", "GBPJPY", "USDCHF", "NZDUSD", "AUDJPY", "EURJPY",
    "EURUSD", "USDJPY", "AUDUSD", "NZDJPY", "GBPCHF", "CHFJPY", "EURCHF"};

inline constexpr int EURUSD_INDEX = 7;

// 100 for the six JPY pairs, 10000 for the rest.
constexpr int pipFactor(int pair) {
    return PAIR_TABLE[static_cast<std::size_t>(pair)].substr(3) == "JPY" ? 100 : 10000;
}

// Pairs 0-6 count live minus reference, pairs 7-13 the other way round.
constexpr bool inFirstHalf(int pair) {
    return pair >= 0 && pair < HALF_SIZE;
}

// True when the symbol is one of the first seven symbols of the table.
bool isFirstHalfSymbol(std::string_view symbol);

// Pair index of a symbol, or -1.
int pairIndexOf(std::string_view symbol);

} // namespace vz

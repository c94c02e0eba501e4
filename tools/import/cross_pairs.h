#pragma once

#include "market/pairs.h"
#include "tools/import/clock_time.h"

#include <array>
#include <map>
#include <optional>
#include <string>

namespace vz {

// The fourteen pairs, then the other pairs of their seven currencies, which
// a broker's folder often holds and which can serve as legs of a built cross.
inline constexpr int EXTENDED_PAIR_COUNT = PAIR_COUNT + 7;
inline constexpr std::array<std::string_view, EXTENDED_PAIR_COUNT - PAIR_COUNT> LEG_ONLY_PAIRS = {
    "EURAUD", "EURNZD", "GBPAUD", "GBPNZD", "AUDNZD", "AUDCHF", "NZDCHF"};

// The symbol of a pair of the extended index: 0 to 13 the fourteen pairs.
std::string_view extendedSymbol(int pair);

// A leg-only pair named in a file name (with the prefix and suffix around
// it), as an extended index; -1 for none.
int legOnlyPairFromFileName(std::string_view fileName, std::string_view prefix = {},
                            std::string_view suffix = {});

// One factor of a built cross: a pair's close, or its reciprocal.
struct CrossLeg {
    int pair = -1;
    bool inverted = false;
};

// A missing pair A/B built as (A/C) x (C/B) through a currency C that both
// legs share.
struct CrossRecipe {
    int pair = -1;
    std::array<CrossLeg, 2> legs;
};

// The recipe for `pair` from pairs marked present, trying the common currency
// in the order USD, EUR, GBP, JPY, CHF, AUD, NZD; nullopt when no two present
// pairs connect it.
std::optional<CrossRecipe> crossRecipe(int pair, const std::array<bool, PAIR_COUNT>& present);

// "GBPCHF built from GBPUSD x USDCHF"; a reciprocal leg reads "1/USDCHF".
std::string describe(const CrossRecipe& recipe);

// As above, with leg-only pairs (extended indices) as legs where no recipe
// from the fourteen alone exists.
std::optional<CrossRecipe> crossRecipe(int pair,
                                       const std::array<bool, EXTENDED_PAIR_COUNT>& present);

// The cross on every bucket both legs have, rounded to the pair's usual digits.
std::map<Minute, double> buildCross(const CrossRecipe& recipe,
                                    const std::array<std::map<Minute, double>, PAIR_COUNT>& closes);
std::map<Minute, double>
buildCross(const CrossRecipe& recipe,
           const std::array<std::map<Minute, double>, EXTENDED_PAIR_COUNT>& closes);

} // namespace vz

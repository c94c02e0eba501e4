#pragma once

#include "market/pairs.h"
#include "tools/import/clock_time.h"

#include <array>
#include <map>
#include <optional>
#include <string>

namespace vz {

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

// The cross on every bucket both legs have, rounded to the pair's usual digits.
std::map<Minute, double> buildCross(const CrossRecipe& recipe,
                                    const std::array<std::map<Minute, double>, PAIR_COUNT>& closes);

} // namespace vz

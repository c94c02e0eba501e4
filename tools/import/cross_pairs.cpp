#include "tools/import/cross_pairs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

namespace vz {

namespace {

constexpr std::array<std::string_view, 7> COMMON_CURRENCIES = {"USD", "EUR", "GBP", "JPY",
                                                               "CHF", "AUD", "NZD"};

std::string_view symbolOf(int pair) {
    return extendedSymbol(pair);
}

// The present pair that quotes `base` against `quote`, directly or the other
// way round.
template <std::size_t N>
std::optional<CrossLeg> legFor(std::string_view base, std::string_view quote,
                               const std::array<bool, N>& present) {
    for (int pair = 0; pair < static_cast<int>(N); ++pair) {
        if (!present[static_cast<std::size_t>(pair)]) {
            continue;
        }
        const std::string_view symbol = symbolOf(pair);
        if (symbol.substr(0, 3) == base && symbol.substr(3) == quote) {
            return CrossLeg{pair, false};
        }
        if (symbol.substr(0, 3) == quote && symbol.substr(3) == base) {
            return CrossLeg{pair, true};
        }
    }
    return std::nullopt;
}

double legValue(const CrossLeg& leg, double close) {
    return leg.inverted ? 1.0 / close : close;
}

std::string legText(const CrossLeg& leg) {
    return (leg.inverted ? "1/" : "") + std::string(symbolOf(leg.pair));
}

template <std::size_t N>
std::optional<CrossRecipe> recipeFrom(int pair, const std::array<bool, N>& present) {
    const std::string_view base = symbolOf(pair).substr(0, 3);
    const std::string_view quote = symbolOf(pair).substr(3);
    for (const std::string_view common : COMMON_CURRENCIES) {
        if (common == base || common == quote) {
            continue;
        }
        const auto first = legFor(base, common, present);
        const auto second = legFor(common, quote, present);
        if (first && second) {
            return CrossRecipe{pair, {*first, *second}};
        }
    }
    return std::nullopt;
}

template <std::size_t N>
std::map<Minute, double> crossOf(const CrossRecipe& recipe,
                                 const std::array<std::map<Minute, double>, N>& closes) {
    const auto& first = closes[static_cast<std::size_t>(recipe.legs[0].pair)];
    const auto& second = closes[static_cast<std::size_t>(recipe.legs[1].pair)];
    const double scale = pipFactor(recipe.pair) == 100 ? 1e3 : 1e5;
    std::map<Minute, double> cross;
    for (const auto& [bucket, close] : first) {
        const auto other = second.find(bucket);
        if (other == second.end()) {
            continue;
        }
        const double value =
            legValue(recipe.legs[0], close) * legValue(recipe.legs[1], other->second);
        cross.emplace_hint(cross.end(), bucket, std::round(value * scale) / scale);
    }
    return cross;
}

} // namespace

std::string_view extendedSymbol(int pair) {
    return pair < PAIR_COUNT ? PAIR_TABLE[static_cast<std::size_t>(pair)]
                             : LEG_ONLY_PAIRS[static_cast<std::size_t>(pair - PAIR_COUNT)];
}

int legOnlyPairFromFileName(std::string_view fileName, std::string_view prefix,
                            std::string_view suffix) {
    const auto lower = [](std::string_view text) {
        std::string out(text);
        for (char& c : out) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return out;
    };
    const std::string name = lower(fileName);
    int best = -1;
    std::size_t bestPosition = std::string::npos;
    for (int pair = PAIR_COUNT; pair < EXTENDED_PAIR_COUNT; ++pair) {
        const std::size_t position = name.find(
            lower(std::string(prefix) + std::string(extendedSymbol(pair)) + std::string(suffix)));
        if (position < bestPosition) {
            bestPosition = position;
            best = pair;
        }
    }
    return best;
}

std::optional<CrossRecipe> crossRecipe(int pair, const std::array<bool, PAIR_COUNT>& present) {
    return recipeFrom(pair, present);
}

std::optional<CrossRecipe> crossRecipe(int pair,
                                       const std::array<bool, EXTENDED_PAIR_COUNT>& present) {
    std::array<bool, PAIR_COUNT> fourteen{};
    std::copy_n(present.begin(), PAIR_COUNT, fourteen.begin());
    if (auto recipe = recipeFrom(pair, fourteen)) {
        return recipe;
    }
    return recipeFrom(pair, present);
}

std::string describe(const CrossRecipe& recipe) {
    return std::string(symbolOf(recipe.pair)) + " built from " + legText(recipe.legs[0]) + " x " +
           legText(recipe.legs[1]);
}

std::map<Minute, double>
buildCross(const CrossRecipe& recipe,
           const std::array<std::map<Minute, double>, PAIR_COUNT>& closes) {
    return crossOf(recipe, closes);
}

std::map<Minute, double>
buildCross(const CrossRecipe& recipe,
           const std::array<std::map<Minute, double>, EXTENDED_PAIR_COUNT>& closes) {
    return crossOf(recipe, closes);
}

} // namespace vz

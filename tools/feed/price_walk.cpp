#include "tools/feed/price_walk.h"

#include <cmath>
#include <numbers>

namespace vz {

namespace {

// Value of one unit of each currency in US dollars, at typical recent levels.
constexpr std::array<double, CURRENCY_COUNT> START_VALUES = {1.0,         1.085, 1.27, 1.0 / 151.5,
                                                             1.0 / 0.885, 0.655, 0.595};

constexpr double PULL_PER_STEP = 1e-5;

std::uint64_t nextBits(std::uint64_t& state) {
    state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Uniform in (0, 1], never 0, so that its logarithm is finite.
double nextUniform(std::uint64_t& state) {
    return (static_cast<double>(nextBits(state) >> 11) + 1.0) * 0x1.0p-53;
}

constexpr int currencyIndex(std::string_view code) {
    for (int i = 0; i < CURRENCY_COUNT; ++i) {
        if (CURRENCIES[static_cast<std::size_t>(i)] == code) {
            return i;
        }
    }
    return -1;
}

constexpr bool everyPairHasKnownCurrencies() {
    for (const std::string_view symbol : PAIR_TABLE) {
        if (currencyIndex(symbol.substr(0, 3)) < 0 || currencyIndex(symbol.substr(3)) < 0) {
            return false;
        }
    }
    return true;
}

// So that pairPrice never meets a currency the walk does not move.
static_assert(everyPairHasKnownCurrencies());

} // namespace

double nextNormal(std::uint64_t& state) {
    const double radius = std::sqrt(-2.0 * std::log(nextUniform(state)));
    return radius * std::cos(2.0 * std::numbers::pi * nextUniform(state));
}

CurrencyWalk startWalk(std::uint64_t seed) {
    CurrencyWalk walk;
    for (std::size_t i = 0; i < START_VALUES.size(); ++i) {
        walk.logValue[i] = std::log(START_VALUES[i]);
        walk.homeValue[i] = walk.logValue[i];
    }
    walk.randomState = seed;
    return walk;
}

void stepWalk(CurrencyWalk& walk, double volatility) {
    for (std::size_t i = 0; i < walk.logValue.size(); ++i) {
        const double pull = PULL_PER_STEP * (walk.homeValue[i] - walk.logValue[i]);
        walk.logValue[i] += pull + volatility * nextNormal(walk.randomState);
    }
}

double pairPrice(const CurrencyWalk& walk, int pair) {
    const std::string_view symbol = PAIR_TABLE[static_cast<std::size_t>(pair)];
    const auto base = static_cast<std::size_t>(currencyIndex(symbol.substr(0, 3)));
    const auto quote = static_cast<std::size_t>(currencyIndex(symbol.substr(3)));
    return std::exp(walk.logValue[base] - walk.logValue[quote]);
}

std::array<double, PAIR_COUNT> pairPrices(const CurrencyWalk& walk) {
    std::array<double, PAIR_COUNT> prices{};
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        prices[static_cast<std::size_t>(pair)] = pairPrice(walk, pair);
    }
    return prices;
}

} // namespace vz

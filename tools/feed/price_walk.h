#pragma once

#include "market/pairs.h"

#include <array>
#include <cstdint>

namespace vz {

inline constexpr int CURRENCY_COUNT = 7;
inline constexpr std::array<std::string_view, CURRENCY_COUNT> CURRENCIES = {
    "USD", "EUR", "GBP", "JPY", "CHF", "AUD", "NZD"};

// Every currency wanders on its own, as the logarithm of its value in US
// dollars; a pair's price is the ratio of its two currencies, so all fourteen
// crosses stay consistent with each other whatever the path.
struct CurrencyWalk {
    std::array<double, CURRENCY_COUNT> logValue{};
    std::array<double, CURRENCY_COUNT> homeValue{}; // the weak pull keeps levels realistic
    std::uint64_t randomState = 0;
};

// Starts at today's typical levels; the seed decides the path only.
CurrencyWalk startWalk(std::uint64_t seed);

// One step: each log value moves by `volatility` standard deviations' worth of
// noise, pulled back a little towards where it started.
void stepWalk(CurrencyWalk& walk, double volatility);

double pairPrice(const CurrencyWalk& walk, int pair);
std::array<double, PAIR_COUNT> pairPrices(const CurrencyWalk& walk);

// Standard normal deviates from a 64-bit state; the same on every platform.
double nextNormal(std::uint64_t& state);

} // namespace vz

#include "market/price_watch.h"

#include "market/market_hours.h"
#include "platform/clock.h"

#include <algorithm>
#include <cstdio>

namespace vz {

namespace {

constexpr std::int64_t NANOSECONDS_PER_SECOND = 1'000'000'000;
constexpr std::int64_t QUARTER_HOUR = 15 * 60;

std::int64_t wholeSeconds(std::int64_t nanoseconds) {
    const std::int64_t seconds = nanoseconds / NANOSECONDS_PER_SECOND;
    return seconds * NANOSECONDS_PER_SECOND > nanoseconds ? seconds - 1 : seconds;
}

std::string clockText(std::int64_t utcSeconds, std::int64_t localOffset) {
    const LocalTime time = timeFromSeconds(utcSeconds + localOffset);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

// A file seen for the first time changed when its time says, unless that lies
// ahead of the clock; a later change is timed by the clock that sees it.
void noteChanges(PriceWatch& watch, const FileTimes& modified, std::int64_t nowUtc) {
    for (std::size_t pair = 0; pair < modified.size(); ++pair) {
        const auto& time = modified[pair];
        if (!time) {
            watch.changedAt[pair].reset();
        } else if (!watch.modified[pair] || !watch.changedAt[pair]) {
            watch.changedAt[pair] = std::min(nowUtc, wholeSeconds(*time));
        } else if (*time != *watch.modified[pair]) {
            watch.changedAt[pair] = nowUtc;
        }
        watch.modified[pair] = time;
    }
}

std::optional<std::int64_t> newestChange(const PriceWatch& watch) {
    std::optional<std::int64_t> newest;
    for (const auto& changed : watch.changedAt) {
        if (changed && (!newest || *changed > *newest)) {
            newest = changed;
        }
    }
    return newest;
}

// Pairs whose files have not changed for PAIR_STALE_AFTER_SECONDS while the
// others moved, longest stale first, then in pair order.
std::vector<int> stalePairs(const PriceWatch& watch, std::int64_t nowUtc) {
    std::vector<int> pairs;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto& changed = watch.changedAt[static_cast<std::size_t>(pair)];
        if (!changed) {
            continue;
        }
        const std::int64_t still = std::max(*changed, watch.movingAgainAt.value_or(*changed));
        if (nowUtc - still >= PAIR_STALE_AFTER_SECONDS) {
            pairs.push_back(pair);
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(), [&watch](int a, int b) {
        return *watch.changedAt[static_cast<std::size_t>(a)] <
               *watch.changedAt[static_cast<std::size_t>(b)];
    });
    return pairs;
}

std::string symbolOf(int pair) {
    return std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]);
}

// The named pairs have all been stale at least since the newest of their
// changes, so that is the time the shared line gives.
std::string stalePairsLine(const PriceWatch& watch, const std::vector<int>& pairs,
                           std::int64_t localOffset) {
    std::string names;
    std::int64_t since = 0;
    const std::size_t named = std::min(pairs.size(), STALE_PAIRS_NAMED);
    for (std::size_t i = 0; i < named; ++i) {
        names += (i == 0 ? "" : ", ") + symbolOf(pairs[i]);
        since = std::max(since, *watch.changedAt[static_cast<std::size_t>(pairs[i])]);
    }
    return names + " stale since " + clockText(since, localOffset);
}

void logStalePairs(PriceWatch& watch, const std::vector<int>& pairs, std::int64_t localOffset,
                   PriceWatchReport& report) {
    std::array<bool, PAIR_COUNT> stale{};
    for (const int pair : pairs) {
        const auto index = static_cast<std::size_t>(pair);
        stale[index] = true;
        if (!watch.pairStaleLogged[index]) {
            report.entries.push_back(symbolOf(pair) + " stale since " +
                                     clockText(*watch.changedAt[index], localOffset));
            watch.pairStaleLogged[index] = true;
        }
    }
    for (std::size_t pair = 0; pair < stale.size(); ++pair) {
        watch.pairStaleLogged[pair] = watch.pairStaleLogged[pair] && stale[pair];
    }
}

} // namespace

std::int64_t localOffsetSeconds(std::int64_t localSeconds, std::int64_t utcSeconds) {
    const std::int64_t offset = localSeconds - utcSeconds;
    const std::int64_t half = QUARTER_HOUR / 2;
    const std::int64_t shifted = offset >= 0 ? offset + half : offset - half;
    return shifted / QUARTER_HOUR * QUARTER_HOUR;
}

// Over the weekend a market without new prices is expected: the line says so
// in place of any stale report, and nothing is logged or marked as logged.
PriceWatchReport watchPrices(PriceWatch& watch, const FileTimes& modified, std::int64_t nowUtc,
                             std::int64_t localOffset) {
    noteChanges(watch, modified, nowUtc);
    PriceWatchReport report;
    const auto newest = newestChange(watch);
    if (!newest) {
        return report;
    }
    const bool weekend = isFxWeekend(nowUtc);
    if (nowUtc - *newest >= PRICES_STALE_AFTER_SECONDS) {
        watch.allStill = true;
        if (weekend) {
            report.line = "Market closed";
            return report;
        }
        report.line = "Prices stale since " + clockText(*newest, localOffset);
        if (!watch.pricesStaleLogged) {
            report.entries.push_back(report.line);
            watch.pricesStaleLogged = true;
        }
        return report;
    }
    if (watch.allStill) {
        watch.allStill = false;
        watch.movingAgainAt = nowUtc;
    }
    const std::vector<int> pairs = stalePairs(watch, nowUtc);
    if (weekend) {
        report.line = pairs.empty() ? "" : "Market closed";
        return report;
    }
    if (watch.pricesStaleLogged) {
        report.entries.emplace_back("Prices live again");
        watch.pricesStaleLogged = false;
    }
    logStalePairs(watch, pairs, localOffset, report);
    if (!pairs.empty()) {
        report.line = stalePairsLine(watch, pairs, localOffset);
    }
    return report;
}

} // namespace vz

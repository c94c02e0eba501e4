#include "tools/feed/make_history.h"

#include "tools/feed/price_walk.h"
#include "tools/import/resample.h"

namespace vz {

namespace {

constexpr int SATURDAY = 6;
constexpr int SUNDAY = 0;

bool isWeekend(Minute minute) {
    const int day = weekdayOf(minute);
    return day == SATURDAY || day == SUNDAY;
}

// Mixed into the seed so the history's noise is not the live walk's own.
constexpr std::uint64_t HISTORY_STREAM = 0x5DEECE66DULL;

} // namespace

Minute lastTradingHour(Minute minute) {
    Minute hour = floorDiv(minute, MINUTES_PER_HOUR) * MINUTES_PER_HOUR;
    while (isWeekend(hour)) {
        hour -= MINUTES_PER_HOUR;
    }
    return hour;
}

HistorySet makeHistory(const HistoryRequest& request) {
    CurrencyWalk walk = startWalk(request.seed ^ HISTORY_STREAM);
    std::array<std::vector<ClosedBar>, PAIR_COUNT> hourly;
    Minute hour = lastTradingHour(request.end);
    const int hours = request.bars * 24;
    for (int step = 0; step < hours; ++step) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            hourly[static_cast<std::size_t>(pair)].push_back({hour, pairPrice(walk, pair)});
        }
        stepWalk(walk, request.hourlyVolatility);
        hour = lastTradingHour(hour - MINUTES_PER_HOUR);
    }
    HistorySet set;
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        std::array<std::map<Minute, double>, PAIR_COUNT> perPair;
        for (std::size_t pair = 0; pair < perPair.size(); ++pair) {
            perPair[pair] = resample(makeSeries(hourly[pair]), timeframe);
        }
        const AlignedBars aligned = alignPairs(perPair, request.bars);
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            for (std::size_t i = 0; i < aligned.buckets.size(); ++i) {
                set.of(timeframe, pair)
                    .push_back(
                        barLabel(aligned.buckets[i], timeframe) + "," +
                        formatPrice(pair, aligned.closes[static_cast<std::size_t>(pair)][i]));
            }
        }
    }
    return set;
}

} // namespace vz

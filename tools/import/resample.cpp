#include "tools/import/resample.h"

#include "tools/import/file_bars.h"

#include <algorithm>

namespace vz {

BarSeries makeSeries(std::vector<ClosedBar> bars) {
    std::stable_sort(bars.begin(), bars.end(),
                     [](const ClosedBar& a, const ClosedBar& b) { return a.stamp < b.stamp; });
    BarSeries series;
    for (const ClosedBar& bar : bars) {
        if (!series.bars.empty() && series.bars.back().stamp == bar.stamp) {
            series.bars.back() = bar;
        } else {
            series.bars.push_back(bar);
        }
    }
    std::vector<Minute> stamps;
    stamps.reserve(series.bars.size());
    for (const ClosedBar& bar : series.bars) {
        stamps.push_back(bar.stamp);
    }
    series.barMinutes = commonBarLength(stamps);
    return series;
}

Minute bucketMinutes(Timeframe timeframe) {
    switch (timeframe) {
    case Timeframe::Daily:
        return MINUTES_PER_DAY;
    case Timeframe::FourHour:
        return 4 * MINUTES_PER_HOUR;
    case Timeframe::OneHour:
        break;
    }
    return MINUTES_PER_HOUR;
}

const BarSeries* seriesFor(const std::vector<BarSeries>& series, Timeframe timeframe) {
    const BarSeries* best = nullptr;
    for (const BarSeries& candidate : series) {
        if (candidate.barMinutes <= bucketMinutes(timeframe) &&
            (best == nullptr || candidate.barMinutes > best->barMinutes)) {
            best = &candidate;
        }
    }
    return best;
}

HistorySource historySource(const std::vector<BarSeries>& series, Timeframe timeframe) {
    std::vector<std::pair<const BarSeries*, std::map<Minute, double>>> fitting;
    for (const BarSeries& candidate : series) {
        if (candidate.barMinutes <= bucketMinutes(timeframe) && !candidate.bars.empty()) {
            fitting.emplace_back(&candidate, resample(candidate, timeframe));
        }
    }
    if (fitting.empty()) {
        return {};
    }
    // Newest last bucket first, then longer bars first.
    std::stable_sort(fitting.begin(), fitting.end(), [](const auto& a, const auto& b) {
        const Minute lastA = a.second.rbegin()->first;
        const Minute lastB = b.second.rbegin()->first;
        return lastA != lastB ? lastA > lastB : a.first->barMinutes > b.first->barMinutes;
    });
    HistorySource source{std::move(fitting.front().second), fitting.front().first, {}};
    std::stable_sort(fitting.begin() + 1, fitting.end(), [](const auto& a, const auto& b) {
        return a.first->barMinutes > b.first->barMinutes;
    });
    for (auto it = fitting.begin() + 1; it != fitting.end(); ++it) {
        const Minute first = source.closes.begin()->first;
        const auto end = it->second.lower_bound(first);
        if (end != it->second.begin()) {
            source.closes.insert(it->second.begin(), end);
            source.earlierFrom.push_back(it->first);
        }
    }
    return source;
}

std::map<Minute, double> resample(const BarSeries& series, Timeframe timeframe) {
    const Minute length = bucketMinutes(timeframe);
    std::map<Minute, double> buckets;
    for (const ClosedBar& bar : series.bars) {
        buckets[floorDiv(bar.stamp, length) * length] = bar.close;
    }
    return buckets;
}

AlignedBars alignPairs(const std::array<std::map<Minute, double>, PAIR_COUNT>& perPair, int limit) {
    AlignedBars aligned;
    const auto& first = perPair[0];
    for (auto it = first.rbegin(); it != first.rend(); ++it) {
        if (static_cast<int>(aligned.buckets.size()) >= limit) {
            break;
        }
        const bool inAll = std::all_of(perPair.begin(), perPair.end(),
                                       [&](const auto& pair) { return pair.count(it->first) > 0; });
        if (!inAll) {
            continue;
        }
        aligned.buckets.push_back(it->first);
        for (std::size_t pair = 0; pair < perPair.size(); ++pair) {
            aligned.closes[pair].push_back(perPair[pair].at(it->first));
        }
    }
    return aligned;
}

std::string barLabel(Minute bucket, Timeframe timeframe) {
    return timeframe == Timeframe::Daily ? dayLabel(bucket) : minuteLabel(bucket);
}

} // namespace vz

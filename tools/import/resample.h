#pragma once

#include "market/market_data.h"
#include "tools/import/clock_time.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vz {

struct ClosedBar {
    Minute stamp = 0; // bar open time on the clock of the labels
    double close = 0.0;
};

// Bars of one pair at one bar length, oldest first, one bar per stamp.
struct BarSeries {
    std::vector<ClosedBar> bars;
    Minute barMinutes = 1;            // the step most neighbouring bars are apart
    std::vector<std::string> sources; // the files the bars came from
};

// Sorts by stamp; of several bars with the same stamp the one that came last
// in `bars` wins, so a later file or a later row corrects an earlier one.
BarSeries makeSeries(std::vector<ClosedBar> bars);

Minute bucketMinutes(Timeframe timeframe);

// The series with the longest bars that still fit a bucket of the timeframe,
// or nullptr when every series has longer bars.
const BarSeries* seriesFor(const std::vector<BarSeries>& series, Timeframe timeframe);

// The closes of one pair's history and the series they came from.
struct HistorySource {
    std::map<Minute, double> closes;
    const BarSeries* main = nullptr;           // nullptr when no series fits
    std::vector<const BarSeries*> earlierFrom; // series that filled buckets before main's first
};

// Of the series whose bars fit a bucket, the one whose last bucket is newest
// gives the history, so a stale file never hides fresher data; on a tie the
// longer bars win. Buckets before its first one come from the other fitting
// series, longer bars first.
HistorySource historySource(const std::vector<BarSeries>& series, Timeframe timeframe);

// Close of the last bar in every bucket, keyed by the bucket's start.
// Four-hour buckets start at 00, 04, ... 20; days at midnight.
std::map<Minute, double> resample(const BarSeries& series, Timeframe timeframe);

// The buckets every pair has, newest first, at most `limit` of them, with
// each pair's close in each.
struct AlignedBars {
    std::vector<Minute> buckets;
    std::array<std::vector<double>, PAIR_COUNT> closes;
};

AlignedBars alignPairs(const std::array<std::map<Minute, double>, PAIR_COUNT>& perPair, int limit);

// "YYYY.MM.DD" for daily bars, "YYYY.MM.DD HH:MM" for the others.
std::string barLabel(Minute bucket, Timeframe timeframe);

} // namespace vz

#include "tools/import/file_bars.h"

#include <algorithm>
#include <map>

namespace vz {

namespace {

constexpr int SATURDAY = 6;
constexpr int SUNDAY = 0;

// A clock change moves a daily stamp by an hour at most.
constexpr Minute DAILY_TOLERANCE = MINUTES_PER_HOUR;

// The key seen most often, the smallest one on a tie.
Minute mostCommon(const std::map<Minute, int>& counts) {
    Minute best = 0;
    int bestCount = 0;
    for (const auto& [key, count] : counts) {
        if (count > bestCount) {
            best = key;
            bestCount = count;
        }
    }
    return best;
}

Minute floorMod(Minute value, Minute divisor) {
    return value - floorDiv(value, divisor) * divisor;
}

void sortByStamp(std::vector<StampedClose>& rows) {
    const auto earlier = [](const StampedClose& a, const StampedClose& b) {
        return a.stamp < b.stamp;
    };
    // Most files come sorted; a sort would only take a buffer as large as them.
    if (std::is_sorted(rows.begin(), rows.end(), earlier)) {
        return;
    }
    std::stable_sort(rows.begin(), rows.end(), [](const StampedClose& a, const StampedClose& b) {
        return a.stamp < b.stamp;
    });
}

void dropWeekend(std::vector<StampedClose>& rows, const WeekendTest& inWeekend,
                 FileBarsReport& report) {
    if (!inWeekend) {
        return;
    }
    std::erase_if(rows, [&](const StampedClose& row) {
        const bool weekend = inWeekend(row.stamp);
        if (weekend) {
            report.weekend.add(row.line);
        }
        return weekend;
    });
}

// Snaps rows near the grid onto it and drops the others; `rows` are sorted.
void keepOnGrid(std::vector<StampedClose>& rows, Minute length, FileBarsReport& report) {
    std::map<Minute, int> phases;
    for (const StampedClose& row : rows) {
        ++phases[floorMod(row.stamp, length)];
    }
    const Minute phase = mostCommon(phases);
    const Minute tolerance = length >= MINUTES_PER_DAY ? DAILY_TOLERANCE : 0;
    std::erase_if(rows, [&](StampedClose& row) {
        const Minute off = floorMod(row.stamp - phase, length);
        if (off != 0 && off <= tolerance) {
            row.stamp -= off;
        } else if (off != 0 && length - off <= tolerance) {
            row.stamp += length - off;
        } else if (off != 0) {
            report.offGrid.add(row.line);
            return true;
        }
        return false;
    });
}

std::vector<Minute> stampsOf(const std::vector<StampedClose>& sorted) {
    std::vector<Minute> stamps;
    stamps.reserve(sorted.size());
    for (const StampedClose& row : sorted) {
        stamps.push_back(row.stamp);
    }
    return stamps;
}

} // namespace

Minute commonBarLength(const std::vector<Minute>& sortedStamps) {
    std::map<Minute, int> gaps;
    for (std::size_t i = 1; i < sortedStamps.size(); ++i) {
        if (sortedStamps[i] != sortedStamps[i - 1]) {
            ++gaps[sortedStamps[i] - sortedStamps[i - 1]];
        }
    }
    return gaps.empty() ? 1 : mostCommon(gaps);
}

std::vector<ClosedBar> settleFileBars(std::vector<StampedClose> rows, const WeekendTest& inWeekend,
                                      FileBarsReport& report, Minute knownLength) {
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].stamp < rows[i - 1].stamp) {
            report.outOfOrder.add(rows[i].line);
        }
    }
    dropWeekend(rows, inWeekend, report);
    sortByStamp(rows);
    report.barMinutes = knownLength > 0 ? knownLength : commonBarLength(stampsOf(rows));
    if (report.barMinutes > 1) {
        keepOnGrid(rows, report.barMinutes, report);
        sortByStamp(rows);
    }
    std::vector<ClosedBar> bars;
    bars.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!bars.empty() && bars.back().stamp == rows[i].stamp) {
            if (bars.back().close != rows[i].close) {
                report.repeated.add(std::max(rows[i].line, rows[i - 1].line));
            }
            bars.back().close = rows[i].close;
        } else {
            bars.push_back({rows[i].stamp, rows[i].close});
        }
    }
    return bars;
}

bool inServerWeekend(Minute serverLabel) {
    const int day = weekdayOf(serverLabel);
    return day == SATURDAY || day == SUNDAY;
}

} // namespace vz

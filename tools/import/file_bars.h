#pragma once

#include "tools/import/bar_reader.h"
#include "tools/import/clock_time.h"
#include "tools/import/resample.h"

#include <functional>
#include <string>
#include <vector>

namespace vz {

// A close on the clock of the labels, with the line of the file it came from.
struct StampedClose {
    Minute stamp = 0;
    double close = 0.0;
    int line = 0;
};

struct FileBarsReport {
    Minute barMinutes = 1;
    RowCount weekend;    // opened in the weekend: dropped
    RowCount offGrid;    // off the bar length's grid: dropped
    RowCount outOfOrder; // earlier than the row before: sorted in
    RowCount repeated;   // a stamp seen before with another close: the later row kept
};

// The step most gaps between neighbouring stamps show, the shorter one on a
// tie; 1 when there are fewer than two stamps. One odd row, such as a stamp
// moved by a clock change, cannot decide the length for a whole file.
Minute commonBarLength(const std::vector<Minute>& sortedStamps);

// True for a label that opens in the FX weekend.
using WeekendTest = std::function<bool(Minute)>;

// Puts the bars of one file in order, one per stamp:
// - rows that open in the weekend are dropped when `inWeekend` is given;
// - the bar length comes from the common gap, and the grid from the most
//   common position of the stamps within that length; a daily or longer bar
//   up to an hour off the grid (a clock change) is moved onto it, any other
//   row off the grid is dropped;
// - of rows with the same stamp the last one in the file wins.
// A `knownLength` above 0, as a file's header may state, replaces the common gap.
std::vector<ClosedBar> settleFileBars(std::vector<StampedClose> rows, const WeekendTest& inWeekend,
                                      FileBarsReport& report, Minute knownLength = 0);

// True when a server-clock label opens between Friday 17:00 and Sunday 17:00
// New York time, i.e. on the server clock's Saturday or Sunday.
bool inServerWeekend(Minute serverLabel);

} // namespace vz

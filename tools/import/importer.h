#pragma once

#include "tools/import/bar_reader.h"
#include "tools/import/history_set.h"

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace vz {

// Which clock the labels and the day and hour boundaries follow.
enum class LabelClock {
    Auto,   // per file: Server when its stamps are marked as UTC, otherwise Data;
            // a run with files of both kinds is refused
    Data,   // the stamps as written; any UTC offset beside them is ignored
    Utc,    // stamps moved to UTC by their offset; stamps without one are UTC already
    Server, // New York time + 7 hours, so each day ends at 17:00 New York
};

struct ImportOptions {
    std::vector<std::string> inputs; // files, or folders whose files are all read
    std::string folder;              // where the history set goes
    InputFormat format = InputFormat::Auto;
    std::optional<int> pair; // every input is this pair; otherwise taken from file names
    LabelClock clock = LabelClock::Auto;
    int lines = HISTORY_LOAD_LIMIT;
    std::string prefix; // text before the symbol in input file names
    std::string suffix; // text after it
    DigitsPolicy digits = DigitsPolicy::Round;
    bool synthesizeMissing = false; // missing pairs are built from two present ones
    std::string sourceZone;         // the clock of stamps without an offset; empty: unknown
    DateOrder dateOrder = DateOrder::Unknown; // of slash dates
    std::string closeColumn;                  // header name of the close, when unusual
};

struct ImportOutcome {
    int exitCode = 0; // 0 done, 2 bad input, 1 the set could not be written
    std::vector<std::string> errors;
    std::vector<std::string> notes;    // what was skipped and what was written
    std::vector<std::string> warnings; // what was written but is likely not what was meant
};

// The pair named in a file name: of the fourteen symbols (with the prefix and
// suffix around them) the one that starts first, in any letter case; -1 for none.
int pairFromFileName(std::string_view fileName, std::string_view prefix = {},
                     std::string_view suffix = {});

// The clock a file's bars go on. Under Auto, stamps that carry an offset
// anywhere in the file, or a header calling them UTC, are UTC and go on the
// server clock; anything else is taken to be on that clock already, as
// MetaTrader exports are.
LabelClock clockForFile(const BarReadResult& read, LabelClock wanted);

// `clock` is one clockForFile gave, never Auto.
Minute labelStamp(const RawBar& bar, LabelClock clock);

// Reads, checks and resamples every input, and only then writes the whole set.
// `stop` turning non-zero (the number of a signal that arrived) abandons the
// run between steps, leaving the output folder as it was; the exit code is
// then 128 plus that number.
ImportOutcome runImport(const ImportOptions& options, const std::atomic<int>* stop = nullptr);

} // namespace vz

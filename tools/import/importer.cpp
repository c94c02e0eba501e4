#include "tools/import/importer.h"

#include "tools/import/cross_pairs.h"
#include "tools/import/file_bars.h"
#include "tools/import/history_centre.h"
#include "tools/import/import_inputs.h"
#include "tools/import/packed_input.h"
#include "tools/import/resample.h"
#include "tools/import/source_zone.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace vz {

namespace {

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string symbolOf(int pair) {
    return std::string(extendedSymbol(pair));
}

// Leg-only pairs hold no JPY: five decimals.
std::string closeText(int pair, double close) {
    return formatPrice(pair < PAIR_COUNT ? pair : 0, close);
}

using AllSeries = std::array<std::vector<BarSeries>, EXTENDED_PAIR_COUNT>;

std::string timeframeName(Timeframe timeframe) {
    switch (timeframe) {
    case Timeframe::Daily:
        return "daily";
    case Timeframe::FourHour:
        return "4-hour";
    case Timeframe::OneHour:
        break;
    }
    return "1-hour";
}

std::string lengthText(Minute minutes) {
    if (minutes % MINUTES_PER_DAY == 0) {
        return std::to_string(minutes / MINUTES_PER_DAY) + " day(s)";
    }
    if (minutes % MINUTES_PER_HOUR == 0) {
        return std::to_string(minutes / MINUTES_PER_HOUR) + " hour(s)";
    }
    return std::to_string(minutes) + " minute(s)";
}

bool stopAsked(const std::atomic<int>* stop) {
    return stop != nullptr && stop->load() != 0;
}

std::string signalName(int signal) {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "signal " + std::to_string(signal);
    }
}

void reportStop(int signal, ImportOutcome& outcome) {
    outcome.errors = {"stopped by " + signalName(signal) + "; nothing was written"};
    outcome.exitCode = 128 + signal;
}

// Under the automatic clock a run whose files disagree is refused: a UTC
// download without any UTC marking would otherwise sit hours away from the
// other pairs and every cross-pair comparison would be off.
bool checkAutoClock(const std::vector<std::string>& movedToServer,
                    const std::vector<std::string>& keptAsWritten, ImportOutcome& outcome) {
    if (movedToServer.empty() || keptAsWritten.empty()) {
        if (!movedToServer.empty()) {
            outcome.notes.push_back("clock: stamps marked as UTC; labelled on the server clock");
        } else if (!keptAsWritten.empty()) {
            outcome.notes.push_back("clock: no stamps marked as UTC; labels kept as written");
        }
        return true;
    }
    std::string names;
    for (const std::string& name : keptAsWritten) {
        names += (names.empty() ? "" : ", ") + name;
    }
    outcome.errors.push_back("stamps are marked as UTC in " + std::to_string(movedToServer.size()) +
                             " file(s) but not in " + names +
                             "; give --clock server if these are UTC too, or --clock data if "
                             "all files are on the server clock already");
    return false;
}

// Stamps written without an offset are on the source's zone: each gets the
// offset that zone had at that moment, so the label clocks can convert it.
std::optional<InputError> placeOnZone(BarReadResult& read, const SourceZone& zone,
                                      const std::string& fileName) {
    std::optional<Minute> previous;
    for (std::size_t i = 0; i < read.bars.size(); ++i) {
        RawBar& bar = read.bars[i];
        if (bar.offsetMinutes) {
            previous = bar.stamp - *bar.offsetMinutes;
            continue;
        }
        const SourceZone::Conversion utc = zone.toUtc(bar.stamp, previous);
        if (!utc.utc) {
            return InputError{fileName, read.lines[i],
                              minuteLabel(bar.stamp) + " does not exist in " + zone.name() +
                                  " (the clocks skip it); the stamps are on another clock"};
        }
        bar.offsetMinutes = static_cast<int>(bar.stamp - *utc.utc);
        previous = utc.utc;
    }
    return std::nullopt;
}

// One file's bars, settled on their grid, on the clock of the labels.
struct FileSeries {
    std::string name;
    std::vector<ClosedBar> bars;
};

std::string atLine(const std::string& file, const RowCount& rows) {
    return file + ": " + std::to_string(rows.count) + " row(s) ";
}

std::string firstAt(const RowCount& rows) {
    return "first at line " + std::to_string(rows.firstLine);
}

void noteSetAside(const std::string& file, const BarReadResult& read, const FileBarsReport& report,
                  ImportOutcome& outcome) {
    const auto note = [&](const RowCount& rows, const std::string& what) {
        if (rows.count > 0) {
            outcome.notes.push_back(atLine(file, rows) + what + " (" + firstAt(rows) + ")");
        }
    };
    note(read.placeholders, "with a zero price skipped as placeholders");
    note(report.weekend, "in the FX weekend (Friday 17:00 to Sunday 17:00 New York) dropped");
    note(report.offGrid, "off the grid of its " + lengthText(report.barMinutes) + " bars dropped");
    note(report.outOfOrder, "earlier than the row before them, sorted in");
    note(report.repeated, "repeating an earlier stamp with another close; the later row kept");
}

// Which labels fall in the weekend can only be told when the clock is known.
WeekendTest weekendTestFor(LabelClock clock) {
    switch (clock) {
    case LabelClock::Server:
        return inServerWeekend;
    case LabelClock::Utc:
        return [](Minute utc) { return inServerWeekend(serverFromUtc(utc)); };
    default:
        return {};
    }
}

// The rows as read are let go before they are settled: a large file is then
// held twice only for a moment.
FileSeries settle(const InputFile& file, BarReadResult& read, LabelClock clock, Minute knownLength,
                  FileBarsReport& report) {
    std::vector<StampedClose> rows;
    rows.reserve(read.bars.size());
    for (std::size_t i = 0; i < read.bars.size(); ++i) {
        rows.push_back({labelStamp(read.bars[i], clock), read.bars[i].close, read.lines[i]});
    }
    std::vector<RawBar>().swap(read.bars);
    std::vector<int>().swap(read.lines);
    return {file.name, settleFileBars(std::move(rows), weekendTestFor(clock), report, knownLength)};
}

// Two files of one pair and bar length that cover the same time are usually
// two feeds, or a correction appended to an export; either way the user should
// know where the later file's bars replace the earlier one's.
void noteOverlap(int pair, const FileSeries& earlier, const FileSeries& later, Minute length,
                 ImportOutcome& outcome) {
    if (earlier.bars.empty() || later.bars.empty()) {
        return;
    }
    const Minute from = std::max(earlier.bars.front().stamp, later.bars.front().stamp);
    const Minute to = std::min(earlier.bars.back().stamp, later.bars.back().stamp);
    if (from > to) {
        return;
    }
    int shared = 0;
    int differ = 0;
    auto a = earlier.bars.begin();
    for (const ClosedBar& bar : later.bars) {
        while (a != earlier.bars.end() && a->stamp < bar.stamp) {
            ++a;
        }
        if (a != earlier.bars.end() && a->stamp == bar.stamp) {
            ++shared;
            differ += closeText(pair, a->close) != closeText(pair, bar.close) ? 1 : 0;
        }
    }
    const auto label = [&](Minute stamp) {
        return length >= MINUTES_PER_DAY ? dayLabel(stamp) : minuteLabel(stamp);
    };
    outcome.notes.push_back(symbolOf(pair) + ": " + earlier.name + " and " + later.name +
                            " overlap from " + label(from) + " to " + label(to) + ": " +
                            std::to_string(shared) + " shared stamp(s), " + std::to_string(differ) +
                            " with another close; " + later.name +
                            " is used where both have a bar");
}

BarSeries mergeFiles(int pair, Minute length, std::vector<FileSeries>& files,
                     ImportOutcome& outcome) {
    std::vector<ClosedBar> all;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            noteOverlap(pair, files[j], files[i], length, outcome);
        }
    }
    for (FileSeries& file : files) {
        names.push_back(file.name);
        all.insert(all.end(), file.bars.begin(), file.bars.end());
        std::vector<ClosedBar>().swap(file.bars);
    }
    BarSeries series = makeSeries(std::move(all));
    series.barMinutes = length;
    series.sources = std::move(names);
    return series;
}

// A history file's header names its symbol; the file name may be anything.
int pairOfHistoryCentreFile(const ImportOptions& options, const InputFile& file,
                            const HistoryCentreHeader& header) {
    int named = pairFromFileName(header.symbol);
    if (named < 0 && options.synthesizeMissing) {
        named = legOnlyPairFromFileName(header.symbol);
    }
    return options.pair || named < 0 ? file.pair : named;
}

// Every file's bars on the label clock, grouped per pair and bar length.
bool readAll(const ImportOptions& options, const std::vector<InputFile>& files, AllSeries& series,
             ImportOutcome& outcome, const std::atomic<int>* stop) {
    std::optional<SourceZone> zone;
    if (!options.sourceZone.empty()) {
        std::string problem;
        zone = SourceZone::named(options.sourceZone, problem);
        if (!zone) {
            outcome.errors.push_back(problem);
            return false;
        }
    }
    const ReadSettings settings{options.format, options.dateOrder, options.closeColumn};
    std::array<std::map<Minute, std::vector<FileSeries>>, EXTENDED_PAIR_COUNT> byLength;
    std::vector<std::string> movedToServer;
    std::vector<std::string> keptAsWritten;
    for (const InputFile& file : files) {
        if (stopAsked(stop)) {
            return false;
        }
        InputText text(file.path);
        HistoryCentreHeader header;
        const bool historyCentre = isHistoryCentreName(file.path.filename().string());
        BarReadResult read = historyCentre ? readHistoryCentreFile(text.stream(), file.name, header)
                                           : readBars(text.stream(), file.name, settings);
        // A damaged archive ends the text early; that, not the cut line, is the news.
        if (const auto problem = text.error()) {
            outcome.errors.push_back(file.name + ": " + *problem);
            return false;
        }
        if (zone && !read.error) {
            read.error = placeOnZone(read, *zone, file.name);
        }
        if (read.error) {
            outcome.errors.push_back(describe(*read.error));
            return false;
        }
        const int pair = historyCentre ? pairOfHistoryCentreFile(options, file, header) : file.pair;
        if (pair < 0) {
            outcome.notes.push_back("skipped " + file.name + ": its symbol " + header.symbol +
                                    " is none of the fourteen pairs");
            continue;
        }
        const LabelClock clock = clockForFile(read, options.clock);
        (clock == LabelClock::Server ? movedToServer : keptAsWritten).push_back(file.name);
        FileBarsReport report;
        FileSeries settled = settle(file, read, clock, header.periodMinutes, report);
        noteSetAside(file.name, read, report, outcome);
        byLength[static_cast<std::size_t>(pair)][report.barMinutes].push_back(std::move(settled));
    }
    for (int pair = 0; pair < EXTENDED_PAIR_COUNT; ++pair) {
        for (auto& [length, group] : byLength[static_cast<std::size_t>(pair)]) {
            series[static_cast<std::size_t>(pair)].push_back(
                mergeFiles(pair, length, group, outcome));
        }
    }
    return options.clock != LabelClock::Auto ||
           checkAutoClock(movedToServer, keptAsWritten, outcome);
}

std::string symbolList(const std::vector<int>& pairs) {
    std::string text;
    for (const int pair : pairs) {
        text += (text.empty() ? "" : ", ") + symbolOf(pair);
    }
    return text;
}

// A broker that lacks a few crosses still has their legs; on request those
// pairs are built from them, and a pair that nothing connects is named.
bool planMissingPairs(const ImportOptions& options, const AllSeries& series,
                      std::vector<CrossRecipe>& recipes, ImportOutcome& outcome) {
    std::array<bool, EXTENDED_PAIR_COUNT> present{};
    std::vector<int> missing;
    for (int pair = 0; pair < EXTENDED_PAIR_COUNT; ++pair) {
        present[static_cast<std::size_t>(pair)] = !series[static_cast<std::size_t>(pair)].empty();
        if (pair < PAIR_COUNT && !present[static_cast<std::size_t>(pair)]) {
            missing.push_back(pair);
        }
    }
    if (missing.empty()) {
        return true;
    }
    if (!options.synthesizeMissing) {
        outcome.errors.push_back("no bars for " + symbolList(missing) +
                                 "; the history needs all fourteen pairs "
                                 "(--synthesize-missing builds missing crosses from the others)");
        return false;
    }
    std::vector<int> unbuildable;
    for (const int pair : missing) {
        if (const auto recipe = crossRecipe(pair, present)) {
            recipes.push_back(*recipe);
        } else {
            unbuildable.push_back(pair);
        }
    }
    if (!unbuildable.empty()) {
        outcome.errors.push_back("no bars for " + symbolList(unbuildable) +
                                 ", and no two of the pairs given connect them");
        return false;
    }
    for (const CrossRecipe& recipe : recipes) {
        outcome.notes.push_back(describe(recipe));
    }
    return true;
}

// The pairs whose dates overlap the fewest others, so that a user whose
// fourteen files have no bar in common knows which file to look at.
std::string apartPairs(const std::array<std::map<Minute, double>, PAIR_COUNT>& perPair,
                       Timeframe timeframe) {
    std::array<int, PAIR_COUNT> overlaps{};
    for (std::size_t a = 0; a < perPair.size(); ++a) {
        for (std::size_t b = 0; b < perPair.size(); ++b) {
            const bool overlap = a != b && !perPair[a].empty() && !perPair[b].empty() &&
                                 perPair[a].begin()->first <= perPair[b].rbegin()->first &&
                                 perPair[b].begin()->first <= perPair[a].rbegin()->first;
            overlaps[a] += overlap ? 1 : 0;
        }
    }
    const int fewest = *std::min_element(overlaps.begin(), overlaps.end());
    if (fewest == PAIR_COUNT - 1) {
        return "; their dates overlap, but no bar falls on a common " + timeframeName(timeframe) +
               " stamp";
    }
    std::string text;
    for (std::size_t pair = 0; pair < perPair.size(); ++pair) {
        if (overlaps[pair] != fewest) {
            continue;
        }
        const auto& closes = perPair[pair];
        text += (text.empty() ? "" : ", ") + symbolOf(static_cast<int>(pair)) +
                (closes.empty() ? " (no bars)"
                                : " (" + barLabel(closes.begin()->first, timeframe) + " to " +
                                      barLabel(closes.rbegin()->first, timeframe) + ")");
    }
    return "; the dates of " + text + " do not overlap the others'";
}

std::string seriesText(const BarSeries& series) {
    std::string names;
    for (const std::string& name : series.sources) {
        names += (names.empty() ? "" : ", ") + name;
    }
    return "the " + lengthText(series.barMinutes) + " bars of " + names;
}

// A pair given in several bar lengths could feed a history from more than one
// of them; the note says which one did.
void noteSource(int pair, Timeframe timeframe, const HistorySource& source,
                ImportOutcome& outcome) {
    std::string text = symbolOf(pair) + " " + timeframeName(timeframe) + " history from " +
                       seriesText(*source.main) + ", which reach furthest";
    if (!source.earlierFrom.empty()) {
        text += "; bars before " + barLabel(source.main->bars.front().stamp, timeframe) + " from ";
        for (std::size_t i = 0; i < source.earlierFrom.size(); ++i) {
            text += (i == 0 ? "" : " and ") + seriesText(*source.earlierFrom[i]);
        }
    }
    outcome.notes.push_back(text);
}

// A day of the week that has no trading in it means the day boundary is not
// the dealing room's: usually UTC stamps kept as they are.
void warnOfWeekendDays(const ImportOptions& options, const AlignedBars& aligned,
                       ImportOutcome& outcome) {
    const auto count = std::count_if(aligned.buckets.begin(), aligned.buckets.end(),
                                     [](Minute day) { return inServerWeekend(day); });
    if (count == 0) {
        return;
    }
    const std::string fix = options.clock == LabelClock::Utc
                                ? "--clock server puts the day boundary at 17:00 New York"
                                : "if the stamps are UTC give --clock server, or name their "
                                  "zone with --source-zone";
    outcome.warnings.push_back("the daily history holds " + std::to_string(count) +
                               " Saturday or Sunday bar(s); " + fix);
}

bool buildTimeframe(const ImportOptions& options, Timeframe timeframe, const AllSeries& series,
                    const std::vector<CrossRecipe>& recipes, HistorySet& set,
                    ImportOutcome& outcome) {
    std::array<std::map<Minute, double>, EXTENDED_PAIR_COUNT> perPair;
    for (int pair = 0; pair < EXTENDED_PAIR_COUNT; ++pair) {
        const auto& candidates = series[static_cast<std::size_t>(pair)];
        if (candidates.empty()) {
            continue; // built below from its legs
        }
        HistorySource source = historySource(candidates, timeframe);
        if (source.main == nullptr) {
            outcome.errors.push_back(symbolOf(pair) + ": the shortest bars given last " +
                                     lengthText(candidates.front().barMinutes) + "; the " +
                                     timeframeName(timeframe) + " history needs shorter bars");
            return false;
        }
        if (candidates.size() > 1) {
            noteSource(pair, timeframe, source, outcome);
        }
        perPair[static_cast<std::size_t>(pair)] = std::move(source.closes);
    }
    for (const CrossRecipe& recipe : recipes) {
        perPair[static_cast<std::size_t>(recipe.pair)] = buildCross(recipe, perPair);
    }
    std::array<std::map<Minute, double>, PAIR_COUNT> fourteen;
    std::move(perPair.begin(), perPair.begin() + PAIR_COUNT, fourteen.begin());
    const AlignedBars aligned = alignPairs(fourteen, options.lines);
    if (aligned.buckets.empty()) {
        outcome.errors.push_back("the fourteen pairs have no " + timeframeName(timeframe) +
                                 " bar in common" + apartPairs(fourteen, timeframe));
        return false;
    }
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        auto& lines = set.of(timeframe, pair);
        for (std::size_t i = 0; i < aligned.buckets.size(); ++i) {
            lines.push_back(barLabel(aligned.buckets[i], timeframe) + "," +
                            formatPrice(pair, aligned.closes[static_cast<std::size_t>(pair)][i],
                                        options.digits));
        }
    }
    if (timeframe == Timeframe::Daily) {
        warnOfWeekendDays(options, aligned, outcome);
    }
    outcome.notes.push_back(timeframeName(timeframe) + ": " +
                            std::to_string(aligned.buckets.size()) + " bars, newest " +
                            barLabel(aligned.buckets.front(), timeframe) + ", oldest " +
                            barLabel(aligned.buckets.back(), timeframe));
    return true;
}

} // namespace

int pairFromFileName(std::string_view fileName, std::string_view prefix, std::string_view suffix) {
    const std::string name = lowerCase(fileName);
    int best = -1;
    std::size_t bestPosition = std::string::npos;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const std::string needle =
            lowerCase(std::string(prefix) + symbolOf(pair) + std::string(suffix));
        const std::size_t position = name.find(needle);
        if (position < bestPosition) {
            bestPosition = position;
            best = pair;
        }
    }
    return best;
}

LabelClock clockForFile(const BarReadResult& read, LabelClock wanted) {
    if (wanted != LabelClock::Auto) {
        return wanted;
    }
    const bool marked = read.headerSaysUtc ||
                        std::any_of(read.bars.begin(), read.bars.end(), [](const RawBar& bar) {
                            return bar.offsetMinutes.has_value();
                        });
    return marked ? LabelClock::Server : LabelClock::Data;
}

Minute labelStamp(const RawBar& bar, LabelClock clock) {
    if (clock == LabelClock::Data) {
        return bar.stamp;
    }
    const Minute utc = bar.stamp - bar.offsetMinutes.value_or(0);
    return clock == LabelClock::Utc ? utc : serverFromUtc(utc);
}

ImportOutcome runImport(const ImportOptions& options, const std::atomic<int>* stop) {
    ImportOutcome outcome;
    std::vector<InputFile> files;
    collectInputs(options, files, outcome);
    if (outcome.errors.empty() && files.empty()) {
        outcome.errors.push_back("found no file that names a pair (sub-folders are not searched; "
                                 "name each one to read it)");
    }
    AllSeries series;
    std::vector<CrossRecipe> recipes;
    HistorySet set;
    bool built = outcome.errors.empty() &&
                 checkInputsOutsideTarget(options.folder, files, outcome) &&
                 readAll(options, files, series, outcome, stop) &&
                 planMissingPairs(options, series, recipes, outcome);
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        built = built && !stopAsked(stop) &&
                buildTimeframe(options, timeframe, series, recipes, set, outcome);
    }
    if (stopAsked(stop)) {
        reportStop(stop->load(), outcome);
        return outcome;
    }
    if (!built) {
        outcome.exitCode = 2;
        return outcome;
    }
    if (auto problem = writeHistorySet(options.folder, set, stop)) {
        outcome.errors.push_back(*problem);
        outcome.exitCode = 1;
        if (stopAsked(stop)) {
            reportStop(stop->load(), outcome);
        }
    }
    return outcome;
}

} // namespace vz

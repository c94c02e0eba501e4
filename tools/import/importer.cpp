#include "tools/import/importer.h"

#include "tools/import/cross_pairs.h"
#include "tools/import/packed_input.h"
#include "tools/import/resample.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace vz {

namespace {

struct InputFile {
    std::string name; // as the user will recognise it in messages
    fs::path path;
    int pair = -1;
};

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string symbolOf(int pair) {
    return std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]);
}

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

bool isHidden(const fs::path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name.front() == '.';
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

// The files of one folder, in name order; false when the folder could not be read.
bool listFolder(const std::string& input, std::vector<fs::path>& inFolder, ImportOutcome& outcome) {
    std::error_code error;
    fs::directory_iterator entry(input, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path& path = entry->path();
        if (isHidden(path)) {
            continue;
        }
        std::error_code typeError;
        if (entry->is_regular_file(typeError)) {
            inFolder.push_back(path);
        } else if (entry->is_directory(typeError)) {
            // Sub-folders often hold other sources of the same pairs;
            // mixing them unasked would blend two price feeds.
            outcome.notes.push_back("skipped " + path.string() +
                                    ": a folder (name it to read its files)");
        }
    }
    if (error) {
        outcome.errors.push_back(input + ": " + error.message());
        return false;
    }
    std::sort(inFolder.begin(), inFolder.end());
    return true;
}

// Expands folders into their files, in name order, and names each file's pair.
void collectInputs(const ImportOptions& options, std::vector<InputFile>& files,
                   ImportOutcome& outcome) {
    for (const std::string& input : options.inputs) {
        std::error_code error;
        if (fs::is_directory(input, error)) {
            std::vector<fs::path> inFolder;
            if (!listFolder(input, inFolder, outcome)) {
                continue;
            }
            for (const fs::path& path : inFolder) {
                const int pair = options.pair ? *options.pair
                                              : pairFromFileName(path.filename().string(),
                                                                 options.prefix, options.suffix);
                if (pair < 0) {
                    outcome.notes.push_back("skipped " + path.string() + ": names no pair");
                    continue;
                }
                files.push_back({path.string(), path, pair});
            }
        } else if (fs::is_regular_file(input, error)) {
            const int pair = options.pair ? *options.pair
                                          : pairFromFileName(fs::path(input).filename().string(),
                                                             options.prefix, options.suffix);
            if (pair < 0) {
                outcome.errors.push_back(input + ": the file name names none of the fourteen pairs "
                                                 "(rename it or give --pair)");
                continue;
            }
            files.push_back({input, input, pair});
        } else if (error && error != std::errc::no_such_file_or_directory) {
            outcome.errors.push_back(input + ": " + error.message());
        } else {
            outcome.errors.push_back(input + ": no such file or folder");
        }
    }
}

// The history files replace whatever has their names in the target folder, and
// a later run would read them back as bars: an input there is refused, judged
// by real path so that links and other spellings of the folder count too.
bool checkInputsOutsideTarget(const std::string& folder, const std::vector<InputFile>& files,
                              ImportOutcome& outcome) {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(folder, error);
    if (error) {
        return true; // the write reports a folder that cannot be reached
    }
    std::vector<fs::path> existingTargets;
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const fs::path path = target / historyFileNameOf(pair, timeframe);
            if (fs::exists(path, error)) {
                existingTargets.push_back(path);
            }
        }
    }
    for (const InputFile& file : files) {
        const fs::path real = fs::canonical(file.path, error);
        const bool inTarget = !error && real.parent_path() == target;
        const bool linked =
            std::any_of(existingTargets.begin(), existingTargets.end(), [&](const fs::path& path) {
                std::error_code ignored;
                return fs::equivalent(path, file.path, ignored);
            });
        if (inTarget || linked) {
            outcome.errors.push_back(file.name + ": an input " +
                                     (inTarget ? "inside" : "linked into") + " the target folder " +
                                     folder +
                                     ", which the history files would overwrite; write them to "
                                     "another folder");
            return false;
        }
    }
    return true;
}

// Files of one pair with different bar lengths are usually different sources;
// only one of them feeds each history, which the user should know.
void noteSeveralLengths(int pair, const std::map<Minute, std::vector<ClosedBar>>& lengths,
                        ImportOutcome& outcome) {
    std::string text;
    for (const auto& entry : lengths) {
        text += (text.empty() ? "" : ", ") + lengthText(entry.first);
    }
    outcome.notes.push_back(symbolOf(pair) + ": bars of " + text +
                            "; each history takes the longest that fit it, not a blend");
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

// Every file's bars on the label clock, grouped per pair and bar length.
bool readAll(const ImportOptions& options, const std::vector<InputFile>& files,
             std::array<std::vector<BarSeries>, PAIR_COUNT>& series, ImportOutcome& outcome,
             const std::atomic<int>* stop) {
    std::array<std::map<Minute, std::vector<ClosedBar>>, PAIR_COUNT> byLength;
    std::vector<std::string> movedToServer;
    std::vector<std::string> keptAsWritten;
    for (const InputFile& file : files) {
        if (stopAsked(stop)) {
            return false;
        }
        InputText text(file.path);
        const BarReadResult read = readBars(text.stream(), file.name, options.format);
        // A damaged archive ends the text early; that, not the cut line, is the news.
        if (const auto problem = text.error()) {
            outcome.errors.push_back(file.name + ": " + *problem);
            return false;
        }
        if (read.error) {
            outcome.errors.push_back(describe(*read.error));
            return false;
        }
        const LabelClock clock = clockForFile(read, options.clock);
        (clock == LabelClock::Server ? movedToServer : keptAsWritten).push_back(file.name);
        std::vector<ClosedBar> bars;
        bars.reserve(read.bars.size());
        for (const RawBar& bar : read.bars) {
            bars.push_back({labelStamp(bar, clock), bar.close});
        }
        const Minute length = makeSeries(bars).barMinutes;
        auto& group = byLength[static_cast<std::size_t>(file.pair)][length];
        group.insert(group.end(), bars.begin(), bars.end());
    }
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto& lengths = byLength[static_cast<std::size_t>(pair)];
        if (lengths.size() > 1) {
            noteSeveralLengths(pair, lengths, outcome);
        }
        for (auto& [length, bars] : byLength[static_cast<std::size_t>(pair)]) {
            series[static_cast<std::size_t>(pair)].push_back(makeSeries(std::move(bars)));
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
bool planMissingPairs(const ImportOptions& options,
                      const std::array<std::vector<BarSeries>, PAIR_COUNT>& series,
                      std::vector<CrossRecipe>& recipes, ImportOutcome& outcome) {
    std::array<bool, PAIR_COUNT> present{};
    std::vector<int> missing;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        present[static_cast<std::size_t>(pair)] = !series[static_cast<std::size_t>(pair)].empty();
        if (!present[static_cast<std::size_t>(pair)]) {
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

bool buildTimeframe(const ImportOptions& options, Timeframe timeframe,
                    const std::array<std::vector<BarSeries>, PAIR_COUNT>& series,
                    const std::vector<CrossRecipe>& recipes, HistorySet& set,
                    ImportOutcome& outcome) {
    std::array<std::map<Minute, double>, PAIR_COUNT> perPair;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto& candidates = series[static_cast<std::size_t>(pair)];
        if (candidates.empty()) {
            continue; // built below from its legs
        }
        const BarSeries* source = seriesFor(candidates, timeframe);
        if (source == nullptr) {
            outcome.errors.push_back(symbolOf(pair) + ": the shortest bars given last " +
                                     lengthText(candidates.front().barMinutes) + "; the " +
                                     timeframeName(timeframe) + " history needs shorter bars");
            return false;
        }
        perPair[static_cast<std::size_t>(pair)] = resample(*source, timeframe);
    }
    for (const CrossRecipe& recipe : recipes) {
        perPair[static_cast<std::size_t>(recipe.pair)] = buildCross(recipe, perPair);
    }
    const AlignedBars aligned = alignPairs(perPair, options.lines);
    if (aligned.buckets.empty()) {
        outcome.errors.push_back("the fourteen pairs have no " + timeframeName(timeframe) +
                                 " bar in common");
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
    std::array<std::vector<BarSeries>, PAIR_COUNT> series;
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

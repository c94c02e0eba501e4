#include "market/market_data.h"
#include "tools/feed/feed_run.h"
#include "tools/import/bar_reader.h"

#include <charconv>
#include <set>

namespace vz {

namespace {

template <typename Number> std::optional<Number> numberIn(const std::string& text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string applySource(const std::string& value, FeedOptions& o) {
    if (value == "walk") {
        o.source = FeedSource::Walk;
    } else if (value == "ticks") {
        o.source = FeedSource::Ticks;
    } else if (value == "history") {
        o.source = FeedSource::History;
    } else if (value == "stdin") {
        o.source = FeedSource::Stdin;
    } else {
        return "--source takes walk, ticks, history or stdin";
    }
    return {};
}

std::string applyNumber(const std::string& name, const std::string& value, FeedOptions& o) {
    if (name == "--interval-ms") {
        const auto ms = numberIn<int>(value);
        if (!ms || *ms < 1 || *ms > MAX_INTERVAL_MS) {
            return "--interval-ms takes a whole number from 1 to 86400000 (one day)";
        }
        o.intervalMs = *ms;
    } else if (name == "--speed") {
        const auto speed = numberIn<double>(value);
        if (!speed || !(*speed > 0.0 && *speed <= MAX_SPEED)) {
            return "--speed takes a number above 0 and at most 1000000";
        }
        o.speed = *speed;
    } else if (name == "--seed") {
        const auto seed = numberIn<std::uint64_t>(value);
        if (!seed) {
            return "--seed takes a whole number";
        }
        o.seed = *seed;
    } else if (name == "--volatility") {
        const auto volatility = numberIn<double>(value);
        if (!volatility || !(*volatility >= 0.0 && *volatility <= 0.05)) {
            return "--volatility takes a number from 0 to 0.05";
        }
        o.volatility = *volatility;
    } else if (name == "--count") {
        const auto count = numberIn<long>(value);
        if (!count || *count < 1) {
            return "--count takes a whole number of at least 1";
        }
        o.count = *count;
    } else if (name == "--make-history") {
        const auto bars = numberIn<int>(value);
        if (!bars || *bars < 1 || *bars > HISTORY_LOAD_LIMIT) {
            return "--make-history takes a whole number from 1 to 499";
        }
        o.makeHistory = *bars;
    }
    return {};
}

std::string applyOption(const std::string& name, const std::string& value, FeedOptions& o) {
    if (name == "--folder") {
        o.folder = value;
    } else if (name == "--source") {
        return applySource(value, o);
    } else if (name == "--ticks") {
        if (!o.ticksFile.empty()) {
            return "the tick file is given twice";
        }
        o.ticksFile = value;
    } else if (name == "--end") {
        const auto stamp = parseTimestamp(value);
        if (!stamp) {
            return "--end takes a date and hour such as \"2026.02.13 23:00\"";
        }
        o.historyEnd = stamp->stamp;
    } else if (name == "--prefix") {
        o.prefix = value;
    } else if (name == "--suffix") {
        o.suffix = value;
    } else {
        return applyNumber(name, value, o);
    }
    return {};
}

std::string sourceName(FeedSource source) {
    switch (source) {
    case FeedSource::Walk:
        return "walk";
    case FeedSource::Ticks:
        return "ticks";
    case FeedSource::Stdin:
        return "stdin";
    case FeedSource::History:
        break;
    }
    return "history";
}

std::string checkCombination(FeedOptions& o, bool sourceGiven) {
    if (o.folder.empty()) {
        return "--folder DIR is required";
    }
    if (!o.ticksFile.empty()) {
        if (sourceGiven && o.source != FeedSource::Ticks) {
            return "--ticks FILE replays a tick file and cannot go with --source " +
                   sourceName(o.source);
        }
        o.source = FeedSource::Ticks;
    }
    if (o.intervalMs / o.speed > MAX_INTERVAL_MS) {
        return "--speed with --interval-ms puts more than a day between writes (the interval "
               "divided by the speed must be at most 86400000 ms)";
    }
    if (o.source == FeedSource::Ticks && o.ticksFile.empty()) {
        return "the ticks source needs a tick file: --source ticks FILE";
    }
    if (o.source != FeedSource::Stdin && (!o.prefix.empty() || !o.suffix.empty())) {
        return "--prefix and --suffix go with --source stdin only";
    }
    if (o.source == FeedSource::Stdin && o.loop) {
        return "--loop does not go with --source stdin";
    }
    return {};
}

} // namespace

FeedCommand parseFeedCommand(const std::vector<std::string>& args) {
    static const std::set<std::string> WITH_VALUE = {
        "--folder",     "--source", "--ticks",        "--interval-ms", "--speed",  "--seed",
        "--volatility", "--count",  "--make-history", "--end",         "--prefix", "--suffix"};
    FeedCommand command;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            command.showHelp = true;
            return command;
        }
        if (!seen.insert(arg).second) {
            command.error = arg + " given twice";
            return command;
        }
        if (arg == "--once") {
            command.options.count = 1;
            continue;
        }
        if (arg == "--loop") {
            command.options.loop = true;
            continue;
        }
        if (WITH_VALUE.count(arg) == 0) {
            command.error = "unknown option " + arg;
            return command;
        }
        if (i + 1 >= args.size()) {
            command.error = arg + " needs a value";
            return command;
        }
        command.error = applyOption(arg, args[++i], command.options);
        if (!command.error.empty()) {
            return command;
        }
        // "--source ticks FILE" names the tick file right after the word.
        if (arg == "--source" && args[i] == "ticks" && i + 1 < args.size() &&
            args[i + 1].rfind("--", 0) != 0) {
            command.error = applyOption("--ticks", args[++i], command.options);
            if (!command.error.empty()) {
                return command;
            }
        }
    }
    command.error = checkCombination(command.options, seen.count("--source") > 0);
    return command;
}

std::string feedHelpText() {
    return R"(Usage: vurezer-feed --folder DIR [options]

Keeps the fourteen real-time files DIR/P_RT.csv current: each holds the pair's
price alone on one CR LF line, with 5 decimals (3 for JPY pairs). Every file is
written to a temporary file in DIR and renamed over the old one, so a reader
never sees a partial or empty file. Ctrl-C or SIGTERM stops after the write
under way.

Sources:
  --source walk          (default) a random walk of the seven currencies USD
                         EUR GBP JPY CHF AUD NZD from typical levels; every pair
                         is the ratio of its two currencies, so the fourteen
                         prices always agree with each other
  --source ticks FILE    replays a tick file: lines "LABEL,P0,...,P13" with the
                         prices in the program's pair order (GBPUSD EURGBP
                         GBPJPY USDCHF NZDUSD AUDJPY EURJPY EURUSD USDJPY AUDUSD
                         NZDJPY GBPCHF CHFJPY EURCHF); a price outside 0..500
                         (once rounded to the pair's decimals) leaves that
                         pair's file as it was
  --ticks FILE           the same as --source ticks FILE; no other --source
                         may go with it
  --source history       steps through DIR's own P_H1.csv closes, from the
                         oldest line to the newest (line 0)
  --source stdin         prices from standard input as they come, one per
                         line: "SYMBOL,PRICE", "SYMBOL,BID,ASK" (the bid is
                         written) or a tick line as above. Symbols match in
                         any case, with a broker's prefix or suffix around
                         them (EURUSDm, EURUSD.pro); other instruments are
                         skipped. A pair's file is rewritten when its price
                         changed, at most once per interval. A bad line is
                         reported with its number and skipped; the end of the
                         input ends the feed, with a count of the lines read,
                         the prices written and the lines skipped

Options:
  --interval-ms N        time between writes (default 1000, at most 86400000)
  --speed X              writes X times as often (default 1, at most 1000000;
                         the interval divided by X may not pass one day)
  --seed N               seed of the walk (default 1); the same seed gives the
                         same prices
  --volatility X         walk step per write, as a share of each currency's
                         value (default 0.0001, about a pip and a half)
  --once                 write one set and exit
  --count N              write N sets and exit
  --loop                 start the tick file or the history again at its end
                         (otherwise the feed exits there)
  --make-history N       instead of feeding: write DIR/P.csv, P_H4.csv and
                         P_H1.csv with N bars each (1..499, newest first, all
                         pairs aligned, Monday to Friday) and a first set of
                         P_RT.csv files, from the same seeded walk: the newest
                         bars close where the walk of that seed begins
  --end "YYYY.MM.DD HH:MM"  newest hour of the made history (default: the
                         current hour on New York + 7 h time)
  --prefix TEXT          with --source stdin: the symbols stand after TEXT
  --suffix TEXT          with --source stdin: the symbols stand before TEXT
  --help                 this text

A real-time file that cannot be written (a folder in its place, a full disk)
is reported once and tried again at every write while the other pairs go on;
its recovery is reported too. Temporary files left by a feed that was killed
are removed at start.

Exit status: 0 done or stopped; 2 bad options or input; 1 a file could not be
written (and still could not at the end).
)";
}

} // namespace vz

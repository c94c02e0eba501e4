#include "tools/import/import_options.h"

#include "tools/import/source_zone.h"

#include <charconv>
#include <set>

namespace vz {

namespace {

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<LabelClock> clockNamed(const std::string& name) {
    if (name == "auto") {
        return LabelClock::Auto;
    }
    if (name == "data") {
        return LabelClock::Data;
    }
    if (name == "utc") {
        return LabelClock::Utc;
    }
    if (name == "server") {
        return LabelClock::Server;
    }
    return std::nullopt;
}

std::optional<int> pairNamed(const std::string& name) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        if (PAIR_TABLE[static_cast<std::size_t>(pair)] == name) {
            return pair;
        }
    }
    return std::nullopt;
}

// Applies one option with its value; returns an error text when the value is bad.
std::string applyOption(const std::string& name, const std::string& value, ImportOptions& o) {
    if (name == "--to") {
        o.folder = value;
    } else if (name == "--format") {
        const auto format = inputFormatNamed(value);
        if (!format) {
            return "--format takes auto, metatrader, ascii, table or plain";
        }
        o.format = *format;
    } else if (name == "--pair") {
        o.pair = pairNamed(value);
        if (!o.pair) {
            return "--pair takes one of the fourteen symbols in upper case, such as EURUSD";
        }
    } else if (name == "--clock") {
        const auto clock = clockNamed(value);
        if (!clock) {
            return "--clock takes auto, data, utc or server";
        }
        o.clock = *clock;
    } else if (name == "--lines") {
        const auto lines = wholeNumber(value);
        if (!lines || *lines < 1 || *lines > HISTORY_LOAD_LIMIT) {
            return "--lines takes a whole number from 1 to 499";
        }
        o.lines = *lines;
    } else if (name == "--prefix") {
        o.prefix = value;
    } else if (name == "--suffix") {
        o.suffix = value;
    } else if (name == "--digits") {
        if (value != "round" && value != "keep") {
            return "--digits takes round or keep";
        }
        o.digits = value == "round" ? DigitsPolicy::Round : DigitsPolicy::Keep;
    } else if (name == "--source-zone") {
        std::string problem;
        if (!SourceZone::named(value, problem)) {
            return problem;
        }
        o.sourceZone = value;
    } else if (name == "--date-order") {
        if (value != "mdy" && value != "dmy") {
            return "--date-order takes mdy (09/01/2020 is September 1st) or dmy (January 9th)";
        }
        o.dateOrder = value == "mdy" ? DateOrder::MonthFirst : DateOrder::DayFirst;
    } else if (name == "--close-column") {
        o.closeColumn = value;
    } else {
        return "unknown option " + name;
    }
    return {};
}

} // namespace

ImportCommand parseImportCommand(const std::vector<std::string>& args) {
    static const std::set<std::string> WITH_VALUE = {
        "--to",     "--format", "--pair",        "--clock",      "--lines",       "--prefix",
        "--suffix", "--digits", "--source-zone", "--date-order", "--close-column"};
    ImportCommand command;
    std::set<std::string> seen;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            command.showHelp = true;
            return command;
        }
        if (optionsEnded || arg.rfind("--", 0) != 0) {
            command.options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--synthesize-missing") {
            command.options.synthesizeMissing = true;
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
        if (!seen.insert(arg).second) {
            command.error = arg + " given twice";
            return command;
        }
        command.error = applyOption(arg, args[++i], command.options);
        if (!command.error.empty()) {
            return command;
        }
    }
    if (command.options.folder.empty()) {
        command.error = "--to FOLDER is required";
    } else if (!command.options.sourceZone.empty() && command.options.clock == LabelClock::Data) {
        command.error = "--source-zone converts the stamps, --clock data keeps them as written; "
                        "give one of them";
    } else if (command.options.inputs.empty()) {
        command.error = "no input files given";
    }
    return command;
}

std::string importHelpText() {
    return R"(Usage: vurezer-import [options] --to FOLDER INPUT...

Turns bar files into the program's history set: for each of the fourteen pairs
P, the files P.csv (daily), P_H4.csv (4-hour) and P_H1.csv (1-hour), newest bar
first, one "LABEL,CLOSE" line per bar with CR LF line ends. Only bars that every
pair has are written, so line k is the same bar in all fourteen files.

INPUT is a bar file or a folder; every file of a folder that names a pair is
read (others, and sub-folders, are skipped with a note). Files packed with xz,
gzip or zip (one bar file inside) are unpacked on the fly. The input folder may
not be the target folder. Layouts, recognised by their first line:
  MetaTrader CSV    2024.01.02,13:00,Open,High,Low,Close,Volume (no header)
  MetaTrader table  a header <DATE> <TIME> <OPEN> <HIGH> <LOW> <CLOSE> ...,
                    separated by tabs, commas or semicolons
  ASCII one-minute  20240102 130000;Open;High;Low;Close;Volume (no header)
  Headerless rows   a stamp (or a date and a time), then the close alone or
                    Open,High,Low,Close[,Volume...], by tabs, commas or semicolons
  Any table         a header naming a date/time column (or a date and a time
                    column) and a close column (Close, closingPrice,
                    close_price, Close/Last, BidClose, or --close-column)
  MetaTrader 4 .hst the terminal's own history files (versions 400 and 401);
                    pair and bar length from the file's header
Stamps such as 2024-01-02 13:00:00, 2024-01-02T13:00Z, 2024.01.02 13:00,
02.01.2024 13:00:00.000 GMT+0100, 1704200400 (Unix seconds), 1/2/2024 1:00 PM.
Slash dates take their order from a day above 12; otherwise give --date-order.
Where the separator is not a comma, a decimal comma is read as a point.

A stamp is the bar's open time. The bar length is the gap most neighbouring
rows show; a row off that grid is dropped with a note (a daily bar up to an
hour off, as at a clock change, is moved onto it). When two rows carry the
same stamp the later one wins (a later file given counts as later); files of
one pair that overlap are named in a note. Rows with a zero price are skipped
as placeholders. On the server and UTC clocks, bars that open in the FX weekend
(Friday 17:00 to Sunday 17:00 New York) are dropped. Closes are taken from the
last bar of each day, 4-hour block (00:00, 04:00, ... 20:00) and hour. Of a
pair's files of different bar lengths that fit a history, the one reaching
furthest feeds it, and bars before its first come from the others.

Options:
  --to FOLDER       where the 42 files go (created when missing). Files are
                    written to a working folder inside FOLDER first and moved
                    into place only when all of them are ready.
  --format NAME     auto (default), metatrader, ascii, table or plain
  --pair SYMBOL     every input is this pair (default: from each file name:
                    the first of the fourteen symbols it contains, in any
                    letter case, e.g. EURUSDm.csv, eurusd_M15.csv, EURUSD.pro.csv)
  --prefix TEXT     the symbol stands after TEXT in the file names
  --suffix TEXT     the symbol stands before TEXT in the file names
  --clock NAME      the clock of labels and day/hour boundaries:
                      auto    (default) per file: stamps that carry a UTC
                              offset (+00:00, Z, GMT+0100, Unix time ...), stand
                              in a column named as UTC (time_utc, ...) or have a
                              --source-zone go on the server clock as with
                              "server"; others are kept as written, as with
                              "data" (MetaTrader exports are in server time
                              already); a run mixing both kinds stops and names
                              the files
                      data    the stamps as written (offsets ignored)
                      utc     stamps moved to UTC by their offset (+02:00 etc.);
                              stamps without one are taken as UTC
                      server  New York time + 7 hours, so each day ends at
                              17:00 New York (US daylight saving rules) and a
                              week has five daily bars; stamps taken as UTC
                              unless they carry an offset
  --source-zone ZONE
                    the clock of stamps that carry no offset: a fixed offset
                    (-05:00, UTC) or a zone name (Europe/Zurich,
                    America/New_York); they are converted to UTC and then to
                    the label clock. Not with --clock data
  --date-order ORDER
                    mdy or dmy: the order of slash dates the data leave open
  --close-column NAME
                    the header name of the close column
  --lines N         bars per file, newest first (default and most: 499)
  --digits POLICY   round (default): 5 decimals, 3 for JPY pairs;
                    keep: at least as many, more where the input has more
  --synthesize-missing
                    build each pair the inputs lack from two pairs they have,
                    through a common currency (USD first, then EUR, GBP, JPY,
                    CHF, AUD, NZD): GBPCHF = GBPUSD x USDCHF, CHFJPY =
                    1/USDCHF x USDJPY; files of EURAUD, EURNZD, GBPAUD,
                    GBPNZD, AUDNZD, AUDCHF and NZDCHF serve as legs too.
                    Closes are multiplied bar by bar on the bars both sources
                    have and rounded to 5 decimals (3 for JPY pairs); a note
                    names the sources of each built pair
  --help            this text
  --                every argument after it is an INPUT, even one starting
                    with --

Exit status: 0 done; 2 bad input or options (nothing is written; the message
names the file and line); 1 the history set could not be written; 130 or 143
stopped by Ctrl-C or SIGTERM (nothing is written). Warnings (such as Saturday
or Sunday bars in the daily history) go to the error stream.
)";
}

} // namespace vz

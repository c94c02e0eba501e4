#include "replay/replay_options.h"

#include "replay/output_guard.h"

#include "market/pairs.h"

#include <climits>
#include <functional>
#include <set>
#include <string_view>

namespace vz {

namespace {

using Setter = std::function<std::string(std::string_view value, ReplayOptions& options)>;

struct OptionRule {
    std::string_view name;
    Setter set;
};

std::optional<long long> parseWholeNumber(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const int digit = c - '0';
        value = value > (LLONG_MAX - digit) / 10 ? LLONG_MAX : value * 10 + digit;
    }
    return value;
}

std::vector<std::string_view> splitOn(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::string badValue(std::string_view option, std::string_view value, std::string_view expected) {
    return "bad value '" + std::string(value) + "' for " + std::string(option) + ": expected " +
           std::string(expected);
}

Setter pathSetter(std::string_view option, std::string ReplayOptions::*target) {
    return [option, target](std::string_view value, ReplayOptions& options) {
        if (value.empty()) {
            return badValue(option, value, "a path");
        }
        options.*target = std::string(value);
        return std::string();
    };
}

std::string setReferenceDay(std::string_view value, ReplayOptions& options) {
    const auto number = parseWholeNumber(value);
    if (!number) {
        return badValue("--reference-day", value, "a whole number");
    }
    options.referenceDay = *number;
    options.referenceDayText = std::string(value);
    return {};
}

std::string setColumns(std::string_view value, ReplayOptions& options) {
    const std::vector<std::string_view> items = splitOn(value, ',');
    const char* expected = "five comma-separated list positions or '-'";
    if (items.size() != REPLAY_COLUMN_COUNT) {
        return badValue("--columns", value, expected);
    }
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (items[k] == "-") {
            options.columns[k].reset();
            continue;
        }
        const auto number = parseWholeNumber(items[k]);
        if (!number) {
            return badValue("--columns", value, expected);
        }
        options.columns[k] = *number;
        options.columnTexts[k] = std::string(items[k]);
    }
    return {};
}

std::string setAlerts(std::string_view value, ReplayOptions& options) {
    const char* expected = "a comma list of anchors, flip, grouping, each at most once";
    std::set<std::string_view> seen;
    for (std::string_view word : splitOn(value, ',')) {
        bool* flag = nullptr;
        if (word == "anchors") {
            flag = &options.anchorsAlert;
        } else if (word == "flip") {
            flag = &options.flipAlert;
        } else if (word == "grouping") {
            flag = &options.groupingAlert;
        }
        if (flag == nullptr || !seen.insert(word).second) {
            return badValue("--alerts", value, expected);
        }
        *flag = true;
    }
    return {};
}

std::string setPairAlert(std::string_view value, ReplayOptions& options) {
    const char* expected = "SYMBOL:SLOT with one of the fourteen symbols and a slot from 1 to 14";
    const std::vector<std::string_view> parts = splitOn(value, ':');
    if (parts.size() != 2) {
        return badValue("--pair-alert", value, expected);
    }
    const int pair = pairIndexOf(parts[0]);
    const auto slot = parseWholeNumber(parts[1]);
    if (pair < 0 || !slot || *slot < 1 || *slot > PAIR_COUNT) {
        return badValue("--pair-alert", value, expected);
    }
    options.pairAlert = PairAlertChoice{pair, static_cast<int>(*slot)};
    return {};
}

std::string setBiasLogEvery(std::string_view value, ReplayOptions& options) {
    const auto number = parseWholeNumber(value);
    if (!number || *number < 1) {
        return badValue("--bias-log-every", value, "a whole number of ticks, at least 1");
    }
    options.biasLogEvery = *number > INT_MAX ? INT_MAX : static_cast<int>(*number);
    return {};
}

std::string setBasket(std::string_view value, ReplayOptions& options) {
    const char* expected = "buy@I or sell@I with a tick index I";
    const std::vector<std::string_view> parts = splitOn(value, '@');
    if (parts.size() != 2 || (parts[0] != "buy" && parts[0] != "sell")) {
        return badValue("--basket", value, expected);
    }
    const auto tick = parseWholeNumber(parts[1]);
    if (!tick) {
        return badValue("--basket", value, expected);
    }
    const TradeDirection direction = parts[0] == "buy" ? TradeDirection::Buy : TradeDirection::Sell;
    options.basket = BasketPress{direction, *tick};
    return {};
}

std::string setCloseAt(std::string_view value, ReplayOptions& options) {
    const auto tick = parseWholeNumber(value);
    if (!tick) {
        return badValue("--close-at", value, "a tick index");
    }
    options.closeAt = *tick;
    return {};
}

const std::vector<OptionRule>& optionRules() {
    static const std::vector<OptionRule> rules = {
        {"--folder", pathSetter("--folder", &ReplayOptions::folder)},
        {"--ticks", pathSetter("--ticks", &ReplayOptions::ticks)},
        {"--reference-day", setReferenceDay},
        {"--columns", setColumns},
        {"--alerts", setAlerts},
        {"--pair-alert", setPairAlert},
        {"--bias-log-every", setBiasLogEvery},
        {"--basket", setBasket},
        {"--close-at", setCloseAt},
        {"--snapshots", pathSetter("--snapshots", &ReplayOptions::snapshots)},
        {"--events", pathSetter("--events", &ReplayOptions::events)},
        {"--columns-out", pathSetter("--columns-out", &ReplayOptions::columnsOut)},
        {"--report", pathSetter("--report", &ReplayOptions::report)},
    };
    return rules;
}

const OptionRule* findRule(std::string_view name) {
    for (const OptionRule& rule : optionRules()) {
        if (rule.name == name) {
            return &rule;
        }
    }
    return nullptr;
}

std::string checkOutputClashes(const ReplayOptions& options) {
    const std::string* outputs[] = {&options.snapshots, &options.events, &options.columnsOut,
                                    &options.report};
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        for (const std::string& name : namesWritten(*outputs[i])) {
            if (options.ticks != "-" && sameFile(name, options.ticks)) {
                return "bad value '" + *outputs[i] + "': an output cannot overwrite the tick file";
            }
            for (std::size_t j = i + 1; j < std::size(outputs); ++j) {
                for (const std::string& other : namesWritten(*outputs[j])) {
                    if (sameFile(name, other)) {
                        return "bad value '" + *outputs[j] + "': two outputs cannot share one file";
                    }
                }
            }
        }
    }
    return {};
}

std::string checkComplete(const ReplayOptions& options, const std::set<std::string_view>& given) {
    for (std::string_view required : {"--folder", "--ticks", "--reference-day"}) {
        if (given.count(required) == 0) {
            return "missing required option " + std::string(required);
        }
    }
    if (std::string clash = checkOutputClashes(options); !clash.empty()) {
        return clash;
    }
    if (options.basket && options.closeAt && *options.closeAt < options.basket->tick) {
        return "bad value for --close-at: tick " + std::to_string(*options.closeAt) +
               " comes before the --basket tick " + std::to_string(options.basket->tick);
    }
    return {};
}

} // namespace

ParsedCommandLine parseReplayCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine parsed;
    ReplayOptions options;
    std::set<std::string_view> given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help") {
            parsed.help = true;
            return parsed;
        }
        const OptionRule* rule = findRule(name);
        if (rule == nullptr) {
            parsed.error = "unknown option '" + name + "'";
            return parsed;
        }
        if (!given.insert(rule->name).second) {
            parsed.error = "option " + name + " given twice";
            return parsed;
        }
        if (i + 1 >= args.size()) {
            parsed.error = "option " + name + " needs a value";
            return parsed;
        }
        parsed.error = rule->set(args[++i], options);
        if (!parsed.error.empty()) {
            return parsed;
        }
    }
    parsed.error = checkComplete(options, given);
    if (parsed.error.empty()) {
        parsed.options = std::move(options);
    }
    return parsed;
}

std::string replayUsage() {
    return "Usage: vurezer-replay --folder DIR --ticks FILE --reference-day N [options]\n"
           "\n"
           "Runs the program's own logic without windows over a sequence of live prices,\n"
           "one tick per line (LABEL,P0,...,P13), and writes what happened.\n"
           "\n"
           "  --folder DIR              program folder with the history files\n"
           "  --ticks FILE              tick file, '-' for standard input\n"
           "  --reference-day N         entry N of the \"Reference Day:\" list\n"
           "  --columns A,B,C,D,E       list positions of the five multi-timeframe columns,\n"
           "                            '-' for a column left unchosen\n"
           "  --alerts LIST             comma list of anchors, flip, grouping\n"
           "  --pair-alert SYMBOL:SLOT  arms \"Alert when:\" for that pair and slot (1 to 14)\n"
           "  --bias-log-every T        ticks between periodic bias entries (default 900)\n"
           "  --basket buy@I|sell@I     presses Buy or Sell right after tick I (0-based)\n"
           "  --close-at J              presses Close right after tick J (J >= I)\n"
           "  --snapshots FILE          active-log header and one row per tick\n"
           "  --events FILE             every event-log row as TICK,Description\n"
           "  --columns-out FILE        per tick and chosen column: TICK,K,RB,BP,SP,S1,P1,...\n"
           "  --report FILE.html        a self-contained page with charts of the run\n"
           "  --help                    shows this text\n"
           "\n"
           "Exit status: 0 on success, 2 on any error, 130 or 143 when stopped by\n"
           "SIGINT or SIGTERM.\n";
}

} // namespace vz

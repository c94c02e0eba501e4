#include "tools/feed/stdin_lines.h"

#include "tools/import/importer.h"
#include "tools/replay/tick_lines.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace vz {

namespace {

// Room for any symbol a broker writes; longer text in a message is cut.
constexpr std::size_t SHOWN_FIELD_LENGTH = 24;

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(trimmed(line.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

// The field as it may appear in a message: printable, and short.
std::string shown(std::string_view field) {
    std::string text;
    for (const char c : field.substr(0, SHOWN_FIELD_LENGTH)) {
        text.push_back(c >= ' ' && c <= '~' ? c : '?');
    }
    return field.size() > SHOWN_FIELD_LENGTH ? text + "..." : text;
}

// A decimal number, optionally with an exponent, making up the whole field.
std::optional<double> numberOf(std::string_view field) {
    double value = 0.0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (field.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

StdinLine bad(std::string problem) {
    StdinLine line;
    line.kind = StdinLineKind::Bad;
    line.problem = std::move(problem);
    return line;
}

StdinLine symbolLine(const std::vector<std::string_view>& fields, const SymbolMatch& match) {
    if (fields[0].empty()) {
        return bad("the symbol is missing");
    }
    for (std::size_t i = 1; i < fields.size(); ++i) {
        if (!numberOf(fields[i])) {
            return bad("\"" + shown(fields[i]) + "\" is not a price");
        }
    }
    StdinLine line;
    const int pair = pairFromFileName(fields[0], match.prefix, match.suffix);
    if (pair < 0) {
        line.kind = StdinLineKind::OtherSymbol;
        line.symbol = shown(fields[0]);
        return line;
    }
    const double price = *numberOf(fields[1]);
    if (!realTimeFileText(pair, price)) {
        return bad(shown(fields[1]) + " for " +
                   std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]) +
                   " is not a price between 0 and 500");
    }
    line.kind = StdinLineKind::Prices;
    line.prices[static_cast<std::size_t>(pair)] = price;
    return line;
}

StdinLine tickLine(std::string_view text) {
    const ParsedTickLine parsed = parseTickLine(text);
    StdinLine line;
    line.kind = StdinLineKind::Prices;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const double price = parsed.tick->prices[static_cast<std::size_t>(pair)];
        if (realTimeFileText(pair, price)) {
            line.prices[static_cast<std::size_t>(pair)] = price;
        }
    }
    return line;
}

} // namespace

StdinLine parseStdinLine(std::string_view line, const SymbolMatch& match) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (trimmed(line).empty()) {
        return {};
    }
    if (line.size() > MAX_STDIN_LINE) {
        return bad("longer than " + std::to_string(MAX_STDIN_LINE) + " characters");
    }
    const std::vector<std::string_view> fields = fieldsOf(line);
    if (fields.size() == 2 || fields.size() == 3) {
        return symbolLine(fields, match);
    }
    if (fields.size() >= static_cast<std::size_t>(TICK_FIELD_COUNT)) {
        return tickLine(line);
    }
    return bad("expected SYMBOL,PRICE or SYMBOL,BID,ASK or a label and fourteen prices, found " +
               std::to_string(fields.size()) + " fields");
}

} // namespace vz

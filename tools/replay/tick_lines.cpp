#include "replay/tick_lines.h"

#include "market/data_files.h"

namespace vz {

namespace {

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

ParsedTickLine parseTickLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    ParsedTickLine parsed;
    if (isBlank(line)) {
        parsed.blank = true;
        return parsed;
    }
    TickLine tick;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        const std::string_view field =
            line.substr(start, comma == std::string_view::npos ? comma : comma - start);
        if (parsed.fieldCount == 0) {
            tick.label = std::string(field);
        } else if (parsed.fieldCount < TICK_FIELD_COUNT) {
            tick.prices[static_cast<std::size_t>(parsed.fieldCount - 1)] = parseNumber(field);
        }
        ++parsed.fieldCount;
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (parsed.fieldCount >= TICK_FIELD_COUNT) {
        parsed.tick = std::move(tick);
    }
    return parsed;
}

void applyTickPrices(const TickLine& tick, std::array<float, PAIR_COUNT>& livePrices) {
    for (std::size_t pair = 0; pair < livePrices.size(); ++pair) {
        if (acceptsLivePrice(tick.prices[pair])) {
            livePrices[pair] = static_cast<float>(tick.prices[pair]);
        }
    }
}

TickLineReader::TickLineReader(std::istream& input)
    : input_(input), buffer_(MAX_TICK_LINE_BYTES + 2) {}

// getline() into a fixed buffer: a line that fills it without reaching its LF
// stops the reading instead of growing a string without bound.
bool TickLineReader::next(std::string& line) {
    if (lineTooLong_ || !input_.good()) {
        return false;
    }
    input_.getline(buffer_.data(), static_cast<std::streamsize>(MAX_TICK_LINE_BYTES + 1));
    const auto count = static_cast<std::size_t>(input_.gcount());
    if (input_.bad() || count == 0) {
        return false;
    }
    ++lineNumber_;
    if (input_.fail() && !input_.eof()) {
        lineTooLong_ = true;
        return false;
    }
    const bool endedByLineFeed = !input_.eof();
    line.assign(buffer_.data(), endedByLineFeed ? count - 1 : count);
    return true;
}

} // namespace vz

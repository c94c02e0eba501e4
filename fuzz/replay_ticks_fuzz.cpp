// The replay's tick file: every line read, parsed and applied. Lines never
// hold their LF or pass the length limit, and the live prices stay in range.
#include "fuzz_support.h"
#include "replay/tick_lines.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    std::istringstream input{std::string(fuzz::bytesOf(data, size))};
    TickLineReader reader(input);
    std::array<float, PAIR_COUNT> livePrices{};
    livePrices.fill(1.0f);
    long long lines = 0;
    for (std::string line; reader.next(line);) {
        fuzz::require(line.find('\n') == std::string::npos);
        fuzz::require(line.size() <= MAX_TICK_LINE_BYTES);
        ++lines;
        const ParsedTickLine parsed = parseTickLine(line);
        fuzz::require(!(parsed.blank && parsed.tick));
        fuzz::require(parsed.tick.has_value() == (parsed.fieldCount >= TICK_FIELD_COUNT));
        if (parsed.tick) {
            fuzz::require(parsed.tick->label.find(',') == std::string::npos);
            applyTickPrices(*parsed.tick, livePrices);
        }
    }
    fuzz::require(reader.lineNumber() == lines + (reader.lineTooLong() ? 1 : 0));
    // A value is taken when it lies strictly between 0 and 500 as read; stored
    // as a float it can then round to 0 (below the smallest float) or to 500.
    for (const float price : livePrices) {
        fuzz::require(price >= 0.0f && price <= 500.0f);
    }
    return 0;
}

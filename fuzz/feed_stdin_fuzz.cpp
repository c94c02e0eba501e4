// The feed's standard-input lines: whatever a stream sends, a line is blank,
// bad with a reason, another symbol, or prices the program would take.
#include "fuzz_support.h"

#include "tools/feed/stdin_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    const std::vector<std::string> parts = fuzz::splitOn(fuzz::bytesOf(data, size), '\0');
    // The first part, when there are several, narrows the symbols as --prefix would.
    SymbolMatch match;
    if (parts.size() > 1) {
        match.prefix = parts.front().substr(0, 8);
    }
    const StdinLine line = parseStdinLine(parts.back(), match);
    switch (line.kind) {
    case StdinLineKind::Bad:
        fuzz::require(!line.problem.empty());
        break;
    case StdinLineKind::Prices:
        // A tick line whose every price is refused changes nothing, as in a tick file.
        for (const auto& price : line.prices) {
            fuzz::require(!price || (*price > 0.0 && *price < 500.0));
        }
        break;
    default:
        break;
    }
    return 0;
}

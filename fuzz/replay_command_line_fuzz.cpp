// The replay's command line, one argument per input line: either help, or
// options, or a one-line error.
#include "fuzz_support.h"
#include "replay/replay_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    const ParsedCommandLine parsed =
        parseReplayCommandLine(fuzz::argumentsOf(fuzz::bytesOf(data, size)));
    const int outcomes =
        (parsed.help ? 1 : 0) + (parsed.options ? 1 : 0) + (parsed.error.empty() ? 0 : 1);
    fuzz::require(outcomes == 1);
    fuzz::require(parsed.error.find('\n') == std::string::npos);
    if (parsed.options) {
        const ReplayOptions& options = *parsed.options;
        fuzz::require(options.biasLogEvery >= 1);
        fuzz::require(!options.pairAlert ||
                      (options.pairAlert->pair >= 0 && options.pairAlert->pair < PAIR_COUNT &&
                       options.pairAlert->slot >= 1 && options.pairAlert->slot <= PAIR_COUNT));
        fuzz::require(!(options.basket && options.closeAt) ||
                      *options.closeAt >= options.basket->tick);
    }
    return 0;
}

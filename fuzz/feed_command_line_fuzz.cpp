// The feed's command line, one argument per input line.
#include "fuzz_support.h"

#include "tools/feed/feed_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    const FeedCommand command = parseFeedCommand(fuzz::argumentsOf(fuzz::bytesOf(data, size)));
    fuzz::require(command.error.find('\n') == std::string::npos);
    if (!command.showHelp && command.error.empty()) {
        const FeedOptions& options = command.options;
        fuzz::require(options.intervalMs >= 1 && options.intervalMs <= MAX_INTERVAL_MS);
        fuzz::require(options.speed > 0.0 && options.speed <= MAX_SPEED);
        fuzz::require(!options.count || *options.count >= 1);
    }
    return 0;
}

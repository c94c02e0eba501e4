// The feed's tick file: either ticks whose prices all pass the range test, or
// an error naming the file, never both.
#include "fuzz_support.h"

#include "tools/feed/tick_sources.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    std::istringstream input{std::string(fuzz::bytesOf(data, size))};
    const TickLoad load = readTickFile(input, "ticks.csv");
    fuzz::require(load.error.empty() != load.ticks.empty());
    fuzz::require(load.error.empty() || load.error.rfind("ticks.csv", 0) == 0);
    for (const LivePrices& tick : load.ticks) {
        for (const auto& price : tick) {
            fuzz::require(!price || (*price > 0.0 && *price < 500.0));
        }
    }
    return 0;
}

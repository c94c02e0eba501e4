// The real-time read: parts of the input split by NUL bytes are the fourteen
// real-time files in turn ("!" for a missing one). Every live price it takes
// passes the range test; a bad value leaves the previous price in place.
#include "fuzz_support.h"

#include "market/data_files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    const std::vector<std::string> parts = fuzz::splitOn(fuzz::bytesOf(data, size), '\0');
    HeadlessUi ui;
    ui.setPaintsPixels(false);
    MemoryFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    // Only the live prices are read or written; the rest of the store is
    // large and is built once.
    static MarketData market;
    market.programFolder = "data/";
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const std::string& content = parts[static_cast<std::size_t>(pair) % parts.size()];
        if (content != "!") {
            files.put(realTimeFileName(market.programFolder, pair), content);
        }
    }
    const float before = 1.25f;
    market.livePrices.fill(before);
    readRealTimePrices(market, host);
    for (const float price : market.livePrices) {
        // Taken strictly between 0 and 500 as read, then stored as a float,
        // which can round to 0 or to 500.
        fuzz::require(price == before || (price >= 0.0f && price <= 500.0f));
    }
    return 0;
}

// The feed's history source on a folder made from the input: parts split by
// NUL bytes are the fourteen 1-hour files in turn ("!" for a missing one).
// The folder lives for the whole fuzzing process, so each run rewrites it.
#include "fuzz_support.h"

#include "market/market_data.h"
#include "tools/feed/tick_sources.h"
#include "tools/import/history_set.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct TemporaryFolder {
    fs::path path;
    TemporaryFolder() {
        std::string name = (fs::temp_directory_path() / "vurezer-fuzz-XXXXXX").string();
        vz::fuzz::require(::mkdtemp(name.data()) != nullptr);
        path = name;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    static const TemporaryFolder folder;
    const std::vector<std::string> parts = fuzz::splitOn(fuzz::bytesOf(data, size), '\0');
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const fs::path file = folder.path / historyFileNameOf(pair, Timeframe::OneHour);
        const std::string& content = parts[static_cast<std::size_t>(pair) % parts.size()];
        if (content == "!") {
            fs::remove(file);
        } else {
            std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
        }
    }
    const TickLoad load = readHourlyHistory(folder.path);
    fuzz::require(load.error.empty() != load.ticks.empty());
    fuzz::require(load.ticks.size() <= static_cast<std::size_t>(HISTORY_LOAD_LIMIT));
    for (const LivePrices& tick : load.ticks) {
        for (const auto& price : tick) {
            fuzz::require(!price || (*price > 0.0 && *price < 500.0));
        }
    }
    return 0;
}

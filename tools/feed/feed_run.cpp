#include "tools/feed/feed_run.h"

#include "tools/feed/make_history.h"
#include "tools/feed/price_walk.h"
#include "tools/feed/stdin_source.h"
#include "tools/feed/tick_sources.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <thread>

namespace fs = std::filesystem;

namespace vz {

namespace {

// Everything the loop carries from one write to the next.
struct FeedState {
    CurrencyWalk walk;
    std::vector<LivePrices> ticks;
    std::size_t nextTick = 0;
    LivePrices current;
};

TickLoad loadTicks(const FeedOptions& options) {
    if (options.source == FeedSource::History) {
        return readHourlyHistory(options.folder);
    }
    std::error_code error;
    if (fs::is_directory(options.ticksFile, error)) {
        return {{}, options.ticksFile + ": is a folder, not a tick file"};
    }
    std::ifstream in(options.ticksFile, std::ios::binary);
    if (!in) {
        return {{}, options.ticksFile + ": could not be opened"};
    }
    return readTickFile(in, options.ticksFile);
}

// The next prices, or false when the source has run out.
bool advance(const FeedOptions& options, FeedState& state) {
    if (options.source == FeedSource::Walk) {
        const auto prices = pairPrices(state.walk);
        for (std::size_t pair = 0; pair < prices.size(); ++pair) {
            state.current[pair] = prices[pair];
        }
        stepWalk(state.walk, options.volatility);
        return true;
    }
    if (state.nextTick >= state.ticks.size()) {
        if (!options.loop) {
            return false;
        }
        state.nextTick = 0;
    }
    const LivePrices& tick = state.ticks[state.nextTick++];
    for (std::size_t pair = 0; pair < tick.size(); ++pair) {
        if (tick[pair]) {
            state.current[pair] = tick[pair];
        }
    }
    return true;
}

// Sleeps in short slices so that a stop request is seen promptly.
void pause(std::chrono::microseconds length, const StopFlag& stop) {
    constexpr auto SLICE = std::chrono::milliseconds(50);
    const auto until = std::chrono::steady_clock::now() + length;
    while (stop.load() == 0) {
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, SLICE));
    }
}

Minute currentUtcMinute() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::minutes>(now).count();
}

int writeHistory(const FeedOptions& options, std::ostream& err) {
    HistoryRequest request;
    request.bars = *options.makeHistory;
    request.seed = options.seed;
    request.end = options.historyEnd.value_or(serverFromUtc(currentUtcMinute()));
    if (auto problem = writeHistorySet(options.folder, makeHistory(request))) {
        err << "vurezer-feed: " << *problem << '\n';
        return 1;
    }
    LivePrices start;
    const auto prices = pairPrices(startWalk(options.seed));
    for (std::size_t pair = 0; pair < prices.size(); ++pair) {
        start[pair] = prices[pair];
    }
    if (auto problem = writeRealTimeSet(options.folder, start)) {
        err << "vurezer-feed: " << *problem << '\n';
        return 1;
    }
    return 0;
}

// The options keep this within a day; the bound also keeps the cast and the
// clock arithmetic of the callers defined whatever is passed.
std::chrono::microseconds writeInterval(const FeedOptions& options) {
    constexpr double LONGEST = MAX_INTERVAL_MS * 1000.0;
    const double asked = options.intervalMs * 1000.0 / options.speed;
    const double micros = asked >= 0.0 && asked <= LONGEST ? asked : LONGEST;
    return std::chrono::microseconds(static_cast<long long>(micros));
}

// A feed killed in the middle of a write leaves its temporary file behind.
void removeLeftovers(const FeedOptions& options, std::ostream& err) {
    const int removed = removeStaleTemporaries(options.folder);
    if (removed > 0) {
        err << "vurezer-feed: removed " << removed
            << " temporary file(s) left by an earlier feed\n";
    }
}

int feedFromStdin(const FeedOptions& options, const StopFlag& stop, std::ostream& err,
                  std::istream& input) {
    StdinFeedSettings settings;
    settings.match = {options.prefix, options.suffix};
    settings.interval = writeInterval(options);
    settings.count = options.count;
    return runStdinFeed(options.folder, settings, input, stop, err);
}

} // namespace

int runFeed(const FeedOptions& options, const StopFlag& stop, std::ostream& err) {
    return runFeed(options, stop, err, std::cin);
}

int runFeed(const FeedOptions& options, const StopFlag& stop, std::ostream& err,
            std::istream& input) {
    std::error_code error;
    if (options.makeHistory) {
        return writeHistory(options, err);
    }
    if (!fs::is_directory(options.folder, error)) {
        err << "vurezer-feed: " << options.folder << ": no such folder\n";
        return 2;
    }
    removeLeftovers(options, err);
    if (options.source == FeedSource::Stdin) {
        return feedFromStdin(options, stop, err, input);
    }
    FeedState state;
    state.walk = startWalk(options.seed);
    if (options.source != FeedSource::Walk) {
        TickLoad load = loadTicks(options);
        if (!load.error.empty()) {
            err << "vurezer-feed: " << load.error << '\n';
            return 2;
        }
        state.ticks = std::move(load.ticks);
    }
    const auto interval = writeInterval(options);
    RealTimeWriter writer(options.folder, err);
    for (long written = 0; stop.load() == 0;) {
        if (!advance(options, state)) {
            break;
        }
        writer.writeAll(state.current);
        if (options.count && ++written >= *options.count) {
            break;
        }
        pause(interval, stop);
    }
    return writer.anyBlocked() ? 1 : 0;
}

} // namespace vz

#include "tools/feed/stdin_source.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace vz {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Lines read ahead of the writer; the reader waits when this many are queued.
constexpr std::size_t QUEUED_LINES = 4096;
// Symbols of other instruments are named once each, up to this many.
constexpr std::size_t OTHER_SYMBOLS_NAMED = 100;
constexpr auto STOP_CHECK = std::chrono::milliseconds(50);

struct InputLine {
    long long number = 0;
    std::string text;
    bool tooLong = false;
};

// Lines handed from the reading thread to the writing one.
struct LineChannel {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<InputLine> lines;
    bool ended = false;     // the reader has seen the end of the input
    bool abandoned = false; // the writer has stopped and wants no more
    bool finished = false;  // the reader has returned
};

// CR LF, LF and a lone CR each end a line. A line is handed over as soon as
// its end arrives: after a CR the reader does not wait to see whether an LF
// follows, it only skips one if it comes.
class LineReader {
public:
    explicit LineReader(std::streambuf& input) : input_(input) {}

    // False at the end of the input.
    bool next(InputLine& line) {
        line.text.clear();
        line.tooLong = false;
        for (int c = input_.sbumpc();; c = input_.sbumpc()) {
            if (c == std::char_traits<char>::eof()) {
                if (line.text.empty() && !line.tooLong) {
                    return false;
                }
                break;
            }
            if (afterCr_ && c == '\n') {
                afterCr_ = false;
                continue;
            }
            afterCr_ = c == '\r';
            if (c == '\r' || c == '\n') {
                break;
            }
            if (line.text.size() < MAX_STDIN_LINE) {
                line.text.push_back(static_cast<char>(c));
            } else {
                line.tooLong = true;
            }
        }
        line.number = ++number_;
        return true;
    }

private:
    std::streambuf& input_;
    long long number_ = 0;
    bool afterCr_ = false;
};

// Returns true at the end of the input, false when the writer gave up first.
bool readLines(LineChannel& channel, std::streambuf* input) {
    if (input == nullptr) {
        return true;
    }
    LineReader reader(*input);
    InputLine line;
    while (reader.next(line)) {
        std::unique_lock lock(channel.mutex);
        channel.changed.wait(
            lock, [&] { return channel.abandoned || channel.lines.size() < QUEUED_LINES; });
        if (channel.abandoned) {
            return false;
        }
        channel.lines.push_back(std::move(line));
        channel.changed.notify_all();
    }
    return true;
}

void readInto(LineChannel& channel, std::streambuf* input) {
    const bool ended = readLines(channel, input);
    const std::lock_guard lock(channel.mutex);
    channel.ended = ended;
    channel.finished = true;
    channel.changed.notify_all();
}

std::string tooLongText() {
    return "longer than " + std::to_string(MAX_STDIN_LINE) + " characters";
}

struct FeedCounts {
    long long lines = 0;
    long long written = 0;
    long long skipped = 0;
    long writes = 0;
};

class StdinFeed {
public:
    StdinFeed(const std::filesystem::path& folder, const StdinFeedSettings& settings,
              std::ostream& err)
        : settings_(settings), err_(err), writer_(folder, err) {}

    void take(const InputLine& input) {
        ++counts_.lines;
        StdinLine line = parseStdinLine(input.text, settings_.match);
        if (input.tooLong) {
            line.kind = StdinLineKind::Bad;
            line.problem = tooLongText();
        }
        switch (line.kind) {
        case StdinLineKind::Blank:
            break;
        case StdinLineKind::Prices:
            for (std::size_t pair = 0; pair < prices_.size(); ++pair) {
                if (line.prices[pair]) {
                    prices_[pair] = line.prices[pair];
                }
            }
            break;
        case StdinLineKind::OtherSymbol:
            ++counts_.skipped;
            nameOtherSymbol(input.number, line.symbol);
            break;
        case StdinLineKind::Bad:
            ++counts_.skipped;
            err_ << "vurezer-feed: stdin line " << input.number << ": " << line.problem
                 << "; skipped\n";
            break;
        }
    }

    bool hasUnwritten() const { return writer_.hasUnwritten(prices_); }

    // One write of every changed pair. False once the count is reached.
    bool write() {
        counts_.written += writer_.writeChanged(prices_);
        ++counts_.writes;
        return !settings_.count || counts_.writes < *settings_.count;
    }

    int finish() const {
        err_ << "vurezer-feed: " << counts_.lines << " lines read, " << counts_.written
             << " prices written, " << counts_.skipped << " lines skipped\n";
        return writer_.anyBlocked() ? 1 : 0;
    }

private:
    void nameOtherSymbol(long long number, const std::string& symbol) {
        if (otherSymbols_.size() >= OTHER_SYMBOLS_NAMED || !otherSymbols_.insert(symbol).second) {
            return;
        }
        err_ << "vurezer-feed: stdin line " << number << ": " << symbol
             << " is none of the fourteen pairs; its lines are skipped";
        err_ << (otherSymbols_.size() == OTHER_SYMBOLS_NAMED ? " (further symbols unnamed)\n"
                                                             : "\n");
    }

    const StdinFeedSettings& settings_;
    std::ostream& err_;
    RealTimeWriter writer_;
    LivePrices prices_{};
    FeedCounts counts_;
    std::set<std::string> otherSymbols_;
};

// A reader still blocked in the input when the feed stops is left to the end
// of the process; one that is done is joined.
void letGo(std::thread& reader, LineChannel& channel) {
    std::unique_lock lock(channel.mutex);
    channel.abandoned = true;
    channel.changed.notify_all();
    const bool done =
        channel.changed.wait_for(lock, STOP_CHECK * 4, [&] { return channel.finished; });
    lock.unlock();
    if (done) {
        reader.join();
    } else {
        reader.detach();
    }
}

} // namespace

int runStdinFeed(const std::filesystem::path& folder, const StdinFeedSettings& settings,
                 std::istream& input, const StopFlag& stop, std::ostream& err) {
    auto channel = std::make_shared<LineChannel>();
    std::thread reader([channel, buffer = input.rdbuf()] { readInto(*channel, buffer); });
    StdinFeed feed(folder, settings, err);
    auto nextWrite = SteadyClock::now();
    bool more = true;
    bool wroteAfterEnd = false;
    while (more && stop.load() == 0) {
        std::deque<InputLine> lines;
        bool ended = false;
        {
            std::unique_lock lock(channel->mutex);
            const bool due = feed.hasUnwritten();
            const auto slice = SteadyClock::now() + STOP_CHECK;
            channel->changed.wait_until(lock, due ? std::min(nextWrite, slice) : slice, [&] {
                return !channel->lines.empty() || (channel->ended && !due);
            });
            lines.swap(channel->lines);
            ended = channel->ended;
            channel->changed.notify_all();
        }
        for (const InputLine& line : lines) {
            feed.take(line);
        }
        if (feed.hasUnwritten() && SteadyClock::now() >= nextWrite) {
            more = feed.write();
            nextWrite = SteadyClock::now() + settings.interval;
            wroteAfterEnd = ended;
        }
        // At the end of the input the last prices still go out once the
        // interval allows; a file still blocked after that is given up.
        if (ended && lines.empty() && (!feed.hasUnwritten() || wroteAfterEnd)) {
            break;
        }
    }
    letGo(reader, *channel);
    return feed.finish();
}

} // namespace vz

#include "market/data_files.h"

#include "platform/ui.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vz {

namespace {

constexpr int CR = '\r';
constexpr int LF = '\n';

// Prices are stored as floats; with IEEE types a double beyond the float range
// rounds to infinity instead of being undefined.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

float storedPrice(double value) {
    return static_cast<float>(value);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool hasNonZeroDigit(std::string_view digits) {
    return digits.find_first_of("123456789") != std::string_view::npos;
}

// A digit string outside the double range gets what IEEE rounding of the
// exact value would give: infinity when it is too large, zero when it is too
// small. Either way the range test of the live prices turns it away, and
// nothing is left undefined for the callers.
double outOfRangeValue(std::string_view integerDigits, bool negative) {
    const double magnitude =
        hasNonZeroDigit(integerDigits) ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

// Up to 15 digits make an integer that a double holds exactly, and so is
// every power of ten up to 10^22: one division of the two is then the
// correctly rounded value, the same one from_chars gives. Prices always
// take this path, which costs a fraction of the general one.
constexpr std::size_t MAX_EXACT_DIGITS = 15;
constexpr std::array<double, 16> POWERS_OF_TEN = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Digits from `p` on, added to `mantissa` (which wraps harmlessly when there
// are too many digits for the exact path to use it).
const char* addDigits(const char* p, const char* end, std::uint64_t& mantissa) {
    while (p < end && isDigit(*p)) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        ++p;
    }
    return p;
}

// The first CR or LF in [begin, stop), or stop. Two memchr scans cost a
// quarter of a byte-by-byte loop on history lines.
const char* findLineEnd(const char* begin, const char* stop) {
    const auto* lf =
        static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(stop - begin)));
    const char* const limit = lf != nullptr ? lf : stop;
    const auto* cr =
        static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(limit - begin)));
    return cr != nullptr ? cr : limit;
}

// A real-time file's first line.
struct PriceLine {
    bool opened = false;
    // nullopt when the line is too long to hold a price: a bad value.
    std::optional<std::string> text;
};

PriceLine readPriceLine(FileSystem& files, const std::string& path) {
    auto file = files.openFile(path, FileMode::Read);
    if (!file) {
        return {};
    }
    PriceLine line{true, readFirstLine(*file, REAL_TIME_LINE_LIMIT)};
    file->close();
    return line;
}

// Returns false when the file could not be opened; the records are then left
// as they were.
bool loadHistoryFile(MarketData& market, FileSystem& files, Timeframe timeframe, int pair) {
    auto file =
        files.openFile(historyFileName(market.programFolder, pair, timeframe), FileMode::Read);
    if (!file) {
        return false;
    }
    const std::span<HistoryBar> bars = market.history.series(timeframe, pair);
    TextLineReader lines(*file, HISTORY_LINE_LIMIT);
    std::string_view line;
    std::size_t count = 0;
    while (count < HISTORY_LOAD_LIMIT && lines.next(line)) {
        parseHistoryLineInto(bars[count], line, timeframe);
        ++count;
    }
    file->close();
    // A file that shrank since the last load must not leave bars of the old
    // one behind: they would pass for data and stretch the date lists.
    std::fill(bars.begin() + static_cast<std::ptrdiff_t>(count), bars.end(), HistoryBar{});
    return true;
}

bool loadAllHistoryFiles(MarketData& market, Host& host) {
    bool allOpened = true;
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            if (!loadHistoryFile(market, host.files, timeframe, pair)) {
                host.ui.messageBox(host.windows.main, historyOpenErrorText(pair, timeframe),
                                   "File opening error", MB_ERROR);
                allOpened = false;
            }
        }
    }
    return allOpened;
}

void loadFirstLivePrices(MarketData& market, FileSystem& files) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const PriceLine line = readPriceLine(files, realTimeFileName(market.programFolder, pair));
        if (line.text) {
            market.livePrices[static_cast<std::size_t>(pair)] =
                storedPrice(parseNumber(*line.text));
        }
    }
}

std::string_view symbolOf(int pair) {
    return PAIR_TABLE[static_cast<std::size_t>(pair)];
}

} // namespace

std::optional<std::string> readTextLine(TextFile& file) {
    int byte = file.readByte();
    if (byte < 0) {
        return std::nullopt;
    }
    std::string line;
    while (byte >= 0 && byte != CR && byte != LF) {
        line.push_back(static_cast<char>(byte));
        byte = file.readByte();
    }
    if (byte == CR && file.peekByte() == LF) {
        file.readByte();
    }
    return line;
}

bool TextLineReader::fill() {
    if (atEnd_) {
        return false;
    }
    pos_ = 0;
    end_ = file_.readBlock(block_.data(), block_.size());
    atEnd_ = end_ == 0;
    return !atEnd_;
}

bool TextLineReader::takeUntilLineEnd(std::string& line) {
    const char* const begin = block_.data() + pos_;
    const char* const stop = block_.data() + end_;
    const char* const found = findLineEnd(begin, stop);
    const auto count = static_cast<std::size_t>(found - begin);
    const std::size_t room = maxLine_ > line.size() ? maxLine_ - line.size() : 0;
    line.append(begin, std::min(count, room));
    pos_ += count;
    if (found == stop) {
        return false;
    }
    const char ending = *found;
    ++pos_;
    // The LF of a CR LF pair may start the next block.
    if (ending == '\r' && (pos_ < end_ || fill()) && block_[pos_] == '\n') {
        ++pos_;
    }
    return true;
}

bool TextLineReader::next(std::string_view& line) {
    if (pos_ == end_ && !fill()) {
        return false;
    }
    // Nearly every line lies inside the block, followed by at least one more
    // byte (so a CR's LF is in sight): it is handed out where it lies.
    const char* const begin = block_.data() + pos_;
    const char* const stop = block_.data() + end_;
    const char* const found = findLineEnd(begin, stop);
    if (stop - found > 1) {
        const auto count = static_cast<std::size_t>(found - begin);
        line = std::string_view(begin, std::min(count, maxLine_));
        pos_ += count + (found[0] == '\r' && found[1] == '\n' ? 2 : 1);
        return true;
    }
    carried_.clear();
    while (!takeUntilLineEnd(carried_)) {
        if (!fill()) {
            break; // the last line needs no line end
        }
    }
    line = carried_;
    return true;
}

std::optional<std::string> readFirstLine(TextFile& file, std::size_t limit) {
    std::string line;
    std::array<char, 1024> block; // filled by the reads, never read beyond them
    while (line.size() <= limit) {
        const std::size_t got = file.readBlock(block.data(), block.size());
        if (got == 0) {
            break;
        }
        const char* const begin = block.data();
        const char* const found = findLineEnd(begin, begin + got);
        line.append(begin, static_cast<std::size_t>(found - begin));
        if (found != begin + got) {
            break;
        }
    }
    if (line.size() > limit) {
        return std::nullopt;
    }
    return line;
}

double parseNumber(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && (*p == ' ' || *p == '\t')) {
        ++p;
    }
    const char* const start = p;
    const bool negative = p < end && *p == '-';
    if (negative) {
        ++p;
    }
    std::uint64_t mantissa = 0;
    const char* const integerStart = p;
    p = addDigits(p, end, mantissa);
    const std::string_view integerDigits(integerStart, static_cast<std::size_t>(p - integerStart));
    std::size_t fractionDigits = 0;
    if (p + 1 < end && *p == '.' && isDigit(p[1])) {
        const char* const fractionStart = p + 1;
        p = addDigits(fractionStart, end, mantissa);
        fractionDigits = static_cast<std::size_t>(p - fractionStart);
    }
    if (integerDigits.empty() && fractionDigits == 0) {
        return 0.0;
    }
    if (integerDigits.size() + fractionDigits <= MAX_EXACT_DIGITS) {
        const double value = static_cast<double>(mantissa) / POWERS_OF_TEN[fractionDigits];
        return negative ? -value : value;
    }
    // from_chars on the matched span alone rounds the decimal value correctly
    // once, whatever the number of digits.
    double value = 0.0;
    const auto result = std::from_chars(start, p, value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        return outOfRangeValue(integerDigits, negative);
    }
    if (result.ec != std::errc{}) {
        return 0.0;
    }
    return value;
}

bool acceptsLivePrice(double value) {
    return value > 0.0 && value < 500.0;
}

HistoryBar parseHistoryLine(std::string_view line, Timeframe timeframe) {
    HistoryBar bar;
    parseHistoryLineInto(bar, line, timeframe);
    return bar;
}

void parseHistoryLineInto(HistoryBar& bar, std::string_view line, Timeframe timeframe) {
    const auto length = static_cast<std::size_t>(labelLength(timeframe));
    // On a reload the label keeps its length: copied in place, without
    // the general replace that assign goes through.
    const std::string_view label = line.substr(0, length);
    bar.text.resize(label.size());
    label.copy(bar.text.data(), label.size());
    // The character after the label is the separator, skipped unseen.
    const std::size_t priceStart = length + 1;
    bar.price = line.size() > priceStart ? storedPrice(parseNumber(line.substr(priceStart))) : 0.0F;
}

std::string historyFileName(const std::string& folder, int pair, Timeframe timeframe) {
    return folder + std::string(symbolOf(pair)) + std::string(historySuffix(timeframe));
}

std::string realTimeFileName(const std::string& folder, int pair) {
    return folder + std::string(symbolOf(pair)) + "_RT.csv";
}

std::string historyOpenErrorText(int pair, Timeframe timeframe) {
    std::string text(symbolOf(pair));
    switch (timeframe) {
    case Timeframe::Daily:
        return text + ".csv history file could not be opened.";
    case Timeframe::FourHour:
        return text + ".csv 4-Hour history file could not be opened.";
    case Timeframe::OneHour:
        return text + ".csv 1-Hour history file could not be opened.";
    }
    return text;
}

bool loadHistory(MarketData& market, Host& host) {
    const bool allOpened = loadAllHistoryFiles(market, host);
    loadFirstLivePrices(market, host.files);
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        market.lastListedIndex[static_cast<std::size_t>(timeframe)] =
            computeLastListedIndex(market.history, timeframe);
    }
    return allOpened;
}

void readRealTimePrices(MarketData& market, Host& host) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const std::string path = realTimeFileName(market.programFolder, pair);
        const PriceLine line = readPriceLine(host.files, path);
        if (!line.opened) {
            host.ui.messageBox(host.windows.main, "Realtime file not found: " + path, "Not Found",
                               MB_INFORMATION);
            continue;
        }
        const double value = line.text ? parseNumber(*line.text) : 0.0;
        if (acceptsLivePrice(value)) {
            market.livePrices[static_cast<std::size_t>(pair)] = storedPrice(value);
        }
    }
}

} // namespace vz

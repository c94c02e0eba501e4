// The importer's reading of one input file in every layout, with its time
// stamps put on each clock and resampled into every timeframe, and the stamp
// and price parsers on each line by themselves.
#include "fuzz_support.h"

#include "tools/import/bar_reader.h"
#include "tools/import/importer.h"
#include "tools/import/resample.h"

#include <cmath>
#include <sstream>

namespace {

using namespace vz;

void checkBars(const BarReadResult& read) {
    for (const RawBar& bar : read.bars) {
        fuzz::require(bar.close > 0.0 && bar.close < MAX_PRICE);
    }
    if (read.error) {
        fuzz::require(read.error->line >= 0);
        fuzz::require(describe(*read.error).find('\n') == std::string::npos);
    }
}

void resampleOnEveryClock(const BarReadResult& read) {
    for (const LabelClock wanted :
         {LabelClock::Auto, LabelClock::Data, LabelClock::Utc, LabelClock::Server}) {
        const LabelClock clock = clockForFile(read, wanted);
        fuzz::require(clock != LabelClock::Auto);
        std::vector<ClosedBar> bars;
        for (const RawBar& bar : read.bars) {
            bars.push_back({labelStamp(bar, clock), bar.close});
        }
        const BarSeries series = makeSeries(std::move(bars));
        for (const Timeframe timeframe : ALL_TIMEFRAMES) {
            for (const auto& [bucket, close] : resample(series, timeframe)) {
                fuzz::require(!barLabel(bucket, timeframe).empty());
                fuzz::require(close > 0.0);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(fuzz::bytesOf(data, size));
    for (const InputFormat format : {InputFormat::Auto, InputFormat::MetaTrader, InputFormat::Ascii,
                                     InputFormat::HeaderedTable}) {
        std::istringstream input(bytes);
        const BarReadResult read = readBars(input, "in.csv", format);
        checkBars(read);
        if (!read.error) {
            resampleOnEveryClock(read);
        }
    }
    for (const std::string& line : fuzz::splitOn(bytes, '\n')) {
        if (const auto price = parsePrice(line)) {
            fuzz::require(*price > 0.0 && *price < MAX_PRICE && std::isfinite(*price));
        }
        if (const auto stamp = parseTimestamp(line)) {
            fuzz::require(!dayLabel(stamp->stamp).empty());
        }
        (void)inputFormatNamed(line);
    }
    return 0;
}

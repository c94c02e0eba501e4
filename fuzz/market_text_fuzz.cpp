#include "market/data_files.h"
#include "platform/headless/memory_files.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every byte is either part of a line or of its line end, and no line holds one.
void checkLines(std::string_view bytes) {
    vz::MemoryFileSystem files;
    files.put("lines.csv", std::string(bytes));
    const auto opened = files.openFile("lines.csv", vz::FileMode::Read);
    vz::TextFile& file = *opened;
    std::size_t lineBytes = 0;
    std::size_t lines = 0;
    while (const auto line = vz::readTextLine(file)) {
        require(line->find_first_of("\r\n") == std::string::npos);
        lineBytes += line->size();
        ++lines;
    }
    require(lineBytes <= bytes.size());
    require(lines <= bytes.size());
    require(bytes.empty() == (lines == 0));
}

void checkHistoryLine(std::string_view bytes) {
    for (const vz::Timeframe timeframe : vz::ALL_TIMEFRAMES) {
        const vz::HistoryBar bar = vz::parseHistoryLine(bytes, timeframe);
        require(bar.text.size() <= static_cast<std::size_t>(vz::labelLength(timeframe)));
        require(!std::isnan(bar.price));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const double value = vz::parseNumber(bytes);
    require(!std::isnan(value));
    checkLines(bytes);
    checkHistoryLine(bytes);
    return 0;
}

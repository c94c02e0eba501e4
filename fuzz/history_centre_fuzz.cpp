// MetaTrader 4 history files: any bytes give either bars with a known header
// and one record number per bar, or an error naming the file, never both.
#include "fuzz_support.h"

#include "tools/import/history_centre.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    std::istringstream input{std::string(fuzz::bytesOf(data, size))};
    HistoryCentreHeader header;
    const BarReadResult result = readHistoryCentreFile(input, "EURUSD60.hst", header);
    fuzz::require(result.bars.size() == result.lines.size());
    if (result.error) {
        fuzz::require(result.error->file == "EURUSD60.hst");
        fuzz::require(!result.error->message.empty());
    } else {
        fuzz::require(size >= HST_HEADER_BYTES);
        fuzz::require(header.version == 400 || header.version == 401);
    }
    return 0;
}

#pragma once

#include "tools/import/bar_reader.h"

#include <istream>
#include <string>
#include <string_view>

namespace vz {

// What the header of a MetaTrader 4 history file (SYMBOL + PERIOD + ".hst",
// from the terminal's history/<server>/ folder) says about its bars.
struct HistoryCentreHeader {
    int version = 0;    // 400 or 401
    std::string symbol; // as the broker spells it, e.g. "EURUSD" or "EURUSDm"
    Minute periodMinutes = 0;
};

inline constexpr std::size_t HST_HEADER_BYTES = 148;
inline constexpr std::size_t HST_V400_RECORD_BYTES = 44;
inline constexpr std::size_t HST_V401_RECORD_BYTES = 60;

// True for a file name ending in ".hst", packed or not.
bool isHistoryCentreName(std::string_view fileName);

// Reads the header and every record. Stamps are the server's, as written;
// `lines` hold record numbers from 1; records with a zero close are counted
// as placeholders.
BarReadResult readHistoryCentreFile(std::istream& in, const std::string& fileName,
                                    HistoryCentreHeader& header);

} // namespace vz

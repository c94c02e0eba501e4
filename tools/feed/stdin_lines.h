#pragma once

#include "tools/feed/rt_files.h"

#include <string>
#include <string_view>

namespace vz {

// The longest line the stdin source takes; a longer one is a bad line.
inline constexpr std::size_t MAX_STDIN_LINE = 4096;

// How a broker's symbol names a pair: it contains prefix + SYMBOL + suffix in
// any letter case ("EURUSDm", "EURUSD.pro", "m.EURUSD").
struct SymbolMatch {
    std::string prefix;
    std::string suffix;
};

enum class StdinLineKind {
    Blank,       // nothing but blanks and tabs
    Prices,      // a symbol's price, or a tick line (its refused prices left out)
    OtherSymbol, // a well-formed line for a symbol that is none of the fourteen
    Bad,         // `problem` says why
};

struct StdinLine {
    StdinLineKind kind = StdinLineKind::Blank;
    LivePrices prices{}; // by pair index
    std::string symbol;  // OtherSymbol: the symbol as written, shortened for messages
    std::string problem; // Bad
};

// One line of the stdin source, without its line end:
//   SYMBOL,PRICE            the pair's price
//   SYMBOL,BID,ASK          the bid is taken, as terminals chart the bid
//   LABEL,P0,...,P13        a tick line as the tick files have them; a price
//                           there that the program would refuse leaves its
//                           pair as it was, and fields after these are ignored
// A symbol line whose price is not a number, or would be written as a value
// the program refuses (0 or less, 500 or more, once rounded), is bad.
StdinLine parseStdinLine(std::string_view line, const SymbolMatch& match);

} // namespace vz

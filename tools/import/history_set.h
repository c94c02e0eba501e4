#pragma once

#include "market/market_data.h"

#include <array>
#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vz {

enum class DigitsPolicy {
    Round, // five decimals, three for the JPY pairs
    Keep,  // at least that many, more when the source had more
};

// The price as the history and real-time files carry it.
std::string formatPrice(int pair, double price, DigitsPolicy policy = DigitsPolicy::Round);

// The lines of all 42 history files, each list newest bar first.
struct HistorySet {
    std::array<std::array<std::vector<std::string>, PAIR_COUNT>, TIMEFRAME_COUNT> lines;

    std::vector<std::string>& of(Timeframe timeframe, int pair) {
        return lines[static_cast<std::size_t>(timeframe)][static_cast<std::size_t>(pair)];
    }
    const std::vector<std::string>& of(Timeframe timeframe, int pair) const {
        return lines[static_cast<std::size_t>(timeframe)][static_cast<std::size_t>(pair)];
    }
};

// "SYMBOL.csv", "SYMBOL_H4.csv" or "SYMBOL_H1.csv".
std::string historyFileNameOf(int pair, Timeframe timeframe);

// Lines joined with CR LF, the last one ended too.
std::string crlfText(const std::vector<std::string>& lines);

// Writes every file into a fresh folder inside `folder` first and moves them
// into place only when all of them were written, so a failure leaves the
// earlier set untouched: the folder ends with all old or all new files. A
// non-zero `stop` (a signal number) before the files are moved in abandons the
// write. Returns an error text on failure.
std::optional<std::string> writeHistorySet(const std::filesystem::path& folder,
                                           const HistorySet& set,
                                           const std::atomic<int>* stop = nullptr);

} // namespace vz

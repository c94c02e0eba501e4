#pragma once

#include "market/pairs.h"

#include <array>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace vz {

using LivePrices = std::array<std::optional<double>, PAIR_COUNT>;

// "SYMBOL_RT.csv".
std::string realTimeFileNameOf(int pair);

// Writes a temporary file beside `path` and renames it over `path`, so that a
// reader opening `path` at any moment finds either the old or the new content
// in full, never a partial or empty file.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                               const std::string& content);

// The text a real-time file holds for a price, the price alone on a CR LF
// line; nullopt when the rounded price is one the program would refuse.
std::optional<std::string> realTimeFileText(int pair, double price);

// One real-time file per pair that has a price; a price that would be written
// as 0 or less or as 500 or more is skipped. Stops at the first failure.
std::optional<std::string> writeRealTimeSet(const std::filesystem::path& folder,
                                            const LivePrices& prices);

// Removes the temporary real-time files that a feed killed in the middle of a
// write left in `folder` (".SYMBOL_RT.csv.PID.tmp"); returns how many.
int removeStaleTemporaries(const std::filesystem::path& folder);

// Keeps a folder's real-time files current pair by pair, for a feed that runs
// for hours: a file that cannot be written is reported once and tried again
// on every later write, the other pairs go on, and its recovery is reported.
class RealTimeWriter {
public:
    RealTimeWriter(std::filesystem::path folder, std::ostream& err)
        : folder_(std::move(folder)), err_(err) {}

    // Writes every pair that has a price. Returns the files written.
    int writeAll(const LivePrices& prices);
    // Writes the pairs whose text differs from what their file last received
    // from this writer, and the blocked ones. Returns the files written.
    int writeChanged(const LivePrices& prices);
    // Whether writeChanged would have anything to write.
    bool hasUnwritten(const LivePrices& prices) const;
    bool anyBlocked() const;

private:
    bool writePair(int pair, const std::string& text);
    // The pair's text when writeChanged would write it.
    std::optional<std::string> unwrittenText(int pair, const LivePrices& prices) const;

    std::filesystem::path folder_;
    std::ostream& err_;
    std::array<std::optional<std::string>, PAIR_COUNT> written_;
    std::array<bool, PAIR_COUNT> blocked_{};
};

} // namespace vz

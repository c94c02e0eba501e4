#pragma once

#include "market/pairs.h"

#include <array>
#include <filesystem>
#include <optional>
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

// One real-time file per pair that has a price, the price alone on a CR LF
// line; a price that would be written as 0 or less or as 500 or more is skipped.
std::optional<std::string> writeRealTimeSet(const std::filesystem::path& folder,
                                            const LivePrices& prices);

} // namespace vz

#pragma once

#include "tools/feed/rt_files.h"

#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace vz {

// Prices in pair-index order; a pair without a usable value keeps the price
// it had before.
struct TickLoad {
    std::vector<LivePrices> ticks; // in the order they are to be written
    std::string error;             // names the file and line when set
};

// Lines "LABEL,P0,...,P13"; blank lines are skipped, fields after the
// fifteenth ignored. A price counts only when it lies strictly between 0
// and 500.
TickLoad readTickFile(std::istream& in, const std::string& fileName);

// The 1-hour closes of the folder's own history, oldest line first, so the
// feed steps forward through time up to the newest bar. A line without a
// comma after its label is an error naming the file and line.
TickLoad readHourlyHistory(const std::filesystem::path& folder);

} // namespace vz

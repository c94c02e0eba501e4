#pragma once

#include "platform/host.h"

#include <string>
#include <string_view>

namespace vz {

inline constexpr int EVENT_LOG_LIST = 46;

// Adds the report-list columns "Date", "Time", "Description" with their widths.
void addEventLogColumns(Host& host);

// Inserts a time-stamped row at the top of the main window's event log; date
// and time come from one reading of the clock.
void addEventLogRow(Host& host, std::string_view text);

// Writes every row, newest first, to programFolder + "MM-DD-YYYY_HHMM.txt"
// and reports the outcome in a message box.
void saveEventLog(Host& host, const std::string& programFolder);

// Asks, then empties the list on Yes.
void clearEventLog(Host& host);

} // namespace vz

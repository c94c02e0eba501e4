#include "logging/event_log.h"

#include "platform/files.h"
#include "platform/text.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace vz {

namespace {

struct ReportColumn {
    const char* caption;
    int width;
};

constexpr std::array<ReportColumn, 3> EVENT_LOG_COLUMNS = {
    {{"Date", 75}, {"Time", 60}, {"Description", 265}}};

// "HHMM", the minute stamp in a saved log's name.
std::string hoursAndMinutes(const LocalTime& now) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02d%02d", now.hour, now.minute);
    return buffer.data();
}

std::string savedLogName(const std::string& programFolder, const LocalTime& now) {
    return programFolder + dateText(now) + "_" + hoursAndMinutes(now) + ".txt";
}

std::string savedLogLine(Host& host, int row) {
    const WindowHandle main = host.windows.main;
    return host.ui.reportGetCell(main, EVENT_LOG_LIST, row, 0) + "," +
           host.ui.reportGetCell(main, EVENT_LOG_LIST, row, 1) + "," +
           host.ui.reportGetCell(main, EVENT_LOG_LIST, row, 2);
}

// Writes every row, newest first; false when any byte did not reach the disk.
bool writeAllRows(Host& host, TextFile& file) {
    const int rows = host.ui.reportRowCount(host.windows.main, EVENT_LOG_LIST);
    bool ok = true;
    for (int row = 0; row < rows && ok; ++row) {
        ok = writeTextLine(file, savedLogLine(host, row));
    }
    return ok;
}

void reportSaveFailure(Host& host) {
    host.ui.messageBox(host.windows.main, "File write failed.", "Failed", MB_INFORMATION);
}

} // namespace

void addEventLogColumns(Host& host) {
    for (int column = 0; column < static_cast<int>(EVENT_LOG_COLUMNS.size()); ++column) {
        const ReportColumn& layout = EVENT_LOG_COLUMNS[static_cast<std::size_t>(column)];
        host.ui.reportAddColumn(host.windows.main, EVENT_LOG_LIST, column, layout.caption);
        host.ui.reportSetColumnWidth(host.windows.main, EVENT_LOG_LIST, column, layout.width);
    }
}

void addEventLogRow(Host& host, std::string_view text) {
    // One reading, so a row written across midnight cannot pair one day's
    // date with the next day's time.
    const LocalTime now = host.clock.now();
    host.ui.reportInsertRow(host.windows.main, EVENT_LOG_LIST, 0, dateText(now));
    host.ui.reportSetCell(host.windows.main, EVENT_LOG_LIST, 0, 1, timeText(now));
    host.ui.reportSetCell(host.windows.main, EVENT_LOG_LIST, 0, 2, text);
}

// Written under a working name beside the final one and moved into place only
// when complete, so a failed save never leaves a cut-off log that looks saved.
void saveEventLog(Host& host, const std::string& programFolder) {
    const std::string path = savedLogName(programFolder, host.clock.now());
    const std::string working = path + ".part";
    std::unique_ptr<TextFile> file = host.files.openFile(working, FileMode::Write);
    if (!file) {
        reportSaveFailure(host);
        return;
    }
    const bool written = writeAllRows(host, *file);
    const bool closed = closeFile(*file);
    file.reset();
    if (!written || !closed || !host.files.replaceFile(working, path)) {
        host.files.removeFile(working);
        reportSaveFailure(host);
        return;
    }
    host.ui.messageBox(host.windows.main, "Log file creation complete.", "Complete",
                       MB_INFORMATION);
}

void clearEventLog(Host& host) {
    const int answer =
        host.ui.messageBox(host.windows.main, "Are you sure you want to clear your log?",
                           "Clear Log", MB_QUESTION_YES_NO);
    if (answer == ANSWER_YES) {
        host.ui.reportClear(host.windows.main, EVENT_LOG_LIST);
    }
}

} // namespace vz

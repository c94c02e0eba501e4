#include "logging/active_logger.h"

#include "platform/files.h"
#include "platform/text.h"

#include <memory>

namespace vz {

namespace {

constexpr const char* FAILED_CAPTION = "Failed";

void reportFailure(Host& host, const char* text) {
    host.ui.messageBox(host.windows.main, text, FAILED_CAPTION, MB_INFORMATION);
}

enum class DayFile { Missing, Empty, HasContent };

// Decided by existence, never by readability: a file another program holds
// locked still exists, and treating it as missing would lead to emptying it.
DayFile dayFileState(FileSystem& files, const std::string& path) {
    if (!files.exists(path)) {
        return DayFile::Missing;
    }
    std::unique_ptr<TextFile> probe = files.openFile(path, FileMode::Read);
    if (!probe) {
        return DayFile::HasContent;
    }
    const bool empty = probe->peekByte() < 0;
    probe->close();
    return empty ? DayFile::Empty : DayFile::HasContent;
}

// A new (or empty) day file gets its header in a step of its own. When that
// fails the file is emptied again, so the next attempt starts over with a
// header instead of appending rows after a broken one.
bool createWithHeader(FileSystem& files, const std::string& path) {
    std::unique_ptr<TextFile> file = files.openFile(path, FileMode::Write);
    if (!file) {
        return false;
    }
    const bool written = writeTextLine(*file, activeLogHeader());
    const bool closed = closeFile(*file);
    file.reset();
    if (written && closed) {
        return true;
    }
    if (std::unique_ptr<TextFile> emptied = files.openFile(path, FileMode::Write)) {
        closeFile(*emptied);
    }
    return false;
}

bool appendRow(TextFile& file, const std::string& row) {
    const bool ok = writeTextLine(file, row);
    const bool closed = closeFile(file);
    return ok && closed;
}

} // namespace

std::string activeLogHeader() {
    return std::string("Time,GBPUSD,GBPUSD-Slot,GBPUSD-Pips,EURGBP,EURGBP-Slot,EURGBP-Pips,GBPJPY,"
                       "GBPJPY-Slot,GBPJPY-Pips,") +
           "USDCHF,USDCHF-Slot,USDCHF-Pips,NZDUSD,NZDUSD-Slot,NZDUSD-Pips,AUDJPY,AUDJPY-Slot,"
           "AUDJPY-Pips," +
           "EURJPY,EURJPY-Slot,EURJPY-Pips,EURUSD,EURUSD-Slot,EURUSD-Pips,USDJPY,USDJPY-Slot,"
           "USDJPY-Pips," +
           "AUDUSD,AUDUSD-Slot,AUDUSD-Pips,NZDJPY,NZDJPY-Slot,NZDJPY-Pips," +
           "GBPCHF,GBPCHF-Slot,GBPCHF-Pips,CHFJPY,CHFJPY-Slot,CHFJPY-Pips,EURCHF,EURCHF-Slot,"
           "EURCHF-Pips," +
           "Ref Bias,Buy Power,Sell Power,Ref Day";
}

std::string activeLogRow(const std::string& timeField, const ActiveLogSnapshot& snapshot,
                         int numberDecimals) {
    // Appending piece by piece also keeps GCC 12's -Wrestrict false positive
    // on `"," + std::string` away at -O3.
    std::string row = timeField;
    row.reserve(512);
    const auto field = [&row, numberDecimals](double value) {
        row += ',';
        appendFormattedNumber(row, value, numberDecimals);
    };
    // Slots, pips and figures are whole: the same text without the checks
    // a price needs.
    const auto whole = [&row](long long value) {
        row += ',';
        appendWholeNumber(row, value);
    };
    for (std::size_t pair = 0; pair < PAIR_COUNT; ++pair) {
        field(static_cast<double>(snapshot.livePrices[pair]));
        whole(snapshot.pairSlot[pair]);
        whole(snapshot.pairPips[pair]);
    }
    whole(snapshot.referenceBias);
    whole(snapshot.buyPower);
    whole(snapshot.sellPower);
    row += ',';
    row += snapshot.referenceDay;
    return row;
}

std::string activeLogFileName(const std::string& programFolder, const LocalTime& time) {
    return programFolder + dateText(time) + "_AL.csv";
}

void writeActiveLogRow(Host& host, const std::string& programFolder,
                       const ActiveLogSnapshot& snapshot, int& numberDecimals) {
    numberDecimals = ACTIVE_LOG_DECIMALS;
    // One reading names the file and stamps the row, so a row taken just
    // after midnight cannot land in the previous day's file.
    const LocalTime now = host.clock.now();
    const std::string path = activeLogFileName(programFolder, now);
    const DayFile state = dayFileState(host.files, path);
    const std::string row = activeLogRow(timeText(now), snapshot, numberDecimals);

    if (state != DayFile::HasContent && !createWithHeader(host.files, path)) {
        reportFailure(host, "Active logger file could not be created.");
        reportFailure(host, "Active File append failed.");
        return;
    }
    std::unique_ptr<TextFile> file = host.files.openFile(path, FileMode::Append);
    if (!file || !appendRow(*file, row)) {
        reportFailure(host, "Active logger file could not be appended.");
    }
}

} // namespace vz

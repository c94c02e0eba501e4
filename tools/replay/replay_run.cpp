#include "replay/replay_run.h"

#include "replay/output_guard.h"
#include "replay/pending_output.h"
#include "replay/report_html.h"
#include "replay/report_recorder.h"
#include "replay/tick_file.h"
#include "replay/tick_lines.h"

#include "alerts/alert_options.h"
#include "engine/columns.h"
#include "logging/active_logger.h"
#include "logging/event_log.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/text.h"
#include "shell/main_handler.h"
#include "shell/main_window.h"
#include "shell/startup.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace vz {

namespace {

inline constexpr int EVENT_DESCRIPTION_COLUMN = 2;

// A failure on its way out: the one line to show.
struct Failure {
    std::string message;
    int status = REPLAY_EXIT_ERROR;
};

std::optional<Failure> failure(std::string message) {
    return Failure{std::move(message)};
}

bool stopRequested(const StopFlag* stop) {
    return stop != nullptr && *stop != 0;
}

std::optional<Failure> checkFolder(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return failure("cannot read folder " + folder + ": no such folder");
    }
    std::filesystem::directory_iterator listing(folder, error);
    if (error) {
        return failure("cannot read folder " + folder + ": " + error.message());
    }
    return std::nullopt;
}

std::string folderWithSeparator(const std::string& folder) {
    return folder.back() == '/' ? folder : folder + '/';
}

// A column line is at most about 330 characters (a 19-digit tick, four
// figures, and fourteen symbols with pips of up to 11 characters). Composed
// in a fixed buffer it costs half of what appending to a string did, and the
// columns file is most of what a run with every output writes.
using ColumnLine = FixedText<512>;

void buildColumnLine(ColumnLine& line, long long tick, int k, const TimeframeColumn& column) {
    line.clear();
    line.appendWhole(tick);
    for (const long long value :
         {static_cast<long long>(k), static_cast<long long>(column.referenceBias),
          static_cast<long long>(column.buyPower), static_cast<long long>(column.sellPower)}) {
        line.append(",");
        line.appendWhole(value);
    }
    for (const SlotEntry& entry : column.rows) {
        line.append(",");
        line.append(entry.symbol);
        line.append(",");
        line.appendWhole(entry.pips);
    }
}

class Replay {
public:
    Replay(const ReplayOptions& options, std::ostream& errors, const StopFlag* stop)
        : options_(options), errors_(errors), stop_(stop), app_(Host{ui_, files_, clock_}) {}

    std::optional<Failure> run(std::istream& standardInput);

private:
    std::optional<Failure> openTicks(std::istream& standardInput);
    std::optional<Failure> start();
    std::optional<Failure> checkListPositions() const;
    std::optional<Failure> openOutputs();
    std::optional<Failure> actLikeTheUser();
    void pickColumns();
    void switchAlerts();
    std::optional<Failure> replayTicks();
    std::optional<Failure> checkStop() const;
    void runTick(long long tick, const TickLine& line);
    void pressButtonsAfter(long long tick);
    void writeEventRows(long long tick);
    void recordTickForReport(long long tick, const std::string& label);
    void recordPressesForReport(long long tick, bool wasIdle, bool wasOpen);
    void writeReport();
    std::optional<Failure> commitOutputs();
    void settle() { ui_.dispatchPending(); }

    const ReplayOptions& options_;
    std::ostream& errors_;
    const StopFlag* stop_;
    HeadlessUi ui_;
    StdFileSystem files_;
    FixedClock clock_;
    App app_;
    TickFile tickFile_{stop_};
    std::istream* ticks_ = nullptr;
    PendingOutput snapshots_;
    PendingOutput events_;
    PendingOutput columns_;
    PendingOutput report_;
    std::optional<ReportRecorder> recorder_; // only when a report is asked for
    ColumnLine line_;
};

std::optional<Failure> Replay::run(std::istream& standardInput) {
    if (auto failed = checkFolder(options_.folder)) {
        return failed;
    }
    if (std::string clash = checkOutputsSpareInputs(
            options_.folder, {options_.snapshots, options_.events, options_.columnsOut});
        !clash.empty()) {
        return failure(clash);
    }
    if (auto failed = openTicks(standardInput)) {
        return failed;
    }
    if (auto failed = start()) {
        return failed;
    }
    if (auto failed = checkListPositions()) {
        return failed;
    }
    if (auto failed = openOutputs()) {
        return failed;
    }
    if (auto failed = actLikeTheUser()) {
        return failed;
    }
    if (report_.isOpen()) {
        recorder_.emplace(app_.ranking.referenceBias);
    }
    writeEventRows(-1);
    if (auto failed = replayTicks()) {
        return failed;
    }
    // Reading standard input may end because the signal also ended the
    // program feeding it: that run is not complete either.
    if (auto failed = checkStop()) {
        return failed;
    }
    return commitOutputs();
}

std::optional<Failure> Replay::openTicks(std::istream& standardInput) {
    if (options_.ticks == "-") {
        ticks_ = &standardInput;
        return std::nullopt;
    }
    const std::string error = tickFile_.open(options_.ticks);
    if (auto failed = checkStop()) {
        return failed;
    }
    if (!error.empty()) {
        return failure("cannot read tick file " + options_.ticks + ": " + error);
    }
    ticks_ = &tickFile_.stream();
    return std::nullopt;
}

std::optional<Failure> Replay::start() {
    ui_.echoMessageBoxesTo(&errors_);
    // Nobody sees the replay's windows: painting the canvases would be most
    // of the work, and the slot boxes and figures a third of what is left.
    ui_.setWatched(!options_.skipsUnseenWork);
    startUp(app_, folderWithSeparator(options_.folder));
    if (app_.shell.appRunning == 0) {
        // An open that a stop request cut short fails like a missing file.
        if (auto failed = checkStop()) {
            return failed;
        }
        return failure("a history file in " + options_.folder + " could not be opened");
    }
    return std::nullopt;
}

std::optional<Failure> Replay::checkListPositions() const {
    const int lastDay = app_.market.lastListed(Timeframe::Daily);
    if (options_.referenceDay > lastDay) {
        return failure("--reference-day " + options_.referenceDayText +
                       " is outside the list of reference days (0 to " + std::to_string(lastDay) +
                       ")");
    }
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        const auto& position = options_.columns[static_cast<std::size_t>(k - 1)];
        const int last = app_.market.lastListed(columnLayout(k).timeframe);
        if (position && *position > last) {
            return failure("--columns position " +
                           options_.columnTexts[static_cast<std::size_t>(k - 1)] + " of column " +
                           std::to_string(k) + " is outside its list (0 to " +
                           std::to_string(last) + ")");
        }
    }
    return std::nullopt;
}

std::optional<Failure> Replay::openOutputs() {
    const std::pair<PendingOutput*, const std::string*> outputs[] = {
        {&snapshots_, &options_.snapshots},
        {&events_, &options_.events},
        {&columns_, &options_.columnsOut},
        {&report_, &options_.report},
    };
    for (const auto& [output, path] : outputs) {
        if (!path->empty()) {
            if (std::string error = checkOutputTarget(*path); !error.empty()) {
                return failure(error);
            }
        }
    }
    for (const auto& [output, path] : outputs) {
        if (!path->empty()) {
            if (std::string error = output->open(*path); !error.empty()) {
                return failure(error);
            }
        }
    }
    snapshots_.writeLine(activeLogHeader());
    return std::nullopt;
}

std::optional<Failure> Replay::actLikeTheUser() {
    const WindowHandle main = app_.host.windows.main;
    const int day = static_cast<int>(options_.referenceDay);
    ui_.pickListItem(main, REFERENCE_DAY_LIST, day);
    settle();
    if (ui_.getListSelection(main, REFERENCE_DAY_LIST) != day) {
        return failure("the reference day could not be picked");
    }
    pickColumns();
    switchAlerts();
    app_.shell.biasLogIntervalTicks = options_.biasLogEvery;
    ui_.toggleCheckBox(main, REAL_TIME_BOX);
    settle();
    if (app_.shell.realTimeMode != 1) {
        return failure("Real-Time Mode could not be switched on");
    }
    return std::nullopt;
}

void Replay::pickColumns() {
    bool anyChosen = false;
    for (const auto& position : options_.columns) {
        anyChosen = anyChosen || position.has_value();
    }
    if (!anyChosen) {
        return;
    }
    const WindowHandle window = app_.host.windows.multiTimeframe;
    ui_.clickButton(app_.host.windows.main, MULTI_TIMEFRAME_BUTTON);
    settle();
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        if (const auto& position = options_.columns[static_cast<std::size_t>(k - 1)]) {
            ui_.pickListItem(window, columnLayout(k).listId, static_cast<int>(*position));
            settle();
        }
    }
    ui_.requestClose(window);
    settle();
}

void Replay::switchAlerts() {
    const bool anyAlert = options_.anchorsAlert || options_.flipAlert || options_.groupingAlert ||
                          options_.pairAlert.has_value();
    if (!anyAlert) {
        return;
    }
    const WindowHandle window = app_.host.windows.options;
    ui_.pickMenu(app_.host.windows.main, MENU_SOUND_ALERTS);
    settle();
    const std::pair<bool, int> boxes[] = {{options_.anchorsAlert, OPT_ANCHORS_BOX},
                                          {options_.flipAlert, OPT_FLIP_BOX},
                                          {options_.groupingAlert, OPT_GROUPING_BOX}};
    for (const auto& [wanted, box] : boxes) {
        if (wanted) {
            ui_.queueFileAnswer("");
            ui_.toggleCheckBox(window, box);
            settle();
        }
    }
    if (options_.pairAlert) {
        ui_.pickListItem(window, OPT_PAIR_LIST, options_.pairAlert->pair);
        ui_.pickListItem(window, OPT_SLOT_LIST, options_.pairAlert->slot - 1);
        ui_.queueFileAnswer("");
        ui_.toggleCheckBox(window, OPT_PAIR_BOX);
        settle();
    }
    ui_.clickButton(window, OPT_EXIT_BUTTON);
    settle();
}

std::optional<Failure> Replay::replayTicks() {
    TickLineReader reader(*ticks_);
    std::string text;
    long long tick = 0;
    while (reader.next(text)) {
        if (auto failed = checkStop()) {
            return failed;
        }
        const ParsedTickLine parsed = parseTickLine(text);
        if (parsed.blank) {
            continue;
        }
        if (!parsed.tick) {
            return failure(options_.ticks + ": line " + std::to_string(reader.lineNumber()) +
                           ": expected a label and 14 prices, found " +
                           std::to_string(parsed.fieldCount) + " field" +
                           (parsed.fieldCount == 1 ? "" : "s"));
        }
        runTick(tick, *parsed.tick);
        ++tick;
    }
    // A signal that cut a read short ends the input: that is a stop, not a
    // read error.
    if (auto failed = checkStop()) {
        return failed;
    }
    if (reader.lineTooLong()) {
        return failure(options_.ticks + ": line " + std::to_string(reader.lineNumber()) +
                       ": longer than " + std::to_string(MAX_TICK_LINE_BYTES) +
                       " bytes, no tick line is that long");
    }
    if (reader.failed()) {
        return failure("cannot read tick file " + options_.ticks);
    }
    return std::nullopt;
}

std::optional<Failure> Replay::checkStop() const {
    if (!stopRequested(stop_)) {
        return std::nullopt;
    }
    return Failure{"interrupted", REPLAY_EXIT_SIGNAL_BASE + static_cast<int>(*stop_)};
}

void Replay::runTick(long long tick, const TickLine& line) {
    applyTickPrices(line, app_.market.livePrices);
    runRealTimeTick(app_, PriceSource::AlreadyApplied);
    // A row nobody asked for is not built: it was most of a plain run's time.
    if (snapshots_.isOpen()) {
        snapshots_.writeLine(
            activeLogRow(line.label, activeLogSnapshot(app_), ACTIVE_LOG_DECIMALS));
    }
    if (columns_.isOpen()) {
        for (int k = 1; k <= COLUMN_COUNT; ++k) {
            const TimeframeColumn& column = app_.columns[static_cast<std::size_t>(k - 1)];
            if (column.referenceIndex != NO_REFERENCE) {
                buildColumnLine(line_, tick, k, column);
                columns_.writeLine(line_.view());
            }
        }
    }
    const bool wasIdle = basketIdle(app_.basket);
    const bool wasOpen = app_.basket.direction != TradeDirection::None;
    recordTickForReport(tick, line.label);
    pressButtonsAfter(tick);
    recordPressesForReport(tick, wasIdle, wasOpen);
    writeEventRows(tick);
}

void Replay::recordTickForReport(long long tick, const std::string& label) {
    if (!recorder_) {
        return;
    }
    std::optional<int> profit;
    if (app_.basket.direction != TradeDirection::None) {
        profit = basketProfit(app_.basket, app_.market.livePrices);
    }
    recorder_->addTick(tick, label, app_.ranking, profit);
}

// A press opens the basket at a profit of 0; Close freezes the profit of
// the tick it follows. Both may happen after one tick.
void Replay::recordPressesForReport(long long tick, bool wasIdle, bool wasOpen) {
    if (!recorder_) {
        return;
    }
    const bool open = app_.basket.direction != TradeDirection::None;
    if (wasIdle && !basketIdle(app_.basket)) {
        recorder_->basketOpened(tick);
    }
    if ((wasOpen || wasIdle) && !open && !basketIdle(app_.basket)) {
        recorder_->basketClosed(tick);
    }
}

void Replay::pressButtonsAfter(long long tick) {
    if (!options_.basket) {
        return;
    }
    const WindowHandle main = app_.host.windows.main;
    if (options_.basket->tick == tick) {
        const bool buy = options_.basket->direction == TradeDirection::Buy;
        ui_.clickButton(main, buy ? BUY_BUTTON : SELL_BUTTON);
        settle();
    }
    if (options_.closeAt && *options_.closeAt == tick) {
        ui_.clickButton(main, CLOSE_BUTTON);
        settle();
    }
}

// Rows are copied out oldest first and then dropped from the list, so a long
// replay keeps only one tick's rows in memory.
void Replay::writeEventRows(long long tick) {
    const WindowHandle main = app_.host.windows.main;
    const int rows = ui_.reportRowCount(main, EVENT_LOG_LIST);
    for (int row = rows - 1; row >= 0; --row) {
        const std::string description =
            ui_.reportGetCell(main, EVENT_LOG_LIST, row, EVENT_DESCRIPTION_COLUMN);
        events_.writeLine(std::to_string(tick) + "," + description);
        if (recorder_) {
            recorder_->addEvent(tick, description);
        }
    }
    if (rows > 0) {
        ui_.reportClear(main, EVENT_LOG_LIST);
    }
}

// All outputs are finished before any is moved into place, and a move that
// still fails takes back the ones already moved: a run leaves all of its
// outputs or none.
void Replay::writeReport() {
    const std::string page = reportHtml(reportFacts(options_, app_.market), *recorder_);
    std::size_t start = 0;
    while (start < page.size()) {
        const std::size_t end = page.find('\n', start);
        report_.writeLine(page.substr(start, end - start));
        start = end == std::string::npos ? page.size() : end + 1;
    }
}

std::optional<Failure> Replay::commitOutputs() {
    if (recorder_) {
        writeReport();
    }
    PendingOutput* const outputs[] = {&snapshots_, &events_, &columns_, &report_};
    for (PendingOutput* output : outputs) {
        if (std::string error = output->finish(); !error.empty()) {
            return failure(error);
        }
    }
    for (PendingOutput* output : outputs) {
        if (std::string error = output->moveIntoPlace(); !error.empty()) {
            for (PendingOutput* moved : outputs) {
                moved->withdraw();
            }
            return failure(error);
        }
    }
    return std::nullopt;
}

} // namespace

int runReplay(const ReplayOptions& options, std::istream& standardInput, std::ostream& errors,
              const StopFlag* stop) {
    std::optional<Failure> failed;
    {
        // Ended here, so its temporary files are gone before the message shows.
        Replay replay(options, errors, stop);
        failed = replay.run(standardInput);
    }
    if (failed) {
        errors << "vurezer-replay: " << failed->message << '\n';
        return failed->status;
    }
    return REPLAY_EXIT_OK;
}

int replayMain(const std::vector<std::string>& args, std::istream& standardInput,
               std::ostream& output, std::ostream& errors, const StopFlag* stop) {
    const ParsedCommandLine parsed = parseReplayCommandLine(args);
    if (parsed.help) {
        output << replayUsage();
        return REPLAY_EXIT_OK;
    }
    if (!parsed.options) {
        errors << "vurezer-replay: " << parsed.error << '\n';
        return REPLAY_EXIT_ERROR;
    }
    return runReplay(*parsed.options, standardInput, errors, stop);
}

} // namespace vz

#include "shell/startup.h"

#include "alerts/alert_options.h"
#include "engine/ranking.h"
#include "logging/event_log.h"
#include "market/data_files.h"
#include "shell/chart_window.h"
#include "shell/main_window.h"
#include "shell/mtf_window.h"

namespace vz {

namespace {

std::string withTrailingSeparator(const std::string& folder) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') {
        return folder;
    }
    return folder + '/';
}

void addListedLabels(App& app, WindowHandle window, int listId, Timeframe timeframe) {
    const int last = app.market.lastListed(timeframe);
    for (int index = 0; index <= last; ++index) {
        app.host.ui.addListItem(window, listId, app.market.listedLabel(timeframe, index));
    }
}

} // namespace

void initialiseShellState(App& app, const std::string& programFolder) {
    app.columns = initialColumns();
    app.shell = ShellState{};
    app.ranking.previousRefBias = NO_PREVIOUS_BIAS;
    app.ranking.hasPreviousPass = false;
    app.ranking.slotMarkerState = MARKERS_SUPPRESSED;
    app.alerts.groupedAlertLatch = 0;
    app.market.programFolder = withTrailingSeparator(programFolder);
}

void fillReferenceLists(App& app) {
    addListedLabels(app, app.host.windows.main, REFERENCE_DAY_LIST, Timeframe::Daily);
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        const ColumnLayout& layout = columnLayout(k);
        addListedLabels(app, app.host.windows.multiTimeframe, layout.listId, layout.timeframe);
    }
}

void startUp(App& app, const std::string& programFolder) {
    initialiseShellState(app, programFolder);
    fillGroupList(app.market);
    buildMainWindow(app);
    app.host.windows.options = buildOptionsWindow(app.host, [&app](const WindowEvent& event) {
        handleOptionsEvent(app.host, app.alerts, event);
    });
    buildMultiTimeframeWindow(app);
    buildStrengthChartWindow(app);
    if (!loadHistory(app.market, app.host)) {
        app.shell.appRunning = 0;
    }
    fillReferenceLists(app);
    addEventLogRow(app.host, STARTED_ENTRY);
}

void runEventLoop(App& app) {
    do {
        app.host.ui.waitEvents();
    } while (app.shell.appRunning != 0);
}

void shutDown(App& app) {
    Ui& ui = app.host.ui;
    const WindowSet windows = app.host.windows;
    ui.closeWindow(windows.main);
    ui.closeWindow(windows.options);
    ui.closeWindow(windows.multiTimeframe);
    ui.closeWindow(app.chart.window);
    app.chart = ChartWindowState{};
    // The timer went with the main window; this finds nothing to stop.
    ui.stopTimer(windows.main, TICK_TIMER_ID);
    app.host.windows = WindowSet{};
}

int runVurezer(Host& host, const std::string& programFolder, const StartedHook& started) {
    App app(host);
    startUp(app, programFolder);
    if (started) {
        started(app.host.windows);
    }
    runEventLoop(app);
    shutDown(app);
    return 0;
}

} // namespace vz

#include "shell/chart_window.h"

#include "platform/window_look.h"
#include "shell/strength_chart.h"

namespace vz {

namespace {

inline constexpr std::uint32_t CHART_WINDOW_STYLE = WINDOW_POPUP | WINDOW_CLIP_CHILDREN |
                                                    WINDOW_TITLE_BAR | WINDOW_SYSTEM_MENU |
                                                    WINDOW_MINIMISE_BOX;

void redraw(App& app) {
    const StrengthChartView view{app.strengthHistory, app.ranking.pairSlot, app.chart.referenceDay};
    drawStrengthChart(app.host.ui, app.chart.window, view);
}

} // namespace

WindowHandle buildStrengthChartWindow(App& app) {
    Ui& ui = app.host.ui;
    const WindowHandle window = ui.openWindow(
        0, 0, CHART_WINDOW_WIDTH, CHART_WINDOW_HEIGHT, CHART_WINDOW_STYLE, CHART_WINDOW_CAPTION,
        [&app](const WindowEvent& event) { handleStrengthChartEvent(app, event); });
    app.chart.window = window;
    app.chart.shown = false;
    ui.centreWindow(window);
    applyWindowLook(ui, window);
    return window;
}

void handleStrengthChartEvent(App& app, const WindowEvent& event) {
    if (event.code == WindowEventCode::CloseRequest) {
        app.host.ui.showWindow(app.chart.window, ShowCommand::Hide);
        app.chart.shown = false;
    }
}

void showStrengthChart(App& app) {
    if (!app.chart.window) {
        return;
    }
    redraw(app);
    app.host.ui.showWindow(app.chart.window, ShowCommand::Show);
    app.chart.shown = true;
}

void followStrengthChart(App& app) {
    recordStrengthSample(app.strengthHistory, strengthSampleOf(app.ranking, app.host.clock.now()));
    if (app.chart.shown) {
        redraw(app);
    }
}

void restartStrengthChart(App& app, std::string referenceDay) {
    clearStrengthHistory(app.strengthHistory);
    app.chart.referenceDay = std::move(referenceDay);
    if (app.chart.shown) {
        redraw(app);
    }
}

} // namespace vz

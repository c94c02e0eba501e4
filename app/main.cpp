#include "demo_run.h"

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/qt/qt_ui.h"
#include "shell/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    vz::QtUi ui;
    vz::StdFileSystem files;
    vz::SystemClock clock;
    vz::Host host{ui, files, clock};
    vz::StartedHook started;
    const QString screenshot = qEnvironmentVariable(vz::DEMO_SCREENSHOT_VARIABLE);
    if (!screenshot.isEmpty()) {
        started = [&ui, screenshot](const vz::WindowSet& windows) {
            vz::startDemoRun(ui, windows, screenshot);
        };
    }
    return vz::runVurezer(host, vz::executableFolder(), started);
}

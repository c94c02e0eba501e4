#include "demo_run.h"

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/qt/qt_ui.h"
#include "shell/startup.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

// Set only by the start-up measure in scripts/bench: the program starts as
// usual, with its windows and files, and ends as soon as it is ready and
// waits for the first event.
constexpr const char* QUIT_AT_FIRST_WAIT_VARIABLE = "VUREZER_QUIT_AT_FIRST_WAIT";

} // namespace

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
    } else if (qEnvironmentVariableIsSet(QUIT_AT_FIRST_WAIT_VARIABLE)) {
        // A zero timer runs when the program first waits for events.
        started = [&ui](const vz::WindowSet& windows) {
            QTimer::singleShot(0, [&ui, main = windows.main] {
                if (QWidget* window = ui.windowWidget(main)) {
                    window->close(); // asks the program, which ends the run
                }
            });
        };
    }
    return vz::runVurezer(host, vz::executableFolder(), started);
}

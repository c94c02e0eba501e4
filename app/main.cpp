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
    return vz::runVurezer(host, vz::executableFolder());
}

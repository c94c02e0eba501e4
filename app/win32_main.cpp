#include "platform/clock.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/win32/win32_ui.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    vz::Win32Ui ui;
    vz::StdFileSystem files;
    vz::SystemClock clock;
    vz::Host host{ui, files, clock};
    return vz::runVurezer(host, vz::executableFolder());
}

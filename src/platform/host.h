#pragma once

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace vz {

struct WindowSet {
    WindowHandle main;
    WindowHandle options;
    WindowHandle multiTimeframe;
};

// Everything outside the program's own state: the toolkit, the files, the
// clock and the three windows once they exist. Handed explicitly to every
// operation that reaches the outside world.
struct Host {
    Ui& ui;
    FileSystem& files;
    Clock& clock;
    WindowSet windows{};
};

} // namespace vz

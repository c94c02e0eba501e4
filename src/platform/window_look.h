#pragma once

#include "platform/palette.h"
#include "platform/ui.h"

namespace vz {

// The program's font on a control (id 0: the window's drawing font).
inline void useProgramFont(Ui& ui, WindowHandle window, int id) {
    ui.setControlFont(window, FONT_FACE, FONT_POINTS, FONT_WEIGHT, id);
}

// Every window of the program starts alike: its background over the whole
// canvas, the program's font for drawn text, black text on the background.
inline void applyWindowLook(Ui& ui, WindowHandle window) {
    ui.setWindowBackground(window, BACKGROUND_COLOUR);
    useProgramFont(ui, window, 0);
    ui.setDrawColour(window, BLACK);
    ui.setTextBackground(window, BACKGROUND_COLOUR);
}

} // namespace vz

#include "engine/slot_arrows.h"

#include "engine/columns.h"
#include "engine/ranking.h"
#include "platform/palette.h"

namespace vz {

namespace {

constexpr int CELL_WIDTH = 15;
constexpr int CELL_HEIGHT = 22;
constexpr int ARROW_LENGTH = 20;
constexpr int HEAD_DROP = 12;

// Where one strip of marker cells sits on a window's canvas.
struct ArrowStrip {
    WindowHandle window;
    int cellLeft;
    int shaftX;
    int headLeftX;
    int headRightX;
    int firstRowTop;
};

ArrowStrip mainStrip(const Host& host) {
    return {host.windows.main, 3, 10, 5, 15, MAIN_ROW_TOP};
}

ArrowStrip columnStrip(const Host& host, int k) {
    const ColumnLayout& layout = columnLayout(k);
    return {host.windows.multiTimeframe, layout.cellLeft, layout.shaftX, layout.headLeftX,
            layout.headRightX,           MTF_ROW_TOP};
}

int rowTop(const ArrowStrip& strip, int row) {
    return strip.firstRowTop + ROW_PITCH * row;
}

void eraseCell(Host& host, const ArrowStrip& strip, int row) {
    host.ui.drawRect(strip.window, strip.cellLeft, rowTop(strip, row) - 1, CELL_WIDTH, CELL_HEIGHT,
                     BACKGROUND_COLOUR, BACKGROUND_COLOUR);
}

void eraseAllCells(Host& host, const ArrowStrip& strip) {
    for (int row = 0; row < PAIR_COUNT; ++row) {
        eraseCell(host, strip, row);
    }
}

// The shaft is two pixels wide; the head's two strokes on each side meet at
// the tip, which is at the top for an up arrow and at the bottom otherwise.
void drawArrow(Host& host, const ArrowStrip& strip, int row, bool up) {
    const int y = rowTop(strip, row);
    const int s = strip.shaftX;
    const int tip = up ? y : y + ARROW_LENGTH;
    const Colour colour = up ? UP_ARROW_COLOUR : DOWN_ARROW_COLOUR;
    const WindowHandle w = strip.window;
    eraseCell(host, strip, row);
    host.ui.drawLine(w, s, y, s, y + ARROW_LENGTH, colour);
    host.ui.drawLine(w, s + 1, y, s + 1, y + ARROW_LENGTH, colour);
    host.ui.drawLine(w, s, tip, strip.headLeftX, y + HEAD_DROP, colour);
    host.ui.drawLine(w, s + 1, tip, strip.headLeftX, y + HEAD_DROP + 1, colour);
    host.ui.drawLine(w, s, tip, strip.headRightX, y + HEAD_DROP, colour);
    host.ui.drawLine(w, s, tip, strip.headRightX, y + HEAD_DROP + 1, colour);
}

bool validRow(int row) {
    return row >= 0 && row < PAIR_COUNT;
}
bool validColumn(int k) {
    return k >= 1 && k <= COLUMN_COUNT;
}

void upArrow(Host& host, const ArrowStrip& strip, int markerState, int row) {
    if (markerState == MARKERS_SUPPRESSED) {
        eraseAllCells(host, strip);
    } else if (validRow(row)) {
        drawArrow(host, strip, row, true);
    }
}

void downArrow(Host& host, const ArrowStrip& strip, int markerState, int row) {
    if (markerState != MARKERS_SUPPRESSED && validRow(row)) {
        drawArrow(host, strip, row, false);
    }
}

} // namespace

void drawUpArrow(Host& host, int markerState, int row) {
    upArrow(host, mainStrip(host), markerState, row);
}

void drawDownArrow(Host& host, int markerState, int row) {
    downArrow(host, mainStrip(host), markerState, row);
}

void drawColumnUpArrow(Host& host, int k, int markerState, int row) {
    if (validColumn(k)) {
        upArrow(host, columnStrip(host, k), markerState, row);
    }
}

void drawColumnDownArrow(Host& host, int k, int markerState, int row) {
    if (validColumn(k)) {
        downArrow(host, columnStrip(host, k), markerState, row);
    }
}

} // namespace vz

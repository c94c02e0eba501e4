#include "shell/mtf_window.h"

#include "engine/columns.h"
#include "engine/ranking.h"
#include "engine/slot_arrows.h"
#include "platform/palette.h"
#include "platform/window_look.h"

#include <string>

namespace vz {

namespace {

inline constexpr std::uint32_t MTF_WINDOW_STYLE = WINDOW_POPUP | WINDOW_CLIP_CHILDREN |
                                                  WINDOW_TITLE_BAR | WINDOW_SYSTEM_MENU |
                                                  WINDOW_MINIMISE_BOX;
inline constexpr int LIST_HEIGHT = 109;
inline constexpr int BOX_WIDTH = 70;
inline constexpr int BOX_HEIGHT = 20;
inline constexpr int PIPS_BOX_OFFSET_X = 75;
inline constexpr int PIPS_BOX_ID_OFFSET = 20;

void addBox(Ui& ui, WindowHandle window, const std::string& caption, int x, int y, int id) {
    ui.createControl(window, ControlKind::TextBox, caption, x, y, BOX_WIDTH, BOX_HEIGHT,
                     STYLE_TEXT_READ_ONLY_CENTRED, id);
    useProgramFont(ui, window, id);
}

void addColumn(Ui& ui, WindowHandle window, int k) {
    const ColumnLayout& layout = columnLayout(k);
    ui.createControl(window, ControlKind::Label, "Reference Day:", layout.x, 15, 98, 16,
                     STYLE_LABEL, k);
    ui.setControlColours(window, k, BLACK, BACKGROUND_COLOUR);
    ui.createControl(window, ControlKind::DropList, "ComboBox1", layout.x, 30, layout.listWidth,
                     LIST_HEIGHT, STYLE_DROP_LIST, layout.listId);
    useProgramFont(ui, window, layout.listId);
    ui.setControlColours(window, layout.listId, BLACK, BACKGROUND_COLOUR);
    for (int row = 0; row < PAIR_COUNT; ++row) {
        const int y = MTF_ROW_TOP + ROW_PITCH * row;
        const int nameId = layout.firstNameBox + row;
        addBox(ui, window, "Pair" + std::to_string(row + 1), layout.x, y, nameId);
        addBox(ui, window, "Price" + std::to_string(row + 1), layout.x + PIPS_BOX_OFFSET_X, y,
               nameId + PIPS_BOX_ID_OFFSET);
    }
}

int columnOfList(int controlId) {
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        if (columnLayout(k).listId == controlId) {
            return k;
        }
    }
    return 0;
}

void pickColumnReference(App& app, int k) {
    const ColumnLayout& layout = columnLayout(k);
    const int selected =
        app.host.ui.getListSelection(app.host.windows.multiTimeframe, layout.listId);
    if (selected < 0 || selected >= HISTORY_CAPACITY) {
        return;
    }
    TimeframeColumn& column = app.columns[static_cast<std::size_t>(k - 1)];
    column.referenceIndex = selected;
    column.markerState = MARKERS_SUPPRESSED;
    drawColumnUpArrow(app.host, k, column.markerState, 0);
    rankColumn(column, k, app.market, app.host);
}

} // namespace

WindowHandle buildMultiTimeframeWindow(App& app) {
    Ui& ui = app.host.ui;
    const WindowHandle window =
        ui.openWindow(0, 0, 875, 480, MTF_WINDOW_STYLE, MTF_WINDOW_CAPTION,
                      [&app](const WindowEvent& event) { handleMultiTimeframeEvent(app, event); });
    app.host.windows.multiTimeframe = window;
    ui.centreWindow(window);
    applyWindowLook(ui, window);
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        addColumn(ui, window, k);
    }
    return window;
}

void handleMultiTimeframeEvent(App& app, const WindowEvent& event) {
    if (event.code == WindowEventCode::CloseRequest) {
        app.host.ui.showWindow(app.host.windows.multiTimeframe, ShowCommand::Hide);
        return;
    }
    if (event.code != WindowEventCode::ControlEvent ||
        event.notifyCode != NOTIFY_SELECTION_CHANGED) {
        return;
    }
    const int k = columnOfList(event.controlId);
    if (k != 0) {
        pickColumnReference(app, k);
    }
}

void resetColumnsAfterReload(App& app) {
    Ui& ui = app.host.ui;
    const WindowHandle window = app.host.windows.multiTimeframe;
    for (TimeframeColumn& column : app.columns) {
        column.referenceIndex = NO_REFERENCE;
    }
    // Column by column, names before pips: every box id from 20 to 215 in
    // ascending order.
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        const int firstName = columnLayout(k).firstNameBox;
        for (int first : {firstName, firstName + PIPS_BOX_ID_OFFSET}) {
            for (int row = 0; row < PAIR_COUNT; ++row) {
                ui.setControlText(window, first + row, "");
                ui.setControlColours(window, first + row, BLACK, WHITE);
            }
        }
    }
    for (int k = 1; k <= COLUMN_COUNT; ++k) {
        TimeframeColumn& column = app.columns[static_cast<std::size_t>(k - 1)];
        column.markerState = MARKERS_SUPPRESSED;
        drawColumnUpArrow(app.host, k, column.markerState, 0);
    }
}

} // namespace vz

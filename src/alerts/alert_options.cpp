#include "alerts/alert_options.h"

#include "market/pairs.h"
#include "platform/palette.h"
#include "platform/window_look.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace vz {

namespace {

constexpr int OPTIONS_WIDTH = 515;
constexpr int OPTIONS_HEIGHT = 350;
constexpr std::uint32_t OPTIONS_STYLE =
    WINDOW_POPUP | WINDOW_TITLE_BAR | WINDOW_SYSTEM_MENU | WINDOW_CLIP_CHILDREN;

struct ControlLayout {
    int id;
    ControlKind kind;
    const char* caption;
    int x, y, width, height;
    std::uint32_t style;
};

// Creation order matters to keyboard focus order, so the controls stay in
// two runs around the drawn "moves to slot:" text.
constexpr std::array<ControlLayout, 8> CONTROLS_BEFORE_LABEL = {{
    {OPT_ANCHORS_BOX, ControlKind::CheckBox, "Alert - Anchor pairs displaced by opposing pair.", 10,
     15, 450, 22, STYLE_CHECK_BOX},
    {OPT_ANCHORS_SOUND, ControlKind::TextBox, "", 60, 35, 390, 20, STYLE_TEXT_PLAIN},
    {OPT_FLIP_BOX, ControlKind::CheckBox, "Alert - Reference Bias Shift (Buy/Sell Power Shift).",
     10, 65, 450, 22, STYLE_CHECK_BOX},
    {OPT_FLIP_SOUND, ControlKind::TextBox, "", 60, 87, 390, 20, STYLE_TEXT_PLAIN},
    {OPT_GROUPING_BOX, ControlKind::CheckBox, "Alert - Grouped Buy/Sell Pairs.", 10, 115, 450, 20,
     STYLE_CHECK_BOX},
    {OPT_GROUPING_SOUND, ControlKind::TextBox, "", 60, 135, 390, 20, STYLE_TEXT_PLAIN},
    {OPT_PAIR_BOX, ControlKind::CheckBox, "Alert when:", 10, 165, 90, 20, STYLE_CHECK_BOX},
    {OPT_PAIR_LIST, ControlKind::DropList, "", 95, 165, 70, 80, STYLE_DROP_LIST},
}};

constexpr std::array<ControlLayout, 3> CONTROLS_AFTER_LABEL = {{
    {OPT_SLOT_LIST, ControlKind::DropList, "", 255, 165, 57, 80, STYLE_DROP_LIST},
    {OPT_PAIR_SOUND, ControlKind::TextBox, "", 60, 190, 390, 20, STYLE_TEXT_PLAIN},
    {OPT_EXIT_BUTTON, ControlKind::PushButton, "Exit", 407, 260, 70, 20, STYLE_DEFAULT_BUTTON},
}};

constexpr int SLOT_LABEL_X = 172;
constexpr int SLOT_LABEL_Y = 167;

void createStyledControl(Host& host, WindowHandle window, const ControlLayout& layout) {
    host.ui.createControl(window, layout.kind, layout.caption, layout.x, layout.y, layout.width,
                          layout.height, layout.style, layout.id);
    useProgramFont(host.ui, window, layout.id);
    host.ui.setControlColours(window, layout.id, BLACK, BACKGROUND_COLOUR);
}

void fillChoiceLists(Host& host, WindowHandle window) {
    for (int i = 0; i < PAIR_COUNT; ++i) {
        host.ui.addListItem(window, OPT_PAIR_LIST, PAIR_TABLE[static_cast<std::size_t>(i)]);
        host.ui.addListItem(window, OPT_SLOT_LIST, std::to_string(i + 1));
    }
}

// The sound field that belongs to a check box, or 0 for any other control.
int soundFieldOf(int checkBoxId) {
    switch (checkBoxId) {
    case OPT_ANCHORS_BOX:
        return OPT_ANCHORS_SOUND;
    case OPT_FLIP_BOX:
        return OPT_FLIP_SOUND;
    case OPT_GROUPING_BOX:
        return OPT_GROUPING_SOUND;
    case OPT_PAIR_BOX:
        return OPT_PAIR_SOUND;
    default:
        return 0;
    }
}

} // namespace

WindowHandle buildOptionsWindow(Host& host, EventHandler handler) {
    const WindowHandle window =
        host.ui.openWindow(0, 0, OPTIONS_WIDTH, OPTIONS_HEIGHT, OPTIONS_STYLE,
                           "Sounds/Alert Options", std::move(handler));
    host.ui.centreWindow(window);
    applyWindowLook(host.ui, window);
    for (const ControlLayout& layout : CONTROLS_BEFORE_LABEL) {
        createStyledControl(host, window, layout);
    }
    host.ui.moveTo(window, SLOT_LABEL_X, SLOT_LABEL_Y);
    host.ui.printText(window, "moves to slot:");
    for (const ControlLayout& layout : CONTROLS_AFTER_LABEL) {
        createStyledControl(host, window, layout);
    }
    fillChoiceLists(host, window);
    return window;
}

void handleOptionsEvent(Host& host, AlertState& alerts, const WindowEvent& event) {
    if (event.code == WindowEventCode::CloseRequest) {
        host.ui.showWindow(host.windows.options, ShowCommand::Hide);
        return;
    }
    if (event.code != WindowEventCode::ControlEvent) {
        return;
    }
    if (soundFieldOf(event.controlId) != 0) {
        chooseAlertSound(host, alerts, event.controlId);
    } else if (event.controlId == OPT_EXIT_BUTTON) {
        closeAlertOptions(host);
    }
}

void chooseAlertSound(Host& host, AlertState& alerts, int checkBoxId) {
    const int field = soundFieldOf(checkBoxId);
    if (field == 0 || !host.ui.isChecked(host.windows.options, checkBoxId)) {
        return;
    }
    const std::string path = host.ui.chooseFile("Select A Sound File", WindowHandle{}, true,
                                                "Sound File (*.wav)|*.wav||", "wav", 0, "");
    host.ui.setControlText(host.windows.options, field, path);
    checkAlertSound(path, alerts, host);
}

void closeAlertOptions(Host& host) {
    const WindowHandle window = host.windows.options;
    if (!host.ui.isChecked(window, OPT_PAIR_BOX)) {
        host.ui.showWindow(window, ShowCommand::Hide);
        return;
    }
    bool incomplete = false;
    if (host.ui.getListSelection(window, OPT_PAIR_LIST) < 0) {
        host.ui.messageBox(window, "Please Select a Pair or uncheck the box.", "Error",
                           MB_EXCLAMATION);
        incomplete = true;
    }
    if (host.ui.getListSelection(window, OPT_SLOT_LIST) < 0) {
        host.ui.messageBox(window, "Please Select a Target Slot for the pair.", "Error",
                           MB_INFORMATION);
        incomplete = true;
    }
    if (!incomplete) {
        host.ui.showWindow(window, ShowCommand::Hide);
    }
}

} // namespace vz

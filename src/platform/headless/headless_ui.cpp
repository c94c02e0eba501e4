#include "platform/headless/headless_ui.h"

#include <algorithm>
#include <set>
#include <type_traits>
#include <utility>

namespace vz {
namespace {

// The screen the windows are centred on; a common desktop minus a task bar.
constexpr int WORK_AREA_WIDTH = 1920;
constexpr int WORK_AREA_HEIGHT = 1040;
// Keeps a mistaken window size from asking for gigabytes of canvas.
constexpr int MAX_CANVAS_SIDE = 4096;
constexpr std::size_t MAX_CELL_TEXT = 32766;
constexpr int COLUMN_CAPTION_PADDING = 12;
// Ids below this are found by index; the program's go up to a few hundred.
constexpr int INDEXED_IDS = 1024;

using MenuStore = std::map<int, std::vector<MenuItemState>>;

int canvasSide(int outer) {
    return std::clamp(outer, -1, MAX_CANVAS_SIDE - 1) + 1;
}

int centred(int size, int available) {
    return std::max(0, (available - std::min(size, available)) / 2);
}

std::string_view withoutLineEnd(std::string_view text) {
    if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") {
        return text.substr(0, text.size() - 2);
    }
    if (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        return text.substr(0, text.size() - 1);
    }
    return text;
}

bool isPopup(const MenuItemState& item) {
    return (item.flags & MENU_POPUP) != 0U && static_cast<bool>(item.subMenu);
}

// Depth first through the drop-down menus; `seen` stops a menu that contains
// itself from recursing forever.
template <typename Store, typename Item = std::conditional_t<std::is_const_v<Store>,
                                                             const MenuItemState, MenuItemState>>
Item* findMenuItem(Store& menus, MenuHandle menu, int menuId, std::set<int>& seen) {
    const auto found = menus.find(menu.id);
    if (found == menus.end() || !seen.insert(menu.id).second) {
        return nullptr;
    }
    for (Item& item : found->second) {
        if (isPopup(item)) {
            if (Item* inner = findMenuItem(menus, item.subMenu, menuId, seen)) {
                return inner;
            }
        } else if (!item.separator && item.menuId == menuId) {
            return &item;
        }
    }
    return nullptr;
}

void flattenMenu(const MenuStore& menus, MenuHandle menu, std::vector<MenuItemState>& out,
                 std::set<int>& seen) {
    const auto found = menus.find(menu.id);
    if (found == menus.end() || !seen.insert(menu.id).second) {
        return;
    }
    for (const MenuItemState& item : found->second) {
        out.push_back(item);
        if (isPopup(item)) {
            flattenMenu(menus, item.subMenu, out, seen);
        }
    }
}

bool validIndex(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

std::size_t reportWidth(const ControlState& report) {
    return std::max<std::size_t>(report.columns.size(), 1);
}

} // namespace

// --- windows ---

WindowHandle HeadlessUi::openWindow(int x, int y, int width, int height, std::uint32_t style,
                                    std::string_view caption, EventHandler handler) {
    const WindowHandle handle{nextWindowId_++};
    WindowState& state = windows_[handle.id];
    if (handle.id >= 0 && handle.id < INDEXED_IDS) {
        windowsById_.resize(std::max(windowsById_.size(), std::size_t(handle.id) + 1), nullptr);
        windowsById_[static_cast<std::size_t>(handle.id)] = &state;
    }
    state.handle = handle;
    state.caption = std::string(caption);
    state.x = x;
    state.y = y;
    state.width = width;
    state.height = height;
    state.style = style;
    state.visible = (style & WINDOW_VISIBLE) != 0U;
    state.handler = std::move(handler);
    state.canvas = Canvas(canvasSide(width), canvasSide(height), SYSTEM_WINDOW_COLOUR);
    return handle;
}

void HeadlessUi::centreWindow(WindowHandle window) {
    if (WindowState* state = find(window)) {
        state->x = centred(state->width, WORK_AREA_WIDTH);
        state->y = centred(state->height, WORK_AREA_HEIGHT);
        state->centred = true;
    }
}

void HeadlessUi::showWindow(WindowHandle window, ShowCommand command, int controlId) {
    const bool visible = command == ShowCommand::Show;
    if (controlId == 0) {
        if (WindowState* state = find(window)) {
            state->visible = visible;
        }
    } else if (ControlState* control = findControl(window, controlId)) {
        control->visible = visible;
    }
}

void HeadlessUi::closeWindow(WindowHandle window) {
    WindowState* state = find(window);
    if (state == nullptr) {
        return;
    }
    state->open = false;
    state->visible = false;
    state->canvas = Canvas();
    closedWindows_.push_back(window);
    std::erase_if(timers_, [window](const TimerState& timer) { return timer.window == window; });
}

void HeadlessUi::setWindowBackground(WindowHandle window, Colour colour) {
    if (WindowState* state = find(window); state != nullptr && paintsPixels_) {
        state->canvas.fill(colour);
    }
}

// --- controls ---

void HeadlessUi::createControl(WindowHandle window, ControlKind kind, std::string_view caption,
                               int x, int y, int width, int height, std::uint32_t style, int id) {
    WindowState* state = find(window);
    // Lookups by id find the first control with it, as on the desktop.
    if (state == nullptr || state->controls.contains(id)) {
        return;
    }
    ControlState control;
    control.kind = kind;
    control.id = id;
    control.text = std::string(caption);
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    control.style = style;
    ControlState& stored = state->controls.emplace(id, std::move(control)).first->second;
    if (id >= 0 && id < INDEXED_IDS) {
        auto& index = state->controlsById;
        index.resize(std::max(index.size(), static_cast<std::size_t>(id) + 1), nullptr);
        index[static_cast<std::size_t>(id)] = &stored;
    }
    state->creationOrder.push_back(id);
}

void HeadlessUi::setControlText(WindowHandle window, int id, std::string_view text) {
    ControlState* control = findControl(window, id);
    if (control == nullptr) {
        return;
    }
    // A tick sets a hundred boxes, mostly to a text of the length they
    // already hold: copying the characters over is much cheaper than the
    // general assignment.
    std::string& stored = control->text;
    if (stored.size() == text.size()) {
        std::copy(text.begin(), text.end(), stored.begin());
    } else {
        stored.assign(text);
    }
}

std::string HeadlessUi::getControlText(WindowHandle window, int id) {
    const ControlState* control = findControl(window, id);
    if (control == nullptr) {
        return {};
    }
    // A drop-down list shows the picked item as its text.
    if (control->kind == ControlKind::DropList) {
        return validIndex(control->selection, control->items.size())
                   ? control->items[static_cast<std::size_t>(control->selection)]
                   : std::string();
    }
    return control->text;
}

void HeadlessUi::enableControl(WindowHandle window, int id, bool enabled) {
    if (ControlState* control = findControl(window, id)) {
        control->enabled = enabled;
    }
}

void HeadlessUi::setControlFont(WindowHandle window, std::string_view face, int points, int weight,
                                int id) {
    if (id == 0) {
        if (WindowState* state = find(window)) {
            state->fontFace = std::string(face);
            state->fontPoints = points;
            state->fontWeight = weight;
        }
    } else if (ControlState* control = findControl(window, id)) {
        control->fontFace = std::string(face);
        control->fontPoints = points;
        control->fontWeight = weight;
    }
}

void HeadlessUi::setControlColours(WindowHandle window, int id, Colour text, Colour background) {
    if (ControlState* control = findControl(window, id)) {
        control->textColour = text;
        control->backgroundColour = background;
    }
}

void HeadlessUi::setChecked(WindowHandle window, int id, bool checked) {
    ControlState* control = findControl(window, id);
    if (control != nullptr && control->kind == ControlKind::CheckBox) {
        control->checked = checked;
    }
}

bool HeadlessUi::isChecked(WindowHandle window, int id) {
    const ControlState* control = findControl(window, id);
    return control != nullptr && control->kind == ControlKind::CheckBox && control->checked;
}

void HeadlessUi::addListItem(WindowHandle window, int id, std::string_view text) {
    ControlState* control = findControl(window, id);
    if (control != nullptr && control->kind == ControlKind::DropList) {
        control->items.emplace_back(text);
    }
}

void HeadlessUi::removeListItem(WindowHandle window, int id, int index) {
    ControlState* control = findControl(window, id);
    if (control == nullptr || control->kind != ControlKind::DropList ||
        !validIndex(index, control->items.size())) {
        return;
    }
    control->items.erase(control->items.begin() + index);
    if (control->selection == index) {
        control->selection = -1;
    } else if (control->selection > index) {
        --control->selection;
    }
}

int HeadlessUi::getListSelection(WindowHandle window, int id) {
    const ControlState* control = findControl(window, id);
    if (control == nullptr || control->kind != ControlKind::DropList) {
        return -1;
    }
    return control->selection;
}

// --- report list ---

void HeadlessUi::reportAddColumn(WindowHandle window, int id, int column,
                                 std::string_view caption) {
    ControlState* report = findControl(window, id);
    if (report == nullptr || report->kind != ControlKind::ReportList || column < 0) {
        return;
    }
    const std::size_t at = std::min(static_cast<std::size_t>(column), report->columns.size());
    const int width = static_cast<int>(caption.size()) * GLYPH_WIDTH + COLUMN_CAPTION_PADDING;
    const bool hadColumns = !report->columns.empty();
    report->columns.insert(report->columns.begin() + static_cast<std::ptrdiff_t>(at),
                           std::string(caption));
    report->columnWidths.insert(report->columnWidths.begin() + static_cast<std::ptrdiff_t>(at),
                                width);
    // The first column takes over the row texts a list without columns held.
    if (!hadColumns) {
        return;
    }
    for (auto& row : report->rows) {
        if (at <= row.size()) {
            row.insert(row.begin() + static_cast<std::ptrdiff_t>(at), std::string());
        }
    }
}

void HeadlessUi::reportSetColumnWidth(WindowHandle window, int id, int column, int width) {
    ControlState* report = findControl(window, id);
    if (report != nullptr && report->kind == ControlKind::ReportList &&
        validIndex(column, report->columnWidths.size())) {
        report->columnWidths[static_cast<std::size_t>(column)] = width;
    }
}

void HeadlessUi::reportInsertRow(WindowHandle window, int id, int row, std::string_view text) {
    ControlState* report = findControl(window, id);
    if (report == nullptr || report->kind != ControlKind::ReportList || row < 0) {
        return;
    }
    const std::size_t at = std::min(static_cast<std::size_t>(row), report->rows.size());
    std::vector<std::string> cells(reportWidth(*report));
    cells[0] = std::string(text.substr(0, MAX_CELL_TEXT));
    report->rows.insert(report->rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(cells));
}

void HeadlessUi::reportSetCell(WindowHandle window, int id, int row, int column,
                               std::string_view text) {
    ControlState* report = findControl(window, id);
    if (report == nullptr || report->kind != ControlKind::ReportList ||
        !validIndex(row, report->rows.size()) || !validIndex(column, reportWidth(*report))) {
        return;
    }
    auto& cells = report->rows[static_cast<std::size_t>(row)];
    if (cells.size() <= static_cast<std::size_t>(column)) {
        cells.resize(static_cast<std::size_t>(column) + 1);
    }
    cells[static_cast<std::size_t>(column)] = std::string(text.substr(0, MAX_CELL_TEXT));
}

std::string HeadlessUi::reportGetCell(WindowHandle window, int id, int row, int column) {
    const ControlState* report = findControl(window, id);
    if (report == nullptr || report->kind != ControlKind::ReportList ||
        !validIndex(row, report->rows.size())) {
        return {};
    }
    const auto& cells = report->rows[static_cast<std::size_t>(row)];
    return validIndex(column, cells.size()) ? cells[static_cast<std::size_t>(column)]
                                            : std::string();
}

int HeadlessUi::reportRowCount(WindowHandle window, int id) {
    const ControlState* report = findControl(window, id);
    if (report == nullptr || report->kind != ControlKind::ReportList) {
        return 0;
    }
    return static_cast<int>(report->rows.size());
}

void HeadlessUi::reportClear(WindowHandle window, int id) {
    ControlState* report = findControl(window, id);
    if (report != nullptr && report->kind == ControlKind::ReportList) {
        report->rows.clear();
    }
}

// --- drawing ---

void HeadlessUi::setDrawColour(WindowHandle window, Colour colour) {
    if (WindowState* state = find(window)) {
        state->drawColour = colour;
    }
}

void HeadlessUi::setTextBackground(WindowHandle window, Colour colour) {
    if (WindowState* state = find(window)) {
        state->textBackground = colour;
    }
}

void HeadlessUi::moveTo(WindowHandle window, int x, int y) {
    if (WindowState* state = find(window)) {
        state->penX = x;
        state->penY = y;
    }
}

void HeadlessUi::lineTo(WindowHandle window, int x, int y, Colour colour) {
    if (WindowState* state = find(window)) {
        if (paintsPixels_) {
            state->canvas.line(state->penX, state->penY, x, y, colour);
        }
        state->penX = x;
        state->penY = y;
    }
}

void HeadlessUi::drawRect(WindowHandle window, int left, int top, int width, int height,
                          Colour border, Colour fill) {
    if (WindowState* state = find(window); state != nullptr && paintsPixels_) {
        state->canvas.rect(left, top, width, height, border, fill);
    }
}

void HeadlessUi::printText(WindowHandle window, std::string_view text) {
    WindowState* state = find(window);
    if (state == nullptr) {
        return;
    }
    const std::string_view shown = withoutLineEnd(text);
    if (shown.empty()) {
        return;
    }
    const long long width = static_cast<long long>(shown.size()) * GLYPH_WIDTH;
    const int clippedWidth = static_cast<int>(std::min<long long>(width, MAX_CANVAS_SIDE * 2));
    if (paintsPixels_) {
        state->canvas.fillRect(state->penX, state->penY, clippedWidth, GLYPH_HEIGHT,
                               state->textBackground);
    }
    if (keepsPrintedTexts_) {
        keepPrintedText(*state, shown);
    }
    state->penX = static_cast<int>(
        std::clamp<long long>(state->penX + width, -MAX_CANVAS_SIDE * 4LL, MAX_CANVAS_SIDE * 4LL));
}

void HeadlessUi::keepPrintedText(WindowState& window, std::string_view shown) {
    WindowState* state = &window;
    // Text printed again at the same place covers the old one, so only the
    // newest is kept; a long run that reprints its status lines stays small.
    // The covered entry moves to the end and keeps its string's storage.
    auto& texts = state->texts;
    const auto covered = std::find_if(texts.begin(), texts.end(), [state](const DrawnText& old) {
        return old.x == state->penX && old.y == state->penY;
    });
    if (covered == texts.end()) {
        texts.push_back({state->penX, state->penY, {}, {}, {}});
    } else {
        std::rotate(covered, covered + 1, texts.end());
    }
    DrawnText& drawn = texts.back();
    drawn.text.assign(shown);
    drawn.colour = state->drawColour;
    drawn.background = state->textBackground;
}

// --- menus ---

MenuHandle HeadlessUi::makeMenu() {
    const MenuHandle menu{nextMenuId_++};
    menus_[menu.id];
    return menu;
}

void HeadlessUi::appendMenuItem(MenuHandle menu, std::string_view caption, std::uint32_t flags,
                                int menuId, MenuHandle subMenu) {
    const auto found = menus_.find(menu.id);
    if (found == menus_.end()) {
        return;
    }
    MenuItemState item;
    item.caption = std::string(caption);
    item.flags = flags;
    item.menuId = menuId;
    item.subMenu = (flags & MENU_POPUP) != 0U ? subMenu : MenuHandle{};
    item.checked = (flags & MENU_CHECKED) != 0U;
    item.greyed = (flags & MENU_GREYED) != 0U;
    item.separator = (flags & MENU_SEPARATOR) != 0U;
    found->second.push_back(std::move(item));
}

void HeadlessUi::setMenuBar(WindowHandle window, MenuHandle menu) {
    WindowState* state = find(window);
    if (state != nullptr && menus_.contains(menu.id)) {
        state->menuBar = menu;
    }
}

void HeadlessUi::checkMenuItem(WindowHandle window, int menuId, bool checked) {
    const WindowState* state = find(window);
    if (state == nullptr) {
        return;
    }
    std::set<int> seen;
    if (MenuItemState* item = findMenuItem(menus_, state->menuBar, menuId, seen)) {
        item->checked = checked;
        item->flags = checked ? (item->flags | MENU_CHECKED) : (item->flags & ~MENU_CHECKED);
    }
}

// --- dialogs, sound, timers and events ---

std::string HeadlessUi::chooseFile(std::string_view title, WindowHandle owner, bool open,
                                   std::string_view filter, std::string_view defaultExtension,
                                   std::uint32_t /*flags*/, std::string_view initialFolder) {
    FileRequestRecord record;
    record.title = std::string(title);
    record.owner = owner;
    record.open = open;
    record.filter = std::string(filter);
    record.defaultExtension = std::string(defaultExtension);
    record.initialFolder = std::string(initialFolder);
    if (!fileScript_.empty()) {
        record.answer = std::move(fileScript_.front());
        fileScript_.pop_front();
    }
    fileRequests_.push_back(record);
    return record.answer;
}

void HeadlessUi::playWave(std::string_view path) {
    if (!path.empty()) {
        playedWaves_.emplace_back(path);
    }
}

bool HeadlessUi::canPlayWave(std::string_view path) {
    return !path.empty() && !refusedWaves_.contains(path);
}

void HeadlessUi::startTimer(WindowHandle window, int periodMs, int timerId) {
    if (find(window) == nullptr) {
        return;
    }
    for (TimerState& timer : timers_) {
        if (timer.window == window && timer.timerId == timerId) {
            timer.periodMs = periodMs;
            return;
        }
    }
    timers_.push_back({window, timerId, periodMs});
}

void HeadlessUi::stopTimer(WindowHandle window, int timerId) {
    std::erase_if(timers_, [&](const TimerState& timer) {
        return timer.window == window && timer.timerId == timerId;
    });
}

void HeadlessUi::waitEvents() {
    if (queue_.empty() && idleHook_) {
        idleHook_();
    }
    dispatchPending();
}

void HeadlessUi::dispatchPending() {
    while (!queue_.empty()) {
        const QueuedEvent queued = queue_.front();
        queue_.pop_front();
        const WindowEvent& event = queued.event;
        const WindowState* state = find(event.window);
        if (state == nullptr || !state->handler) {
            continue;
        }
        if (!stillAccepted(event)) {
            restoreDropped(queued);
            continue;
        }
        // A copy, so a handler that closes or reopens windows cannot pull its
        // own function out from under the call.
        const EventHandler handler = state->handler;
        handler(event);
    }
}

int HeadlessUi::messageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                           int style) {
    int answer = style == MB_QUESTION_YES_NO ? defaultYesNo_ : ANSWER_OK;
    if (!messageBoxScript_.empty()) {
        answer = messageBoxScript_.front();
        messageBoxScript_.pop_front();
    }
    messageBoxes_.push_back({owner, std::string(text), std::string(caption), style, answer});
    if (echo_ != nullptr) {
        *echo_ << caption << ": " << text << '\n';
    }
    return answer;
}

// --- inspection ---

const WindowState* HeadlessUi::window(WindowHandle handle) const {
    const auto found = windows_.find(handle.id);
    return found == windows_.end() ? nullptr : &found->second;
}

const ControlState* HeadlessUi::control(WindowHandle handle, int id) const {
    const WindowState* state = window(handle);
    if (state == nullptr) {
        return nullptr;
    }
    const auto found = state->controls.find(id);
    return found == state->controls.end() ? nullptr : &found->second;
}

Colour HeadlessUi::pixel(WindowHandle handle, int x, int y) const {
    const WindowState* state = find(handle);
    return state == nullptr ? NO_FILL : state->canvas.pixel(x, y);
}

std::string HeadlessUi::textAt(WindowHandle handle, int x, int y) const {
    const WindowState* state = find(handle);
    if (state == nullptr) {
        return {};
    }
    const auto latest =
        std::find_if(state->texts.rbegin(), state->texts.rend(),
                     [x, y](const DrawnText& text) { return text.x == x && text.y == y; });
    return latest == state->texts.rend() ? std::string() : latest->text;
}

std::vector<MenuItemState> HeadlessUi::menuItems(WindowHandle handle) const {
    std::vector<MenuItemState> items;
    if (const WindowState* state = find(handle)) {
        std::set<int> seen;
        flattenMenu(menus_, state->menuBar, items, seen);
    }
    return items;
}

const MenuItemState* HeadlessUi::menuItem(WindowHandle handle, int menuId) const {
    const WindowState* state = find(handle);
    if (state == nullptr) {
        return nullptr;
    }
    std::set<int> seen;
    return findMenuItem(menus_, state->menuBar, menuId, seen);
}

bool HeadlessUi::timerRunning(WindowHandle window, int timerId) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const TimerState& timer) {
        return timer.window == window && timer.timerId == timerId;
    });
}

// --- scripting ---

void HeadlessUi::postEvent(const WindowEvent& event) {
    queue_.push_back({event});
}

void HeadlessUi::fireTimers(WindowHandle window) {
    for (const TimerState& timer : timers_) {
        if (!window || timer.window == window) {
            WindowEvent event;
            event.code = WindowEventCode::Timer;
            event.window = timer.window;
            event.timerId = timer.timerId;
            postEvent(event);
        }
    }
}

void HeadlessUi::postControlEvent(WindowHandle window, int id, int notifyCode, QueuedEvent undo) {
    undo.event.code = WindowEventCode::ControlEvent;
    undo.event.window = window;
    undo.event.controlId = id;
    undo.event.notifyCode = notifyCode;
    queue_.push_back(undo);
}

void HeadlessUi::clickButton(WindowHandle window, int id) {
    if (!acceptsInput(window, id)) {
        return;
    }
    const ControlKind kind = findControl(window, id)->kind;
    if (kind == ControlKind::CheckBox) {
        toggleCheckBox(window, id);
        return;
    }
    if (kind != ControlKind::PushButton && kind != ControlKind::Label) {
        return;
    }
    postControlEvent(window, id, NOTIFY_CLICKED, QueuedEvent{});
}

void HeadlessUi::toggleCheckBox(WindowHandle window, int id) {
    if (!acceptsInput(window, id)) {
        return;
    }
    ControlState* box = findControl(window, id);
    if (box->kind != ControlKind::CheckBox) {
        return;
    }
    QueuedEvent undo;
    undo.restores = true;
    undo.checkedBefore = box->checked;
    box->checked = !box->checked;
    postControlEvent(window, id, NOTIFY_CLICKED, undo);
}

void HeadlessUi::pickListItem(WindowHandle window, int id, int index) {
    if (!acceptsInput(window, id)) {
        return;
    }
    ControlState* list = findControl(window, id);
    if (list->kind != ControlKind::DropList || !validIndex(index, list->items.size()) ||
        index == list->selection) {
        return;
    }
    QueuedEvent undo;
    undo.restores = true;
    undo.selectionBefore = list->selection;
    list->selection = index;
    postControlEvent(window, id, NOTIFY_SELECTION_CHANGED, undo);
}

void HeadlessUi::pickMenu(WindowHandle window, int menuId) {
    const MenuItemState* item = menuItem(window, menuId);
    if (item == nullptr || item->greyed) {
        return;
    }
    WindowEvent event;
    event.code = WindowEventCode::MenuPick;
    event.window = window;
    event.menuId = menuId;
    postEvent(event);
}

void HeadlessUi::requestClose(WindowHandle window) {
    if (find(window) == nullptr) {
        return;
    }
    WindowEvent event;
    event.code = WindowEventCode::CloseRequest;
    event.window = window;
    postEvent(event);
}

void HeadlessUi::typeText(WindowHandle window, int id, std::string_view text) {
    if (!acceptsInput(window, id)) {
        return;
    }
    ControlState* box = findControl(window, id);
    if (box->kind == ControlKind::TextBox && (box->style & EDIT_READ_ONLY_BIT) == 0U) {
        box->text = std::string(text);
    }
}

void HeadlessUi::queueMessageBoxAnswer(int answer) {
    messageBoxScript_.push_back(answer);
}

void HeadlessUi::queueFileAnswer(std::string path) {
    fileScript_.push_back(std::move(path));
}

// --- lookups ---

WindowState* HeadlessUi::find(WindowHandle handle) {
    return const_cast<WindowState*>(std::as_const(*this).find(handle));
}

const WindowState* HeadlessUi::find(WindowHandle handle) const {
    if (handle.id >= 0 && static_cast<std::size_t>(handle.id) < windowsById_.size()) {
        const WindowState* state = windowsById_[static_cast<std::size_t>(handle.id)];
        return state == nullptr || !state->open ? nullptr : state;
    }
    const auto found = windows_.find(handle.id);
    return found == windows_.end() || !found->second.open ? nullptr : &found->second;
}

ControlState* HeadlessUi::findControl(WindowHandle handle, int id) {
    return const_cast<ControlState*>(std::as_const(*this).findControl(handle, id));
}

const ControlState* HeadlessUi::findControl(WindowHandle handle, int id) const {
    const WindowState* state = find(handle);
    if (state == nullptr) {
        return nullptr;
    }
    if (id >= 0 && static_cast<std::size_t>(id) < state->controlsById.size()) {
        return state->controlsById[static_cast<std::size_t>(id)];
    }
    const auto found = state->controls.find(id);
    return found == state->controls.end() ? nullptr : &found->second;
}

// A click queued behind an event whose handler disabled or hid the control,
// hid its window, or greyed the menu item, must not reach the handler either.
bool HeadlessUi::stillAccepted(const WindowEvent& event) const {
    if (event.code == WindowEventCode::ControlEvent) {
        const ControlState* control = findControl(event.window, event.controlId);
        return control == nullptr || acceptsInput(event.window, event.controlId);
    }
    if (event.code == WindowEventCode::MenuPick) {
        const MenuItemState* item = menuItem(event.window, event.menuId);
        return item == nullptr || !item->greyed;
    }
    return true;
}

bool HeadlessUi::acceptsInput(WindowHandle handle, int id) const {
    const WindowState* state = find(handle);
    const ControlState* control = findControl(handle, id);
    return control != nullptr && control->enabled && control->visible && state->visible;
}

// The user's click never happened as far as the program knows, so the control
// must not show it either.
void HeadlessUi::restoreDropped(const QueuedEvent& queued) {
    ControlState* control = findControl(queued.event.window, queued.event.controlId);
    if (!queued.restores || control == nullptr) {
        return;
    }
    if (control->kind == ControlKind::CheckBox) {
        control->checked = queued.checkedBefore;
    } else if (control->kind == ControlKind::DropList) {
        control->selection =
            validIndex(queued.selectionBefore, control->items.size()) ? queued.selectionBefore : -1;
    }
}

} // namespace vz

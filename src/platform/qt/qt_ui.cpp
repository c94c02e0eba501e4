#include "platform/qt/qt_ui.h"

#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_raster.h"
#include "platform/qt/qt_sound.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <vector>

namespace vz {

namespace {

constexpr int SHORTEST_TIMER_PERIOD_MS = 10;
constexpr int LONGEST_CELL_TEXT = 32766;

struct QtControl {
    ControlKind kind = ControlKind::Label;
    QPointer<QWidget> widget;
};

struct QtWindow {
    WindowHandle handle;
    QPointer<WindowFrame> frame;
    QPointer<CanvasWidget> canvas;
    EventHandler handler;
    QSize clientSize;
    bool hasMenuBar = false;
    MenuHandle menu;
    std::map<int, QtControl> controls;
    std::map<int, QPointer<QTimer>> timers;
    QPoint pen;
    Colour drawColour = BLACK;
    Colour textBackground = WHITE;
    QFont drawFont;
    // The area last printed from each start point: values printed in place
    // with a proportional font, where trailing blanks are narrower than the
    // digits they follow, must still cover a longer earlier value.
    std::map<std::pair<int, int>, QSize> printedAreas;
};

Qt::WindowFlags frameFlags(std::uint32_t style) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if ((style & WINDOW_TITLE_BAR) == WINDOW_TITLE_BAR) {
        flags |= Qt::WindowTitleHint;
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    if ((style & WINDOW_SYSTEM_MENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if ((style & WINDOW_MINIMISE_BOX) != 0) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    return flags;
}

QSize clientSizeFor(int outerWidth, int outerHeight, std::uint32_t style) {
    const int titleHeight =
        (style & WINDOW_TITLE_BAR) == WINDOW_TITLE_BAR ? NOMINAL_TITLE_HEIGHT : 0;
    return {std::max(outerWidth - 2 * NOMINAL_FRAME_WIDTH, 1),
            std::max(outerHeight - 2 * NOMINAL_FRAME_WIDTH - titleHeight, 1)};
}

// The layouts were drawn on a 96-dpi screen: a font sized by the desktop's own
// dpi would outgrow its boxes at 120 dpi and shrink at 72, while positions
// stay put. Layout pixels follow the screen's scaling on their own.
constexpr double LAYOUT_DPI = 96.0;

QFont makeFont(std::string_view face, int points, int weight) {
    QFont font(toQString(face));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * LAYOUT_DPI / 72.0))));
    font.setWeight(weight > 0 ? static_cast<QFont::Weight>(std::clamp(weight, 1, 1000))
                              : QFont::Normal);
    return font;
}

// "Sound File (*.wav)|*.wav||" becomes "Sound File (*.wav)": the toolkit reads
// the patterns from the parentheses, so a description that already lists them
// stays as it is, and any other gets them appended.
QString toQtFilter(std::string_view filter) {
    const QStringList parts = toQString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) {
            break;
        }
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString listed = QStringLiteral("(") + patterns.trimmed() + QLatin1Char(')');
        entries << (parts[i].contains(listed) ? parts[i] : parts[i] + QLatin1Char(' ') + listed);
    }
    return entries.join(QStringLiteral(";;"));
}

std::string_view withoutLineEnd(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Message texts break lines with a lone CR, which the toolkit's labels do not
// treat as a break; CR LF and lone CR become LF.
QString messageText(std::string_view text) {
    QString shown = toQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QMessageBox::Icon messageIcon(int style) {
    switch (style & 0xF0) {
    case MB_ERROR:
        return QMessageBox::Critical;
    case MB_QUESTION_YES_NO & 0xF0:
        return QMessageBox::Question;
    case MB_INFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::Warning;
    }
}

bool asksYesNo(int style) {
    return (style & 0x0F) == (MB_QUESTION_YES_NO & 0x0F);
}

template <typename Visit> void forEachMenuItem(QMenu* menu, const Visit& visit) {
    if (menu == nullptr) {
        return;
    }
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu(); sub != nullptr) {
            forEachMenuItem(sub, visit);
        } else if (!action->isSeparator()) {
            visit(action);
        }
    }
}

// Items carry their check mark as a property: the toolkit would toggle a
// checkable item on every pick, where the program alone moves check marks.
const char* const CHECKED_PROPERTY = "vurezerChecked";
const char* const WINDOW_PROPERTY = "vurezerWindow";

void showCheckMark(QAction* action, bool checked) {
    action->setProperty(CHECKED_PROPERTY, checked);
    if (checked) {
        action->setCheckable(true);
        action->setChecked(true);
    } else {
        action->setChecked(false);
        action->setCheckable(false);
    }
}

} // namespace

// A queued event and how to take back what its control visibly changed.
struct QueuedEvent {
    WindowEvent event;
    ControlUndo undo;
};

struct QtUi::Impl {
    std::map<int, std::unique_ptr<QtWindow>> windows;
    int nextWindowId = 1;
    std::vector<QPointer<QWidget>> closedFrames;
    std::map<int, std::unique_ptr<QMenu>> menus;
    int nextMenuId = 1;
    std::deque<QueuedEvent> queue;
    bool dispatching = false;
    QtSound sound;

    ~Impl() {
        for (auto& [id, window] : windows) {
            delete window->frame.data();
        }
        for (const auto& frame : closedFrames) {
            delete frame.data();
        }
        windows.clear();
        menus.clear();
    }

    QtWindow* find(WindowHandle handle) const {
        const auto found = windows.find(handle.id);
        return found == windows.end() ? nullptr : found->second.get();
    }

    const QtControl* findControl(WindowHandle handle, int id) const {
        const QtWindow* window = find(handle);
        if (window == nullptr) {
            return nullptr;
        }
        const auto found = window->controls.find(id);
        if (found == window->controls.end() || found->second.widget.isNull()) {
            return nullptr;
        }
        return &found->second;
    }

    template <typename Widget> Widget* controlAs(WindowHandle handle, int id) const {
        const QtControl* control = findControl(handle, id);
        return control == nullptr ? nullptr : qobject_cast<Widget*>(control->widget.data());
    }

    QTreeWidget* report(WindowHandle handle, int id) const {
        return controlAs<QTreeWidget>(handle, id);
    }

    QMenu* menu(MenuHandle handle) const {
        const auto found = menus.find(handle.id);
        return found == menus.end() ? nullptr : found->second.get();
    }

    void post(const WindowEvent& event, ControlUndo undo = {}) {
        // Like the platform's timer messages, a tick that is still waiting
        // absorbs the next one, so a long modal box leaves one tick, not a pile.
        if (event.code == WindowEventCode::Timer) {
            const bool waiting = std::any_of(queue.begin(), queue.end(), [&](const auto& queued) {
                return queued.event.code == WindowEventCode::Timer &&
                       queued.event.window == event.window && queued.event.timerId == event.timerId;
            });
            if (waiting) {
                return;
            }
        }
        queue.push_back({event, std::move(undo)});
    }

    QAction* menuItem(const QtWindow& window, int menuId) const {
        QAction* found = nullptr;
        forEachMenuItem(menu(window.menu), [&](QAction* item) {
            if (found == nullptr && item->data().toInt() == menuId) {
                found = item;
            }
        });
        return found;
    }

    // An earlier handler of the same batch may have disabled or hidden the
    // source of a later event, or hidden its window; the event then must not act.
    bool sourceStillLive(const QtWindow& window, const WindowEvent& event) const {
        if (event.code == WindowEventCode::ControlEvent) {
            const QtControl* control = findControl(window.handle, event.controlId);
            return control != nullptr && control->widget->isEnabled() &&
                   !control->widget->isHidden() && !window.frame->isHidden();
        }
        if (event.code == WindowEventCode::MenuPick) {
            const QAction* item = menuItem(window, event.menuId);
            return item != nullptr && item->isEnabled();
        }
        return true;
    }

    void dispatch() {
        if (dispatching) {
            return;
        }
        dispatching = true;
        while (!queue.empty()) {
            const QueuedEvent queued = queue.front();
            queue.pop_front();
            const WindowEvent& event = queued.event;
            const QtWindow* window = find(event.window);
            if (window == nullptr || !window->handler) {
                continue;
            }
            if (!sourceStillLive(*window, event)) {
                // The program never saw the click, so the control must not show it.
                if (queued.undo) {
                    queued.undo();
                }
                continue;
            }
            // A copy, so a handler that closes its own window stays alive.
            const EventHandler handler = window->handler;
            handler(event);
        }
        dispatching = false;
    }

    void fitFrame(QtWindow& window) const {
        int menuHeight = 0;
        if (window.hasMenuBar) {
            QMenuBar* bar = window.frame->menuBar();
            const int forWidth = bar->heightForWidth(window.clientSize.width());
            menuHeight = forWidth > 0 ? forWidth : bar->sizeHint().height();
        }
        window.canvas->setFixedSize(window.clientSize);
        window.frame->setFixedSize(window.clientSize.width(),
                                   window.clientSize.height() + menuHeight);
    }

    // A hidden owner would place the dialog over nothing; such a dialog is
    // centred on the screen instead.
    QWidget* dialogParent(WindowHandle owner) const {
        const QtWindow* window = find(owner);
        return window != nullptr && window->frame->isVisible() ? window->frame.data() : nullptr;
    }
};

QtUi::QtUi() : impl_(std::make_unique<Impl>()) {
    // One style everywhere: a desktop style with wider margins clips the
    // 11-pixel text of the 70 x 20 boxes the layouts were drawn with.
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The windows ask for "Ariel"; no font has that name, so the matcher is
    // pointed at Arial's metric twin first, keeping texts inside the widths
    // the layouts were drawn for.
    QFont::insertSubstitutions(QStringLiteral("Ariel"),
                               {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
}

QtUi::~QtUi() = default;

WindowHandle QtUi::openWindow(int x, int y, int width, int height, std::uint32_t style,
                              std::string_view caption, EventHandler handler) {
    const WindowHandle handle{impl_->nextWindowId++};
    auto window = std::make_unique<QtWindow>();
    window->handle = handle;
    window->handler = std::move(handler);
    window->clientSize = clientSizeFor(width, height, style);
    window->drawFont = QApplication::font();
    Impl* impl = impl_.get();
    window->frame = new WindowFrame([impl, handle] {
        impl->post({WindowEventCode::CloseRequest, handle, 0, 0, 0, 0});
    });
    window->frame->setWindowFlags(frameFlags(style));
    window->frame->setWindowTitle(toQString(caption));
    window->canvas = new CanvasWidget(QSize(std::max(width, 0) + 1, std::max(height, 0) + 1),
                                      toQColor(WHITE), window->frame);
    window->frame->setCentralWidget(window->canvas);
    impl_->fitFrame(*window);
    window->frame->move(x, y);
    if ((style & WINDOW_VISIBLE) != 0) {
        window->frame->show();
    }
    impl_->windows[handle.id] = std::move(window);
    return handle;
}

void QtUi::centreWindow(WindowHandle handle) {
    const QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    const QScreen* screen = window->frame->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // The frame's extent is known only once the window manager has framed it.
    QSize outer = window->frame->frameGeometry().size();
    if (!window->frame->isVisible()) {
        outer = window->frame->size() +
                QSize(2 * NOMINAL_FRAME_WIDTH, 2 * NOMINAL_FRAME_WIDTH + NOMINAL_TITLE_HEIGHT);
    }
    int left = area.x() + (area.width() - outer.width()) / 2;
    int top = area.y() + (area.height() - outer.height()) / 2;
    left = std::max(area.left(), std::min(left, area.x() + area.width() - outer.width()));
    top = std::max(area.top(), std::min(top, area.y() + area.height() - outer.height()));
    window->frame->move(left, top);
    if (!window->frame->isVisible()) {
        // Until it is shown the frame's size is a guess; centre again then.
        window->frame->centreOnceFramed([this, handle] { centreWindow(handle); });
    }
}

void QtUi::showWindow(WindowHandle handle, ShowCommand command, int controlId) {
    const QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    const bool show = command == ShowCommand::Show;
    if (controlId != 0) {
        if (const QtControl* control = impl_->findControl(handle, controlId)) {
            control->widget->setVisible(show);
        }
        return;
    }
    if (!show) {
        window->frame->hide();
        return;
    }
    // A minimised window comes back as it was, not as a task-bar entry.
    if (window->frame->isMinimized()) {
        window->frame->showNormal();
    }
    window->frame->show();
    window->frame->raise();
    window->frame->activateWindow();
}

void QtUi::closeWindow(WindowHandle handle) {
    const auto found = impl_->windows.find(handle.id);
    if (found == impl_->windows.end()) {
        return;
    }
    QtWindow& window = *found->second;
    for (auto& [id, timer] : window.timers) {
        delete timer.data();
    }
    if (!window.frame.isNull()) {
        window.frame->hide();
        // Deferred: the toolkit may still be inside one of this window's signals.
        window.frame->deleteLater();
        impl_->closedFrames.emplace_back(window.frame.data());
    }
    impl_->windows.erase(found);
}

void QtUi::setWindowBackground(WindowHandle handle, Colour colour) {
    QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    window->canvas->fill(toQColor(colour));
    window->printedAreas.clear();
}

void QtUi::createControl(WindowHandle handle, ControlKind kind, std::string_view caption, int x,
                         int y, int width, int height, std::uint32_t style, int id) {
    QtWindow* window = impl_->find(handle);
    if (window == nullptr || impl_->findControl(handle, id) != nullptr) {
        return;
    }
    Impl* impl = impl_.get();
    ControlNotify notify = [impl, handle, id](int code, ControlUndo undo) {
        impl->post({WindowEventCode::ControlEvent, handle, 0, id, code, 0}, std::move(undo));
    };
    QWidget* widget = makeControl(kind, toQString(caption), QRect(x, y, width, height), style,
                                  window->canvas, std::move(notify));
    window->controls[id] = QtControl{kind, widget};
}

void QtUi::setControlText(WindowHandle handle, int id, std::string_view text) {
    if (const QtControl* control = impl_->findControl(handle, id)) {
        setControlCaption(control->kind, control->widget, toQString(text));
    }
}

std::string QtUi::getControlText(WindowHandle handle, int id) {
    const QtControl* control = impl_->findControl(handle, id);
    return control == nullptr ? std::string()
                              : toStdString(controlCaption(control->kind, control->widget));
}

void QtUi::enableControl(WindowHandle handle, int id, bool enabled) {
    if (const QtControl* control = impl_->findControl(handle, id)) {
        control->widget->setEnabled(enabled);
    }
}

void QtUi::setControlFont(WindowHandle handle, std::string_view face, int points, int weight,
                          int id) {
    QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    const QFont font = makeFont(face, points, weight);
    if (id == 0) {
        window->drawFont = font;
    } else if (const QtControl* control = impl_->findControl(handle, id)) {
        control->widget->setFont(font);
        fitControlToFont(control->kind, control->widget);
    }
}

void QtUi::setControlColours(WindowHandle handle, int id, Colour text, Colour background) {
    if (const QtControl* control = impl_->findControl(handle, id)) {
        applyControlColours(control->kind, control->widget, toQColor(text), toQColor(background));
    }
}

void QtUi::setChecked(WindowHandle handle, int id, bool checked) {
    if (auto* box = impl_->controlAs<QAbstractButton>(handle, id); box && box->isCheckable()) {
        box->setChecked(checked);
    }
}

bool QtUi::isChecked(WindowHandle handle, int id) {
    const auto* box = impl_->controlAs<QAbstractButton>(handle, id);
    return box != nullptr && box->isChecked();
}

void QtUi::addListItem(WindowHandle handle, int id, std::string_view text) {
    if (auto* list = impl_->controlAs<QComboBox>(handle, id)) {
        appendListItem(*list, toQString(text));
    }
}

void QtUi::removeListItem(WindowHandle handle, int id, int index) {
    if (auto* list = impl_->controlAs<QComboBox>(handle, id)) {
        removeListItemAt(*list, index);
    }
}

int QtUi::getListSelection(WindowHandle handle, int id) {
    const auto* list = impl_->controlAs<QComboBox>(handle, id);
    return list == nullptr ? -1 : list->currentIndex();
}

void QtUi::reportAddColumn(WindowHandle handle, int id, int column, std::string_view caption) {
    if (QTreeWidget* report = impl_->report(handle, id)) {
        vz::reportAddColumn(*report, column, toQString(caption));
    }
}

void QtUi::reportSetColumnWidth(WindowHandle handle, int id, int column, int width) {
    QTreeWidget* report = impl_->report(handle, id);
    if (report != nullptr && column >= 0 && column < report->columnCount()) {
        report->setColumnWidth(column, std::max(width, 0));
    }
}

void QtUi::reportInsertRow(WindowHandle handle, int id, int row, std::string_view text) {
    if (QTreeWidget* report = impl_->report(handle, id)) {
        vz::reportInsertRow(*report, row, toQString(text));
    }
}

void QtUi::reportSetCell(WindowHandle handle, int id, int row, int column, std::string_view text) {
    QTreeWidget* report = impl_->report(handle, id);
    if (report == nullptr || column < 0 || column >= report->columnCount()) {
        return;
    }
    if (QTreeWidgetItem* item = report->topLevelItem(row)) {
        item->setText(column, toQString(text));
    }
}

std::string QtUi::reportGetCell(WindowHandle handle, int id, int row, int column) {
    const QTreeWidget* report = impl_->report(handle, id);
    if (report == nullptr || column < 0 || column >= report->columnCount()) {
        return {};
    }
    const QTreeWidgetItem* item = report->topLevelItem(row);
    return item == nullptr ? std::string()
                           : toStdString(item->text(column).left(LONGEST_CELL_TEXT));
}

int QtUi::reportRowCount(WindowHandle handle, int id) {
    const QTreeWidget* report = impl_->report(handle, id);
    return report == nullptr ? 0 : report->topLevelItemCount();
}

void QtUi::reportClear(WindowHandle handle, int id) {
    if (QTreeWidget* report = impl_->report(handle, id)) {
        report->clear();
    }
}

void QtUi::setDrawColour(WindowHandle handle, Colour colour) {
    if (QtWindow* window = impl_->find(handle)) {
        window->drawColour = colour;
    }
}

void QtUi::setTextBackground(WindowHandle handle, Colour colour) {
    if (QtWindow* window = impl_->find(handle)) {
        window->textBackground = colour;
    }
}

void QtUi::moveTo(WindowHandle handle, int x, int y) {
    if (QtWindow* window = impl_->find(handle)) {
        window->pen = QPoint(x, y);
    }
}

void QtUi::lineTo(WindowHandle handle, int x, int y, Colour colour) {
    QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    window->canvas->line(window->pen.x(), window->pen.y(), x, y, colour);
    window->pen = QPoint(x, y);
}

void QtUi::drawRect(WindowHandle handle, int left, int top, int width, int height, Colour border,
                    Colour fill) {
    const QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    window->canvas->rect(left, top, width, height, border, fill);
}

void QtUi::printText(WindowHandle handle, std::string_view text) {
    QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    const QString shown = toQString(withoutLineEnd(text));
    if (shown.isEmpty()) {
        return;
    }
    const QFontMetrics metrics(window->drawFont);
    const QRect area(window->pen, QSize(metrics.horizontalAdvance(shown), metrics.height()));
    QSize& printed = window->printedAreas[{area.x(), area.y()}];
    const QRect covered(area.topLeft(), area.size().expandedTo(printed));
    printed = area.size();
    window->canvas->text(covered, QPoint(area.x(), area.y() + metrics.ascent()), window->drawFont,
                         shown, toQColor(window->drawColour), toQColor(window->textBackground));
    window->pen.rx() += area.width();
}

MenuHandle QtUi::makeMenu() {
    const MenuHandle handle{impl_->nextMenuId++};
    impl_->menus[handle.id] = std::make_unique<QMenu>();
    return handle;
}

void QtUi::appendMenuItem(MenuHandle menuHandle, std::string_view caption, std::uint32_t flags,
                          int menuId, MenuHandle subMenu) {
    QMenu* menu = impl_->menu(menuHandle);
    if (menu == nullptr) {
        return;
    }
    if ((flags & MENU_SEPARATOR) != 0) {
        menu->addSeparator();
        return;
    }
    QAction* action = nullptr;
    QMenu* sub = (flags & MENU_POPUP) != 0 ? impl_->menu(subMenu) : nullptr;
    if (sub != nullptr) {
        sub->setTitle(toQString(caption));
        action = menu->addMenu(sub);
    } else {
        action = menu->addAction(toQString(caption));
        action->setData(menuId);
        Impl* impl = impl_.get();
        QObject::connect(action, &QAction::triggered, action, [impl, action, menuId] {
            showCheckMark(action, action->property(CHECKED_PROPERTY).toBool());
            const WindowHandle owner{action->property(WINDOW_PROPERTY).toInt()};
            if (owner) {
                impl->post({WindowEventCode::MenuPick, owner, menuId, 0, 0, 0});
            }
        });
        showCheckMark(action, (flags & MENU_CHECKED) != 0);
    }
    action->setEnabled((flags & MENU_GREYED) == 0);
}

void QtUi::setMenuBar(WindowHandle handle, MenuHandle menuHandle) {
    QtWindow* window = impl_->find(handle);
    QMenu* menu = impl_->menu(menuHandle);
    if (window == nullptr || menu == nullptr) {
        return;
    }
    QMenuBar* bar = window->frame->menuBar();
    bar->setNativeMenuBar(false);
    bar->clear();
    for (QAction* action : menu->actions()) {
        bar->addAction(action);
    }
    forEachMenuItem(menu, [&](QAction* item) { item->setProperty(WINDOW_PROPERTY, handle.id); });
    if (!window->hasMenuBar) {
        window->clientSize.rheight() =
            std::max(window->clientSize.height() - NOMINAL_MENU_HEIGHT, 1);
    }
    window->hasMenuBar = true;
    window->menu = menuHandle;
    impl_->fitFrame(*window);
}

void QtUi::checkMenuItem(WindowHandle handle, int menuId, bool checked) {
    const QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    forEachMenuItem(impl_->menu(window->menu), [&](QAction* item) {
        if (item->data().toInt() == menuId) {
            showCheckMark(item, checked);
        }
    });
}

std::string QtUi::chooseFile(std::string_view title, WindowHandle owner, bool open,
                             std::string_view filter, std::string_view defaultExtension,
                             std::uint32_t /*flags*/, std::string_view initialFolder) {
    QFileDialog dialog(impl_->dialogParent(owner), toQString(title), toQString(initialFolder),
                       toQtFilter(filter));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(toQString(defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return toStdString(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void QtUi::playWave(std::string_view path) {
    impl_->sound.play(path);
}

bool QtUi::canPlayWave(std::string_view path) {
    return impl_->sound.canPlay(path);
}

bool QtUi::wavePlaying() const {
    return impl_->sound.playing();
}

void QtUi::startTimer(WindowHandle handle, int periodMs, int timerId) {
    QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    QPointer<QTimer>& timer = window->timers[timerId];
    if (timer.isNull()) {
        timer = new QTimer(window->frame);
        // The default coarse timer fires up to 5% early, so ticks would drift
        // ahead of the clock.
        timer->setTimerType(Qt::PreciseTimer);
        Impl* impl = impl_.get();
        QObject::connect(timer, &QTimer::timeout, timer, [impl, handle, timerId] {
            impl->post({WindowEventCode::Timer, handle, 0, 0, 0, timerId});
        });
    }
    timer->start(std::max(periodMs, SHORTEST_TIMER_PERIOD_MS));
}

void QtUi::stopTimer(WindowHandle handle, int timerId) {
    QtWindow* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    const auto found = window->timers.find(timerId);
    if (found == window->timers.end()) {
        return;
    }
    delete found->second.data();
    window->timers.erase(found);
    std::erase_if(impl_->queue, [&](const QueuedEvent& queued) {
        return queued.event.code == WindowEventCode::Timer && queued.event.window == handle &&
               queued.event.timerId == timerId;
    });
}

// Returns after one round even when no program event came, so the caller's
// loop sees a run that ended without the user acting (a failed start-up
// leaves no timer running).
void QtUi::waitEvents() {
    if (impl_->queue.empty()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A loop that only processes events never reaches deferred deletes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    impl_->dispatch();
}

int QtUi::messageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                     int style) {
    const bool yesNo = asksYesNo(style);
    // No parent: some desktops attach a parented modal box to its owner as a
    // sheet without a title bar, and the caption would never show. The box
    // is modal to the whole program instead, and placed over its owner.
    QMessageBox box(messageIcon(style), toQString(caption), messageText(text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    if (yesNo) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    if (const QWidget* over = impl_->dialogParent(owner)) {
        box.adjustSize();
        box.move(over->frameGeometry().center() - box.rect().center());
    }
    const int answer = box.exec();
    if (!yesNo) {
        return ANSWER_OK;
    }
    return answer == QMessageBox::Yes ? ANSWER_YES : ANSWER_NO;
}

QWidget* QtUi::windowWidget(WindowHandle handle) const {
    const QtWindow* window = impl_->find(handle);
    return window == nullptr ? nullptr : window->frame.data();
}

QWidget* QtUi::clientWidget(WindowHandle handle) const {
    const QtWindow* window = impl_->find(handle);
    return window == nullptr ? nullptr : window->canvas.data();
}

QWidget* QtUi::controlWidget(WindowHandle handle, int id) const {
    const QtControl* control = impl_->findControl(handle, id);
    return control == nullptr ? nullptr : control->widget.data();
}

const QImage* QtUi::canvas(WindowHandle handle) const {
    const QtWindow* window = impl_->find(handle);
    return window == nullptr ? nullptr : &window->canvas->image();
}

QAction* QtUi::menuAction(WindowHandle handle, int menuId) const {
    const QtWindow* window = impl_->find(handle);
    return window == nullptr ? nullptr : impl_->menuItem(*window, menuId);
}

std::size_t QtUi::pendingEvents() const {
    return impl_->queue.size();
}

void QtUi::dispatchPending() {
    impl_->dispatch();
}

} // namespace vz

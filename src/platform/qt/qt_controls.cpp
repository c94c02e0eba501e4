#include "platform/qt/qt_controls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <algorithm>

namespace vz {

namespace {

// Height of a closed drop-down list: the toolkit's own, never more than asked.
int closedListHeight(const DropList& list, int givenHeight) {
    return std::min(list.sizeHint().height(), givenHeight);
}

QWidget* makeDropList(const QRect& geometry, QWidget* parent, const ControlNotify& notify) {
    auto* list = new DropList(geometry.height(), parent);
    list->setEditable(false);
    list->setInsertPolicy(QComboBox::InsertAtBottom);
    list->setGeometry(geometry.x(), geometry.y(), geometry.width(),
                      closedListHeight(*list, geometry.height()));
    // activated is the user's pick only (setCurrentIndex from code stays
    // silent), but it also fires for the item already shown.
    QObject::connect(list, &QComboBox::activated, list, [list, notify](int index) {
        if (!list->takeUserPick(index)) {
            return;
        }
        const QPointer<DropList> guarded(list);
        const int before = list->selectionBeforePick();
        notify(NOTIFY_SELECTION_CHANGED, [guarded, before] {
            if (!guarded.isNull()) {
                guarded->restoreSelection(before);
            }
        });
    });
    return list;
}

QWidget* makeCheckBox(const QString& caption, const QRect& geometry, QWidget* parent,
                      const ControlNotify& notify) {
    auto* box = new QCheckBox(caption, parent);
    box->setGeometry(geometry);
    QObject::connect(box, &QCheckBox::clicked, box, [box, notify](bool checked) {
        const QPointer<QCheckBox> guarded(box);
        notify(NOTIFY_CLICKED, [guarded, checked] {
            if (!guarded.isNull()) {
                guarded->setChecked(!checked);
            }
        });
    });
    return box;
}

QWidget* makeTextBox(const QString& caption, const QRect& geometry, std::uint32_t style,
                     QWidget* parent) {
    auto* edit = new QLineEdit(caption, parent);
    edit->setGeometry(geometry);
    edit->setReadOnly((style & EDIT_READ_ONLY_BIT) != 0);
    edit->setAlignment((style & EDIT_CENTRED_BIT) != 0 ? Qt::AlignCenter
                                                       : Qt::AlignLeft | Qt::AlignVCenter);
    edit->setCursorPosition(0);
    return edit;
}

QWidget* makePushButton(const QString& caption, const QRect& geometry, std::uint32_t style,
                        QWidget* parent, const ControlNotify& notify) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    // Outside dialogs the default button is only drawn more boldly.
    button->setDefault((style & BUTTON_DEFAULT_BIT) != 0);
    QObject::connect(button, &QPushButton::clicked, button,
                     [notify](bool) { notify(NOTIFY_CLICKED, {}); });
    return button;
}

QWidget* makeReportList(const QRect& geometry, QWidget* parent) {
    auto* report = new QTreeWidget(parent);
    report->setGeometry(geometry);
    report->setColumnCount(1);
    report->setRootIsDecorated(false);
    report->setUniformRowHeights(true);
    report->setSortingEnabled(false);
    report->setAllColumnsShowFocus(true);
    report->setSelectionMode(QAbstractItemView::ExtendedSelection);
    report->header()->setStretchLastSection(false);
    report->header()->setSectionsMovable(false);
    report->setHeaderLabels({QString()});
    return report;
}

QWidget* makeLabel(const QString& caption, const QRect& geometry, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

DropList::DropList(int openHeight, QWidget* parent) : QComboBox(parent), openHeight_(openHeight) {
    setFocusPolicy(Qt::StrongFocus);
}

bool DropList::takeUserPick(int index) {
    if (index == known_) {
        return false;
    }
    beforePick_ = known_;
    known_ = index;
    return true;
}

void DropList::restoreSelection(int index) {
    setCurrentIndex(index < count() ? index : -1);
    known_ = currentIndex();
}

void DropList::wheelEvent(QWheelEvent* event) {
    if (hasFocus()) {
        QComboBox::wheelEvent(event);
    } else {
        event->ignore();
    }
}

void DropList::showPopup() {
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (popup != nullptr && popup != window()) {
        popup->resize(popup->width(), std::max(openHeight_, 1));
    }
}

QWidget* makeControl(ControlKind kind, const QString& caption, QRect geometry, std::uint32_t style,
                     QWidget* parent, ControlNotify notify) {
    QWidget* control = nullptr;
    switch (kind) {
    case ControlKind::Label:
        control = makeLabel(caption, geometry, parent);
        break;
    case ControlKind::DropList:
        control = makeDropList(geometry, parent, notify);
        break;
    case ControlKind::CheckBox:
        control = makeCheckBox(caption, geometry, parent, notify);
        break;
    case ControlKind::TextBox:
        control = makeTextBox(caption, geometry, style, parent);
        break;
    case ControlKind::PushButton:
        control = makePushButton(caption, geometry, style, parent, notify);
        break;
    case ControlKind::ReportList:
        control = makeReportList(geometry, parent);
        break;
    }
    if (control != nullptr) {
        control->show();
    }
    return control;
}

void fitControlToFont(ControlKind kind, QWidget* control) {
    if (kind != ControlKind::DropList) {
        return;
    }
    auto* list = static_cast<DropList*>(control);
    list->resize(list->width(), closedListHeight(*list, list->openHeight()));
}

void setControlCaption(ControlKind kind, QWidget* control, const QString& text) {
    switch (kind) {
    case ControlKind::Label:
        static_cast<QLabel*>(control)->setText(text);
        break;
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
        static_cast<QAbstractButton*>(control)->setText(text);
        break;
    case ControlKind::TextBox: {
        auto* edit = static_cast<QLineEdit*>(control);
        // Setting a read-only box to the text it shows, with the cursor at
        // the start and nothing selected, changes nothing anyone can see, yet
        // repaints the box; the ticks do it to most boxes every second.
        if (edit->isReadOnly() && edit->cursorPosition() == 0 && !edit->hasSelectedText() &&
            edit->text() == text) {
            break;
        }
        edit->setText(text);
        edit->setCursorPosition(0);
        break;
    }
    case ControlKind::DropList:
    case ControlKind::ReportList:
        control->setWindowTitle(text);
        break;
    }
}

QString controlCaption(ControlKind kind, const QWidget* control) {
    switch (kind) {
    case ControlKind::Label:
        return static_cast<const QLabel*>(control)->text();
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
        return static_cast<const QAbstractButton*>(control)->text();
    case ControlKind::TextBox:
        return static_cast<const QLineEdit*>(control)->text();
    case ControlKind::DropList:
        return static_cast<const QComboBox*>(control)->currentText();
    case ControlKind::ReportList:
        return control->windowTitle();
    }
    return {};
}

void applyControlColours(ControlKind kind, QWidget* control, QColor text, QColor background) {
    QPalette palette = control->palette();
    // A disabled control keeps the toolkit's greyed text.
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::ButtonText, text);
    }
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    // A push button's face keeps the system colour; only its surround changes.
    if (kind != ControlKind::PushButton) {
        palette.setColor(QPalette::Button, background);
    }
    control->setPalette(palette);
    control->setAutoFillBackground(kind == ControlKind::Label || kind == ControlKind::CheckBox);
}

void syncKnownSelection(QComboBox& list) {
    if (auto* dropList = dynamic_cast<DropList*>(&list)) {
        dropList->syncKnownSelection();
    }
}

void appendListItem(QComboBox& list, const QString& text) {
    const int selected = list.currentIndex();
    list.addItem(text);
    if (selected < 0) {
        list.setCurrentIndex(-1);
    }
    syncKnownSelection(list);
}

void removeListItemAt(QComboBox& list, int index) {
    if (index < 0 || index >= list.count()) {
        return;
    }
    const bool removingSelection = index == list.currentIndex();
    list.removeItem(index);
    if (removingSelection) {
        list.setCurrentIndex(-1);
    }
    syncKnownSelection(list);
}

void reportAddColumn(QTreeWidget& report, int column, const QString& caption) {
    if (column < 0) {
        return;
    }
    QTreeWidgetItem* header = report.headerItem();
    const int count = std::max(report.columnCount(), column + 1);
    report.setColumnCount(count);
    header->setText(column, caption);
    header->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
    const int padding = 12;
    report.setColumnWidth(column, report.fontMetrics().horizontalAdvance(caption) + padding);
}

void reportInsertRow(QTreeWidget& report, int row, const QString& text) {
    const int count = report.topLevelItemCount();
    const int at = std::clamp(row, 0, count);
    auto* item = new QTreeWidgetItem();
    item->setText(0, text);
    report.insertTopLevelItem(at, item);
}

} // namespace vz

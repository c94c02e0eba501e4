#pragma once

#include "platform/ui.h"

#include <QComboBox>
#include <QRect>
#include <QString>
#include <functional>

class QWidget;
class QTreeWidget;

namespace vz {

// A non-editable drop-down list whose opened list has a fixed height. The
// wheel only turns it once it has the focus: a wheel passing over a list
// would otherwise pick an item the user never meant to pick.
class DropList final : public QComboBox {
public:
    DropList(int openHeight, QWidget* parent);
    void showPopup() override;
    int openHeight() const { return openHeight_; }

    // The selection the program knows of: the user's last reported pick, or
    // what the program itself left. Picking the item already shown is no
    // change and reports nothing.
    bool takeUserPick(int index);
    int selectionBeforePick() const { return beforePick_; }
    void syncKnownSelection() { known_ = currentIndex(); }
    // Puts back the selection a dropped pick replaced.
    void restoreSelection(int index);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    int openHeight_;
    int known_ = -1;
    int beforePick_ = -1;
};

// Undoes what the user's action visibly changed (a toggled box, a moved
// selection), for an event the program drops; empty when nothing changed.
using ControlUndo = std::function<void()>;
// Called with the notification code when the user works a control.
using ControlNotify = std::function<void(int notifyCode, ControlUndo undo)>;

// A visible child of the client area at the given client rectangle. Only the
// user's actions notify; changes the program makes raise nothing.
QWidget* makeControl(ControlKind kind, const QString& caption, QRect geometry, std::uint32_t style,
                     QWidget* parent, ControlNotify notify);

// Sizes what depends on the font (a drop list's closed height) once a
// control's font is set.
void fitControlToFont(ControlKind kind, QWidget* control);

void setControlCaption(ControlKind kind, QWidget* control, const QString& text);
QString controlCaption(ControlKind kind, const QWidget* control);
void applyControlColours(ControlKind kind, QWidget* control, QColor text, QColor background);

// Appends a list item without making a selection where there was none.
void appendListItem(QComboBox& list, const QString& text);
void removeListItemAt(QComboBox& list, int index);

void reportAddColumn(QTreeWidget& report, int column, const QString& caption);
void reportInsertRow(QTreeWidget& report, int row, const QString& text);

} // namespace vz

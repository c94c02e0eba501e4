#pragma once

#include "platform/colour.h"

#include <QPoint>
#include <functional>

class QComboBox;
class QFileDialog;
class QString;
class QImage;
class QWidget;

namespace vz::test {

Colour pixelAt(const QImage& image, int x, int y);

// What a user's mouse does: press and release at the point (the centre when
// none is given). A disabled widget ignores it, as it would a real click.
void clickWidget(QWidget* widget, QPoint at = QPoint(-1, -1));
// Opens the list, moves to the item and presses Enter, as a user picks one.
void pickListItem(QComboBox* list, int index);

// Polls for the next modal dialog and hands it to answer once it is up.
void answerNextModal(std::function<void(QWidget*)> answer);

// Types the name into the file requester and presses its accept button.
void acceptFileName(QFileDialog* dialog, const QString& name);

// Lets the toolkit run for a while, so timers can fire.
void runEventsFor(int milliseconds);

} // namespace vz::test

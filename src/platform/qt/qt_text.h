#pragma once

#include "platform/colour.h"

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

namespace vz {

// The program's texts are bytes; file names on this platform are UTF-8, so
// every text crosses into the toolkit as UTF-8.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text) {
    return text.toStdString();
}

inline QColor toQColor(Colour colour) {
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

} // namespace vz

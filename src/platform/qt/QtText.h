#pragma once

// Small conversions between our plain tables and Qt, in one place.

#include <QString>
#include <QWidget>

#include <string_view>

namespace vs {

// Our tables hold std::string_view texts, which need not end in a zero byte.
inline QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A named control carries its name both for code (objectName) and for assistive tools and
// tests (accessibleName).
inline void NameControl(QWidget* widget, std::string_view name) {
    widget->setObjectName(Latin1(name));
    widget->setAccessibleName(Latin1(name));
}

}  // namespace vs

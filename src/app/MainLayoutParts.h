#pragma once

// What the main window's area builders share.

#include "platform/qt/QtText.h"

#include <QFont>

namespace vs {

// The grid never gets lower than this.
inline constexpr int kMinimumGridHeight = 80;

// The program's user-interface font.
QFont ProgramFont();

}  // namespace vs

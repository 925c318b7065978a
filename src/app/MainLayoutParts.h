#pragma once

// What the main window's area builders share.

#include "platform/qt/QtText.h"

#include "app/Artwork.h"

namespace vs {

// The grid never gets lower than this.
inline constexpr int kMinimumGridHeight = 80;

}  // namespace vs

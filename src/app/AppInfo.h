#pragma once

#include <string_view>

namespace vs {

// The application title; also the caption of message boxes that name no caption of their own.
inline constexpr std::string_view kApplicationTitle = "Vantor See 1.1";
// Caption prefix of the main window (three trailing blanks).
inline constexpr std::string_view kTitlePrefix = "Vantor See 1.1   ";

}  // namespace vs

#pragma once

#include <string>

namespace vs {

// Moves a file or a folder with everything in it to the desktop's Trash (the freedesktop.org
// trash of the user, or of the file's own volume), where the user can restore it. False
// when it could not be moved; then nothing changed.
bool MoveToTrash(const std::string& path);

}  // namespace vs

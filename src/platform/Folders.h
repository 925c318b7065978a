#pragma once

#include <string>

namespace vs {

// The folder for an album's companion files and page cache: $XDG_CACHE_HOME/vantor-see/,
// or ~/.cache/vantor-see/ when that variable is unset or not absolute, or a folder under the
// system's temporary folder when there is no home either. Missing folders are created with
// mode 0700 (the user's recordings live there). Always ends with '/'. Read afresh on every
// call, so tests can point it elsewhere.
std::string CompanionFolder();

// Creates path and its missing parents with the given mode; true when path is a directory
// afterwards.
bool MakeFolders(const std::string& path, unsigned mode);

}  // namespace vs

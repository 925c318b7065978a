#pragma once

#include "controls/FileTypes.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <vector>

namespace vs {

struct ScannedFile {
    std::string name;  // the real on-disk name; captions are made from it
    int type;          // index into FileTypes()
};

// Lists the files of a folder the grid shows: for each enabled type in scan order, each of
// its patterns in turn, the names that end with the pattern's ending (any letter case).
// Only regular files (a link to one counts) whose name does not start with "." are listed;
// folders and hidden files never are. A file matching two patterns is listed twice, as a
// wildcard listing would. Nothing when the folder cannot be read.
std::optional<std::vector<ScannedFile>> ScanFolder(const std::string& folder, const TypeFlags& flags);

}  // namespace vs

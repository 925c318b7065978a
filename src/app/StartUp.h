#pragma once

#include <optional>
#include <string>

namespace vs {

// True for the folders installed programs live in (/usr/bin, /usr/local/bin, /bin, the games
// and sbin folders, and this build's own install folder): a library beside such a program
// would land among the system's files, and as root nothing would stop it being created there.
bool IsSystemProgramFolder(const std::string& folder);

// What `vantorsee PATH` opens: the folder for the grid (with a trailing '/') and, when PATH is
// a file, its on-disk name to select.
struct StartTarget {
    std::string folder;
    std::string fileName;  // empty for a folder
    friend bool operator==(const StartTarget&, const StartTarget&) = default;
};

// PATH as given on the command line (or a file: URI, as some launchers pass), relative paths
// taken from currentDir. Nothing when it names neither a folder nor a file.
std::optional<StartTarget> ResolveStartPath(const std::string& argument, const std::string& currentDir);

}  // namespace vs

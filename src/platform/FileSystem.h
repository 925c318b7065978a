#pragma once

// The file-system operations every part of the program shares: renames that never replace,
// the plain file delete, a copy that never leaves a half-written target, a recursive remove
// that never follows a link, and the path and letter-case helpers. No Qt.
//
// Failures return false and leave errno telling why; nothing throws.

#include <sys/stat.h>
#include <string>
#include <string_view>

namespace vs {

// ---- Paths and names

// path with one '/' at its end (an empty path becomes "/").
std::string WithTrailingSlash(std::string path);

// path without trailing '/'s; the root "/" stays "/".
std::string WithoutTrailingSlash(std::string path);

// A name that stays inside its folder: not empty, not "." or "..", no '/' and no NUL.
bool IsPlainEntryName(std::string_view name);

// ---- ASCII letter case (file endings and names; bytes above 127 are left alone, whatever
// the locale says)

char AsciiLower(char c);
std::string AsciiLower(std::string_view s);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Strict weak order of names ignoring ASCII case, for sorted lists.
bool LessIgnoringCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringCase(std::string_view name, std::string_view ending);

// ---- Entries

// Read-only as the original platform knew it: no write bit at all in the mode. Judged from
// the mode, never with access(), so running as root changes nothing.
inline bool IsReadOnlyMode(mode_t mode) {
    return (mode & 0222) == 0;
}

// A folder the library treats as its own: a real directory (never a link), whose name does
// not start with '.', and which is not read-only.
inline bool IsPlainFolderEntry(std::string_view name, const struct stat& st) {
    return S_ISDIR(st.st_mode) && !name.empty() && name.front() != '.' && !IsReadOnlyMode(st.st_mode);
}

// Whether anything (a dangling link too) has this name.
bool EntryExists(const std::string& path);

// Whether the entry itself (a link is not followed) is read-only by its mode. False when it
// does not exist.
bool IsReadOnlyEntry(const std::string& path);

// Whether both paths reach the same file (device and inode, links followed). False when
// either does not exist.
bool IsSameFile(const std::string& a, const std::string& b);

// ---- Operations

// Moves `from` to `to` and fails (EEXIST) when `to` exists, atomically where the file system
// offers that (renameat2 with RENAME_NOREPLACE); elsewhere checks first and renames.
bool RenameNoReplace(const std::string& from, const std::string& to);

// Renames `from` over `to`, replacing a file there, within one file system (EXDEV across file
// systems). Touches nothing when both name the same file (EEXIST) or `to` is read-only
// (EACCES), as the copy does.
bool RenameReplacing(const std::string& from, const std::string& to);

// Renames the entry `oldName` of `folder` to `newName` without replacing anything. Both must
// be plain entry names (EINVAL otherwise), so nothing leaves the folder. Renaming an existing
// entry to its own name succeeds without touching it.
bool RenameEntry(const std::string& folder, const std::string& oldName, const std::string& newName);

// The plain file delete: removes a file or a link (never its target); refuses a directory
// (EISDIR) and a read-only file (EACCES), as the original platform does.
bool DeletePlainFile(const std::string& path);

// Copies the regular file `source` (a link to one counts) to `target`. The bytes go to a
// hidden temporary file in the target's folder, are flushed to the disk and then renamed
// into place, so a failure (a full disk) leaves the target as it was and no stray file.
// With `overwrite` an existing target is replaced, unless it is read-only (EACCES) or is
// the source itself under another name (same device and inode: EEXIST, nothing touched);
// without it an existing target fails (EEXIST). The copy gets the source's permission bits
// less the umask.
bool CopyPlainFile(const std::string& source, const std::string& target, bool overwrite);

// Removes the folder `path` (trailing '/' optional) with everything in it, for good. Plain
// folders (IsPlainFolderEntry) are emptied recursively; every other entry gets the plain file
// delete, whose result is ignored: a link goes without its target being touched, a read-only
// file stays, and so do hidden and read-only folders, so their folder stays too. The walk
// holds each folder open and works relative to it, never reopening by path: a folder
// swapped for a link meanwhile is not entered (the walk fails there) and nothing outside
// `path` is touched. Folders on another file system (a mount inside `path`) are never
// entered and stay. False when anything was left; a failed subfolder stops the walk at once.
bool RemoveTree(const std::string& path);

}  // namespace vs

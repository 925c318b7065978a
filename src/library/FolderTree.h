#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vs {

// One folder of the library and, depth first, everything below it.
struct FolderNode {
    std::string caption;
    std::vector<FolderNode> children;
};

// Whether an entry of `folder` counts as a library folder: a real directory (a symbolic
// link never counts, so no walk can leave the library through one), whose name does not
// start with '.', and whose mode keeps at least one write bit. Judged from the mode bits,
// not from access(), so that running as root changes nothing.
bool IsPlainFolder(const std::string& folder, const std::string& name);

// The plain folders directly inside `folder` (with or without a trailing '/'), in the order
// the directory listing returns them. Empty when the folder cannot be listed.
std::vector<std::string> ListPlainFolders(const std::string& folder);

// The whole hierarchy below `folder`, depth first, each level in listing order. A folder
// reached a second time through a mount loop (same device and inode as one of its
// ancestors) is shown but not descended into, so the walk always ends.
std::vector<FolderNode> LoadFolderHierarchy(const std::string& folder);

// The disk path of a node: the photo folder followed by each caption from level 1 down to
// the node itself, each with a trailing '/'. An empty list is the root node itself.
std::string NodeFolderPath(const std::string& photoFolder, const std::vector<std::string>& captions);

// The name "Create new folder" proposes. `nodes` lists (level, caption) of every node of the
// tree in display order. One walk: each node at targetLevel whose caption equals the current
// candidate moves the candidate on ("New Folder", "New Folder1", "New Folder2", ...). The walk
// is not restarted, so a name met earlier can still collide; creating it then fails.
std::string NewFolderName(const std::vector<std::pair<int, std::string>>& nodes, int targetLevel);

// Creates the folder `name` inside `parent`. False when it exists already or cannot be made.
bool CreateFolder(const std::string& parent, const std::string& name);

// Renames the entry `oldName` of `parent` to `newName`. Never replaces an existing entry
// (rename(2) would silently replace an empty folder); refuses names with '/', "." and "..".
bool RenameFolder(const std::string& parent, const std::string& oldName, const std::string& newName);

// Removes `path` (a folder, trailing '/' optional) with everything in it, for good. Plain
// folders are emptied recursively; every other entry gets a plain file delete whose result
// is ignored: a symbolic link is removed without touching its target, a read-only file
// stays (and with it its folder), as does a hidden or read-only folder. False when
// anything was left behind; a failed subfolder stops the walk at once.
bool RemoveFolderTree(const std::string& path);

}  // namespace vs

#include "library/FolderTree.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vs {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A directory listing that closes itself on every way out.
class Listing {
public:
    explicit Listing(const std::string& folder) : dir_(::opendir(folder.empty() ? "." : folder.c_str())) {}
    ~Listing() {
        if (dir_)
            ::closedir(dir_);
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;
    bool ok() const { return dir_ != nullptr; }
    int fd() const { return ::dirfd(dir_); }
    // The next entry other than "." and "..", or nullptr at the end.
    const dirent* next() {
        while (const dirent* e = ::readdir(dir_))
            if (!IsDotOrDotDot(e->d_name))
                return e;
        return nullptr;
    }

private:
    DIR* dir_;
};

struct FileId {
    dev_t dev;
    ino_t ino;
};

struct Entry {
    std::string name;
    struct stat st;
};

// The plain folders among a folder's entries (IsPlainFolderEntry), in listing order, examined
// without following links. Only directories are looked at further: the entry type of the
// listing rules out files and links, so a folder of many pictures costs no stat per picture.
// The listing is closed before the caller descends, so a deep hierarchy never holds more
// than one directory open.
std::vector<Entry> ReadPlainFolders(const std::string& folder) {
    std::vector<Entry> entries;
    Listing listing(folder);
    if (!listing.ok())
        return entries;
    while (const dirent* d = listing.next()) {
        if (d->d_name[0] == '.' || (d->d_type != DT_DIR && d->d_type != DT_UNKNOWN))
            continue;
        Entry e{d->d_name, {}};
        if (::fstatat(listing.fd(), d->d_name, &e.st, AT_SYMLINK_NOFOLLOW) == 0 && IsPlainFolderEntry(e.name, e.st))
            entries.push_back(std::move(e));
    }
    return entries;
}

void AddChildren(const std::string& folder, std::vector<FolderNode>& into, std::vector<FileId>& ancestors) {
    for (const Entry& e : ReadPlainFolders(folder)) {
        into.push_back(FolderNode{e.name, {}});
        bool seen = false;
        for (const FileId& a : ancestors)
            seen = seen || (a.dev == e.st.st_dev && a.ino == e.st.st_ino);
        if (seen)
            continue;
        ancestors.push_back({e.st.st_dev, e.st.st_ino});
        // into grows no further while the child is filled: it is the last element.
        AddChildren(folder + e.name + "/", into.back().children, ancestors);
        ancestors.pop_back();
    }
}

}  // namespace

bool IsPlainFolder(const std::string& folder, const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    struct stat st {};
    if (::lstat((WithTrailingSlash(folder) + name).c_str(), &st) != 0)
        return false;
    return IsPlainFolderEntry(name, st);
}

std::vector<std::string> ListPlainFolders(const std::string& folder) {
    std::vector<std::string> names;
    for (const Entry& e : ReadPlainFolders(folder))
        names.push_back(e.name);
    return names;
}

std::vector<FolderNode> LoadFolderHierarchy(const std::string& folder) {
    std::vector<FolderNode> nodes;
    std::vector<FileId> ancestors;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        ancestors.push_back({st.st_dev, st.st_ino});
    AddChildren(WithTrailingSlash(folder), nodes, ancestors);
    return nodes;
}

std::string NodeFolderPath(const std::string& photoFolder, const std::vector<std::string>& captions) {
    std::string path = photoFolder;
    for (const std::string& c : captions)
        path += c + "/";
    return path;
}

std::string NewFolderName(const std::vector<std::pair<int, std::string>>& nodes, int targetLevel) {
    std::string candidate = "New Folder";
    int counter = 1;
    for (const auto& [level, caption] : nodes) {
        if (level == targetLevel && caption == candidate)
            candidate = "New Folder" + std::to_string(counter++);
    }
    return candidate;
}

bool CreateFolder(const std::string& parent, const std::string& name) {
    if (!IsPlainEntryName(name))
        return false;
    return ::mkdir((WithTrailingSlash(parent) + name).c_str(), 0777) == 0;
}

bool RenameFolder(const std::string& parent, const std::string& oldName, const std::string& newName) {
    return RenameEntry(parent, oldName, newName);
}

bool RemoveFolderTree(const std::string& path) { return RemoveTree(path); }

}  // namespace vs

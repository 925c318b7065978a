#pragma once

// The directory tree's folder logic: what a listing delivers, which folders pass the tree's
// filters, path arithmetic on folder paths (always with a trailing '/'), and listings of slow
// mounts that give up after a timeout instead of blocking the caller.

#include "platform/FileSystem.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vs {

// Attribute bits of a listed entry.
inline constexpr std::uint32_t faReadOnly = 1;
inline constexpr std::uint32_t faHidden = 2;
inline constexpr std::uint32_t faSysFile = 4;
inline constexpr std::uint32_t faDirectory = 16;
inline constexpr std::uint32_t faArchive = 32;

// Which folders the tree shows; the order fixes the bit of each in TDirType.
enum class TDirAttr : std::uint8_t { dtReadOnly, dtHidden, dtSystem, dtArchive, dtNormal, dtAll };

// A set of TDirAttr in one byte, bit n for the enumerator of ordinal n.
class TDirType {
public:
    constexpr TDirType() = default;
    constexpr TDirType(std::initializer_list<TDirAttr> attrs) {
        for (TDirAttr a : attrs) Bits |= Bit(a);
    }
    static constexpr TDirType FromByte(std::uint8_t bits) {
        TDirType t;
        t.Bits = bits;
        return t;
    }
    constexpr bool Contains(TDirAttr a) const { return (Bits & Bit(a)) != 0; }
    constexpr bool operator==(const TDirType&) const = default;

    std::uint8_t Bits = 0;

private:
    static constexpr std::uint8_t Bit(TDirAttr a) { return static_cast<std::uint8_t>(1u << static_cast<unsigned>(a)); }
};
static_assert(sizeof(TDirType) == 1);

// One entry of a folder listing.
struct TDirRec {
    std::uint32_t Attr = 0;
    std::string Name;
    // Free for a replacement listing to keep its own state between calls; the tree passes
    // the same record through one listing and never reads this.
    std::intptr_t FindHandle = 0;
    // The entry's status as the listing read it (links followed).
    struct stat FindData {};
};

// The attribute word of an entry: directory, hidden for a name starting with '.', read-only
// when the mode has no write bit at all (judged from the mode, so root sees the same).
std::uint32_t DirAttributes(std::string_view name, const struct stat& st);

// The entries of folder that are folders (a link to a folder counts), "." and ".." left out,
// in listing order. Empty when the folder cannot be listed.
std::vector<TDirRec> ReadSubFolderEntries(const std::string& folder);

// A listing of a folder's sub-folder entries; the tree's built-in one is ReadSubFolderEntries.
using FolderReader = std::function<std::vector<TDirRec>(const std::string& folder)>;

// The attribute filter: with dtAll everything passes; otherwise hidden, system and archive
// folders need their flag, and the rest needs dtNormal. The read-only bit plays no part.
bool Okay(TDirType type, std::uint32_t attr);

// "Trash", ".Trash" or ".Trash-<uid>", in any letter case.
bool IsRecycleFolderName(std::string_view name);

// Whether path (trailing '/' optional) lies inside a recycle folder: a folder of it other
// than the last is one. The recycle folder itself is not inside one.
bool IsInsideRecycleFolder(std::string_view path);

// The order of a tree level: case-insensitive (ASCII), exact bytes breaking ties.
bool FolderNameLess(std::string_view a, std::string_view b);

// "/a/b/" -> "/a/"; "/" has no parent: "".
std::string ParentFolderPath(std::string_view path);
// "/a/b/" -> "b"; "/" -> "/".
std::string FolderNameOf(std::string_view path);
// path with its leading oldRoot replaced by newRoot; path itself when it does not start
// with oldRoot.
std::string ReplacePathRoot(const std::string& path, const std::string& oldRoot, const std::string& newRoot);

// Whether the entry at path exists (a dangling link counts: its own attributes can be read).
inline bool FileOrDirExists(const std::string& path) {
    return EntryExists(path);
}

// path rebuilt from the names the directory listings give for each component, so a name
// typed in another letter case on a case-blind mount gets its stored spelling; without its
// trailing '/'. path unchanged when it does not exist.
std::string GetSysPathName(const std::string& path);
// The same from the names shown for each level; on this system a folder is shown under its
// own name, so it is GetSysPathName.
std::string GetShellPathName(const std::string& path);

// Lists folders of slow mounts on worker threads and waits for each at most the timeout. A
// listing that does not answer in time is abandoned: it runs on by itself and its result is
// kept for the next request of the same folder. While one is still running, requests of other
// folders of the same drive give no answer at once, so a dead server costs one wait, not one
// per folder. Used from one thread only.
class BackgroundLister {
public:
    explicit BackgroundLister(std::chrono::milliseconds timeout) : timeout_(timeout) {}
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    std::chrono::milliseconds Timeout() const { return timeout_; }

    // The entries, or nullopt when the listing did not answer in time.
    std::optional<std::vector<TDirRec>> List(const std::string& folder, const std::string& driveRoot,
                                             const FolderReader& reader) {
        return Run(folder, driveRoot, [reader, folder] { return reader(folder); });
    }
    // Any other look at the drive under the same rules; key names the request (a folder
    // path names its listing).
    std::optional<std::vector<TDirRec>> Run(const std::string& key, const std::string& driveRoot,
                                            std::function<std::vector<TDirRec>()> task);

    // Abandoned listings that have not finished yet.
    int Outstanding() const;

private:
    struct Job;
    static std::optional<std::vector<TDirRec>> Wait(Job& job, std::chrono::milliseconds timeout);

    std::chrono::milliseconds timeout_;
    std::map<std::string, std::shared_ptr<Job>> abandoned_;
};

}  // namespace vs

#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

namespace vs {

namespace {

// Closes a descriptor on every way out, keeping the errno of the failure being reported.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd& operator=(Fd&&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) {
            const int saved = errno;
            ::close(fd_);
            errno = saved;
        }
        fd_ = -1;
    }
    // Closes now and reports whether the close succeeded (a delayed write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool Fail(int error) {
    errno = error;
    return false;
}

// The folder part (with its '/') and the last component of a path without trailing slash.
std::pair<std::string, std::string> SplitLast(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CopyContents(int from, int to) {
    std::vector<std::uint8_t> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(n)))
            return false;
    }
}

// A new hidden file beside `target`, created with `mode` (the umask applies), so a listing
// never shows it as one of the folder's files.
Fd CreateTemporaryBeside(const std::string& target, mode_t mode, std::string& name) {
    const auto [folder, base] = SplitLast(target);
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[20];
        std::snprintf(suffix, sizeof suffix, ".%012llx", static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        name = WithTrailingSlash(folder) + "." + base + suffix;
        Fd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (fd.ok() || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return Fd(-1);
}

struct Listed {
    std::string name;
    struct stat st;
};

// The entries of the open folder `dirFd` other than "." and "..", examined without following
// links. The listing is read whole and closed before anything is removed from it.
bool ListAt(int dirFd, std::vector<Listed>& out) {
    const int dup = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    if (dup < 0)
        return false;
    DIR* dir = ::fdopendir(dup);
    if (!dir) {
        ::close(dup);
        return false;
    }
    while (const dirent* e = ::readdir(dir)) {
        if (IsDotOrDotDot(e->d_name))
            continue;
        Listed entry{e->d_name, {}};
        if (::fstatat(dirFd, e->d_name, &entry.st, AT_SYMLINK_NOFOLLOW) == 0)
            out.push_back(std::move(entry));
    }
    ::closedir(dir);
    return true;
}

// Empties and removes the folder `name` of the open folder `parentFd`. The walk stays on one
// file system: a folder on another device (a USB stick or a share mounted inside) is never
// entered, so it and the folders above it stay, as a read-only file does.
bool RemoveTreeAt(int parentFd, const std::string& name, std::optional<dev_t> device = std::nullopt) {
    {
        // O_NOFOLLOW | O_DIRECTORY: a link put in the folder's place is never entered.
        Fd dir(::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!dir.ok())
            return false;
        struct stat own {};
        if (::fstat(dir.get(), &own) != 0 || (device && own.st_dev != *device))
            return false;
        std::vector<Listed> entries;
        if (!ListAt(dir.get(), entries))
            return false;
        for (const Listed& e : entries) {
            if (IsPlainFolderEntry(e.name, e.st)) {
                if (e.st.st_dev != own.st_dev)
                    continue;  // a mount point: left alone
                if (!RemoveTreeAt(dir.get(), e.name, own.st_dev))
                    return false;
            } else if (!S_ISDIR(e.st.st_mode) && (S_ISLNK(e.st.st_mode) || !IsReadOnlyMode(e.st.st_mode))) {
                // The plain file delete, whose result does not matter: whatever stays makes
                // the folder's own removal fail below.
                ::unlinkat(dir.get(), e.name.c_str(), 0);
            }
        }
    }
    return ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool IsPlainEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
    });
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view ending) {
    return name.size() >= ending.size() && EqualsIgnoringCase(name.substr(name.size() - ending.size()), ending);
}

bool EntryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace flag: the check and the rename are two steps there.
    if (EntryExists(to))
        return Fail(EEXIST);
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    if (IsSameFile(from, to))
        return Fail(EEXIST);  // rename(2) would report success and do nothing
    if (IsReadOnlyEntry(to))
        return Fail(EACCES);
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool IsReadOnlyEntry(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && IsReadOnlyMode(st.st_mode);
}

bool RenameEntry(const std::string& folder, const std::string& oldName, const std::string& newName) {
    if (!IsPlainEntryName(oldName) || !IsPlainEntryName(newName))
        return Fail(EINVAL);
    const std::string base = WithTrailingSlash(folder);
    if (oldName == newName)
        return EntryExists(base + oldName);
    return RenameNoReplace(base + oldName, base + newName);
}

bool DeletePlainFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0)
        return false;
    if (S_ISDIR(st.st_mode))
        return Fail(EISDIR);
    if (!S_ISLNK(st.st_mode) && IsReadOnlyMode(st.st_mode))
        return Fail(EACCES);
    return ::unlink(path.c_str()) == 0;
}

bool CopyPlainFile(const std::string& source, const std::string& target, bool overwrite) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.ok())
        return false;
    struct stat src {};
    if (::fstat(in.get(), &src) != 0)
        return false;
    if (!S_ISREG(src.st_mode))
        return Fail(S_ISDIR(src.st_mode) ? EISDIR : EINVAL);

    struct stat dst {};
    if (::lstat(target.c_str(), &dst) == 0) {
        struct stat reached {};
        if (::stat(target.c_str(), &reached) == 0 && reached.st_dev == src.st_dev && reached.st_ino == src.st_ino)
            return Fail(EEXIST);  // the source itself under another name
        if (!overwrite)
            return Fail(EEXIST);
        if (S_ISDIR(dst.st_mode))
            return Fail(EISDIR);
        if (!S_ISLNK(dst.st_mode) && IsReadOnlyMode(dst.st_mode))
            return Fail(EACCES);
    } else if (errno != ENOENT) {
        return false;
    }

    std::string tmp;
    Fd out = CreateTemporaryBeside(target, src.st_mode & 0777, tmp);
    if (!out.ok())
        return false;
    const bool written = CopyContents(in.get(), out.get()) && ::fsync(out.get()) == 0 && out.close();
    const bool placed =
        written && (overwrite ? ::rename(tmp.c_str(), target.c_str()) == 0 : RenameNoReplace(tmp, target));
    if (!placed) {
        const int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
    }
    return placed;
}

bool RemoveTree(const std::string& path) {
    const std::string trimmed = WithoutTrailingSlash(path);
    if (trimmed.empty() || trimmed == "/")
        return Fail(EINVAL);
    const auto [folder, name] = SplitLast(trimmed);
    if (!IsPlainEntryName(name))
        return Fail(EINVAL);
    Fd parent(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.ok())
        return false;
    return RemoveTreeAt(parent.get(), name);
}

}  // namespace vs

#include "library/FileSystem.h"

#include "graphics/FileIo.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>

namespace vs {

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool IsReadOnly(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

bool OnSameFileSystem(const std::string& source, const std::string& target) {
    struct stat a {
    }, b{};
    const std::string folder = std::filesystem::path(target).parent_path().string();
    return ::lstat(source.c_str(), &a) == 0 && ::stat(folder.c_str(), &b) == 0 && a.st_dev == b.st_dev;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFileSafely(const std::string& from, const std::string& to) {
    if (SameFile(from, to))
        return false;
    try {
        InputFile in(from);
        AtomicFileWriter out(to);
        CopyBytes(in, in.size(), out, 1 << 20);
        out.commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool DeleteFile(const std::string& path) {
    if (IsReadOnly(path))
        return false;
    return ::unlink(path.c_str()) == 0;
}

std::string FileNamePart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace vs

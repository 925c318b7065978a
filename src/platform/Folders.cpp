#include "platform/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vs {

namespace {

std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    // Relative values are invalid for the XDG variables and are ignored.
    return value && value[0] == '/' ? std::string(value) : std::string();
}

}  // namespace

bool MakeFolders(const std::string& path, unsigned mode) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return true;
    const fs::path p = fs::path(path).lexically_normal();
    fs::path partial;
    for (const auto& part : p) {
        partial /= part;
        if (part.empty() || partial == p.root_path())
            continue;
        if (::mkdir(partial.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST)
            return false;
    }
    return fs::is_directory(path, ec);
}

std::string CompanionFolder() {
    std::string base = AbsoluteEnv("XDG_CACHE_HOME");
    if (base.empty()) {
        const std::string home = AbsoluteEnv("HOME");
        if (!home.empty())
            base = home + "/.cache";
    }
    std::string folder;
    if (!base.empty()) {
        folder = base + "/vantor-see/";
    } else {
        std::error_code ec;
        const auto tmp = std::filesystem::temp_directory_path(ec);
        folder = (ec ? std::string("/tmp") : tmp.string()) + "/vantor-see-" + std::to_string(::getuid()) + "/";
    }
    MakeFolders(folder, 0700);
    return folder;
}

}  // namespace vs

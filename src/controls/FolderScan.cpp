#include "controls/FolderScan.h"

#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace vs {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

// One readdir pass; the per-pattern passes then work on memory.
std::optional<std::vector<std::string>> ListRegularFiles(const std::string& folder) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    const int dirFd = ::dirfd(dir.get());
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir.get())) {
        if (e->d_name[0] == '.')
            continue;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            regular = ::fstatat(dirFd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular)
            names.emplace_back(e->d_name);
    }
    return names;
}

}  // namespace

std::optional<std::vector<ScannedFile>> ScanFolder(const std::string& folder, const TypeFlags& flags) {
    auto names = ListRegularFiles(folder);
    if (!names)
        return std::nullopt;
    std::vector<ScannedFile> files;
    for (const int type : ScanOrder()) {
        if (!flags[static_cast<std::size_t>(type)])
            continue;
        for (const std::string_view ending : FileTypes()[static_cast<std::size_t>(type)].endings) {
            if (ending.empty())
                continue;
            for (const std::string& name : *names)
                if (EndsWithIgnoringCase(name, ending))
                    files.push_back({name, type});
        }
    }
    return files;
}

}  // namespace vs

#include "controls/FolderScan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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
    // The enabled patterns in scan order. Every name is tested against all of them in one pass
    // over its lower-cased tail; gathering the matches per pattern gives the order of one
    // pass per pattern.
    struct Pattern {
        std::string ending;  // lower case
        int type;
        std::vector<std::uint32_t> matches;
    };
    std::vector<Pattern> patterns;
    std::size_t longest = 0;
    for (const int type : ScanOrder()) {
        if (!flags[static_cast<std::size_t>(type)])
            continue;
        for (const std::string_view ending : FileTypes()[static_cast<std::size_t>(type)].endings) {
            if (ending.empty())
                continue;
            patterns.push_back({AsciiLower(ending), type, {}});
            longest = std::max(longest, ending.size());
        }
    }
    std::vector<std::uint8_t> uses(names->size(), 0);
    std::string tail(longest, '\0');
    std::size_t matched = 0;
    for (std::uint32_t i = 0; i < names->size(); ++i) {
        const std::string& name = (*names)[i];
        const std::size_t n = std::min(name.size(), longest);
        for (std::size_t k = 0; k < n; ++k) tail[k] = AsciiLower(name[name.size() - n + k]);
        for (Pattern& p : patterns)
            if (p.ending.size() <= n && std::memcmp(tail.data() + n - p.ending.size(), p.ending.data(), p.ending.size()) == 0) {
                p.matches.push_back(i);
                ++uses[i];
                ++matched;
            }
    }
    std::vector<ScannedFile> files;
    files.reserve(matched);
    for (const Pattern& p : patterns)
        for (const std::uint32_t i : p.matches)
            // A name matched once (nearly all) is moved; one matched twice is copied until its last use.
            files.push_back({--uses[i] == 0 ? std::move((*names)[i]) : (*names)[i], p.type});
    return files;
}

}  // namespace vs

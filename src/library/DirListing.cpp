#include "library/DirListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace vs {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The components of an absolute path, empty ones dropped.
std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i < path.size()) {
        const std::size_t j = std::min(path.find('/', i), path.size());
        if (j > i)
            parts.push_back(path.substr(i, j - i));
        i = j + 1;
    }
    return parts;
}

}  // namespace

std::uint32_t DirAttributes(std::string_view name, const struct stat& st) {
    std::uint32_t attr = 0;
    if (S_ISDIR(st.st_mode))
        attr |= faDirectory;
    if (!name.empty() && name.front() == '.')
        attr |= faHidden;
    if (IsReadOnlyMode(st.st_mode))
        attr |= faReadOnly;
    return attr;
}

std::vector<TDirRec> ReadSubFolderEntries(const std::string& folder) {
    std::vector<TDirRec> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return entries;
    const int fd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (IsDotOrDotDot(e->d_name))
            continue;
        // A plain file never needs its status read: most folders hold far more files than folders.
        if (e->d_type != DT_DIR && e->d_type != DT_LNK && e->d_type != DT_UNKNOWN)
            continue;
        TDirRec rec;
        if (::fstatat(fd, e->d_name, &rec.FindData, 0) != 0 || !S_ISDIR(rec.FindData.st_mode))
            continue;
        rec.Name = e->d_name;
        rec.Attr = DirAttributes(rec.Name, rec.FindData);
        entries.push_back(std::move(rec));
    }
    ::closedir(dir);
    return entries;
}

bool Okay(TDirType type, std::uint32_t attr) {
    if (type.Contains(TDirAttr::dtAll))
        return true;
    if ((attr & faHidden) && !type.Contains(TDirAttr::dtHidden))
        return false;
    if ((attr & faSysFile) && !type.Contains(TDirAttr::dtSystem))
        return false;
    if ((attr & faArchive) && !type.Contains(TDirAttr::dtArchive))
        return false;
    return type.Contains(TDirAttr::dtNormal) || (attr & (faHidden | faSysFile | faArchive)) != 0;
}

bool IsRecycleFolderName(std::string_view name) {
    if (EqualsIgnoringCase(name, "trash") || EqualsIgnoringCase(name, ".trash"))
        return true;
    constexpr std::string_view kPrefix = ".trash-";
    if (name.size() <= kPrefix.size() || !EqualsIgnoringCase(name.substr(0, kPrefix.size()), kPrefix))
        return false;
    const std::string_view uid = name.substr(kPrefix.size());
    return std::all_of(uid.begin(), uid.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsInsideRecycleFolder(std::string_view path) {
    const std::vector<std::string_view> parts = Components(path);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
        if (IsRecycleFolderName(parts[i]))
            return true;
    return false;
}

bool FolderNameLess(std::string_view a, std::string_view b) {
    if (LessIgnoringCase(a, b))
        return true;
    return !LessIgnoringCase(b, a) && a < b;
}

std::string ParentFolderPath(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (path == "/" || slash == std::string_view::npos)
        return {};
    return std::string(path.substr(0, slash + 1));
}

std::string FolderNameOf(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    if (path == "/")
        return "/";
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ReplacePathRoot(const std::string& path, const std::string& oldRoot, const std::string& newRoot) {
    if (path.compare(0, oldRoot.size(), oldRoot) != 0)
        return path;
    return newRoot + path.substr(oldRoot.size());
}

std::string GetSysPathName(const std::string& path) {
    if (path.empty() || path.front() != '/' || !FileOrDirExists(path))
        return path;
    std::string built;
    for (std::string_view part : Components(path)) {
        std::string name(part);
        struct stat st {};
        const std::string parent = built.empty() ? "/" : built + "/";
        // The stored spelling differs only where the mount ignores letter case.
        if (::lstat((parent + name).c_str(), &st) == 0) {
            if (DIR* dir = ::opendir(parent.c_str())) {
                bool exact = false;
                std::string folded;
                while (const dirent* e = ::readdir(dir)) {
                    if (part == e->d_name) {
                        exact = true;
                        break;
                    }
                    if (folded.empty() && EqualsIgnoringCase(part, e->d_name))
                        folded = e->d_name;
                }
                ::closedir(dir);
                if (!exact && !folded.empty())
                    name = folded;
            }
        }
        built += "/" + name;
    }
    return built.empty() ? "/" : built;
}

std::string GetShellPathName(const std::string& path) {
    return GetSysPathName(path);
}

struct BackgroundLister::Job {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    std::vector<TDirRec> result;
    std::string driveRoot;
};

std::optional<std::vector<TDirRec>> BackgroundLister::Wait(Job& job, std::chrono::milliseconds timeout) {
    std::unique_lock lock(job.mutex);
    if (!job.cv.wait_for(lock, timeout, [&] { return job.done; }))
        return std::nullopt;
    return std::move(job.result);
}

std::optional<std::vector<TDirRec>> BackgroundLister::Run(const std::string& key, const std::string& driveRoot,
                                                          std::function<std::vector<TDirRec>()> task) {
    // A request abandoned earlier: its answer, or another wait for it.
    if (auto it = abandoned_.find(key); it != abandoned_.end()) {
        std::shared_ptr<Job> job = it->second;
        auto result = Wait(*job, timeout_);
        if (result)
            abandoned_.erase(key);
        return result;
    }
    // Forget finished requests of other keys (their answers are stale by now); give up at
    // once while the drive still owes one.
    for (auto it = abandoned_.begin(); it != abandoned_.end();) {
        bool done;
        {
            std::lock_guard lock(it->second->mutex);
            done = it->second->done;
        }
        if (done) {
            it = abandoned_.erase(it);
        } else {
            if (it->second->driveRoot == driveRoot)
                return std::nullopt;
            ++it;
        }
    }
    auto job = std::make_shared<Job>();
    job->driveRoot = driveRoot;
    try {
        std::thread([job, task = std::move(task)] {
            std::vector<TDirRec> entries = task();
            std::lock_guard lock(job->mutex);
            job->result = std::move(entries);
            job->done = true;
            job->cv.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;  // no thread to spare: as if the drive did not answer
    }
    auto result = Wait(*job, timeout_);
    if (!result)
        abandoned_.emplace(key, std::move(job));
    return result;
}

int BackgroundLister::Outstanding() const {
    int n = 0;
    for (const auto& [folder, job] : abandoned_) {
        std::lock_guard lock(job->mutex);
        n += job->done ? 0 : 1;
    }
    return n;
}

}  // namespace vs

#pragma once

#include "controls/FileTypes.h"

#include <QString>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vs {

// One file of a sorted listing: its real name and its type (index into FileTypes()).
struct ListedFile {
    QString realName;
    int type;
};

// The folder's grid files (ScanFolder) in caption order: by the lower-cased name, compared
// locale-aware and case-sensitively through sort keys made once per name; equal captions keep
// scan order. Nothing when the folder cannot be read.
std::optional<std::vector<ListedFile>> ListFolderSorted(const std::string& folder, const TypeFlags& flags);

// Runs ListFolderSorted on one worker thread. Only the newest request is worked on: a request
// made while another waits replaces it. Each result goes to `done` on the worker thread with
// the ticket of its request; whoever receives it decides whether a newer ticket supersedes it.
class FolderLister {
public:
    using Done = std::function<void(std::uint64_t ticket, std::optional<std::vector<ListedFile>> listing)>;

    explicit FolderLister(Done done);
    ~FolderLister();  // waits for a listing in progress; a waiting request is dropped
    FolderLister(const FolderLister&) = delete;
    FolderLister& operator=(const FolderLister&) = delete;

    void Request(std::uint64_t ticket, std::string folder, const TypeFlags& flags);

private:
    struct Job {
        std::uint64_t ticket;
        std::string folder;
        TypeFlags flags;
    };
    void Run();

    Done done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> next_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace vs

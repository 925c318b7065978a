#pragma once

#include "controls/FileTypes.h"
#include "controls/GridModel.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vs {

// The folder's grid files (ScanFolder) in caption order, as the grid's items: by the lower-cased
// name, compared locale-aware and case-sensitively through sort keys made once per name; equal
// captions keep scan order. Each item has its type's icon, or none yet for a picture. Nothing
// when the folder cannot be read.
std::optional<GridContents> ListFolderSorted(const std::string& folder, const TypeFlags& flags);

// Runs ListFolderSorted on one worker thread. Only the newest request is worked on: a request
// made while another waits replaces it. Each result goes to `done` on the worker thread with
// the ticket of its request; whoever receives it decides whether a newer ticket supersedes it.
class FolderLister {
public:
    using Done = std::function<void(std::uint64_t ticket, std::optional<GridContents> listing)>;

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

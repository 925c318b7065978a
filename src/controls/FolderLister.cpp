#include "controls/FolderLister.h"

#include "controls/FolderScan.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>

namespace vs {

std::optional<std::vector<ListedFile>> ListFolderSorted(const std::string& folder, const TypeFlags& flags) {
    auto scanned = ScanFolder(folder, flags);
    if (!scanned)
        return std::nullopt;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::vector<ListedFile> files;
    std::vector<QCollatorSortKey> keys;
    files.reserve(scanned->size());
    keys.reserve(scanned->size());
    for (ScannedFile& f : *scanned) {
        files.push_back({QString::fromStdString(f.name), f.type});
        keys.push_back(collator.sortKey(files.back().realName.toLower()));
    }
    std::vector<std::size_t> order(files.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<ListedFile> sorted;
    sorted.reserve(files.size());
    for (const std::size_t i : order) sorted.push_back(std::move(files[i]));
    return sorted;
}

FolderLister::FolderLister(Done done) : done_(std::move(done)), worker_([this] { Run(); }) {}

FolderLister::~FolderLister() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        next_.reset();
    }
    wake_.notify_one();
    worker_.join();
}

void FolderLister::Request(std::uint64_t ticket, std::string folder, const TypeFlags& flags) {
    {
        std::lock_guard lock(mutex_);
        next_ = Job{ticket, std::move(folder), flags};
    }
    wake_.notify_one();
}

void FolderLister::Run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || next_; });
            if (stopping_)
                return;
            job = std::move(*next_);
            next_.reset();
        }
        done_(job.ticket, ListFolderSorted(job.folder, job.flags));
    }
}

}  // namespace vs

#include "controls/FolderLister.h"

#include "controls/FolderScan.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>
#include <thread>

namespace vs {

namespace {

// Makes the sort keys of files [from, to) and orders those positions by them; equal captions
// keep their order.
void SortRange(const std::vector<ScannedFile>& files, std::vector<QCollatorSortKey>& keys,
               std::vector<std::uint32_t>& order, std::uint32_t from, std::uint32_t to) {
    // A collator of its own: one is not shared between threads.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    for (std::uint32_t i = from; i < to; ++i)
        keys[i] = collator.sortKey(QString::fromStdString(files[i].name).toLower());
    std::iota(order.begin() + from, order.begin() + to, from);
    std::stable_sort(order.begin() + from, order.begin() + to,
                     [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].compare(keys[b]) < 0; });
}

}  // namespace

std::optional<GridContents> ListFolderSorted(const std::string& folder, const TypeFlags& flags) {
    auto scanned = ScanFolder(folder, flags);
    if (!scanned)
        return std::nullopt;
    const std::vector<ScannedFile>& files = *scanned;
    const auto count = static_cast<std::uint32_t>(files.size());
    // Keys cannot be made empty: every slot starts as the key of "" until its own is made.
    std::vector<QCollatorSortKey> keys(count, QCollator().sortKey(QString()));
    std::vector<std::uint32_t> order(count);
    // Keys and sorting are most of the work on a big folder: with a second core, each half
    // is done on its own thread and the halves merged, the first half winning ties, which
    // keeps the order of equal captions.
    if (count >= 4096 && std::thread::hardware_concurrency() > 1) {
        const std::uint32_t half = count / 2;
        std::thread helper([&] { SortRange(files, keys, order, half, count); });
        SortRange(files, keys, order, 0, half);
        helper.join();
        std::vector<std::uint32_t> merged(count);
        std::merge(order.begin(), order.begin() + half, order.begin() + half, order.end(), merged.begin(),
                   [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].compare(keys[b]) < 0; });
        order = std::move(merged);
    } else {
        SortRange(files, keys, order, 0, count);
    }
    keys.clear();
    GridContents contents;
    contents.rows.reserve(count);
    std::size_t bytes = 0;
    for (const ScannedFile& f : files) bytes += f.name.size();
    contents.names.reserve(bytes);
    for (const std::uint32_t i : order)
        contents.Add(files[i].name, FileTypes()[static_cast<std::size_t>(files[i].type)].iconIndex);
    return contents;
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

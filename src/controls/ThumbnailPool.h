#pragma once

#include "graphics/Bitmap.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vs {

struct ThumbnailJob {
    std::uint64_t generation = 0;  // the scan the job belongs to
    std::uint64_t itemId = 0;
    std::string path;
    int kind = 0;
};

struct ThumbnailResult {
    enum class Outcome { Made, Failed, Unopenable };
    std::uint64_t generation = 0;
    std::uint64_t itemId = 0;
    Outcome outcome = Outcome::Failed;
    Bitmap thumbnail;      // 80 x 60, 24-bit, when made
    std::string sizeText;  // the picture's full size, when made
};

// Worker threads that make grid thumbnails with the pure, thread-safe decoders. The most
// recently submitted job runs first, so the items the user looks at now come before the ones
// scrolled past. Results go to deliver on the worker thread; the owner moves them to its own
// thread. Cancel drops every job of older scans that has not started.
class ThumbnailPool {
public:
    using Deliver = std::function<void(ThumbnailResult&&)>;
    // Makes one thumbnail; LoadMicroImageFromFile unless a test supplies another.
    using Loader = std::function<bool(const std::string& path, int kind, Bitmap& thumb, std::string& sizeText)>;

    ThumbnailPool(int threads, Deliver deliver, Loader loader = {});
    ~ThumbnailPool();
    ThumbnailPool(const ThumbnailPool&) = delete;
    ThumbnailPool& operator=(const ThumbnailPool&) = delete;

    void Submit(ThumbnailJob job);
    // Drops queued jobs whose generation is below the given one.
    void CancelBefore(std::uint64_t generation);
    // Jobs queued or running.
    std::size_t Pending() const;

    // Makes one thumbnail as the workers do.
    ThumbnailResult Make(const ThumbnailJob& job) const;

private:
    void Run();

    Deliver deliver_;
    Loader loader_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<ThumbnailJob> queue_;
    std::size_t running_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// The one rule for a thumbnail, whichever thread makes it (loader empty: the standard one).
// Made; Failed when the file is no readable picture, memory runs out or anything else goes
// wrong (the item stays, without a picture); Unopenable only when the file can no longer be
// opened (the item goes). thumb and sizeText are cleared unless made.
ThumbnailResult::Outcome MakeThumbnail(const ThumbnailPool::Loader& loader, const std::string& path, int kind,
                                       Bitmap& thumb, std::string& sizeText);

}  // namespace vs

#include "controls/ThumbnailPool.h"

#include "graphics/Errors.h"
#include "viewer/PictureLoader.h"

#include <algorithm>

namespace vs {

ThumbnailResult::Outcome MakeThumbnail(const ThumbnailPool::Loader& loader, const std::string& path, int kind,
                                       Bitmap& thumb, std::string& sizeText) {
    using Outcome = ThumbnailResult::Outcome;
    Outcome outcome = Outcome::Failed;
    try {
        const bool made = loader ? loader(path, kind, thumb, sizeText) : LoadMicroImageFromFile(path, kind, thumb, sizeText);
        outcome = made ? Outcome::Made : Outcome::Failed;
    } catch (const OpenError&) {
        outcome = Outcome::Unopenable;
    } catch (const std::exception&) {
        // Out of memory or any other error: the item keeps no picture, as for a bad file.
        outcome = Outcome::Failed;
    }
    if (outcome != Outcome::Made) {
        thumb = Bitmap();
        sizeText.clear();
    }
    return outcome;
}

ThumbnailPool::ThumbnailPool(int threads, Deliver deliver, Loader loader)
    : deliver_(std::move(deliver)), loader_(std::move(loader)) {
    for (int i = 0; i < std::max(1, threads); ++i)
        threads_.emplace_back([this] { Run(); });
}

ThumbnailPool::~ThumbnailPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (auto& t : threads_)
        t.join();
}

void ThumbnailPool::Submit(ThumbnailJob job) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_front(std::move(job));
    }
    wake_.notify_one();
}

void ThumbnailPool::CancelBefore(std::uint64_t generation) {
    std::lock_guard lock(mutex_);
    std::erase_if(queue_, [generation](const ThumbnailJob& j) { return j.generation < generation; });
}

std::size_t ThumbnailPool::Pending() const {
    std::lock_guard lock(mutex_);
    return queue_.size() + running_;
}

ThumbnailResult ThumbnailPool::Make(const ThumbnailJob& job) const {
    ThumbnailResult r;
    r.generation = job.generation;
    r.itemId = job.itemId;
    r.outcome = MakeThumbnail(loader_, job.path, job.kind, r.thumbnail, r.sizeText);
    return r;
}

void ThumbnailPool::Run() {
    for (;;) {
        ThumbnailJob job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            job = std::move(queue_.front());
            queue_.pop_front();
            ++running_;
        }
        ThumbnailResult result = Make(job);
        deliver_(std::move(result));
        std::lock_guard lock(mutex_);
        --running_;
    }
}

}  // namespace vs

// Camera photos in the grid: a thumbnail made from the embedded Exif preview against
// libjpeg's 1/8-scale decode of the same 12-megapixel file, and a second visit of a folder of
// 1,000 such photos through the shared thumbnail cache against the first visit. Also the
// turn that stands a decoded 12-megapixel portrait photo upright.

#include "CameraJpeg.h"
#include "controls/ThumbnailCache.h"
#include "controls/ThumbnailPool.h"
#include "formats/JpegReader.h"
#include "graphics/FileIo.h"
#include "graphics/Orientation.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

// The grid of a 1280x1024 window shows about this many 80x60 items at once.
constexpr int kVisibleItems = 60;
constexpr int kFolderSize = 1000;

// The 12-megapixel camera picture with a 160x120 preview in its Exif block, as cameras write
// it (exiftool stores the preview; ImageMagick makes it from the picture).
std::string CameraJpegWithPreview() {
    static std::string made;
    if (!made.empty())
        return made;
    const std::string plain = vs::bench::CameraJpeg(4000, 3000);
    const fs::path dir = fs::temp_directory_path() / "vantorsee-bench-camera";
    fs::create_directories(dir);
    const std::string photo = (dir / "photo.jpg").string(), preview = (dir / "preview.jpg").string();
    fs::copy_file(plain, photo, fs::copy_options::overwrite_existing);
    const std::string cmd = "convert " + plain + " -resize 160x120 " + preview +
                            " && exiftool -q -overwrite_original '-ThumbnailImage<=" + preview + "' " + photo;
    if (std::system(cmd.c_str()) != 0)
        return {};
    made = photo;
    return made;
}

void BM_PreviewThumbnail(benchmark::State& state) {
    const std::string path = CameraJpegWithPreview();
    if (path.empty()) {
        state.SkipWithError("convert or exiftool missing");
        return;
    }
    for (auto _ : state) {
        vs::Bitmap thumb;
        std::string size;
        if (!vs::LoadMicroImageFromFile(path, vs::kKindJpeg, thumb, size))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(thumb.bits());
    }
}

void BM_EighthScaleDecodeOfTheSameFile(benchmark::State& state) {
    const std::string path = CameraJpegWithPreview();
    if (path.empty()) {
        state.SkipWithError("convert or exiftool missing");
        return;
    }
    for (auto _ : state) {
        const auto bytes = vs::ReadFileBytes(path);
        vs::JpegDecodeOptions options;
        options.scaleDenom = 8;
        benchmark::DoNotOptimize(vs::DecodeJpeg(bytes, options).bits());
    }
}

// A photo stored turned, stood upright as the viewer shows it: orientation 3 (camera upside
// down) reads the rows backwards, 6 (camera turned right, the usual portrait) reads columns.
void BM_Upright_12MP(benchmark::State& state) {
    vs::Bitmap stored(4000, 3000, vs::PixelFormat::Bpp24);
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width() * 3; ++x) stored.row(y)[x] = static_cast<std::uint8_t>(x ^ y);
    for (auto _ : state) {
        state.PauseTiming();
        vs::Bitmap picture = stored;
        state.ResumeTiming();
        vs::ApplyOrientation(picture, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(picture.bits());
    }
}

// A folder of 1,000 photos (hard links of one preview-less 12-megapixel file, so each has its
// own name and URI), and a fresh cache folder.
struct Folder {
    fs::path photos = fs::temp_directory_path() / "vantorsee-bench-folder";
    fs::path cache = fs::temp_directory_path() / "vantorsee-bench-thumbnails";
    Folder() {
        fs::remove_all(cache);
        if (fs::exists(photos / ("p" + std::to_string(kFolderSize - 1) + ".jpg")))
            return;
        fs::create_directories(photos);
        const std::string source = vs::bench::CameraJpeg(4000, 3000);
        for (int i = 0; i < kFolderSize; ++i) fs::create_hard_link(source, photos / ("p" + std::to_string(i) + ".jpg"));
    }
    std::string Photo(int i) const { return (photos / ("p" + std::to_string(i) + ".jpg")).string(); }
};

// What the grid's workers do for the visible items on a first visit: decode, fit, store.
void VisitVisible(const Folder& folder, const vs::ThumbnailCache& cache, int threads) {
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < kVisibleItems; i = next++) {
            vs::Bitmap thumb;
            std::string size;
            vs::LoadMicroImageThroughCache(cache, folder.Photo(i), vs::kKindJpeg, thumb, size);
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (auto& t : pool) t.join();
}

void BM_FirstVisitVisibleThumbnails(benchmark::State& state) {
    const Folder folder;
    const vs::ThumbnailCache cache(folder.cache.string());
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder.cache);
        state.ResumeTiming();
        VisitVisible(folder, cache, static_cast<int>(state.range(0)));
    }
}

// Every visible thumbnail of the second visit comes from the cache: no decode at all.
void BM_SecondVisitVisibleThumbnails(benchmark::State& state) {
    const Folder folder;
    const vs::ThumbnailCache cache(folder.cache.string());
    VisitVisible(folder, cache, 2);
    for (auto _ : state) VisitVisible(folder, cache, 1);
}

}  // namespace

BENCHMARK(BM_PreviewThumbnail)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EighthScaleDecodeOfTheSameFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Upright_12MP)->Arg(3)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstVisitVisibleThumbnails)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SecondVisitVisibleThumbnails)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

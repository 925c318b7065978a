// Grid thumbnails of 12-megapixel PNG and HEIC pictures through our thumbnail path
// (LoadMicroImageFromFile) and as whole processes against `vipsthumbnail --size 80x60`
// (skipped when not installed, package libvips-tools). The pictures are made on first use:
// the PNG by our writer from the camera-like test picture, the HEIC from it by heif-enc with
// a stored 320-pixel thumbnail, as phones write them (HEIC runs are skipped without heif-enc).

#include "BenchProcess.h"
#include "CameraJpeg.h"
#include "graphics/PngFile.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

using namespace vs::bench;

constexpr int kWidth = 4000, kHeight = 3000;

std::string Made(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("vantorsee-bench-12mp." + name)).string();
}

const std::string& PngFile() {
    static const std::string path = [] {
        const std::string p = Made("png");
        if (!std::filesystem::exists(p))
            vs::SavePngFile(vs::DecodePicture(CameraJpeg(kWidth, kHeight), vs::kKindJpeg), p);
        return p;
    }();
    return path;
}

// Empty when heif-enc cannot make it.
const std::string& HeicFile() {
    static const std::string path = [] {
        const std::string p = Made("heic");
        if (!std::filesystem::exists(p) &&
            std::system(("heif-enc -q 50 -t 320 -o " + p + " " + PngFile() + " >/dev/null 2>&1").c_str()) != 0)
            return std::string();
        return p;
    }();
    return path;
}

void SetCounters(benchmark::State& state) {
    state.counters["megapixels"] = static_cast<double>(kWidth) * kHeight / 1e6;
    state.SetItemsProcessed(state.iterations());
}

// The grid's thumbnail: decode (a HEIC's stored thumbnail when usePreview allows), fit 80x60.
void Thumbnail(benchmark::State& state, const std::string& path, int kind, bool usePreview) {
    if (path.empty()) {
        state.SkipWithError("heif-enc cannot write HEIC");
        return;
    }
    for (auto _ : state) {
        vs::Bitmap thumb;
        std::string size;
        if (!vs::LoadMicroImageFromFile(path, kind, thumb, size, vs::CellHint{80, 60, usePreview}, 80, 60))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(thumb.bits());
    }
    SetCounters(state);
}

void BM_PngThumbnail(benchmark::State& state) { Thumbnail(state, PngFile(), vs::kKindPng, true); }
void BM_HeicThumbnailStored(benchmark::State& state) { Thumbnail(state, HeicFile(), vs::kKindHeif, true); }
void BM_HeicThumbnailFullDecode(benchmark::State& state) { Thumbnail(state, HeicFile(), vs::kKindHeif, false); }

// One process start per iteration: our tool (with or without the stored thumbnail), then
// vipsthumbnail, which also takes a HEIC's stored thumbnail when it is large enough.
void Process(benchmark::State& state, const std::string& path, const std::string& tool) {
    if (path.empty()) {
        state.SkipWithError("heif-enc cannot write HEIC");
        return;
    }
    const std::string out = OutputFolder("vantorsee-bench-out").string();
    if (tool == "vips") {
        if (!HaveCommand("vipsthumbnail")) {
            state.SkipWithError("vipsthumbnail not installed (package libvips-tools)");
            return;
        }
        RunCommand(state, "vipsthumbnail --size 80x60 -o " + out + "/vips.jpg " + path);
    } else {
        if (!std::filesystem::exists(ToolPath())) {
            state.SkipWithError("vantorsee-tool not built");
            return;
        }
        RunCommand(state, ToolPath() + " thumb " + path + " -o " + out + tool);
    }
}

void BM_ProcessPngOurs(benchmark::State& state) { Process(state, PngFile(), ""); }
void BM_ProcessPngVips(benchmark::State& state) { Process(state, PngFile(), "vips"); }
void BM_ProcessHeicOurs(benchmark::State& state) { Process(state, HeicFile(), ""); }
void BM_ProcessHeicOursFullDecode(benchmark::State& state) { Process(state, HeicFile(), " --no-preview"); }
void BM_ProcessHeicVips(benchmark::State& state) { Process(state, HeicFile(), "vips"); }

}  // namespace

BENCHMARK(BM_PngThumbnail)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeicThumbnailStored)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeicThumbnailFullDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessPngOurs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessPngVips)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessHeicOurs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessHeicOursFullDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessHeicVips)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();

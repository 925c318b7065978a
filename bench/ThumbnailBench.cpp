// Thumbnails of large camera-sized JPEGs: our grid thumbnail (decoded at the largest DCT
// reduction that still covers the 80x60 cell, then fitted) against the same thumbnail from a
// full-size decode, against libjpeg's own 1/8-scale decode (what `djpeg -scale 1/8` does,
// without writing the output) and, when installed, against `vipsthumbnail --size 80x60`.
// The pictures are made here with libjpeg, so nothing is needed on disk.

#include "BenchProcess.h"
#include "CameraJpeg.h"
#include "formats/JpegReader.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

using vs::bench::CameraJpeg;
using vs::bench::HaveCommand;
using vs::bench::OutputFolder;
using vs::bench::RunCommand;
using vs::bench::ToolPath;

void SetPictureCounters(benchmark::State& state, int width, int height) {
    state.counters["megapixels"] = static_cast<double>(width) * height / 1e6;
    state.SetItemsProcessed(state.iterations());
}

// The grid's thumbnail: read the file, decode reduced in the DCT, convert, fit into 80x60.
void BM_ThumbnailDctScaled(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const std::string path = CameraJpeg(w, h);
    for (auto _ : state) {
        vs::Bitmap thumb;
        std::string size;
        if (!vs::LoadMicroImageFromFile(path, 1, thumb, size))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(thumb.bits());
    }
    SetPictureCounters(state, w, h);
}

// The same thumbnail without the reduced decode: full-size decode, then fit.
void BM_ThumbnailFullDecode(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const std::string path = CameraJpeg(w, h);
    for (auto _ : state) {
        vs::Bitmap picture = vs::DecodePicture(path, 1);
        picture.convertTo24();
        vs::ChangeToMicroImage(picture, 80, 60);
        benchmark::DoNotOptimize(picture.bits());
    }
    SetPictureCounters(state, w, h);
}

// The floor: libjpeg's own 1/8-scale decode of the file (djpeg -scale 1/8 minus its output).
void BM_LibjpegEighthScale(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const std::string path = CameraJpeg(w, h);
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = vs::ReadFileBytes(path);
        jpeg_decompress_struct cinfo{};
        jpeg_error_mgr err{};
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.scale_num = 1;
        cinfo.scale_denom = 8;
        jpeg_start_decompress(&cinfo);
        std::vector<JSAMPLE> row(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW p = row.data();
            jpeg_read_scanlines(&cinfo, &p, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(row.data());
    }
    SetPictureCounters(state, w, h);
}

// Whole processes side by side: our tool, djpeg at 1/8 and vipsthumbnail (skipped when not
// installed).
void BM_ProcessVantorseeThumb(benchmark::State& state) {
    const std::string path = CameraJpeg(4000, 3000);
    // djpeg writes to /dev/null; our tool always writes its BMP safely (with fsync).
    const auto out = OutputFolder("vantorsee-bench-out");
    if (!std::filesystem::exists(ToolPath())) {
        state.SkipWithError("vantorsee-tool not built");
        return;
    }
    RunCommand(state, ToolPath() + " thumb " + path + " -o " + out.string());
}

void BM_ProcessDjpegEighth(benchmark::State& state) {
    RunCommand(state, "djpeg -scale 1/8 -outfile /dev/null " + CameraJpeg(4000, 3000));
}

void BM_ProcessVipsthumbnail(benchmark::State& state) {
    if (!HaveCommand("vipsthumbnail")) {
        state.SkipWithError("vipsthumbnail not installed (package libvips-tools)");
        return;
    }
    const auto out = (std::filesystem::temp_directory_path() / "vantorsee-bench-vips.jpg").string();
    RunCommand(state, "vipsthumbnail --size 80x60 -o " + out + " " + CameraJpeg(4000, 3000));
}

}  // namespace

BENCHMARK(BM_ThumbnailDctScaled)->Args({4000, 3000})->Args({6000, 4000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThumbnailFullDecode)->Args({4000, 3000})->Args({6000, 4000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegEighthScale)->Args({4000, 3000})->Args({6000, 4000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessVantorseeThumb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessDjpegEighth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessVipsthumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();

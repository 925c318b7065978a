// The fits run on every resize of the content area and for every thumbnail.

#include "viewer/Fitting.h"

#include <benchmark/benchmark.h>

namespace {

vs::Bitmap Picture(int w, int h) {
    vs::Bitmap b(w, h, vs::PixelFormat::Bpp24);
    for (int y = 0; y < h; ++y)
        for (std::size_t i = 0; i < 3 * static_cast<std::size_t>(w); ++i)
            b.row(y)[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(y));
    return b;
}

// A 24-megapixel photo shown at Auto Size on a full-HD content area.
void BM_FitBitmapInto_24MP_to_1920x1080(benchmark::State& state) {
    const vs::Bitmap source = Picture(6000, 4000);
    vs::Bitmap target;
    for (auto _ : state) {
        vs::FitBitmapInto(source, target, 1920, 1080);
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_FitBitmapInto_24MP_to_1920x1080)->Unit(benchmark::kMillisecond);

// The whole refresh: layout plus render, as a window resize triggers it.
void BM_AutoSizeRefresh_24MP(benchmark::State& state) {
    const vs::Bitmap source = Picture(6000, 4000);
    vs::Bitmap shown;
    for (auto _ : state) {
        const auto layout = vs::ComputeZoomLayout(6000, 4000, 1924, 1084, vs::ZoomMode::AutoSize);
        vs::RenderZoomedImage(source, layout, vs::ZoomMode::AutoSize, shown);
        benchmark::DoNotOptimize(shown.bits());
    }
}
BENCHMARK(BM_AutoSizeRefresh_24MP)->Unit(benchmark::kMillisecond);

// A 12-megapixel photo into a grid cell. The copy of the picture is part of the measure,
// since the function works in place; it is timed separately below to subtract.
void BM_ChangeToMicroImage_12MP(benchmark::State& state) {
    const vs::Bitmap source = Picture(4000, 3000);
    for (auto _ : state) {
        state.PauseTiming();
        vs::Bitmap b = source;
        state.ResumeTiming();
        vs::ChangeToMicroImage(b, 80, 60);
        benchmark::DoNotOptimize(b.bits());
    }
}
BENCHMARK(BM_ChangeToMicroImage_12MP)->Unit(benchmark::kMicrosecond);

}  // namespace

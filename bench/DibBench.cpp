// Colour reduction and resampling of a 12-megapixel photograph-like picture (smooth
// gradients with noise, so the histogram is well filled).
#include "vantor/dibkit.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

VDK_HDIB Picture() {
    static VDK_HDIB dib = [] {
        const std::size_t stride = kWidth * 3;
        const VDK_HDIB h = vdk_GlobalAlloc(VDK_GHND, 40 + stride * kHeight);
        auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(h));
        VDK_BITMAPINFOHEADER header{40, kWidth, kHeight, 1, 24, 0, 0, 0, 0, 0, 0};
        std::memcpy(p, &header, 40);
        std::mt19937 random(1);
        std::uint8_t* px = p + 40;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x, px += 3) {
                const int noise = static_cast<int>(random() % 9) - 4;
                px[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / kWidth + noise, 0, 255));
                px[1] = static_cast<std::uint8_t>(std::clamp(y * 255 / kHeight + noise, 0, 255));
                px[2] = static_cast<std::uint8_t>(std::clamp((x + y) * 255 / (kWidth + kHeight) + noise, 0, 255));
            }
        vdk_GlobalUnlock(h);
        return h;
    }();
    return dib;
}

void Quantize(benchmark::State& state) {
    const VDK_HDIB dib = Picture();
    for (auto _ : state)
        vdk_GlobalFree(QuantizeDIB(dib, 8, static_cast<int32_t>(state.range(0)), 0, nullptr, 0, nullptr));
}
BENCHMARK(Quantize)->Arg(0)->Arg(1)->ArgName("dither")->Unit(benchmark::kMillisecond);

void Reduce(benchmark::State& state) {
    const VDK_HDIB dib = Picture();
    for (auto _ : state) vdk_GlobalFree(ReduceColors(dib, 8, static_cast<int32_t>(state.range(0))));
}
BENCHMARK(Reduce)->Arg(0)->Arg(2)->Arg(3)->ArgName("flags")->Unit(benchmark::kMillisecond);

void Copy(benchmark::State& state) {
    const VDK_HDIB dib = Picture();
    const auto width = static_cast<int32_t>(state.range(0));
    for (auto _ : state) vdk_GlobalFree(DKImageCopy(dib, width, width * 3 / 4, nullptr, 0));
}
BENCHMARK(Copy)->Arg(4000)->Arg(1024)->Arg(6000)->ArgName("width")->Unit(benchmark::kMillisecond);

}  // namespace

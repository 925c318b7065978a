// Resizing the content area while a 24-megapixel picture is shown at Auto Size: the whole
// refresh of the window (fit, conversion for the screen, placing the frame, painting).

#include "app/TMainForm.h"
#include "graphics/BmpFile.h"
#include "platform/testing/FakePlatform.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string& Base() {
    static std::string base;
    if (!base.empty())
        return base;
    std::string pattern = (fs::temp_directory_path() / "vs-bench-view-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    base = pattern + "/";
    fs::create_directories(base + "bin/Photo Folder");
    vs::Bitmap big(6000, 4000, vs::PixelFormat::Bpp24);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            big.row(y)[3 * x + (x + y) % 3] = static_cast<std::uint8_t>(x ^ y);
    vs::SaveBmpFile(big, base + "bin/Photo Folder/big.bmp");
    return base;
}

void BM_ResizeAutoSize_24MP(benchmark::State& state) {
    vs::fake::FakePrompts prompts;
    vs::fake::FakeWallpaper wallpaper;
    vs::MainFormEnvironment env{Base() + "settings.reg", Base() + "bin", Base() + "Pictures"};
    env.wallpaper = &wallpaper;
    vs::TMainForm form(prompts, env);
    form.show();
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        // A drag of the window edge: a few pixels at a time.
        form.SeeBox->resize(1200 + (step % 40) * 3, 800 + (step % 40) * 2);
        form.SeePanel->repaint();
        ++step;
    }
    state.counters["shown_w"] = form.Image1->width();
}
BENCHMARK(BM_ResizeAutoSize_24MP)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(Base(), ec);
    return 0;
}

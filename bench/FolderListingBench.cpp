// Opening a folder of 10,000 files: the name scan alone, and the grid's whole rescan
// (scan, sort by caption, items) as the window does it. Thumbnails are not part of it.

#include "controls/FolderScan.h"
#include "controls/TImagesListView.h"
#include "graphics/BmpFile.h"
#include "QtBenchMain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char* const kEndings[] = {".jpg", ".bmp", ".tif", ".kev", ".xf", ".avi", ".mp3", ".txt", ".html", ".zip"};

// A folder of count small files with the grid's endings (and some it ignores).
const std::string& Folder(int count) {
    static std::string made;
    if (!made.empty())
        return made;
    std::string pattern = (std::filesystem::temp_directory_path() / "vs-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/Picture %05d%s", (i * 7919) % count, kEndings[i % 10]);
        std::ofstream(pattern + name) << 'x';
    }
    made = pattern + "/";
    return made;
}

void BM_ScanFolder(benchmark::State& state) {
    const std::string& folder = Folder(10000);
    for (auto _ : state) {
        auto files = vs::ScanFolder(folder, vs::AllTypesOn());
        benchmark::DoNotOptimize(files);
    }
    state.counters["files"] = static_cast<double>(vs::ScanFolder(folder, vs::AllTypesOn())->size());
}
BENCHMARK(BM_ScanFolder)->Unit(benchmark::kMillisecond);

void BM_GridRefresh(benchmark::State& state) {
    const std::string& folder = Folder(10000);
    vs::TImagesListView grid;
    grid.resize(800, 600);
    grid.show();
    grid.SetFPath(QString::fromStdString(folder));
    for (auto _ : state) {
        grid.RefreshImages();
        // Let the view lay the items out and paint once, as the window would before the
        // user sees the folder.
        grid.repaint();
        QCoreApplication::processEvents();
    }
    state.counters["items"] = grid.count();
}
BENCHMARK(BM_GridRefresh)->Unit(benchmark::kMillisecond);

// Scrolling through large pictures whose thumbnails are not made yet: the time the window
// spends per page of scrolling (layout, paint, queuing and applying results) while the
// workers decode in the background. The decodes themselves are not on this clock.
void BM_ScrollLargePictures(benchmark::State& state) {
    static std::string folder;
    if (folder.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "vs-bench-big-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        folder = pattern + "/";
        vs::Bitmap big(1600, 1200, vs::PixelFormat::Bpp24);
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                big.row(y)[3 * x + (x + y) % 3] = static_cast<std::uint8_t>(x ^ y);
        for (int i = 0; i < 120; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "big%03d.bmp", i);
            vs::SaveBmpFile(big, folder + name);
        }
    }
    vs::TImagesListView grid;
    grid.resize(800, 400);
    grid.show();
    double total = 0;
    double worst = 0;
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        grid.SetFPath(QString::fromStdString(folder));
        grid.repaint();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        for (int row = 0; row < grid.count(); row += 8) {
            const auto start = std::chrono::steady_clock::now();
            grid.scrollToItem(grid.item(row));
            grid.repaint();
            QCoreApplication::processEvents();
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            total += ms;
            worst = std::max(worst, ms);
            ++steps;
        }
        state.PauseTiming();
        while (grid.PendingThumbnails() > 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["step_ms_mean"] = total / std::max(1, steps);
    state.counters["step_ms_worst"] = worst;
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}
BENCHMARK(BM_ScrollLargePictures)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return vs::bench::RunQtBenchmarks(argc, argv, [] {
        std::error_code ec;
        std::filesystem::remove_all(Folder(10000), ec);
    });
}

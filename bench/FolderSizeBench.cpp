// Folders of 1,000, 10,000 and 100,000 pictures: the time from SetFPath to a painted grid,
// the heap the grid holds per item, and the time from creating the main window to its first
// paint with such a folder as the library against an empty one. Thumbnails are not made: the
// files are empty and the loader is never asked within the timed part.

#include "QtBenchMain.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "platform/testing/FakePlatform.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string& Base() {
    static std::string base = vs::bench::MakeTempFolder("vs-bench-size");
    return base;
}

// "<base>/<count>/bin/Photo Folder/" holding count empty ".jpg" files in scrambled order.
std::string PhotoFolder(int count) {
    static std::map<int, std::string> made;
    if (auto it = made.find(count); it != made.end())
        return it->second;
    const std::string folder = Base() + std::to_string(count) + "/bin/Photo Folder/";
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Photo %06d.jpg", static_cast<int>((i * 7919LL) % count));
        std::ofstream(folder + name);
    }
    return made[count] = folder;
}

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

// Waits for a listing the grid runs in the background, then paints once. The wait sleeps
// until the listing's result is posted: polling would take a core from the lister.
void UntilPainted(vs::TImagesListView& grid) {
    while (grid.ListingPending()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    grid.repaint();
    QCoreApplication::processEvents();
}

void BM_SetFPathToPaintedGrid(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const QString folder = QString::fromStdString(PhotoFolder(count));
    const QString empty = QString::fromStdString(PhotoFolder(0));
    const std::size_t before = HeapInUse();
    vs::TImagesListView grid;
    grid.SetBackgroundListing(state.range(1) != 0);
    grid.SetBackgroundThumbnails(false);
    grid.SetThumbnailLoader([](const std::string&, int, vs::Bitmap&, std::string&) { return false; });
    grid.resize(800, 600);
    grid.show();
    grid.SetFPath(empty);
    UntilPainted(grid);
    const std::size_t emptyHeap = HeapInUse();
    for (auto _ : state) {
        state.PauseTiming();
        grid.SetFPath(empty);
        UntilPainted(grid);
        state.ResumeTiming();
        grid.SetFPath(folder);
        UntilPainted(grid);
    }
    // Thumbnails of the painted page are made synchronously on paint here; they are part of
    // "visible thumbnails", which the per-item figure leaves out only approximately.
    state.counters["items"] = grid.count();
    state.counters["heap_KB_per_item"] =
        static_cast<double>(HeapInUse() - emptyHeap) / 1024.0 / std::max(1, grid.count());
    (void)before;
}
BENCHMARK(BM_SetFPathToPaintedGrid)
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->ArgNames({"files", "background"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()  // every thread's work, which a busy machine does not inflate
    ->Iterations(3);

// Creating the window and showing it until its first paint, the library holding count files.
void BM_WindowShown(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    PhotoFolder(count);
    const std::string root = Base() + std::to_string(count) + "/";
    for (auto _ : state) {
        vs::bench::WindowSetup setup(root);
        setup.env.backgroundListing = state.range(1) != 0;
        vs::TMainForm form(setup.prompts, setup.env);
        form.show();
        form.repaint();
        state.PauseTiming();
        while (form.Ui().ImagesListView1->ListingPending())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowShown)
    ->ArgsProduct({{0, 100000}, {0, 1}})
    ->ArgNames({"files", "background"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return vs::bench::RunQtBenchmarks(argc, argv);
}

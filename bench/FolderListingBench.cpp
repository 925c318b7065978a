// Opening a folder of 10,000 files: the name scan alone, and the grid's whole rescan
// (scan, sort by caption, items) as the window does it. Thumbnails are not part of it.

#include "controls/FolderScan.h"
#include "controls/TImagesListView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

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

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(Folder(10000), ec);
    return 0;
}

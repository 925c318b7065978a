// The main window's own work on large inputs. A library of 5,000 folders (50 folders of 20
// folders of 4, plus the 50 and 1,000 above them, with a link cycle): reading the hierarchy
// alone, and the window's whole rebuild of the library tree, as Refresh does it. Resizing the
// content area while a 24-megapixel picture is shown at Auto Size: the whole refresh (fit,
// conversion for the screen, placing the frame, painting).

#include "app/PictureView.h"
#include "app/TMainForm.h"
#include "library/FolderTree.h"
#include "QtBenchMain.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string& Base() {
    static const std::string base = vs::bench::MakeTempFolder("vs-bench-tree", [](const std::string& folder) {
        const std::string library = folder + "bin/Photo Folder/";
        for (int a = 0; a < 50; ++a)
            for (int b = 0; b < 20; ++b)
                for (int c = 0; c < 4; ++c) {
                    char name[96];
                    std::snprintf(name, sizeof name, "Year %02d/Month %02d/Day %d", a, b, c);
                    fs::create_directories(library + name);
                }
        // 4,000 leaves + 1,000 months + 50 years = 5,050 folders.
        fs::create_directory_symlink(library, library + "Year 00/Back to the top");
    });
    return base;
}

std::string Library() { return Base() + "bin/Photo Folder/"; }

void BM_LoadFolderHierarchy(benchmark::State& state) {
    const std::string library = Library();
    std::size_t top = 0;
    for (auto _ : state) {
        auto nodes = vs::LoadFolderHierarchy(library);
        top = nodes.size();
        benchmark::DoNotOptimize(nodes);
    }
    state.counters["top_level"] = static_cast<double>(top);
}
BENCHMARK(BM_LoadFolderHierarchy)->Unit(benchmark::kMillisecond);

void BM_FillFolderTree(benchmark::State& state) {
    vs::bench::WindowSetup setup(Base());
    vs::TMainForm form(setup.prompts, setup.env);
    form.show();
    QCoreApplication::processEvents();
    int nodes = 0;
    for (auto _ : state) {
        form.FillFolderTree();
        form.Ui().FolderTreeView->repaint();
        QCoreApplication::processEvents();
    }
    for (QTreeWidgetItemIterator it(form.Ui().FolderTreeView); *it; ++it)
        ++nodes;
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_FillFolderTree)->Unit(benchmark::kMillisecond);

void BM_ResizeAutoSize_24MP(benchmark::State& state) {
    vs::bench::WindowSetup setup(vs::bench::BigPictureFolder());
    vs::TMainForm form(setup.prompts, setup.env);
    form.show();
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        // A drag of the window edge: a few pixels at a time.
        form.Ui().SeeBox->resize(1200 + (step % 40) * 3, 800 + (step % 40) * 2);
        form.Ui().SeePanel->repaint();
        ++step;
    }
    state.counters["shown_w"] = form.Ui().Image1->width();
}
BENCHMARK(BM_ResizeAutoSize_24MP)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return vs::bench::RunQtBenchmarks(argc, argv);
}

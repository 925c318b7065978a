// The directory tree opening a folder of 5,000 sub-folders (every other one holding a folder
// of its own, so half the new nodes get an expand button): reading the level, sorting it,
// making the nodes and looking into each child for its button, then painting. Once on a
// fixed drive (listings on the calling thread) and once on a network drive (each listing on
// a worker thread, waited for).

#include "QtBenchMain.h"
#include "controls/TDirTree.h"
#include "platform/testing/FakePlatform.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string& Base() {
    static const std::string base = vs::bench::MakeTempFolder("vs-bench-dirtree", [](const std::string& folder) {
        for (int i = 0; i < 5000; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "Folder %04d", (i * 7919) % 5000);  // not in listing order
            fs::create_directories(folder + "big/" + name + (i % 2 ? "/inner" : ""));
        }
    });
    return base;
}

void ExpandBigFolder(benchmark::State& state, const char* fsType) {
    auto mounts = std::make_unique<vs::fake::FakeMountList>();
    mounts->mounts = {{Base() + "big", "/dev/x", fsType, "Big", false}};
    vs::TDirTree tree;
    tree.SetMountList(std::move(mounts));
    tree.resize(300, 600);
    tree.show();
    tree.ReadNew();
    QTreeWidgetItem* drive = tree.topLevelItem(0);
    for (auto _ : state) {
        state.PauseTiming();
        tree.collapseItem(drive);
        tree.ClearNode(drive);
        state.ResumeTiming();
        tree.expandItem(drive);
        tree.repaint();
        QCoreApplication::processEvents();
    }
    int buttons = 0;
    for (int i = 0; i < drive->childCount(); ++i) buttons += drive->child(i)->childCount() > 0 ? 1 : 0;
    state.counters["nodes"] = drive->childCount();
    state.counters["buttons"] = buttons;
}

void BM_ExpandFolderOf5000_Fixed(benchmark::State& state) {
    ExpandBigFolder(state, "ext4");
}
BENCHMARK(BM_ExpandFolderOf5000_Fixed)->Unit(benchmark::kMillisecond);

void BM_ExpandFolderOf5000_Network(benchmark::State& state) {
    ExpandBigFolder(state, "nfs4");
}
BENCHMARK(BM_ExpandFolderOf5000_Network)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return vs::bench::RunQtBenchmarks(argc, argv);
}

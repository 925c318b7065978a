// Pasting 1,000 files of 1 MB into another library folder through the window's Paste command:
// each file copied through a temporary name, flushed to the disk and renamed into place, its
// grid item added, then the grid rescanned. Also the library-level paste alone (no widgets),
// and a drop of the same files onto a folder of the same file system (renames).

#include "app/TMainForm.h"
#include "app/MainFormUi.h"
#include "controls/TImagesListView.h"
#include "library/FileCommands.h"
#include "platform/testing/FakePlatform.h"
#include "QtBenchMain.h"

#include <QAction>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000;
constexpr std::size_t kFileSize = 1 << 20;

const std::string& Base() {
    static std::string base;
    if (!base.empty())
        return base;
    std::string pattern = (fs::temp_directory_path() / "vs-bench-paste-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    base = pattern + "/";
    const std::string source = base + "bin/Photo Folder/Source/";
    fs::create_directories(source);
    fs::create_directories(base + "bin/Photo Folder/Target");
    std::vector<char> bytes(kFileSize);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 2654435761u >> 13);
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "file%04d.txt", i);
        std::ofstream(source + name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return base;
}

std::string Folder(const char* name) { return Base() + "bin/Photo Folder/" + name + "/"; }

void EmptyTarget() {
    for (const auto& e : fs::directory_iterator(Folder("Target")))
        fs::remove(e.path());
}

QTreeWidgetItem* Node(vs::TMainForm& form, const QString& caption) {
    QTreeWidgetItem* root = form.Ui().FolderTreeView->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i)
        if (root->child(i)->text(0) == caption)
            return root->child(i);
    std::abort();
}

void BM_PasteThousandFilesOfOneMegabyte(benchmark::State& state) {
    vs::fake::FakePrompts prompts;
    vs::MainFormEnvironment env{Base() + "settings.reg", Base() + "bin", Base() + "Pictures"};
    vs::TMainForm form(prompts, env);
    form.show();
    for (auto _ : state) {
        state.PauseTiming();
        EmptyTarget();
        form.Ui().FolderTreeView->setCurrentItem(Node(form, "Source"));
        form.Ui().ImagesListView1->selectAll();
        form.Action("CopyToClip")->trigger();
        form.Ui().FolderTreeView->setCurrentItem(Node(form, "Target"));
        state.ResumeTiming();
        form.Action("PasteFromClip")->trigger();
        if (form.Ui().ImagesListView1->count() != kFiles)
            state.SkipWithError("not every file arrived");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFiles * static_cast<std::int64_t>(kFileSize));
}
BENCHMARK(BM_PasteThousandFilesOfOneMegabyte)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The files of a folder as a grid, all selected.
class ListGrid : public vs::FileGrid {
public:
    explicit ListGrid(std::string folder) : folder_(std::move(folder)) {
        for (const auto& e : fs::directory_iterator(folder_))
            names_.push_back(e.path().filename().string());
    }
    std::string Folder() const override { return folder_; }
    int Count() const override { return static_cast<int>(names_.size()); }
    std::string Caption(int i) const override { return names_[static_cast<std::size_t>(i)]; }
    std::string RealName(int i) const override { return names_[static_cast<std::size_t>(i)]; }
    bool Selected(int) const override { return true; }
    void Remove(int i) override { names_.erase(names_.begin() + i); }
    void Add(const std::string& name) override { names_.push_back(name); }
    void Refresh() override {}
    void SelectLast() override {}

private:
    std::string folder_;
    std::vector<std::string> names_;
};

class NoProgress : public vs::BulkProgress {
public:
    void Begin(int) override {}
    void Step() override {}
    void End() override {}
};

void BM_PasteLogicOnly(benchmark::State& state) {
    vs::fake::FakePrompts prompts;
    NoProgress progress;
    bool changes = true;
    for (auto _ : state) {
        state.PauseTiming();
        EmptyTarget();
        ListGrid source(Folder("Source"));
        vs::FileClipboardState clip;
        vs::TakeToClipboard(clip, source, false);
        ListGrid target(Folder("Target"));
        vs::FileCommandContext ctx{prompts, progress, changes, {}, [](const std::string&) { return false; }};
        state.ResumeTiming();
        vs::PasteFromClipboard(clip, target, ctx);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFiles * static_cast<std::int64_t>(kFileSize));
}
BENCHMARK(BM_PasteLogicOnly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_DropThousandFilesOnAFolder(benchmark::State& state) {
    vs::fake::FakePrompts prompts;
    NoProgress progress;
    bool changes = true;
    for (auto _ : state) {
        ListGrid source(Folder("Source"));
        ListGrid target(Folder("Target"));
        vs::FileCommandContext ctx{prompts, progress, changes, {}, [](const std::string&) { return false; }};
        vs::MoveSelectedFiles(source, Folder("Target"), ctx);
        state.PauseTiming();
        ListGrid back(Folder("Target"));
        vs::MoveSelectedFiles(back, Folder("Source"), ctx);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DropThousandFilesOnAFolder)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return vs::bench::RunQtBenchmarks(argc, argv, [] { fs::remove_all(Base()); });
}

// Memory of showing a 24-megapixel picture at Full Size: with the picture shown at Auto Size,
// the peak resident memory (VmHWM, reset just before) while the window switches to Full Size
// and paints, over the memory before the switch. Reported in units of the decoded picture:
// held_over_decoded = (decoded picture + extra) / decoded picture. Its own binary, so nothing
// else has raised the peak.

#include "app/TMainForm.h"
#include "QtBenchMain.h"

#include <QAction>
#include <QApplication>
#include <QFrame>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

// A value of /proc/self/status in bytes ("VmRSS", "VmHWM").
double StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stod(line.substr(key.size() + 1)) * 1024.0;
    return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_FullSizePeakMemory_24MP(benchmark::State& state) {
    vs::bench::WindowSetup setup(vs::bench::BigPictureFolder());
    const double decoded = 6000.0 * 4000.0 * 3.0;
    double extra = 0;
    double steady = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<vs::TMainForm>(setup.prompts, setup.env);
        form->resize(1200, 900);
        form->show();
        QCoreApplication::processEvents();
        const double before = StatusBytes("VmRSS");
        ResetPeak();
        state.ResumeTiming();
        form->Action("FullSize")->trigger();
        form->Ui().SeePanel->repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        extra = StatusBytes("VmHWM") - before;
        steady = StatusBytes("VmRSS") - before;
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["decoded_MB"] = decoded / 1e6;
    state.counters["peak_extra_MB"] = extra / 1e6;
    state.counters["held_after_MB"] = steady / 1e6;
    state.counters["held_over_decoded"] = (decoded + extra) / decoded;
}
BENCHMARK(BM_FullSizePeakMemory_24MP)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return vs::bench::RunQtBenchmarks(argc, argv);
}

// The entry point of benchmarks that need widgets: a QApplication on the offscreen platform
// (unless QT_QPA_PLATFORM names another), then every registered benchmark, then cleanUp.
#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace vs::bench {

// A fresh folder under the system's temporary folder, with a trailing '/'.
inline std::string MakeTempFolder(const char* prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    return pattern + "/";
}

inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& cleanUp) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    cleanUp();
    return 0;
}

}  // namespace vs::bench

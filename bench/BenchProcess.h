#pragma once

// Whole processes timed side by side, as a user would time them, shared by the benchmarks.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vs::bench {

// Each iteration is one process start; a failing command stops the benchmark.
inline void RunCommand(benchmark::State& state, const std::string& command) {
    for (auto _ : state) {
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            break;
        }
    }
}

inline bool HaveCommand(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// vantorsee-tool: VS_TOOL, else beside the benchmark.
inline std::string ToolPath() {
    if (const char* env = std::getenv("VS_TOOL"))
        return env;
    return (std::filesystem::canonical("/proc/self/exe").parent_path() / "vantorsee-tool").string();
}

// A folder for outputs: a memory file system when there is one, to time the work rather
// than the disk.
inline std::filesystem::path OutputFolder(const std::string& name) {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(base / name);
    return base / name;
}

}  // namespace vs::bench

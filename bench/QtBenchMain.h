// The entry point of benchmarks that need widgets: a QApplication on the offscreen platform
// (unless QT_QPA_PLATFORM names another), then every registered benchmark, then cleanUp and
// the removal of every folder MakeTempFolder made. Also the set-up several of them share.
#pragma once

#include "app/TMainForm.h"
#include "graphics/BmpFile.h"
#include "platform/testing/FakePlatform.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vs::bench {

inline std::vector<std::string>& MadeTempFolders() {
    static std::vector<std::string> folders;
    return folders;
}

// A fresh folder under the system's temporary folder, with a trailing '/', filled by fill;
// removed when the benchmarks end.
inline std::string MakeTempFolder(const char* prefix, const std::function<void(const std::string&)>& fill = {}) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    const std::string folder = pattern + "/";
    MadeTempFolders().push_back(folder);
    if (fill)
        fill(folder);
    return folder;
}

// A folder whose "bin/Photo Folder/big.bmp" is a 6000 x 4000 24-bit picture, made once.
inline const std::string& BigPictureFolder() {
    static const std::string base = MakeTempFolder("vs-bench-24mp", [](const std::string& folder) {
        std::filesystem::create_directories(folder + "bin/Photo Folder");
        Bitmap big(6000, 4000, PixelFormat::Bpp24);
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                big.row(y)[3 * x + (x + y) % 3] = static_cast<std::uint8_t>(x ^ y);
        SaveBmpFile(big, folder + "bin/Photo Folder/big.bmp");
    });
    return base;
}

// What a main window needs besides its folder, which holds its settings, "bin" (beside the
// executable, so the library is "bin/Photo Folder/") and "Pictures".
struct WindowSetup {
    explicit WindowSetup(const std::string& folder) : env{folder + "settings.reg", folder + "bin", folder + "Pictures"} {
        env.wallpaper = &wallpaper;
    }
    fake::FakePrompts prompts;
    fake::FakeWallpaper wallpaper;
    MainFormEnvironment env;
};

inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& cleanUp = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (cleanUp)
        cleanUp();
    std::error_code ec;
    for (const std::string& folder : MadeTempFolders()) std::filesystem::remove_all(folder, ec);
    return 0;
}

}  // namespace vs::bench

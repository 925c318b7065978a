// main() of the test binaries that drive widgets: a QApplication on the offscreen platform
// (unless the caller chose another), with a private runtime folder so Qt stays quiet.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

#if defined(__SANITIZE_ADDRESS__)
// Blocks that the libraries under Qt keep until the process ends: the sound server client and
// glib, GStreamer's plugins, the browser engine and fontconfig, and Qt Multimedia's video
// window, whose raster backing store (with its image and paint engine) is never freed when it
// falls back to painting in software. They are allocated only inside those libraries; a leak of
// ours still shows, as the direct leak of our own object that holds them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:g_malloc\n"
           "leak:pa_xmalloc\n"
           "leak:pa_xmalloc0\n"
           "leak:__vasprintf_internal\n"
           "leak:libsrt-gnutls.so\n"
           "leak:libfontconfig.so\n"
           "leak:libQt6WebEngineCore.so\n"
           "leak:libQt6Multimedia.so\n"
           "leak:libqoffscreen.so\n"
           "leak:QBackingStore::QBackingStore\n"
           "leak:QPlatformBackingStore::QPlatformBackingStore\n"
           "leak:QImageData::create\n"
           "leak:QImage::paintEngine\n"
           "leak:QRasterPaintEngine\n"
           "leak:QSurfaceFormat::QSurfaceFormat\n";
}
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::string runtime = (std::filesystem::temp_directory_path() / "vs-runtime-XXXXXX").string();
    if (::mkdtemp(runtime.data())) {
        ::chmod(runtime.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    int rc = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        rc = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(runtime, ec);
    return rc;
}

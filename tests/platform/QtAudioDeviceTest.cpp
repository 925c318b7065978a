// Recording and playback end to end through a sound server of our own: a null sink and a
// 440 Hz sine source. Skipped where no PulseAudio server can be started.

#include "platform/qt/QtAudio.h"

#include "formats/XfAlbum.h"
#include "platform/Wave.h"
#include "support/AlbumFiles.h"
#include "support/QtTestSupport.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vs {
namespace {

namespace fs = std::filesystem;

// A private PulseAudio daemon for this process, stopped by its process id (and ending by
// itself 20 s after its last client, should the test die first).
class SoundServer {
public:
    SoundServer() {
        runtime_ = dir_.file("run");
        fs::create_directories(runtime_);
        ::chmod(runtime_.c_str(), 0700);
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
            ::setenv("HOME", dir_.path().c_str(), 1);
            std::freopen("/dev/null", "w", stderr);
            ::execlp("pulseaudio", "pulseaudio", "-D", "--exit-idle-time=20", "-n",
                     "--load=module-native-protocol-unix", "--load=module-null-sink sink_name=nullsink",
                     "--load=module-sine-source source_name=sine rate=22050 frequency=440",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return;
        std::ifstream pidFile(runtime_ + "/pulse/pid");
        pidFile >> daemon_;
        if (daemon_ > 0)
            ::setenv("PULSE_SERVER", ("unix:" + runtime_ + "/pulse/native").c_str(), 1);
    }
    ~SoundServer() {
        if (daemon_ > 0)
            ::kill(daemon_, SIGTERM);
    }
    bool running() const { return daemon_ > 0; }

private:
    test::TempDir dir_;
    std::string runtime_;
    pid_t daemon_ = 0;
};

class QtAudioDeviceTest : public test::AlbumTest {};

TEST_F(QtAudioDeviceTest, RecordingThroughTheServerBecomesTheAlbumsSound) {
    SoundServer server;
    if (!server.running())
        GTEST_SKIP() << "no PulseAudio server could be started";
    if (QMediaDevices::defaultAudioInput().isNull())
        GTEST_SKIP() << "the server offers no audio input to Qt";
    const std::string path = write("rec.xf", test::AlbumBytes({test::PatternPage(2, 2, 6)}));
    QtWaveRecorder recorder;
    QtSoundPlayer player;
    TXfAlbum album(nullptr, &player);
    ASSERT_TRUE(album.OpenForViewing(path));
    ASSERT_TRUE(album.StartRecording(recorder));
    // The first bytes arrive after about two seconds.
    QElapsedTimer clock;
    clock.start();
    test::ProcessEventsUntil([&] { return clock.elapsed() > 3500; }, 5000);
    ASSERT_TRUE(album.StopRecording(recorder));
    const auto wave = test::ReadBytes(album.SoundFile);
    const auto format = ReadWavePcmFormat(wave);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->sampleRate, 22050);
    EXPECT_EQ(format->channels, 1);
    EXPECT_EQ(format->bitsPerSample, 8);
    ASSERT_GT(wave.size(), 44u + 2205u);  // at least a tenth of a second
    // A sine, not silence: the samples swing widely around the middle.
    const auto [low, high] = std::minmax_element(wave.begin() + 44, wave.end());
    EXPECT_GT(*high - *low, 64);
    ASSERT_TRUE(album.RebuildAlbum());
    TXfAlbum again;
    ASSERT_TRUE(again.OpenForPreview(path));
    EXPECT_EQ(test::ReadBytes(again.SoundFile), wave);
    EXPECT_TRUE(album.PlaySoundFile());
}

}  // namespace
}  // namespace vs

// The Qt sound services on a machine without audio devices: recording and playback fail at
// once and cleanly, and an album records nothing.

#include "platform/qt/QtAudio.h"

#include "formats/XfAlbum.h"
#include "support/AlbumFiles.h"

#include <QAudioDevice>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vs {
namespace {

// No sound server can be reached, whatever the machine runs: as on CI.
class NoSoundServer : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("PULSE_SERVER", "unix:/nonexistent/vantor-see-no-server", 1);
        ::setenv("PULSE_CLIENTCONFIG", "/dev/null", 1);
    }
};
const auto* const kNoServer = ::testing::AddGlobalTestEnvironment(new NoSoundServer);

class QtAudioTest : public test::AlbumTest {};

TEST_F(QtAudioTest, WithoutADeviceRecordingFailsAndAlbumsKeepTheirSound) {
    if (!QMediaDevices::audioInputs().isEmpty())
        GTEST_SKIP() << "an audio input is reachable here";
    const std::string path = write("a.xf", test::AlbumBytes({test::PatternPage(2, 2, 6)}, test::WaveOf(30)));
    const auto before = test::ReadBytes(path);
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    const auto sound = test::ReadBytes(album.SoundFile);

    QtWaveRecorder recorder;
    EXPECT_FALSE(recorder.open(album.RecordFile));
    EXPECT_FALSE(recorder.startRecording());
    EXPECT_FALSE(recorder.save(album.SoundFile));
    EXPECT_FALSE(album.StartRecording(recorder));
    EXPECT_FALSE(album.Recording);
    recorder.close();
    EXPECT_EQ(test::ReadBytes(album.SoundFile), sound);
    EXPECT_EQ(test::ReadBytes(path), before);

    // Not a wave file, or not PCM: refused before any device is asked.
    test::WriteBytes(dir.file("x.wav"), {'R', 'I', 'F', 'F'});
    EXPECT_FALSE(recorder.open(dir.file("x.wav")));
    EXPECT_FALSE(recorder.open(dir.file("missing.wav")));
}

TEST_F(QtAudioTest, WithoutADevicePlaybackDoesNothing) {
    if (!QMediaDevices::audioOutputs().isEmpty())
        GTEST_SKIP() << "an audio output is reachable here";
    const std::string path = write("a.xf", test::AlbumBytes({test::PatternPage(2, 2, 6)}, test::WaveOf(30)));
    QtSoundPlayer player;
    TXfAlbum album(nullptr, &player);
    ASSERT_TRUE(album.OpenForViewing(path));
    ASSERT_TRUE(album.HasSound);
    EXPECT_FALSE(album.PlaySoundFile());
    EXPECT_FALSE(player.play(album.SoundFile));
    EXPECT_FALSE(player.play(dir.file("missing.wav")));
}

}  // namespace
}  // namespace vs

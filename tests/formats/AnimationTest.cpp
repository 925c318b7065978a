#include "formats/Animation.h"
#include "formats/ModernReaders.h"

#include "formats/OracleSupport.h"
#include "graphics/Errors.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vs {
namespace {

using test::Quote;

constexpr Rgb kMatte{30, 160, 90};

class AnimationTest : public ::testing::Test {
protected:
    // Five frames on a 40x30 screen: every disposal, offsets, a frame reaching past the
    // screen's edge, a transparent colour and a delay under 20 ms.
    std::string MakeGif() {
        const std::string file = dir.file("x.gif");
        const auto r = test::Run(
            "convert -dispose none -delay 10 -size 40x30 xc:red -page +0+0"
            " -dispose background -page +5+4 -size 12x10 xc:blue"
            " -dispose previous -page +20+10 -size 15x12 xc:yellow"
            " -dispose none -delay 1 -page +30+20 -size 20x20 xc:green"
            " -delay 7 -page +2+2 \\( -size 10x10 pattern:checkerboard -transparent white \\)"
            " -set page 40x30 -loop 0 " +
            Quote(file));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return file;
    }
    // ImageMagick's coalesced frames laid over the matte.
    std::vector<test::RgbImage> Coalesced(const std::string& file) {
        const auto r = test::Run("convert " + Quote(file) +
                                 " -coalesce -background 'rgb(30,160,90)' -alpha remove -alpha off -depth 8 " +
                                 Quote(dir.file("f-%d.ppm")));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<test::RgbImage> frames;
        for (int i = 0; std::filesystem::exists(dir.file("f-" + std::to_string(i) + ".ppm")); ++i)
            frames.push_back(test::MagickDecode(dir.file("f-" + std::to_string(i) + ".ppm")));
        return frames;
    }
    // Our frames equal ImageMagick's, twice round (the second time after Rewind).
    void CheckFrames(AnimationDecoder& decoder, const std::vector<test::RgbImage>& expected,
                     const std::vector<int>& delays) {
        ASSERT_EQ(expected.size(), delays.size());
        for (int round = 0; round < 2; ++round) {
            const std::vector<AnimationFrame> frames = DecodeFrames(decoder, std::size_t{1} << 30, 100);
            ASSERT_EQ(frames.size(), expected.size());
            for (std::size_t i = 0; i < frames.size(); ++i) {
                EXPECT_TRUE(test::SameRgb(expected[i], test::ToRgbImage(frames[i].picture))) << "frame " << i;
                EXPECT_EQ(frames[i].delayMs, delays[i]) << "frame " << i;
            }
            decoder.Rewind();
        }
    }
    test::TempDir dir;
};

TEST_F(AnimationTest, GifFramesAreImageMagicksCoalescedFrames) {
    const std::string file = MakeGif();
    const auto decoder = OpenGifAnimation(test::ReadBytes(file), kMatte);
    CheckFrames(*decoder, Coalesced(file), {100, 100, 100, 100, 70});
}

TEST_F(AnimationTest, WebpFramesAreImageMagicksCoalescedFrames) {
    // The GIF's coalesced frames stored losslessly. ImageMagick 6 composes animated WebP
    // wrongly where a frame turns pixels transparent, so the GIF's frames are the reference. Its writer gives each frame the
    // next one's delay (as identify shows): 10, 10, 1, 7, 7 hundredths.
    const std::string gif = MakeGif();
    const std::string file = dir.file("x.webp");
    const auto r = test::Run("convert " + Quote(gif) + " -coalesce -define webp:lossless=true " + Quote(file));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto decoder = OpenWebpAnimation(test::ReadBytes(file), kMatte);
    CheckFrames(*decoder, Coalesced(gif), {100, 100, 100, 70, 70});
}

TEST_F(AnimationTest, BudgetAndDamageEndTheFilm) {
    auto bytes = test::ReadBytes(MakeGif());
    auto decoder = OpenGifAnimation(bytes, kMatte);
    // Each frame is the whole 40x30 canvas: two fit in the budget.
    EXPECT_EQ(DecodeFrames(*decoder, 2 * 40 * 30 * 3 + 100, 100).size(), 2u);
    decoder->Rewind();
    EXPECT_EQ(DecodeFrames(*decoder, std::size_t{1} << 30, 3).size(), 3u);
    // Cut inside the last frame: the earlier frames still come, then the damage shows.
    bytes.resize(bytes.size() - 20);
    decoder = OpenGifAnimation(bytes, kMatte);
    AnimationFrame frame;
    const auto play = [&] {
        while (decoder->Next(frame)) {
        }
    };
    EXPECT_THROW(play(), DecodeError);
    EXPECT_FALSE(frame.picture.empty());
    EXPECT_THROW(OpenWebpAnimation(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 30)), DecodeError);
}

TEST_F(AnimationTest, ACanvasFarBeyondWhatTheDataCanPaintIsRefused) {
    // The header's canvas size, little-endian at `at`, less `minus` (WebP stores size - 1).
    const auto withCanvas = [](std::vector<std::uint8_t> bytes, std::size_t at, int sideBytes, int minus, int side) {
        for (int i = 0; i < sideBytes; ++i) {
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((side - minus) >> (8 * i));
            bytes[at + static_cast<std::size_t>(sideBytes + i)] = static_cast<std::uint8_t>((side - minus) >> (8 * i));
        }
        return bytes;
    };
    const std::string gif = MakeGif();
    const std::string webp = dir.file("x.webp");
    ASSERT_EQ(test::Run("convert " + Quote(gif) + " -coalesce " + Quote(webp)).exitCode, 0);
    const auto gifBytes = test::ReadBytes(gif), webpBytes = test::ReadBytes(webp);
    ASSERT_EQ(std::string(webpBytes.begin() + 12, webpBytes.begin() + 16), "VP8X");
    EXPECT_THROW(DecodeGif(withCanvas(gifBytes, 6, 2, 0, 16000)), DecodeError);
    EXPECT_THROW(DecodeWebp(withCanvas(webpBytes, 24, 3, 1, 16000)), DecodeError);
    EXPECT_THROW(OpenWebpAnimation(withCanvas(webpBytes, 24, 3, 1, 16000)), DecodeError);
    // A large canvas within the floor is kept, whatever the file's size.
    EXPECT_EQ(DecodeGif(withCanvas(gifBytes, 6, 2, 0, 2000)).width(), 2000);
    AnimationFrame frame;
    EXPECT_TRUE(OpenWebpAnimation(withCanvas(webpBytes, 24, 3, 1, 2000))->Next(frame));
    EXPECT_EQ(frame.picture.width(), 2000);
}

}  // namespace
}  // namespace vs

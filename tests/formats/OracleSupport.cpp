#include "formats/OracleSupport.h"

#include <sstream>

namespace vs::test {

void MakeWithMagick(const std::string& source, const std::string& options, const std::string& output) {
    const CommandResult r = Run("convert " + source + " " + options + " " + Quote(output));
    ASSERT_EQ(r.exitCode, 0) << "convert " << options << ": " << r.err;
}

std::string MakeSourcePng(const TempDir& dir, int width, int height) {
    const std::string path = dir.file("source-" + std::to_string(width) + "x" + std::to_string(height) + ".png");
    // Smooth ramps plus hard-edged shapes: exercises every channel and the edges a decoder
    // gets wrong first (run boundaries, odd widths, subsampled chroma).
    MakeWithMagick("-size " + std::to_string(width) + "x" + std::to_string(height) + " gradient:'#ff2000-#0040ff'",
                   "\\( +clone -rotate 90 -resize " + std::to_string(width) + "x" + std::to_string(height) +
                       "! \\) -compose Multiply -composite -fill '#30d060' -draw 'circle 10,10 20,25'"
                       " -fill black -draw 'rectangle 3,30 9,33' -depth 8",
                   path);
    return path;
}

namespace {

::testing::AssertionResult Compare(const RgbImage& expected, const RgbImage& actual, int tolerance) {
    if (expected.width != actual.width || expected.height != actual.height)
        return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height << ", expected "
                                             << expected.width << "x" << expected.height;
    if (expected.rgb.size() != actual.rgb.size())
        return ::testing::AssertionFailure() << "pixel data sizes differ";
    std::size_t bad = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < expected.rgb.size(); ++i)
        if (std::abs(int{expected.rgb[i]} - int{actual.rgb[i]}) > tolerance && bad++ == 0)
            first = i;
    if (bad == 0)
        return ::testing::AssertionSuccess();
    const std::size_t px = first / 3;
    const std::size_t base = px * 3;
    return ::testing::AssertionFailure()
           << bad << " channel values differ; first at (" << px % static_cast<std::size_t>(expected.width) << ", "
           << px / static_cast<std::size_t>(expected.width) << "): expected " << int{expected.rgb[base]} << ","
           << int{expected.rgb[base + 1]} << "," << int{expected.rgb[base + 2]} << " got " << int{actual.rgb[base]}
           << "," << int{actual.rgb[base + 1]} << "," << int{actual.rgb[base + 2]};
}

}  // namespace

::testing::AssertionResult SameRgb(const RgbImage& expected, const RgbImage& actual) {
    return Compare(expected, actual, 0);
}

::testing::AssertionResult NearRgb(const RgbImage& expected, const RgbImage& actual, int tolerance) {
    return Compare(expected, actual, tolerance);
}

RgbImage MagickDecodeOriented(const std::string& path) {
    RgbImage img;
    TempDir dir;
    const std::string raw = dir.file("pixels.rgb");
    const CommandResult conv =
        Run("convert " + Quote(path + "[0]") + " -auto-orient -depth 8 rgb:" + Quote(raw) + " && identify -format '%w %h' " +
            Quote(path + "[0]"));
    if (conv.exitCode != 0) {
        ADD_FAILURE() << "ImageMagick cannot decode " << path << ": " << conv.err;
        return img;
    }
    std::istringstream(conv.out) >> img.width >> img.height;
    img.rgb = ReadBytes(raw);
    return img;
}

RgbImage TopBits(RgbImage image, int bits) {
    for (auto& v : image.rgb)
        v = static_cast<std::uint8_t>(v >> (8 - bits));
    return image;
}

RgbImage DjpegDecode(const std::string& path, int scaleDenom) {
    TempDir dir;
    const std::string out = dir.file("out.pnm");
    const CommandResult r = Run("djpeg -pnm -scale 1/" + std::to_string(scaleDenom) + " -outfile " + Quote(out) +
                                " " + Quote(path));
    RgbImage img;
    if (r.exitCode != 0) {
        ADD_FAILURE() << "djpeg failed: " << r.err;
        return img;
    }
    const std::vector<std::uint8_t> bytes = ReadBytes(out);
    // P5 (grey) or P6 (colour), maxval 255, single whitespace before the data.
    std::string head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(bytes.size(), 40)));
    std::istringstream in(head);
    std::string magic;
    int maxval = 0;
    in >> magic >> img.width >> img.height >> maxval;
    const auto offset = static_cast<std::size_t>(in.tellg()) + 1;
    const std::size_t n = static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height);
    for (std::size_t i = 0; i < n; ++i) {
        if (magic == "P5") {
            const std::uint8_t v = bytes.at(offset + i);
            img.rgb.insert(img.rgb.end(), {v, v, v});
        } else {
            for (std::size_t c = 0; c < 3; ++c)
                img.rgb.push_back(bytes.at(offset + 3 * i + c));
        }
    }
    return img;
}

std::vector<std::size_t> TruncationPoints(std::size_t size) {
    std::vector<std::size_t> points;
    for (std::size_t n = 0; n < std::min<std::size_t>(size, 40); ++n)
        points.push_back(n);
    for (std::size_t n = 40; n < size; n += std::max<std::size_t>(1, size / 23))
        points.push_back(n);
    return points;
}

}  // namespace vs::test

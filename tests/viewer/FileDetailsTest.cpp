#include "viewer/FileDetails.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/time.h>

#include <cstdlib>
#include <ctime>

namespace vs {
namespace {

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Entry(std::vector<std::uint8_t>& b, unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
    Put16(b, tag);
    Put16(b, type);
    Put32(b, count);
    Put32(b, value);
}

// A JPEG head whose Exif block names the camera "Test Cam", 1/250 s at f/2.8, taken
// 2026:12:08 14:03:10 (little-endian TIFF, laid out by hand).
std::vector<std::uint8_t> JpegWithExif() {
    std::vector<std::uint8_t> t = {'I', 'I', 0x2A, 0};
    Put32(t, 8);
    Put16(t, 2);  // IFD0 at 8, ends at 38
    Entry(t, 0x0110, 2, 9, 38);
    Entry(t, 0x8769, 4, 1, 48);
    Put32(t, 0);
    for (const char c : std::string("Test Cam", 9)) t.push_back(static_cast<std::uint8_t>(c));
    t.push_back(0);  // pad to 48
    Put16(t, 3);     // Exif IFD at 48, ends at 90
    Entry(t, 0x829A, 5, 1, 90);
    Entry(t, 0x829D, 5, 1, 98);
    Entry(t, 0x9003, 2, 20, 106);
    Put32(t, 0);
    for (const std::uint32_t v : {1u, 250u, 28u, 10u}) Put32(t, v);
    for (const char c : std::string("2026:12:08 14:03:10", 20)) t.push_back(static_cast<std::uint8_t>(c));
    std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE1};
    const std::size_t length = 2 + 6 + t.size();
    jpeg.push_back(static_cast<std::uint8_t>(length >> 8));
    jpeg.push_back(static_cast<std::uint8_t>(length));
    for (const char c : std::string("Exif\0\0", 6)) jpeg.push_back(static_cast<std::uint8_t>(c));
    jpeg.insert(jpeg.end(), t.begin(), t.end());
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

void SetModified(const std::string& path, std::time_t when) {
    const timeval times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

TEST(FileDetailsTest, SizesInKilobytesThenMegabytes) {
    EXPECT_EQ(ByteSizeText(0), "0.0 KB");
    EXPECT_EQ(ByteSizeText(10), "0.1 KB");
    EXPECT_EQ(ByteSizeText(12595), "12.3 KB");
    EXPECT_EQ(ByteSizeText(1024 * 1024 - 1), "1024.0 KB");
    EXPECT_EQ(ByteSizeText(1024 * 1024), "1.00 MB");
    EXPECT_EQ(ByteSizeText(std::uint64_t{5} << 40), "5242880.00 MB");
}

TEST(FileDetailsTest, PhotoShowsNameSizeDateAndExifFields) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    test::TempDir home;
    const std::string path = home.file("Beach Day.JPG");
    const auto jpeg = JpegWithExif();
    test::WriteBytes(path, jpeg);
    SetModified(path, 1796774400);  // 2026-12-09 00:00 UTC
    FileDetails d = ReadFileDetails(path);
    EXPECT_EQ(d.name, "Beach Day.JPG");
    EXPECT_EQ(d.size, jpeg.size());
    EXPECT_EQ(d.camera, "Test Cam");
    EXPECT_EQ(d.exposure, "1/250 s, f/2.8");
    EXPECT_EQ(d.taken, "2026-12-08 14:03:10");
    d.position = 3;
    d.count = 16;
    EXPECT_EQ(FileDetailsText(d),
              "Beach Day.JPG  |  3 / 16  |  0.1 KB  |  2026-12-09 00:00  |  Test Cam, 1/250 s, "
              "f/2.8  |  taken 2026-12-08 14:03:10");
}

TEST(FileDetailsTest, NonPhotosAndMissingFilesKeepToWhatIsKnown) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    test::TempDir home;
    const std::string text = home.file("notes.txt");
    test::WriteText(text, std::string(3000, 'x'));
    SetModified(text, 1796774400);
    EXPECT_EQ(FileDetailsText(ReadFileDetails(text)), "notes.txt  |  2.9 KB  |  2026-12-09 00:00");
    // A JPEG cut inside its Exif block keeps its size and date.
    auto jpeg = JpegWithExif();
    jpeg.resize(40);
    const std::string cut = home.file("cut.jpg");
    test::WriteBytes(cut, jpeg);
    const FileDetails d = ReadFileDetails(cut);
    EXPECT_EQ(d.size, 40u);
    EXPECT_TRUE(d.camera.empty() && d.taken.empty());
    EXPECT_EQ(ReadFileDetails(home.file("gone.jpg")).size, 0u);
}

}  // namespace
}  // namespace vs

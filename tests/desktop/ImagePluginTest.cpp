// The installed Qt image plugin: KEV pictures and XF albums through QImageReader, with the
// same pixels as our own readers.

#include "desktop/DesktopSupport.h"
#include "formats/XfAlbum.h"
#include "platform/qt/QtBitmap.h"
#include "support/AlbumFiles.h"
#include "support/TestSupport.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>

#include <gtest/gtest.h>

namespace vs::test {
namespace {

class ImagePluginTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Only the installed plugin: Qt's own folders hold no reader for these formats.
        QCoreApplication::addLibraryPath(QString::fromStdString(InstalledPluginFolder()));
    }
    void SetUp() override {
        ASSERT_EQ(test::Run(Quote(std::getenv("VS_TOOL")) + " samples " + Quote(dir.path())).exitCode, 0);
    }
    static QImage Ours(const Bitmap& bitmap) {
        return ToQImage(bitmap.toBgr24()).convertToFormat(QImage::Format_RGB32);
    }
    static QImage Read(QImageReader& reader) { return reader.read().convertToFormat(QImage::Format_RGB32); }
    TempDir dir;
};

// An 8-bit KEV picture of halftone indices, version "F" (8 bytes of extras).
std::vector<std::uint8_t> EightBitKev(int width, int height) {
    std::vector<std::uint8_t> bytes = {'K', 'E', 'V', '-', 'F', 0, 0, 0, 0};
    Put16(bytes, 8);
    Put32(bytes, static_cast<std::uint32_t>(width));
    Put32(bytes, static_cast<std::uint32_t>(height));
    bytes.resize(bytes.size() + 256 + 8);
    for (int i = 0; i < width * height; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 37));
    return bytes;
}

TEST_F(ImagePluginTest, RegistersEveryNameOfBothFormats) {
    const auto formats = QImageReader::supportedImageFormats();
    for (const char* f : {"kev", "sfc", "xf", "mig"}) EXPECT_TRUE(formats.contains(f)) << f;
    const auto types = QImageReader::supportedMimeTypes();
    EXPECT_TRUE(types.contains("image/x-vantor-kev"));
    EXPECT_TRUE(types.contains("application/x-vantor-xf"));
}

TEST_F(ImagePluginTest, ReadsKevPicturesWithOurReadersPixels) {
    WriteBytes(dir.file("halftone.kev"), EightBitKev(7, 3));
    for (const std::string name : {"hills.kev", "moon.sfc", "halftone.kev"}) {
        QImageReader reader(QString::fromStdString(dir.file(name)));
        const QImage image = Read(reader);
        ASSERT_FALSE(image.isNull()) << name << ": " << reader.errorString().toStdString();
        EXPECT_EQ(reader.imageCount(), 1);
        EXPECT_EQ(image, Ours(DecodePicture(dir.file(name), kKindKev))) << name;
    }
}

TEST_F(ImagePluginTest, ReachesEveryAlbumPageByNumberAndInTurn) {
    // Pages of every pixel code: halftone, 5-5-5, 5-6-5, 24 and 32 bits.
    std::vector<AlbumPage> pages;
    for (const std::uint8_t code : {3, 4, 5, 6, 7}) pages.push_back(PatternPage(5 + code, 4, code, code));
    WriteBytes(dir.file("codes.mig"), AlbumBytes(pages, WaveOf(100)));
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForPreview(dir.file("codes.mig")));

    QImageReader reader(QString::fromStdString(dir.file("codes.mig")));
    ASSERT_EQ(reader.imageCount(), 5);
    for (const int n : {3, 0, 4, 1, 2}) {
        ASSERT_TRUE(reader.jumpToImage(n)) << n;
        Bitmap page;
        ASSERT_TRUE(album.ReadPage(n, &page));
        EXPECT_EQ(Read(reader), Ours(page)) << "page " << n;
    }
    // Reading on from the start gives the pages in order, then nothing.
    QImageReader inTurn(QString::fromStdString(dir.file("holiday.xf")));
    int count = 0;
    for (QImage image = inTurn.read(); !image.isNull(); image = inTurn.read()) ++count;
    EXPECT_EQ(count, inTurn.imageCount());
    EXPECT_GT(count, 1);
    EXPECT_FALSE(inTurn.jumpToImage(count));
}

TEST_F(ImagePluginTest, KnowsBothFormatsByContentFromAnyDevice) {
    for (const auto& [name, kind] : {std::pair<std::string, int>{"hills.kev", kKindKev}, {"slides.mig", kKindAlbum}}) {
        const auto bytes = ReadBytes(dir.file(name));
        QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
        QBuffer buffer(&data);
        QImageReader reader(&buffer);  // no file name, no format: the first bytes decide
        EXPECT_EQ(reader.format(), kind == kKindKev ? QByteArray("kev") : QByteArray("xf"));
        EXPECT_EQ(Read(reader), Ours(DecodePicture(dir.file(name), kind))) << name;
    }
}

TEST_F(ImagePluginTest, RefusesDamagedFilesWithoutReadingPastThem) {
    auto album = ReadBytes(dir.file("holiday.xf"));
    album.resize(40);  // the first page's rows are cut off
    WriteBytes(dir.file("cut.xf"), album);
    QImageReader cut(QString::fromStdString(dir.file("cut.xf")));
    EXPECT_EQ(cut.imageCount(), 0);
    EXPECT_TRUE(cut.read().isNull());

    WriteBytes(dir.file("bad.kev"), {'K', 'E', 'V', '-', 'A', 0, 0});
    QImageReader bad(QString::fromStdString(dir.file("bad.kev")));
    EXPECT_TRUE(bad.read().isNull());
}

}  // namespace
}  // namespace vs::test

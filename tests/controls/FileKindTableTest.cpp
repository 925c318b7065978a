#include "controls/FileTypes.h"
#include "controls/RenameRule.h"
#include "formats/FormatRegistry.h"
#include "viewer/FileKinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace vs {
namespace {

TEST(FileKindTable, EveryEndingTheGridListsDispatchesToItsRowAndKeepsItOnRename) {
    int endings = 0;
    for (int type = 0; type < kFileTypeCount; ++type) {
        const FileType& t = FileTypes()[static_cast<std::size_t>(type)];
        for (const std::string_view ending : t.endings) {
            if (ending.empty())
                continue;
            ++endings;
            const std::string name = "/p/Some.Name" + std::string(ending);
            const FileKindRow* row = FindFileKindRow(name);
            ASSERT_NE(row, nullptr) << ending;
            EXPECT_EQ(row->gridType, type) << ending;
            EXPECT_EQ(ContentKindFromPath(name), row->kind) << ending;
            std::string upper = name;
            std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
            EXPECT_EQ(ContentKindFromPath(upper), row->kind) << ending;
            if (t.iconIndex == kImageNotMade) {
                EXPECT_EQ(ImageKindFromFileName(name), row->kind) << ending;
                EXPECT_NE(ReaderOf(row->kind), nullptr) << ending;
                EXPECT_TRUE(Zooms(row->kind)) << ending;
            } else {
                EXPECT_EQ(ImageKindFromFileName(name), kKindNone) << ending;
                EXPECT_TRUE(t.iconIndex >= 0 && t.iconIndex < 9) << ending;
            }
            EXPECT_EQ(ForcedRenameText("/p/a" + std::string(ending), "holiday.png"), "holiday" + std::string(ending));
        }
    }
    EXPECT_EQ(endings, 28);  // the original's 22, then .png, .gif, .webp, .heic, .heif and .avif
    // Listed by the viewer only: the grid neither shows nor forces it.
    EXPECT_EQ(ContentKindFromPath("a.jpeg"), kKindJpeg);
    EXPECT_EQ(ImageKindFromFileName("a.jpeg"), kKindNone);
    EXPECT_EQ(ForcedRenameText("/p/a.jpeg", "b"), "b");
}

TEST(FileKindTable, RowsAreConsistent) {
    std::set<int> kinds;
    for (const FileKindRow& row : FileKindTable()) {
        ASSERT_TRUE(row.ending.size() > 1 && row.ending[0] == '.') << row.ending;
        EXPECT_TRUE(std::none_of(row.ending.begin(), row.ending.end(), [](char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; }));
        // No ending ends another, so the first match is always the whole ending.
        for (const FileKindRow& other : FileKindTable()) {
            if (&other != &row) {
                EXPECT_FALSE(row.ending.ends_with(other.ending)) << row.ending << " " << other.ending;
            }
        }
        const int viewers = IsPicture(row.kind) + IsMedia(row.kind) + IsWeb(row.kind) + IsText(row.kind);
        EXPECT_EQ(viewers, 1) << row.ending;
        EXPECT_EQ(row.reader != nullptr, IsPicture(row.kind)) << row.ending;
        EXPECT_EQ((row.traits & kZoom) != 0, IsPicture(row.kind)) << row.ending;
        // Rows of one kind agree on everything the kind decides.
        const FileKindRow* first = FileKindRowOf(row.kind);
        EXPECT_EQ(first->reader, row.reader) << row.ending;
        EXPECT_EQ(first->traits, row.traits) << row.ending;
        kinds.insert(row.kind);
    }
    // The wallpaper takes BMP, JPEG, KEV and album pictures, and the formats added since.
    std::set<int> wallpaper;
    for (const int kind : kinds)
        if (SetsWallpaper(kind))
            wallpaper.insert(kind);
    EXPECT_EQ(wallpaper, (std::set<int>{kKindBmp, kKindJpeg, kKindKev, kKindAlbum, kKindPng, kKindGif, kKindWebp,
                                        kKindHeif, kKindAvif}));
    EXPECT_FALSE(SetsWallpaper(kKindNone));
    EXPECT_EQ(ReaderOf(kKindAvi), nullptr);
}

TEST(FileKindTable, GridTypesAndStoredFlagsDeriveFromTheRows) {
    EXPECT_EQ(FileTypes()[kTypeTif].label, ".tif,.tiff");
    EXPECT_EQ(FileTypes()[kTypeTif].endings[1], ".tiff");
    EXPECT_EQ(FileTypes()[kTypeHtm].label, ".htm;.html");
    EXPECT_EQ(FileTypes()[kTypeRmi].iconIndex, 5);
    EXPECT_EQ(FileTypes()[kTypeXf].suffix, "_xf");
    EXPECT_EQ(StoredFlagOrder(), (std::vector<int>{kTypeBmp, kTypeJpg, kTypeKev, kTypeXf, kTypeSfc, kTypeMig, kTypeAvi,
                                                   kTypeMpg, kTypeMov, kTypeMp3, kTypeWav, kTypeMid, kTypeRmi,
                                                   kTypePng, kTypeGif, kTypeWebp, kTypeHeic, kTypeAvif}));
    std::set<int> scanned(ScanOrder().begin(), ScanOrder().end());
    EXPECT_EQ(scanned.size(), static_cast<std::size_t>(kFileTypeCount));
}

TEST(FileKindTable, ThePlatformPictureTableDecodesWithTheRowsReaders) {
    EXPECT_EQ(ReaderOfGraphicClass(PlatformPictureTable().FindForFile("a.vda")->graphicClass), ReaderOf(kKindTarga));
    EXPECT_EQ(ReaderOfGraphicClass(PlatformPictureTable().FindForFile("a.fax")->graphicClass), ReaderOf(kKindTiff));
    EXPECT_EQ(ReaderOfGraphicClass(PlatformPictureTable().FindForFile("a.dib")->graphicClass), ReaderOf(kKindBmp));
    EXPECT_EQ(ReaderOfGraphicClass(PlatformPictureTable().FindForFile("a.wmf")->graphicClass), nullptr);
    EXPECT_EQ(ReaderOfGraphicClass(nullptr), nullptr);
}

}  // namespace
}  // namespace vs

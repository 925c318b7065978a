#include "formats/FormatRegistry.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { list.RegisterStandardFormats(); }
    int CountOf(TGraphicClass cls) const {
        const int i = list.FindGraphicClass(cls);
        return i < 0 ? 0 : list.classes()[static_cast<std::size_t>(i)].count;
    }
    std::vector<std::string> Extensions() const {
        std::vector<std::string> out = {"stale"};
        list.GetExtensionList(out);
        return out;
    }
    PictureFormatTable table;
    TFileFormatList list{table};
};

const std::vector<std::string> kStartUp = {"bmp", "ico", "wmf",  "emf",  "jpg", "jpeg", "rle", "dib", "win",
                                           "vst", "vda", "tga",  "icb",  "tiff", "tif", "fax", "pcx", "pcc",
                                           "scr", "rpf", "rla",  "sgi",  "rgba", "rgb", "bw",  "psd", "pdd",
                                           "ppm", "pgm", "pbm",  "cel",  "pic", "pcd", "cut", "psp", "png"};

TEST_F(RegistryTest, StartUpRegistersTheTableInOrderWithCountsAndDescriptions) {
    EXPECT_EQ(Extensions(), kStartUp);
    EXPECT_EQ(list.classes().size(), 16u);
    EXPECT_EQ(CountOf(&TBitmap), 3);
    EXPECT_EQ(CountOf(&TTargaGraphic), 5);
    EXPECT_EQ(CountOf(&TSGIGraphic), 4);
    EXPECT_EQ(list.classes()[static_cast<std::size_t>(list.FindGraphicClass(&TJPEGImage))].description, "JPG images");
    EXPECT_EQ(table.entries().size(), 36u);
    EXPECT_EQ(table.entries().at("tga").description, "Truevision images");
    EXPECT_EQ(table.entries().at("tif").description, "PC TIF images");
    EXPECT_EQ(table.entries().at("pdd").graphicClass, &TPSDGraphic);
}

TEST_F(RegistryTest, LookupsIgnoreCaseAndUseTheTextAfterTheFirstDot) {
    EXPECT_EQ(list.FindExtension("TIF"), 14);
    EXPECT_EQ(list.FindExtension("bmp"), 0);
    EXPECT_EQ(list.FindExtension(""), -1);
    EXPECT_EQ(list.FindExtension("xyz"), -1);
    EXPECT_EQ(list.FindExtension(".tif"), -1);
    EXPECT_EQ(list.GetGraphicClassFor("photo.tif"), &TTIFFGraphic);
    EXPECT_EQ(list.GetGraphicClassFor("/some.folder/Photo.PSD"), &TPSDGraphic);
    EXPECT_EQ(list.GetGraphicClassFor("archive.tar.tif"), nullptr);
    EXPECT_EQ(list.GetGraphicClassFor("tga"), &TTargaGraphic);
    EXPECT_EQ(list.GetGraphicClassFor("noext"), nullptr);
    EXPECT_EQ(list.FindGraphicClass(&TPNGGraphic), 15);
    EXPECT_EQ(table.FindForFile("/x/archive.tar.TGA")->graphicClass, &TTargaGraphic);
    EXPECT_EQ(table.FindForFile("noext"), nullptr);
}

TEST_F(RegistryTest, RegisteringAKnownExtensionTwiceFailsAndChangesNothing) {
    try {
        list.RegisterFileFormat("TGA", "Other", "", FormatSet({ftRaster}), false, true, &TPNGGraphic);
        FAIL() << "no error";
    } catch (const InvalidGraphicError& e) {
        EXPECT_STREQ(e.what(), "Attempt to register TGA files twice.");
    }
    EXPECT_EQ(Extensions(), kStartUp);
    EXPECT_EQ(CountOf(&TPNGGraphic), 1);
    EXPECT_EQ(table.entries().at("tga").graphicClass, &TTargaGraphic);
    list.RegisterFileFormat("", "x", "y", FormatSet({ftRaster}), false, true, &TPNGGraphic);  // empty: ignored
    EXPECT_EQ(Extensions(), kStartUp);
}

TEST_F(RegistryTest, ReplacingMovesTheExtensionToTheNewClass) {
    // cut's class has only that extension: it goes when cut moves away.
    list.RegisterFileFormat("cut", "Halo via PNG", "ignored", FormatSet({ftVector}), true, false, &TPNGGraphic);
    EXPECT_EQ(list.FindGraphicClass(&TCUTGraphic), -1);
    EXPECT_EQ(CountOf(&TPNGGraphic), 2);
    EXPECT_EQ(list.GetGraphicClassFor("a.cut"), &TPNGGraphic);
    EXPECT_EQ(table.entries().at("cut").graphicClass, &TPNGGraphic);
    EXPECT_EQ(table.entries().at("cut").description, "ignored");
    // The entry keeps its own description and types: still raster, shown as the new class's.
    EXPECT_EQ(list.GetGraphicFilter(FormatSet({ftVector}), fstNone, 0, &TPNGGraphic), "");
    EXPECT_EQ(list.GetGraphicFilter(0, fstNone, 0, &TPNGGraphic),
              "Halo via PNG|*.cut|Halo via PNG|*.png");
    // Same class: nothing moves.
    list.RegisterFileFormat("tga", "", "", FormatSet({ftRaster}), true, false, &TTargaGraphic);
    EXPECT_EQ(CountOf(&TTargaGraphic), 5);
}

TEST_F(RegistryTest, UnregisteringOneExtensionOrAWholeClass) {
    list.UnregisterFileFormat("jpg", nullptr);
    EXPECT_EQ(CountOf(&TJPEGImage), 1);
    EXPECT_EQ(list.GetGraphicClassFor("x.jpeg"), &TJPEGImage);
    EXPECT_EQ(list.FindExtension("jpg"), -1);
    EXPECT_EQ(table.FindForFile("x.jpg"), nullptr);
    EXPECT_NE(table.FindForFile("x.jpeg"), nullptr);
    list.UnregisterFileFormat("JPEG", nullptr);
    EXPECT_EQ(list.FindGraphicClass(&TJPEGImage), -1);

    list.UnregisterFileFormat("nothing", &TBitmap);  // unknown: nothing happens
    EXPECT_EQ(CountOf(&TBitmap), 3);

    list.UnregisterFileFormat("", &TPCXGraphic);
    EXPECT_EQ(list.FindGraphicClass(&TPCXGraphic), -1);
    for (const char* ext : {"pcx", "pcc", "scr"}) {
        EXPECT_EQ(list.FindExtension(ext), -1) << ext;
        EXPECT_EQ(table.entries().count(ext), 0u) << ext;
    }
    list.UnregisterFileFormat("", &TPCXGraphic);  // already gone: nothing happens
    EXPECT_EQ(Extensions().size(), 31u);
}

TEST_F(RegistryTest, ShutdownOrderLeavesThePlatformClassesThenDestructionClearsAll) {
    list.UnregisterStandardReaders();
    EXPECT_EQ(Extensions(), (std::vector<std::string>{"bmp", "ico", "wmf", "emf", "jpg", "jpeg"}));
    EXPECT_EQ(CountOf(&TBitmap), 1);
    EXPECT_EQ(table.entries().size(), 6u);
    {
        TFileFormatList other(table);
        other.RegisterFileFormat("xyz", "X", "", FormatSet({ftRaster}), false, true, &TPNGGraphic);
        EXPECT_EQ(table.entries().size(), 7u);
    }
    EXPECT_EQ(table.entries().size(), 6u);  // the destroyed list took its class away
    list.Clear();
    EXPECT_TRUE(table.entries().empty());
    EXPECT_TRUE(Extensions().empty());
}

TEST_F(RegistryTest, FilterStrings) {
    EXPECT_EQ(list.GetGraphicFilter(0, fstNone, OptionSet({foIncludeAll}), nullptr),
              "All images|*.bmp; *.ico; *.wmf; *.emf; *.jpg; *.jpeg; *.rle; *.dib; *.win; *.vst; *.vda; *.tga; "
              "*.icb; *.tiff; *.tif; *.fax; *.pcx; *.pcc; *.scr; *.rpf; *.rla; *.sgi; *.rgba; *.rgb; *.bw; *.psd; "
              "*.pdd; *.ppm; *.pgm; *.pbm; *.cel; *.pic; *.pcd; *.cut; *.psp; *.png|"
              "Windows bitmaps|*.bmp|Windows icons|*.ico|Windows metafiles|*.wmf|Windows enhanced meta files|*.emf|"
              "JPG images|*.jpg|JPEG images|*.jpeg|Run length encoded Windows bitmaps|*.rle|"
              "Device independant Windows bitmaps|*.dib|Truevision images|*.win|Truevision images|*.vst|"
              "Truevision images|*.vda|Truevision images|*.tga|Truevision images|*.icb|Macintosh TIFF images|*.tiff|"
              "PC TIF images|*.tif|GFI fax images|*.fax|ZSoft Paintbrush images|*.pcx|ZSoft Paintbrush images|*.pcc|"
              "Word 5.x screen capture images|*.scr|Alias/Wavefront images|*.rpf|Alias/Wavefront images|*.rla|"
              "SGI true color images|*.sgi|SGI true color images with alpha|*.rgba|SGI true color images|*.rgb|"
              "SGI black/white images|*.bw|Photoshop images|*.psd|Photoshop images|*.pdd|"
              "Portable pixel map images|*.ppm|Portable gray map images|*.pgm|Portable bitmap images|*.pbm|"
              "Autodesk images|*.cel|Autodesk images|*.pic|Kodak Photo-CD images|*.pcd|Dr. Halo images|*.cut|"
              "Paintshop Pro images|*.psp|Portable network graphic images|*.png");
    EXPECT_EQ(list.GetGraphicFilter(0, fstNone, OptionSet({foCompact, foIncludeExtension}), &TTargaGraphic),
              "Truevision images (*.win; *.vst; *.vda; *.tga; *.icb)|*.win; *.vst; *.vda; *.tga; *.icb");
    EXPECT_EQ(list.GetGraphicFilter(0, fstBoth, OptionSet({foCompact}), &TTargaGraphic),
              "Truevision images|*.icb; *.tga; *.vda; *.vst; *.win");
    EXPECT_EQ(list.GetGraphicFilter(FormatSet({ftVector}), fstNone, 0, nullptr),
              "Windows metafiles|*.wmf|Windows enhanced meta files|*.emf|Paintshop Pro images|*.psp");
    // A sorted description list keeps one entry per description, with the last pattern.
    EXPECT_EQ(list.GetGraphicFilter(0, fstDescription, 0, &TTargaGraphic), "Truevision images|*.icb");
    EXPECT_EQ(list.GetGraphicFilter(FormatSet({ftLayered}), fstExtension, OptionSet({foCompact, foIncludeAll}), nullptr),
              "All images|*.pdd; *.psd|Photoshop images|*.pdd; *.psd");
    EXPECT_EQ(list.GetGraphicFilter(FormatSet({ftMultiImage, ftVector}), fstBoth,
                                    OptionSet({foCompact, foIncludeExtension}), nullptr),
              "Paintshop Pro images (*.psp)|*.psp|Tagged image file format images (*.fax; *.tif; *.tiff)|"
              "*.fax; *.tif; *.tiff|Windows metafiles (*.emf; *.wmf)|*.emf; *.wmf");
    EXPECT_EQ(list.GetGraphicFilter(FormatSet({ftAnimation}), fstBoth, OptionSet({foIncludeAll}), nullptr), "");
}

TEST(FormatLibrary, TheProgramInstanceIsFilledOnFirstUseAndDecodersFollowTheClasses) {
    std::vector<std::string> exts;
    FileFormatList().GetExtensionList(exts);
    EXPECT_EQ(exts, kStartUp);
    EXPECT_STREQ(PlatformPictureTable().FindForFile("a.vda")->graphicClass->name, "TTargaGraphic");
    EXPECT_STREQ(PlatformPictureTable().FindForFile("a.png")->graphicClass->name, "TPNGGraphic");
    EXPECT_STREQ(PlatformPictureTable().FindForFile("a.fax")->graphicClass->name, "TTIFFGraphic");
}

}  // namespace
}  // namespace vs

#include "app/ViewerDispatch.h"
#include "graphics/BmpFile.h"
#include "platform/testing/FakePlatform.h"
#include "support/TestSupport.h"
#include "viewer/FileKinds.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

// Records what the dispatch does to the views, in order.
class RecordingViews : public ContentViews {
public:
    std::vector<std::string> log;
    bool mediaVisible = false;
    Bitmap lastPicture;
    Rgb background{0, 0, 0};

    TXfAlbum* OpenAlbumInStrip(const std::string& path) override {
        log.push_back("album " + path);
        return nullptr;
    }
    void SetPageStripVisible(bool v) override { log.push_back(v ? "strip+" : "strip-"); }
    void ShowXfToolBarFor(TXfAlbum&) override { log.push_back("xfbar for album"); }
    void SetXfToolBarVisible(bool v) override { log.push_back(v ? "xfbar+" : "xfbar-"); }
    void ShowNewImage(const Bitmap& p) override {
        lastPicture = p;
        log.push_back("image " + std::to_string(p.width()) + "x" + std::to_string(p.height()));
    }
    Rgb ImageBackground() const override { return background; }
    void SetImageFrameVisible(bool v) override { log.push_back(v ? "frame+" : "frame-"); }
    bool MediaPanelVisible() const override { return mediaVisible; }
    void SetMediaPanelVisible(bool v) override {
        mediaVisible = v;
        log.push_back(v ? "media+" : "media-");
    }
    void StopMedia() override { log.push_back("stop"); }
    void OpenMediaFile(const std::string& p) override { log.push_back("play " + p); }
    void SetWebPanelVisible(bool v) override { log.push_back(v ? "web+" : "web-"); }
    void NavigateWeb(const std::string& url) override { log.push_back("navigate " + url); }
    void SetTextViewVisible(bool v) override { log.push_back(v ? "text+" : "text-"); }
    void LoadTextView(const std::string& p, int kind) override { log.push_back("text " + p + " " + std::to_string(kind)); }
    void SetStatusText(const std::string& t) override { log.push_back("status " + t); }
};

class DispatchTest : public ::testing::Test {
protected:
    void Touch(const std::string& name) { test::WriteBytes(dir.file(name), {'x'}); }
    // Shows dir/name as the grid would: lower-cased path for comparison, real name to open.
    void Select(const std::string& name, const std::string& size = "") {
        std::string lower = dir.path() + "/" + name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        dispatch.Show(lower, dir.file(name), size);
    }
    std::string Lower(const std::string& name) {
        std::string lower = dir.path() + "/" + name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower;
    }

    test::TempDir dir;
    RecordingViews views;
    fake::FakePrompts prompts;
    ViewerDispatch dispatch{views, prompts};
};

TEST_F(DispatchTest, PictureIsLoadedUnderItsRealNameAndShownInTheImageFrame) {
    Bitmap b(30, 20, PixelFormat::Bpp8);
    b.palette()[0] = {1, 2, 3};
    SaveBmpFile(b, dir.file("Pic.BMP"));
    Select("Pic.BMP", "30X20");
    EXPECT_EQ(dispatch.contentKind, kKindBmp);
    EXPECT_EQ(dispatch.shownFilePath, Lower("Pic.BMP"));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(views.log, (std::vector<std::string>{"strip-", "xfbar-", "image 30x20", "web-", "text-", "frame+",
                                                   "status 30X20"}));
    // Expanded to 24 bits through the palette.
    EXPECT_EQ(dispatch.sourceImage().format(), PixelFormat::Bpp24);
    EXPECT_EQ(dispatch.sourceImage().pixel(5, 5), (Rgb{1, 2, 3}));

    // The same path again shows nothing new.
    views.log.clear();
    Select("Pic.BMP", "30X20");
    EXPECT_TRUE(views.log.empty());
}

TEST_F(DispatchTest, UndecodablePictureKeepsItsKindAndTheViewsAsTheyWere) {
    Touch("PHOTO.JPEG");
    Select("PHOTO.JPEG");
    EXPECT_EQ(dispatch.contentKind, kKindJpeg);
    EXPECT_EQ(prompts.texts(), (std::vector<std::string>{"Could not open " + Lower("PHOTO.JPEG")}));
    EXPECT_EQ(prompts.messages[0].caption, "Vantor See 1.1");
    EXPECT_EQ(views.log, (std::vector<std::string>{"strip-"}));
}

// Sparse 8 GiB files named as pictures: refused from their size, reported as any
// undecodable picture.
TEST_F(DispatchTest, HugeFileSaysCouldNotOpen) {
    for (const std::string name : {"huge.jpg", "huge.bmp"}) {
        test::MakeSparseFile(dir.file(name), test::kEightGiB);
        prompts.messages.clear();
        views.log.clear();
        Select(name);
        EXPECT_EQ(prompts.texts(), (std::vector<std::string>{"Could not open " + Lower(name)}));
        EXPECT_EQ(views.log, (std::vector<std::string>{"strip-"}));
    }
}

TEST_F(DispatchTest, AlbumGoesToThePageStripFirst) {
    Touch("Trip.MIG");
    Select("Trip.MIG");
    EXPECT_EQ(dispatch.contentKind, kKindAlbum);
    ASSERT_FALSE(views.log.empty());
    EXPECT_EQ(views.log[0], "album " + dir.file("Trip.MIG"));
}

TEST_F(DispatchTest, TextWebAndMediaSwitchViewsStoppingMediaFirst) {
    Touch("clip.avi");
    Touch("notes.TXT");
    Touch("a.html");
    Touch("doc.rtf");
    Select("clip.avi");
    EXPECT_EQ(dispatch.contentKind, kKindAvi);
    EXPECT_EQ(views.log, (std::vector<std::string>{"strip-", "xfbar-", "frame-", "text-", "web-", "media+",
                                                   "play " + dir.file("clip.avi")}));
    views.log.clear();
    Select("notes.TXT");
    EXPECT_EQ(dispatch.contentKind, kKindText);
    EXPECT_EQ(views.log, (std::vector<std::string>{"text " + dir.file("notes.TXT") + " 301", "strip-", "xfbar-",
                                                   "frame-", "stop", "media-", "web-", "text+"}));
    views.log.clear();
    Select("a.html");
    EXPECT_EQ(dispatch.contentKind, kKindHtml);
    EXPECT_EQ(views.log, (std::vector<std::string>{"navigate file://" + dir.file("a.html"), "strip-", "xfbar-",
                                                   "frame-", "text-", "web+"}));
    views.log.clear();
    Select("doc.rtf");
    EXPECT_EQ(dispatch.contentKind, kKindRichText);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DispatchTest, UnknownEndingChangesNothingButIsRemembered) {
    Touch("archive.zip");
    Select("archive.zip");
    EXPECT_TRUE(views.log.empty());
    EXPECT_EQ(dispatch.contentKind, 0);
    EXPECT_EQ(dispatch.shownFilePath, Lower("archive.zip"));
}

TEST_F(DispatchTest, MissingFileIsReportedOnce) {
    Select("Gone.bmp");
    Select("Gone.bmp");
    EXPECT_EQ(prompts.texts(), (std::vector<std::string>{"Could not find " + Lower("Gone.bmp") + "!"}));
    EXPECT_TRUE(views.log.empty());
}

}  // namespace
}  // namespace vs

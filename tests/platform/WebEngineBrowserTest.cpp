// The web view's browser under the offscreen platform: pages load, keep to their folder and
// open no windows.

#include "platform/qt/WebEngineBrowser.h"

#include "support/QtTestSupport.h"

#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

#if defined(__SANITIZE_ADDRESS__)
// The browser engine frees some of its own objects with another size than it allocated them
// with; that check would stop every page load before a line of ours runs.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
#endif

namespace vs {
namespace {

class WebEngineBrowserTest : public ::testing::Test {
protected:
    // Shows the page and waits until its script has set the title to something other than
    // "start" (or the page has loaded when it has no script); the final title.
    QString Load(const std::string& file) {
        auto* view = host_.findChild<QWebEngineView*>("WebView");
        EXPECT_NE(view, nullptr);
        if (!view)
            return {};
        bool loaded = false;
        QObject::connect(view, &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
        browser_->Navigate("file://" + file);
        test::ProcessEventsUntil([&] { return loaded && view->title() != "start"; }, 20000);
        return view->title();
    }

    void SetUp() override {
        host_.resize(400, 300);
        browser_ = MakeWebEngineBrowser(&host_);
        host_.show();
    }

    test::TempDir dir_;
    QWidget host_;
    std::unique_ptr<WebBrowser> browser_;
};

TEST_F(WebEngineBrowserTest, APageLoadsAndShowsItsTitle) {
    std::filesystem::create_directories(dir_.file("my pages"));
    test::WriteText(dir_.file("my pages/welcome #1.html"),
                    "<html><head><title>Welcome home</title></head>"
                    "<body>Hello</body></html>");
    EXPECT_EQ(Load(dir_.file("my pages/welcome #1.html")), "Welcome home");
}

TEST_F(WebEngineBrowserTest, ALocalPageReadsItsOwnFolderOnlyAndOpensNoWindows) {
    std::filesystem::create_directories(dir_.file("site/sub"));
    test::WriteText(dir_.file("site/sub/near.txt"), "near");
    test::WriteText(dir_.file("far.txt"), "far");
    // Each probe reports into the title: what could be read, and whether a window opened.
    test::WriteText(dir_.file("site/page.html"), R"(<html><head><title>start</title></head><body><script>
        const results = [];
        function probe(url) {
            return fetch(url).then(r => r.text()).then(t => t.trim(), () => 'blocked');
        }
        Promise.all([probe('sub/near.txt'), probe('../far.txt'), probe('http://127.0.0.1:9/x')]).then(r => {
            const popup = window.open('sub/near.txt');
            document.title = r.join(',') + ',' + (popup ? 'window' : 'no window');
        });
        </script></body></html>)");
    EXPECT_EQ(Load(dir_.file("site/page.html")), "near,blocked,blocked,no window");
}

}  // namespace
}  // namespace vs

#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "platform/WebBrowser.h"
#include "platform/testing/FakeMediaGraph.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"
#include "viewer/FileKinds.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextTable>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace vs {
namespace {

using State = fake::FakeMediaGraph::State;

class RecordingBrowser : public WebBrowser {
public:
    explicit RecordingBrowser(std::vector<std::string>& urls) : urls_(urls) {}
    void Navigate(const std::string& url) override { urls_.push_back(url); }

private:
    std::vector<std::string>& urls_;
};

class ViewersTest : public ::testing::Test {
protected:
    std::string Library() const { return home.file("bin/Photo Folder/"); }

    // Starts the window over a library holding the given files (name, bytes).
    TMainForm& Start(const std::vector<std::pair<std::string, std::string>>& files) {
        std::filesystem::create_directories(Library());
        for (const auto& [name, bytes] : files) test::WriteText(Library() + name, bytes);
        MainFormEnvironment env{home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
        env.wallpaper = &wallpaper;
        env.mediaGraphs = &graphs;
        env.webBrowser = [this](QWidget*) {
            ++browsersMade;
            return std::make_unique<RecordingBrowser>(urls);
        };
        form = std::make_unique<TMainForm>(prompts, env);
        form->show();
        form->Ui().SeeBox->resize(300, 300);
        return *form;
    }
    void Show(const QString& caption) {
        TImagesListView* grid = form->Ui().ImagesListView1;
        const auto found = grid->findItems(caption, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << caption.toStdString();
        grid->setCurrentItem(found[0], QItemSelectionModel::ClearAndSelect);
    }
    QTextEdit& Text() const { return *form->Ui().RichEdit1; }
    QSlider& TrackBar() const { return *form->Ui().TrackBar1; }
    fake::FakeMediaGraph& Graph() const { return *graphs.graph(); }
    bool Checked(const char* action) const { return form->Action(action)->isChecked(); }
    void Trigger(const char* action) const { form->Action(action)->trigger(); }
    // Moves the fake clock and lets the position timer run once.
    void Tick(double seconds) {
        Graph().Advance(seconds);
        form->Timer3Timer();
    }

    test::TempHome home;
    fake::FakePrompts prompts;
    fake::FakeWallpaper wallpaper;
    fake::FakeMediaGraphFactory graphs;
    std::vector<std::string> urls;
    int browsersMade = 0;
    std::unique_ptr<TMainForm> form;
};

// ---- text view ----

const std::string kGb18030Hello = "\xC4\xE3\xBA\xC3 GB";  // 你好 GB

TEST_F(ViewersTest, PlainTextIsUtf8WhenValidElseGb18030InBlackAtTheTextSize) {
    TMainForm& f = Start({{"a.txt", "h\xC3\xA9llo \xE4\xBD\xA0\xE5\xA5\xBD\n"}, {"b.txt", kGb18030Hello}});
    Show("a.txt");
    EXPECT_EQ(f.ContentKind(), kKindText);
    EXPECT_TRUE(Text().isVisibleTo(f.Ui().SeeBox));
    EXPECT_TRUE(Text().isReadOnly());
    EXPECT_EQ(Text().toPlainText(), QString::fromUtf8("h\xC3\xA9llo \xE4\xBD\xA0\xE5\xA5\xBD\n"));
    EXPECT_EQ(Text().document()->defaultFont().pointSize(), 12);
    EXPECT_FALSE(Text().document()->defaultFont().bold());
    EXPECT_EQ(Text().palette().color(QPalette::Text), QColor(Qt::black));
    Show("b.txt");
    EXPECT_EQ(Text().toPlainText(), QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD GB"));
}

TEST_F(ViewersTest, FontSizeCarriesToTheNextPlainFileAndTheRichTextMenuIsDisabled) {
    TMainForm& f = Start({{"a.txt", "one"}, {"b.rtf", "{\\rtf1 {\\b rich}}"}, {"c.txt", "two"}});
    Show("a.txt");
    f.PopupMenu7Popup();
    EXPECT_TRUE(Checked("TxtSize12"));
    Trigger("TxtSize24");
    EXPECT_EQ(f.TextPointSize, 24);
    EXPECT_EQ(Text().document()->defaultFont().pointSize(), 24);
    EXPECT_FALSE(Checked("TxtSize24"));  // only the menu's opening moves the check mark
    EXPECT_EQ(f.Action("TxtSize24")->text(), QString("Best Big"));

    Show("b.rtf");
    f.PopupMenu7Popup();
    for (const char* size : {"TxtSize8", "TxtSize10", "TxtSize12", "TxtSize16", "TxtSize24"})
        EXPECT_FALSE(f.Action(size)->isEnabled()) << size;

    Show("c.txt");
    EXPECT_EQ(Text().document()->defaultFont().pointSize(), 24);
    f.PopupMenu7Popup();
    for (const char* size : {"TxtSize8", "TxtSize10", "TxtSize12", "TxtSize16", "TxtSize24"}) {
        EXPECT_TRUE(f.Action(size)->isEnabled()) << size;
        EXPECT_EQ(f.Action(size)->isChecked(), std::string(size) == "TxtSize24") << size;
    }
    // A size none of the five names leaves every item unchecked.
    f.TxtSizeExecute(9);
    f.PopupMenu7Popup();
    for (const char* size : {"TxtSize8", "TxtSize10", "TxtSize12", "TxtSize16", "TxtSize24"})
        EXPECT_FALSE(f.Action(size)->isChecked()) << size;
}

// The format of the character at the start of text in the document.
QTextCharFormat FormatOf(const QTextDocument& doc, const QString& text) {
    QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor at(const_cast<QTextDocument*>(&doc));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

std::string PngHex() {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toHex().toStdString();
}

TEST_F(ViewersTest, RichTextKeepsFormatsCodePagesPicturesAndTables) {
    const std::string rtf1252 =
        "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "\\f0\\fs24 caf\\'e9 {\\b bold} {\\i\\cf1 red} {\\ul\\strike both}\\par"
        "\\qc\\fs48 big{\\pict\\pngblip\\picwgoal900\\pichgoal600 " +
        PngHex() +
        "}\\par"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A1\\cell B1\\cell\\row\\pard end\\par}";
    const std::string rtfGb = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0 " +
                              std::string("\\'c4\\'e3\\'ba\\'c3}");
    const std::string rtfUtf8 = "{\\rtf1\\ansi\\ansicpg65001 na\xC3\xAFve \xE2\x82\xAC}";
    TMainForm& f = Start({{"a.rtf", rtf1252}, {"b.rtf", rtfGb}, {"c.rtf", rtfUtf8}, {"d.rtf", "not rich"}});
    Show("a.rtf");
    EXPECT_EQ(f.ContentKind(), kKindRichText);
    const QTextDocument& doc = *Text().document();
    EXPECT_TRUE(doc.toPlainText().startsWith(QString::fromUtf8("caf\xC3\xA9 bold red both\n")));
    EXPECT_EQ(FormatOf(doc, "bold").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf(doc, "caf").fontWeight(), QFont::Normal);
    EXPECT_TRUE(FormatOf(doc, "red").fontItalic());
    EXPECT_EQ(FormatOf(doc, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(FormatOf(doc, "both").fontUnderline());
    EXPECT_TRUE(FormatOf(doc, "both").fontStrikeOut());
    EXPECT_EQ(FormatOf(doc, "big").fontPointSize(), 24.0);
    EXPECT_EQ(FormatOf(doc, "caf").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(doc.find("big").block().blockFormat().alignment(), Qt::AlignHCenter);
    // The picture is in the document at its given size (900 x 600 twips at 96 dpi).
    bool picture = false;
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
                EXPECT_EQ(image.width(), 60.0);
                EXPECT_EQ(image.height(), 40.0);
                const QImage stored = doc.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
                EXPECT_EQ(stored.size(), QSize(4, 3));
                EXPECT_EQ(stored.pixelColor(1, 1), QColor(Qt::red));
                picture = true;
            }
    EXPECT_TRUE(picture);
    QTextCursor inTable = doc.find("B1");
    ASSERT_NE(inTable.currentTable(), nullptr);
    EXPECT_EQ(inTable.currentTable()->columns(), 2);
    EXPECT_EQ(inTable.currentTable()->cellAt(0, 0).firstCursorPosition().block().text(), "A1");

    Show("b.rtf");
    EXPECT_EQ(Text().toPlainText(), QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD"));
    Show("c.rtf");
    EXPECT_EQ(Text().toPlainText(), QString::fromUtf8("na\xC3\xAFve \xE2\x82\xAC"));
    // An .rtf file that is not rich text shows as it is.
    Show("d.rtf");
    EXPECT_EQ(Text().toPlainText(), "not rich");
}

TEST_F(ViewersTest, CopyTakesOnlyASelectionAndSelectAllSelectsEverything) {
    Start({{"a.txt", "copy me"}});
    Show("a.txt");
    QApplication::clipboard()->setText("before");
    Trigger("TxtCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    Trigger("TxtSelectAll");
    EXPECT_EQ(Text().textCursor().selectedText(), "copy me");
    Trigger("TxtCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), "copy me");
}

// ---- web view ----

TEST_F(ViewersTest, PagesGoToTheBrowserMadeAtTheFirstPage) {
    TMainForm& f = Start({{"a.txt", ""}, {"b.htm", ""}, {"welcome.html", "<title>x</title>"}});
    EXPECT_EQ(browsersMade, 0);
    Show("welcome.html");
    Show("b.htm");
    EXPECT_EQ(browsersMade, 1);
    EXPECT_EQ(urls,
              (std::vector<std::string>{"file://" + Library() + "welcome.html", "file://" + Library() + "b.htm"}));
    EXPECT_TRUE(f.Ui().HtmlPanel->isVisibleTo(f.Ui().SeeBox));
}

// ---- media view ----

TEST_F(ViewersTest, OpeningAMediaFileRendersRunsAndSetsTheTrackBar) {
    TMainForm& f = Start({{"clip.avi", "x"}});
    Show("clip.avi");
    ASSERT_NE(graphs.graph(), nullptr);
    EXPECT_EQ(Graph().calls.front(), "render " + Library() + "clip.avi");
    EXPECT_EQ(Graph().state, State::Running);
    EXPECT_TRUE(f.Ui().AviPanel->isVisibleTo(f.Ui().SeeBox));
    EXPECT_TRUE(TrackBar().isEnabled());
    EXPECT_EQ(TrackBar().minimum(), 0);
    EXPECT_EQ(TrackBar().maximum(), 10);
    EXPECT_TRUE(f.Ui().Timer3->isActive());
    EXPECT_EQ(f.Ui().Timer3->interval(), 200);
    EXPECT_EQ(f.MediaDuration, 10.0);
    // 640 x 480 in the 300 x 300 panel: 300 x 225 at top 37, the video filling the host.
    EXPECT_EQ(f.Ui().PlayPanel->geometry(), QRect(0, 37, 300, 225));
    EXPECT_TRUE(Graph().windowShown);
    EXPECT_EQ(Graph().windowRect, (VideoRect{0, 0, 300, 225}));
    EXPECT_EQ(f.VideoWidth(), 640);
    EXPECT_FALSE(f.Ui().AudioIcon->isVisible());
}

TEST_F(ViewersTest, VideoSizingFollowsTheZoomModeAndMovesTheVideoWindow) {
    TMainForm& f = Start({{"clip.avi", "x"}});
    Show("clip.avi");
    struct Mode {
        const char* action;
        QRect host;
    };
    for (const Mode& m : {Mode{"FullSize", {-170, -90, 640, 480}}, Mode{"Size2_1", {-10, 30, 320, 240}},
                          Mode{"Size4_1", {70, 90, 160, 120}}, Mode{"Size8_1", {110, 120, 80, 60}},
                          Mode{"AutoSize", {0, 37, 300, 225}}}) {
        Trigger(m.action);
        EXPECT_EQ(f.Ui().PlayPanel->geometry(), m.host) << m.action;
        EXPECT_EQ(Graph().windowRect, (VideoRect{0, 0, m.host.width(), m.host.height()})) << m.action;
    }
    // A resize of the content area sizes the video again.
    f.Ui().SeeBox->resize(600, 300);
    EXPECT_EQ(f.Ui().PlayPanel->geometry(), QRect(100, 0, 400, 300));
}

TEST_F(ViewersTest, TheTimerLoopsTheStreamAtExactlyItsDuration) {
    TMainForm& f = Start({{"clip.avi", "x"}});
    Show("clip.avi");
    Tick(9.5);
    EXPECT_EQ(TrackBar().value(), 9);
    EXPECT_EQ(f.MediaPosition, 9.5);
    EXPECT_EQ(f.Ui().MediaTimeLabel->text(), "0:09 / 0:10");
    Tick(5);  // the stream rests at 10.0
    EXPECT_EQ(f.MediaPosition, 0.0);
    EXPECT_EQ(Graph().position, 0.0);
    EXPECT_EQ(Graph().state, State::Running);
    EXPECT_EQ(TrackBar().value(), 0);
    EXPECT_EQ(Graph().Seeks(), 1);
}

TEST_F(ViewersTest, MovingTheThumbSeeksOnceAndTheTimerWriteDoesNotSeekAgain) {
    TMainForm& f = Start({{"clip.avi", "x"}});
    Show("clip.avi");
    TrackBar().setValue(4);
    EXPECT_EQ(Graph().position, 4.0);
    EXPECT_EQ(f.MediaPosition, 4.0);
    EXPECT_EQ(Graph().Seeks(), 1);
    Tick(1.2);
    EXPECT_EQ(TrackBar().value(), 5);
    EXPECT_EQ(Graph().Seeks(), 1);
    // While MediaSyncEnabled is off a thumb move reaches nothing.
    f.MediaSyncEnabled = false;
    TrackBar().setValue(7);
    f.Timer3Timer();
    EXPECT_EQ(Graph().Seeks(), 1);
    EXPECT_EQ(TrackBar().value(), 7);
}

TEST_F(ViewersTest, SpeedCheckMarksFollowTheRateWhenTheMenuOpens) {
    TMainForm& f = Start({{"a.txt", "x"}, {"clip.avi", "x"}});
    // Without media the speed items keep whatever check marks they had.
    f.Action("Speed_05")->setChecked(true);
    Trigger("Speed_2");
    f.PopupMenu4Popup();
    EXPECT_TRUE(Checked("Speed_05"));
    EXPECT_FALSE(Checked("Speed_2"));

    Show("clip.avi");
    Trigger("Speed_2");
    EXPECT_EQ(Graph().rate, 2.0);
    f.PopupMenu4Popup();
    EXPECT_FALSE(Checked("Speed_05"));
    EXPECT_FALSE(Checked("Speed_1"));
    EXPECT_TRUE(Checked("Speed_2"));
    Trigger("Speed_05");
    f.PopupMenu4Popup();
    EXPECT_TRUE(Checked("Speed_05"));
    EXPECT_FALSE(Checked("Speed_2"));
    Graph().rate = 1.6;  // trunc(3.2) names no item
    f.PopupMenu4Popup();
    EXPECT_FALSE(Checked("Speed_05") || Checked("Speed_1") || Checked("Speed_2"));
}

TEST_F(ViewersTest, PauseTogglesAndPlayOrStopClearIt) {
    Start({{"clip.avi", "x"}});
    Show("clip.avi");
    Trigger("MediaPause");
    EXPECT_TRUE(Checked("MediaPause"));
    EXPECT_EQ(Graph().state, State::Paused);
    Trigger("MediaPause");
    EXPECT_FALSE(Checked("MediaPause"));
    EXPECT_EQ(Graph().state, State::Running);
    Trigger("MediaPause");
    Trigger("MediaStop");
    EXPECT_FALSE(Checked("MediaPause"));
    EXPECT_EQ(Graph().state, State::Stopped);
    Trigger("MediaPause");
    Trigger("MediaPlay");
    EXPECT_FALSE(Checked("MediaPause"));
    EXPECT_EQ(Graph().state, State::Running);
}

TEST_F(ViewersTest, LeavingTheMediaViewStopsButKeepsTheGraphAndClosingStopsIt) {
    TMainForm& f = Start({{"a.avi", "x"}, {"b.txt", "text"}, {"c.wav", "x"}});
    Show("a.avi");
    Show("b.txt");
    ASSERT_NE(graphs.graph(), nullptr);
    EXPECT_EQ(Graph().state, State::Stopped);
    EXPECT_FALSE(f.Ui().AviPanel->isVisibleTo(f.Ui().SeeBox));
    Show("c.wav");  // a new file, a new graph
    EXPECT_EQ(graphs.created, 2);
    EXPECT_EQ(graphs.released, 1);
    f.close();
    EXPECT_EQ(Graph().state, State::Stopped);
    form.reset();
    EXPECT_EQ(graphs.released, 2);
}

TEST_F(ViewersTest, AudioShowsItsTypePictureAndALateDurationEnablesTheTrackBar) {
    graphs.setup.videoSize.reset();
    graphs.setup.duration.reset();
    TMainForm& f = Start({{"a.mp3", "x"}});
    Show("a.mp3");
    EXPECT_EQ(f.VideoWidth(), 1);
    EXPECT_EQ(f.VideoHeight(), 1);
    EXPECT_EQ(f.Ui().PlayPanel->geometry(), QRect(0, 0, 300, 300));
    EXPECT_TRUE(f.Ui().AudioIcon->isVisibleTo(f.Ui().AviPanel));
    EXPECT_FALSE(f.Ui().AudioIcon->pixmap().isNull());
    EXPECT_FALSE(TrackBar().isEnabled());
    EXPECT_FALSE(f.Ui().Timer3->isActive());
    EXPECT_EQ(f.Ui().MediaTimeLabel->text(), "0:00 / --:--");
    // The player learns the length while playing.
    Graph().setup.duration = 65.0;
    Graph().NotifyChange();
    EXPECT_TRUE(TrackBar().isEnabled());
    EXPECT_EQ(TrackBar().maximum(), 65);
    EXPECT_TRUE(f.Ui().Timer3->isActive());
    EXPECT_EQ(f.Ui().MediaTimeLabel->text(), "0:00 / 1:05");
}

TEST_F(ViewersTest, WithoutAGraphOrItsPartsEveryOperationIsSkipped) {
    graphs.works = false;
    TMainForm& f = Start({{"a.avi", "x"}, {"b.avi", "y"}});
    Show("a.avi");
    EXPECT_EQ(f.VideoWidth(), 0);
    EXPECT_EQ(f.Ui().PlayPanel->size(), QSize(0, 0));
    EXPECT_FALSE(TrackBar().isEnabled());
    Trigger("MediaPause");
    EXPECT_FALSE(Checked("MediaPause"));
    Trigger("MediaPlay");
    Trigger("Speed_2");
    f.Timer3Timer();

    graphs.works = true;
    graphs.setup.control = false;
    graphs.setup.position = false;
    graphs.setup.videoWindow = false;
    graphs.setup.basicVideo = false;
    Show("b.avi");
    ASSERT_NE(graphs.graph(), nullptr);
    Trigger("MediaPause");
    EXPECT_FALSE(Checked("MediaPause"));
    Trigger("MediaStop");
    Trigger("Speed_2");
    TrackBar().setValue(3);
    f.Timer3Timer();
    EXPECT_EQ(Graph().calls, (std::vector<std::string>{"render " + Library() + "b.avi"}));
    EXPECT_FALSE(Graph().windowShown);
    EXPECT_EQ(f.VideoWidth(), 1);
    EXPECT_FALSE(TrackBar().isEnabled());
}

}  // namespace
}  // namespace vs

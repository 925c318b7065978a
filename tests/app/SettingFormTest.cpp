#include "app/Dialogs.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"
#include "support/TextFit.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace vs {
namespace {

namespace fs = std::filesystem;

class SettingFormTest : public ::testing::Test {
protected:
    std::string Library() const { return home.file("bin/Photo Folder/"); }
    TMainForm& Start() {
        fs::create_directories(Library());
        MainFormEnvironment env{home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
        form = std::make_unique<TMainForm>(prompts, env);
        dialog = std::make_unique<TSettingForm>(form.get());
        form->SetDialogs(dialog.get(), nullptr, nullptr);
        form->show();
        return *form;
    }
    // Runs the Setting command; `act` works the open dialog, then it is closed with OK.
    void Setting(const std::function<void(TSettingForm&)>& act, bool ok = true) {
        QTimer::singleShot(0, dialog.get(), [&] {
            act(*dialog);
            (ok ? dialog->OKBtn : dialog->Button2)->click();
        });
        form->SettingExecute();
    }
    int TopNodes() const { return form->Ui().FolderTreeView->topLevelItem(0)->childCount(); }

    test::TempHome home;
    fake::FakePrompts prompts;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TSettingForm> dialog;
};

TEST_F(SettingFormTest, BothPagesFitTheirTexts) {
    Start();
    dialog->show();
    for (QWidget* page : {dialog->PhotoFolderPage, dialog->FileTypePage}) {
        dialog->PageControl1->setCurrentWidget(page);
        QCoreApplication::processEvents();
        EXPECT_EQ(test::CutTexts(dialog.get()), std::vector<std::string>{}) << page->objectName().toStdString();
    }
    // No entry of the file-type list needs the horizontal scroll bar.
    EXPECT_FALSE(dialog->FileTypeList->horizontalScrollBar()->isVisible());
    EXPECT_GE(dialog->width(), 418);
    EXPECT_GE(dialog->height(), 330);
}

TEST_F(SettingFormTest, LayoutAndFilling) {
    TMainForm& f = Start();
    EXPECT_EQ(dialog->windowTitle(), "Setting");
    EXPECT_EQ(dialog->size(), QSize(418, 330));
    EXPECT_EQ(dialog->PageControl1->tabText(0), "Photo Folder");
    EXPECT_EQ(dialog->PageControl1->tabText(1), "View File Type");
    EXPECT_EQ(dialog->PageControl1->currentWidget(), dialog->FileTypePage);
    EXPECT_EQ(dialog->CheckBox1->text(), "Move all subfolder and images to new photo folder");
    const char* captions[] = {".bmp", ".jpg", ".tif,.tiff", ".tga", ".pcx", ".psd", ".kev", ".xf", ".sfc", ".mig",
                              ".avi", ".mpg", ".mov", ".mp3", ".wav", ".mid", ".rmi", ".htm;.html", ".txt", ".rtf",
                              // ours, after the twenty of the original
                              ".png", ".gif", ".webp", ".heic;.heif", ".avif"};
    ASSERT_EQ(dialog->FileTypeList->count(), 25);
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(dialog->FileTypeList->item(i)->text(), captions[i]);
    f.Ui().ImagesListView1->SetFlag(kTypePsd, false);
    Setting([&](TSettingForm& d) {
        EXPECT_EQ(d.PhotoFolderPath->text().toStdString(), Library());
        EXPECT_EQ(d.FileTypeList->item(kTypePsd)->checkState(), Qt::Unchecked);
        EXPECT_EQ(d.FileTypeList->item(kTypeBmp)->checkState(), Qt::Checked);
        d.PageControl1->setCurrentWidget(d.PhotoFolderPage);
        d.PhotoFolderPath->setText("/somewhere/else/");
    }, false);
    EXPECT_EQ(f.PhotoFolder, Library());  // Cancel applies nothing
    Setting([&](TSettingForm& d) {
        EXPECT_EQ(d.PageControl1->currentWidget(), d.PhotoFolderPage);  // the last page chosen
        EXPECT_EQ(d.PhotoFolderPath->text().toStdString(), Library());  // filled anew
    }, false);
}

TEST_F(SettingFormTest, OkWithoutPathChangeAppliesTypesOnly) {
    TMainForm& f = Start();
    test::WriteText(Library() + "page.htm", "<p>x</p>");
    test::WriteText(Library() + "page.html", "<p>x</p>");
    fs::create_directories(Library() + "Later");
    Setting([](TSettingForm& d) { d.FileTypeList->item(kTypeHtm)->setCheckState(Qt::Unchecked); });
    EXPECT_FALSE(f.Ui().ImagesListView1->flags()[kTypeHtm]);
    EXPECT_TRUE(f.Ui().ImagesListView1->findItems("page.htm", Qt::MatchExactly).isEmpty());
    EXPECT_TRUE(f.Ui().ImagesListView1->findItems("page.html", Qt::MatchExactly).isEmpty());
    EXPECT_EQ(TopNodes(), 0);  // the tree was not rebuilt
    Setting([](TSettingForm& d) { d.FileTypeList->item(kTypeHtm)->setCheckState(Qt::Checked); });
    EXPECT_EQ(f.Ui().ImagesListView1->findItems("page.html", Qt::MatchExactly).size(), 1);
}

TEST_F(SettingFormTest, PathInOtherLetterCaseCountsAsAChange) {
    TMainForm& f = Start();
    fs::create_directories(Library() + "Later");
    const std::string other = home.file("bin/photo folder/");
    Setting([&](TSettingForm& d) { d.PhotoFolderPath->setText(QString::fromStdString(other)); });
    EXPECT_EQ(f.PhotoFolder, other);
    EXPECT_TRUE(fs::is_directory(other));  // a different folder on a case-sensitive disk
    EXPECT_EQ(TopNodes(), 0);
    // A typed path gets its trailing slash; the tree is rebuilt under it.
    fs::create_directories(home.file("New Root/Sub"));
    Setting([&](TSettingForm& d) { d.PhotoFolderPath->setText(QString::fromStdString(home.file("New Root"))); });
    EXPECT_EQ(f.PhotoFolder, home.file("New Root/"));
    EXPECT_EQ(TopNodes(), 1);
}

TEST_F(SettingFormTest, BrowseButtonAppendsThePhotoFolder) {
    Start();
    prompts.folders = {home.file("Data"), std::nullopt};
    Setting([&](TSettingForm& d) {
        d.Button1->click();
        EXPECT_EQ(d.PhotoFolderPath->text().toStdString(), home.file("Data/Photo Folder/"));
        d.PhotoFolderPath->setText("kept");
        d.Button1->click();  // cancelled: the edit stays
        EXPECT_EQ(d.PhotoFolderPath->text(), "kept");
    }, false);
    EXPECT_EQ(prompts.folderCaptions, (std::vector<std::string>{"Select a folder", "Select a folder"}));
    // The picker opens at the photo folder; without it at the desktop folder, or else home.
    ASSERT_EQ(prompts.folderStarts.size(), 2u);
    EXPECT_EQ(prompts.folderStarts[0], Library());
    fs::remove_all(Library());
    std::error_code ec;
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString fallback = fs::is_directory(desktop.toStdString(), ec)
                                 ? desktop
                                 : QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    EXPECT_EQ(form->BrowseForFolder(), "");
    EXPECT_EQ(prompts.folderStarts.back(), fallback.toStdString());
}

}  // namespace
}  // namespace vs

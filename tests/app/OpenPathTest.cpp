// `vantorsee PATH`: the window opens PATH's folder in the grid and shows PATH when it is a file.

#include "app/StartUp.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace vs {
namespace {

class OpenPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto made =
            test::Run(test::Quote(std::getenv("VS_TOOL")) + " samples " + test::Quote(home.file("Trips")));
        ASSERT_EQ(made.exitCode, 0) << made.err;
        std::filesystem::create_directories(home.file("bin"));
        form = std::make_unique<TMainForm>(prompts, MainFormEnvironment{home.file(".config/vantor-see/settings.reg"),
                                                                        home.file("bin"), home.file("Pictures")});
        form->show();
    }
    test::TempHome home;
    fake::FakePrompts prompts;
    std::unique_ptr<TMainForm> form;
};

TEST_F(OpenPathTest, AFileArgumentShowsItsFolderWithTheFileSelectedAndShown) {
    const auto target = ResolveStartPath(home.file("Trips/hills.kev"), "/");
    ASSERT_TRUE(target);
    form->OpenStartPath(*target);
    TImagesListView* grid = form->Ui().ImagesListView1;
    EXPECT_EQ(grid->Path().toStdString(), home.file("Trips") + "/");
    ASSERT_EQ(grid->selectedItems().size(), 1);
    EXPECT_EQ(grid->selectedItems().front()->text(), "hills.kev");
    EXPECT_EQ(form->ShownFilePath(), QString::fromStdString(home.file("Trips/hills.kev")).toLower().toStdString());
    EXPECT_EQ(form->windowTitle().toStdString(), "Vantor See 1.1   " + home.file("Trips") + "/");
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(OpenPathTest, AFolderArgumentShowsTheFolderAsAClickOnItWould) {
    form->OpenStartPath(*ResolveStartPath(home.file("Trips/Travel"), "/"));
    TImagesListView* grid = form->Ui().ImagesListView1;
    EXPECT_EQ(grid->Path().toStdString(), home.file("Trips/Travel") + "/");
    ASSERT_GT(grid->count(), 0);
    EXPECT_EQ(form->ShownFilePath(), (grid->Path() + grid->item(0)->text()).toLower().toStdString());
}

}  // namespace
}  // namespace vs

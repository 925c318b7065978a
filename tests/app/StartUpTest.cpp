#include "app/StartUp.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vs::test {
namespace {

TEST(StartUp, SystemProgramFoldersNeverHoldTheLibrary) {
    for (const char* folder : {"/usr/bin", "/usr/bin/", "/usr/local/bin", "/bin", "/usr/games", "/usr/./bin"})
        EXPECT_TRUE(IsSystemProgramFolder(folder)) << folder;
    for (const char* folder : {"", "/home/ann/vantor/build/bin", "/usr", "/usr/bin/extra", "/opt"})
        EXPECT_FALSE(IsSystemProgramFolder(folder)) << folder;
}

TEST(StartUp, PathArgumentNamesAFolderToShowAndAFileToSelect) {
    TempDir dir;
    WriteText(dir.file("Trip 2020/Beach #1.JPG"), "x");
    const std::string trip = dir.path() + "/Trip 2020/";
    EXPECT_EQ(ResolveStartPath(dir.file("Trip 2020/Beach #1.JPG"), "/"), (StartTarget{trip, "Beach #1.JPG"}));
    EXPECT_EQ(ResolveStartPath(dir.file("Trip 2020"), "/"), (StartTarget{trip, ""}));
    EXPECT_EQ(ResolveStartPath(dir.file("Trip 2020//"), "/"), (StartTarget{trip, ""}));
    // Relative to the current folder, and as the file: URI some launchers pass.
    EXPECT_EQ(ResolveStartPath("Trip 2020/./Beach #1.JPG", dir.path()), (StartTarget{trip, "Beach #1.JPG"}));
    EXPECT_EQ(ResolveStartPath("file://" + dir.path() + "/Trip%202020/Beach%20%231.JPG", "/"),
              (StartTarget{trip, "Beach #1.JPG"}));
    EXPECT_EQ(ResolveStartPath("/", "/tmp"), (StartTarget{"/", ""}));
    // Nothing there: start as without an argument.
    EXPECT_EQ(ResolveStartPath(dir.file("missing.jpg"), "/"), std::nullopt);
    EXPECT_EQ(ResolveStartPath("", "/"), std::nullopt);
}

}  // namespace
}  // namespace vs::test

// The installed program as a desktop sees it: every file in place, entries that validate,
// KEV and XF files recognised by the MIME database, and the Debian package.

#include "controls/FileTypes.h"
#include "desktop/DesktopSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

namespace vs::test {
namespace {

namespace fs = std::filesystem;

const std::string kDesktopEntry = "share/applications/org.vantorsee.VantorSee.desktop";

std::set<std::string> Split(const std::string& text, char separator) {
    std::set<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        if (!part.empty())
            parts.insert(part);
    return parts;
}

// The value of "Key=" in a desktop-style file.
std::string EntryValue(const std::string& file, const std::string& key) {
    std::istringstream in(ReadText(file));
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key + "="))
            return line.substr(key.size() + 1);
    return {};
}

// Every file and link below root, as paths relative to it.
std::set<std::string> FilesBelow(const std::string& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory() || e.is_symlink())
            files.insert(e.path().lexically_relative(root).string());
    return files;
}

TEST(DesktopInstall, PutsProgramsLibraryPluginAndDesktopFilesUnderThePrefix) {
    const std::vector<std::string> expected = {
        "bin/vantorsee",
        "bin/vantorsee-tool",
        "include/vantor/dibkit.h",
        kDesktopEntry,
        "share/metainfo/org.vantorsee.VantorSee.metainfo.xml",
        "share/mime/packages/vantorsee.xml",
        "share/thumbnailers/vantorsee.thumbnailer",
        "share/icons/hicolor/scalable/apps/vantorsee.svg",
        "share/man/man1/vantorsee.1.gz",
        "share/man/man1/vantorsee-tool.1.gz",
    };
    for (const auto& f : expected) EXPECT_TRUE(fs::is_regular_file(Installed(f))) << f;
    EXPECT_TRUE(fs::is_regular_file(InstalledPluginFolder() + "/imageformats/libvantorsee_imageformat.so"));
    EXPECT_TRUE(fs::is_regular_file(InstalledLib("pkgconfig/vantordib.pc")));
    EXPECT_TRUE(fs::is_symlink(InstalledLib("libvantordib.so")));
    EXPECT_NE(test::Run("readelf -d " + Quote(InstalledLib("libvantordib.so"))).out.find("soname: [libvantordib.so.1]"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(InstalledLib("libvantordib.so.1")));

    // The theme's icons are square at the size their folder names.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string s = std::to_string(size);
        const std::string icon = Installed("share/icons/hicolor/" + s + "x" + s + "/apps/vantorsee.png");
        EXPECT_EQ(test::Run("identify -format '%wx%h' " + Quote(icon)).out, s + "x" + s) << icon;
    }
    // Man pages are compressed roff that man renders without complaint.
    for (const std::string page : {"vantorsee.1.gz", "vantorsee-tool.1.gz"}) {
        const CommandResult r = test::Run("man --warnings -l " + Quote(Installed("share/man/man1/" + page)) + " | cat");
        EXPECT_EQ(r.exitCode, 0) << page;
        EXPECT_NE(r.out.find("SYNOPSIS"), std::string::npos) << page;
        EXPECT_EQ(r.err, "") << page;
    }
}

TEST(DesktopInstall, PkgConfigFileBuildsAndLinksACallerOfTheLibrary) {
    TempDir dir;
    WriteText(dir.file("caller.c"),
              "#include <vantor/dibkit.h>\n"
              "int main(void) {\n"
              "    VDK_HGLOBAL h = vdk_GlobalAlloc(VDK_GMEM_MOVEABLE, 64);\n"
              "    int ok = h && vdk_GlobalSize(h) >= 64;\n"
              "    vdk_GlobalFree(h);\n"
              "    return ok ? 0 : 1;\n"
              "}\n");
    const std::string pc = "PKG_CONFIG_PATH=" + InstalledLib("pkgconfig") + " ";
    const CommandResult build = test::Run(pc + "sh -c 'cc " + Quote(dir.file("caller.c")) + " -o " +
                                          Quote(dir.file("caller")) + " " VS_CALLER_FLAGS
                                          " $(pkg-config --cflags --libs vantordib)'");
    ASSERT_EQ(build.exitCode, 0) << build.err;
    EXPECT_EQ(test::Run(InstalledEnv() + Quote(dir.file("caller"))).exitCode, 0);
}

TEST(DesktopEntry, ValidatesStartsWithTheFileAndListsTheTypeOfEveryListableEnding) {
    const std::string entry = Installed(kDesktopEntry);
    const CommandResult check = test::Run("desktop-file-validate " + Quote(entry));
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_EQ(EntryValue(entry, "Exec"), "vantorsee %f");
    EXPECT_EQ(EntryValue(entry, "Icon"), "vantorsee");
    const std::set<std::string> listed = Split(EntryValue(entry, "MimeType"), ';');

    // The MIME database with our package added: each ending the grid lists has a type the
    // entry names, unless the database knows no type for it at all.
    TempDir data;
    fs::create_directories(data.path() + "/mime/packages");
    fs::copy_file(Installed("share/mime/packages/vantorsee.xml"), data.path() + "/mime/packages/vantorsee.xml");
    ASSERT_EQ(test::Run("update-mime-database " + Quote(data.path() + "/mime")).exitCode, 0);
    const std::string globs = ReadText("/usr/share/mime/globs2") + ReadText(data.path() + "/mime/globs2");
    for (const FileType& type : FileTypes())
        for (const std::string_view ending : type.endings) {
            if (ending.empty())
                continue;
            std::set<std::string> known;
            std::istringstream in(globs);
            for (std::string line; std::getline(in, line);) {
                const auto parts = line.find(':');
                const auto glob = line.rfind(':');
                if (parts != std::string::npos && line.substr(glob + 1) == "*" + std::string(ending))
                    known.insert(line.substr(parts + 1, glob - parts - 1));
            }
            if (known.empty())
                continue;  // ".rmi": no desktop knows a type for it
            EXPECT_TRUE(std::ranges::any_of(known, [&](const std::string& t) { return listed.contains(t); }))
                << ending << " has none of its types in the entry";
        }
    EXPECT_TRUE(listed.contains("image/x-vantor-kev"));
    EXPECT_TRUE(listed.contains("application/x-vantor-xf"));
}

TEST(Metainfo, ValidatesOfflineAndLaunchesTheInstalledEntry) {
    const std::string metainfo = Installed("share/metainfo/org.vantorsee.VantorSee.metainfo.xml");
    const CommandResult check = test::Run("appstreamcli validate --no-net " + Quote(metainfo));
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_NE(ReadText(metainfo).find("<launchable type=\"desktop-id\">org.vantorsee.VantorSee.desktop</launchable>"),
              std::string::npos);
}

TEST(MimePackage, RecognisesKevAndXfFilesByEndingAndByTheirFirstBytes) {
    TempDir data;
    fs::create_directories(data.path() + "/mime/packages");
    fs::copy_file(Installed("share/mime/packages/vantorsee.xml"), data.path() + "/mime/packages/vantorsee.xml");
    ASSERT_EQ(test::Run("update-mime-database " + Quote(data.path() + "/mime")).exitCode, 0);

    TempDir files;
    ASSERT_EQ(test::Run(Quote(std::getenv("VS_TOOL")) + " samples " + Quote(files.path())).exitCode, 0);
    fs::copy_file(files.file("hills.kev"), files.file("hills"));
    fs::copy_file(files.file("holiday.xf"), files.file("holiday"));
    fs::copy_file(files.file("hills.kev"), files.file("HILLS.SFC"));
    WriteText(files.file("game.sfc"), "not a picture, a game cartridge dump");

    // GNOME's way of asking: GIO's content type from the shared MIME database.
    const auto typeOf = [&](const std::string& name) {
        const CommandResult r =
            test::Run("env XDG_DATA_HOME=" + Quote(data.path()) +
                      " XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype " + Quote(files.file(name)));
        return r.out.substr(0, r.out.find('\n'));
    };
    EXPECT_EQ(typeOf("hills.kev"), "image/x-vantor-kev");
    EXPECT_EQ(typeOf("moon.sfc"), "image/x-vantor-kev");
    EXPECT_EQ(typeOf("HILLS.SFC"), "image/x-vantor-kev");
    EXPECT_EQ(typeOf("hills"), "image/x-vantor-kev");
    EXPECT_EQ(typeOf("holiday.xf"), "application/x-vantor-xf");
    EXPECT_EQ(typeOf("slides.mig"), "application/x-vantor-xf");
    EXPECT_EQ(typeOf("holiday"), "application/x-vantor-xf");
    // A ".sfc" that is no KEV picture keeps the type the ending had before.
    EXPECT_EQ(typeOf("game.sfc"), "application/vnd.nintendo.snes.rom");
}

TEST(DebianPackage, HoldsExactlyTheInstalledFilesAndDependsOnTheLibrariesTheyLink) {
    TempDir out;
    const CommandResult pack =
        test::Run("cpack -G DEB --config " + Quote(VS_CPACK_CONFIG) + " -B " + Quote(out.path()));
    ASSERT_EQ(pack.exitCode, 0) << pack.out << pack.err;
    std::string deb;
    for (const auto& e : fs::directory_iterator(out.path()))
        if (e.path().extension() == ".deb")
            deb = e.path().string();
    ASSERT_FALSE(deb.empty());
    EXPECT_TRUE(fs::path(deb).filename().string().starts_with("vantor-see_1.1"));

    std::set<std::string> packaged;
    std::istringstream list(test::Run("dpkg-deb --fsys-tarfile " + Quote(deb) + " | tar -t").out);
    for (std::string line; std::getline(list, line);)
        if (!line.ends_with("/"))
            packaged.insert(line.substr(line.find("usr/")));
    std::set<std::string> installed;
    for (const auto& f : FilesBelow(std::string(VS_TEST_INSTALL_ROOT))) installed.insert(f);
    EXPECT_EQ(packaged, installed);

    EXPECT_EQ(test::Run("dpkg-deb -f " + Quote(deb) + " Package").out, "vantor-see\n");
    const std::string depends = test::Run("dpkg-deb -f " + Quote(deb) + " Depends").out;
    for (const std::string lib :
         {"libc6", "libqt6gui6", "libqt6widgets6", "libjpeg62-turbo", "libtiff6", "libpng16-16"})
        EXPECT_NE(depends.find(lib), std::string::npos) << lib << " missing from: " << depends;
    EXPECT_NE(test::Run("dpkg-deb -I " + Quote(deb) + " postinst").out.find("ldconfig"), std::string::npos);
    EXPECT_NE(test::Run("dpkg-deb -I " + Quote(deb) + " postrm").out.find("ldconfig"), std::string::npos);
}

}  // namespace
}  // namespace vs::test

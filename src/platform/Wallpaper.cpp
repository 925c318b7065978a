#include "platform/Wallpaper.h"

#include "platform/Folders.h"

#include <cstdlib>
#include <sstream>

namespace vs {

std::string WallpaperFileName() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && home[0] == '/' ? home : "/tmp") + "/.local/share";
    }
    const std::string folder = base + "/vantor-see/";
    MakeFolders(folder, 0700);
    return folder + "VANTORSEEWALLPAPER.BMP";
}

std::string FileUri(const std::string& absolutePath) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : absolutePath) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

namespace {

bool DesktopIs(const std::string& currentDesktop, std::initializer_list<const char*> names) {
    std::stringstream list(currentDesktop);
    std::string item;
    while (std::getline(list, item, ':'))
        for (const char* n : names)
            if (item == n)
                return true;
    return false;
}

}  // namespace

std::vector<std::vector<std::string>> WallpaperCommands(const std::string& currentDesktop, const std::string& file,
                                                        const std::function<bool(const std::string&)>& hasProgram) {
    std::vector<std::vector<std::string>> commands;
    if (DesktopIs(currentDesktop, {"GNOME", "Unity", "Budgie", "Cinnamon", "Pantheon", "ubuntu"}) &&
        hasProgram("gsettings")) {
        const std::string uri = FileUri(file);
        for (const char* key : {"picture-uri", "picture-uri-dark"})
            commands.push_back({"gsettings", "set", "org.gnome.desktop.background", key, uri});
    } else if (DesktopIs(currentDesktop, {"KDE"}) && hasProgram("plasma-apply-wallpaperimage")) {
        commands.push_back({"plasma-apply-wallpaperimage", file});
    }
    return commands;
}

}  // namespace vs

#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vs {

// Hands a picture file to the desktop as its wallpaper. The window uses the desktop's own
// tools; tests record the request.
class Wallpaper {
public:
    virtual ~Wallpaper() = default;
    // True when a desktop took the file; false when none answered (the file stays written).
    virtual bool setWallpaper(const std::string& file) = 0;
};

// Where the wallpaper picture is written: $XDG_DATA_HOME/vantor-see/VANTORSEEWALLPAPER.BMP
// (default ~/.local/share/vantor-see/). The folder is created when missing. Read afresh on
// every call.
std::string WallpaperFileName();

// The commands that set `file` as wallpaper on the desktop named by XDG_CURRENT_DESKTOP
// (a colon-separated list), using only programs hasProgram says are installed: GNOME and its
// relatives through gsettings (picture-uri and picture-uri-dark), KDE Plasma through
// plasma-apply-wallpaperimage. Empty for any other desktop. XFCE needs its property list
// first and is handled by the window's realisation.
std::vector<std::vector<std::string>> WallpaperCommands(const std::string& currentDesktop, const std::string& file,
                                                        const std::function<bool(const std::string&)>& hasProgram);

// file:// URI of an absolute path, with the characters a URI cannot carry escaped.
std::string FileUri(const std::string& absolutePath);

}  // namespace vs

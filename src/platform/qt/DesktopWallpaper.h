#pragma once

#include "platform/Wallpaper.h"

namespace vs {

// The running desktop's wallpaper setting, through its own command-line tools: gsettings on
// GNOME, plasma-apply-wallpaperimage on KDE Plasma, xfconf-query on XFCE. Each tool gets a
// few seconds at most, so a hung desktop service cannot freeze the window for long.
class DesktopWallpaper : public Wallpaper {
public:
    bool setWallpaper(const std::string& file) override;
};

}  // namespace vs

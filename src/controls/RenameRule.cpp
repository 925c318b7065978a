#include "controls/RenameRule.h"

namespace vs {

std::string ForcedRenameText(std::string_view oldName, std::string_view typed) {
    static constexpr std::string_view kKnown[] = {
        ".bmp", ".jpg", ".sfc", ".kev", ".mig", ".xf",  ".tif", ".tiff", ".tga", ".pcx", ".psd",
        ".avi", ".mpg", ".mov", ".mp3", ".wav", ".mid", ".rmi", ".htm", ".html", ".txt", ".rtf",
    };
    // ".tif" is tested before ".tiff" but cannot match a name ending in ".tiff", so the first
    // match is the whole extension.
    std::string_view extension;
    for (const std::string_view e : kKnown)
        if (oldName.ends_with(e)) {
            extension = e;
            break;
        }
    std::string text(typed);
    if (extension.empty())
        return text;
    const std::size_t slash = text.find_last_of('/');
    const std::size_t dot = text.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        text.erase(dot);
    return text + std::string(extension);
}

}  // namespace vs

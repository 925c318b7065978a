#include "controls/RenameRule.h"

#include "viewer/FileKinds.h"

namespace vs {

std::string ForcedRenameText(std::string_view oldName, std::string_view typed) {
    // The endings the grid lists. None ends another (".tif" cannot match a name ending in
    // ".tiff"), so the first match is the whole extension.
    std::string_view extension;
    for (const FileKindRow& row : FileKindTable())
        if (row.gridType != kNoGridType && oldName.ends_with(row.ending)) {
            extension = row.ending;
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

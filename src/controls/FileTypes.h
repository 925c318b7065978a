#pragma once

#include "viewer/FileKinds.h"

#include <array>
#include <string_view>
#include <vector>

namespace vs {

// The grid's file types (FileTypeIndex), as the file-kind table defines them.

// Image-list index meaning "thumbnail not made yet" and "making it failed".
inline constexpr int kImageNotMade = -1;
inline constexpr int kImageFailed = -2;

struct FileType {
    std::string_view suffix;        // "_bmp": property and settings value name
    std::string_view label;         // check-box label of the settings dialog
    std::array<std::string_view, 2> endings;  // scan patterns "*<ending>", second may be empty
    int iconIndex;                  // type icon, or kImageNotMade for picture types
};

const std::array<FileType, kFileTypeCount>& FileTypes();

// The order in which a folder scan visits the types.
const std::array<int, kFileTypeCount>& ScanOrder();

// The flags kept in the settings store, in the order they are read and written.
const std::vector<int>& StoredFlagOrder();

using TypeFlags = std::array<bool, kFileTypeCount>;
inline TypeFlags AllTypesOn() {
    TypeFlags f{};
    f.fill(true);
    return f;
}

}  // namespace vs

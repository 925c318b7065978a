#pragma once

// The readers the file-kind table names, one per picture format.

#include "graphics/Bitmap.h"
#include "graphics/FileIo.h"
#include "viewer/FileKinds.h"

#include <cstdint>
#include <span>
#include <string>

namespace vs {

Bitmap ReadBmpPicture(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb matte);
// Decodes at a reduced scale in the DCT when given a cell.
Bitmap ReadJpegPicture(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb matte);
Bitmap ReadKevPicture(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb matte);
// An album's first page, by the reader alone: thumbnails are made off the user-interface
// thread and must not make companion files or show messages.
Bitmap ReadAlbumFirstPage(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb matte);
Bitmap ReadTiffPicture(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb matte);

// Uses a thumbnail image the file stores when it covers the cell.
Bitmap ReadHeifPicture(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb matte);

// A format whose decoder takes the whole file's bytes.
template <Bitmap (*Decode)(std::span<const std::uint8_t>)>
Bitmap ReadWholeFile(const std::string& path, const CellHint* /*hint*/, PictureSize* fullSize, Rgb /*matte*/) {
    Bitmap picture = Decode(ReadFileBytes(path));
    if (fullSize)
        *fullSize = {picture.width(), picture.height()};
    return picture;
}

// The same for a format with transparency, laid over the matte.
template <Bitmap (*Decode)(std::span<const std::uint8_t>, Rgb)>
Bitmap ReadTransparentFile(const std::string& path, const CellHint* /*hint*/, PictureSize* fullSize, Rgb matte) {
    Bitmap picture = Decode(ReadFileBytes(path), matte);
    if (fullSize)
        *fullSize = {picture.width(), picture.height()};
    return picture;
}

}  // namespace vs

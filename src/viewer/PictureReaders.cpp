#include "viewer/PictureReaders.h"

#include "formats/JpegReader.h"
#include "formats/KevImage.h"
#include "formats/ModernReaders.h"
#include "formats/TiffReader.h"
#include "formats/XfAlbum.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"

namespace vs {

namespace {

Bitmap WithSize(Bitmap picture, PictureSize* fullSize) {
    if (fullSize)
        *fullSize = {picture.width(), picture.height()};
    return picture;
}

}  // namespace

Bitmap ReadBmpPicture(const std::string& path, const CellHint*, PictureSize* fullSize, Rgb matte) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    const BmpEmbedded embedded = FindBmpEmbeddedStream(bytes);
    if (embedded.kind == BmpEmbedded::Jpeg)
        return WithSize(DecodeJpeg(embedded.stream), fullSize);
    if (embedded.kind == BmpEmbedded::Png)
        return WithSize(DecodePng(embedded.stream, matte), fullSize);
    return WithSize(DecodeBmp(bytes), fullSize);
}

Bitmap ReadJpegPicture(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb /*matte*/) {
    if (!hint)
        return WithSize(DecodeJpeg(ReadFileBytes(path)), fullSize);
    JpegInfo info;
    Bitmap reduced = DecodeJpegForCell(ReadFileBytes(path), hint->width, hint->height, &info, hint->usePreview);
    if (fullSize)
        *fullSize = {info.shownWidth(), info.shownHeight()};
    return reduced;
}

Bitmap ReadKevPicture(const std::string& path, const CellHint*, PictureSize* fullSize, Rgb /*matte*/) {
    TKevImage kev;
    if (!kev.Read(path))
        throw DecodeError("not a readable KEV file: " + path);
    return WithSize(std::move(kev.bitmap()), fullSize);
}

Bitmap ReadAlbumFirstPage(const std::string& path, const CellHint*, PictureSize* fullSize, Rgb /*matte*/) {
    return WithSize(ReadXfPage(path, 0), fullSize);
}

Bitmap ReadTiffPicture(const std::string& path, const CellHint*, PictureSize* fullSize, Rgb matte) {
    return WithSize(DecodeTiff(ReadFileBytes(path), kMaxPixels, matte), fullSize);
}

Bitmap ReadHeifPicture(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb matte) {
    if (!hint || !hint->usePreview)
        return WithSize(DecodeHeif(ReadFileBytes(path), matte), fullSize);
    PictureSize full;
    Bitmap picture = DecodeHeifForCell(ReadFileBytes(path), hint->width, hint->height, &full.width, &full.height, matte);
    if (fullSize)
        *fullSize = full;
    return picture;
}

}  // namespace vs

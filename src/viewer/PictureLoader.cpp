#include "viewer/PictureLoader.h"

#include "formats/XfAlbum.h"
#include "graphics/Errors.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"

#include <new>

namespace vs {

std::string SizeText(const Bitmap& bitmap) { return SizeText(bitmap.width(), bitmap.height()); }

std::string SizeText(int width, int height) { return std::to_string(width) + "X" + std::to_string(height); }

Bitmap DecodePicture(const std::string& path, int kind, const CellHint* hint, PictureSize* fullSize, Rgb matte) {
    const PictureReader reader = ReaderOf(kind);
    if (!reader)
        throw DecodeError("no reader for picture kind " + std::to_string(kind) + ": " + path);
    // Running out of memory on a picture is a failure of that picture, never of the program.
    try {
        return reader(path, hint, fullSize, matte);
    } catch (const std::bad_alloc&) {
        throw DecodeError("not enough memory to decode " + path);
    }
}

Bitmap DecodePicture(const std::string& path, int kind) { return DecodePicture(path, kind, nullptr, nullptr); }

bool LoadMicroImageFromFile(const std::string& fileName, int kind, Bitmap& bitmap, std::string& sizeText,
                            int cellWidth, int cellHeight) {
    return LoadMicroImageFromFile(fileName, kind, bitmap, sizeText, CellHint{cellWidth, cellHeight}, cellWidth,
                                  cellHeight);
}

bool LoadMicroImageFromFile(const std::string& fileName, int kind, Bitmap& bitmap, std::string& sizeText,
                            const CellHint& decodeHint, int cellWidth, int cellHeight, const DecodedHook& decoded) {
    PictureSize full;
    try {
        bitmap = DecodePicture(fileName, kind, &decodeHint, &full);
    } catch (const OpenError&) {
        if (KindTraits(kind) & kDropUnopenable)
            throw;
        return false;
    } catch (const ImageError&) {
        return false;
    }
    sizeText = SizeText(full.width, full.height);
    try {
        bitmap.convertTo24();
        if (decoded)
            decoded(bitmap, full);
        return ChangeToMicroImage(bitmap, cellWidth, cellHeight);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool LoadImageByKind(const std::string& path, int kind, TXfAlbum* album, Bitmap& target, Rgb matte) {
    try {
        Bitmap decoded;
        if (kind == kKindAlbum && album) {
            if (!album->ReadPage(0, &decoded))
                return false;
        } else {
            decoded = DecodePicture(path, kind, nullptr, nullptr, matte);
        }
        decoded.convertTo24();
        target = std::move(decoded);
        return true;
    } catch (const ImageError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;  // converting a huge picture to 24 bits
    }
}

}  // namespace vs

#include "viewer/PictureLoader.h"

#include "formats/KevImage.h"
#include "formats/XfAlbum.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"

namespace vs {

std::string SizeText(const Bitmap& bitmap) {
    return std::to_string(bitmap.width()) + "X" + std::to_string(bitmap.height());
}

Bitmap DecodePicture(const std::string& path, int kind) {
    switch (kind) {
    case kKindBmp:
        return LoadBmpFile(path);
    case kKindKev: {
        TKevImage kev;
        if (!kev.Read(path))
            throw DecodeError("not a readable KEV file: " + path);
        return std::move(kev.bitmap());
    }
    case kKindAlbum: {
        // Its first page; freeing the album object removes the companion files it made.
        TXfAlbum album;
        album.OpenForPreview(path);
        Bitmap page;
        if (!album.ReadPage(0, &page))
            throw DecodeError("no readable first page in album: " + path);
        return page;
    }
    default:
        throw DecodeError("no reader for picture kind " + std::to_string(kind) + ": " + path);
    }
}

namespace {

// Readers whose unopenable files are reported to the caller rather than as a failed decode.
bool OpenErrorsReachCaller(int kind) {
    return kind == kKindJpeg || (kind >= kKindTiff && kind <= kKindPhotoshop);
}

}  // namespace

bool LoadMicroImageFromFile(const std::string& fileName, int kind, Bitmap& bitmap, std::string& sizeText,
                            int cellWidth, int cellHeight) {
    try {
        bitmap = DecodePicture(fileName, kind);
    } catch (const OpenError&) {
        if (OpenErrorsReachCaller(kind))
            throw;
        return false;
    } catch (const ImageError&) {
        return false;
    }
    sizeText = SizeText(bitmap);
    bitmap.convertTo24();
    return ChangeToMicroImage(bitmap, cellWidth, cellHeight);
}

bool LoadImageByKind(const std::string& path, int kind, TXfAlbum* album, Bitmap& target) {
    try {
        Bitmap decoded;
        if (kind == kKindAlbum && album) {
            if (!album->ReadPage(0, &decoded))
                return false;
        } else {
            decoded = DecodePicture(path, kind);
        }
        decoded.convertTo24();
        target = std::move(decoded);
        return true;
    } catch (const ImageError&) {
        return false;
    }
}

}  // namespace vs

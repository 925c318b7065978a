#include "viewer/PictureLoader.h"

#include "formats/JpegReader.h"
#include "formats/KevImage.h"
#include "formats/XfAlbum.h"
#include "formats/PcxReader.h"
#include "formats/PsdReader.h"
#include "formats/TargaReader.h"
#include "formats/TiffReader.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"

namespace vs {

std::string SizeText(const Bitmap& bitmap) { return SizeText(bitmap.width(), bitmap.height()); }

std::string SizeText(int width, int height) { return std::to_string(width) + "X" + std::to_string(height); }

Bitmap DecodePicture(const std::string& path, int kind, const CellHint* hint, PictureSize* fullSize) {
    if (kind == kKindJpeg && hint) {
        JpegInfo info;
        Bitmap reduced = DecodeJpegForCell(ReadFileBytes(path), hint->width, hint->height, &info);
        if (fullSize)
            *fullSize = {info.width, info.height};
        return reduced;
    }
    Bitmap picture = DecodePicture(path, kind);
    if (fullSize)
        *fullSize = {picture.width(), picture.height()};
    return picture;
}

Bitmap DecodePicture(const std::string& path, int kind) {
    switch (kind) {
    case kKindJpeg:
        return DecodeJpeg(ReadFileBytes(path));
    case kKindTiff:
        return DecodeTiff(ReadFileBytes(path));
    case kKindTarga:
        return DecodeTarga(ReadFileBytes(path));
    case kKindPcx:
        return DecodePcx(ReadFileBytes(path));
    case kKindPhotoshop:
        return DecodePsd(ReadFileBytes(path));
    case kKindBmp:
        return LoadBmpFile(path);
    case kKindKev: {
        TKevImage kev;
        if (!kev.Read(path))
            throw DecodeError("not a readable KEV file: " + path);
        return std::move(kev.bitmap());
    }
    case kKindAlbum:
        // The reader alone: thumbnails are made off the user-interface thread and must not
        // make companion files or show messages.
        return ReadXfPage(path, 0);
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
    PictureSize full;
    try {
        const CellHint cell{cellWidth, cellHeight};
        bitmap = DecodePicture(fileName, kind, &cell, &full);
    } catch (const OpenError&) {
        if (OpenErrorsReachCaller(kind))
            throw;
        return false;
    } catch (const ImageError&) {
        return false;
    }
    sizeText = SizeText(full.width, full.height);
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

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

#include <new>

namespace vs {

std::string SizeText(const Bitmap& bitmap) { return SizeText(bitmap.width(), bitmap.height()); }

std::string SizeText(int width, int height) { return std::to_string(width) + "X" + std::to_string(height); }

namespace {

// Running out of memory on a picture is a failure of that picture, never of the program:
// every decoder is reached through this.
template <typename Decode>
Bitmap DecodeOrFail(const std::string& path, Decode&& decode) {
    try {
        return decode();
    } catch (const std::bad_alloc&) {
        throw DecodeError("not enough memory to decode " + path);
    }
}

Bitmap DecodeFull(const std::string& path, int kind);

}  // namespace

Bitmap DecodePicture(const std::string& path, int kind) {
    return DecodeOrFail(path, [&] { return DecodeFull(path, kind); });
}

Bitmap DecodePicture(const std::string& path, int kind, const CellHint* hint, PictureSize* fullSize) {
    return DecodeOrFail(path, [&] {
        if (kind == kKindJpeg && hint) {
        JpegInfo info;
            Bitmap reduced = DecodeJpegForCell(ReadFileBytes(path), hint->width, hint->height, &info);
            if (fullSize)
                *fullSize = {info.width, info.height};
            return reduced;
        }
        Bitmap picture = DecodeFull(path, kind);
        if (fullSize)
            *fullSize = {picture.width(), picture.height()};
        return picture;
    });
}

namespace {

Bitmap DecodeFull(const std::string& path, int kind) {
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
    try {
        bitmap.convertTo24();
        return ChangeToMicroImage(bitmap, cellWidth, cellHeight);
    } catch (const std::bad_alloc&) {
        return false;
    }
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
    } catch (const std::bad_alloc&) {
        return false;  // converting a huge picture to 24 bits
    }
}

}  // namespace vs

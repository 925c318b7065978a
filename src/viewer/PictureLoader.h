#pragma once

#include "graphics/Bitmap.h"
#include "viewer/FileKinds.h"

#include <functional>
#include <string>

namespace vs {

class TXfAlbum;

// "640X480": a picture's full size as the grid and the status bar show it.
std::string SizeText(const Bitmap& bitmap);
std::string SizeText(int width, int height);

// Decodes a picture kind at full size with the reader its file-kind row names, in whatever
// pixel format the reader yields; for an album its first page. Throws OpenError when the file
// cannot be read, DecodeError when it is not a valid picture, no reader takes the kind, the
// file is larger than any picture (kMaxReadFileBytes) or memory runs out.
Bitmap DecodePicture(const std::string& path, int kind);

// DecodePicture for a thumbnail: fullSize receives the picture's real size, which a reduced
// decode no longer shows. Without a hint it is the plain full-size decode. Transparent parts
// lie on matte.
Bitmap DecodePicture(const std::string& path, int kind, const CellHint* hint, PictureSize* fullSize,
                     Rgb matte = kWhite);

// Makes a thumbnail: decodes fileName with the reader of kind (JPEG reduced in the DCT as
// far as the result still covers the cell), sets sizeText to the full size, converts to 24
// bits and fits it into the cell. False (sizeText untouched) when the
// picture cannot be decoded. For kinds with the kDropUnopenable trait (JPEG, TIFF, Targa,
// PCX, Photoshop) a file that cannot be opened is not a plain failure: OpenError reaches the
// caller, which drops the grid item; the others just return false.
bool LoadMicroImageFromFile(const std::string& fileName, int kind, Bitmap& bitmap, std::string& sizeText,
                            int cellWidth = kThumbCellWidth, int cellHeight = kThumbCellHeight);

// The same with the decode spelled out: decodeHint says how far a reader may reduce (and
// whether a camera preview may stand in), and decoded, when set, sees the 24-bit picture
// before it is fitted into the cell, with the picture's real size (the thumbnail cache keeps
// it).
using DecodedHook = std::function<void(const Bitmap& decoded, const PictureSize& full)>;
bool LoadMicroImageFromFile(const std::string& fileName, int kind, Bitmap& bitmap, std::string& sizeText,
                            const CellHint& decodeHint, int cellWidth, int cellHeight,
                            const DecodedHook& decoded = {});

// Decodes a picture kind at full size into target as 24 bits per pixel, transparent parts
// laid over matte (the viewer passes its background).
// album is the album the page strip has open, or null; for kind 3 its page 0 is read, else
// the file's page 0 is read straight from the file. False, with target untouched, on
// any failure; the caller reports it.
bool LoadImageByKind(const std::string& path, int kind, TXfAlbum* album, Bitmap& target, Rgb matte = kWhite);

}  // namespace vs

#pragma once

#include "formats/FormatRegistry.h"
#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vs {

// Viewer kinds of the content area. The codes are fixed; the hundreds tell the viewer:
// 0 to 99 pictures (also the thumbnail loader's kinds), 101 to 199 media, 201 to 299 web
// pages, 301 to 399 texts. A new picture format takes the next free code below 100.
enum FileKind : int {
    kKindNone = -1,
    kKindBmp = 0,
    kKindJpeg = 1,
    kKindKev = 2,
    kKindAlbum = 3,
    kKindTiff = 4,
    kKindTarga = 5,
    kKindPcx = 6,
    kKindPhotoshop = 7,
    kKindPng = 8,
    kKindGif = 9,
    kKindWebp = 10,
    kKindHeif = 11,
    kKindAvif = 12,
    kKindAvi = 101,
    kKindMpeg = 102,
    kKindMp3 = 103,
    kKindWav = 104,
    kKindQuickTime = 105,
    kKindMidi = 106,
    kKindRmi = 107,
    kKindHtm = 201,
    kKindHtml = 202,
    kKindText = 301,
    kKindRichText = 302,
};

constexpr bool IsPicture(int kind) { return kind >= 0 && kind < 100; }
constexpr bool IsMedia(int kind) { return kind > 100 && kind < 200; }
constexpr bool IsWeb(int kind) { return kind > 200 && kind < 300; }
constexpr bool IsText(int kind) { return kind > 300 && kind < 400; }

// The grid's file types, in the order the settings dialog lists them; the index is the index
// of the type's enable flag everywhere. A new type goes just before kFileTypeCount.
enum FileTypeIndex : int {
    kNoGridType = -1,
    kTypeBmp, kTypeJpg, kTypeTif, kTypeTga, kTypePcx, kTypePsd, kTypeKev, kTypeXf, kTypeSfc, kTypeMig,
    kTypeAvi, kTypeMpg, kTypeMov, kTypeMp3, kTypeWav, kTypeMid, kTypeRmi, kTypeHtm, kTypeTxt, kTypeRtf,
    kTypePng, kTypeGif, kTypeWebp, kTypeHeic, kTypeAvif,
    kFileTypeCount
};

// The cell a thumbnail is made for. With it, a reader that can decode at a reduced size
// (JPEG, in the DCT) does so as far as the result still covers the cell in both directions.
inline constexpr int kThumbCellWidth = 80;
inline constexpr int kThumbCellHeight = 60;
struct CellHint {
    int width = kThumbCellWidth;
    int height = kThumbCellHeight;
    bool usePreview = true;  // a camera JPEG's embedded preview may stand in for the picture
};
struct PictureSize {
    int width = 0;
    int height = 0;
};

// Decodes a picture file at full size (hint null) or for a thumbnail cell; fullSize, when
// given, receives the picture's real size, which a reduced decode no longer shows. Throws
// OpenError when the file cannot be read, DecodeError when it is not a valid picture.
// Transparent parts are laid over matte (thumbnails are always made on white).
using PictureReader = Bitmap (*)(const std::string& path, const CellHint* hint, PictureSize* fullSize, Rgb matte);

// What applies to a file kind besides its viewer.
enum KindTrait : unsigned {
    kZoom = 1u << 0,       // the image view's zoom modes and resizing
    kWallpaper = 1u << 1,  // "Set Wallpaper"
    kDropUnopenable = 1u << 2,  // a grid item whose file cannot be opened for its thumbnail goes
};

// The grid picture of a type: its thumbnail, or one of the nine type icons.
inline constexpr int kThumbnail = -1;

// One file ending. The table (FileKindTable) is the one place that says what an ending is:
// the dispatch, the loaders, the grid's types and scan, the rename rule and the platform
// picture table's decoders all derive from it. Adding a picture format is adding a row.
struct FileKindRow {
    std::string_view ending;  // lower case, with its dot; matched at the end of a name
    FileKind kind;
    FileTypeIndex gridType;      // the grid type listing the ending, or kNoGridType
    std::string_view flagName;   // on a type's first row: its flag's settings name ("_bmp")
    std::string_view label;      // on a type's first row: its label in the settings dialog
    bool storedFlag;             // on a type's first row: the settings store keeps its flag
    int typeIcon;                // kThumbnail, or the type icon (0 to 8)
    unsigned traits;             // KindTrait bits
    PictureReader reader;        // pictures: how to decode; null for the other viewers
    TGraphicClass registryClass;  // the format catalogue's class reading the same data, or null
};

// Every row; a folder scan visits the grid types in the order of their first rows, and the
// first row whose ending ends a name decides its kind.
std::span<const FileKindRow> FileKindTable();

// The row of a path by its ending, in any letter case; null when no viewer takes it.
const FileKindRow* FindFileKindRow(std::string_view path);
// The first row of a kind, or null.
const FileKindRow* FileKindRowOf(int kind);

// The content area's kind of a path; kKindNone when no viewer takes it. Knows ".jpeg" as
// well as ".jpg".
int ContentKindFromPath(std::string_view path);

// The thumbnail loader's kind of a file the grid lists with a thumbnail; kKindNone for
// others (the grid never lists ".jpeg" files, so neither does this).
int ImageKindFromFileName(std::string_view fileName);

// The picture kind a file's first bytes announce, for files whose name does not tell: "KEV-"
// a KEV picture, "XFA" an album, and the signatures of BMP, JPEG, TIFF and Photoshop files.
// kKindNone for anything else (Targa and PCX files carry no reliable signature).
int PictureKindFromSignature(std::span<const std::uint8_t> head);
// How many first bytes PictureKindFromSignature needs at most.
inline constexpr std::size_t kSignatureBytes = 4;

// The traits of a kind (KindTrait bits); none for kinds outside the table.
unsigned KindTraits(int kind);
inline bool Zooms(int kind) { return (KindTraits(kind) & kZoom) != 0; }
inline bool SetsWallpaper(int kind) { return (KindTraits(kind) & kWallpaper) != 0; }

// The reader of a picture kind, or null.
PictureReader ReaderOf(int kind);
// The reader of a catalogue class (the platform picture table's entries), or null for the
// classes whose formats no row reads.
PictureReader ReaderOfGraphicClass(TGraphicClass graphicClass);

}  // namespace vs

#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vs {

// Viewer kinds of the content area. Pictures 0 to 7 share their numbers with the
// thumbnail loader's image kinds.
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

inline bool IsPictureKind(int kind) { return kind >= kKindBmp && kind <= kKindPhotoshop; }

// The content area's kind of a path, by its lower-cased ending; kKindNone when no viewer
// takes it. Knows ".jpeg" as well as ".jpg".
int ContentKindFromPath(std::string_view path);

// The thumbnail loader's kind of a picture file (0 to 7), by its lower-cased ending; the
// grid never lists ".jpeg" files, so this table does not know that ending.
int ImageKindFromFileName(std::string_view fileName);

// The picture kind a file's first bytes announce, for files whose name does not tell: "KEV-"
// a KEV picture, "XFA" an album, and the signatures of BMP, JPEG, TIFF and Photoshop files.
// kKindNone for anything else (Targa and PCX files carry no reliable signature).
int PictureKindFromSignature(std::span<const std::uint8_t> head);
// How many first bytes PictureKindFromSignature needs at most.
inline constexpr std::size_t kSignatureBytes = 4;

}  // namespace vs

#include "viewer/FileKinds.h"

#include "formats/ModernReaders.h"
#include "formats/PcxReader.h"
#include "formats/PsdReader.h"
#include "formats/TargaReader.h"
#include "platform/FileSystem.h"
#include "viewer/PictureReaders.h"

namespace vs {

namespace {

constexpr unsigned kShown = kZoom | kWallpaper;
constexpr unsigned kDecoded = kZoom | kDropUnopenable;  // readers that report unopenable files

// clang-format off
constexpr FileKindRow kRows[] = {
    // ending   kind             grid type    flag    label         stored icon        traits            reader                       catalogue class
    {".avi",  kKindAvi,       kTypeAvi,    "_avi", ".avi",       true,  0,           0,                nullptr,                     nullptr},
    {".mpg",  kKindMpeg,      kTypeMpg,    "_mpg", ".mpg",       true,  1,           0,                nullptr,                     nullptr},
    {".mov",  kKindQuickTime, kTypeMov,    "_mov", ".mov",       true,  2,           0,                nullptr,                     nullptr},
    {".mp3",  kKindMp3,       kTypeMp3,    "_mp3", ".mp3",       true,  3,           0,                nullptr,                     nullptr},
    {".wav",  kKindWav,       kTypeWav,    "_wav", ".wav",       true,  4,           0,                nullptr,                     nullptr},
    {".mid",  kKindMidi,      kTypeMid,    "_mid", ".mid",       true,  5,           0,                nullptr,                     nullptr},
    {".rmi",  kKindRmi,       kTypeRmi,    "_rmi", ".rmi",       true,  5,           0,                nullptr,                     nullptr},
    {".htm",  kKindHtm,       kTypeHtm,    "_htm", ".htm;.html", false, 6,           0,                nullptr,                     nullptr},
    {".html", kKindHtml,      kTypeHtm,    "",     "",           false, 6,           0,                nullptr,                     nullptr},
    {".txt",  kKindText,      kTypeTxt,    "_txt", ".txt",       false, 7,           0,                nullptr,                     nullptr},
    {".rtf",  kKindRichText,  kTypeRtf,    "_rtf", ".rtf",       false, 8,           0,                nullptr,                     nullptr},
    {".jpg",  kKindJpeg,      kTypeJpg,    "_jpg", ".jpg",       true,  kThumbnail,  kShown | kDecoded, ReadJpegPicture,            &TJPEGImage},
    {".jpeg", kKindJpeg,      kNoGridType, "",     "",           false, kThumbnail,  kShown | kDecoded, ReadJpegPicture,            &TJPEGImage},
    {".bmp",  kKindBmp,       kTypeBmp,    "_bmp", ".bmp",       true,  kThumbnail,  kShown,           ReadBmpPicture,             &TBitmap},
    {".kev",  kKindKev,       kTypeKev,    "_kev", ".kev",       true,  kThumbnail,  kShown,           ReadKevPicture,             nullptr},
    {".sfc",  kKindKev,       kTypeSfc,    "_sfc", ".sfc",       true,  kThumbnail,  kShown,           ReadKevPicture,             nullptr},
    {".xf",   kKindAlbum,     kTypeXf,     "_xf",  ".xf",        true,  kThumbnail,  kShown,           ReadAlbumFirstPage,         nullptr},
    {".mig",  kKindAlbum,     kTypeMig,    "_mig", ".mig",       true,  kThumbnail,  kShown,           ReadAlbumFirstPage,         nullptr},
    {".tif",  kKindTiff,      kTypeTif,    "_tif", ".tif,.tiff", false, kThumbnail,  kDecoded,         ReadTiffPicture,            &TTIFFGraphic},
    {".tiff", kKindTiff,      kTypeTif,    "",     "",           false, kThumbnail,  kDecoded,         ReadTiffPicture,            &TTIFFGraphic},
    {".tga",  kKindTarga,     kTypeTga,    "_tga", ".tga",       false, kThumbnail,  kDecoded,         ReadTransparentFile<DecodeTarga>, &TTargaGraphic},
    {".pcx",  kKindPcx,       kTypePcx,    "_pcx", ".pcx",       false, kThumbnail,  kDecoded,         ReadWholeFile<DecodePcx>,   &TPCXGraphic},
    {".psd",  kKindPhotoshop, kTypePsd,    "_psd", ".psd",       false, kThumbnail,  kDecoded,         ReadTransparentFile<DecodePsd>,   &TPSDGraphic},
    {".png",  kKindPng,       kTypePng,    "_png", ".png",       true,  kThumbnail,  kShown | kDecoded, ReadTransparentFile<DecodePng>,   &TPNGGraphic},
    {".gif",  kKindGif,       kTypeGif,    "_gif", ".gif",       true,  kThumbnail,  kShown | kDecoded, ReadTransparentFile<DecodeGif>,   nullptr},
    {".webp", kKindWebp,      kTypeWebp,   "_webp", ".webp",     true,  kThumbnail,  kShown | kDecoded, ReadTransparentFile<DecodeWebp>,  nullptr},
    {".heic", kKindHeif,      kTypeHeic,   "_heic", ".heic;.heif", true, kThumbnail, kShown | kDecoded, ReadHeifPicture,            nullptr},
    {".heif", kKindHeif,      kTypeHeic,   "",     "",           false, kThumbnail,  kShown | kDecoded, ReadHeifPicture,            nullptr},
    {".avif", kKindAvif,      kTypeAvif,   "_avif", ".avif",     true,  kThumbnail,  kShown | kDecoded, ReadHeifPicture,            nullptr},
};
// clang-format on

}  // namespace

std::span<const FileKindRow> FileKindTable() { return kRows; }

const FileKindRow* FindFileKindRow(std::string_view path) {
    for (const FileKindRow& row : kRows)
        if (EndsWithIgnoringCase(path, row.ending))
            return &row;
    return nullptr;
}

const FileKindRow* FileKindRowOf(int kind) {
    for (const FileKindRow& row : kRows)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

int ContentKindFromPath(std::string_view path) {
    const FileKindRow* row = FindFileKindRow(path);
    return row ? row->kind : kKindNone;
}

int ImageKindFromFileName(std::string_view fileName) {
    const FileKindRow* row = FindFileKindRow(fileName);
    return row && row->gridType != kNoGridType && row->typeIcon == kThumbnail ? row->kind : kKindNone;
}

unsigned KindTraits(int kind) {
    const FileKindRow* row = FileKindRowOf(kind);
    return row ? row->traits : 0;
}

PictureReader ReaderOf(int kind) {
    const FileKindRow* row = FileKindRowOf(kind);
    return row && IsPicture(kind) ? row->reader : nullptr;
}

PictureReader ReaderOfGraphicClass(TGraphicClass graphicClass) {
    if (!graphicClass)
        return nullptr;
    for (const FileKindRow& row : kRows)
        if (row.registryClass == graphicClass && row.reader)
            return row.reader;
    return nullptr;
}

int PictureKindFromSignature(std::span<const std::uint8_t> head) {
    struct Signature {
        std::string_view bytes;
        int kind;
    };
    using namespace std::string_view_literals;  // the TIFF signatures hold zero bytes
    static constexpr Signature kSignatures[] = {
        {"KEV-"sv, kKindKev},         {"XFA"sv, kKindAlbum},      {"BM"sv, kKindBmp},
        {"\xFF\xD8\xFF"sv, kKindJpeg}, {"II*\0"sv, kKindTiff}, {"MM\0*"sv, kKindTiff},
        {"8BPS"sv, kKindPhotoshop},
    };
    for (const Signature& s : kSignatures)
        if (head.size() >= s.bytes.size() &&
            std::equal(s.bytes.begin(), s.bytes.end(), head.begin(),
                       [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }))
            return s.kind;
    return kKindNone;
}

}  // namespace vs

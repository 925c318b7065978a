#include "viewer/FileKinds.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <utility>

namespace vs {

namespace {

struct Ending {
    std::string_view suffix;
    int kind;
};

// Order matters: the first ending that matches wins.
constexpr Ending kContentKinds[] = {
    {".bmp", kKindBmp},   {".jpg", kKindJpeg},      {".jpeg", kKindJpeg},     {".kev", kKindKev},
    {".sfc", kKindKev},   {".xf", kKindAlbum},      {".mig", kKindAlbum},     {".tif", kKindTiff},
    {".tiff", kKindTiff}, {".tga", kKindTarga},     {".pcx", kKindPcx},       {".psd", kKindPhotoshop},
    {".avi", kKindAvi},   {".mpg", kKindMpeg},      {".mp3", kKindMp3},       {".wav", kKindWav},
    {".mov", kKindQuickTime}, {".mid", kKindMidi},  {".rmi", kKindRmi},       {".htm", kKindHtm},
    {".html", kKindHtml}, {".txt", kKindText},      {".rtf", kKindRichText},
};

constexpr Ending kImageKinds[] = {
    {".bmp", kKindBmp}, {".jpg", kKindJpeg}, {".kev", kKindKev},   {".sfc", kKindKev},
    {".xf", kKindAlbum}, {".mig", kKindAlbum}, {".tif", kKindTiff}, {".tiff", kKindTiff},
    {".tga", kKindTarga}, {".pcx", kKindPcx}, {".psd", kKindPhotoshop},
};

template <std::size_t N>
int Lookup(const Ending (&table)[N], std::string_view path) {
    for (const Ending& e : table)
        if (EndsWithIgnoringCase(path, e.suffix))
            return e.kind;
    return kKindNone;
}

}  // namespace

int ContentKindFromPath(std::string_view path) { return Lookup(kContentKinds, path); }

int ImageKindFromFileName(std::string_view fileName) { return Lookup(kImageKinds, fileName); }

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

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

}  // namespace vs

#include "formats/XfPages.h"

#include "formats/XfAlbum.h"
#include "graphics/Errors.h"

namespace vs {

namespace {

void CheckMagic(const XfAlbumReader& reader, const std::string& path) {
    if (!reader.hasMagic())
        throw DecodeError("not an XF album: " + path);
}

}  // namespace

int CountXfPages(const std::string& path) {
    XfAlbumReader reader(path);
    CheckMagic(reader, path);
    int count = 0;
    try {
        for (; count < reader.pageCount; ++count) reader.skipPixels(reader.nextPage());
    } catch (const DecodeError&) {
        // the pages before the bad one stay readable
    }
    return count;
}

Bitmap ReadXfPage(const std::string& path, int n) {
    XfAlbumReader reader(path);
    CheckMagic(reader, path);
    if (n < 0 || n >= reader.pageCount)
        throw DecodeError("album " + path + " has no page " + std::to_string(n));
    for (int i = 0; i < n; ++i) reader.skipPixels(reader.nextPage());
    return reader.readPixels(reader.nextPage());
}

}  // namespace vs

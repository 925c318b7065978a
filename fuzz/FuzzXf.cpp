// The album reader on arbitrary bytes: the opens, every page, and the page strip's walk.

#include "formats/XfAlbum.h"
#include "graphics/Errors.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// One private folder per process for the album file and the companion files, removed at
// exit. A plain array, so it outlives every static destructor.
char gFolder[] = "/tmp/vs-fuzz-xf-XXXXXX";

const char* WorkFolder() {
    static const bool made = [] {
        if (!::mkdtemp(gFolder))
            return false;
        ::setenv("XDG_CACHE_HOME", (std::string(gFolder) + "/cache").c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(gFolder, ec);
        });
        return true;
    }();
    return made ? gFolder : nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WorkFolder())
        return 0;
    const std::string path = std::string(WorkFolder()) + "/input.xf";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    {
        vs::TXfAlbum preview;
        preview.OpenForPreview(path);
        vs::Bitmap page;
        if (preview.ReadPage(0, &page))
            (void)page.toBgr24();
    }
    {
        vs::TXfAlbum album;
        album.OpenForViewing(path);
        vs::Bitmap page;
        for (int n = 0; n < album.PageCount && n < 4; ++n)
            if (album.GetPage(n, &page))
                (void)page.toBgr24();
    }
    try {
        vs::XfAlbumReader reader(path);
        for (std::int32_t i = 0; i < reader.pageCount; ++i)
            reader.skipPixels(reader.nextPage());
        (void)reader.readSoundHeader();
    } catch (const vs::ImageError&) {
    }
    try {  // the thumbnailer's and the image plugin's way in
        const int pages = vs::CountXfPages(path);
        if (pages > 0)
            (void)vs::ReadXfPage(path, pages - 1).toBgr24();
    } catch (const vs::ImageError&) {
    }
    return 0;
}

#include "formats/ModernReaders.h"

#include "graphics/Errors.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gif_lib.h>

namespace vs {

namespace {

struct Source {
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int length) {
    auto* src = static_cast<Source*>(gif->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), src->data.size() - src->pos);
    std::memcpy(out, src->data.data() + src->pos, n);
    src->pos += n;
    return static_cast<int>(n);
}

[[noreturn]] void Fail(int code) {
    const char* text = GifErrorString(code);
    throw DecodeError(std::string("GIF: ") + (text ? text : "damaged file"));
}

}  // namespace

Bitmap DecodeGif(std::span<const std::uint8_t> data, Rgb matte) {
    Source source{data, 0};
    int error = 0;
    const auto close = [](GifFileType* g) {
        int ignored = 0;
        DGifCloseFile(g, &ignored);
    };
    std::unique_ptr<GifFileType, decltype(close)> gif(DGifOpen(&source, ReadBytes, &error), close);
    if (!gif)
        Fail(error);
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            Fail(gif->Error);
        if (type == TERMINATE_RECORD_TYPE)
            throw DecodeError("GIF: no picture in the file");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                Fail(gif->Error);
            // The graphic control block before the first picture names its transparent colour.
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 && (block[1] & 1))
                transparent = block[4];
            while (block)
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    Fail(gif->Error);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            Fail(gif->Error);
        const GifImageDesc& desc = gif->Image;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map)
            throw DecodeError("GIF: no colour table");
        CheckPictureSize(desc.Width, desc.Height);
        if (desc.Width <= 0 || desc.Height <= 0)
            throw DecodeError("GIF: empty picture");
        // The first picture on its logical screen; a screen too small for it grows.
        const int screenW = std::max(gif->SWidth, desc.Left + desc.Width);
        const int screenH = std::max(gif->SHeight, desc.Top + desc.Height);
        CheckPictureSize(screenW, screenH);
        std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
        Bitmap out(screenW, screenH, PixelFormat::Bpp24);
        for (int y = 0; y < screenH; ++y)
            for (std::uint8_t* px = out.row(y); px != out.row(y) + 3 * static_cast<std::size_t>(screenW); px += 3) {
                px[0] = matte.b;
                px[1] = matte.g;
                px[2] = matte.r;
            }
        const auto put = [&](int y) {
            if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR)
                Fail(gif->Error);
            std::uint8_t* dst = out.row(desc.Top + y) + 3 * static_cast<std::size_t>(desc.Left);
            for (int x = 0; x < desc.Width; ++x, dst += 3) {
                const int index = line[static_cast<std::size_t>(x)];
                if (index == transparent)
                    continue;
                if (index < map->ColorCount) {
                    const GifColorType& c = map->Colors[index];
                    dst[0] = c.Blue;
                    dst[1] = c.Green;
                    dst[2] = c.Red;
                } else {
                    dst[0] = dst[1] = dst[2] = 0;  // an index past a short table
                }
            }
        };
        if (desc.Interlace) {
            // Rows come in four passes: every 8th from 0, every 8th from 4, every 4th from 2,
            // every 2nd from 1.
            static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = kStart[pass]; y < desc.Height; y += kStep[pass]) put(y);
        } else {
            for (int y = 0; y < desc.Height; ++y) put(y);
        }
        return out;
    }
}

}  // namespace vs

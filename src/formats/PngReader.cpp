#include "formats/ModernReaders.h"

#include "graphics/Alpha.h"
#include "graphics/Errors.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <png.h>

namespace vs {

namespace {

struct Source {
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
    std::jmp_buf jump;
    char message[256] = "damaged file";
};

void ReadBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* src = static_cast<Source*>(png_get_io_ptr(png));
    if (length > src->data.size() - src->pos)
        png_error(png, "file cut short");
    std::memcpy(out, src->data.data() + src->pos, length);
    src->pos += length;
}

// libpng's errors jump back to our call, which throws; warnings are silent.
[[noreturn]] void Error(png_structp png, png_const_charp text) {
    auto* src = static_cast<Source*>(png_get_error_ptr(png));
    std::snprintf(src->message, sizeof src->message, "%s", text ? text : "damaged file");
    std::longjmp(src->jump, 1);
}

void Warning(png_structp, png_const_charp) {}

struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Reader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

// Runs between setjmp and a possible longjmp: owns nothing with a destructor. Reads the
// header and sets every picture up as 8-bit blue, green, red, and alpha when it has
// transparency; an opaque picture is read straight into the bitmap's rows.
// storedBytes is the least the picture's rows take unpacked (a filter byte each).
bool ReadHeader(Reader& r, Source& src, png_uint_32& width, png_uint_32& height, bool& opaque,
                std::uint64_t& storedBytes) {
    if (setjmp(src.jump))
        return false;
    png_set_read_fn(r.png, &src, ReadBytes);
    png_read_info(r.png, r.info);
    width = png_get_image_width(r.png, r.info);
    height = png_get_image_height(r.png, r.info);
    const std::uint64_t bitsPerPixel =
        std::uint64_t{png_get_bit_depth(r.png, r.info)} * png_get_channels(r.png, r.info);
    storedBytes = std::uint64_t{height} * (1 + (std::uint64_t{width} * bitsPerPixel + 7) / 8);
    opaque = !(png_get_color_type(r.png, r.info) & PNG_COLOR_MASK_ALPHA) && !png_get_valid(r.png, r.info, PNG_INFO_tRNS);
    png_set_expand(r.png);    // palettes, small greys and tRNS become full channels
    png_set_scale_16(r.png);  // 16-bit samples rounded to 8, as they stand
    png_set_gray_to_rgb(r.png);
    if (!opaque)
        png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(r.png);
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    return true;
}

bool ReadRows(Reader& r, Source& src, png_bytep* rows) {
    if (setjmp(src.jump))
        return false;
    png_read_image(r.png, rows);
    png_read_end(r.png, nullptr);
    return true;
}

}  // namespace

Bitmap DecodePng(std::span<const std::uint8_t> data, Rgb matte) {
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0)
        throw DecodeError("PNG: not a PNG file");
    Source src{data, 0, {}, {}};
    Reader r;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &src, Error, Warning);
    if (!r.png || !(r.info = png_create_info_struct(r.png)))
        throw DecodeError("PNG: out of memory");
    // The header may claim a size the rest of the file cannot hold; libpng bounds its own
    // buffers, and we refuse before allocating the picture.
    png_set_user_limits(r.png, 1u << 28, 1u << 28);
    // Ancillary chunks we do not use are skipped unread: libpng takes the memory a text or
    // profile chunk's length names before reading it (a length past the end of the file only
    // earns a warning), and a 154-byte file could ask for gigabytes that way.
    static const png_byte kIgnored[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0cHRM\0gAMA\0sRGB\0sBIT\0bKGD\0"
                                       "hIST\0pCAL\0sCAL\0pHYs\0oFFs\0tIME\0eXIf";
    png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, kIgnored, sizeof kIgnored / 5);
    png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);  // and unknown ones
    png_uint_32 width = 0, height = 0;
    bool opaque = false;
    std::uint64_t storedBytes = 0;
    if (!ReadHeader(r, src, width, height, opaque, storedBytes))
        throw DecodeError(std::string("PNG: ") + src.message);
    CheckPictureSize(width, height);
    // Refused before the picture's memory is taken.
    if (storedBytes > kMaxDeflateRatio * data.size())
        throw DecodeError("PNG: the picture is larger than the file's data can hold");
    const std::size_t stride = std::size_t{width} * (opaque ? 3 : 4);
    if (png_get_rowbytes(r.png, r.info) != stride)
        throw DecodeError("PNG: unexpected row layout");
    std::vector<png_bytep> rows(height);
    if (opaque) {
        Bitmap out(static_cast<int>(width), static_cast<int>(height), PixelFormat::Bpp24);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = out.row(static_cast<int>(y));
        if (!ReadRows(r, src, rows.data()))
            throw DecodeError(std::string("PNG: ") + src.message);
        return out;
    }
    std::vector<std::uint8_t> pixels(stride * height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + y * stride;
    if (!ReadRows(r, src, rows.data()))
        throw DecodeError(std::string("PNG: ") + src.message);
    return BgraOver(pixels.data(), static_cast<int>(width), static_cast<int>(height), stride, matte);
}

}  // namespace vs

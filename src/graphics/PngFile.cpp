#include "graphics/PngFile.h"

#include "graphics/Errors.h"
#include "graphics/FileIo.h"

#include <png.h>

#include <csetjmp>

namespace vs {

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports its errors by a long jump back to the setjmp below; warnings are dropped.
void IgnoreWarning(png_structp, png_const_charp) {}

bool UsableKeyword(const std::string& key) {
    if (key.empty() || key.size() > 79 || key.front() == ' ' || key.back() == ' ')
        return false;
    for (const unsigned char c : key)
        if (c < 32 || (c > 126 && c < 161))
            return false;
    return true;
}

// Every C++ object lives in the caller; only plain pointers cross the jump.
bool WritePng(const Bitmap& rgb, std::vector<png_text>& texts, std::vector<png_bytep>& rows,
              std::vector<std::uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rgb.width()), static_cast<png_uint_32>(rgb.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!texts.empty())
        png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
    png_write_info(png, info);
    png_set_bgr(png);  // our rows hold blue, green, red
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Bitmap& bitmap, const PngTexts& texts) {
    if (bitmap.empty())
        throw ImageError("cannot write an empty picture as PNG");
    const Bitmap rgb = bitmap.toBgr24();
    std::vector<png_text> chunks;
    for (const auto& [key, value] : texts) {
        if (!UsableKeyword(key))
            throw ImageError("unusable PNG text keyword: " + key);
        png_text t{};
        t.compression = PNG_TEXT_COMPRESSION_NONE;
        t.key = const_cast<char*>(key.c_str());
        t.text = const_cast<char*>(value.c_str());
        t.text_length = value.size();
        chunks.push_back(t);
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(rgb.row(y));
    std::vector<std::uint8_t> out;
    if (!WritePng(rgb, chunks, rows, out))
        throw ImageError("PNG encoding failed");
    return out;
}

void SavePngFile(const Bitmap& bitmap, const std::string& path, const PngTexts& texts) {
    WriteFileAtomically(path, EncodePng(bitmap, texts), false);
}

}  // namespace vs

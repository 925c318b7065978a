#include "tool/Samples.h"

#include "graphics/BmpFile.h"
#include "graphics/ByteWriter.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"

#include <jpeglib.h>
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace vs {

namespace {

std::uint8_t Clamp(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }

void Set(Bitmap& b, int x, int y, double r, double g, double bl) {
    std::uint8_t* p = b.row(y) + 3 * x;
    p[0] = Clamp(bl);
    p[1] = Clamp(g);
    p[2] = Clamp(r);
}

void Require24(const Bitmap& b) {
    if (b.format() != PixelFormat::Bpp24)
        throw ImageError("sample encoders take 24-bit bitmaps");
}

}  // namespace

Bitmap SamplePicture(Scene scene, int width, int height) {
    Bitmap b(width, height, PixelFormat::Bpp24);
    const double w = width;
    const double h = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = x / w;
            const double v = y / h;
            switch (scene) {
            case Scene::Landscape: {
                const double hill = 0.62 + 0.08 * std::sin(u * 7.0) + 0.04 * std::sin(u * 17.0 + 1.0);
                const double sun = std::hypot(u - 0.72, (v - 0.25) * h / w);
                if (sun < 0.07)
                    Set(b, x, y, 255, 220, 90);
                else if (v > hill)
                    Set(b, x, y, 40 + 60 * (1 - v), 120 + 80 * (1 - v), 50);
                else
                    Set(b, x, y, 120 + 120 * v, 170 + 60 * v, 250);
                break;
            }
            case Scene::Rings: {
                const double d = std::hypot(u - 0.5, (v - 0.5) * h / w) * 40.0;
                Set(b, x, y, 128 + 127 * std::sin(d), 128 + 127 * std::sin(d + 2.1), 128 + 127 * std::sin(d + 4.2));
                break;
            }
            case Scene::Tiles: {
                const int tx = x * 8 / std::max(1, width);
                const int ty = y * 6 / std::max(1, height);
                const bool dark = (tx + ty) % 2 != 0;
                Set(b, x, y, dark ? 60 + 20 * tx : 230, dark ? 90 : 220 - 10 * ty, dark ? 160 : 200);
                break;
            }
            case Scene::Stripes:
                Set(b, x, y, (x / 16) % 2 ? 250 : 30, 255 * v, (y / 16) % 2 ? 220 : 40);
                break;
            case Scene::Night: {
                const bool star = ((x * 7919 + y * 104729) % 997) == 0;
                const double moon = std::hypot(u - 0.3, (v - 0.3) * h / w);
                if (star || moon < 0.08)
                    Set(b, x, y, 250, 250, 230);
                else
                    Set(b, x, y, 10 + 20 * v, 20 + 30 * v, 60 + 60 * v);
                break;
            }
            }
        }
    return b;
}

std::vector<std::uint8_t> EncodeTarga(const Bitmap& bitmap) {
    Require24(bitmap);
    std::vector<std::uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0};
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, static_cast<unsigned>(bitmap.width()));
    PutLe16(out, static_cast<unsigned>(bitmap.height()));
    out.push_back(24);
    out.push_back(0x20);  // top row first
    for (int y = 0; y < bitmap.height(); ++y)
        out.insert(out.end(), bitmap.row(y), bitmap.row(y) + 3 * bitmap.width());
    return out;
}

std::vector<std::uint8_t> EncodePcx(const Bitmap& bitmap) {
    Require24(bitmap);
    const int w = bitmap.width();
    const int h = bitmap.height();
    const int bytesPerLine = (w + 1) & ~1;
    std::vector<std::uint8_t> out = {10, 5, 1, 8};
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, static_cast<unsigned>(w - 1));
    PutLe16(out, static_cast<unsigned>(h - 1));
    PutLe16(out, 72);
    PutLe16(out, 72);
    out.resize(out.size() + 48, 0);
    out.push_back(0);
    out.push_back(3);
    PutLe16(out, static_cast<unsigned>(bytesPerLine));
    PutLe16(out, 1);
    out.resize(128, 0);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(bytesPerLine));
    for (int y = 0; y < h; ++y)
        for (int plane = 2; plane >= 0; --plane) {  // red, green, blue
            std::fill(line.begin(), line.end(), 0);
            for (int x = 0; x < w; ++x)
                line[static_cast<std::size_t>(x)] = bitmap.row(y)[3 * x + plane];
            for (std::size_t i = 0; i < line.size();) {
                std::size_t run = 1;
                while (i + run < line.size() && run < 63 && line[i + run] == line[i])
                    ++run;
                if (run > 1 || line[i] >= 0xC0)
                    out.push_back(static_cast<std::uint8_t>(0xC0 | run));
                out.push_back(line[i]);
                i += run;
            }
        }
    return out;
}

std::vector<std::uint8_t> EncodePhotoshop(const Bitmap& bitmap) {
    Require24(bitmap);
    std::vector<std::uint8_t> out = {'8', 'B', 'P', 'S'};
    PutBe16(out, 1);
    out.resize(out.size() + 6, 0);
    PutBe16(out, 3);
    PutBe32(out, static_cast<std::uint32_t>(bitmap.height()));
    PutBe32(out, static_cast<std::uint32_t>(bitmap.width()));
    PutBe16(out, 8);
    PutBe16(out, 3);  // RGB
    PutBe32(out, 0);  // colour mode data
    PutBe32(out, 0);  // image resources
    PutBe32(out, 0);  // layers and masks
    PutBe16(out, 0);  // raw image data
    for (int plane = 2; plane >= 0; --plane)
        for (int y = 0; y < bitmap.height(); ++y)
            for (int x = 0; x < bitmap.width(); ++x)
                out.push_back(bitmap.row(y)[3 * x + plane]);
    return out;
}

std::vector<std::uint8_t> EncodeKev(const Bitmap& bitmap) {
    Require24(bitmap);
    std::vector<std::uint8_t> out = {'K', 'E', 'V', '-', 'A'};
    PutLe32(out, 0);
    PutLe16(out, 24);
    PutLe32(out, static_cast<std::uint32_t>(bitmap.width()));
    PutLe32(out, static_cast<std::uint32_t>(bitmap.height()));
    out.resize(275, 0);
    for (int y = 0; y < bitmap.height(); ++y)
        out.insert(out.end(), bitmap.row(y), bitmap.row(y) + 3 * bitmap.width());
    return out;
}

std::vector<std::uint8_t> EncodeAlbum(const std::vector<Bitmap>& pages, const std::vector<std::uint8_t>& sound) {
    std::vector<std::uint8_t> out = {'X', 'F', 'A'};
    PutLe32(out, static_cast<std::uint32_t>(pages.size()));
    PutLe32(out, 0);
    out.push_back(sound.empty() ? 0 : 1);
    for (const Bitmap& page : pages) {
        Require24(page);
        PutLe32(out, static_cast<std::uint32_t>(page.width()));
        PutLe32(out, static_cast<std::uint32_t>(page.height()));
        out.push_back(6);
        for (int y = 0; y < page.height(); ++y)
            out.insert(out.end(), page.row(y), page.row(y) + 3 * page.width());
    }
    out.push_back(sound.empty() ? 0 : 1);
    if (!sound.empty()) {
        PutLe32(out, static_cast<std::uint32_t>(sound.size()));
        out.insert(out.end(), sound.begin(), sound.end());
    }
    return out;
}

std::vector<std::uint8_t> ChimeWave(int milliseconds) {
    constexpr int kRate = 22050;
    const int samples = kRate * std::max(0, milliseconds) / 1000;
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
    PutLe32(out, static_cast<std::uint32_t>(36 + samples));
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe32(out, 16);
    PutLe16(out, 1);      // PCM
    PutLe16(out, 1);      // mono
    PutLe32(out, kRate);  // samples per second
    PutLe32(out, kRate);  // bytes per second
    PutLe16(out, 1);      // block alignment
    PutLe16(out, 8);      // bits per sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe32(out, static_cast<std::uint32_t>(samples));
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double fade = 1.0 - static_cast<double>(i) / samples;
        const double s = (std::sin(2 * M_PI * 880 * t) + 0.5 * std::sin(2 * M_PI * 1320 * t)) / 1.5;
        out.push_back(Clamp(128 + 100 * fade * s));
    }
    return out;
}

namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

// Writes the scan lines; false when libjpeg reported an error (it jumps back here).
bool CompressJpeg(jpeg_compress_struct& cinfo, const Bitmap& bitmap, int quality, unsigned char** buffer,
                  unsigned long* size) {
    auto* err = reinterpret_cast<JpegError*>(cinfo.err);
    if (setjmp(err->jump))
        return false;
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.width());
    cinfo.image_height = static_cast<JDIMENSION>(bitmap.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.row(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality) {
    Require24(bitmap);
    jpeg_compress_struct cinfo{};
    JpegError err{};
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = [](j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); };
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = CompressJpeg(cinfo, bitmap, quality, &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out;
    if (ok)
        out.assign(buffer, buffer + size);
    std::free(buffer);
    if (!ok)
        throw ImageError("the JPEG encoder failed");
    return out;
}

void SaveTiff(const Bitmap& bitmap, const std::string& path) {
    Require24(bitmap);
    TIFFSetWarningHandler(nullptr);
    std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(path.c_str(), "w"), TIFFClose);
    if (!tif)
        throw ImageError("cannot write " + path);
    TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(bitmap.width()));
    TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(bitmap.height()));
    TIFFSetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif.get(), TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, 16);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.width()) * 3);
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const std::uint8_t* p = bitmap.row(y) + 3 * x;
            row[3 * static_cast<std::size_t>(x)] = p[2];
            row[3 * static_cast<std::size_t>(x) + 1] = p[1];
            row[3 * static_cast<std::size_t>(x) + 2] = p[0];
        }
        if (TIFFWriteScanline(tif.get(), row.data(), static_cast<std::uint32_t>(y), 0) < 0)
            throw ImageError("cannot write " + path);
    }
}

namespace {

constexpr char kReadme[] =
    "Welcome to Vantor See\n"
    "=====================\n"
    "\n"
    "This folder is your photo library. Every sub-folder shows in the tree on the left;\n"
    "the files of the chosen folder show as thumbnails at the top right.\n"
    "\n"
    "Pictures: BMP, JPEG, TIFF, Targa, PCX, Photoshop, KEV (.kev, .sfc)\n"
    "Albums:   XF (.xf, .mig) with pages and a sound track\n"
    "Also:     text, rich text, web pages, sound and video\n"
    "\n"
    "\xe4\xbd\xa0\xe5\xa5\xbd - hello in Chinese, to show that text may be in any language.\n";

constexpr char kRtf[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Helvetica;}}{\\colortbl;\\red0\\green0\\blue200;}\n"
    "\\f0\\fs28 {\\b Vantor See} notes\\par\n"
    "\\fs22 Rich text shows with its {\\i fonts}, {\\b weights} and {\\cf1 colours}.\\par\n"
    "}\n";

constexpr char kHtml[] =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Vantor See sample page</title></head>\n"
    "<body style=\"font-family: sans-serif\">\n<h1>A web page in your library</h1>\n"
    "<p>HTML files open in the web view.</p>\n</body></html>\n";

void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    WriteFileAtomically(path.string(), bytes);
}

std::vector<std::uint8_t> Bytes(const char* text) {
    const std::string s(text);
    return {s.begin(), s.end()};
}

}  // namespace

std::vector<std::string> WriteSampleLibrary(const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path root(folder);
    std::error_code ec;
    fs::create_directories(root / "Travel", ec);
    if (!fs::is_directory(root / "Travel"))
        throw ImageError("cannot create " + (root / "Travel").string());

    std::vector<std::string> written;
    const auto add = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        Write(root / name, bytes);
        written.push_back(name);
    };
    add("sunset.jpg", EncodeJpeg(SamplePicture(Scene::Landscape, 640, 480), 90));
    add("Night Sky.JPG", EncodeJpeg(SamplePicture(Scene::Night, 800, 600), 85));
    add("abstract.bmp", EncodeBmp(SamplePicture(Scene::Rings, 320, 240)));
    {
        // An 8-bit picture with its own palette.
        Bitmap tiles(160, 120, PixelFormat::Bpp8);
        for (int i = 0; i < 256; ++i)
            tiles.palette()[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                                            static_cast<std::uint8_t>((i * 3) & 255)};
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                tiles.row(y)[x] = static_cast<std::uint8_t>(((x / 20) + (y / 20)) * 32);
        add("tiles.bmp", EncodeBmp(tiles));
    }
    SaveTiff(SamplePicture(Scene::Stripes, 300, 200), (root / "stripes.tif").string());
    written.push_back("stripes.tif");
    add("badge.tga", EncodeTarga(SamplePicture(Scene::Rings, 200, 200)));
    add("checks.pcx", EncodePcx(SamplePicture(Scene::Tiles, 240, 180)));
    add("layers.psd", EncodePhotoshop(SamplePicture(Scene::Landscape, 256, 192)));
    add("hills.kev", EncodeKev(SamplePicture(Scene::Landscape, 200, 150)));
    add("moon.sfc", EncodeKev(SamplePicture(Scene::Night, 160, 120)));
    const std::vector<std::uint8_t> chime = ChimeWave(700);
    add("holiday.xf", EncodeAlbum({SamplePicture(Scene::Landscape, 320, 240), SamplePicture(Scene::Rings, 320, 240),
                                   SamplePicture(Scene::Night, 320, 240)},
                                  chime));
    add("slides.mig", EncodeAlbum({SamplePicture(Scene::Tiles, 240, 180), SamplePicture(Scene::Stripes, 240, 180)}, {}));
    add("chime.wav", chime);
    add("readme.txt", Bytes(kReadme));
    add("notes.rtf", Bytes(kRtf));
    add("welcome.html", Bytes(kHtml));
    add("Travel/beach.jpg", EncodeJpeg(SamplePicture(Scene::Landscape, 1024, 768), 88));
    add("Travel/harbour.bmp", EncodeBmp(SamplePicture(Scene::Stripes, 200, 150)));
    return written;
}

}  // namespace vs

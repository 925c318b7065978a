#include "formats/TiffReader.h"

#include "graphics/Alpha.h"
#include "graphics/Errors.h"
#include "graphics/Orientation.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <tiffio.h>

namespace vs {

namespace {

// The bytes libtiff reads through our callbacks, and the first error it reported.
struct MemoryFile {
    std::span<const std::uint8_t> data;
    toff_t pos = 0;
    std::string error;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(h);
    if (size <= 0 || f->pos >= f->data.size())
        return 0;
    const auto n = std::min<toff_t>(static_cast<toff_t>(size), f->data.size() - f->pos);
    std::copy_n(f->data.data() + f->pos, n, static_cast<std::uint8_t*>(buf));
    f->pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }

toff_t SeekProc(thandle_t h, toff_t off, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = f->pos;
    else if (whence == SEEK_END)
        base = f->data.size();
    if (off > ~toff_t{0} - base)
        return static_cast<toff_t>(-1);
    f->pos = base + off;  // may lie past the end; reads there return nothing
    return f->pos;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<MemoryFile*>(h)->data.size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

// libtiff hands us its printf-style format and arguments.
__attribute__((format(printf, 4, 0))) int ErrorHandler(TIFF*, void* user, const char* module, const char* fmt,
                                                       va_list ap) {
    auto* f = static_cast<MemoryFile*>(user);
    if (f->error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, fmt, ap);
        f->error = std::string(module ? module : "TIFF") + ": " + text;
    }
    return 1;  // handled: nothing reaches libtiff's global handler
}

int WarningHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};
struct TiffDeleter {
    void operator()(TIFF* t) const { TIFFClose(t); }
};


// An IEEE half-precision value, as some HDR tools write 16-bit floating-point TIFF.
float HalfToFloat(std::uint16_t h) {
    const int sign = h >> 15;
    const int exponent = (h >> 10) & 0x1F;
    const int mantissa = h & 0x3FF;
    float v;
    if (exponent == 0)
        v = std::ldexp(static_cast<float>(mantissa), -24);
    else if (exponent == 31)
        v = mantissa ? std::nanf("") : INFINITY;
    else
        v = std::ldexp(static_cast<float>(mantissa | 0x400), exponent - 25);
    return sign ? -v : v;
}

// One sample of bytes 2, 4 or 8, in the machine's order (libtiff has swapped it).
double FloatSample(const std::uint8_t* p, int bytes) {
    if (bytes == 2) {
        std::uint16_t h;
        std::memcpy(&h, p, 2);
        return HalfToFloat(h);
    }
    if (bytes == 4) {
        float f;
        std::memcpy(&f, p, 4);
        return f;
    }
    double d;
    std::memcpy(&d, p, 8);
    return d;
}

// Floating-point samples (SampleFormat 3), which libtiff's RGBA interface refuses: grey or
// RGB of 16, 32 or 64 bits, with or without alpha, in strips or tiles, interleaved or in
// planes. Gives the pixels as stored, alpha laid over the matte.
template <typename Fail>
Bitmap ReadFloatPicture(TIFF* tif, std::uint32_t width, std::uint32_t height, Rgb matte, const Fail& fail) {
    std::uint16_t bits = 0;
    std::uint16_t spp = 1;
    std::uint16_t photometric = 0;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        fail("missing photometric interpretation");
    if (bits != 16 && bits != 32 && bits != 64)
        throw DecodeError("TIFF: " + std::to_string(bits) + "-bit floating-point samples are not supported");
    const bool grey = photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
    if (!grey && photometric != PHOTOMETRIC_RGB)
        throw DecodeError("TIFF: floating-point samples in photometric interpretation " + std::to_string(photometric) +
                          " are not supported");
    const int colours = grey ? 1 : 3;
    if (spp < colours || spp > colours + 8)
        fail("invalid number of samples per pixel");
    std::uint16_t extraCount = 0;
    std::uint16_t* extraTypes = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
    const bool alpha = spp > colours && extraCount > 0 && extraTypes &&
                       (extraTypes[0] == EXTRASAMPLE_ASSOCALPHA || extraTypes[0] == EXTRASAMPLE_UNASSALPHA);
    const bool premultiplied = alpha && extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    const int used = colours + (alpha ? 1 : 0);
    const int bytes = bits / 8;
    const bool planes = planar == PLANARCONFIG_SEPARATE && spp > 1;

    // Strips are read as tiles as wide as the picture.
    const bool tiled = TIFFIsTiled(tif) != 0;
    std::uint32_t tileW = width;
    std::uint32_t tileH = height;
    if (tiled) {
        if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileW) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileH))
            fail("missing tile size");
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &tileH);
        tileH = std::min(tileH, height);
    }
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(bytes) * (planes ? 1 : spp);
    const std::uint64_t rowBytes = std::uint64_t{tileW} * pixelBytes;
    const std::uint64_t chunkBytes = rowBytes * tileH;
    // A strip or tile never holds more than the whole picture, give or take a tile's padding.
    const std::uint64_t limit = std::max<std::uint64_t>(std::uint64_t{1} << 24, std::uint64_t{width} * height * spp * bytes);
    if (tileW == 0 || tileH == 0 || chunkBytes > limit)
        fail("invalid strip or tile size");
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(chunkBytes));

    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4, 255);
    for (int plane = 0; plane < (planes ? used : 1); ++plane)
        for (std::uint32_t ty = 0; ty < height; ty += tileH)
            for (std::uint32_t tx = 0; tx < width; tx += tileW) {
                const std::uint32_t rows = std::min(tileH, height - ty);
                const auto p = static_cast<std::uint16_t>(plane);
                const tmsize_t got =
                    tiled ? TIFFReadEncodedTile(tif, TIFFComputeTile(tif, tx, ty, 0, p), chunk.data(),
                                                static_cast<tmsize_t>(chunk.size()))
                          : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, ty, p), chunk.data(),
                                                 static_cast<tmsize_t>(chunk.size()));
                if (got < 0 || static_cast<std::uint64_t>(got) < rowBytes * rows)
                    fail("cannot read the picture");
                const std::uint32_t cols = std::min(tileW, width - tx);
                for (std::uint32_t y = 0; y < rows; ++y) {
                    const std::uint8_t* src = chunk.data() + y * rowBytes;
                    std::uint8_t* dst = rgba.data() + (std::size_t{ty + y} * width + tx) * 4;
                    for (std::uint32_t x = 0; x < cols; ++x, src += pixelBytes, dst += 4)
                        for (int s = planes ? plane : 0; s < (planes ? plane + 1 : used); ++s) {
                            double v = FloatSample(src + (planes ? 0 : s * bytes), bytes);
                            if (s < colours && photometric == PHOTOMETRIC_MINISWHITE)
                                v = 1.0 - v;
                            const auto q = static_cast<std::uint8_t>(FloatSampleToScale(v, 255));
                            if (s == colours)
                                dst[3] = q;
                            else if (grey)
                                dst[0] = dst[1] = dst[2] = q;
                            else
                                dst[s] = q;
                        }
                }
            }
    if (premultiplied)  // the blend over the matte takes colours not yet multiplied by alpha
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            for (int c = 0; c < 3; ++c)
                rgba[i + c] = rgba[i + 3] ? static_cast<std::uint8_t>(std::min(255u, (rgba[i + c] * 255u + rgba[i + 3] / 2u) / rgba[i + 3])) : 0;
    return RgbaOver(rgba.data(), static_cast<int>(width), static_cast<int>(height), std::size_t{width} * 4, matte);
}

}  // namespace

Bitmap DecodeTiff(std::span<const std::uint8_t> data, std::uint64_t maxPixels, Rgb matte) {
    MemoryFile file{data, 0, {}};
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        throw DecodeError("TIFF: out of memory");
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), ErrorHandler, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), WarningHandler, &file);
    // No single buffer libtiff makes for us needs more than a strip or tile of a picture we accept.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(kMaxPixels * 4));
    const auto fail = [&file](const char* what) {
        throw DecodeError("TIFF: " + (file.error.empty() ? std::string(what) : file.error));
    };

    std::unique_ptr<TIFF, TiffDeleter> tif(TIFFClientOpenExt("memory", "rm", &file, ReadProc, WriteProc, SeekProc,
                                                             CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
    if (!tif)
        fail("not a TIFF file");
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height))
        fail("missing picture size");
    CheckPictureSize(width, height);
    if (std::uint64_t{width} * height > maxPixels)
        throw DecodeError("TIFF: picture of " + std::to_string(width) + "x" + std::to_string(height) + " is too large");
    // libtiff hands floating-point samples over as they are stored, never through its RGBA interface.
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
    if (orientation < ORIENTATION_TOPLEFT || orientation > ORIENTATION_LEFTBOT)
        orientation = ORIENTATION_TOPLEFT;
    if (sampleFormat == SAMPLEFORMAT_IEEEFP) {
        Bitmap bmp = ReadFloatPicture(tif.get(), width, height, matte, fail);
        if (!file.error.empty())
            fail("cannot read the picture");
        ApplyOrientation(bmp, orientation);
        return bmp;
    }
    char reason[1024] = "";
    if (!TIFFRGBAImageOK(tif.get(), reason))
        throw DecodeError(std::string("TIFF: ") + reason);

    // libtiff flips rows and columns for us but never exchanges them, and it treats 5 to 8 as
    // their unexchanged partners 1 to 4. So ask for the pixels as stored and turn them here.
    const int stored = orientation > ORIENTATION_BOTLEFT ? orientation - 4 : orientation;
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.data(), stored, 1) ||
        !file.error.empty())
        fail("cannot read the picture");

    // libtiff hands colours already multiplied by alpha (opaque pictures get alpha 255), so
    // laying them over the matte adds the matte's share where the picture lets it through.
    const auto over = [](std::uint32_t colour, std::uint32_t alpha, std::uint8_t matteLevel) {
        return static_cast<std::uint8_t>(std::min(255u, colour + ((255 - alpha) * matteLevel + 127) / 255));
    };
    Bitmap bmp(static_cast<int>(width), static_cast<int>(height), PixelFormat::Bpp24);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t* src = raster.data() + static_cast<std::size_t>(y) * width;
        std::uint8_t* dst = bmp.row(static_cast<int>(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t a = TIFFGetA(src[x]);
            dst[3 * x] = over(TIFFGetB(src[x]), a, matte.b);
            dst[3 * x + 1] = over(TIFFGetG(src[x]), a, matte.g);
            dst[3 * x + 2] = over(TIFFGetR(src[x]), a, matte.r);
        }
    }
    ApplyOrientation(bmp, orientation);
    return bmp;
}

}  // namespace vs

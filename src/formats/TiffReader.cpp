#include "formats/TiffReader.h"

#include "graphics/Errors.h"
#include "graphics/Orientation.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
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

}  // namespace

Bitmap DecodeTiff(std::span<const std::uint8_t> data, std::uint64_t maxPixels) {
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
    char reason[1024] = "";
    if (!TIFFRGBAImageOK(tif.get(), reason))
        throw DecodeError(std::string("TIFF: ") + reason);

    // libtiff flips rows and columns for us but never exchanges them, and it treats 5 to 8 as
    // their unexchanged partners 1 to 4. So ask for the pixels as stored and turn them here.
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
    if (orientation < ORIENTATION_TOPLEFT || orientation > ORIENTATION_LEFTBOT)
        orientation = ORIENTATION_TOPLEFT;
    const int stored = orientation > ORIENTATION_BOTLEFT ? orientation - 4 : orientation;
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.data(), stored, 1) ||
        !file.error.empty())
        fail("cannot read the picture");

    Bitmap bmp(static_cast<int>(width), static_cast<int>(height), PixelFormat::Bpp24);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t* src = raster.data() + static_cast<std::size_t>(y) * width;
        std::uint8_t* dst = bmp.row(static_cast<int>(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            dst[3 * x] = static_cast<std::uint8_t>(TIFFGetB(src[x]));
            dst[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(src[x]));
            dst[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetR(src[x]));
        }
    }
    ApplyOrientation(bmp, orientation);
    return bmp;
}

}  // namespace vs

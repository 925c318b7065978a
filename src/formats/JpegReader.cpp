#include "formats/JpegReader.h"

#include "formats/Exif.h"
#include "graphics/Errors.h"
#include "graphics/Orientation.h"

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace vs {

namespace {

// libjpeg's default error manager prints and ends the process. Ours jumps back to the
// decode call, which cleans up and throws; warnings are silent, except a premature end of
// the data, which we treat as the error it is for a file on disk.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}

struct Decompressor {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    Decompressor() {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = ErrorExit;
        err.pub.emit_message = EmitMessage;
        err.pub.output_message = OutputMessage;
        err.message[0] = '\0';
    }
};

inline std::uint8_t Mul255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// These two run between setjmp and a possible longjmp: they must not own anything with a
// destructor, so the bitmap they fill lives in the caller.
bool Start(Decompressor& d, std::span<const std::uint8_t> data, int scaleDenom, bool headerOnly, JpegInfo& info) {
    jpeg_decompress_struct& cinfo = d.cinfo;
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    info.width = static_cast<int>(cinfo.image_width);
    info.height = static_cast<int>(cinfo.image_height);
    if (headerOnly)
        return true;
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(scaleDenom);
    const J_COLOR_SPACE in = cinfo.jpeg_color_space;
    const bool cmyk = in == JCS_CMYK || in == JCS_YCCK;
    const bool grey = in == JCS_GRAYSCALE;
    cinfo.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_calc_output_dimensions(&cinfo);
    return true;
}

bool Scan(Decompressor& d, Bitmap& out, std::uint8_t* cmykRow) {
    jpeg_decompress_struct& cinfo = d.cinfo;
    if (setjmp(d.err.jump))
        return false;
    jpeg_start_decompress(&cinfo);
    const bool cmyk = cinfo.out_color_space == JCS_CMYK;
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW row = cmyk ? cmykRow : out.row(y);
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cmyk) {
            std::uint8_t* dst = out.row(y);
            for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
                unsigned c = cmykRow[4 * x], m = cmykRow[4 * x + 1], ye = cmykRow[4 * x + 2], k = cmykRow[4 * x + 3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    ye = 255 - ye;
                    k = 255 - k;
                }
                dst[3 * x] = Mul255(ye, k);
                dst[3 * x + 1] = Mul255(m, k);
                dst[3 * x + 2] = Mul255(c, k);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

struct DecompressorGuard {
    Decompressor& d;
    ~DecompressorGuard() { jpeg_destroy_decompress(&d.cinfo); }
};

Bitmap Decode(std::span<const std::uint8_t> data, int scaleDenom, bool headerOnly, bool orient, JpegInfo* infoOut) {
    if (scaleDenom != 1 && scaleDenom != 2 && scaleDenom != 4 && scaleDenom != 8)
        throw DecodeError("JPEG: unsupported scale 1/" + std::to_string(scaleDenom));
    Decompressor d;
    DecompressorGuard guard{d};
    Bitmap out;
    JpegInfo info;
    if (!Start(d, data, scaleDenom, headerOnly, info))
        throw DecodeError(std::string("JPEG: ") + d.err.message);
    info.orientation = FindJpegExif(data).data.orientation;
    if (infoOut)
        *infoOut = info;
    if (headerOnly)
        return out;
    const bool cmyk = d.cinfo.out_color_space == JCS_CMYK;
    CheckPictureSize(d.cinfo.output_width, d.cinfo.output_height);
    out.reset(static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height),
              d.cinfo.out_color_space == JCS_GRAYSCALE ? PixelFormat::Bpp8 : PixelFormat::Bpp24);
    if (out.format() == PixelFormat::Bpp8)
        for (unsigned i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            out.palette()[i] = {v, v, v};
        }
    std::vector<std::uint8_t> cmykRow(cmyk ? static_cast<std::size_t>(d.cinfo.output_width) * 4 : 0);
    if (!Scan(d, out, cmykRow.data()))
        throw DecodeError(std::string("JPEG: ") + d.err.message);
    if (orient)
        ApplyOrientation(out, info.orientation);
    return out;
}

}  // namespace

Bitmap DecodeJpeg(std::span<const std::uint8_t> data, const JpegDecodeOptions& options, JpegInfo* info) {
    return Decode(data, options.scaleDenom, false, options.applyOrientation, info);
}

JpegInfo ReadJpegInfo(std::span<const std::uint8_t> data) {
    JpegInfo info;
    Decode(data, 1, true, false, &info);
    return info;
}

int JpegScaleDenomFor(int width, int height, int cellWidth, int cellHeight) {
    for (int d = 8; d > 1; d /= 2)
        if ((width + d - 1) / d >= cellWidth && (height + d - 1) / d >= cellHeight)
            return d;
    return 1;
}

namespace {

// A camera's preview serves as the thumbnail only when it shows the whole picture at a size
// that still fills the cell: some cameras pad previews with black bars to 4:3.
bool PreviewFits(const JpegInfo& preview, const JpegInfo& full, int cellWidth, int cellHeight) {
    if (preview.width < cellWidth || preview.height < cellHeight || full.width <= 0 || full.height <= 0)
        return false;
    const double a = double(preview.width) * full.height, b = double(preview.height) * full.width;
    return a <= b * 1.01 && b <= a * 1.01;
}

}  // namespace

Bitmap DecodeJpegForCell(std::span<const std::uint8_t> data, int cellWidth, int cellHeight, JpegInfo* info,
                         bool usePreview) {
    // The header is parsed twice; that costs microseconds against a decode of milliseconds.
    const JpegInfo full = ReadJpegInfo(data);
    if (info)
        *info = full;
    // The cell as the stored picture lies: a photo shown upright may be stored sideways.
    if (OrientationTransposes(full.orientation))
        std::swap(cellWidth, cellHeight);
    Bitmap thumb;
    if (usePreview) {
        const auto preview = ExifPreview(FindJpegExif(data));
        try {
            if (!preview.empty()) {
                const JpegInfo p = ReadJpegInfo(preview);
                if (PreviewFits(p, full, cellWidth, cellHeight))
                    thumb = Decode(preview, JpegScaleDenomFor(p.width, p.height, cellWidth, cellHeight), false,
                                   false, nullptr);
            }
        } catch (const DecodeError&) {
            thumb = Bitmap();  // a broken preview: the main picture still serves
        }
    }
    if (thumb.empty())
        thumb = Decode(data, JpegScaleDenomFor(full.width, full.height, cellWidth, cellHeight), false, false, nullptr);
    ApplyOrientation(thumb, full.orientation);
    return thumb;
}

}  // namespace vs

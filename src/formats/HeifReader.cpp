#include "formats/ModernReaders.h"

#include "graphics/Alpha.h"
#include "graphics/Errors.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <libheif/heif.h>

namespace vs {

namespace {

constexpr int kMaxHeifSide = 16385;  // libheif refuses a side at or above it

// libheif's side limit for a file of this many bytes. A grid image can name an output far
// larger than its tiles cover, so a file of a few hundred bytes could otherwise cost
// gigabytes. A coded picture yields at most about 4096 pixels a byte beyond a floor of
// 2^24 pixels (a flat 16-megapixel photo still passes); the side limit is that budget's root.
int SideLimitFor(std::size_t fileBytes) {
    const double budget = std::max(double(std::uint64_t{1} << 24), 4096.0 * double(fileBytes));
    return static_cast<int>(std::min(double(kMaxHeifSide), std::floor(std::sqrt(budget)) + 1));
}

void Check(const heif_error& e) {
    if (e.code != heif_error_Ok)
        throw DecodeError(std::string("HEIF: ") + (e.message ? e.message : "damaged file"));
}

struct FreeContext {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct ReleaseHandle {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ReleaseImage {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
using Handle = std::unique_ptr<heif_image_handle, ReleaseHandle>;

// The file read without a copy of its bytes, and its primary image.
struct HeifFile {
    std::unique_ptr<heif_context, FreeContext> context;
    Handle primary;

    explicit HeifFile(std::span<const std::uint8_t> data) {
        static const bool initialised = [] {
            heif_init(nullptr);
            return true;
        }();
        (void)initialised;
        context.reset(heif_context_alloc());
        if (!context)
            throw DecodeError("HEIF: out of memory");
        // libheif's own per-side limit (32768) lets a small file ask for gigabytes; a side of
        // 16384 keeps a square within the pixel budget every other reader has.
        heif_context_set_maximum_image_size_limit(context.get(), SideLimitFor(data.size()));
        Check(heif_context_read_from_memory_without_copy(context.get(), data.data(), data.size(), nullptr));
        heif_image_handle* raw = nullptr;
        Check(heif_context_get_primary_image_handle(context.get(), &raw));
        primary.reset(raw);
    }
};

// The default options apply the image's rotation and mirroring.
Bitmap DecodeImage(heif_image_handle* handle, Rgb matte) {
    CheckPictureSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
    heif_image* raw = nullptr;
    Check(heif_decode_image(handle, &raw, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr));
    const std::unique_ptr<heif_image, ReleaseImage> image(raw);
    int stride = 0;
    const std::uint8_t* pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int h = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!pixels || w <= 0 || h <= 0 || stride < w * 4)
        throw DecodeError("HEIF: no picture decoded");
    CheckPictureSize(w, h);
    return RgbaOver(pixels, w, h, static_cast<std::size_t>(stride), matte);
}

// A stored thumbnail stands in only when it shows the whole picture (its shape within the two
// pixels that rounding to even sizes costs) and still fills the cell.
bool ThumbnailFits(int w, int h, int fullW, int fullH, int cellWidth, int cellHeight) {
    if (w < cellWidth || h < cellHeight || fullW <= 0 || fullH <= 0)
        return false;
    return std::abs(double(w) * fullH - double(h) * fullW) <= 2.0 * std::max(fullW, fullH);
}

}  // namespace

Bitmap DecodeHeif(std::span<const std::uint8_t> data, Rgb matte) {
    const HeifFile file(data);
    return DecodeImage(file.primary.get(), matte);
}

Bitmap DecodeHeifForCell(std::span<const std::uint8_t> data, int cellWidth, int cellHeight, int* fullWidth,
                         int* fullHeight, Rgb matte) {
    const HeifFile file(data);
    const int fullW = heif_image_handle_get_width(file.primary.get());
    const int fullH = heif_image_handle_get_height(file.primary.get());
    *fullWidth = fullW;
    *fullHeight = fullH;
    const int count = heif_image_handle_get_number_of_thumbnails(file.primary.get());
    std::vector<heif_item_id> ids(static_cast<std::size_t>(std::max(count, 0)));
    heif_image_handle_get_list_of_thumbnail_IDs(file.primary.get(), ids.data(), count);
    Handle best;
    for (const heif_item_id id : ids) {
        heif_image_handle* raw = nullptr;
        if (heif_image_handle_get_thumbnail(file.primary.get(), id, &raw).code != heif_error_Ok)
            continue;
        Handle thumb(raw);
        const int w = heif_image_handle_get_width(thumb.get()), h = heif_image_handle_get_height(thumb.get());
        if (ThumbnailFits(w, h, fullW, fullH, cellWidth, cellHeight) &&
            (!best || w < heif_image_handle_get_width(best.get())))
            best = std::move(thumb);
    }
    if (best) {
        try {
            return DecodeImage(best.get(), matte);
        } catch (const DecodeError&) {
            // a broken thumbnail: the primary image still serves
        }
    }
    return DecodeImage(file.primary.get(), matte);
}

}  // namespace vs

#include "formats/ModernReaders.h"

#include "graphics/Alpha.h"
#include "graphics/Errors.h"

#include <memory>
#include <string>

#include <libheif/heif.h>

namespace vs {

namespace {

void Check(const heif_error& e) {
    if (e.code != heif_error_Ok)
        throw DecodeError(std::string("HEIF: ") + (e.message ? e.message : "damaged file"));
}

}  // namespace

Bitmap DecodeHeif(std::span<const std::uint8_t> data) {
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)initialised;
    const auto freeContext = [](heif_context* c) { heif_context_free(c); };
    std::unique_ptr<heif_context, decltype(freeContext)> context(heif_context_alloc(), freeContext);
    if (!context)
        throw DecodeError("HEIF: out of memory");
    Check(heif_context_read_from_memory_without_copy(context.get(), data.data(), data.size(), nullptr));
    heif_image_handle* rawHandle = nullptr;
    Check(heif_context_get_primary_image_handle(context.get(), &rawHandle));
    const auto releaseHandle = [](heif_image_handle* h) { heif_image_handle_release(h); };
    std::unique_ptr<heif_image_handle, decltype(releaseHandle)> handle(rawHandle, releaseHandle);
    CheckPictureSize(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
    // The default options apply the file's rotation and mirroring.
    heif_image* rawImage = nullptr;
    Check(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr));
    const auto releaseImage = [](heif_image* i) { heif_image_release(i); };
    std::unique_ptr<heif_image, decltype(releaseImage)> image(rawImage, releaseImage);
    int stride = 0;
    const std::uint8_t* pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int h = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!pixels || w <= 0 || h <= 0 || stride < w * 4)
        throw DecodeError("HEIF: no picture decoded");
    CheckPictureSize(w, h);
    return RgbaOverWhite(pixels, w, h, static_cast<std::size_t>(stride));
}

}  // namespace vs

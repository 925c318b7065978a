#include "formats/ModernReaders.h"

#include "graphics/Alpha.h"
#include "graphics/Errors.h"

#include <memory>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

namespace vs {

namespace {

// The first frame of an animation, composed on its canvas by libwebp's animation decoder.
Bitmap FirstFrame(std::span<const std::uint8_t> data, Rgb matte) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        throw DecodeError("WebP: animation decoder unavailable");
    options.color_mode = MODE_BGRA;
    const WebPData webp{data.data(), data.size()};
    const auto release = [](WebPAnimDecoder* d) { WebPAnimDecoderDelete(d); };
    std::unique_ptr<WebPAnimDecoder, decltype(release)> decoder(WebPAnimDecoderNew(&webp, &options), release);
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info))
        throw DecodeError("WebP: damaged animation");
    CheckPictureSize(info.canvas_width, info.canvas_height);
    std::uint8_t* pixels = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &pixels, &timestamp) || !pixels)
        throw DecodeError("WebP: damaged animation");
    const int w = static_cast<int>(info.canvas_width), h = static_cast<int>(info.canvas_height);
    return BgraOver(pixels, w, h, static_cast<std::size_t>(w) * 4, matte);
}

}  // namespace

Bitmap DecodeWebp(std::span<const std::uint8_t> data, Rgb matte) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data.data(), data.size(), &features) != VP8_STATUS_OK)
        throw DecodeError("WebP: not a WebP picture");
    if (features.has_animation)
        return FirstFrame(data, matte);
    CheckPictureSize(features.width, features.height);
    const std::size_t stride = static_cast<std::size_t>(features.width) * 4;
    std::vector<std::uint8_t> pixels(stride * static_cast<std::size_t>(features.height));
    if (!WebPDecodeBGRAInto(data.data(), data.size(), pixels.data(), pixels.size(), static_cast<int>(stride)))
        throw DecodeError("WebP: damaged picture");
    return BgraOver(pixels.data(), features.width, features.height, stride, matte);
}

}  // namespace vs
